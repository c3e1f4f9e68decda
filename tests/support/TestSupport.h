#pragma once

#include "points/PointStore.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QTemporaryDir>
#include <ostream>

// Failures show texts as text.
inline void PrintTo(const QString &text, std::ostream *os) { *os << '"' << text.toStdString() << '"'; }

namespace gipso::test {

// A file of ../shared/testdata beside the checkout (GIPSO_TESTDATA in the test environment).
QString testData(const QString &relative);
// The build folder (where gipso-cli and the tools are).
QString buildDir();
QByteArray readAll(const QString &path);
void writeAll(const QString &path, const QByteArray &bytes);

// A point with the given fields; without a time its date and time stay zero.
GpsPoint makePoint(PointKind kind, const QString &name, double lat, double lon, float alt = 0,
                   const QDateTime &when = {}, const QString &description = {});
// A point's date and time as "dd/MM/yyyy hh:mm:ss".
QString stamp(const GpsPoint &p);
// An NMEA sentence with "*hh" and CR LF appended, the checksum computed here.
QByteArray withNmeaSum(const QByteArray &sentence);
inline QDateTime at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) { return QDateTime(QDate(y, mo, d), QTime(h, mi, s)); }

} // namespace gipso::test
