// gipso-cli download, upload and nmea: what the commands print, write and return (the
// transfers and the capture themselves are tested on the in-memory link).

#include "CliTest.h"
#include "support/PtyFeeder.h"
#include "support/SimProcess.h"

#include "files/PointFiles.h"

#include <QFile>
#include <QRegularExpression>

using namespace gipso;
using namespace gipso::test;

namespace {

using CliGps = CliTest;

PointStore pointsIn(const QString &file)
{
    PointStore store;
    readPointFile(file, store);
    return store;
}

} // namespace

TEST_F(CliGps, ResultOnStdoutExchangeOnStderr)
{
    writeAll(path("points.gpx"), "<gpx>\n<wpt lat=\"45.5\" lon=\"9.25\"><ele>120</ele><name>CASA</name></wpt>\n</gpx>\n");
    SimProcess sim({});
    ASSERT_TRUE(sim.ok());
    CliRun r = run("upload waypoints --port " + sim.path() + " --baud 19200 @points.gpx");
    ASSERT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_EQ(r.out, "1 WayPoints uploaded.\n");
    EXPECT_TRUE(r.err.isEmpty()) << qPrintable(r.err);

    r = run("download waypoints --port " + sim.path() + " --verbose -o @w.txt");
    ASSERT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_EQ(r.out, "1 WayPoints downloaded.\n");
    EXPECT_TRUE(r.err.startsWith("Downloading WayPoints...\n--> 100A020700ED1003\n<-- 1006020A00EE1003\n")) << qPrintable(r.err);
    EXPECT_TRUE(r.err.endsWith("--> 1006020C00EC1003\n1 WayPoints downloaded.\n")) << qPrintable(r.err);
    EXPECT_EQ(pointsIn(path("w.txt")).wayPoints.count(), 1);
}

TEST_F(CliGps, NmeaVerboseNotesEveryLineAndCountEndsTheCapture)
{
    PtyFeeder pty;
    ASSERT_TRUE(pty.ok());
    const QByteArray good = withNmeaSum("$GPGGA,101500,4530.5,N,00915.25,E,1,07,1.2,10,M,,M,,");
    // Each cycle also holds a line longer than any sentence: skipped and counted.
    pty.repeat(QByteArray(5000, 'x') + "\r\n" + good + "$GPGGA,101501,4530.5,N,00915.25,E,1,07,1.2,10,M,,M,,*00\r\n" +
               withNmeaSum("$GPGGA,101502,,,,,0,00,,,,,,,") + withNmeaSum("$GPGSV,1,1,00"));
    const CliRun r = run("nmea --port " + pty.slavePath() + " --count 3 --verbose -o @fixes.gpx");
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QString notes[] = {"<-- " + QString::fromLatin1(good.chopped(2)) + "\n    TrackPoint\n", "\n    skipped: wrong checksum\n",
                             "\n    skipped: no position fix\n", "<-- $GPGSV,1,1,00*", "\nLine longer than 4096 bytes skipped\n"};
    for (const QString &note : notes)
        EXPECT_TRUE(r.err.contains(note)) << note.toStdString();
    // The capture joins the repeating stream wherever it is when the port opens: two or three
    // long lines come before the third fix.
    EXPECT_EQ(r.errorLines().size(), 1);
    EXPECT_EQ(r.errorLines().filter(QRegularExpression("^gipso-cli: warning: [23] lines longer than 4096 bytes skipped$")), r.errorLines());
    EXPECT_TRUE(r.err.endsWith(inDir("3 TrackPoints written to @fixes.gpx\n")));
    EXPECT_EQ(pointsIn(path("fixes.gpx")).trackPoints.count(), 3);
}

