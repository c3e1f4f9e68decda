// gipso-cli map and render: what they print and write, their bad input, and a render stopped by
// a signal.

#include "CliTest.h"
#include "support/MapSupport.h"

#include "map/MapFiles.h"

#include <QImage>
#include <QProcess>
#include <QTest>
#include <sys/stat.h>

using namespace gipso;
using namespace gipso::test;

namespace {

// A 400 x 300 picture whose every pixel tells its position: plain.jpg; map.cal, calibrated, with
// points.gpx holding a WayPoint at map (150, 120) and a track along y = 250; awkward.cal, whose
// calibration needs all the digits of its numbers and an exponent.
class CliMap : public CliTest {
protected:
    void SetUp() override
    {
        QImage picture(400, 300, QImage::Format_RGB32);
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 400; ++x)
                picture.setPixel(x, y, qRgb(200 + x % 40, 230, 200 + y % 50));
        picture.save(path("plain.jpg"), "JPG");
        MapCalibration awkward;
        awkward.x1 = 12.25, awkward.yUp1 = -7.5, awkward.x2 = 180.75, awkward.yUp2 = -95.125;
        awkward.lat1 = 45.123456789012345, awkward.lon1 = 0.1, awkward.lat2 = -0.3e-5, awkward.lon2 = 1.0 / 3.0;
        computeCalibration(awkward);
        const MapCalibration c = exampleCalibration();
        QString none;
        saveMapFile(picture, c, path("map.cal"), dir.path() + u'/', none);
        saveMapFile(picture, awkward, path("awkward.cal"), dir.path() + u'/', none);
        auto at = [&](double x, double y) {
            const GpsPoint p = pointOnMap(c, x, y, PointKind::Way);
            return QStringLiteral("lat=\"%1\" lon=\"%2\"").arg(p.latitude, 0, 'f', 12).arg(p.longitude, 0, 'f', 12);
        };
        writeAll(path("points.gpx"), QStringLiteral("<gpx>\n<wpt %1><name>P</name></wpt>\n<trk><trkseg>\n<trkpt %2></trkpt>\n"
                                                    "<trkpt %3></trkpt>\n</trkseg></trk>\n</gpx>\n")
                                         .arg(at(150, 120), at(20, 250), at(380, 250)).toUtf8());
    }
};

} // namespace

TEST_F(CliMap, ShowsSizeAndExactCalibrationAndSavesBothForms)
{
    CliRun r = run("map @plain.jpg");
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "size 400 300\ncalibration none\n");

    // x1 yUp1 x2 yUp2 lon1 lat1 lon2 lat2, each the shortest text that reads back the same.
    const QString expected =
        "size 400 300\ncalibration 12.25 -7.5 180.75 -95.125 0.1 45.123456789012344 0.3333333333333333 -3e-06\n";
    EXPECT_EQ(run("map @awkward.cal").out, expected);
    // The container keeps the name as given, whatever the case of its extension.
    r = run("map @awkward.cal --save @c.gipso");
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(QDir(dir.path()).entryList({"c.*"}, QDir::Files, QDir::Name), QStringList("c.gipso"));
    ASSERT_EQ(run("map @c.gipso --save @back.cal").status, 0);
    EXPECT_EQ(run("map @back.cal").out, expected);
}

TEST_F(CliMap, RenderSizeZoomAndScrollChooseTheView)
{
    CliRun r = run("render @map.cal @points.gpx -o @view.png --size 300x200 --zoom 2 --scroll 16000,32000");
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
    QImage png(path("view.png"));
    ASSERT_EQ(png.size(), QSize(300, 200));
    // 200% scrolled to the middle and the bottom shows map x 125..275, y 200..300, each pixel
    // as a 2 x 2 block; the track at map y 249.5 runs along screen row 99, pure red.
    EXPECT_EQ(png.pixel(20, 20), qRgb(200 + 135 % 40, 230, 200 + 210 % 50));
    EXPECT_EQ(png.pixel(150, 99), qRgb(255, 0, 0));

    // By default the whole map at 100%: the frame shrinks to the map; the WayPoint's ring is
    // drawn around (150, 119).
    ASSERT_EQ(run("render @map.cal @points.gpx -o @view.png").status, 0);
    png = QImage(path("view.png"));
    ASSERT_EQ(png.size(), QSize(400, 300));
    EXPECT_EQ(png.pixel(156, 119), qRgb(255, 0, 0));
}

