#include "base/Messages.h"
#include "PointFileTest.h"

#include <QFileInfo>

using namespace gipso;
using namespace gipso::test;

using Gpx = PointFileTest;

TEST_F(Gpx, ExportWritesTheFixedLayout)
{
    PointStore s;
    s.wayPoints.append(makePoint(PointKind::Way, "CASA", 45.464, 9.19, 122.0f, at(2026, 12, 5, 17, 44, 27), "home"));
    s.routePoints.append(GpsPoint{-1.5, 2.25, 3.0f, 0, 0, PointKind::Route, "R", QString()});
    // "]]>" would end the section and "<" would read as a tag: both close and reopen it.
    s.trackPoints.append(GpsPoint{1, 2, -3.5f, 0, 0, PointKind::Track, QString(), "a]]>b<c"});
    s.pointsModified = true;
    writeGpx(path("all.gpx"), s);
    EXPECT_FALSE(s.pointsModified);
    // The namespace on a line of its own makes the file valid GPX 1.0.
    EXPECT_EQ(readAll(path("all.gpx")),
              "<?xml version=\"1.0\" standalone=\"yes\"?>\r\n<gpx\r\n version=\"1.0\"\r\n"
              " creator=\"Gipso 2.6 - https://gipso.example.org\"\r\n xmlns=\"http://www.topografix.com/GPX/1/0\">\r\n"
              " <time>2026-12-05T17:44:27Z</time>\r\n"
              " <wpt lat=\"45.4640000000\" lon=\"9.1900000000\">\r\n  <ele>122.00</ele>\r\n  <time>2026-12-05T17:44:27Z</time>\r\n"
              "  <name><![CDATA[CASA]]></name>\r\n  <desc><![CDATA[home]]></desc>\r\n </wpt>\r\n"
              " <rte>\r\n  <rtept lat=\"-1.5000000000\" lon=\"2.2500000000\">\r\n   <ele>3.00</ele>\r\n"
              "   <time>1899-12-30T00:00:00Z</time>\r\n   <name><![CDATA[R]]></name>\r\n   <desc><![CDATA[]]></desc>\r\n"
              "  </rtept>\r\n </rte>\r\n"
              " <trk>\r\n  <name><![CDATA[a]]]]><![CDATA[>b<]]><![CDATA[c]]></name>\r\n  <trkseg>\r\n   <trkpt lat=\"1.0000000000\" lon=\"2.0000000000\">\r\n    <ele>-3.50</ele>\r\n"
              "    <time>1899-12-30T00:00:00Z</time>\r\n    <name><![CDATA[]]></name>\r\n"
              "    <desc><![CDATA[a]]]]><![CDATA[>b<]]><![CDATA[c]]></desc>\r\n   </trkpt>\r\n  </trkseg>\r\n </trk>\r\n"
              "</gpx>\r\n");
}

TEST_F(Gpx, RoundTripAndPeersReadAndValidateWhatWeWrite)
{
    PointStore original = sampleStore();
    writeGpx(path("ours.gpx"), original);
    PointStore back;
    const ImportResult r = readGpx(path("ours.gpx"), back, false);
    EXPECT_TRUE(r.readable);
    EXPECT_EQ(r.skipped, 0);
    expectSameStore(sampleStore(), back);
    if (!haveProgram("xmllint"))
        GTEST_SKIP() << "xmllint not installed";
    CliRun peer = runProgram("xmllint", {"--noout", "--schema", testData("schema/gpx10.xsd"), path("ours.gpx")});
    EXPECT_EQ(peer.status, 0) << peer.err.toStdString();
    if (!haveProgram("gpsbabel"))
        GTEST_SKIP() << "gpsbabel not installed";
    // gpsbabel reads our file and writes it again as GPX 1.1 in its own way (entities for the
    // awkward texts, no CDATA, nine decimals), which we import back whole.
    peer = runProgram("gpsbabel", {"-w", "-r", "-t", "-i", "gpx", "-f", path("ours.gpx"), "-o", "gpx,gpxver=1.1", "-F", path("babel.gpx")});
    ASSERT_EQ(peer.status, 0) << peer.err.toStdString();
    const QByteArray babel = readAll(path("babel.gpx"));
    ASSERT_TRUE(babel.contains("GPX/1/1") && babel.contains("A&amp;B") && !babel.contains("CDATA"));
    PointStore babelBack;
    EXPECT_EQ(readGpx(path("babel.gpx"), babelBack, false).skipped, 0);
    expectSameStore(sampleStore(), babelBack);
    // Ignoring TrackPoint descriptions keeps every track: each <trk> is one, named.
    for (const char *file : {"ours.gpx", "babel.gpx"}) {
        PointStore ignoring;
        readGpx(path(file), ignoring, true);
        expectSameStore(sampleStore(), ignoring);
    }
}

