#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <optional>

namespace gipso {

// Date values: f64 days since 30 December 1899, the fraction being the time of day.
// For negative values the fraction still counts forward from midnight of the day.
double toDateValue(const QDate &date, const QTime &time = QTime(0, 0));
double toDateValue(const QDateTime &dt);
QDate dateOfValue(double value);
QTime timeOfValue(double value); // to the nearest second

QString formatDateValue(double value);     // "dd/mm/yyyy"
QString formatTimeValue(double value);     // "hh:nn:ss"

// "dd/mm/yyyy" (also d/m/yyyy) and "hh:nn:ss" (also h:n:s, or hh:nn); nullopt when not a valid date or time.
std::optional<double> parseDateText(QStringView text);
std::optional<double> parseTimeText(QStringView text);

} // namespace gipso
