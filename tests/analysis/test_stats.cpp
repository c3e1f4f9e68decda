// Track statistics: the figures with their masks and units in both unit systems, tracks inside
// the log, the time steps and the failures that show a message instead of figures.

#include "analysis/Analysis.h"
#include "analysis/TrackStatistics.h"
#include "base/DateValue.h"
#include "base/Messages.h"
#include "support/TestSupport.h"

#include <QLocale>
#include <cmath>
#include <gtest/gtest.h>

using namespace gipso;
using namespace gipso::test;

namespace {

// Degrees of latitude that make one kilometre due north on the program's sphere.
const double kKm = 1000.0 / 6366707.0 * 180.0 / M_PI;

GpsPoint tp(double lat, float alt, const QDateTime &when, const QString &description = {})
{
    return makePoint(PointKind::Track, QString(), lat, 7.0, alt, when, description);
}

PointList listOf(std::initializer_list<GpsPoint> points)
{
    PointList list;
    for (const GpsPoint &p : points)
        list.append(p);
    return list;
}

// The value texts of the 13 rows, English captions, "." "/" ":".
QStringList values(const PointList &points, bool metric = true, const QLocale &locale = QLocale::c())
{
    setLanguage(kEnglish);
    const UnitSettings units = unitSettings(metric);
    const TrackStatistics s = trackStatistics(points, units);
    EXPECT_EQ(s.status, TrackStatistics::Status::Ok) << s.error.toStdString();
    QStringList out;
    for (const StatisticsRow &row : statisticsRows(s.figures, units, locale))
        out << row.value;
    return out;
}

// Two points a kilometre apart, ten minutes apart, climbing from 100 m to 160 m.
PointList kilometre()
{
    return listOf({tp(45, 100, at(2026, 12, 7, 10, 0, 0)), tp(45 + kKm, 160, at(2026, 12, 7, 10, 10, 0))});
}

} // namespace

