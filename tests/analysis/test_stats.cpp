// Track statistics: the figures with their masks and units, tracks inside the log, the time
// steps, and the failures that leave no figures.
#include "analysis/TrackStatistics.h"
#include "base/DateValue.h"
#include "base/Messages.h"
#include "support/TestSupport.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace gipso;
using namespace gipso::test;

namespace {

const double kKm = 1000.0 / 6366707.0 * 180.0 / M_PI; // degrees of latitude of one kilometre
const QDateTime t0 = at(2026, 12, 7, 10, 0, 0);

// A TrackPoint km kilometres north of (45, 7), s seconds after t0.
GpsPoint tp(double km, float alt, int s, const char *description = "")
{
    return makePoint(PointKind::Track, {}, 45 + km * kKm, 7, alt, t0.addSecs(s), description);
}

PointList listOf(std::initializer_list<GpsPoint> points)
{
    PointList list;
    for (const GpsPoint &p : points)
        list.append(p);
    return list;
}

// The 13 value texts.
QStringList values(const PointList &points, bool metric = true, const QLocale &locale = QLocale::c())
{
    const TrackStatistics s = trackStatistics(points, unitSettings(metric));
    EXPECT_EQ(s.error, QString());
    QStringList out;
    for (const StatisticsRow &row : statisticsRows(s.figures, unitSettings(metric), locale))
        out << row.value;
    return out;
}

} // namespace

TEST(Statistics, KilometreInTenMinutesInBothUnitSystems)
{
    // After a Reverse, or from a GPX point without <time>, both fields may hold the whole moment:
    // the step counts the date's day and the time's time of day.
    PointList km = listOf({tp(0, 100, 0), tp(1, 160, 600)});
    km[1].time += km[1].date;
    km[2].date = km[2].time = toDateValue(t0.addSecs(600));
    EXPECT_EQ(values(km), QStringList({" 07/12/2026 10:00:00", " 07/12/2026 10:10:00", "00:10:00", "1.000 km", "100.0 m",
                                       "160.0 m", "60.0 m", "60.0 m", "6.000 km/h", "6.000 km/h", "0.1 m/s", "0.0 m/s",
                                       "0.1 m/s"}));
    EXPECT_EQ(values(km, false).mid(3), QStringList({"0.540 NM", "328.1 ft", "524.9 ft", "196.9 ft", "196.9 ft",
                                                     "3.240 NM/h", "3.240 NM/h", "0.3 ft/s", "0.0 ft/s", "0.3 ft/s"}));
    // The window follows the regional separators.
    EXPECT_EQ(values(km, true, QLocale(QLocale::German)).mid(0, 4),
              QStringList({" 07.12.2026 10:00:00", " 07.12.2026 10:10:00", "00:10:00", "1,000 km"}));
}

// Each row: the points, then the texts from the elapsed time on.
TEST(Statistics, TracksTimesAndSigns)
{
    const std::pair<PointList, QStringList> cases[] = {
        // The jump to the second track adds no length, and its clock may go back; the mean
        // speeds over a negative elapsed time are 0.
        {listOf({tp(0, 100, 0), tp(1, 100, 600), tp(90, 100, -3600, "Second"), tp(91, 100, -3000)}),
         {"-00:50:00", "2.000 km", "100.0 m", "100.0 m", "0.0 m", "0.0 m", "0.000 km/h", "6.000 km/h", "0.0 m/s",
          "0.0 m/s", "0.0 m/s"}},
        // Over no elapsed time at all, the same.
        {listOf({tp(0, 100, 0), tp(1, 200, 600), tp(9, 300, 0, "Second")}),
         {"00:00:00", "1.000 km", "100.0 m", "300.0 m", "200.0 m", "200.0 m", "0.000 km/h", "6.000 km/h", "0.0 m/s",
          "0.0 m/s", "0.2 m/s"}},
        // A day and more shows the total hours; a descent only keeps the max vertical speed at
        // 0.0; a figure that rounds to zero shows no sign.
        {listOf({tp(0, 500, 0, "First"), tp(27, 200, 27 * 3600 + 190)}),
         {"27:03:10", "27.000 km", "200.0 m", "500.0 m", "300.0 m", "-300.0 m", "0.998 km/h", "0.998 km/h", "0.0 m/s",
          "0.0 m/s", "0.0 m/s"}},
    };
    for (const auto &[points, expected] : cases)
        EXPECT_EQ(values(points).mid(2), expected);
}

TEST(Statistics, FailuresLeaveOnlyTheirMessage)
{
    setLanguage(kEnglish);
    using Status = TrackStatistics::Status;
    GpsPoint pole = tp(0, 1, 60), beyond = tp(0, 1, 60);
    pole.latitude = -90, beyond.latitude = 95;
    const std::vector<std::tuple<PointList, Status, QString>> cases = {
        {listOf({tp(0, 1, 0), tp(1, 1, 0)}), Status::NonPositiveStep, "Error: negative or null time steps!!!"},
        {listOf({tp(0, 1, 0), tp(1, 1, 60), tp(2, 1, 30)}), Status::NonPositiveStep, "Error: negative or null time steps!!!"},
        {listOf({tp(0, 1, 0), beyond}), Status::FormulaError, "ERROR N° 5 - Invalid procedure call or argument"},
        {listOf({pole, tp(1, 1, 120)}), Status::FormulaError, "ERROR N° 5 - Invalid procedure call or argument"},
        {listOf({tp(0, 1, 0)}), Status::TooFewPoints, "The track statistics need at least two TrackPoints."},
    };
    for (const auto &[points, status, error] : cases) {
        const TrackStatistics s = trackStatistics(points, unitSettings(true));
        EXPECT_TRUE(s.status == status && s.error == error) << error.toStdString() << " got " << s.error.toStdString();
    }
    // A pole that is a track of its own is never measured.
    pole.description = "Pole";
    EXPECT_EQ(values(listOf({tp(0, 1, 0), tp(1, 1, 600), pole, tp(5, 1, 900, "Back")})).at(3), "1.000 km");
}

TEST(Statistics, LogsLongerThan32767Points)
{
    PointList points;
    for (int i = 0; i < 40000; ++i)
        points.append(tp(i / 100.0, float(i % 100), i));
    EXPECT_EQ(values(points).mid(1, 5), QStringList({" 07/12/2026 21:06:39", "11:06:39", "399.990 km", "0.0 m", "99.0 m"}));
}
