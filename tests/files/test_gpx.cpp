#include "PointFileTest.h"

#include "base/Error.h"

#include <QFile>

using namespace gipso;
using namespace gipso::test;

namespace {

class Gpx : public PointFileTest {
protected:
    // Imports GPX text into a fresh store.
    ImportResult import(const QByteArray &text, PointStore &s, bool ignore = false)
    {
        writeAll(path("in.gpx"), text);
        return readGpx(path("in.gpx"), s, ignore);
    }
};

// gpsbabel reads a GPX file (all three kinds) and writes it again as format.
CliRun gpsbabelGpx(const QString &in, const QString &format, const QString &out)
{
    return runProgram(QStringLiteral("gpsbabel"), {QStringLiteral("-w"), QStringLiteral("-r"), QStringLiteral("-t"),
                                                   QStringLiteral("-i"), QStringLiteral("gpx"), QStringLiteral("-f"), in,
                                                   QStringLiteral("-o"), format, QStringLiteral("-F"), out});
}

} // namespace

TEST_F(Gpx, ExportWritesTheFixedLayout)
{
    PointStore s;
    s.wayPoints.append(makePoint(PointKind::Way, QStringLiteral("CASA"), 45.464, 9.19, 122.0f, at(2026, 12, 5, 17, 44, 27),
                                 QStringLiteral("home")));
    s.pointsModified = true;
    writeGpx(path("w.gpx"), s);
    EXPECT_FALSE(s.pointsModified);
    const QByteArray head = "<?xml version=\"1.0\" standalone=\"yes\"?>\r\n"
                            "<gpx\r\n"
                            " version=\"1.0\"\r\n"
                            " creator=\"Gipso 2.6 - https://gipso.example.org\"\r\n"
          " xmlns=\"http://www.topografix.com/GPX/1/0\">\r\n"
          " <time>2026-12-05T17:44:27Z</time>\r\n";
    const QByteArray wpt = " <wpt lat=\"45.4640000000\" lon=\"9.1900000000\">\r\n"
                           "  <ele>122.00</ele>\r\n"
                           "  <time>2026-12-05T17:44:27Z</time>\r\n"
                           "  <name><![CDATA[CASA]]></name>\r\n"
                           "  <desc><![CDATA[home]]></desc>\r\n"
                           " </wpt>\r\n";
    EXPECT_EQ(readAll(path("w.gpx")), head + wpt + "</gpx>\r\n");

    s.routePoints.append(GpsPoint{-1.5, 2.25, 3.0f, 0, 0, PointKind::Route, QStringLiteral("R"), QString()});
    s.trackPoints.append(GpsPoint{1, 2, -3.5f, 0, 0, PointKind::Track, QString(), QStringLiteral("a]]>b")});
    writeGpx(path("all.gpx"), s);
    EXPECT_EQ(readAll(path("all.gpx")), head + wpt
                                            + " <rte>\r\n"
                                              "  <rtept lat=\"-1.5000000000\" lon=\"2.2500000000\">\r\n"
                                              "   <ele>3.00</ele>\r\n"
                                              "   <time>1899-12-30T00:00:00Z</time>\r\n"
                                              "   <name><![CDATA[R]]></name>\r\n"
                                              "   <desc><![CDATA[]]></desc>\r\n"
                                              "  </rtept>\r\n"
                                              " </rte>\r\n"
                                              " <trk>\r\n"
                                              "  <trkseg>\r\n"
                                              "   <trkpt lat=\"1.0000000000\" lon=\"2.0000000000\">\r\n"
                                              "    <ele>-3.50</ele>\r\n"
                                              "    <time>1899-12-30T00:00:00Z</time>\r\n"
                                              "    <name><![CDATA[]]></name>\r\n"
                                              "    <desc><![CDATA[a]]]]><![CDATA[>b]]></desc>\r\n"
                                              "   </trkpt>\r\n"
                                              "  </trkseg>\r\n"
                                              " </trk>\r\n"
                                              "</gpx>\r\n");
}

TEST_F(Gpx, RoundTripReproducesTheStore)
{
    const PointStore original = sampleStore();
    PointStore copy = original;
    writeGpx(path("rt.gpx"), copy);
    PointStore back;
    ImportResult r = readGpx(path("rt.gpx"), back, false);
    EXPECT_TRUE(r.readable);
    EXPECT_EQ(r.skipped, 0);
    expectSameStore(original, back);
    // Ignoring descriptions: every imported TrackPoint continues one track.
    PointStore joined;
    readGpx(path("rt.gpx"), joined, true);
    EXPECT_EQ(trackCount(joined.trackPoints), 1);
    EXPECT_EQ(joined.wayPoints[2].description, original.wayPoints[2].description);
}

