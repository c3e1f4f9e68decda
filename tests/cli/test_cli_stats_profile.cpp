// gipso-cli stats and profile on the shared test files: the rows and the picture, the
// messages that stand instead, and bad arguments.

#include "CliTest.h"

#include <QImage>

using namespace gipso;
using namespace gipso::test;

namespace {

class CliStatsProfile : public CliTest {
protected:
    // A shared test file, "@" standing for its folder in run().
    static QString shared(const QString &name) { return testData("gpx/" + name); }
    CliRun runOn(const QString &args, const QString &file) const
    {
        return runCli(inDir(args).split(u' ') << shared(file), env);
    }
};

} // namespace

// Three TrackPoints whose times lose their fractions of a second on import (21.250, 55.190,
// 00.200); the legs measure about 70 m and 221 m.
TEST_F(CliStatsProfile, StatsPrintTheRowsInBothUnitSystemsAndLanguages)
{
    CliRun r = runOn("stats", "gpxpassthrough11.gpx");
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "Start date and time:\t 25/05/2002 17:06:21\n"
                     "End date and time:\t 25/05/2002 17:12:00\n"
                     "Elapsed time:\t00:05:39\n"
                     "Track length:\t0.291 km\n"
                     "Min altitude:\t0.0 m\n"
                     "Max altitude:\t1.0 m\n"
                     "Total altitude range:\t1.0 m\n"
                     "Altitude difference:\t-1.0 m\n"
                     "Mean speed:\t3.093 km/h\n"
                     "Max speed:\t6.376 km/h\n"
                     "Mean Vert. speed:\t0.0 m/s\n"
                     "Min Vert. speed:\t0.0 m/s\n"
                     "Max Vert. speed:\t0.0 m/s\n");
    r = runOn("stats --units nautical --lang it", "gpxpassthrough11.gpx");
    EXPECT_EQ(r.out.section(u'\n', 3, 3), "Lunghezza percorso:\t0.157 NM");
    EXPECT_EQ(r.out.section(u'\n', 5, 5), "Quota max:\t3.3 ft");
    EXPECT_EQ(r.out.section(u'\n', 9, 9), "Velocità max:\t3.443 NM/h");
    // The options held for that run only: the configuration is neither written nor changed.
    EXPECT_TRUE(QDir(path("config")).isEmpty());

    // Nine points of one segment, an empty segment after them.
    r = runOn("stats", "track-with-empty-segment.gpx");
    EXPECT_EQ(r.out.section(u'\n', 2, 3), "Elapsed time:\t00:01:16\nTrack length:\t0.086 km");
    EXPECT_EQ(r.out.section(u'\n', 8, 9), "Mean speed:\t4.064 km/h\nMax speed:\t16.005 km/h");
}

TEST_F(CliStatsProfile, ProfileWritesThePicture)
{
    const CliRun r = runOn("profile tracks -o @k.png --size 640x480", "korita-zbevnica.gpx");
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
    const QImage png(path("k.png"));
    ASSERT_EQ(png.size(), QSize(640, 480));
    // Coloured by altitude (Gipso.cfg's default): red near the highest point, blue near the lowest.
    int red = 0, blue = 0, text = 0;
    for (int y = 0; y < png.height(); ++y)
        for (int x = 0; x < png.width(); ++x) {
            const QColor c = png.pixelColor(x, y);
            red += c.red() == 255 && c.green() < 64 && c.blue() == 0;
            blue += c.blue() == 255 && c.green() < 64 && c.red() == 0;
            text += y < 40 && qGray(c.rgb()) < 100; // Label1 and Label2
        }
    EXPECT_GT(red, 5);
    EXPECT_GT(blue, 5);
    EXPECT_GT(text, 100);
}

TEST_F(CliStatsProfile, MessagesAndBadArgumentsAreOneLine)
{
    writeAll(path("pole.txt"), "TP,   95.0000000000,    7.0000000000,    10.00, 07/12/2026, 10:00:00, \r\n"
                               "TP,   45.0000000000,    7.0000000000,    20.00, 07/12/2026, 10:01:00, \r\n");
    const QString korita = shared("korita-zbevnica.gpx"), route = shared("route.gpx");
    expectFailures({
        // GPX points without <time> are all at one moment.
        {"stats " + korita, "Error: negative or null time steps!!!"},
        {"stats " + route, "The track statistics need at least two TrackPoints."},
        {"stats @pole.txt", "ERROR N° 5 - Invalid procedure call or argument"},
        {"profile tracks @pole.txt -o @p.png", "ERROR N° 5 - Invalid procedure call or argument"},
        {"profile route " + route + " -o @p.png", "All points altitude is 0.0 m"},
        {"stats", "stats: expected FILE..."},
        {"stats " + korita + " --units metres", "stats: --units must be metric or nautical, not 'metres'"},
        {"profile waypoints " + route + " -o @p.png", "profile: expected route or tracks, then FILE..."},
        {"profile route " + route, "profile: no output file given (-o OUT.png)"},
        {"profile route " + route + " -o @p.jpg", "@p.jpg: the output must end in .png"},
        {"profile tracks @missing.gpx -o @p.png", "@missing.gpx: "},
    });
}
