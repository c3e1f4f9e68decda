#include "points/PointHistory.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace gipso;
using test::makePoint;

namespace {
constexpr PointKind kWay = PointKind::Way, kRoute = PointKind::Route, kTrack = PointKind::Track;

// Every field of every point of the three lists, one line per point.
QString dump(const PointStore &s)
{
    auto n = [](double v) { return QString::number(v, 'g', 17); };
    QStringList out;
    for (const PointList *list : {&s.wayPoints, &s.routePoints, &s.trackPoints}) {
        for (const GpsPoint &p : *list)
            out << QStringList{p.name, p.description, n(p.latitude), n(p.longitude), n(p.altitude), n(p.date),
                               n(p.time), n(int(p.kind))}.join(' ');
        out << QStringLiteral("|");
    }
    return out.join(QLatin1Char('\n'));
}

} // namespace

// Each kind of change, undone and redone: the lists come back point for point, and
// pointsModified follows the distance from the saved lists.
TEST(PointHistory, UndoAndRedoEachKindOfChangeAndTheSavedMarker)
{
    PointStore s;
    for (int i = 1; i <= 3; ++i) {
        s.wayPoints.append(makePoint(kWay, QStringLiteral("W%1").arg(i), 45 + i, 9, 10.f * i, test::at(2020, 1, i, 10)));
        s.routePoints.append(makePoint(kRoute, QStringLiteral("R%1").arg(i), 44, 8 + i, 0, test::at(2020, 2, i, 11)));
        s.trackPoints.append(makePoint(kTrack, {}, 43, 7 + i, 1, test::at(2020, 3, i, 12), i == 2 ? "T2" : ""));
    }
    PointHistory h;
    h.markSaved();
    QStringList states{dump(s)};
    auto record = [&](PointChange change) {
        h.push(std::move(change));
        states << dump(s);
    };

    // Added (a created WayPoint), inserted inside the route, replaced (a drag), removed (a
    // delete and a delete all), reversed with new dates, and one import of two lists.
    s.wayPoints.append(makePoint(kWay, "NEW", 46, 10));
    record(PointChange::added(kWay, 4, 1));
    s.routePoints.insert(2, makePoint(kRoute, "MID", 44, 9.5));
    record(PointChange::added(kRoute, 2, 1));
    const GpsPoint dragged = s.trackPoints[2];
    s.trackPoints[2].latitude = 40;
    record(PointChange::replaced(kTrack, 2, dragged));
    const GpsPoint deleted = s.wayPoints[1];
    s.wayPoints.remove(1);
    record(PointChange::removed(kWay, 1, {deleted}));
    std::vector<std::pair<double, double>> dates;
    for (const GpsPoint &p : s.trackPoints)
        dates.emplace_back(p.date, p.time);
    reverseList(s.trackPoints);
    record(PointChange::reversed(kTrack, std::move(dates)));
    std::vector<GpsPoint> all(s.routePoints.begin(), s.routePoints.end());
    s.routePoints.clear();
    record(PointChange::removed(kRoute, 1, std::move(all)));
    const PointCounts counts = pointCounts(s);
    s.wayPoints.append(makePoint(kWay, "IMP", 1, 1));
    s.trackPoints.append(makePoint(kTrack, {}, 2, 2));
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

    // Exported here. After an undo, a new change drops the redo side, and the exported lists
    // cannot come back: redoing the new change leaves them modified.
    h.markSaved();
    h.undo(s);
    EXPECT_TRUE(s.pointsModified);
    h.redo(s);
    EXPECT_FALSE(s.pointsModified);
    h.undo(s);
    s.wayPoints.append(makePoint(kWay, "B", 2, 2));
    h.push(PointChange::added(kWay, s.wayPoints.count(), 1));
    EXPECT_FALSE(h.canRedo());
    h.undo(s);
    h.redo(s);
    EXPECT_TRUE(s.pointsModified);
    h.pushAppended(s, pointCounts(s)); // nothing appended: no step
    EXPECT_EQ(h.size(), 7u);
}
