// gipso-cli as the user runs it: convert and info, the argument rules every command shares,
// and the user's configuration (import options, language).

#include "support/CliRunner.h"
#include "support/MapSupport.h"
#include "support/TestSupport.h"

#include "map/MapFiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace gipso::test;

namespace {

class CliFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir().mkpath(dir.filePath(QStringLiteral("config")));
        writeAll(path("in.gpx"), "<gpx>\n"
                                 "<wpt lat=\"45.1\" lon=\"9.1\"><name>W</name></wpt>\n"
                                 "<rte><rtept lat=\"46\" lon=\"10\"><name>R1</name></rtept></rte>\n"
                                 "<trk><trkseg>\n"
                                 "<trkpt lat=\"47.1\" lon=\"11.1\"><desc>one</desc></trkpt>\n"
                                 "<trkpt lat=\"47.2\" lon=\"11.2\"></trkpt>\n"
                                 "<trkpt lat=\"47.3\" lon=\"11.3\"><desc>two</desc></trkpt>\n"
                                 "</trkseg></trk></gpx>\n");
    }
    QString path(const char *name) const { return dir.filePath(QLatin1String(name)); }
    // The user's own section of Gipso.cfg.
    void configure(const QByteArray &keys)
    {
        const QByteArray login = getpwuid(geteuid())->pw_name;
        writeAll(dir.filePath(QStringLiteral("config/Gipso.cfg")), "[User " + login + "]\r\n" + keys);
    }
    int run(const QStringList &args)
    {
        r = runCli(args, cliEnvironment(dir.filePath(QStringLiteral("config"))));
        return r.status;
    }
    QTemporaryDir dir;
    CliRun r;
};

} // namespace

TEST_F(CliFiles, ImportsWithTheUserOptionsAndConverts)
{
    // Default configuration: TrackPoint descriptions are ignored on import, so one track.
    ASSERT_EQ(run({QStringLiteral("info"), path("in.gpx")}), 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "waypoints 1\nroutepoints 1\ntrackpoints 3\ntracks 1\n");
    configure("IgnoreGPXDescription=0\r\nIgnoreTxTDescription=0\r\n");
    ASSERT_EQ(run({QStringLiteral("info"), path("in.gpx")}), 0);
    EXPECT_EQ(r.out, "waypoints 1\nroutepoints 1\ntrackpoints 3\ntracks 2\n");

    // The format by the output's extension, in any case; lines that cannot be read are counted.
    ASSERT_EQ(run({QStringLiteral("convert"), path("in.gpx"), path("out.TXT")}), 0) << r.err.toStdString();
    EXPECT_TRUE(readAll(path("out.TXT")).startsWith("Gipso 2.6 - "));
    writeAll(path("bad.txt"), "WP, A, 1, 2, 3, 01/01/2001, 00:00:00, \r\nWP, X, north, 2, 3, 01/01/2001, 00:00:00, \r\n");
    ASSERT_EQ(run({QStringLiteral("convert"), path("bad.txt"), path("back.gpx")}), 0);
    EXPECT_EQ(r.errorLines(), QStringList{QStringLiteral("gipso-cli: %1: 1 skipped, the first: line 2: latitude is not a number")
                                              .arg(path("bad.txt"))});
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(readAll(path("back.gpx")).startsWith("<?xml"));
}

TEST_F(CliFiles, BadInputFailsWithOneLineAndNoOutput)
{
    configure("Language=2057\r\n"); // the messages in English
    writeAll(path("empty.gpx"), "<gpx></gpx>\n");
    writeAll(path("header.txt"), "Gipso 2.6 - x\r\n\r\n");
    struct Case {
        QStringList args;
        QString line; // the error line, or its start where the system words the reason
    };
    const QString invalid = QStringLiteral("Invalid points file!");
    const Case cases[] = {
        {{QStringLiteral("convert"), path("missing.gpx"), path("o1.txt")}, path("missing.gpx") + ": "},
        {{QStringLiteral("convert"), path("empty.gpx"), path("o2.txt")}, path("empty.gpx") + ": " + invalid},
        {{QStringLiteral("convert"), path("header.txt"), path("o3.gpx")}, path("header.txt") + ": " + invalid},
        {{QStringLiteral("convert"), path("in.gpx"), path("o4.kml")}, path("o4.kml") + ": unknown extension (use .txt or .gpx)"},
        {{QStringLiteral("convert"), path("in.gpx"), path("nofolder/o5.gpx")}, path("nofolder/o5.gpx") + ": "},
        {{QStringLiteral("convert"), dir.path(), path("o6.gpx")}, dir.path() + ": "},
        {{QStringLiteral("info"), path("empty.gpx")}, path("empty.gpx") + ": " + invalid},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        EXPECT_EQ(run(c.args), 1);
        ASSERT_EQ(r.errorLines().size(), 1) << r.err.toStdString();
        const QString line = r.errorLines()[0];
        if (c.line.endsWith(QLatin1String(": ")))
            EXPECT_TRUE(line.startsWith(QStringLiteral("gipso-cli: ") + c.line) && line.size() > c.line.size() + 11);
        else
            EXPECT_EQ(line, QStringLiteral("gipso-cli: ") + c.line);
        EXPECT_TRUE(r.out.isEmpty());
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 3); // only the inputs
}

