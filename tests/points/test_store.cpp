#include "base/Clock.h"
#include "base/DateValue.h"
#include "points/PointStore.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace gipso;

namespace {
// Longitude and altitude follow from the latitude, so one number tells the points apart.
GpsPoint point(PointKind kind, const QString &name, double lat, const QString &desc = {})
{
    return test::makePoint(kind, name, lat, lat / 2, static_cast<float>(lat * 10), {}, desc);
}
QString names(const PointList &list)
{
    QStringList out;
    for (const GpsPoint &p : list)
        out << p.name;
    return out.join(QLatin1Char(','));
}
} // namespace

TEST(PointStore, GrowthByHundredsKeepsPoints)
{
    PointList list;
    EXPECT_EQ(list.count(), 0);
    for (int i = 1; i <= 100; ++i)
        list.append(point(PointKind::Way, QString::number(i), i));
    list.append(point(PointKind::Way, QStringLiteral("101"), 101));
    for (int i = 102; i <= 201; ++i)
        list.append(point(PointKind::Way, QString::number(i), i));
    EXPECT_EQ(list.count(), 201);
    for (int i = 1; i <= 201; ++i)
        ASSERT_EQ(list[i].name, QString::number(i));

    list.clear();
    list.append(point(PointKind::Way, QStringLiteral("A"), 1));
    EXPECT_EQ(list.count(), 1);
    EXPECT_EQ(list[1].name, QStringLiteral("A"));
}

TEST(PointStore, InsertRemoveAndRemoveLast)
{
    PointList list;
    for (const char *n : {"A", "B", "C"})
        list.append(point(PointKind::Route, QLatin1String(n), 1));
    list.insert(1, point(PointKind::Route, QStringLiteral("Z"), 2));
    list.insert(3, point(PointKind::Route, QStringLiteral("Y"), 3));
    EXPECT_EQ(names(list), QStringLiteral("Z,A,Y,B,C"));
    list.remove(2);
    list.remove(list.count());
    EXPECT_EQ(names(list), QStringLiteral("Z,Y,B"));
    list.removeLast();
    list.removeLast();
    list.removeLast();
    list.removeLast(); // on an empty list nothing happens
    EXPECT_EQ(list.count(), 0);

    // Inserting into a full list grows it and keeps every point in order.
    for (int i = 1; i <= 100; ++i)
        list.append(point(PointKind::Route, QString::number(i), i));
    list.insert(50, point(PointKind::Route, QStringLiteral("new"), 0));
    EXPECT_EQ(list[49].name, QStringLiteral("49"));
    EXPECT_EQ(list[50].name, QStringLiteral("new"));
    EXPECT_EQ(list[101].name, QStringLiteral("100"));

    // Appending or inserting a point of the list itself survives the growth that moves it.
    list.clear();
    for (int i = 1; i <= 100; ++i)
        list.append(point(PointKind::Track, QString::number(i), i));
    list.append(list[1]);
    EXPECT_EQ(list[101].name, QStringLiteral("1"));
    list.insert(1, list[101]);
    EXPECT_EQ(names(list).left(4), QStringLiteral("1,1,"));
    EXPECT_EQ(list[102].name, QStringLiteral("1"));
    EXPECT_EQ(list[101].name, QStringLiteral("100"));
}

TEST(PointStore, ReverseRewritesDatesAndKeepsTracksWithTheirPoints)
{
    const QDateTime fixed(QDate(2026, 12, 5), QTime(17, 44, 27));
    setClock([&] { return fixed; });
    PointList track;
    track.append(point(PointKind::Track, {}, 1, QStringLiteral("T1")));
    track.append(point(PointKind::Track, {}, 2));
    track.append(point(PointKind::Track, {}, 3, QStringLiteral("T2")));
    track.append(point(PointKind::Track, {}, 4));
    track.append(point(PointKind::Track, {}, 5));
    EXPECT_EQ(trackCount(track), 2);
    reverseList(track);
    setClock({});
    const double want = toDateValue(fixed);
    QList<double> lats;
    for (int i = 1; i <= 5; ++i) {
        lats << track[i].latitude;
        EXPECT_DOUBLE_EQ(track[i].date, want);
        EXPECT_DOUBLE_EQ(track[i].time, want);
    }
    EXPECT_EQ(lats, (QList<double>{5, 4, 3, 2, 1}));
    EXPECT_EQ(track[3].description, QStringLiteral("T2"));
    EXPECT_EQ(track[5].description, QStringLiteral("T1"));
    // Now three tracks: 5-4, 3-2 and 1 alone.
    EXPECT_EQ(trackCount(track), 3);
    EXPECT_TRUE(trackStarts(track, 1));
    EXPECT_FALSE(trackStarts(track, 2));
    EXPECT_TRUE(trackStarts(track, 3));
    EXPECT_TRUE(trackStarts(track, 5));
    track.append(point(PointKind::Track, {}, 6));
    EXPECT_EQ(track.count(), 6);
}

TEST(DateValue, ConversionsAndFormats)
{
    EXPECT_EQ(formatDateValue(0), QStringLiteral("30/12/1899"));
    EXPECT_EQ(formatTimeValue(0), QStringLiteral("00:00:00"));
    const double v = toDateValue(QDate(2003, 2, 1), QTime(4, 5, 6));
    EXPECT_EQ(formatDateValue(v), QStringLiteral("01/02/2003"));
    EXPECT_EQ(formatTimeValue(v), QStringLiteral("04:05:06"));
    // A time a hair before midnight rounds to the next day, not to 24:00:00.
    const double late = toDateValue(QDate(2020, 1, 1)) + (86400.0 - 0.2) / 86400.0;
    EXPECT_EQ(formatTimeValue(late), QStringLiteral("00:00:00"));
    EXPECT_EQ(formatDateValue(late), QStringLiteral("02/01/2020"));
    // Days before 1899: the fraction still counts from midnight.
    const double old = toDateValue(QDate(1899, 12, 29), QTime(6, 0));
    EXPECT_DOUBLE_EQ(old, -1.25);
    EXPECT_EQ(formatDateValue(old), QStringLiteral("29/12/1899"));
    EXPECT_EQ(formatTimeValue(old), QStringLiteral("06:00:00"));

    EXPECT_EQ(parseDateText(u"01/02/2003"), toDateValue(QDate(2003, 2, 1)));
    EXPECT_FALSE(parseDateText(u"31/02/2003"));
    EXPECT_FALSE(parseDateText(u""));
    EXPECT_FALSE(parseDateText(u"aa/bb/cccc"));
    EXPECT_DOUBLE_EQ(*parseTimeText(u"04:05:06"), (4 * 3600 + 5 * 60 + 6) / 86400.0);
    EXPECT_FALSE(parseTimeText(u"25:00:00"));
    EXPECT_FALSE(parseTimeText(u"x"));
}
