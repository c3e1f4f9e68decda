// gipso-cli download / upload against the simulated receiver.
#include "support/SimProcess.h"

#include "files/PointFiles.h"
#include "support/CliRunner.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace gipso;
using namespace gipso::test;

TEST(CliGps, DownloadAndUploadThroughTheSimulator)
{
    QTemporaryDir dir;
    const QString points = dir.filePath(QStringLiteral("points.gpx"));
    writeAll(points, "<?xml version=\"1.0\"?>\n<gpx version=\"1.0\">\n"
                     "<wpt lat=\"45.5\" lon=\"9.25\"><ele>120</ele><name>CASA</name></wpt>\n"
                     "<rte><rtept lat=\"45.1\" lon=\"9.1\"><name>A1</name></rtept>"
                     "<rtept lat=\"45.2\" lon=\"9.2\"><name>A2</name></rtept></rte>\n</gpx>\n");
    SimProcess sim({});
    ASSERT_TRUE(sim.ok());

    CliRun r = runCli({QStringLiteral("upload"), QStringLiteral("route"), QStringLiteral("--port"), sim.path(), points});
    ASSERT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_TRUE(r.out.contains(QLatin1String("2 RoutePoints"))) << qPrintable(r.out);
    r = runCli({QStringLiteral("upload"), QStringLiteral("waypoints"), QStringLiteral("--port"), sim.path(), QStringLiteral("--baud"),
                QStringLiteral("19200"), points});
    ASSERT_EQ(r.status, 0) << qPrintable(r.err);

    const QString route = dir.filePath(QStringLiteral("route.txt"));
    r = runCli({QStringLiteral("download"), QStringLiteral("route"), QStringLiteral("--port"), sim.path(), QStringLiteral("--verbose"),
                QStringLiteral("-o"), route});
    ASSERT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_TRUE(r.err.contains(QLatin1String("--> 100A020400F01003\n"))); // the exchange log
    EXPECT_TRUE(r.err.contains(QLatin1String("<-- 100C020400EE1003\n")));
    PointStore got;
    readTextPointFile(route, got, false);
    ASSERT_EQ(got.routePoints.count(), 2);
    EXPECT_EQ(got.routePoints[2].name, QLatin1String("A2"));
    EXPECT_NEAR(got.routePoints[2].latitude, 45.2, 1e-7);

    const QString wpts = dir.filePath(QStringLiteral("w.gpx"));
    r = runCli({QStringLiteral("download"), QStringLiteral("waypoints"), QStringLiteral("--port"), sim.path(), QStringLiteral("-o"), wpts});
    ASSERT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_TRUE(r.errorLines().isEmpty()) << qPrintable(r.err);
    PointStore w;
    readGpx(wpts, w, false);
    ASSERT_EQ(w.wayPoints.count(), 1);
    EXPECT_EQ(w.wayPoints[1].name, QLatin1String("CASA"));
    EXPECT_EQ(w.wayPoints[1].altitude, 120.0f);
}

TEST(CliGps, FailuresAreOneLineAndWriteNothing)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out.txt"));
    // A receiver that never answers.
    SimProcess sim({QStringLiteral("--fault"), QStringLiteral("silence@1:5000")});
    ASSERT_TRUE(sim.ok());
    CliRun r = runCli({QStringLiteral("download"), QStringLiteral("tracks"), QStringLiteral("--port"), sim.path(), QStringLiteral("--timeout"),
                       QStringLiteral("300"), QStringLiteral("-o"), out});
    EXPECT_EQ(r.status, 1);
    ASSERT_EQ(r.errorLines().size(), 1) << qPrintable(r.err);
    EXPECT_TRUE(r.errorLines()[0].contains(QLatin1String("20001"))) << qPrintable(r.err);
    EXPECT_FALSE(QFile::exists(out));

    r = runCli({QStringLiteral("download"), QStringLiteral("waypoints"), QStringLiteral("--port"), dir.filePath(QStringLiteral("nope")),
                QStringLiteral("-o"), out});
    EXPECT_EQ(r.status, 1);
    ASSERT_EQ(r.errorLines().size(), 1);
    EXPECT_TRUE(r.errorLines()[0].contains(QLatin1String("cannot open")));
    EXPECT_FALSE(QFile::exists(out));

    for (const QStringList &bad : {QStringList{QStringLiteral("download"), QStringLiteral("everything"), QStringLiteral("--port"),
                                               QStringLiteral("/dev/null"), QStringLiteral("-o"), out},
                                   QStringList{QStringLiteral("upload"), QStringLiteral("tracks"), QStringLiteral("--port"),
                                               QStringLiteral("/dev/null"), out},
                                   QStringList{QStringLiteral("upload"), QStringLiteral("route"), QStringLiteral("--port"),
                                               sim.path(), dir.filePath(QStringLiteral("missing.gpx"))}}) {
        r = runCli(bad);
        EXPECT_EQ(r.status, 1) << qPrintable(bad.join(QLatin1Char(' ')));
        EXPECT_EQ(r.errorLines().size(), 1) << qPrintable(r.err);
    }
    EXPECT_FALSE(QFile::exists(out));
}
