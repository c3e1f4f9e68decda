// gipso-cli convert and info, the user's configuration, and the rules every command's arguments follow.

#include "CliTest.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace gipso::test;

namespace {

class CliFiles : public CliTest {
protected:
    void SetUp() override
    {
        writeAll(path("in.gpx"), "<gpx>\n<wpt lat=\"45.1\" lon=\"9.1\"><name>W</name></wpt>\n"
                                 "<rte><rtept lat=\"46\" lon=\"10\"><name>R1</name></rtept></rte>\n<trk><trkseg>\n"
                                 "<trkpt lat=\"47.1\" lon=\"11.1\"><desc>one</desc></trkpt>\n"
                                 "<trkpt lat=\"47.2\" lon=\"11.2\"></trkpt>\n"
                                 "<trkpt lat=\"47.3\" lon=\"11.3\"><desc>two</desc></trkpt>\n</trkseg></trk></gpx>\n");
    }
};

} // namespace

TEST_F(CliFiles, ImportsWithTheUserOptionsAndConverts)
{
    // By default TrackPoint descriptions are ignored on import: one track. A language list that
    // is a pipe would block every command; it is passed over with a warning (in Italian: without
    // the list no other language is offered).
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("config/Gipso.lng")).constData(), 0600), 0);
    CliRun r = run("info @in.gpx");
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "waypoints 1\nroutepoints 1\ntrackpoints 3\ntracks 1\n");
    EXPECT_EQ(r.errorLines(), QStringList(inDir("gipso-cli: warning: @config/Gipso.lng viene ignorato: non \u00e8 un file regolare")));
    QFile::remove(path("config/Gipso.lng"));
    writeAll(path("config/Gipso.cfg"), "[User " + QByteArray(getpwuid(geteuid())->pw_name) + "]\r\nIgnoreGPXDescription=0\r\n");
    EXPECT_EQ(run("info @in.gpx").out, "waypoints 1\nroutepoints 1\ntrackpoints 3\ntracks 2\n");

    // The format by the output's extension, in any case; lines that cannot be read are counted.
    ASSERT_EQ(run("convert @in.gpx @out.TXT").status, 0);
    EXPECT_TRUE(readAll(path("out.TXT")).startsWith("Gipso 2.6 - "));
    writeAll(path("bad.txt"), "WP, A, 1, 2, 3, 01/01/2001, 00:00:00, \r\nWP, X, north, 2, 3, 01/01/2001, 00:00:00, \r\n");
    r = run("convert @bad.txt @back.gpx");
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(r.errorLines(), QStringList(inDir("gipso-cli: @bad.txt: 1 skipped, the first: line 2: latitude is not a number")));
    EXPECT_TRUE(readAll(path("back.gpx")).startsWith("<?xml"));
}

TEST_F(CliFiles, HelpVersionUsageAndArgumentRules)
{
    CliRun r = run("--version");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "gipso-cli 2.6\n");
    r = run("help nmea");
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.startsWith("usage: gipso-cli nmea --port DEV [--baud N] ")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("\n  --baud N        1200, 2400, 4800, 9600, 14400, 19200, 28800, 38400, 56000 (default 4800)\n"));
    EXPECT_TRUE(run("--help").out.startsWith("usage: gipso-cli COMMAND ...\n"));
    r = runCli({}, env);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.startsWith("usage: gipso-cli COMMAND ...\n"));

    // What is wrong, then how the command is written; nothing else.
    const QString download = "usage: gipso-cli download waypoints|route|tracks --port DEV [--baud N] [--timeout MS] [--verbose] -o FILE\n";
    const std::pair<QString, QString> mistakes[] = {
        {"download waypoints --x --port p -o f", "download: unknown option '--x'\n" + download},
        {"download waypoints --port p", "download: missing -o FILE\n" + download},
        {"download waypoints --port p --baud 123 -o f",
         "download: --baud 123 is not a rate the dialog offers (1200, 2400, 4800, 9600, 14400, 19200, 28800, 38400, 56000)\n" + download},
        {"info a b", "info: unexpected argument 'b'\nusage: gipso-cli info FILE\n"},
    };
    for (const auto &[args, err] : mistakes) {
        r = run(args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "gipso-cli: " + err);
    }
    EXPECT_FALSE(run("info @missing.gpx").err.contains("usage:")); // bad input is no argument mistake
    writeAll(path("empty.gpx"), "<gpx></gpx>\n");
    expectFailures({
        {"frobnicate", "unknown command 'frobnicate'"},
        {"convert a", "convert: missing OUT"},
        {"convert --bogus a b", "convert: unknown option '--bogus'"},
        {"render m.cal -o", "render: -o needs a value"},
        {"render m.cal -o a.png -o b.png", "render: -o given more than once"},
        {"render m.cal -o a.png --zoom 0", "render: --zoom needs a number from 0.01 to 100 (1 = 100%)"},
        {"render m.cal -o a.png --size 10y10", "render: --size needs WxH, each a whole number from 1 to 16384"},
        {"convert @missing.gpx @o.txt", "@missing.gpx: "},
        {"info @empty.gpx", "@empty.gpx: Invalid points file!"},
        {"convert @in.gpx @o.kml", "@o.kml: unknown extension (use .txt or .gpx)"},
        {"convert @in.gpx @nofolder/o.gpx", "@nofolder/o.gpx: "},
    });
}
