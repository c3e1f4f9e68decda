#include "base/Clock.h"
#include "points/PointStore.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace gipso;

namespace {
GpsPoint point(const QString &name, const QString &description = {})
{
    return test::makePoint(PointKind::Track, name, 45, 9, 0, {}, description);
}
QString names(const PointList &list)
{
    QStringList out;
    for (const GpsPoint &p : list)
        out << p.name;
    return out.join(',');
}
} // namespace

TEST(PointStore, ListOperations)
{
    PointList list;
    for (const char *n : {"A", "B", "C"})
        list.append(point(n));
    list.insert(1, point("Z"));
    list.insert(3, point("Y"));
    EXPECT_EQ(names(list), "Z,A,Y,B,C");
    list.remove(2);
    list.remove(list.count());
    EXPECT_EQ(names(list), "Z,Y,B");
    for (int i = 0; i < 4; ++i)
        list.removeLast(); // the last call finds the list empty and does nothing
    EXPECT_TRUE(list.isEmpty());

    // Counts and indices are 32-bit: past 65535 points every index still finds its point.
    for (int i = 1; i <= 70000; ++i)
        list.append(point(QString::number(i)));
    EXPECT_EQ(list[70000].name, "70000");
    // Appending or inserting a point of the list itself survives the growth that moves it.
    list.append(list[1]);
    list.insert(1, list[70001]);
    EXPECT_EQ(list.count(), 70002);
    EXPECT_EQ(names(list).left(6), "1,1,2,");
    EXPECT_EQ(list[70002].name, "1");
    list.clear();
    list.append(point("A"));
    EXPECT_EQ(names(list), "A");
}

TEST(PointStore, ReverseRewritesDatesAndKeepsTracksWithTheirPoints)
{
    setClock([] { return test::at(2026, 12, 5, 17, 44, 27); });
    PointList track;
    for (const char *n : {"1", "2", "3", "4", "5"})
        track.append(point(n, *n == '1' ? "T1" : *n == '3' ? "T2" : ""));
    EXPECT_EQ(trackCount(track), 2);
    reverseList(track);
    setClock({});
    EXPECT_EQ(names(track), "5,4,3,2,1");
    for (const GpsPoint &p : track)
        EXPECT_EQ(test::stamp(p), "05/12/2026 17:44:27");
    // The descriptions move with their points: now three tracks, 5-4, 3-2 and 1 alone.
    EXPECT_EQ(trackCount(track), 3);
    EXPECT_EQ(QList<bool>({trackStarts(track, 1), trackStarts(track, 2), trackStarts(track, 3), trackStarts(track, 4), trackStarts(track, 5)}),
              QList<bool>({true, false, true, false, true}));
}
