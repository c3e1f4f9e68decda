// The simulated receiver checked against gpsbabel acting as host, and Gipso's transfers end to
// end against gpsbabel through it: one run in each direction.
#include "LinkFixture.h"
#include "support/SimProcess.h"

#include "base/Messages.h"
#include "files/PointFiles.h"
#include "gps/ReceiverPort.h"
#include "gps/Transfers.h"

#include <QFile>
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

// What is compared besides kind and position (to the semicircle).
enum Compare {
    WholeMetres = 1, // the altitude as Gipso keeps it
    Altitude = 2,    // all of it, as the simulator and gpsbabel keep it
    Times = 4,       // of track points
    Labels = 8,      // names, and the descriptions that name tracks
};

QStringList summary(const PointList &list, int compare = WholeMetres | Times | Labels)
{
    QStringList out;
    for (const GpsPoint &p : list) {
        QString s = QString::asprintf("%d %.6f %.6f", int(p.kind), p.latitude, p.longitude == 180.0 ? -180.0 : p.longitude);
        if (compare & (WholeMetres | Altitude))
            s += QString::asprintf(" %g", compare & WholeMetres ? std::trunc(p.altitude) + 0.0 : p.altitude);
        if (compare & Labels)
            s += u' ' + p.name + u' ' + (p.kind == PointKind::Track ? p.description : QString());
        if ((compare & Times) && p.kind == PointKind::Track)
            s += u' ' + stamp(p);
        out << s;
    }
    return out;
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
        EXPECT_EQ(summary(s.store.wayPoints), summary(source.wayPoints));
        EXPECT_EQ(summary(s.store.routePoints), summary(source.routePoints));
        EXPECT_EQ(summary(s.store.trackPoints), summary(source.trackPoints));
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
    EXPECT_EQ(summary(babel.wayPoints, Altitude | Labels), summary(source.wayPoints, Altitude | Labels));
    EXPECT_EQ(summary(babel.routePoints, Labels), summary(source.routePoints, Labels));
    // gpsbabel names the points of its tracks on its own, and takes time 0 for none.
    ASSERT_EQ(babel.trackPoints.count(), 5);
    babel.trackPoints[1].date = source.trackPoints[1].date;
    babel.trackPoints[1].time = source.trackPoints[1].time;
    EXPECT_EQ(summary(babel.trackPoints, Altitude | Times), summary(source.trackPoints, Altitude | Times));

    // Track headers with a 0x10 in size, data and checksum are sound framing.
    SimProcess dle({QStringLiteral("--points"), pointsFile, QStringLiteral("--fault"), QStringLiteral("dle")});
    ASSERT_TRUE(runGpsbabel({"-t", "-i", "garmin", "-f", dle.path(), "-o", "gpx", "-F", out}, &errors)) << qPrintable(errors);
    PointStore stuffed;
    readPointFile(out, stuffed);
    EXPECT_EQ(summary(stuffed.trackPoints, Altitude), summary(source.trackPoints, Altitude));
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
    EXPECT_EQ(summary(recorded.wayPoints, Altitude | Labels), summary(source.wayPoints, Altitude | Labels));
    EXPECT_EQ(summary(recorded.routePoints, Altitude | Labels), summary(source.routePoints, Altitude | Labels));

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
    EXPECT_EQ(summary(babel.wayPoints, Altitude | Labels), summary(source.wayPoints, Altitude | Labels));
    EXPECT_EQ(summary(babel.routePoints, Labels), summary(source.routePoints, Labels));
}

TEST_F(GpsSim, DamagedAndRefusedPacketsAreSentAgain)
{
    // Packet 3 garbled once: in a download the first WayPoint; in an upload the ACK of the
    // first WayPoint's resend after its NAK (nak@2), so that Gipso sends it a third time and
    // the simulator takes it once.
    const QString record = file("record.txt");
    {
        SimProcess sim({"--points", pointsFile, "--record", record, "--fault", "garble@3", "--fault", "nak@2"});
        ASSERT_TRUE(sim.ok());
        Session s(sim.path());
        EXPECT_EQ(s.run(CommMode::DownloadWayPoints), QLatin1String("3 WayPoints downloaded."));
        EXPECT_EQ(summary(s.store.wayPoints), summary(source.wayPoints));
        EXPECT_EQ(s.run(CommMode::UploadWayPoints), QLatin1String("3 WayPoints uploaded."));
        EXPECT_EQ(s.warnings.size(), 2);
        EXPECT_EQ(s.warnings.filter(QStringLiteral("Checksum error: expected ")).size(), 2);
    }
    PointStore recorded;
    readPointFile(record, recorded);
    EXPECT_EQ(summary(recorded.wayPoints, Labels), summary(source.wayPoints, Labels));

    // Damaged or refused on every resend: the error trap, and the receiver keeps nothing.
    QFile::remove(record);
    SimProcess sim({"--points", pointsFile, "--record", record, "--fault", "garble-every@3", "--fault", "nak-every@2"});
    Session s(sim.path());
    EXPECT_TRUE(test::errorOf([&] { s.run(CommMode::DownloadWayPoints); }).startsWith(QLatin1String("20004 - ")));
    EXPECT_EQ(s.store.wayPoints.count(), 0);
    EXPECT_TRUE(test::errorOf([&] { s.run(CommMode::UploadWayPoints); }).startsWith(QLatin1String("20005 - ")));
    EXPECT_FALSE(QFile::exists(record));
}

TEST_F(GpsSim, GpsbabelNeitherAsksForADamagedPacketAgainNorResendsARefusedOne)
{
    REQUIRE_GPSBABEL();
    // A garbled WayPoint: gpsbabel gives up, without a NAK.
    QString errors;
    {
        SimProcess sim({"--points", pointsFile, "--fault", "garble@4"});
        EXPECT_FALSE(runGpsbabel({"-w", "-i", "garmin", "-f", sim.path(), "-o", "gpx", "-F", file("babel.gpx")}, &errors));
        EXPECT_TRUE(errors.contains(QLatin1String("CHECKSUM"))) << qPrintable(errors);
        EXPECT_FALSE(sim.errors().contains(QLatin1String("NAK from the host")));
    }
    // A NAKed WayPoint: gpsbabel takes the NAK for an ACK and goes on; the receiver lacks the point.
    const QString in = file("in.gpx");
    PointStore wayPoints;
    wayPoints.wayPoints = source.wayPoints;
    writePointFile(in, wayPoints);
    const QString record = file("record.txt");
    SimProcess sim({"--record", record, "--fault", "nak@2"});
    ASSERT_TRUE(runGpsbabel({"-w", "-i", "gpx", "-f", in, "-o", "garmin", "-F", sim.path()}, &errors)) << qPrintable(errors);
    PointStore recorded;
    readPointFile(record, recorded);
    EXPECT_EQ(summary(recorded.wayPoints, Labels), summary(source.wayPoints, Labels).mid(1));
}
