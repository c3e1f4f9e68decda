// End to end over a pseudo-terminal: Gipso's transfers against the simulated receiver, and
// the simulator checked against gpsbabel acting as host.
#include "support/SimProcess.h"

#include "base/DateValue.h"
#include "base/Error.h"
#include "base/Messages.h"
#include "files/PointFiles.h"
#include "gps/GarminLink.h"
#include "gps/SerialLink.h"
#include "gps/Transfers.h"

#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace gipso;
using gipso::test::at;
using gipso::test::makePoint;
using gipso::test::SimProcess;
using gipso::test::stamp;

namespace {

// What the receiver holds: positions at the semicircle limits, two tracks, times at the
// limits of the device's clock.
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

// Same position (to the semicircle), altitude (whole metres), name; and for track points the
// description and the time.
void expectSamePoints(const PointList &got, const PointList &want, const char *what, double tolerance = 1e-7,
                      bool compareTimes = true, bool compareAltitudes = true)
{
    ASSERT_EQ(got.count(), want.count()) << what;
    for (int32_t i = 1; i <= want.count(); ++i) {
        const GpsPoint &g = got[i];
        const GpsPoint &w = want[i];
        EXPECT_NEAR(g.latitude, w.latitude, tolerance) << what << " " << i;
        const double lon = w.longitude == 180.0 ? -180.0 : w.longitude;
        EXPECT_NEAR(g.longitude, lon, tolerance) << what << " " << i;
        if (compareAltitudes) {
            EXPECT_EQ(int(g.altitude), int(w.altitude)) << what << " " << i;
        }
        EXPECT_EQ(g.name, w.name) << what << " " << i;
        EXPECT_EQ(g.kind, w.kind) << what << " " << i;
        if (w.kind == PointKind::Track) {
            EXPECT_EQ(g.description.isEmpty(), w.description.isEmpty()) << what << " " << i;
            if (compareTimes) {
                EXPECT_EQ(stamp(g), stamp(w)) << what << " " << i;
            }
        }
    }
}

struct Session {
    explicit Session(const QString &port, int timeoutMs = 0)
    {
        opened = serial.open(port, 9600, &error);
        if (timeoutMs > 0)
            link.setTimeouts(timeoutMs, timeoutMs, 2 * timeoutMs);
        link.setWarning([this](const QString &w) { warnings << w; });
    }
    TransferResult run(TransferMode mode) { return runTransfer(mode, link, store); }
    SerialLink serial;
    GarminLink link{serial};
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
        source = receiverPoints();
        pointsFile = dir.filePath(QStringLiteral("receiver.txt"));
        PointStore copy = source;
        writeTextPointFile(pointsFile, copy);
    }
    QString file(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir dir;
    PointStore source;
    QString pointsFile;
};

#define REQUIRE_GPSBABEL()                                                                                             \
    if (gipso::test::gpsbabel().isEmpty())                                                                             \
    GTEST_SKIP() << "gpsbabel is not installed"

} // namespace

