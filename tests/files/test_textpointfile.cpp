#include "PointFileTest.h"

#include "base/Error.h"

using namespace gipso;
using namespace gipso::test;

namespace {

using TextPointFile = PointFileTest;

const QByteArray kHeader = "Gipso 2.6 - https://gipso.example.org           05/12/2026  17:44:27\r\n";

} // namespace

TEST_F(TextPointFile, ExportWritesTheFixedLayout)
{
    PointStore empty;
    empty.pointsModified = true;
    writeTextPointFile(path("empty.txt"), empty);
    EXPECT_EQ(readAll(path("empty.txt")), kHeader + "\r\n\r\n\r\n\r\n");
    EXPECT_FALSE(empty.pointsModified);

    PointStore s;
    s.wayPoints.append(makePoint(PointKind::Way, QStringLiteral("CASA"), 45.464, 9.19, 122.0f, at(2026, 12, 5, 17, 44, 27),
                                 QStringLiteral("home")));
    s.wayPoints.append(makePoint(PointKind::Way, QStringLiteral("A"), -45.5, -179.123, 100000.0f, at(2026, 1, 2, 3, 4, 5),
                                 QStringLiteral("two\r\nlines")));
    s.routePoints.append(makePoint(PointKind::Route, QStringLiteral("LONGNAME"), 1, 2, 3, at(2026, 1, 2, 3, 4, 5), QString()));
    s.trackPoints.append(makePoint(PointKind::Track, QString(), 45.4641, 9.1902, 123.5f, at(2026, 12, 5, 17, 45, 2), QString()));
    s.trackPoints.append(GpsPoint{0, 0, 0, 0, 0, PointKind::Track, QString(), QString()});
    writeTextPointFile(path("points.txt"), s);
    EXPECT_EQ(readAll(path("points.txt")),
              kHeader + "\r\n\r\n"
                        "WP, CASA  ,   45.4640000000,    9.1900000000,   122.00, 05/12/2026, 17:44:27, home\r\n"
                        // a longer number is kept whole, line breaks in a text would end the record
                        "WP, A     ,  -45.5000000000, -179.1230000000, 100000.00, 02/01/2026, 03:04:05, two  lines\r\n"
                        "\r\n"
                        "RP, LONGNAME,    1.0000000000,    2.0000000000,     3.00, 02/01/2026, 03:04:05, \r\n"
                        "\r\n"
                        "TP,   45.4641000000,    9.1902000000,   123.50, 05/12/2026, 17:45:02, \r\n"
                        "TP,    0.0000000000,    0.0000000000,     0.00, 30/12/1899, 00:00:00, \r\n");
}

TEST_F(TextPointFile, ImportReadsTheDocumentedLines)
{
    writeAll(path("in.txt"),
             "Gipso 2.6 - somewhere           05/12/2026  17:44:27\r\n\r\n\r\n"
             "WP, CASA  ,   45.4640000000,    9.1900000000,   122.00, 05/12/2026, 17:44:27, home\r\n"
             "WP, BAD   ,   north,    9.19,   122.00, 05/12/2026, 17:44:27, skipped\r\n"
             "  WP, SPACE, 1, 2, 3, 01/01/2001, 00:00:00, leading spaces are not a record\r\n"
             "wp, LOWER, 1, 2, 3, 01/01/2001, 00:00:00, readable but not stored\r\n"
             "RP, R, 1.5, 2.5, 3, 1/2/2003, 4:05, cut, after the comma\n"
             "TP, 45.0, 9.0, 100, 01/02/2003, 04:05:06, new\r"
             "TP,   45.4641000000,    9.1902000000,   123.50, 05/12/2026, 17:45:02, \r\n"
             "TP, 1, 2, 3, 31/02/2003, 04:05:06, impossible date\r\n"
             "TP, 1, 2\r\n");
    for (bool ignore : {false, true}) {
        PointStore s;
        ImportResult r = readTextPointFile(path("in.txt"), s, ignore);
        EXPECT_TRUE(r.readable);
        EXPECT_EQ(r.skipped, 4); // BAD, wp, the impossible date, the short line
        EXPECT_TRUE(r.firstProblem.contains(QLatin1String("line 5"))) << r.firstProblem.toStdString();
        ASSERT_EQ(s.wayPoints.count(), 1);
        const GpsPoint &w = s.wayPoints[1];
        EXPECT_EQ(w.kind, PointKind::Way);
        EXPECT_EQ(w.name, QLatin1String("CASA"));
        EXPECT_DOUBLE_EQ(w.latitude, 45.464);
        EXPECT_FLOAT_EQ(w.altitude, 122.0f);
        EXPECT_EQ(w.description, QLatin1String("home"));
        ASSERT_EQ(s.routePoints.count(), 1);
        EXPECT_EQ(s.routePoints[1].description, QLatin1String("cut"));
        EXPECT_EQ(stamp(s.routePoints[1]), QLatin1String("01/02/2003 04:05:00"));
        ASSERT_EQ(s.trackPoints.count(), 2);
        const GpsPoint &t = s.trackPoints[1];
        EXPECT_EQ(t.name, QString());
        EXPECT_EQ(t.latitude, 45.0);
        EXPECT_EQ(stamp(t), QLatin1String("01/02/2003 04:05:06"));
        EXPECT_EQ(t.description, ignore ? QString() : QStringLiteral("new"));
        EXPECT_FALSE(s.pointsModified);
    }

    // Importing twice doubles; a file without a point line is not readable and adds nothing.
    PointStore s;
    readTextPointFile(path("in.txt"), s, true);
    readTextPointFile(path("in.txt"), s, true);
    EXPECT_EQ(s.trackPoints.count(), 4);
    writeAll(path("header.txt"), kHeader + "\r\n\r\n\r\n\r\n");
    ImportResult r = readTextPointFile(path("header.txt"), s, true);
    EXPECT_FALSE(r.readable);
    EXPECT_EQ(s.trackPoints.count(), 4);
}

