#include "support/CliRunner.h"
#include "support/MapSupport.h"
#include "support/TestSupport.h"

#include "map/MapFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace gipso;
using namespace gipso::test;

namespace {

// A calibrated 400 x 300 map whose every pixel tells its position, and a point file with a
// WayPoint at map (150, 120) and a track along y = 250.
struct Fixture {
    QTemporaryDir dir;
    QString map = dir.filePath("map.cal");
    QString plain = dir.filePath("plain.jpg");
    QString points = dir.filePath("points.gpx");
    QString config = dir.filePath("cfg");

    Fixture()
    {
        QImage picture(400, 300, QImage::Format_RGB32);
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 400; ++x)
                picture.setPixel(x, y, qRgb(200 + x % 40, 230, 200 + y % 50));
        picture.save(plain, "JPG");
        QString none;
        const MapCalibration c = exampleCalibration();
        saveMapFile(picture, c, map, dir.path() + "/", none);
        auto at = [&](double x, double y) {
            const GpsPoint p = pointOnMap(c, x, y, PointKind::Way);
            return QStringLiteral("lat=\"%1\" lon=\"%2\"").arg(p.latitude, 0, 'f', 12).arg(p.longitude, 0, 'f', 12);
        };
        writeAll(points, QStringLiteral("<?xml version=\"1.0\"?>\n<gpx version=\"1.0\" creator=\"test\">\n"
                                        "<wpt %1><name>P</name></wpt>\n<trk><trkseg>\n<trkpt %2></trkpt>\n<trkpt %3></trkpt>\n"
                                        "</trkseg></trk>\n</gpx>\n")
                             .arg(at(150, 120), at(20, 250), at(380, 250)).toUtf8());
    }
    CliRun render(const QStringList &args) const { return runCli(QStringList{"render"} + args, cliEnvironment(config)); }
};

} // namespace

TEST(CliRender, SizeZoomAndScrollChooseTheView)
{
    Fixture f;
    const QString out = f.dir.filePath("view.png");
    CliRun r = f.render({f.map, f.points, "-o", out, "--size", "300x200", "--zoom", "2", "--scroll", "16000,32000"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
    QImage png(out);
    ASSERT_EQ(png.size(), QSize(300, 200));
    // 200% scrolled to the middle and the bottom shows map x 125..275, y 200..300, each pixel
    // as a 2 x 2 block; the track at map y 249.5 runs along screen row 99, pure red.
    EXPECT_EQ(png.pixel(20, 20), qRgb(200 + 135 % 40, 230, 200 + 210 % 50));
    EXPECT_EQ(png.pixel(150, 99), qRgb(255, 0, 0));

    // By default the whole map at 100%: the frame shrinks to the map; the WayPoint's ring is
    // drawn around (150, 119).
    ASSERT_EQ(f.render({f.map, f.points, "-o", out}).status, 0);
    png = QImage(out);
    ASSERT_EQ(png.size(), QSize(400, 300));
    EXPECT_EQ(png.pixel(156, 119), qRgb(255, 0, 0));
}

TEST(CliRender, BadInputIsOneLineAndWritesNothing)
{
    Fixture f;
    const QString out = f.dir.filePath("bad.png");
    const QString notMap = f.dir.filePath("notes.txt");
    writeAll(notMap, "no picture here\n");
    const std::vector<std::pair<QStringList, QString>> cases = {
        {{f.map}, "render: no output file given (-o OUT.png)"},
        {{f.map, "-o", out, "--zoom", "0"}, {}},
        {{f.map, "-o", out, "--size", "10y10"}, {}},
        {{f.map, "-o", out, "--scroll", "32001,0"}, {}},
        {{f.map, "-o", f.dir.filePath("view.jpg")}, f.dir.filePath("view.jpg") + ": the output must end in .png"},
        {{f.dir.filePath("missing.cal"), "-o", out}, f.dir.filePath("missing.cal") + ": no such file"},
        {{notMap, "-o", out}, {}},
        {{f.plain, f.points, "-o", out}, f.plain + ": the map is not calibrated, so points cannot be placed on it"},
        {{f.map, f.dir.filePath("missing.gpx"), "-o", out}, {}},
        {{f.map, notMap, "-o", out}, {}},
    };
    for (const auto &[args, message] : cases) {
        const CliRun r = f.render(args);
        EXPECT_EQ(r.status, 1) << args.join(' ').toStdString();
        ASSERT_EQ(r.errorLines().size(), 1) << r.err.toStdString();
        if (!message.isEmpty()) {
            EXPECT_EQ(r.errorLines()[0], "gipso-cli: " + message);
        }
        EXPECT_FALSE(QFile::exists(out)) << args.join(' ').toStdString();
    }

    // A container with no private temporary folder to open it in.
    const QString gipso = f.dir.filePath("map.Gipso"), missing = f.dir.filePath("missing");
    ASSERT_EQ(runCli({"map", f.map, "--save", gipso}).status, 0);
    QProcessEnvironment env = cliEnvironment(f.config);
    env.insert("TMPDIR", missing);
    const CliRun r = runCli({"render", gipso, "-o", out}, env);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.errorLines(), QStringList("gipso-cli: " + gipso + ": cannot make a private temporary folder in " + missing +
                                          ": no such folder"));
    EXPECT_FALSE(QFile::exists(out));
}