TEST_F(CliFiles, ArgumentRulesAndUsage)
{
    EXPECT_EQ(run({}), 1);
    EXPECT_TRUE(r.err.startsWith(QLatin1String("usage: gipso-cli COMMAND ...\n")));
    EXPECT_EQ(run({QStringLiteral("--help")}), 0);
    EXPECT_TRUE(r.out.startsWith(QLatin1String("usage: gipso-cli COMMAND ...\n")));
    const std::pair<const char *, const char *> cases[] = {
        {"frobnicate", "unknown command 'frobnicate'"},
        {"convert a", "convert: expected IN OUT"},
        {"convert --bogus a b", "convert: unknown option '--bogus'"},
        {"render m.cal -o", "render: -o needs a value"},
        {"render m.cal -o a.png -o b.png", "render: -o given more than once"},
        {"render m.cal -o a.png --zoom 0", "render: --zoom needs a number from 0.01 to 100 (1 = 100%)"},
        {"render m.cal -o a.png --size 10y10", "render: --size needs WxH, each a whole number from 1 to 16384"},
        {"download waypoints --port x --baud 0 -o f", "download: --baud needs a whole number of at least 1"},
    };
    for (const auto &[args, line] : cases) {
        EXPECT_EQ(run(QString::fromLatin1(args).split(QLatin1Char(' '))), 1) << args;
        EXPECT_EQ(r.errorLines(), QStringList{QStringLiteral("gipso-cli: ") + QLatin1String(line)}) << args;
    }
}

TEST_F(CliFiles, SettingsThatCannotBeReadAreWarnedAbout)
{
    // A language list that is a pipe would block every command; it is passed over with a warning
    // (in Italian: without the list no other language is offered).
    const QString lng = dir.filePath(QStringLiteral("config/Gipso.lng"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(lng).constData(), 0600), 0);
    ASSERT_EQ(run({QStringLiteral("info"), path("in.gpx")}), 0);
    EXPECT_EQ(r.errorLines(), QStringList{QStringLiteral("gipso-cli: warning: %1 viene ignorato: non \u00e8 un file regolare").arg(lng)});
    EXPECT_EQ(r.out, "waypoints 1\nroutepoints 1\ntrackpoints 3\ntracks 1\n");
}

TEST_F(CliFiles, SignalsLeaveNoTemporaryFolder)
{
    // A render waits for its point file (a pipe nobody writes to) after the container's JPEG
    // went into its temporary folder; SIGTERM then ends it, folder and all.
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QString backing;
    saveMapFile(picture, exampleCalibration(), path("map.Gipso"), dir.path() + QLatin1Char('/'), backing);
    QFile::remove(backing);
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("wait.gpx")).constData(), 0600), 0);
    const QString temp = path("tmp");
    QDir().mkpath(temp);
    QProcessEnvironment env = cliEnvironment(dir.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("TMPDIR"), temp);
    ::mkdir(QFile::encodeName(path("runtime")).constData(), 0700);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), path("runtime"));
    QProcess cli;
    cli.setProcessEnvironment(env);
    cli.start(buildDir() + QStringLiteral("/gipso-cli"),
              {QStringLiteral("render"), path("map.Gipso"), path("wait.gpx"), QStringLiteral("-o"), path("out.png")});
    auto extracted = [&] {
        const QStringList folders = QDir(temp).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        return !folders.isEmpty() && !QDir(temp + QLatin1Char('/') + folders[0]).isEmpty();
    };
    EXPECT_TRUE(QTest::qWaitFor(extracted, 30000)) << "no JPEG extracted";
    cli.terminate();
    ASSERT_TRUE(cli.waitForFinished(30000));
    EXPECT_EQ(cli.exitStatus(), QProcess::CrashExit); // ended by the signal, as before
    EXPECT_TRUE(QDir(temp).isEmpty()) << QDir(temp).entryList().join(QLatin1Char(' ')).toStdString();
    EXPECT_FALSE(QFile::exists(path("out.png")));
}
