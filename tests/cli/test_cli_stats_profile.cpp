// gipso-cli stats and profile on the shared test files: the rows, the picture, and the one
// error line that stands instead.

#include "CliTest.h"

#include <QImage>

using namespace gipso;
using namespace gipso::test;

namespace {
class CliStatsProfile : public CliTest {
protected:
    CliRun runOn(const QString &args, const QString &file) const
    {
        return runCli(inDir(args).split(u' ') << testData("gpx/" + file), env);
    }
};
} // namespace

// Three TrackPoints whose times lose their fractions on import; legs of about 70 m and 221 m.
TEST_F(CliStatsProfile, StatsPrintTheRows)
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

TEST_F(CliStatsProfile, ProfileWritesThePicture)
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

TEST_F(CliStatsProfile, MessagesAndBadArgumentsAreOneLine)
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
