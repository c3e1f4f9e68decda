// The simulated receiver checked against gpsbabel acting as host, and Gipso's transfers end to
// end against gpsbabel through it: one run in each direction.
#include "support/SimProcess.h"

#include "base/Messages.h"
#include "files/PointFiles.h"
#include "gps/ReceiverPort.h"
#include "gps/Transfers.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>

using namespace gipso;
using gipso::test::at;
using gipso::test::makePoint;
using gipso::test::runGpsbabel;
using gipso::test::SimProcess;
using gipso::test::stamp;

namespace {

// What the receiver holds: positions at the semicircle limits, two tracks, times at the
// limits of the receiver's clock.
PointStore receiverPoints()
{
    const QDateTime when = at(2026, 12, 5, 10, 0, 0);
    PointStore s;
    s.wayPoints.append(makePoint(PointKind::Way, QStringLiteral("CASA"), 45.5, 9.25, 120, when, QStringLiteral("home")));
    s.wayPoints.append(makePoint(PointKind::Way, QStringLiteral("POLO"), 90, -180, 12.9f, when));
    s.wayPoints.append(makePoint(PointKind::Way, QStringLiteral("SUD"), -90, 180, -0.7f, when, QStringLiteral("Città")));
    s.routePoints.append(makePoint(PointKind::Route, QStringLiteral("A1"), 45.1, 9.1, 10, when));
    s.routePoints.append(makePoint(PointKind::Route, QStringLiteral("A2"), 45.2, 9.2, 20, when));
    s.routePoints.append(makePoint(PointKind::Route, QStringLiteral("A3"), 45.3, 9.3, 30, when));
    s.trackPoints.append(makePoint(PointKind::Track, QString(), 45.5, 9.25, 123.5f, at(1989, 12, 31), QStringLiteral("T1")));
    s.trackPoints.append(makePoint(PointKind::Track, QString(), 45.5001, 9.2501, 124, at(1989, 12, 31, 23, 59, 59)));
    s.trackPoints.append(makePoint(PointKind::Track, QString(), 45.5002, 9.2502, 125, at(1990, 1, 1)));
    s.trackPoints.append(makePoint(PointKind::Track, QString(), 45.6, 9.3, 200, at(2026, 12, 5, 10, 0, 0), QStringLiteral("T2")));
    s.trackPoints.append(makePoint(PointKind::Track, QString(), 45.6001, 9.3001, 201, at(2026, 12, 5, 10, 0, 1)));
    return s;
}

// What is compared besides position (to the semicircle), name and kind.
enum Compare {
    WholeMetres = 1, // the altitude as Gipso keeps it
    Altitude = 2,    // all of it, as the simulator and gpsbabel keep it
    Times = 4,       // of track points
    Labels = 8,      // names, and the descriptions that name tracks
};

void expectSamePoints(const PointList &got, const PointList &want, const char *what, int compare = WholeMetres | Times | Labels)
{
    ASSERT_EQ(got.count(), want.count()) << what;
    for (int32_t i = 1; i <= want.count(); ++i) {
        const GpsPoint &g = got[i];
        const GpsPoint &w = want[i];
        EXPECT_NEAR(g.latitude, w.latitude, 1e-7) << what << " " << i;
        EXPECT_NEAR(g.longitude, w.longitude == 180.0 ? -180.0 : w.longitude, 1e-7) << what << " " << i;
        if (compare & WholeMetres) {
            EXPECT_EQ(g.altitude, std::trunc(w.altitude)) << what << " " << i;
        }
        if (compare & Altitude) {
            EXPECT_EQ(g.altitude, w.altitude) << what << " " << i;
        }
        EXPECT_EQ(g.kind, w.kind) << what << " " << i;
        if (compare & Labels) {
            EXPECT_EQ(g.name, w.name) << what << " " << i;
            if (w.kind == PointKind::Track) {
                EXPECT_EQ(g.description, w.description) << what << " " << i;
            }
        }
        if (w.kind == PointKind::Track && (compare & Times)) {
            EXPECT_EQ(stamp(g), stamp(w)) << what << " " << i;
        }
    }
}

struct Session {
    explicit Session(const QString &device)
    {
        port.setup().warning = [this](const QString &w) { warnings << w; };
        opened = port.open(device, 9600, &error);
    }
    QString run(CommMode mode)
    {
        GarminLink link = port.link();
        return runTransfer(mode, link, store);
    }
    ReceiverPort port;
    PointStore store;
    QStringList warnings;
    QString error;
    bool opened = false;
};

struct GpsSim : ::testing::Test {
    void SetUp() override
    {
        setLanguage(kEnglish);
        ASSERT_TRUE(dir.isValid());
        PointStore copy = source;
        writePointFile(pointsFile, copy);
    }
    QString file(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir dir;
    PointStore source = receiverPoints();
    QString pointsFile = file("receiver.txt");
};

#define REQUIRE_GPSBABEL()                                                                                             \
    if (gipso::test::gpsbabel().isEmpty())                                                                             \
    GTEST_SKIP() << "gpsbabel is not installed"

} // namespace

TEST_F(GpsSim, GipsoAndGpsbabelDownloadTheSame)
{
    SimProcess sim({QStringLiteral("--points"), pointsFile, QStringLiteral("--baud"), QStringLiteral("115200")});
    ASSERT_TRUE(sim.ok()) << qPrintable(sim.errors());
    {
        Session s(sim.path());
        ASSERT_TRUE(s.opened) << qPrintable(s.error);
        EXPECT_EQ(s.run(CommMode::DownloadWayPoints), QLatin1String("3 WayPoints downloaded."));
        EXPECT_EQ(s.run(CommMode::DownloadRoutePoints), QLatin1String("3 RoutePoints downloaded."));
        EXPECT_EQ(s.run(CommMode::DownloadTrackPoints), QLatin1String("5 TrackPoints and 2 tracks downloaded."));
        EXPECT_TRUE(s.warnings.isEmpty()) << qPrintable(s.warnings.join(QLatin1Char('\n')));
        expectSamePoints(s.store.wayPoints, source.wayPoints, "waypoints");
        expectSamePoints(s.store.routePoints, source.routePoints, "route");
        expectSamePoints(s.store.trackPoints, source.trackPoints, "tracks");
    }
    // gpsbabel, as host on the same receiver, gets the same points: all of each altitude, and
    // time 0 where the receiver has no time.
    REQUIRE_GPSBABEL();
    const QString out = file("babel.gpx");
    QString errors;
    ASSERT_TRUE(runGpsbabel({"-w", "-r", "-t", "-i", "garmin", "-f", sim.path(), "-o", "gpx", "-F", out}, &errors))
        << qPrintable(errors);
    PointStore babel;
    readPointFile(out, babel);
    expectSamePoints(babel.wayPoints, source.wayPoints, "babel waypoints", Altitude | Labels);
    expectSamePoints(babel.routePoints, source.routePoints, "babel route", Labels);
    // gpsbabel names the points of its tracks on its own.
    expectSamePoints(babel.trackPoints, source.trackPoints, "babel tracks", Altitude);
    for (int32_t i = 2; i <= 5; ++i) // the first point's time is 0, which gpsbabel takes for none
        EXPECT_EQ(stamp(babel.trackPoints[i]), stamp(source.trackPoints[i])) << i;

    // Track headers with a 0x10 in size, data and checksum are sound framing.
    SimProcess dle({QStringLiteral("--points"), pointsFile, QStringLiteral("--fault"), QStringLiteral("dle")});
    ASSERT_TRUE(runGpsbabel({"-t", "-i", "garmin", "-f", dle.path(), "-o", "gpx", "-F", out}, &errors)) << qPrintable(errors);
    PointStore stuffed;
    readPointFile(out, stuffed);
    expectSamePoints(stuffed.trackPoints, source.trackPoints, "stuffed headers", Altitude);
}

TEST_F(GpsSim, GipsoAndGpsbabelUploadTheSame)
{
    REQUIRE_GPSBABEL();
    const QString in = file("in.gpx");
    PointStore noTracks = source;
    noTracks.trackPoints.clear();
    writePointFile(in, noTracks);
    const QString record = file("record.gpx");
    SimProcess sim({QStringLiteral("--record"), record});
    ASSERT_TRUE(sim.ok());

    // gpsbabel as host uploads: the simulator records all of each point.
    QString errors;
    ASSERT_TRUE(runGpsbabel({"-w", "-r", "-i", "gpx", "-f", in, "-o", "garmin", "-F", sim.path()}, &errors)) << qPrintable(errors);
    PointStore recorded;
    readPointFile(record, recorded);
    expectSamePoints(recorded.wayPoints, source.wayPoints, "recorded waypoints", Altitude | Labels);
    expectSamePoints(recorded.routePoints, source.routePoints, "recorded route", Altitude | Labels);

    // Gipso uploads to the same receiver, and gpsbabel downloads what it holds now.
    {
        Session up(sim.path());
        up.store = source;
        up.store.wayPoints.removeLast();
        EXPECT_EQ(up.run(CommMode::UploadWayPoints), QLatin1String("2 WayPoints uploaded."));
        EXPECT_EQ(up.run(CommMode::UploadRoutePoints), QLatin1String("3 RoutePoints uploaded."));
        EXPECT_TRUE(up.warnings.isEmpty()) << qPrintable(up.warnings.join(QLatin1Char('\n')));
    }
    const QString out = file("babel.gpx");
    ASSERT_TRUE(runGpsbabel({"-w", "-r", "-i", "garmin", "-f", sim.path(), "-o", "gpx", "-F", out}, &errors)) << qPrintable(errors);
    PointStore babel;
    readPointFile(out, babel);
    source.wayPoints.removeLast();
    expectSamePoints(babel.wayPoints, source.wayPoints, "waypoints", Altitude | Labels);
    expectSamePoints(babel.routePoints, source.routePoints, "route", Labels);
}