TEST_F(GpsSim, GipsoDownloadsWhatTheReceiverHoldsAsGpsbabelDoes)
{
    SimProcess sim({QStringLiteral("--points"), pointsFile, QStringLiteral("--baud"), QStringLiteral("115200")});
    ASSERT_TRUE(sim.ok()) << qPrintable(sim.errors());
    {
        Session s(sim.path());
        ASSERT_TRUE(s.opened) << qPrintable(s.error);
        EXPECT_EQ(s.run(TransferMode::DownloadWayPoints).text, QLatin1String("3 WayPoints downloaded."));
        EXPECT_EQ(s.run(TransferMode::DownloadRoutePoints).text, QLatin1String("3 RoutePoints downloaded."));
        EXPECT_EQ(s.run(TransferMode::DownloadTrackPoints).text, QLatin1String("5 TrackPoints and 2 tracks downloaded."));
        EXPECT_TRUE(s.warnings.isEmpty()) << qPrintable(s.warnings.join(QLatin1Char('\n')));
        EXPECT_TRUE(s.store.pointsModified);
        expectSamePoints(s.store.wayPoints, source.wayPoints, "waypoints");
        expectSamePoints(s.store.routePoints, source.routePoints, "route");
        expectSamePoints(s.store.trackPoints, source.trackPoints, "tracks");
        EXPECT_EQ(s.store.wayPoints[2].altitude, 12.0f);
        EXPECT_EQ(s.store.wayPoints[3].altitude, 0.0f);
        EXPECT_EQ(s.store.trackPoints[1].description, QLatin1String("T1"));
        EXPECT_EQ(s.store.trackPoints[4].description, QLatin1String("T2"));
        EXPECT_EQ(stamp(s.store.trackPoints[1]), QLatin1String("31/12/1989 00:00:00"));
    }
    // gpsbabel, as host on the same receiver, gets the same points.
    REQUIRE_GPSBABEL();
    const QString out = file("babel.gpx");
    QString errors;
    ASSERT_TRUE(gipso::test::runGpsbabel({"-w", "-r", "-t", "-i", "garmin", "-f", sim.path(), "-o", "gpx", "-F", out}, &errors))
        << qPrintable(errors);
    PointStore babel;
    readGpx(out, babel, true);
    // gpsbabel writes nine decimals and drops route altitudes; Gipso truncates altitudes.
    expectSamePoints(babel.wayPoints, source.wayPoints, "babel waypoints", 1e-7);
    expectSamePoints(babel.routePoints, source.routePoints, "babel route", 1e-7, true, false);
    ASSERT_EQ(babel.trackPoints.count(), source.trackPoints.count());
    for (int32_t i = 2; i <= babel.trackPoints.count(); ++i) { // gpsbabel takes time 0 for "no time"
        EXPECT_NEAR(babel.trackPoints[i].latitude, source.trackPoints[i].latitude, 1e-7) << i;
        EXPECT_EQ(stamp(babel.trackPoints[i]), stamp(source.trackPoints[i])) << i;
    }
}

TEST_F(GpsSim, EmptyReceiverAndUnnamedTrackHeader)
{
    PointStore tracksOnly;
    tracksOnly.trackPoints = source.trackPoints;
    const QString f = file("tracks.txt");
    writeTextPointFile(f, tracksOnly);
    // The second track's header carries no name: its points continue the first track.
    SimProcess sim({QStringLiteral("--points"), f, QStringLiteral("--track-names"), QStringLiteral("T1,")});
    ASSERT_TRUE(sim.ok());
    Session s(sim.path());
    EXPECT_EQ(s.run(TransferMode::DownloadWayPoints).text, QLatin1String("0 WayPoints downloaded."));
    EXPECT_EQ(s.run(TransferMode::DownloadRoutePoints).text, QLatin1String("0 RoutePoints downloaded."));
    EXPECT_FALSE(s.store.pointsModified);
    EXPECT_EQ(s.run(TransferMode::DownloadTrackPoints).text, QLatin1String("5 TrackPoints and 2 tracks downloaded."));
    ASSERT_EQ(s.store.trackPoints.count(), 5);
    EXPECT_EQ(s.store.trackPoints[4].description, QString());
    EXPECT_EQ(trackCount(s.store.trackPoints), 1);
    EXPECT_TRUE(s.warnings.isEmpty());
}

