// gipso-cli nmea: what the command prints, writes and returns (the capture itself is tested
// on the acquisition loop).
#include "support/PtyFeeder.h"

#include "files/PointFiles.h"
#include "support/CliRunner.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

using namespace gipso;
using namespace gipso::test;

namespace {

CliRun nmea(const QString &args) { return runCli((QStringLiteral("nmea ") + args).split(u' ')); }

} // namespace

TEST(CliNmea, VerboseNotesEveryLineAndCountEndsTheCapture)
{
    PtyFeeder pty;
    ASSERT_TRUE(pty.ok());
    const QByteArray good = withNmeaSum("$GPGGA,101500,4530.5,N,00915.25,E,1,07,1.2,10,M,,M,,");
    pty.repeat(good + "$GPGGA,101501,4530.5,N,00915.25,E,1,07,1.2,10,M,,M,,*00\r\n" + withNmeaSum("$GPGGA,101502,,,,,0,00,,,,,,,") +
               withNmeaSum("$GPGSV,1,1,00"));
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("fixes.gpx"));
    const CliRun run = nmea(QStringLiteral("--port %1 --count 3 --verbose -o %2").arg(pty.slavePath(), out));
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("<-- ") + QString::fromLatin1(good.chopped(2)) + QStringLiteral("\n    TrackPoint\n")));
    EXPECT_TRUE(run.err.contains(QStringLiteral("\n    skipped: wrong checksum\n")));
    EXPECT_TRUE(run.err.contains(QStringLiteral("\n    skipped: no position fix\n")));
    EXPECT_TRUE(run.err.contains(QStringLiteral("<-- $GPGSV,1,1,00*")));
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
    EXPECT_TRUE(timeOut.errorLines()[0].contains(QStringLiteral(": error 20001 - "))) << timeOut.err.toStdString();
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
