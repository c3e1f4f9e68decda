// gipso-cli nmea against a receiver log streamed through a pseudo-terminal.
#include "support/PtyFeeder.h"

#include "base/DateValue.h"
#include "base/Messages.h"
#include "files/PointFiles.h"
#include "support/CliRunner.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

using namespace gipso;
using gipso::test::CliRun;
using gipso::test::PtyFeeder;
using gipso::test::runCli;

namespace {

// Time of day ("hh:mm:ss") of every GGA fix of the log, in order.
QStringList ggaTimes(const QByteArray &bytes)
{
    QStringList times;
    for (const QByteArray &line : bytes.split('\n'))
        if (line.startsWith("$GPGGA,") && line.split(',').value(6) != "0") {
            const QByteArray t = line.split(',')[1];
            times << QString::fromLatin1(t.left(2) + ':' + t.mid(2, 2) + ':' + t.mid(4, 2));
        }
    return times;
}

} // namespace

TEST(CliNmea, CapturesTheRequestedFixesFromAStreamingReceiver)
{
    PtyFeeder pty;
    ASSERT_TRUE(pty.ok());
    const QByteArray bytes = test::receiverLog("nmea/garmin48.log");
    pty.repeat(bytes);
    const QStringList times = ggaTimes(bytes);
    ASSERT_EQ(times.size(), 7);

    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("fixes.gpx"));
    CliRun run = runCli({QStringLiteral("nmea"), QStringLiteral("--port"), pty.slavePath(), QStringLiteral("--count"),
                         QStringLiteral("9"), QStringLiteral("--verbose"), QStringLiteral("-o"), out});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("<-- $GPGGA,2253")));

    PointStore store;
    readGpx(out, store, false);
    ASSERT_EQ(store.trackPoints.count(), 9);
    // The capture may join the stream anywhere; from there on it takes every fix in turn.
    const qsizetype first = times.indexOf(formatTimeValue(store.trackPoints[1].time));
    ASSERT_GE(first, 0);
    for (int i = 1; i <= 9; ++i) {
        const GpsPoint &p = store.trackPoints[i];
        EXPECT_EQ(formatTimeValue(p.time), times[(first + i - 1) % times.size()]) << i;
        EXPECT_NEAR(p.latitude, -(45 + 27.458 / 60), 1e-9);
        EXPECT_NEAR(p.longitude, 167 + 9.165 / 60, 1e-9);
    }
}

TEST(CliNmea, DurationAndRmcToATextFile)
{
    PtyFeeder pty;
    ASSERT_TRUE(pty.ok());
    const QByteArray bytes = test::receiverLog("nmea/garmin48.log");
    pty.repeat(bytes);
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("fixes.txt"));
    CliRun run = runCli({QStringLiteral("nmea"), QStringLiteral("--port"), pty.slavePath(), QStringLiteral("--sentence"),
                         QStringLiteral("rmc"), QStringLiteral("--duration"), QStringLiteral("0.5"), QStringLiteral("-o"),
                         out});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    PointStore store;
    readTextPointFile(out, store, false);
    ASSERT_GT(store.trackPoints.count(), 0);
    for (const GpsPoint &p : store.trackPoints) {
        EXPECT_EQ(p.altitude, 0.0f); // RMC carries none
        EXPECT_TRUE(ggaTimes(bytes).contains(formatTimeValue(p.time)));
    }
}

TEST(CliNmea, FailuresAreOneLineAndWriteNothing)
{
    PtyFeeder silent;
    ASSERT_TRUE(silent.ok());
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("never.gpx"));
    const QStringList cases[] = {
        // a silent line: the time-out
        {QStringLiteral("nmea"), QStringLiteral("--port"), silent.slavePath(), QStringLiteral("--count"), QStringLiteral("1"),
         QStringLiteral("--timeout"), QStringLiteral("300"), QStringLiteral("-o"), out},
        {QStringLiteral("nmea"), QStringLiteral("--port"), dir.filePath(QStringLiteral("no-such-tty")), QStringLiteral("--count"),
         QStringLiteral("1"), QStringLiteral("-o"), out},
        {QStringLiteral("nmea"), QStringLiteral("--port"), silent.slavePath(), QStringLiteral("--count"), QStringLiteral("1")},
        {QStringLiteral("nmea"), QStringLiteral("--port"), silent.slavePath(), QStringLiteral("-o"), out},
        {QStringLiteral("nmea"), QStringLiteral("--port"), silent.slavePath(), QStringLiteral("--sentence"), QStringLiteral("GSV"),
         QStringLiteral("--count"), QStringLiteral("1"), QStringLiteral("-o"), out},
        {QStringLiteral("nmea"), QStringLiteral("--port"), silent.slavePath(), QStringLiteral("--count"), QStringLiteral("0"),
         QStringLiteral("-o"), out},
    };
    for (const QStringList &args : cases) {
        CliRun run = runCli(args);
        EXPECT_EQ(run.status, 1) << args.join(u' ').toStdString();
        EXPECT_EQ(run.errorLines().size(), 1) << run.err.toStdString();
        EXPECT_FALSE(QFile::exists(out));
    }
    EXPECT_TRUE(runCli(cases[0]).err.contains(QStringLiteral("20001 - ") + messageText(656)));
}
