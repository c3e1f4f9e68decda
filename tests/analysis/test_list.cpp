// The points list: its text line by line, the labels, the separators and which line is which point.
#include "analysis/PointListText.h"
#include "base/Messages.h"
#include "support/TestSupport.h"

#include <QLocale>
#include <gtest/gtest.h>

using namespace gipso;
using test::at;
using test::makePoint;

namespace {

const QString kHeader = QStringLiteral("NAME       LATITUDE     LONGITUDE ALTITUDE    DATE     TIME    DESCRIPTION ");

struct English {
    English() { setLanguage(kEnglish); }
};

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
    English english;
    PointList route;
    route.append(makePoint(PointKind::Route, "R1", 0, 0, 12.3f, at(2026, 12, 7, 9, 30, 15), "  start  "));
    route.append(makePoint(PointKind::Route, "R2", 0, 1, 0, at(2026, 12, 7, 9, 30, 15)));
    const PointListText t(route, PointKind::Route, unitSettings(true));
    EXPECT_EQ(linesOf(t), QStringList({
                              "RoutePoints List. ",
                              "",
                              kHeader,
                              "",
                              "R1       0.00000000    0.00000000     12.3 07/12/2026 09:30:15 start",
                              " -> Heading:  90.00\u00b0    Distance:   111.120 km",
                              "R2       0.00000000    1.00000000      0.0 07/12/2026 09:30:15 ",
                          }));
    EXPECT_EQ(labelsOf(t), QStringList({"N\u00b0 2 RoutePoints.", "Route length: 111.120 km", "Orthodrome total length: 111.120 km"}));
    EXPECT_EQ(t.text(QStringLiteral("\r\n")), linesOf(t).join("\r\n") + "\r\n");
    EXPECT_EQ(t.text(5, 6, QStringLiteral("\n")), linesOf(t).mid(5).join('\n') + '\n');
}

TEST(PointList, ZeroLengthLegAndEmptyLists)
{
    English english;
    const PointList same = listOf(PointKind::Route, {{10, 10}, {10, 10}});
    EXPECT_EQ(PointListText(same, PointKind::Route, unitSettings(true)).line(5),
              " -> Heading: 270.00\u00b0    Distance:     0.000 km");

    const PointList empty, one = listOf(PointKind::Track, {{45, 7}});
    const PointListText route(empty, PointKind::Route, unitSettings(true)), track(one, PointKind::Track, unitSettings(true)),
        way(empty, PointKind::Way, unitSettings(true));
    EXPECT_EQ(route.text(QStringLiteral("\r\n")), "RoutePoints List. \r\n\r\n" + kHeader + "\r\n\r\n");
    EXPECT_EQ(labelsOf(route), QStringList({"N\u00b0 0 RoutePoints.", "Route length: 0.000 km", "Orthodrome total length: 0.000 km"}));
    EXPECT_EQ(labelsOf(track), QStringList({"N\u00b0 1 TrackPoints.", "Track length: 0.000 km", "Orthodrome total length: 0.000 km"}));
    EXPECT_EQ(way.line(0), "WayPoints List. ");
    EXPECT_EQ(way.lineCount(), 4);
    EXPECT_EQ(labelsOf(way), QStringList({"N\u00b0 0 WayPoints.", "", ""}));
}

TEST(PointList, TwoTracksNumberedWithoutTheGapBetweenThem)
{
    English english;
    PointList track;
    track.append(makePoint(PointKind::Track, "x", 45, 7, 0, {}, "Morning"));
    track.append(makePoint(PointKind::Track, "y", 46, 7));
    track.append(makePoint(PointKind::Track, "z", 50, 7, 0, {}, "Afternoon"));
    track.append(makePoint(PointKind::Track, "w", 51, 7));
    const PointListText t(track, PointKind::Track, unitSettings(true));
    EXPECT_EQ(linesOf(t).mid(4), QStringList({
                                     "1       45.00000000    7.00000000      0.0 30/12/1899 00:00:00 Morning",
                                     "2       46.00000000    7.00000000      0.0 30/12/1899 00:00:00 ",
                                     "3       50.00000000    7.00000000      0.0 30/12/1899 00:00:00 Afternoon",
                                     "4       51.00000000    7.00000000      0.0 30/12/1899 00:00:00 ",
                                 }));
    // The orthodrome still spans the very first and the very last point.
    EXPECT_EQ(labelsOf(t), QStringList({"N\u00b0 4 TrackPoints.", "Track length: 222.240 km", "Orthodrome total length: 666.720 km"}));
}

TEST(PointList, NauticalItalianWithOtherSeparators)
{
    setLanguage(kItalian);
    PointList way;
    way.append(makePoint(PointKind::Way, "W1", -45.5, -7.25, 100, at(2003, 2, 1, 4, 5, 6), "Casa"));
    // A name longer than the column (from a file) is shown whole and pushes its line on.
    way.append(makePoint(PointKind::Way, "LONGNAME7", 45, 7));
    const PointListText t(way, PointKind::Way, unitSettings(false), {",", ".", "."});
    EXPECT_EQ(linesOf(t), QStringList({
                              "Elenco WayPoints. ",
                              "",
                              "NOME     LATITUDINE   LONGITUDINE    QUOTA    DATA      ORA    DESCRIZIONE ",
                              "",
                              "W1     -45,50000000   -7,25000000    328,1 01.02.2003 04.05.06 Casa",
                              "LONGNAME7  45,00000000    7,00000000      0,0 30.12.1899 00.00.00 ",
                          }));
    EXPECT_EQ(t.countLabel(), "N\u00b0  2 WayPoints.");

    PointList route = listOf(PointKind::Route, {{45, 7}, {46, 7}});
    const PointListText r(route, PointKind::Route, unitSettings(false), {",", "/", ":"});
    EXPECT_EQ(r.line(5), " -> Angolo:   0,00\u00b0    Distanza:    60,000 NM");
    EXPECT_EQ(r.lengthLabel(), "Lunghezza rotta: 60,000 NM");
    EXPECT_EQ(r.orthodromeLabel(), "Lunghezza totale ortodromia: 60,000 NM");
    setLanguage(kEnglish);
}

