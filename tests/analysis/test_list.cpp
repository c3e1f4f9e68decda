// The points list: its text line by line, the labels, the separators and which line is which point.
#include "analysis/PointListText.h"
#include "base/Messages.h"
#include "support/TestSupport.h"

#include <QLocale>
#include <gtest/gtest.h>

using namespace gipso;
using namespace gipso::test;

namespace {

const QString kHeader = QStringLiteral("NAME       LATITUDE     LONGITUDE ALTITUDE    DATE     TIME    DESCRIPTION ");

PointList listOf(PointKind kind, std::initializer_list<std::pair<double, double>> positions)
{
    PointList list;
    for (auto [lat, lon] : positions)
        list.append(makePoint(kind, QStringLiteral("P"), lat, lon));
    return list;
}

QStringList linesOf(const PointListText &t)
{
    QStringList out;
    for (int32_t i = 0; i < t.lineCount(); ++i)
        out << t.line(i);
    return out;
}

QStringList labelsOf(const PointListText &t) { return {t.countLabel(), t.lengthLabel(), t.orthodromeLabel()}; }

} // namespace

TEST(PointList, RouteAlongTheEquator)
{
    setLanguage(kEnglish);
    PointList route;
    route.append(makePoint(PointKind::Route, "R1", 0, 0, 12.3f, at(2026, 12, 7, 9, 30, 15), "  start  "));
    route.append(makePoint(PointKind::Route, "R2", 0, 1, 0, at(2026, 12, 7, 9, 30, 15)));
    const PointListText t(route, PointKind::Route, unitSettings(true));
    EXPECT_EQ(linesOf(t), QStringList({"RoutePoints List. ", "", kHeader, "",
                                       "R1       0.00000000    0.00000000     12.3 07/12/2026 09:30:15 start",
                                       " -> Heading:  90.00\u00b0    Distance:   111.120 km",
                                       "R2       0.00000000    1.00000000      0.0 07/12/2026 09:30:15 "}));
    EXPECT_EQ(labelsOf(t), QStringList({"N\u00b0 2 RoutePoints.", "Route length: 111.120 km", "Orthodrome total length: 111.120 km"}));
    EXPECT_EQ(t.text(5, 6, QStringLiteral("\r\n")), linesOf(t).mid(5).join("\r\n") + "\r\n");
}

TEST(PointList, ZeroLengthLegAndEmptyLists)
{
    setLanguage(kEnglish);
    const PointList same = listOf(PointKind::Route, {{10, 10}, {10, 10}}), empty, one = listOf(PointKind::Track, {{45, 7}});
    EXPECT_EQ(PointListText(same, PointKind::Route, unitSettings(true)).line(5), " -> Heading: 270.00\u00b0    Distance:     0.000 km");
    const PointListText route(empty, PointKind::Route, unitSettings(true)), track(one, PointKind::Track, unitSettings(true)),
        way(empty, PointKind::Way, unitSettings(true));
    EXPECT_EQ(route.text(QStringLiteral("\r\n")), "RoutePoints List. \r\n\r\n" + kHeader + "\r\n\r\n");
    EXPECT_EQ(labelsOf(route), QStringList({"N\u00b0 0 RoutePoints.", "Route length: 0.000 km", "Orthodrome total length: 0.000 km"}));
    EXPECT_EQ(labelsOf(track), QStringList({"N\u00b0 1 TrackPoints.", "Track length: 0.000 km", "Orthodrome total length: 0.000 km"}));
    EXPECT_EQ(labelsOf(way), QStringList({"N\u00b0 0 WayPoints.", "", ""}));
}

TEST(PointList, TwoTracksNumberedWithoutTheGapBetweenThem)
{
    setLanguage(kEnglish);
    PointList track;
    track.append(makePoint(PointKind::Track, "x", 45, 7, 0, {}, "Morning"));
    track.append(makePoint(PointKind::Track, "y", 46, 7));
    track.append(makePoint(PointKind::Track, "z", 50, 7, 0, {}, "Afternoon"));
    track.append(makePoint(PointKind::Track, "w", 51, 7));
    const PointListText t(track, PointKind::Track, unitSettings(true));
    EXPECT_EQ(linesOf(t).mid(4), QStringList({"1       45.00000000    7.00000000      0.0 30/12/1899 00:00:00 Morning",
                                              "2       46.00000000    7.00000000      0.0 30/12/1899 00:00:00 ",
                                              "3       50.00000000    7.00000000      0.0 30/12/1899 00:00:00 Afternoon",
                                              "4       51.00000000    7.00000000      0.0 30/12/1899 00:00:00 "}));
    // The orthodrome still spans the very first and the very last point.
    EXPECT_EQ(labelsOf(t), QStringList({"N\u00b0 4 TrackPoints.", "Track length: 222.240 km", "Orthodrome total length: 666.720 km"}));
}