TEST_F(Gpx, PeersReadAndValidateWhatWeWrite)
{
    PointStore original = sampleStore();
    writeGpx(path("ours.gpx"), original);
    if (!haveProgram("xmllint"))
        GTEST_SKIP() << "xmllint not installed";
    CliRun peer = runProgram(QStringLiteral("xmllint"), {QStringLiteral("--noout"), QStringLiteral("--schema"),
                                                         testData(QStringLiteral("schema/gpx10.xsd")), path("ours.gpx")});
    EXPECT_EQ(peer.status, 0) << peer.err.toStdString();
    if (!haveProgram("gpsbabel"))
        GTEST_SKIP() << "gpsbabel not installed";
    // gpsbabel reads our file and writes it again in its own way (entities, no CDATA, nine decimals).
    peer = gpsbabelGpx(path("ours.gpx"), QStringLiteral("gpx"), path("babel.gpx"));
    ASSERT_EQ(peer.status, 0) << peer.err.toStdString();
    ASSERT_FALSE(readAll(path("babel.gpx")).contains("CDATA"));
    PointStore back;
    readGpx(path("babel.gpx"), back, false);
    PointStore expected = sampleStore();
    expectSameStore(expected, back);
}

TEST_F(Gpx, ImportsGpx11WrittenByGpsbabel)
{
    if (!haveProgram("gpsbabel"))
        GTEST_SKIP() << "gpsbabel not installed";
    writeAll(path("src.gpx"), R"(<?xml version="1.0"?>
<gpx version="1.0" creator="test" xmlns="http://www.topografix.com/GPX/1/0">
<wpt lat="45.1" lon="9.1"><ele>10</ele><time>2020-05-06T07:08:09Z</time><name>Fish &amp; Chips</name><desc>A &lt;b&gt;</desc></wpt>
<wpt lat="45.2" lon="9.2"><name>W2</name></wpt>
<rte><name>Route</name>
<rtept lat="46.1" lon="10.1"><name>R1</name></rtept>
<rtept lat="46.2" lon="10.2"><name>R2 &amp; more</name></rtept>
<rtept lat="46.3" lon="10.3"><name>R3</name></rtept>
</rte>
<trk><name>Track one</name><trkseg>
<trkpt lat="47.1" lon="11.1"><ele>100</ele><time>2020-05-06T08:00:00Z</time></trkpt>
<trkpt lat="47.2" lon="11.2"><ele>110</ele><time>2020-05-06T08:00:10Z</time></trkpt>
</trkseg></trk>
<trk><name>Track two</name><trkseg>
<trkpt lat="48.1" lon="12.1"><ele>200</ele><time>2020-05-07T09:00:00Z</time></trkpt>
<trkpt lat="48.2" lon="12.2"><ele>210</ele><time>2020-05-07T09:00:10Z</time></trkpt>
<trkpt lat="48.3" lon="12.3"><ele>220</ele><time>2020-05-07T09:00:20Z</time></trkpt>
</trkseg></trk>
</gpx>
)");
    const CliRun peer = gpsbabelGpx(path("src.gpx"), QStringLiteral("gpx,gpxver=1.1"), path("v11.gpx"));
    ASSERT_EQ(peer.status, 0) << peer.err.toStdString();
    const QByteArray v11 = readAll(path("v11.gpx"));
    ASSERT_TRUE(v11.contains("GPX/1/1"));
    ASSERT_TRUE(v11.contains("Fish &amp; Chips"));
    PointStore s;
    ImportResult r = readGpx(path("v11.gpx"), s, false);
    EXPECT_EQ(r.skipped, 0);
    ASSERT_EQ(s.wayPoints.count(), 2);
    EXPECT_EQ(s.wayPoints[1].name, QStringLiteral("Fish & Chips"));
    EXPECT_EQ(s.wayPoints[1].description, QStringLiteral("A <b>"));
    EXPECT_EQ(stamp(s.wayPoints[1]), QStringLiteral("06/05/2020 07:08:09"));
    EXPECT_FLOAT_EQ(s.wayPoints[1].altitude, 10.0f);
    EXPECT_EQ(s.wayPoints[2].name, QStringLiteral("W2"));
    ASSERT_EQ(s.routePoints.count(), 3);
    EXPECT_EQ(s.routePoints[2].name, QStringLiteral("R2 & more"));
    ASSERT_EQ(s.trackPoints.count(), 5);
    const double lats[] = {47.1, 47.2, 48.1, 48.2, 48.3};
    for (int i = 1; i <= 5; ++i)
        EXPECT_NEAR(s.trackPoints[i].latitude, lats[i - 1], 1e-9);
    EXPECT_EQ(stamp(s.trackPoints[5]), QStringLiteral("07/05/2020 09:00:20"));
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
        ImportResult r = readGpx(testData(QStringLiteral("gpx/") + QLatin1String(e.file)), s, true);
        EXPECT_TRUE(r.readable);
        EXPECT_EQ(r.skipped, 0) << r.firstProblem.toStdString();
        EXPECT_EQ(s.wayPoints.count(), e.wpt);
        EXPECT_EQ(s.routePoints.count(), e.rte);
        EXPECT_EQ(s.trackPoints.count(), e.trk);
    }
    PointStore s;
    readGpx(testData(QStringLiteral("gpx/gpx1.0_with_all_fields.gpx")), s, false);
    EXPECT_EQ(s.wayPoints[1].name, QStringLiteral("example name"));
    EXPECT_EQ(s.wayPoints[1].description, QStringLiteral("example desc"));
    EXPECT_FLOAT_EQ(s.wayPoints[1].altitude, 75.1f);
    EXPECT_EQ(stamp(s.wayPoints[1]), QStringLiteral("02/01/2013 02:03:00"));
    EXPECT_EQ(s.wayPoints[2].name, QStringLiteral("2")); // no name: WayPoints so far plus one
    EXPECT_EQ(stamp(s.wayPoints[2]), QStringLiteral("05/12/2026 17:44:27")); // no time: now
    EXPECT_EQ(s.routePoints[2].name, QStringLiteral("3"));
    EXPECT_EQ(s.trackPoints[1].description, QStringLiteral("example desc t"));
    EXPECT_NEAR(s.trackPoints[1].longitude, -20.2, 1e-12);
    PointStore u;
    readGpx(testData(QStringLiteral("gpx/unicode_with_bom.gpx")), u, false);
    EXPECT_EQ(u.wayPoints[1].name, QStringLiteral("test"));
    EXPECT_EQ(stamp(u.wayPoints[1]), QStringLiteral("27/05/2016 10:08:47"));
}