TEST_F(CliGps, NmeaWritesWhatItTookAtItsEndAndAfterAnError)
{
    // A duration ends a silent capture quietly, with a file of no points.
    PtyFeeder silent;
    ASSERT_TRUE(silent.ok());
    CliRun r = run("nmea --port " + silent.slavePath() + " --sentence rmc --duration 0.3 -o @none.txt");
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.errorLines().isEmpty());
    EXPECT_TRUE(QFile::exists(path("none.txt")));
    EXPECT_EQ(pointsIn(path("none.txt")).trackPoints.count(), 0);

    // The receiver streams the three fixes of its track log, then falls silent.
    writeAll(path("track.gpx"), "<gpx><trk><trkseg>\n"
                                "<trkpt lat=\"45.5\" lon=\"9.25\"><time>2024-03-01T10:00:00Z</time></trkpt>\n"
                                "<trkpt lat=\"45.6\" lon=\"9.35\"><time>2024-03-01T10:00:01Z</time></trkpt>\n"
                                "<trkpt lat=\"45.7\" lon=\"9.45\"><time>2024-03-01T10:00:02Z</time></trkpt>\n</trkseg></trk></gpx>\n");
    SimProcess sim({"--points", path("track.gpx"), "--nmea", "gga", "--nmea-interval", "0"});
    ASSERT_TRUE(sim.ok());
    r = run("nmea --port " + sim.path() + " --count 5 --timeout 1500 -o @fixes.gpx");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.errorLines(),
              QStringList(inDir("gipso-cli: nmea: " + sim.path() + ": error 20001 - Input Time Out (3 TrackPoints written to @fixes.gpx)")));
    EXPECT_EQ(pointsIn(path("fixes.gpx")).trackPoints.count(), 3);
}

TEST_F(CliGps, FailuresAreOneLineAndWriteNothing)
{
    PtyFeeder silent, noFix;
    ASSERT_TRUE(silent.ok() && noFix.ok());
    noFix.repeat(withNmeaSum("$GPGGA,101502,,,,,0,00,,,,,,,"));
    const QString quiet = silent.slavePath(), nothing = "(no TrackPoints, nothing written)";
    writeAll(path("points.gpx"), "<gpx>\n<wpt lat=\"45.5\" lon=\"9.25\"><name>CASA</name></wpt>\n"
                                 "<wpt lat=\"45.5\" lon=\"181\"><name>EST</name></wpt>\n</gpx>\n");
    expectFailures({
        {"download tracks --port " + quiet + " --timeout 300 -o @out.txt", "download: ERROR N° 20001 - Input Time Out"},
        // A value the receiver cannot hold names the file and the point; nothing is sent.
        {"upload waypoints --port " + quiet + " @points.gpx",
         "upload: @points.gpx: ERROR N° 6 - Overflow: WayPoint 2 \"EST\": longitude 181 out of range"},
        {"download waypoints --port @nope -o @out.txt", "download: cannot open @nope: "},
        {"download everything --port /dev/null -o @out.txt", "download: expected "},
        {"upload tracks --port /dev/null @points.gpx", "upload: expected "},
        {"upload route --port /dev/null @missing.gpx", "upload: @missing.gpx: "},
        {"nmea --port " + quiet + " --count 1 --timeout 300 -o @out.gpx", "nmea: " + quiet + ": error 20001 - Input Time Out " + nothing},
        // Counting fixes on a stream that has none ends at the time-out too.
        {"nmea --port " + noFix.slavePath() + " --count 1 --timeout 300 -o @out.gpx",
         "nmea: " + noFix.slavePath() + ": error 20006 - No position fix within the time-out " + nothing},
        {"nmea --port @nope --count 1 -o @out.gpx", "nmea: cannot open @nope: "},
        {"nmea --port /dev/null --count 1", "nmea: missing -o FILE"},
        {"nmea --port /dev/null -o @out.gpx", "nmea: missing --duration S or --count N"},
        {"nmea --port /dev/null --sentence GSV --count 1 -o @out.gpx", "nmea: --sentence needs GGA or RMC"},
        {"nmea --port /dev/null --count 0 -o @out.gpx", "nmea: --count needs a whole number of at least 1"},
    });
}