TEST_F(CliMap, BadInputIsOneLineAndWritesNothing)
{
    writeAll(path("notes.txt"), "no picture here\n");
    ASSERT_EQ(run("map @map.cal --save @map.Gipso").status, 0);
    // Containers need a private temporary folder and are never opened elsewhere; no other map needs one.
    env.insert("TMPDIR", path("missing"));
    const QString noTemp = "cannot make a private temporary folder in @missing: no such folder";
    expectFailures({
        {"map", "map: no map file given"},
        {"map @plain.jpg @plain.jpg", "map: more than one map file given"},
        {"map @missing.jpg", "@missing.jpg: no such file"},
        {"map @plain.jpg --save @out.cal", "@plain.jpg: the map is not calibrated"},
        {"map @map.cal --save @out.png", "@out.png: the output must end in .cal or .Gipso"},
        {"map @map.Gipso", "@map.Gipso: " + noTemp},
        {"map @map.cal --save @out.Gipso", "@out.Gipso: " + noTemp},
        {"render @map.cal", "render: no output file given (-o OUT.png)"},
        {"render @map.cal -o @out.png --scroll 32001,0", "render: --scroll needs H,V, each a whole number from 0 to 32000"},
        {"render @map.cal -o @view.jpg", "@view.jpg: the output must end in .png"},
        {"render @missing.cal -o @out.png", "@missing.cal: no such file"},
        {"render @notes.txt -o @out.png", "@notes.txt: "},
        {"render @plain.jpg @points.gpx -o @out.png", "@plain.jpg: the map is not calibrated, so points cannot be placed on it"},
        {"render @map.cal @missing.gpx -o @out.png", "@missing.gpx: "},
        {"render @map.cal @notes.txt -o @out.png", "@notes.txt: Invalid points file!"},
        {"render @map.Gipso -o @out.png", "@map.Gipso: " + noTemp},
    });
    EXPECT_EQ(run("map @map.cal --save @out.cal").status, 0);
}

TEST_F(CliMap, SignalsLeaveNoTemporaryFolder)
{
    // A render waits for its point file (a pipe nobody writes to) after the container's JPEG
    // went into its temporary folder; SIGTERM then ends it, folder and all.
    ASSERT_EQ(run("map @map.cal --save @map.Gipso").status, 0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("wait.gpx")).constData(), 0600), 0);
    const QString temp = path("tmp");
    QDir().mkpath(temp);
    ::mkdir(QFile::encodeName(path("runtime")).constData(), 0700);
    env.insert("TMPDIR", temp);
    env.insert("XDG_RUNTIME_DIR", path("runtime"));
    QProcess cli;
    cli.setProcessEnvironment(env);
    cli.start(buildDir() + "/gipso-cli", inDir("render @map.Gipso @wait.gpx -o @out.png").split(u' '));
    EXPECT_TRUE(QTest::qWaitFor([&] {
        const QStringList folders = QDir(temp).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        return !folders.isEmpty() && !QDir(temp + u'/' + folders[0]).isEmpty();
    }, 30000)) << "no JPEG extracted";
    cli.terminate();
    ASSERT_TRUE(cli.waitForFinished(30000));
    EXPECT_EQ(cli.exitStatus(), QProcess::CrashExit); // ended by the signal, as before
    EXPECT_TRUE(QDir(temp).isEmpty()) << QDir(temp).entryList().join(u' ').toStdString();
    EXPECT_FALSE(QFile::exists(path("out.png")));
}