TEST_F(Gpx, ScannerRules)
{
    PointStore s;
    // One line, several elements; without names they count the WayPoints.
    ImportResult r = import(R"(<wpt lat="1.5" lon="2.5"><name>One</name></wpt><wpt lat="1" lon="2"></wpt>
<WPT LON="4" LAT="3"></WPT><wpt lat="5" lon="6"/></wpt>)",
                            s);
    ASSERT_EQ(s.wayPoints.count(), 4);
    EXPECT_EQ(s.wayPoints[1].name, QStringLiteral("One"));
    EXPECT_EQ(s.wayPoints[2].name, QStringLiteral("2"));
    EXPECT_EQ(s.wayPoints[3].name, QStringLiteral("3"));
    EXPECT_EQ(s.wayPoints[3].latitude, 3.0);
    EXPECT_EQ(s.wayPoints[4].name, QStringLiteral("4"));

    // A RoutePoint without a name is called after the WayPoints; times keep only the seconds;
    // an element over several lines is joined without separators; entities outside CDATA are decoded.
    import(R"(<rte><rtept lat="7" lon="8">
  <time>2007-03-04T05:06:07.250Z</time><name>Na
me &amp; &#233;&#x41; &foo; &#0;</name>
  <ele>1.5</ele></rtept>
<rtept lat="9" lon="10"><ele><![CDATA[12.5]]></ele><desc> <![CDATA[a &amp; b]]> </desc><time>2007-03-04</time></rtept>
<rtept lat="9" lon="10"><time>2007-03-04T10:20</time></rtept></rte>)",
           s);
    ASSERT_EQ(s.routePoints.count(), 3);
    EXPECT_EQ(s.routePoints[1].name, QStringLiteral("Name & éA &foo; &#0;"));
    EXPECT_EQ(stamp(s.routePoints[1]), QStringLiteral("04/03/2007 05:06:07"));
    EXPECT_FLOAT_EQ(s.routePoints[1].altitude, 1.5f);
    EXPECT_EQ(s.routePoints[2].name, QStringLiteral("5"));
    EXPECT_EQ(s.routePoints[2].description, QStringLiteral("a &amp; b"));
    EXPECT_FLOAT_EQ(s.routePoints[2].altitude, 12.5f);
    EXPECT_EQ(stamp(s.routePoints[2]), QStringLiteral("04/03/2007 00:00:00"));
    EXPECT_EQ(stamp(s.routePoints[3]), QStringLiteral("04/03/2007 10:20:00"));

    // The kind is chosen by the first test that succeeds on the rest of the line: a wpt later
    // on the line wins over a trkpt before it, which is then passed over.
    PointStore k;
    import("<trkpt lat=\"1\" lon=\"1\"></trkpt><wpt lat=\"2\" lon=\"2\"></wpt><trkpt lat=\"3\" lon=\"3\"></trkpt>\n", k);
    EXPECT_EQ(k.wayPoints.count(), 1);
    ASSERT_EQ(k.trackPoints.count(), 1);
    EXPECT_EQ(k.trackPoints[1].latitude, 3.0);
}

TEST_F(Gpx, ElementsThatCannotBeConvertedAreSkippedWhole)
{
    PointStore s;
    ImportResult r = import(R"(<gpx>
<wpt lat='1' lon='2'><name>single quotes</name></wpt>
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
)",
                            s);
    EXPECT_TRUE(r.readable);
    EXPECT_EQ(r.skipped, 11);
    EXPECT_TRUE(r.firstProblem.contains(QLatin1String("line 2"))) << r.firstProblem.toStdString();
    ASSERT_EQ(s.wayPoints.count(), 1);
    EXPECT_EQ(s.wayPoints[1].name, QStringLiteral("good"));
    EXPECT_EQ(s.trackPoints.count(), 0);

    PointStore e;
    r = import("<gpx><trk><name>no points</name></trk></gpx>", e);
    EXPECT_FALSE(r.readable);
    EXPECT_TRUE(e.allEmpty());
}
