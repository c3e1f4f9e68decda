#include "base/Messages.h"
#include "PointFileTest.h"
#include "files/FileIO.h"

#include <QDir>
#include <cmath>

using namespace gipso;
using namespace gipso::test;

namespace {

using TextPointFile = PointFileTest;

const QByteArray kHeader = "Gipso 2.6 - https://gipso.example.org           05/12/2026  17:44:27\r\n";

} // namespace

TEST_F(TextPointFile, ExportWritesTheFixedLayout)
{
    PointStore empty;
    writeTextPointFile(path("empty.txt"), empty);
    EXPECT_EQ(readAll(path("empty.txt")), kHeader + "\r\n\r\n\r\n\r\n");

    PointStore s;
    s.wayPoints.append(makePoint(PointKind::Way, "CASA", 45.464, 9.19, 122.0f, at(2026, 12, 5, 17, 44, 27), "home"));
    s.wayPoints.append(makePoint(PointKind::Way, "A", -45.5, -179.123, 100000.0f, at(2026, 1, 2, 3, 4, 5), "two\r\nlines"));
    s.routePoints.append(makePoint(PointKind::Route, "LONGNAME", 1, 2, 3, at(2026, 1, 2, 3, 4, 5)));
    s.trackPoints.append(makePoint(PointKind::Track, QString(), 45.4641, 9.1902, 123.5f, at(2026, 12, 5, 17, 45, 2)));
    s.trackPoints.append(GpsPoint{std::nan(""), HUGE_VAL, -INFINITY, std::nan(""), 0, PointKind::Track, QString(), QString()});
    s.pointsModified = true;
    writeTextPointFile(path("points.txt"), s);
    EXPECT_FALSE(s.pointsModified);
    EXPECT_EQ(readAll(path("points.txt")),
              kHeader + "\r\n\r\n"
                        "WP, CASA  ,   45.4640000000,    9.1900000000,   122.00, 05/12/2026, 17:44:27, home\r\n"
                        // a longer number is kept whole, line breaks in a text would end the record
                        "WP, A     ,  -45.5000000000, -179.1230000000, 100000.00, 02/01/2026, 03:04:05, two  lines\r\n"
                        "\r\n"
                        "RP, LONGNAME,    1.0000000000,    2.0000000000,     3.00, 02/01/2026, 03:04:05, \r\n"
                        "\r\n"
                        "TP,   45.4641000000,    9.1902000000,   123.50, 05/12/2026, 17:45:02, \r\n"
                        // no NaN or infinity is ever written
                        "TP,    0.0000000000,    0.0000000000,     0.00, 30/12/1899, 00:00:00, \r\n");
}

TEST_F(TextPointFile, ImportReadsTheDocumentedLines)
{
    setLanguage(kEnglish);
    const QByteArray text = "Gipso 2.6 - somewhere           05/12/2026  17:44:27\r\n\r\n\r\n"
                            "WP, CASA  ,   45.4640000000,    9.1900000000,   122.00, 05/12/2026, 17:44:27, home\r\n"
                            "WP, BAD   ,   north,    9.19,   122.00, 05/12/2026, 17:44:27, skipped\r\n"
                            "  WP, SPACE, 1, 2, 3, 01/01/2001, 00:00:00, leading spaces are not a record\r\n"
                            "wp, LOWER, 1, 2, 3, 01/01/2001, 00:00:00, readable but not stored\r\n"
                            "RP, R, 1.5, 2.5, 3, 1/2/2003, 4:05, cut, after the comma\n"
                            "TP, 45.0, 9.0, 100, 01/02/2003, 04:05:06, new\r"
                            "TP,   45.4641000000,    9.1902000000,   123.50, 05/12/2026, 17:45:02, \r\n"
                            "TP, 1, 2, 3, 31/02/2003, 04:05:06, impossible date\r\n"
                            "TP, 1, 2"; // the last line needs no line end
    PointStore s;
    const ImportResult r = importBytes(text, false, s);
    EXPECT_TRUE(r.readable);
    EXPECT_EQ(r.skipped, 4); // BAD, wp, the impossible date, the short last line
    EXPECT_EQ(r.firstProblem, "line 5: latitude is not a number");
    EXPECT_EQ(described(s.wayPoints), QStringList{"0 CASA|home| 45.464000000 9.190000000 122.00 05/12/2026 17:44:27"});
    EXPECT_EQ(described(s.routePoints), QStringList{"1 R|cut| 1.500000000 2.500000000 3.00 01/02/2003 04:05:00"});
    EXPECT_EQ(described(s.trackPoints), (QStringList{"2 |new| 45.000000000 9.000000000 100.00 01/02/2003 04:05:06",
                                                     "2 || 45.464100000 9.190200000 123.50 05/12/2026 17:45:02"}));
    EXPECT_FALSE(s.pointsModified);

    // Importing appends; a file without a point line is not readable and adds nothing.
    importBytes(text, false, s);
    EXPECT_EQ(s.trackPoints.count(), 4);
    EXPECT_FALSE(importBytes(kHeader + "\r\n\r\n\r\n\r\n", false, s).readable);
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

    // A file that is not UTF-8 as a whole is Windows-1252 throughout, UTF-8 lines included.
    const QByteArray line1252 = "WP, Citt\xE0 , 1, 2, 3, 01/01/2001, 00:00:00, \x80 5\r\n";
    const QByteArray lineUtf8 = "WP, Citt\xC3\xA0, 1, 2, 3, 01/01/2001, 00:00:00, \xE2\x82\xAC 5\r\n";
    PointStore s;
    for (const QByteArray &file : {line1252, "\xEF\xBB\xBF" + lineUtf8, lineUtf8 + line1252})
        importBytes(file, false, s);
    QStringList texts;
    for (const GpsPoint &p : s.wayPoints)
        texts << p.name + u'|' + p.description;
    EXPECT_EQ(texts, (QStringList{"Citt\u00e0|\u20ac 5", "Citt\u00e0|\u20ac 5", "Citt\u00c3\u00a0|\u00e2\u201a\u00ac 5",
                                  "Citt\u00e0|\u20ac 5"}));
    // Written back as UTF-8.
    writeTextPointFile(path("out.txt"), s);
    EXPECT_TRUE(readAll(path("out.txt")).contains("WP, Citt\xC3\xA0 ,    1.0000000000"));
}