TEST(Statistics, KilometreInTenMinutesInBothUnitSystems)
{
    setLanguage(kEnglish);
    const TrackStatistics s = trackStatistics(kilometre(), unitSettings(true));
    QStringList captions;
    for (const StatisticsRow &row : statisticsRows(s.figures, unitSettings(true), QLocale::c()))
        captions << messageText(row.captionId);
    EXPECT_EQ(captions, QStringList({"Start date and time:", "End date and time:", "Elapsed time:", "Track length:",
                                     "Min altitude:", "Max altitude:", "Total altitude range:", "Altitude difference:",
                                     "Mean speed:", "Max speed:", "Mean Vert. speed:", "Min Vert. speed:",
                                     "Max Vert. speed:"}));
    EXPECT_EQ(values(kilometre()),
              QStringList({" 07/12/2026 10:00:00", " 07/12/2026 10:10:00", "00:10:00", "1.000 km", "100.0 m", "160.0 m",
                           "60.0 m", "60.0 m", "6.000 km/h", "6.000 km/h", "0.1 m/s", "0.0 m/s", "0.1 m/s"}));
    EXPECT_EQ(values(kilometre(), false),
              QStringList({" 07/12/2026 10:00:00", " 07/12/2026 10:10:00", "00:10:00", "0.540 NM", "328.1 ft", "524.9 ft",
                           "196.9 ft", "196.9 ft", "3.240 NM/h", "3.240 NM/h", "0.3 ft/s", "0.0 ft/s", "0.3 ft/s"}));
    // The windows follow the regional settings.
    const QStringList german = values(kilometre(), true, QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(german.mid(0, 4), QStringList({" 07.12.2026 10:00:00", " 07.12.2026 10:10:00", "00:10:00", "1,000 km"}));
}

// Each row: the points, then the value texts expected from the elapsed time on (row 2 to 12).
TEST(Statistics, TracksTimesAndSigns)
{
    const QDateTime t0 = at(2026, 12, 7, 10, 0, 0);
    struct Case {
        const char *what;
        PointList points;
        QStringList expected;
    };
    const std::vector<Case> cases = {
        {"the jump between two tracks adds no length and is not timed; a clock going back across it is accepted",
         listOf({tp(45, 100, t0), tp(45 + kKm, 100, t0.addSecs(600)), tp(46, 100, t0.addSecs(-3600), "Second"),
                 tp(46 + kKm, 100, t0.addSecs(-3000))}),
         {"-00:50:00", "2.000 km", "100.0 m", "100.0 m", "0.0 m", "0.0 m", "0.000 km/h", "6.000 km/h", "0.0 m/s",
          "0.0 m/s", "0.0 m/s"}},
        {"an elapsed time of zero gives mean speeds of 0, not a division by zero",
         listOf({tp(45, 100, t0), tp(45 + kKm, 200, t0.addSecs(600)), tp(46, 300, t0, "Second")}),
         {"00:00:00", "1.000 km", "100.0 m", "300.0 m", "200.0 m", "200.0 m", "0.000 km/h", "6.000 km/h", "0.0 m/s",
          "0.0 m/s", "0.2 m/s"}},
        {"a day and more shows the total hours; a figure that rounds to zero shows no sign",
         listOf({tp(45, 500, t0), tp(45 + 27 * kKm, 200, t0.addSecs(27 * 3600 + 190))}),
         {"27:03:10", "27.000 km", "200.0 m", "500.0 m", "300.0 m", "-300.0 m", "0.998 km/h", "0.998 km/h", "0.0 m/s",
          "0.0 m/s", "0.0 m/s"}},
        {"a descent only: the max vertical speed stays 0.0",
         listOf({tp(45, 160, t0), tp(45, 100, t0.addSecs(60))}),
         {"00:01:00", "0.000 km", "100.0 m", "160.0 m", "60.0 m", "-60.0 m", "0.000 km/h", "0.000 km/h", "-1.0 m/s",
          "-1.0 m/s", "0.0 m/s"}},
        {"the first point's description does not count",
         listOf({tp(45, 100, t0, "First"), tp(45 + kKm, 160, t0.addSecs(600))}),
         {"00:10:00", "1.000 km", "100.0 m", "160.0 m", "60.0 m", "60.0 m", "6.000 km/h", "6.000 km/h", "0.1 m/s",
          "0.0 m/s", "0.1 m/s"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(values(c.points).mid(2), c.expected);
    }
}

TEST(Statistics, StepsCountADatePlusATimeOnce)
{
    // After a Reverse, or from a GPX point without <time>, both fields may hold the whole moment:
    // its calendar day and its time of day still make one moment.
    PointList points = kilometre();
    points[2].date = points[2].time = toDateValue(at(2026, 12, 7, 10, 10, 0));
    points[1].time = points[1].date + points[1].time;
    EXPECT_DOUBLE_EQ(pointMoment(points[1]), toDateValue(at(2026, 12, 7, 10, 0, 0)));
    EXPECT_EQ(timeStep(points[1], points[2]), 600);
    EXPECT_EQ(values(points).mid(2, 1), QStringList{"00:10:00"});
    EXPECT_EQ(values(points).mid(8, 2), QStringList({"6.000 km/h", "6.000 km/h"}));
}

TEST(Statistics, FailuresShowTheirMessageAndNoFigures)
{
    setLanguage(kEnglish);
    const QDateTime t0 = at(2026, 12, 7, 10, 0, 0);
    using Status = TrackStatistics::Status;
    struct Case {
        const char *what;
        PointList points;
        Status status;
        QString error;
    };
    const std::vector<Case> cases = {
        {"equal time stamps inside a track", listOf({tp(45, 1, t0), tp(45 + kKm, 1, t0)}), Status::NonPositiveStep,
         "Error: negative or null time steps!!!"},
        {"time going back inside a track",
         listOf({tp(45, 1, t0), tp(45.1, 1, t0.addSecs(60)), tp(45.2, 1, t0.addSecs(30))}), Status::NonPositiveStep,
         "Error: negative or null time steps!!!"},
        {"a latitude of 95 read from a file", listOf({tp(45, 1, t0), tp(95, 1, t0.addSecs(60))}), Status::FormulaError,
         "ERROR N° 5 - Invalid procedure call or argument"},
        {"a latitude of -90", listOf({tp(-90, 1, t0), tp(45, 1, t0.addSecs(60))}), Status::FormulaError,
         "ERROR N° 5 - Invalid procedure call or argument"},
        {"one point", listOf({tp(45, 1, t0)}), Status::TooFewPoints, "The track statistics need at least two TrackPoints."},
        {"none", PointList(), Status::TooFewPoints, "The track statistics need at least two TrackPoints."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const TrackStatistics s = trackStatistics(c.points, unitSettings(true));
        EXPECT_EQ(s.status, c.status);
        EXPECT_EQ(s.error, c.error);
    }
    // A pole that is a track of its own is never measured.
    EXPECT_EQ(values(listOf({tp(45, 1, t0), tp(45 + kKm, 1, t0.addSecs(600)), tp(-90, 1, t0, "Pole"),
                             tp(45, 1, t0.addSecs(1200), "Back")}))
                  .at(3),
              "1.000 km");
}

TEST(Statistics, LogsLongerThan32767Points)
{
    PointList points;
    const QDateTime t0 = at(2026, 12, 7, 0, 0, 0);
    for (int i = 0; i < 40000; ++i)
        points.append(tp(45 + i * kKm / 100, float(i % 100), t0.addSecs(i)));
    EXPECT_EQ(values(points).mid(1, 5),
              QStringList({" 07/12/2026 11:06:39", "11:06:39", "399.990 km", "0.0 m", "99.0 m"}));
}
