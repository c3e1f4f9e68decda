#include "base/Clock.h"
#include "points/PointHistory.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace gipso;

namespace {
// Every field of every point, one line per point.
QString dump(const PointList &list)
{
    QStringList out;
    for (const GpsPoint &p : list)
        out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8")
                   .arg(p.name, p.description)
                   .arg(p.latitude, 0, 'g', 17)
                   .arg(p.longitude, 0, 'g', 17)
                   .arg(p.altitude)
                   .arg(p.date, 0, 'g', 17)
                   .arg(p.time, 0, 'g', 17)
                   .arg(int(p.kind));
    return out.join(QLatin1Char('\n'));
}
QString dump(const PointStore &s) { return dump(s.wayPoints) + "|" + dump(s.routePoints) + "|" + dump(s.trackPoints); }

PointStore sample()
{
    PointStore s;
    for (int i = 1; i <= 3; ++i) {
        s.wayPoints.append(test::makePoint(PointKind::Way, QStringLiteral("W%1").arg(i), 45 + i, 9, 10.f * i,
                                           test::at(2020, 1, i, 10)));
        s.routePoints.append(test::makePoint(PointKind::Route, QStringLiteral("R%1").arg(i), 44, 8 + i, 0,
                                             test::at(2020, 2, i, 11)));
        s.trackPoints.append(test::makePoint(PointKind::Track, {}, 43, 7 + i, 1, test::at(2020, 3, i, 12),
                                             i == 2 ? QStringLiteral("T2") : QString()));
    }
    return s;
}
} // namespace

// Each kind of change, undone and redone: the lists come back point for point, and
// pointsModified follows the distance from the saved lists.
TEST(PointHistory, UndoAndRedoEachKindOfChange)
{
    setClock([] { return test::at(2026, 12, 7, 9, 30, 15); });
    PointStore s = sample();
    PointHistory h;
    h.markSaved();
    const QString original = dump(s);
    QStringList states{original};

    // Added (a created WayPoint), inserted inside the route, replaced (a drag), removed (a
    // delete and a delete all), reversed with new dates, and one import of two lists.
    s.wayPoints.append(test::makePoint(PointKind::Way, QStringLiteral("NEW"), 46, 10));
    h.push(PointChange::added(PointKind::Way, 4, 1));
    states << dump(s);
    s.routePoints.insert(2, test::makePoint(PointKind::Route, QStringLiteral("MID"), 44, 9.5));
    h.push(PointChange::added(PointKind::Route, 2, 1));
    states << dump(s);
    const GpsPoint before = s.trackPoints[2];
    s.trackPoints[2].latitude = 40;
    h.push(PointChange::replaced(PointKind::Track, 2, before));
    states << dump(s);
    h.push(PointChange::removed(PointKind::Way, 1, {s.wayPoints[1]}));
    s.wayPoints.remove(1);
    states << dump(s);
    std::vector<std::pair<double, double>> dates;
    for (const GpsPoint &p : s.trackPoints)
        dates.emplace_back(p.date, p.time);
    reverseList(s.trackPoints);
    h.push(PointChange::reversed(PointKind::Track, std::move(dates)));
    states << dump(s);
    std::vector<GpsPoint> all(s.routePoints.begin(), s.routePoints.end());
    s.routePoints.clear();
    h.push(PointChange::removed(PointKind::Route, 1, std::move(all)));
    states << dump(s);
    const PointCounts counts = pointCounts(s);
    s.wayPoints.append(test::makePoint(PointKind::Way, QStringLiteral("IMP"), 1, 1));
    s.trackPoints.append(test::makePoint(PointKind::Track, {}, 2, 2));
    h.pushAppended(s, counts);
    states << dump(s);
    ASSERT_EQ(h.size(), 7u);

    for (qsizetype i = states.size() - 2; i >= 0; --i) {
        ASSERT_TRUE(h.undo(s));
        EXPECT_EQ(dump(s), states[i]) << "after undoing to state " << i;
        EXPECT_EQ(s.pointsModified, i != 0);
    }
    EXPECT_FALSE(h.undo(s));
    for (qsizetype i = 1; i < states.size(); ++i) {
        ASSERT_TRUE(h.redo(s));
        EXPECT_EQ(dump(s), states[i]) << "after redoing to state " << i;
        EXPECT_TRUE(s.pointsModified);
    }
    EXPECT_FALSE(h.redo(s));
    setClock({});
}

TEST(PointHistory, NewChangeDropsRedoAndSavedMarker)
{
    PointStore s = sample();
    PointHistory h;
    s.wayPoints.append(test::makePoint(PointKind::Way, QStringLiteral("A"), 1, 1));
    h.push(PointChange::added(PointKind::Way, 4, 1));
    h.markSaved(); // exported here
    h.undo(s);
    EXPECT_TRUE(s.pointsModified);
    h.redo(s);
    EXPECT_FALSE(s.pointsModified);
    h.undo(s);
    // A new change after the undo: the exported lists cannot come back, redo is gone.
    s.wayPoints.append(test::makePoint(PointKind::Way, QStringLiteral("B"), 2, 2));
    h.push(PointChange::added(PointKind::Way, 4, 1));
    EXPECT_FALSE(h.canRedo());
    h.undo(s);
    EXPECT_TRUE(s.pointsModified);
    EXPECT_EQ(s.wayPoints.count(), 3);
    h.pushAppended(s, pointCounts(s)); // nothing appended: no step
    EXPECT_TRUE(h.canRedo());
}

// A drag on a large track log is kept as the one point it changed, in both directions.
TEST(PointHistory, DragOnLargeListKeepsOnePoint)
{
    PointStore s;
    for (int i = 0; i < 200000; ++i)
        s.trackPoints.append(test::makePoint(PointKind::Track, {}, 45, 9 + i * 1e-6));
    PointChange c = PointChange::replaced(PointKind::Track, 1000, s.trackPoints[1000]);
    s.trackPoints[1000].latitude = 46;
    EXPECT_EQ(c.other.size(), 1u);
    c.apply(s);
    EXPECT_EQ(s.trackPoints[1000].latitude, 45);
    EXPECT_EQ(c.other.size(), 1u);
    EXPECT_EQ(c.other[0].latitude, 46);
    c.apply(s);
    EXPECT_EQ(s.trackPoints[1000].latitude, 46);
    EXPECT_EQ(s.trackPoints.count(), 200000);
}