TEST_F(TextPointFile, RoundTripAndEncodings)
{
    PointStore original = sampleStore();
    for (GpsPoint &p : original.trackPoints)
        p.name.clear(); // the text file has no TrackPoint names
    writeTextPointFile(path("rt.txt"), original);
    PointStore back;
    readTextPointFile(path("rt.txt"), back, false);
    expectSameStore(original, back);

    // Windows-1252 (not UTF-8 as a whole) and UTF-8 files; the choice is made for the whole file.
    const QByteArray line1252 = "WP, Citt\xE0 , 1, 2, 3, 01/01/2001, 00:00:00, \x80 5\r\n";
    const QByteArray lineUtf8 = "WP, Citt\xC3\xA0, 1, 2, 3, 01/01/2001, 00:00:00, \xE2\x82\xAC 5\r\n";
    writeAll(path("cp.txt"), line1252);
    writeAll(path("utf.txt"), "\xEF\xBB\xBF" + lineUtf8);
    writeAll(path("mixed.txt"), lineUtf8 + line1252);
    PointStore s;
    readTextPointFile(path("cp.txt"), s, true);
    readTextPointFile(path("utf.txt"), s, true);
    readTextPointFile(path("mixed.txt"), s, true);
    ASSERT_EQ(s.wayPoints.count(), 4);
    EXPECT_EQ(s.wayPoints[1].name, QStringLiteral("Città"));
    EXPECT_EQ(s.wayPoints[1].description, QStringLiteral("€ 5"));
    EXPECT_EQ(s.wayPoints[2].name, QStringLiteral("Città"));
    EXPECT_EQ(s.wayPoints[2].description, QStringLiteral("€ 5"));
    EXPECT_EQ(s.wayPoints[3].name, QStringLiteral("CittÃ\u00A0")); // UTF-8 bytes read as Windows-1252
    EXPECT_EQ(s.wayPoints[4].name, QStringLiteral("Città"));
    // Written back as UTF-8.
    writeTextPointFile(path("out.txt"), s);
    EXPECT_TRUE(readAll(path("out.txt")).contains("WP, Citt\xC3\xA0 ,    1.0000000000"));
}

TEST_F(TextPointFile, FailuresKeepTheOldFileAndTheFlag)
{
    PointStore s = sampleStore();
    s.pointsModified = true;
    try {
        readTextPointFile(path("missing.txt"), s, true);
        FAIL() << "no error for a missing file";
    } catch (const GipsoError &e) {
        EXPECT_EQ(e.number(), err::FileNotFound);
        EXPECT_FALSE(e.description().isEmpty());
    }
    EXPECT_THROW(readTextPointFile(dir.path(), s, true), GipsoError);
    EXPECT_THROW(writeTextPointFile(path("no/such/folder/out.txt"), s), GipsoError);
    EXPECT_THROW(writeTextPointFile(dir.path(), s), GipsoError);
    EXPECT_TRUE(s.pointsModified);

    // A write stopped half way (as a failing disk would) leaves the previous file as it was.
    writeAll(path("old.txt"), "old contents");
    const GpsPoint copy = s.trackPoints[1];
    for (int i = 0; i < 100000; ++i)
        s.trackPoints.append(copy);
    EXPECT_THROW(writeTextPointFile(path("old.txt"), s, [](qint64, qint64) { return false; }), GipsoError);
    EXPECT_EQ(readAll(path("old.txt")), QByteArray("old contents"));
    EXPECT_TRUE(s.pointsModified);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("old.txt")});
}

// The Import command of the window and of every gipso-cli command (upload included) applies
// the user's options: each format has its own, and it is chosen by the file name.
TEST_F(TextPointFile, ImportAppliesTheOptionOfTheFormat)
{
    writeAll(path("t.txt"), "TP, 1, 2, 3, 01/01/2001, 00:00:00, txt track\r\n");
    writeAll(path("g.GPX"), "<trkpt lat=\"1\" lon=\"2\"><desc>gpx track</desc></trkpt>\n");
    Settings settings;
    settings.IgnoreTxTDescription = 1;
    settings.IgnoreGPXDescription = 0;
    PointStore s;
    importPointFile(path("t.txt"), s, settings);
    importPointFile(path("g.GPX"), s, settings);
    settings.IgnoreTxTDescription = 0;
    settings.IgnoreGPXDescription = 1;
    importPointFile(path("t.txt"), s, settings);
    importPointFile(path("g.GPX"), s, settings);
    readPointFile(path("t.txt"), s); // the simulator's points keep everything
    ASSERT_EQ(s.trackPoints.count(), 5);
    const QStringList expected{QString(), QStringLiteral("gpx track"), QStringLiteral("txt track"), QString(),
                               QStringLiteral("txt track")};
    for (int i = 1; i <= 5; ++i)
        EXPECT_EQ(s.trackPoints[i].description, expected[i - 1]) << i;
}