TEST_F(GpsSim, UploadsAreStoredAndServedBack)
{
    const QString record = file("record.gpx");
    SimProcess sim({QStringLiteral("--record"), record});
    ASSERT_TRUE(sim.ok());
    {
        Session up(sim.path());
        EXPECT_EQ(up.run(TransferMode::UploadWayPoints).text, QLatin1String("0 WayPoints uploaded.")); // from an empty store
        up.store = source;
        EXPECT_EQ(up.run(TransferMode::UploadWayPoints).text, QLatin1String("3 WayPoints uploaded."));
        // A route of one point: Records 2, header, the point, Transfer complete.
        up.store.routePoints.clear();
        up.store.routePoints.append(source.routePoints[2]);
        EXPECT_EQ(up.run(TransferMode::UploadRoutePoints).text, QLatin1String("1 RoutePoints uploaded."));
        EXPECT_TRUE(up.warnings.isEmpty()) << qPrintable(up.warnings.join(QLatin1Char('\n')));
    }

    Session down(sim.path());
    EXPECT_EQ(down.run(TransferMode::DownloadRoutePoints).text, QLatin1String("1 RoutePoints downloaded."));
    down.run(TransferMode::DownloadWayPoints);
    expectSamePoints(down.store.wayPoints, source.wayPoints, "waypoints");
    ASSERT_EQ(down.store.routePoints.count(), 1);
    EXPECT_EQ(down.store.routePoints[1].name, QLatin1String("A2"));

    PointStore recorded;
    readGpx(record, recorded, false);
    expectSamePoints(recorded.wayPoints, source.wayPoints, "recorded", 1e-7, false);
    EXPECT_EQ(recorded.wayPoints[1].description, QLatin1String("home"));
    EXPECT_EQ(recorded.wayPoints[3].description, QStringLiteral("Città")); // sent in Latin-1
    EXPECT_EQ(recorded.wayPoints[1].altitude, 120.0f);
    EXPECT_EQ(recorded.routePoints.count(), 1);
}

TEST_F(GpsSim, GipsoUploadsGpsbabelDownloadsTheSame)
{
    REQUIRE_GPSBABEL();
    SimProcess sim({});
    ASSERT_TRUE(sim.ok());
    {
        Session up(sim.path());
        up.store = source;
        up.run(TransferMode::UploadWayPoints);
        up.run(TransferMode::UploadRoutePoints);
        ASSERT_TRUE(up.warnings.isEmpty());
    }
    const QString out = file("babel.gpx");
    ASSERT_TRUE(gipso::test::runGpsbabel({"-w", "-r", "-i", "garmin", "-f", sim.path(), "-o", "gpx", "-F", out}));
    PointStore babel;
    readGpx(out, babel, false);
    expectSamePoints(babel.wayPoints, source.wayPoints, "waypoints", 1e-7);
    expectSamePoints(babel.routePoints, source.routePoints, "route", 1e-7, true, false);
}

TEST_F(GpsSim, GpsbabelUploadsAreRecordedWhole)
{
    REQUIRE_GPSBABEL();
    const QString in = file("in.gpx");
    PointStore copy = source;
    copy.trackPoints.clear();
    writeGpx(in, copy);
    const QString record = file("record.gpx");
    SimProcess sim({QStringLiteral("--record"), record});
    ASSERT_TRUE(sim.ok());
    QString errors;
    ASSERT_TRUE(gipso::test::runGpsbabel({"-w", "-r", "-i", "gpx", "-f", in, "-o", "garmin", "-F", sim.path()}, &errors))
        << qPrintable(errors);
    PointStore recorded;
    readGpx(record, recorded, false);
    expectSamePoints(recorded.wayPoints, source.wayPoints, "waypoints", 1e-7, false);
    expectSamePoints(recorded.routePoints, source.routePoints, "route", 1e-7, false);
    EXPECT_EQ(recorded.wayPoints[2].altitude, 12.9f);
}

