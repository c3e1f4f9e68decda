// gipso-cli list, stats and profile on the shared test files: the list with "." "/" ":" whatever
// the language, the rows, the picture, and the one error line that stands instead.

#include "CliTest.h"

#include <QImage>

using namespace gipso;
using namespace gipso::test;

namespace {
class CliAnalysis : public CliTest {
protected:
    CliRun runOn(const QString &args, const QString &file) const
    {
        return runCli(inDir(args).split(u' ') << testData("gpx/" + file), env);
    }
};
} // namespace

// Three TrackPoints whose times lose their fractions on import; legs of about 70 m and 221 m.
TEST_F(CliAnalysis, StatsPrintTheRows)
{
    CliRun r = runOn("stats", "gpxpassthrough11.gpx");
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "Start date and time:\t 25/05/2002 17:06:21\nEnd date and time:\t 25/05/2002 17:12:00\n"
                     "Elapsed time:\t00:05:39\nTrack length:\t0.291 km\nMin altitude:\t0.0 m\nMax altitude:\t1.0 m\n"
                     "Total altitude range:\t1.0 m\nAltitude difference:\t-1.0 m\nMean speed:\t3.093 km/h\n"
                     "Max speed:\t6.376 km/h\nMean Vert. speed:\t0.0 m/s\nMin Vert. speed:\t0.0 m/s\n"
                     "Max Vert. speed:\t0.0 m/s\n");
    r = runOn("stats --units nautical --lang it", "gpxpassthrough11.gpx");
    EXPECT_EQ(r.out.section(u'\n', 3, 3), "Lunghezza percorso:\t0.157 NM");
    EXPECT_EQ(r.out.section(u'\n', 9, 9), "Velocità max:\t3.443 NM/h");
    EXPECT_TRUE(QDir(path("config")).isEmpty()); // the options held for that run only
}

TEST_F(CliAnalysis, ProfileWritesThePicture)
{
    const CliRun r = runOn("profile tracks -o @k.png --size 640x480", "korita-zbevnica.gpx");
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QImage png(path("k.png"));
    ASSERT_EQ(png.size(), QSize(640, 480));
    // Label1 and Label2 above the drawing.
    int text = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x)
            text += qGray(png.pixel(x, y)) < 100;
    EXPECT_GT(text, 100);
}

TEST_F(CliAnalysis, MessagesAndBadArgumentsAreOneLine)
{
    writeAll(path("pole.txt"), "TP,   95.0000000000,    7.0000000000,    10.00, 07/12/2026, 10:00:00, \r\n"
                               "TP,   45.0000000000,    7.0000000000,    20.00, 07/12/2026, 10:01:00, \r\n");
    const QString korita = testData("gpx/korita-zbevnica.gpx"), route = testData("gpx/route.gpx");
    expectFailures({
        {"stats " + korita, "Error: negative or null time steps!!!"}, // GPX points without <time>
        {"stats " + route, "The track statistics need at least two TrackPoints."},
        {"stats @pole.txt", "ERROR N° 5 - Invalid procedure call or argument"},
        {"profile tracks @pole.txt -o @p.png", "ERROR N° 5 - Invalid procedure call or argument"},
        {"profile route " + route + " -o @p.png", "All points altitude is 0.0 m"},
        {"stats", "stats: expected FILE..."},
        {"stats " + korita + " --units metres", "stats: --units must be metric or nautical, not 'metres'"},
        {"profile waypoints " + route + " -o @p.png", "profile: expected route or tracks, then FILE..."},
        {"profile route " + route, "profile: no output file given (-o OUT.png)"},
        {"profile route " + route + " -o @p.jpg", "@p.jpg: the output must end in .png"},
    });
}

TEST_F(CliAnalysis, ListPrintsTheTextThenTheLabels)
{
    const QString file = testData("gpx/track-with-empty-segment.gpx");
    const CliRun r = run("list tracks " + file + " --units nautical --lang it");
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    // The lines as the library's list text makes them (tests/analysis), then the three labels.
    const QStringList lines = r.out.split(u'\n');
    ASSERT_EQ(lines.size(), 18) << r.out.toStdString();
    EXPECT_EQ(lines.mid(2, 3), QStringList({"NOME     LATITUDINE   LONGITUDINE    QUOTA    DATA      ORA    DESCRIZIONE ", "",
                                            "1       50.77721260    6.08196950    628.6 06/07/2013 17:26:26 2013-07-06T14:59:00Z"}));
    EXPECT_EQ(lines.mid(12), QStringList({"9       50.77767150    6.08272030    628.6 06/07/2013 17:27:42 ", "", "N\u00b0  9 TrackPoints.",
                                          "Lunghezza percorso: 0.046 NM", "Lunghezza totale ortodromia: 0.040 NM", ""}));
    // Only the count for WayPoints; the options were for that run only.
    EXPECT_EQ(run("list waypoints " + file).out.section('\n', -3), "\nN\u00b0 0 WayPoints.\n");
    EXPECT_FALSE(QFile::exists(path("config/Gipso.cfg")));

    expectFailures({
        {"list planets " + file, "list: expected waypoints, route or tracks, then FILE..."},
        {"list route", "list: expected FILE..."},
        {"list route @missing.gpx", "@missing.gpx: No such file or directory"},
        {"list route " + file + " --units imperial", "list: --units must be metric or nautical, not 'imperial'"},
    });
}
