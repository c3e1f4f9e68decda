#pragma once

#include "points/PointStore.h"

#include <QLocale>
#include <QString>
#include <cstdint>

namespace gipso {

// The moment of a point as the program shows and writes it: the calendar day of its date and
// the time of day of its time (a point whose two fields both hold the full moment, as after a
// Reverse, counts once).
double pointMoment(const GpsPoint &point);

// Whole seconds from the moment of a to the moment of b (negative when b is earlier).
int64_t timeStep(const GpsPoint &a, const GpsPoint &b);

// Numbers, dates and times of the profile and the statistics: the windows follow the regional
// settings (the default QLocale), gipso-cli writes "." and "/" ":" (QLocale::c()).
// A number with the given decimals, at least one digit before the point and no group separator,
// as the masks "#####0.000" and "####0.0" show it; never "-0.0".
QString fixedNumber(double value, int decimals, const QLocale &locale);
// The date and time separators of the locale's short formats ("/" and ":" for QLocale::c()).
QChar dateSeparator(const QLocale &locale);
QChar timeSeparator(const QLocale &locale);
// "dd/mm/yyyy" of a date value and "hh:nn:ss" of a time value, with the locale's separators.
QString dateText(double value, const QLocale &locale);
QString timeText(double value, const QLocale &locale);
// A duration as hours, minutes and seconds ("00:10:00"); a day or more shows the total hours
// ("27:03:10"), a negative one a leading minus.
QString durationText(int64_t seconds, const QLocale &locale);

} // namespace gipso
