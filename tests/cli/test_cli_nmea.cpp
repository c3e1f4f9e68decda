// gipso-cli nmea: what the command prints, writes and returns (the capture itself is tested
// on the acquisition loop).
#include "support/PtyFeeder.h"
#include "support/SimProcess.h"

#include "files/PointFiles.h"
#include "support/CliRunner.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace gipso;
using namespace gipso::test;

namespace {

// gipso-cli nmea in English with a configuration of its own; the arguments split at spaces.
CliRun nmea(const QString &args)
{
    QTemporaryDir config;
    QProcessEnvironment env = cliEnvironment(config.path());
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("en_GB.UTF-8"));
    return runCli((QStringLiteral("nmea ") + args).split(u' '), env);
}

} // namespace

TEST(CliNmea, VerboseNotesEveryLineAndCountEndsTheCapture)
{
    PtyFeeder pty;
    ASSERT_TRUE(pty.ok());
    const QByteArray good = withNmeaSum("$GPGGA,101500,4530.5,N,00915.25,E,1,07,1.2,10,M,,M,,");
    // Each cycle also holds a line longer than any sentence: skipped and counted.
    pty.repeat(QByteArray(5000, 'x') + "\r\n" + good + "$GPGGA,101501,4530.5,N,00915.25,E,1,07,1.2,10,M,,M,,*00\r\n" +
               withNmeaSum("$GPGGA,101502,,,,,0,00,,,,,,,") + withNmeaSum("$GPGSV,1,1,00"));
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("fixes.gpx"));
    const CliRun run = nmea(QStringLiteral("--port %1 --count 3 --verbose -o %2").arg(pty.slavePath(), out));
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("<-- ") + QString::fromLatin1(good.chopped(2)) + QStringLiteral("\n    TrackPoint\n")));
    EXPECT_TRUE(run.err.contains(QStringLiteral("\n    skipped: wrong checksum\n")));
    EXPECT_TRUE(run.err.contains(QStringLiteral("\n    skipped: no position fix\n")));
    EXPECT_TRUE(run.err.contains(QStringLiteral("<-- $GPGSV,1,1,00*")));
    EXPECT_TRUE(run.err.contains(QStringLiteral("\nLine longer than 4096 bytes skipped\n")));
    // The capture joins the repeating stream wherever it is when the port opens: two or three
    // long lines come before the third fix.
    ASSERT_EQ(run.errorLines().size(), 1);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^gipso-cli: warning: [23] lines longer than 4096 bytes skipped$"))
                    .match(run.errorLines().first())
                    .hasMatch())
        << run.errorLines().first().toStdString();
    EXPECT_TRUE(run.err.endsWith(QStringLiteral("3 TrackPoints written to ") + out + u'\n'));
    PointStore store;
    readPointFile(out, store);
    EXPECT_EQ(store.trackPoints.count(), 3);
}

TEST(CliNmea, DurationEndsASilentCaptureQuietly)
{
    PtyFeeder silent;
    ASSERT_TRUE(silent.ok());
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("fixes.txt"));
    const CliRun run = nmea(QStringLiteral("--port %1 --sentence rmc --duration 0.3 -o %2").arg(silent.slavePath(), out));
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.errorLines().isEmpty());
    PointStore store;
    readPointFile(out, store);
    EXPECT_TRUE(QFile::exists(out));
    EXPECT_TRUE(store.trackPoints.isEmpty());
}

TEST(CliNmea, AnErrorKeepsWhatWasCaptured)
{
    // The receiver streams the three fixes of its track log, then falls silent.
    QTemporaryDir dir;
    const QString points = dir.filePath(QStringLiteral("track.gpx"));
    writeAll(points, "<?xml version=\"1.0\"?>\n<gpx version=\"1.0\"><trk><trkseg>\n"
                     "<trkpt lat=\"45.5\" lon=\"9.25\"><time>2024-03-01T10:00:00Z</time></trkpt>\n"
                     "<trkpt lat=\"45.6\" lon=\"9.35\"><time>2024-03-01T10:00:01Z</time></trkpt>\n"
                     "<trkpt lat=\"45.7\" lon=\"9.45\"><time>2024-03-01T10:00:02Z</time></trkpt>\n</trkseg></trk></gpx>\n");
    SimProcess sim({QStringLiteral("--points"), points, QStringLiteral("--nmea"), QStringLiteral("gga"),
                    QStringLiteral("--nmea-interval"), QStringLiteral("0")});
    ASSERT_TRUE(sim.ok());
    const QString out = dir.filePath(QStringLiteral("fixes.gpx"));
    const CliRun run = nmea(QStringLiteral("--port %1 --count 5 --timeout 300 -o %2").arg(sim.path(), out));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.errorLines(), QStringList{QStringLiteral("gipso-cli: nmea: %1: error 20001 - Input Time Out (3 TrackPoints written to %2)")
                                                .arg(sim.path(), out)})
        << qPrintable(run.err);
    PointStore store;
    readPointFile(out, store);
    EXPECT_EQ(store.trackPoints.count(), 3);
}

TEST(CliNmea, FailuresAreOneLineAndWriteNothing)
{
    PtyFeeder silent;
    ASSERT_TRUE(silent.ok());
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("never.gpx"));
    const QString port = QStringLiteral("--port ") + silent.slavePath();
    const CliRun timeOut = nmea(port + QStringLiteral(" --count 1 --timeout 300 -o ") + out);
    EXPECT_EQ(timeOut.status, 1);
    ASSERT_EQ(timeOut.errorLines().size(), 1) << timeOut.err.toStdString();
    EXPECT_TRUE(timeOut.errorLines()[0].endsWith(QStringLiteral(": error 20001 - Input Time Out (no TrackPoints, nothing written)")))
        << timeOut.err.toStdString();
    // Counting fixes on a stream that has none ends at the time-out too.
    PtyFeeder noFix;
    ASSERT_TRUE(noFix.ok());
    noFix.repeat(withNmeaSum("$GPGGA,101502,,,,,0,00,,,,,,,"));
    const CliRun endless = nmea(QStringLiteral("--port %1 --count 1 --timeout 300 -o %2").arg(noFix.slavePath(), out));
    EXPECT_EQ(endless.status, 1);
    EXPECT_EQ(endless.errorLines(),
              QStringList{QStringLiteral("gipso-cli: nmea: %1: error 20006 - No position fix within the time-out (no TrackPoints, nothing written)")
                              .arg(noFix.slavePath())});
    for (const QString &args : {QStringLiteral("--port %1/no-such-tty --count 1 -o %2").arg(dir.path(), out),
                                port + QStringLiteral(" --count 1"), port + QStringLiteral(" -o ") + out,
                                port + QStringLiteral(" --sentence GSV --count 1 -o ") + out,
                                port + QStringLiteral(" --count 0 -o ") + out}) {
        const CliRun run = nmea(args);
        EXPECT_EQ(run.status, 1) << args.toStdString();
        EXPECT_EQ(run.errorLines().size(), 1) << run.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(out));
}
