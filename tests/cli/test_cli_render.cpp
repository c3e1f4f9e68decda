#include "support/CliRunner.h"
#include "support/MapSupport.h"

#include "files/PointFiles.h"
#include "map/MapFiles.h"
#include "map/MapRender.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace gipso;
using gipso::test::CliRun;

namespace {

// gipso-cli render, for a user whose configuration is in configDir.
CliRun renderCli(const QStringList &args, const QString &configDir)
{
    return test::runCli(QStringList{QStringLiteral("render")} + args, test::cliEnvironment(configDir));
}

// A calibrated 400 x 300 map with a stripe pattern, and a point file with a WayPoint and a track.
struct Fixture {
    QTemporaryDir dir;
    QString map, points, config;
    AppState st;

    Fixture()
    {
        config = dir.filePath(QStringLiteral("cfg"));
        map = dir.filePath(QStringLiteral("map.cal"));
        points = dir.filePath(QStringLiteral("points.gpx"));
        QImage picture(400, 300, QImage::Format_RGB32);
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 400; ++x)
                picture.setPixel(x, y, qRgb(200 + x % 40, 230, 200 + y % 50));
        st.calibration = test::exampleCalibration();
        const MapCalibration &c = st.calibration;
        QString backing;
        saveMapFile(picture, c, map, dir.path() + QLatin1Char('/'), backing);

        auto at = [&](double x, double y, PointKind kind) {
            GpsPoint p = test::pointOnMap(c, x, y, kind);
            p.name = QStringLiteral("P");
            return p;
        };
        st.store.wayPoints.append(at(150, 120, PointKind::Way));
        st.store.trackPoints.append(at(20, 250, PointKind::Track));
        st.store.trackPoints.append(at(380, 250, PointKind::Track));
        writeGpx(points, st.store);
    }
};

} // namespace

TEST(CliRender, DrawsTheViewAsTheWindowDoes)
{
    Fixture f;
    const QString out = f.dir.filePath(QStringLiteral("view.png"));
    const CliRun r = renderCli({f.map, f.points, QStringLiteral("-o"), out, QStringLiteral("--size"), QStringLiteral("300x200"),
                                QStringLiteral("--zoom"), QStringLiteral("2"), QStringLiteral("--scroll"),
                                QStringLiteral("16000,32000")},
                               f.config);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QImage png(out);
    ASSERT_EQ(png.size(), QSize(300, 200));

    // 200% scrolled to the middle and the bottom shows map x 125..275, y 200..300: the track
    // at map y 249.5 (geoToMap adds 0.5) crosses it on screen row 99, pure red (one altitude).
    const ViewWindow w = visibleWindow(400, 300, 2.0, QSize(300, 200), 16000, 32000);
    EXPECT_EQ(w.source, QRect(125, 200, 150, 100));
    int red = 0;
    for (int x = 0; x < 300; ++x)
        red += png.pixel(x, 99) == qRgb(255, 0, 0);
    EXPECT_GT(red, 250);
    // The map under it is the window's own pixels, each shown as a 2 x 2 block.
    EXPECT_EQ(png.pixel(20, 20), qRgb(200 + (125 + 10) % 40, 230, 200 + (200 + 10) % 50));

    // Whole map at 100%: the WayPoint's ring is where geoToMap puts it.
    const QString whole = f.dir.filePath(QStringLiteral("whole.png"));
    ASSERT_EQ(renderCli({f.map, f.points, QStringLiteral("-o"), whole}, f.config).status, 0);
    const QImage all(whole);
    ASSERT_EQ(all.size(), QSize(400, 300)); // the frame shrinks to a map smaller than the view
    double x, yUp;
    geoToMap(f.st.calibration, f.st.store.wayPoints[1].latitude, f.st.store.wayPoints[1].longitude, x, yUp);
    EXPECT_EQ(all.pixel(int(x) + 6, int(-yUp)), qRgb(255, 0, 0));
    EXPECT_EQ(all.pixel(int(x), int(-yUp)), qRgb(200 + int(x) % 40, 230, 200 + int(-yUp) % 50));
}

TEST(CliRender, BadInputWritesNothing)
{
    Fixture f;
    const QString out = f.dir.filePath(QStringLiteral("bad.png"));
    const QString notMap = f.dir.filePath(QStringLiteral("notes.txt"));
    test::writeAll(notMap, "no picture here\n");
    const QList<QStringList> cases = {
        {f.map},                                                                     // no -o
        {f.map, QStringLiteral("-o"), out, QStringLiteral("--zoom"), QStringLiteral("0")},
        {f.map, QStringLiteral("-o"), out, QStringLiteral("--size"), QStringLiteral("10y10")},
        {f.map, QStringLiteral("-o"), out, QStringLiteral("--scroll"), QStringLiteral("32001,0")},
        {f.dir.filePath(QStringLiteral("missing.cal")), QStringLiteral("-o"), out},
        {notMap, QStringLiteral("-o"), out},
        {f.map, f.dir.filePath(QStringLiteral("missing.gpx")), QStringLiteral("-o"), out},
        {f.map, notMap, QStringLiteral("-o"), out},
        {f.map, QStringLiteral("-o"), f.dir.filePath(QStringLiteral("view.jpg"))},
    };
    for (const QStringList &args : cases) {
        const CliRun r = renderCli(args, f.config);
        EXPECT_EQ(r.status, 1) << args.join(' ').toStdString();
        EXPECT_EQ(r.err.count(QLatin1Char('\n')), 1) << r.err.toStdString();
        EXPECT_TRUE(r.err.startsWith(QStringLiteral("gipso-cli: "))) << r.err.toStdString();
        EXPECT_FALSE(QFile::exists(out)) << args.join(' ').toStdString();
    }
}
