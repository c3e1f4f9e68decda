// gipso-cli download / upload: what the commands print, write and return (the transfers
// themselves are tested on the in-memory link).
#include "support/PtyFeeder.h"
#include "support/SimProcess.h"

#include "files/PointFiles.h"
#include "support/CliRunner.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <random>

using namespace gipso;
using namespace gipso::test;

namespace {

// gipso-cli in English with its own configuration folder; the arguments split at spaces.
CliRun cli(const QTemporaryDir &dir, const QString &args)
{
    QProcessEnvironment env = cliEnvironment(dir.path());
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("en_GB.UTF-8"));
    return runCli(args.split(u' '), env);
}

} // namespace

TEST(CliGps, ResultOnStdoutExchangeOnStderr)
{
    QTemporaryDir dir;
    const QString points = dir.filePath(QStringLiteral("points.gpx"));
    writeAll(points, "<?xml version=\"1.0\"?>\n<gpx version=\"1.0\">\n"
                     "<wpt lat=\"45.5\" lon=\"9.25\"><ele>120</ele><name>CASA</name></wpt>\n</gpx>\n");
    SimProcess sim({});
    ASSERT_TRUE(sim.ok());

    CliRun r = cli(dir, QStringLiteral("upload waypoints --port %1 --baud 19200 %2").arg(sim.path(), points));
    ASSERT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_EQ(r.out, QLatin1String("1 WayPoints uploaded.\n"));
    EXPECT_TRUE(r.err.isEmpty()) << qPrintable(r.err);

    const QString out = dir.filePath(QStringLiteral("w.txt"));
    r = cli(dir, QStringLiteral("download waypoints --port %1 --verbose -o %2").arg(sim.path(), out));
    ASSERT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_EQ(r.out, QLatin1String("1 WayPoints downloaded.\n"));
    EXPECT_TRUE(r.err.startsWith(QLatin1String("Downloading WayPoints...\n--> 100A020700ED1003\n<-- 1006020A00EE1003\n")))
        << qPrintable(r.err);
    EXPECT_TRUE(r.err.endsWith(QLatin1String("--> 1006020C00EC1003\n1 WayPoints downloaded.\n"))) << qPrintable(r.err);
    PointStore got;
    readPointFile(out, got);
    EXPECT_EQ(got.wayPoints.count(), 1);
}

TEST(CliGps, FailuresAreOneLineAndWriteNothing)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out.txt"));
    PtyFeeder silent;
    ASSERT_TRUE(silent.ok());
    CliRun r = cli(dir, QStringLiteral("download tracks --port %1 --timeout 300 -o %2").arg(silent.slavePath(), out));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.errorLines(), QStringList{QStringLiteral("gipso-cli: download: ERROR N° 20001 - Input Time Out")}) << qPrintable(r.err);

    // Random bytes bring no point: an error within the time-out.
    PtyFeeder noise;
    ASSERT_TRUE(noise.ok());
    std::mt19937 random(1);
    QByteArray bytes;
    for (int k = 0; k < 4096; ++k)
        bytes += char(random());
    noise.repeat(bytes);
    r = cli(dir, QStringLiteral("download waypoints --port %1 -o %2").arg(noise.slavePath(), out));
    EXPECT_EQ(r.status, 1);
    ASSERT_EQ(r.errorLines().filter(QStringLiteral("warning")).size() + 1, r.errorLines().size()) << qPrintable(r.err);
    EXPECT_TRUE(r.errorLines().last().startsWith(QStringLiteral("gipso-cli: download: ERROR N° 20004 - Packet "))) << qPrintable(r.err);

    // A value the receiver cannot hold names the file and the point; nothing is sent.
    const QString points = dir.filePath(QStringLiteral("points.gpx"));
    writeAll(points, "<?xml version=\"1.0\"?>\n<gpx version=\"1.0\">\n<wpt lat=\"45.5\" lon=\"9.25\"><name>CASA</name></wpt>\n"
                     "<wpt lat=\"45.5\" lon=\"181\"><name>EST</name></wpt>\n</gpx>\n");
    r = cli(dir, QStringLiteral("upload waypoints --port %1 %2").arg(silent.slavePath(), points));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.errorLines(), QStringList{QStringLiteral("gipso-cli: upload: %1: ERROR N° 6 - Overflow: WayPoint 2 \"EST\": longitude 181 out of range").arg(points)});

    r = cli(dir, QStringLiteral("download waypoints --port %1/nope -o %2").arg(dir.path(), out));
    EXPECT_EQ(r.status, 1);
    ASSERT_EQ(r.errorLines().size(), 1);
    EXPECT_TRUE(r.errorLines()[0].startsWith(QLatin1String("gipso-cli: download: cannot open ")));

    for (const QString &bad : {QStringLiteral("download everything --port /dev/null -o ") + out,
                               QStringLiteral("upload tracks --port /dev/null ") + out,
                               QStringLiteral("upload route --port %1 %2/missing.gpx").arg(silent.slavePath(), dir.path())}) {
        r = cli(dir, bad);
        EXPECT_EQ(r.status, 1) << qPrintable(bad);
        EXPECT_EQ(r.errorLines().size(), 1) << qPrintable(r.err);
    }
    EXPECT_FALSE(QFile::exists(out));
}