// Faults. Packet numbers count the simulator's packets in the transfer: 1 the acknowledgement
// of the command, 2 Records, 3 the first record.
TEST_F(GpsSim, WarningsLeaveTheTransferGoing)
{
    for (const char *fault : {"checksum@3", "trailer@4", "checksum@5"}) {
        SimProcess sim({QStringLiteral("--points"), pointsFile, QStringLiteral("--fault"), QString::fromLatin1(fault)});
        ASSERT_TRUE(sim.ok());
        Session s(sim.path(), 600);
        const TransferResult r = s.run(TransferMode::DownloadWayPoints);
        EXPECT_EQ(r.text, QLatin1String("3 WayPoints downloaded.")) << fault;
        ASSERT_EQ(s.warnings.size(), 1) << fault;
        EXPECT_TRUE(s.warnings[0].startsWith(QString::fromLatin1(fault).startsWith(QLatin1String("checksum"))
                                                 ? QStringLiteral("Checksum  error")
                                                 : QStringLiteral("Input error")))
            << fault;
        expectSamePoints(s.store.wayPoints, source.wayPoints, fault); // stored from the data as received
    }
    // 0x10 in the size, the data and the checksum of every track header.
    SimProcess sim({QStringLiteral("--points"), pointsFile, QStringLiteral("--fault"), QStringLiteral("dle")});
    Session s(sim.path(), 600);
    EXPECT_EQ(s.run(TransferMode::DownloadTrackPoints).text, QLatin1String("5 TrackPoints and 2 tracks downloaded."));
    EXPECT_TRUE(s.warnings.isEmpty()) << qPrintable(s.warnings.join(QLatin1Char('\n')));
    EXPECT_EQ(s.store.trackPoints[1].description, QStringLiteral("T1           ")); // padded to 13, taken unchanged
    expectSamePoints(s.store.trackPoints, source.trackPoints, "dle");
}

TEST_F(GpsSim, SilenceEndsInTheErrorTrapWithWholePointsOnly)
{
    struct Case {
        const char *fault;
        int32_t keptPoints;
    };
    // Silence before the second record, silence inside it, the line hung up before it, and
    // stray bytes that leave the host out of step.
    for (const Case &c : {Case{"silence@4:1500", 1}, Case{"stall@4:1500", 1}, Case{"hangup@4", 1}, Case{"silence@1:1500", 0}}) {
        SimProcess sim({QStringLiteral("--points"), pointsFile, QStringLiteral("--fault"), QString::fromLatin1(c.fault)});
        ASSERT_TRUE(sim.ok());
        Session s(sim.path(), 400);
        try {
            s.run(TransferMode::DownloadWayPoints);
            ADD_FAILURE() << c.fault << ": no error";
        } catch (const GipsoError &e) {
            EXPECT_EQ(e.number(), 20001) << c.fault;
            EXPECT_EQ(errorMessage(e, 671), QStringLiteral("ERROR N° 20001 - Input Time Out"));
        }
        EXPECT_EQ(s.store.wayPoints.count(), c.keptPoints) << c.fault;
        if (c.keptPoints) {
            EXPECT_EQ(s.store.wayPoints[1].name, QLatin1String("CASA"));
        }
        EXPECT_FALSE(s.store.pointsModified) << c.fault;
    }
    SimProcess sim({QStringLiteral("--points"), pointsFile, QStringLiteral("--fault"), QStringLiteral("garbage@3")});
    Session s(sim.path(), 400);
    try {
        s.run(TransferMode::DownloadWayPoints);
        ADD_FAILURE() << "garbage: no error";
    } catch (const GipsoError &e) {
        EXPECT_EQ(e.number(), 20001);
    }
    EXPECT_FALSE(s.warnings.isEmpty()); // the stray bytes were read as a packet
    for (const GpsPoint &p : s.store.wayPoints)
        EXPECT_EQ(p.kind, PointKind::Way);
}

TEST_F(GpsSim, WaitingKeepsTheEventLoopRunning)
{
    SimProcess sim({QStringLiteral("--points"), pointsFile});
    ASSERT_TRUE(sim.ok());
    Session s(sim.path(), 300);
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(10);
    EXPECT_THROW(s.link.ricevi(), GipsoError); // nothing was asked: the receiver stays silent
    EXPECT_GT(ticks, 3);
}
