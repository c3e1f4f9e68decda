// gipso-cli convert and info, run as the user runs them.

#include "support/CliRunner.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

using namespace gipso::test;

namespace {

class CliFiles : public ::testing::Test {
protected:
    void SetUp() override { QDir().mkpath(dir.filePath(QStringLiteral("config"))); }
    QString path(const char *name) const { return dir.filePath(QLatin1String(name)); }
    int run(const QStringList &args)
    {
        r = runCli(args, cliEnvironment(dir.filePath(QStringLiteral("config"))));
        return r.status;
    }
    QTemporaryDir dir;
    CliRun r;
};

const QByteArray kTwoTracks = "<gpx>\n"
                              "<wpt lat=\"45.1\" lon=\"9.1\"><name>Fish &amp; Chips</name></wpt>\n"
                              "<rte><rtept lat=\"46\" lon=\"10\"><name>R1</name></rtept></rte>\n"
                              "<trk><trkseg>\n"
                              "<trkpt lat=\"47.1\" lon=\"11.1\"><desc>one</desc></trkpt>\n"
                              "<trkpt lat=\"47.2\" lon=\"11.2\"></trkpt>\n"
                              "<trkpt lat=\"47.3\" lon=\"11.3\"><desc>two</desc></trkpt>\n"
                              "</trkseg></trk></gpx>\n";

} // namespace

TEST_F(CliFiles, ConvertsBothWaysAndCounts)
{
    writeAll(path("in.gpx"), kTwoTracks);
    // Default configuration: TrackPoint descriptions are ignored on import, so one track.
    ASSERT_EQ(run({QStringLiteral("info"), path("in.gpx")}), 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "waypoints 1\nroutepoints 1\ntrackpoints 3\ntracks 1\n");

    // With the option off in the user's configuration the descriptions start tracks.
    const QString login = QString::fromLocal8Bit(getpwuid(geteuid())->pw_name);
    writeAll(dir.filePath(QStringLiteral("config/Gipso.cfg")),
             "[User " + login.toUtf8() + "]\r\nIgnoreGPXDescription=0\r\nIgnoreTxTDescription=0\r\n");
    ASSERT_EQ(run({QStringLiteral("info"), path("in.gpx")}), 0);
    EXPECT_EQ(r.out, "waypoints 1\nroutepoints 1\ntrackpoints 3\ntracks 2\n");

    ASSERT_EQ(run({QStringLiteral("convert"), path("in.gpx"), path("out.TXT")}), 0) << r.err.toStdString();
    const QByteArray txt = readAll(path("out.TXT"));
    EXPECT_TRUE(txt.startsWith("Gipso 2.6 - "));
    EXPECT_TRUE(txt.contains("WP, Fish & Chips,   45.1000000000,    9.1000000000,     0.00, "));
    ASSERT_EQ(run({QStringLiteral("convert"), path("out.TXT"), path("back.gpx")}), 0) << r.err.toStdString();
    EXPECT_TRUE(readAll(path("back.gpx")).contains("<name><![CDATA[Fish & Chips]]></name>"));
    ASSERT_EQ(run({QStringLiteral("info"), path("back.gpx")}), 0);
    EXPECT_EQ(r.out, "waypoints 1\nroutepoints 1\ntrackpoints 3\ntracks 2\n");
}

TEST_F(CliFiles, BadInputFailsWithOneLineAndNoOutput)
{
    writeAll(path("good.gpx"), kTwoTracks);
    writeAll(path("empty.gpx"), "<gpx></gpx>\n");
    writeAll(path("header.txt"), "Gipso 2.6 - x\r\n\r\n");
    QByteArray binary(4096, '\0');
    for (int i = 0; i < binary.size(); ++i)
        binary[i] = static_cast<char>(i * 7 + 3);
    writeAll(path("binary.txt"), binary);

    struct Case {
        QStringList args;
        QString named; // the file the error must name
        QString output; // must not exist afterwards
    };
    const Case cases[] = {
        {{QStringLiteral("convert"), path("missing.gpx"), path("o1.txt")}, path("missing.gpx"), path("o1.txt")},
        {{QStringLiteral("convert"), path("empty.gpx"), path("o2.txt")}, path("empty.gpx"), path("o2.txt")},
        {{QStringLiteral("convert"), path("header.txt"), path("o3.gpx")}, path("header.txt"), path("o3.gpx")},
        {{QStringLiteral("convert"), path("binary.txt"), path("o4.gpx")}, path("binary.txt"), path("o4.gpx")},
        {{QStringLiteral("convert"), path("good.gpx"), path("o5.kml")}, path("o5.kml"), path("o5.kml")},
        {{QStringLiteral("convert"), path("good.gpx"), path("nofolder/o6.gpx")}, path("nofolder/o6.gpx"),
         path("nofolder/o6.gpx")},
        {{QStringLiteral("convert"), dir.path(), path("o7.gpx")}, dir.path(), path("o7.gpx")},
        {{QStringLiteral("info"), path("missing.txt")}, path("missing.txt"), QString()},
        {{QStringLiteral("info"), path("empty.gpx")}, path("empty.gpx"), QString()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        EXPECT_EQ(run(c.args), 1);
        const QStringList lines = r.errorLines();
        EXPECT_EQ(lines.size(), 1) << r.err.toStdString();
        EXPECT_TRUE(lines.join(QLatin1Char('\n')).contains(c.named)) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
        if (!c.output.isEmpty()) {
            EXPECT_FALSE(QFile::exists(c.output));
        }
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 4); // only the inputs
}