TEST(PointList, NauticalItalianWithOtherSeparators)
{
    setLanguage(kItalian);
    PointList way;
    way.append(makePoint(PointKind::Way, "W1", -45.5, -7.25, 100, at(2003, 2, 1, 4, 5, 6), "Casa"));
    way.append(makePoint(PointKind::Way, "LONGNAME7", 45, 7)); // longer than the column: whole, pushing its line on
    const PointListText t(way, PointKind::Way, unitSettings(false), {",", ".", "."});
    EXPECT_EQ(linesOf(t), QStringList({"Elenco WayPoints. ", "",
                                       "NOME     LATITUDINE   LONGITUDINE    QUOTA    DATA      ORA    DESCRIZIONE ", "",
                                       "W1     -45,50000000   -7,25000000    328,1 01.02.2003 04.05.06 Casa",
                                       "LONGNAME7  45,00000000    7,00000000      0,0 30.12.1899 00.00.00 "}));
    EXPECT_EQ(t.countLabel(), "N\u00b0  2 WayPoints.");
    const PointList route = listOf(PointKind::Route, {{45, 7}, {46, 7}});
    const PointListText r(route, PointKind::Route, unitSettings(false), {",", "/", ":"});
    EXPECT_EQ(QStringList({r.line(5), r.lengthLabel(), r.orthodromeLabel()}),
              QStringList({" -> Angolo:   0,00\u00b0    Distanza:    60,000 NM", "Lunghezza rotta: 60,000 NM",
                           "Lunghezza totale ortodromia: 60,000 NM"}));
}

TEST(PointList, RegionalSeparatorsFollowTheLocale)
{
    const QLocale saved;
    const std::pair<QLocale, QStringList> rows[] = {
        {QLocale::c(), {".", "/", ":"}}, {QLocale(QLocale::Italian, QLocale::Italy), {",", "/", ":"}},
        {QLocale(QLocale::German, QLocale::Germany), {",", ".", ":"}}, {QLocale(QLocale::Finnish, QLocale::Finland), {",", ".", "."}},
        {QLocale(QLocale::Swedish, QLocale::Sweden), {",", "-", ":"}}};
    for (const auto &[locale, expected] : rows) {
        QLocale::setDefault(locale);
        const ListSeparators s = regionalSeparators();
        EXPECT_EQ(QStringList({s.decimalPoint, s.date, s.time}), expected) << locale.name().toStdString();
    }
    QLocale::setDefault(saved);
}

TEST(PointList, FormulaErrorsLeaveTheirLegsBlankAndOutOfTheLength)
{
    setLanguage(kEnglish);
    // Latitudes of 95 and -90 (read from a file) have no rhumb line.
    const PointList route = listOf(PointKind::Route, {{0, 0}, {0, 1}, {95, 1}, {0, 2}});
    const PointListText r(route, PointKind::Route, unitSettings(true));
    const QString blank = QStringLiteral(" -> Heading:       \u00b0    Distance:           km");
    EXPECT_EQ(linesOf(r).mid(5), QStringList({" -> Heading:  90.00\u00b0    Distance:   111.120 km",
                                              "P        0.00000000    1.00000000      0.0 30/12/1899 00:00:00 ", blank,
                                              "P       95.00000000    1.00000000      0.0 30/12/1899 00:00:00 ", blank,
                                              "P        0.00000000    2.00000000      0.0 30/12/1899 00:00:00 "}));
    EXPECT_EQ(labelsOf(r).mid(1), QStringList({"Route length: 111.120 km", "Orthodrome total length: 222.240 km"}));
    const PointList track = listOf(PointKind::Track, {{0, 0}, {0, 1}, {-90, 1}, {0, 2}});
    EXPECT_EQ(labelsOf(PointListText(track, PointKind::Track, unitSettings(true))).mid(1),
              QStringList({"Track length: 111.120 km", "Orthodrome total length: 222.240 km"}));
}

TEST(PointList, LineToPointRules)
{
    using K = PointKind;
    const struct { K kind; int32_t count, line, point; } rows[] = {
        {K::Way, 3, 0, 0},   {K::Way, 3, 3, 0},   {K::Way, 3, 4, 1},   {K::Way, 3, 6, 3},   {K::Way, 3, 7, 0},
        {K::Track, 1, 4, 1}, {K::Track, 0, 4, 0}, {K::Route, 3, 2, 0}, {K::Route, 3, 4, 1}, {K::Route, 3, 5, 0},
        {K::Route, 3, 6, 2}, {K::Route, 3, 8, 3}, {K::Route, 3, 9, 0}, {K::Route, 3, 10, 0}};
    for (const auto &r : rows) {
        EXPECT_EQ(pointAtLine(r.kind, r.count, r.line), r.point) << int(r.kind) << " line " << r.line;
        EXPECT_TRUE(!r.point || lineOfPoint(r.kind, r.point) == r.line) << int(r.kind) << " point " << r.point;
    }
}

TEST(PointList, MoreThan32767Points)
{
    setLanguage(kEnglish);
    PointList track, route;
    for (int i = 0; i < 40000; ++i) {
        track.append(makePoint(PointKind::Track, {}, 0, i * 0.001));
        if (i < 20000)
            route.append(makePoint(PointKind::Route, QStringLiteral("R"), 0, i * 0.001));
    }
    const PointListText t(track, PointKind::Track, unitSettings(true)), r(route, PointKind::Route, unitSettings(true));
    EXPECT_EQ(QList<int32_t>({t.lineCount(), t.pointAtLine(40003), r.lineCount(), r.pointAtLine(40002), r.pointAtLine(40001)}),
              QList<int32_t>({40004, 40000, 40003, 20000, 0}));
    EXPECT_EQ(t.line(40003), "40000    0.00000000   39.99900000      0.0 30/12/1899 00:00:00 ");
    EXPECT_EQ(r.line(40001), " -> Heading:  90.00\u00b0    Distance:     0.111 km");
    EXPECT_EQ(QStringList({t.countLabel(), t.lengthLabel(), r.countLabel()}),
              QStringList({"N\u00b0 40000 TrackPoints.", "Track length: 4444.689 km", "N\u00b0 20000 RoutePoints."}));
    // A line of a point removed since the list was made reads as empty, never past the end.
    track.removeLast();
    EXPECT_EQ(t.line(40003), "");
}