// Every <trk> and every later <trkseg> starts a track, named by its first point's own
// description when kept, else by the <trk>'s name, else "Track N".
TEST_F(Gpx, TracksAndSegmentsStartTracks)
{
    setLanguage(kEnglish);
    writeAll(path("tracks.gpx"),
             "<gpx><trk><name>Morning</name><trkseg>\n"
             "<trkpt lat=\"1\" lon=\"1\"><desc>own</desc></trkpt><trkpt lat=\"1\" lon=\"2\"><desc>mid</desc></trkpt>\n"
             "</trkseg><trkseg><trkpt lat=\"1\" lon=\"3\"/></trkseg></trk>\n"
             "<trk><trkseg><trkpt lat='1' lon='4'/><trkpt lat='1' lon='5'/></trkseg></trk></gpx>\n");
    for (auto [ignore, expected] : {std::pair{true, "Morning,,Morning,Track 3,"}, {false, "own,mid,Morning,Track 4,"}}) {
        PointStore s;
        readGpx(path("tracks.gpx"), s, ignore);
        QStringList descriptions;
        for (const GpsPoint &p : s.trackPoints)
            descriptions << p.description;
        EXPECT_EQ(descriptions.join(','), QLatin1String(expected)) << "ignoring: " << ignore;
    }
    setLanguage(kItalian);
    PointStore s;
    readGpx(path("tracks.gpx"), s, true);
    setLanguage(kEnglish);
    EXPECT_EQ(s.trackPoints[4].description, "Traccia 3");
}

TEST_F(Gpx, RealFilesImportWithTheirCounts)
{
    struct Expected {
        const char *file;
        int wpt, rte, trk;
    };
    const Expected files[] = {{"gpx1.0_with_all_fields.gpx", 2, 5, 1}, {"gpx1.1_with_all_fields.gpx", 2, 5, 1},
                              {"gpxpassthrough11.gpx", 3, 3, 3},        {"korita-zbevnica.gpx", 2, 0, 871},
                              {"metadata.gpx", 2, 0, 0},                {"route.gpx", 0, 55, 0},
                              {"track-with-empty-segment.gpx", 0, 0, 9}, {"unicode_with_bom.gpx", 1, 0, 0}};
    for (const Expected &e : files) {
        SCOPED_TRACE(e.file);
        PointStore s;
        const ImportResult r = readGpx(testData(QStringLiteral("gpx/") + QLatin1String(e.file)), s, true);
        EXPECT_TRUE(r.readable);
        EXPECT_EQ(r.skipped, 0) << r.firstProblem.toStdString();
        EXPECT_EQ(s.wayPoints.count(), e.wpt);
        EXPECT_EQ(s.routePoints.count(), e.rte);
        EXPECT_EQ(s.trackPoints.count(), e.trk);
    }
    // Without a name a point is called by the WayPoints so far plus one; without a time it is now.
    PointStore s;
    readGpx(testData("gpx/gpx1.0_with_all_fields.gpx"), s, false);
    EXPECT_EQ(described(s.wayPoints), (QStringList{"0 example name|example desc| 12.300000000 45.600000000 75.10 02/01/2013 02:03:00",
                                                   "0 2|| 13.400000000 46.700000000 0.00 05/12/2026 17:44:27"}));
    EXPECT_EQ(s.routePoints[2].name, "3");
    EXPECT_EQ(described(s.trackPoints),
              QStringList{"2 example name t|example desc t| 10.100000000 -20.200000000 11.10 01/01/2013 12:00:04"});
    PointStore u;
    readGpx(testData("gpx/unicode_with_bom.gpx"), u, false);
    EXPECT_EQ(described(u.wayPoints), QStringList{"0 test|test desc| 43.309634000 3.515386000 -14.60 27/05/2016 10:08:47"});
}