TEST(PointList, RegionalSeparatorsFollowTheLocale)
{
    const QLocale saved;
    const std::vector<std::pair<QLocale, QStringList>> rows = {
        {QLocale::c(), {".", "/", ":"}},
        {QLocale(QLocale::Italian, QLocale::Italy), {",", "/", ":"}},
        {QLocale(QLocale::German, QLocale::Germany), {",", ".", ":"}},
        {QLocale(QLocale::Finnish, QLocale::Finland), {",", ".", "."}},
        {QLocale(QLocale::Swedish, QLocale::Sweden), {",", "-", ":"}},
    };
    for (const auto &[locale, expected] : rows) {
        QLocale::setDefault(locale);
        const ListSeparators s = regionalSeparators();
        EXPECT_EQ(QStringList({s.decimalPoint, s.date, s.time}), expected) << locale.name().toStdString();
    }
    QLocale::setDefault(saved);
}

TEST(PointList, FormulaErrorsLeaveTheirLegsBlankAndOutOfTheLength)
{
    English english;
    // Latitudes of -90 and 95 (read from a file) have no rhumb line.
    const PointList route = listOf(PointKind::Route, {{0, 0}, {0, 1}, {95, 1}, {0, 2}});
    const PointListText r(route, PointKind::Route, unitSettings(true));
    const QString blank = QStringLiteral(" -> Heading:       \u00b0    Distance:           km");
    EXPECT_EQ(r.line(5), " -> Heading:  90.00\u00b0    Distance:   111.120 km");
    EXPECT_EQ(r.line(7), blank);
    EXPECT_EQ(r.line(9), blank);
    EXPECT_EQ(r.line(8), "P       95.00000000    1.00000000      0.0 30/12/1899 00:00:00 ");
    EXPECT_EQ(r.lengthLabel(), "Route length: 111.120 km");
    EXPECT_EQ(r.orthodromeLabel(), "Orthodrome total length: 222.240 km");

    const PointList track = listOf(PointKind::Track, {{0, 0}, {0, 1}, {-90, 1}, {0, 2}});
    const PointListText t(track, PointKind::Track, unitSettings(true));
    EXPECT_EQ(t.lengthLabel(), "Track length: 111.120 km");
    EXPECT_EQ(t.orthodromeLabel(), "Orthodrome total length: 222.240 km");
}

TEST(PointList, LineToPointRules)
{
    struct Row {
        PointKind kind;
        int32_t count, line, point;
    };
    const Row rows[] = {
        {PointKind::Way, 3, 0, 0},   {PointKind::Way, 3, 3, 0},   {PointKind::Way, 3, 4, 1},
        {PointKind::Way, 3, 6, 3},   {PointKind::Way, 3, 7, 0},   {PointKind::Track, 1, 4, 1},
        {PointKind::Track, 0, 4, 0}, {PointKind::Route, 3, 4, 1}, {PointKind::Route, 3, 5, 0},
        {PointKind::Route, 3, 6, 2}, {PointKind::Route, 3, 8, 3}, {PointKind::Route, 3, 9, 0},
        {PointKind::Route, 3, 10, 0}, {PointKind::Route, 3, 2, 0},
    };
    for (const Row &r : rows) {
        EXPECT_EQ(pointAtLine(r.kind, r.count, r.line), r.point) << int(r.kind) << " line " << r.line;
        if (r.point) {
            EXPECT_EQ(lineOfPoint(r.kind, r.point), r.line);
        }
    }
}

TEST(PointList, MoreThan32767Points)
{
    English english;
    PointList track, route;
    for (int i = 0; i < 40000; ++i)
        track.append(makePoint(PointKind::Track, {}, 0, i * 0.001));
    for (int i = 0; i < 20000; ++i)
        route.append(makePoint(PointKind::Route, QStringLiteral("R"), 0, i * 0.001));
    const PointListText t(track, PointKind::Track, unitSettings(true));
    EXPECT_EQ(t.lineCount(), 40004);
    EXPECT_EQ(t.pointAtLine(40003), 40000);
    EXPECT_EQ(t.line(40003), "40000    0.00000000   39.99900000      0.0 30/12/1899 00:00:00 ");
    EXPECT_EQ(t.countLabel(), "N\u00b0 40000 TrackPoints.");
    EXPECT_EQ(t.lengthLabel(), "Track length: 4444.689 km");
    const PointListText r(route, PointKind::Route, unitSettings(true));
    EXPECT_EQ(r.lineCount(), 40003);
    EXPECT_EQ(r.pointAtLine(40002), 20000);
    EXPECT_EQ(r.pointAtLine(40001), 0);
    EXPECT_EQ(r.line(40001), " -> Heading:  90.00\u00b0    Distance:     0.111 km");
    EXPECT_EQ(r.countLabel(), "N\u00b0 20000 RoutePoints.");

    // A line of a point removed since the list was made reads as empty, never past the end.
    track.removeLast();
    EXPECT_EQ(t.line(40003), "");
}
