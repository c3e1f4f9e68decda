#include "map/MapFiles.h"
#include "support/CliRunner.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace gipso;
using namespace gipso::test;

namespace {

MapCalibration awkward()
{
    MapCalibration c;
    c.x1 = 12.25, c.yUp1 = -7.5, c.x2 = 180.75, c.yUp2 = -95.125;
    c.lat1 = 45.123456789012345, c.lon1 = 0.1, c.lat2 = -0.3e-5, c.lon2 = 1.0 / 3.0;
    computeCalibration(c);
    return c;
}

QStringList numbers(const MapCalibration &c)
{
    QStringList out;
    for (double v : storedNumbers(c))
        out << storedNumberText(v);
    return out;
}

} // namespace

TEST(CliMap, ShowsSizeAndExactCalibrationAndConvertsBothWays)
{
    QTemporaryDir dir;
    QImage img(200, 120, QImage::Format_RGB32);
    img.fill(Qt::cyan);
    const QString jpg = dir.filePath("plain.jpg");
    ASSERT_TRUE(img.save(jpg));
    QString none;
    const QString cal = saveMapFile(img, awkward(), dir.filePath("m.cal"), dir.path() + "/", none);

    CliRun r = runCli({"map", jpg});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "size 200 120\ncalibration none\n");

    const QString expected = "size 200 120\ncalibration " + numbers(awkward()).join(' ') + "\n";
    r = runCli({"map", cal});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, expected);
    // Every number reads back to the same double.
    const QStringList fields = r.out.split('\n')[1].split(' ').mid(1);
    ASSERT_EQ(fields.size(), 8);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(fields[i].toDouble(), storedNumbers(awkward())[size_t(i)]) << i;

    // .cal -> .Gipso -> .cal keeps the eight numbers exactly.
    r = runCli({"map", cal, "--save", dir.filePath("c.Gipso")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
    r = runCli({"map", dir.filePath("c.Gipso"), "--save", dir.filePath("back.cal")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(runCli({"map", dir.filePath("c.Gipso")}).out, expected);
    EXPECT_EQ(runCli({"map", dir.filePath("back.cal")}).out, expected);
    r = runCli({"map", dir.filePath("c.Gipso"), "--save", dir.filePath("d.Gipso")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(runCli({"map", dir.filePath("d.Gipso")}).out, expected);
}

TEST(CliMap, BadInputIsOneLineAndWritesNothing)
{
    QTemporaryDir dir;
    QImage img(20, 10, QImage::Format_RGB32);
    img.fill(Qt::red);
    const QString jpg = dir.filePath("plain.jpg");
    ASSERT_TRUE(img.save(jpg));
    writeAll(dir.filePath("junk.Gipso"), "not a zip");
    writeAll(dir.filePath("short.cal"), "tiny");
    QString none;
    MapCalibration bad = awkward();
    bad.lat1 = 91;
    saveMapFile(img, bad, dir.filePath("lat91.cal"), dir.path() + "/", none);
    const QStringList before = QDir(dir.path()).entryList(QDir::Files);

    const QList<QStringList> cases = {
        {"map"},
        {"map", dir.filePath("missing.jpg")},
        {"map", dir.filePath("junk.Gipso")},
        {"map", dir.filePath("short.cal")},
        {"map", dir.filePath("lat91.cal")},
        {"map", jpg, "--save", dir.filePath("out.cal")},     // not calibrated
        {"map", dir.filePath("junk.Gipso"), "--save", dir.filePath("out.Gipso")},
        {"map", dir.filePath("lat91.cal"), "--save", dir.filePath("out.cal")},
        {"map", jpg, "--save"},
        {"map", jpg, "--save", dir.filePath("out.png")},
        {"map", jpg, "--bogus"},
        {"map", jpg, jpg},
    };
    for (const QStringList &args : cases) {
        const CliRun r = runCli(args);
        EXPECT_EQ(r.status, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.startsWith("gipso-cli: ")) << r.err.toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), before);
}