TEST_F(Gpx, ScannerRules)
{
    // Times keep only the seconds; an element over several lines is joined without separators;
    // references outside CDATA are decoded, CDATA is taken as it stands (text around it
    // dropped, an open one to the end).
    PointStore s;
    importBytes(R"(<rte><rtept lat="7" lon="8">
  <time>2007-03-04T05:06:07.250Z</time><name>Na
me &amp; &#233;&#x41; &foo; &#0;</name>
  <ele>1.5</ele></rtept>
<rtept lat="9" lon="10"><ele><![CDATA[12.5]]></ele><desc> <![CDATA[a &amp; b]]> </desc><time>2007-03-04</time></rtept>
<rtept lat="9" lon="10"><time>2007-03-04T10:20</time><name>x<![cdata[in]]>y</name><desc><![CDATA[open</desc></rtept></rte>)", true, s);
    EXPECT_EQ(described(s.routePoints), (QStringList{"1 Name & \u00e9A &foo; &#0;|| 7.000000000 8.000000000 1.50 04/03/2007 05:06:07",
                                                     "1 1|a &amp; b| 9.000000000 10.000000000 12.50 04/03/2007 00:00:00",
                                                     "1 in|open| 9.000000000 10.000000000 0.00 04/03/2007 10:20:00"}));
}

TEST_F(Gpx, ElementsClosedInTheirStartTagAndSharingLines)
{
    // Elements closed by "/>" are whole, also after an element with children, also with the start
    // tag over two lines; elements on one line are read in their order; names in any case;
    // attributes in any order, in either quote, with blanks around "=", a '>' inside a value.
    // Without names or times points are called by the WayPoints so far plus one, dated now.
    PointStore s;
    const ImportResult r = importBytes(R"(<gpx>
<wpt lat="1" lon="2"><name>W</name></wpt>
<trkpt lat='3' lon='4'/>
<trkpt LAT = "5" lon="6" /><trkpt lat="7"
  lon="8"/><rtept lat="9" lon="10"><name>a>b</name></rtept><trkpt lat="11" lon='12' x="/>"/>
<WPT LON="14" lat="13"/>
<trkpt lat="15" lon="16"><name>after</name></trkpt>
</gpx>
)", true, s);
    EXPECT_EQ(r.skipped, 0) << r.firstProblem.toStdString();
    QStringList all = described(s.wayPoints) + described(s.routePoints) + described(s.trackPoints);
    EXPECT_EQ(all.replaceInStrings(" 0.00 05/12/2026 17:44:27", " now"),
              (QStringList{"0 W|| 1.000000000 2.000000000 now", "0 2|| 13.000000000 14.000000000 now",
                           "1 a>b|| 9.000000000 10.000000000 now", "2 2|| 3.000000000 4.000000000 now",
                           "2 2|| 5.000000000 6.000000000 now", "2 2|| 7.000000000 8.000000000 now",
                           "2 2|| 11.000000000 12.000000000 now", "2 after|| 15.000000000 16.000000000 now"}));
}

TEST_F(Gpx, ElementsThatCannotBeConvertedAreSkippedWhole)
{
    setLanguage(kEnglish);
    PointStore s;
    ImportResult r = importBytes(R"(<gpx>
<wpt lat=1 lon=2><name>no quotes</name></wpt>
<wpt lon="2"><name>no lat</name></wpt>
<wpt lat="x" lon="2"></wpt>
<wpt lat="1" lon="2"><NAME>upper</NAME></wpt>
<wpt lat="1" lon="2"><ele>high</ele></wpt>
<wpt lat="1" lon="2"><time>2013</time></wpt>
<wpt lat="1" lon="2"><time>2013-02-30T00:00:00Z</time></wpt>
<wpt lat="1" lon="2"><time>2013-01-01T25:00:00Z</time></wpt>
<wpt lat="1e999" lon="2"></wpt>
<wpt lat="nan" lon="2"></wpt>
<wpt lat="1" lon="2"><name>good</name></wpt>
<trkpt lat="1" lon="2"><name>never closed</name>
)", true, s);
    EXPECT_TRUE(r.readable);
    EXPECT_EQ(r.skipped, 11);
    EXPECT_EQ(r.firstProblem, "line 2: wpt has no readable lat=\"...\"");
    EXPECT_EQ(described(s.wayPoints), QStringList{"0 good|| 1.000000000 2.000000000 0.00 05/12/2026 17:44:27"});
    EXPECT_EQ(s.trackPoints.count(), 0);

    PointStore e;
    EXPECT_FALSE(importBytes("<gpx><trk><name>no points</name></trk></gpx>", true, e).readable);
    EXPECT_TRUE(e.allEmpty());

    // A document cut off between two points says so; one that ends whole, or a bare list of
    // points, does not.
    for (const auto &[text, problem] : std::vector<std::pair<const char *, QString>>{
             {"<gpx version=\"1.0\">\r\n<wpt lat=\"1\" lon=\"2\"></wpt>\r\n<wpt lat=\"3\" lon=\"4\"/>\r\n",
              "line 3: the file ends before </gpx>: it may be cut off"},
             {"<GPX>\n<wpt lat=\"1\" lon=\"2\"></wpt><wpt lat=\"3\" lon=\"4\"/></GPX >\n", ""},
             {"<wpt lat=\"1\" lon=\"2\"></wpt><wpt lat=\"3\" lon=\"4\"/>", ""}}) {
        PointStore c;
        r = importBytes(text, true, c);
        EXPECT_EQ(c.wayPoints.count(), 2) << text;
        EXPECT_EQ(r.skipped, problem.isEmpty() ? 0 : 1) << text;
        EXPECT_EQ(r.firstProblem, problem);
    }
}

// Elements over several lines give what their lines joined give, whatever the line ends, and a
// problem after them is reported at its own line.
TEST_F(Gpx, ElementsOverSeveralLinesKeepTheirTextsAndLineNumbers)
{
    setLanguage(kEnglish);
    for (const char *lineEnd : {"\r\n", "\n", "\r"}) {
        SCOPED_TRACE(QByteArray(lineEnd).toHex().toStdString());
        QByteArray text = "<gpx>~<wpt lat=\"1\" lon=\"2\">~ <name>A</name>~ <time>2001-02-03T04:05:06Z</time>~</wpt>~"
                          "<wpt lat=\"3\"~ lon=\"4\"><name>B</name></wpt>~" // the start tag over two lines
                          "<wpt lat=\"5\" lon=\"6\"><name>C ~ D</name>~</wpt>~" // a line end inside a text
                          "<wpt lon=\"8\">~</wpt>~</gpx>~";
        PointStore s;
        const ImportResult r = importBytes(text.replace("~", lineEnd), true, s);
        QStringList all = described(s.wayPoints);
        EXPECT_EQ(all.replaceInStrings(" 0.00 05/12/2026 17:44:27", " now"),
                  (QStringList{"0 A|| 1.000000000 2.000000000 0.00 03/02/2001 04:05:06",
                               "0 B|| 3.000000000 4.000000000 now", "0 C  D|| 5.000000000 6.000000000 now"}));
        EXPECT_EQ(r.skipped, 1);
        EXPECT_EQ(r.firstProblem, "line 11: wpt has no readable lat=\"...\"");
    }
}

// A file larger than the blocks it is read in comes back as it was written.
TEST_F(Gpx, LargeFileReadsBackWhole)
{
    PointStore s;
    for (int i = 0; i < 30000; ++i) {
        GpsPoint p = makePoint(PointKind::Track, i % 7 ? QString() : QStringLiteral("N\u00e8%1").arg(i), 45 + i * 1e-6,
                               -9 - i % 5000 * 1e-5, float(100 + i % 700 * 0.25), at(2024, 6, 1 + i / 20000, i / 3600 % 24, i / 60 % 60, i % 60));
        if (i % 1000 == 0)
            p.description = QStringLiteral("Track %1 a]]>b<c").arg(i / 1000);
        s.trackPoints.append(p);
    }
    writeGpx(path("large.gpx"), s);
    ASSERT_GT(QFileInfo(path("large.gpx")).size(), 4 << 20);
    PointStore back;
    const ImportResult r = readGpx(path("large.gpx"), back, false);
    EXPECT_EQ(r.skipped, 0);
    expectSameStore(s, back);
}