TEST_F(TextPointFile, FailuresKeepTheOldFileAndTheFlag)
{
    PointStore s = sampleStore();
    s.pointsModified = true;
    // A missing file is error 53, in the system's words; a folder is no point file either.
    const QString missing = errorOf([&] { readTextPointFile(path("missing.txt"), s, true); });
    EXPECT_TRUE(missing.startsWith("53 - ") && missing.size() > 5) << missing.toStdString();
    EXPECT_FALSE(errorOf([&] { readTextPointFile(dir.path(), s, true); }).isEmpty());

    // A write stopped half way (as a failing disk would) leaves the previous file as it was.
    writeAll(path("old.txt"), "old contents");
    const GpsPoint copy = s.trackPoints[1];
    for (int i = 0; i < 100000; ++i)
        s.trackPoints.append(copy);
    EXPECT_THROW(writeTextPointFile(path("old.txt"), s, [](qint64, qint64) { return false; }), GipsoError);
    EXPECT_EQ(readAll(path("old.txt")), QByteArray("old contents"));
    EXPECT_TRUE(s.pointsModified);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"old.txt"});
}

// The Import command of the window and of every gipso-cli command (upload included) applies
// the user's options: each format has its own, and it is chosen by the file name.
TEST_F(TextPointFile, ImportAppliesTheOptionOfTheFormat)
{
    writeAll(path("t.txt"), "TP, 1, 2, 3, 01/01/2001, 00:00:00, txt track\r\n");
    writeAll(path("g.GPX"), "<trkpt lat=\"1\" lon=\"2\"><desc>gpx track</desc></trkpt>\n");
    Settings settings;
    PointStore s;
    for (int ignoreTxt : {1, 0}) {
        settings.IgnoreTxTDescription = ignoreTxt;
        settings.IgnoreGPXDescription = 1 - ignoreTxt;
        importPointFile(path("t.txt"), s, settings);
        importPointFile(path("g.GPX"), s, settings);
    }
    readPointFile(path("t.txt"), s); // the simulator's points keep everything
    QStringList descriptions;
    for (const GpsPoint &p : s.trackPoints)
        descriptions << p.description;
    EXPECT_EQ(descriptions, (QStringList{"", "gpx track", "txt track", "", "txt track"}));
}

// Numbers of both files: the plain decimals every file has take a short way, which must give
// the correctly rounded value as the general one does, and hand every other form to it.
TEST(PointFileNumbers, EveryFormReadsToTheNearestDouble)
{
    struct Case {
        const char *text;
        std::optional<double> value;
    };
    const Case cases[] = {{"45.0000000000", 45.0}, {"-9.1234567890", -9.123456789}, {"0.1", 0.1}, {"0.3", 0.3},
                          {"100.25", 100.25}, {"007.50", 7.5}, {"123456789012345", 123456789012345.0},
                          {"-179.99999999999", -179.99999999999}, {"0.30000000000000004", 0.30000000000000004},
                          {"9007199254740993", 9007199254740992.0}, {"1234567890123456789", 1234567890123456789.0},
                          {"5.", 5.0}, {".5", 0.5}, {"+1.5", 1.5}, {" 2.5 ", 2.5}, {"1e3", 1000.0},
                          {"", std::nullopt}, {"-", std::nullopt}, {"1.2.3", std::nullopt}, {"1-2", std::nullopt},
                          {"--1", std::nullopt}, {"12a", std::nullopt}, {"nan", std::nullopt}, {"1e999", std::nullopt}};
    for (const Case &c : cases)
        EXPECT_EQ(fileio::parseNumber(c.text), c.value) << c.text;
    const std::optional<double> negativeZero = fileio::parseNumber("-0.0");
    ASSERT_TRUE(negativeZero);
    EXPECT_TRUE(*negativeZero == 0.0 && std::signbit(*negativeZero));
}
