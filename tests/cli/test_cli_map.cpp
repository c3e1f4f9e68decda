#include "map/MapFiles.h"
#include "support/CliRunner.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace gipso;
using namespace gipso::test;

namespace {

// Numbers that need all their digits, and an exponent.
MapCalibration awkward()
{
    MapCalibration c;
    c.x1 = 12.25, c.yUp1 = -7.5, c.x2 = 180.75, c.yUp2 = -95.125;
    c.lat1 = 45.123456789012345, c.lon1 = 0.1, c.lat2 = -0.3e-5, c.lon2 = 1.0 / 3.0;
    computeCalibration(c);
    return c;
}

struct Maps {
    QTemporaryDir dir;
    QString jpg = dir.filePath("plain.jpg");
    QString cal = dir.filePath("m.cal");
    QString lat91 = dir.filePath("lat91.cal");
    Maps()
    {
        QImage img(200, 120, QImage::Format_RGB32);
        img.fill(Qt::cyan);
        img.save(jpg);
        QString none;
        saveMapFile(img, awkward(), cal, dir.path() + "/", none);
        MapCalibration bad = awkward();
        bad.lat1 = 91;
        saveMapFile(img, bad, lat91, dir.path() + "/", none);
    }
};

} // namespace

TEST(CliMap, ShowsSizeAndExactCalibrationAndSavesBothForms)
{
    Maps m;
    CliRun r = runCli({"map", m.jpg});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "size 200 120\ncalibration none\n");

    // x1 yUp1 x2 yUp2 lon1 lat1 lon2 lat2, each the shortest text that reads back the same.
    const QString expected =
        "size 200 120\ncalibration 12.25 -7.5 180.75 -95.125 0.1 45.123456789012344 0.3333333333333333 -3e-06\n";
    EXPECT_EQ(runCli({"map", m.cal}).out, expected);

    const QString gipso = m.dir.filePath("c.Gipso"), back = m.dir.filePath("back.cal");
    r = runCli({"map", m.cal, "--save", gipso});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
    ASSERT_EQ(runCli({"map", gipso, "--save", back}).status, 0);
    EXPECT_EQ(runCli({"map", back}).out, expected);
}

TEST(CliMap, BadInputIsOneLineAndWritesNothing)
{
    Maps m;
    const QStringList before = QDir(m.dir.path()).entryList(QDir::Files);
    const QString out = m.dir.filePath("out.cal");

    const std::vector<std::pair<QStringList, QString>> cases = {
        {{"map"}, {}},
        {{"map", m.dir.filePath("missing.jpg")}, m.dir.filePath("missing.jpg") + ": no such file"},
        {{"map", m.lat91}, m.lat91 + ": calibration values out of range or degenerate"},
        {{"map", m.jpg, "--save", out}, m.jpg + ": the map is not calibrated"},
        {{"map", m.jpg, "--save"}, {}},
        {{"map", m.cal, "--save", m.dir.filePath("out.png")}, m.dir.filePath("out.png") + ": the output must end in .cal or .Gipso"},
        {{"map", m.jpg, "--bogus"}, {}},
        {{"map", m.jpg, m.jpg}, {}},
    };
    for (const auto &[args, message] : cases) {
        const CliRun r = runCli(args);
        EXPECT_EQ(r.status, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << args.join(' ').toStdString();
        ASSERT_EQ(r.errorLines().size(), 1) << r.err.toStdString();
        if (!message.isEmpty()) {
            EXPECT_EQ(r.errorLines()[0], "gipso-cli: " + message);
        }
    }
    EXPECT_EQ(QDir(m.dir.path()).entryList(QDir::Files), before);
}

TEST(CliMap, ContainersNeedAPrivateTemporaryFolderAndNoOtherIsUsed)
{
    Maps m;
    const QString gipso = m.dir.filePath("c.Gipso"), out = m.dir.filePath("out.Gipso");
    ASSERT_EQ(runCli({"map", m.cal, "--save", gipso}).status, 0);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const QString missing = m.dir.filePath("missing");
    env.insert("TMPDIR", missing);
    CliRun r = runCli({"map", gipso}, env);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.errorLines(), QStringList("gipso-cli: " + gipso + ": cannot make a private temporary folder in " + missing +
                                          ": no such folder"));
    env.insert("TMPDIR", m.jpg);
    r = runCli({"map", m.cal, "--save", out}, env);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.errorLines(),
              QStringList("gipso-cli: " + out + ": cannot make a private temporary folder in " + m.jpg + ": not a folder"));
    EXPECT_FALSE(QFileInfo::exists(out));
    // Other maps need no temporary folder.
    EXPECT_EQ(runCli({"map", m.cal, "--save", m.dir.filePath("out.cal")}, env).status, 0);
}
