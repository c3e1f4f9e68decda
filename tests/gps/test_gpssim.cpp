// The simulated receiver checked against gpsbabel acting as host, and Gipso's transfers end to
// end against gpsbabel through it: one run in each direction.
#include "LinkFixture.h"
#include "support/CliRunner.h"
#include "support/SimProcess.h"

#include "files/PointFiles.h"
#include "gps/ReceiverPort.h"
#include "gps/Transfers.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>

using namespace gipso;
using namespace gipso::test;

namespace {

// What the receiver holds: positions at the semicircle limits, two tracks, times at the
// limits of the receiver's clock.
PointStore receiverPoints()
{
    const QDateTime when = at(2026, 12, 5, 10, 0, 0);
    const PointKind way = PointKind::Way, route = PointKind::Route, track = PointKind::Track;
    PointStore s;
    for (const GpsPoint &p : {makePoint(way, "CASA", 45.5, 9.25, 120, when, "home"), makePoint(way, "POLO", 90, -180, 12.9f, when),
                              makePoint(way, "SUD", -90, 180, -0.7f, when, "Città"), makePoint(route, "A1", 45.1, 9.1, 10, when),
                              makePoint(route, "A2", 45.2, 9.2, 20, when), makePoint(route, "A3", 45.3, 9.3, 30, when),
                              makePoint(track, {}, 45.5, 9.25, 123.5f, at(1989, 12, 31), "T1"),
                              makePoint(track, {}, 45.5001, 9.2501, 124, at(1989, 12, 31, 23, 59, 59)),
                              makePoint(track, {}, 45.5002, 9.2502, 125, at(1990, 1, 1)),
                              makePoint(track, {}, 45.6, 9.3, 200, when, "T2"),
                              makePoint(track, {}, 45.6001, 9.3001, 201, when.addSecs(1))})
        s.list(p.kind).append(p);
    return s;
}

// What is compared besides kind and position (to the semicircle): the altitude in the whole
// metres Gipso keeps or all of it (as the simulator and gpsbabel keep it), the times of track
// points, the labels (names, and the descriptions that name tracks).
enum Compare { WholeMetres = 1, Altitude = 2, Times = 4, Labels = 8 };

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
QStringList summary(const PointStore &s) { return summary(s.wayPoints) + summary(s.routePoints) + summary(s.trackPoints); }

// Gipso on the receiver's port, as the communication dialog opens it.
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
    // Runs gpsbabel as host; then what it, or the simulator, wrote.
    PointStore afterGpsbabel(const QStringList &args, const QString &written)
    {
        const CliRun r = runProgram("gpsbabel", args);
        EXPECT_EQ(r.status, 0) << qPrintable(r.err);
        return read(written);
    }
    static PointStore read(const QString &path)
    {
        PointStore s;
        readPointFile(path, s);
        return s;
    }
    QTemporaryDir dir;
    PointStore source = receiverPoints();
    const QString pointsFile = file("receiver.txt"), record = file("record.txt"), babel = file("babel.gpx");
};

#define REQUIRE_GPSBABEL()                                                                                             \
    if (!gipso::test::haveProgram("gpsbabel"))                                                                         \
    GTEST_SKIP() << "gpsbabel is not installed"

} // namespace

TEST_F(GpsSim, GipsoAndGpsbabelDownloadTheSame)
{
    SimProcess sim({"--points", pointsFile, "--baud", "115200"});
    ASSERT_TRUE(sim.ok()) << qPrintable(sim.errors());
    {
        Session s(sim.path());
        ASSERT_TRUE(s.opened) << qPrintable(s.error);
        EXPECT_EQ(s.run(CommMode::DownloadWayPoints), QLatin1String("3 WayPoints downloaded."));
        EXPECT_EQ(s.run(CommMode::DownloadRoutePoints), QLatin1String("3 RoutePoints downloaded."));
        EXPECT_EQ(s.run(CommMode::DownloadTrackPoints), QLatin1String("5 TrackPoints and 2 tracks downloaded."));
        EXPECT_TRUE(s.warnings.isEmpty()) << qPrintable(s.warnings.join(QLatin1Char('\n')));
        EXPECT_EQ(summary(s.store), summary(source));
    }
    // gpsbabel, as host on the same receiver, gets the same points: all of each altitude, and
    // time 0 where the receiver has no time.
    REQUIRE_GPSBABEL();
    PointStore got = afterGpsbabel({"-w", "-r", "-t", "-i", "garmin", "-f", sim.path(), "-o", "gpx", "-F", babel}, babel);
    EXPECT_EQ(summary(got.wayPoints, Altitude | Labels), summary(source.wayPoints, Altitude | Labels));
    EXPECT_EQ(summary(got.routePoints, Labels), summary(source.routePoints, Labels));
    // gpsbabel names the points of its tracks on its own, and takes time 0 for none.
    ASSERT_EQ(got.trackPoints.count(), 5);
    got.trackPoints[1].date = source.trackPoints[1].date;
    got.trackPoints[1].time = source.trackPoints[1].time;
    EXPECT_EQ(summary(got.trackPoints, Altitude | Times), summary(source.trackPoints, Altitude | Times));

    // Track headers with a 0x10 in size, data and checksum are sound framing.
    SimProcess dle({"--points", pointsFile, "--fault", "dle"});
    got = afterGpsbabel({"-t", "-i", "garmin", "-f", dle.path(), "-o", "gpx", "-F", babel}, babel);
    EXPECT_EQ(summary(got.trackPoints, Altitude), summary(source.trackPoints, Altitude));
}

TEST_F(GpsSim, GipsoAndGpsbabelUploadTheSame)
{
    REQUIRE_GPSBABEL();
    const QString in = file("in.gpx");
    PointStore noTracks = source;
    noTracks.trackPoints.clear();
    writePointFile(in, noTracks);
    SimProcess sim({"--record", record});
    ASSERT_TRUE(sim.ok());

    // gpsbabel as host uploads: the simulator records all of each point.
    PointStore got = afterGpsbabel({"-w", "-r", "-i", "gpx", "-f", in, "-o", "garmin", "-F", sim.path()}, record);
    EXPECT_EQ(summary(got.wayPoints, Altitude | Labels), summary(source.wayPoints, Altitude | Labels));
    EXPECT_EQ(summary(got.routePoints, Altitude | Labels), summary(source.routePoints, Altitude | Labels));

    // Gipso uploads to the same receiver, and gpsbabel downloads what it holds now.
    source.wayPoints.removeLast();
    {
        Session up(sim.path());
        up.store = source;
        EXPECT_EQ(up.run(CommMode::UploadWayPoints), QLatin1String("2 WayPoints uploaded."));
        EXPECT_EQ(up.run(CommMode::UploadRoutePoints), QLatin1String("3 RoutePoints uploaded."));
        EXPECT_TRUE(up.warnings.isEmpty()) << qPrintable(up.warnings.join(QLatin1Char('\n')));
    }
    got = afterGpsbabel({"-w", "-r", "-i", "garmin", "-f", sim.path(), "-o", "gpx", "-F", babel}, babel);
    EXPECT_EQ(summary(got.wayPoints, Altitude | Labels), summary(source.wayPoints, Altitude | Labels));
    EXPECT_EQ(summary(got.routePoints, Labels), summary(source.routePoints, Labels));
}

TEST_F(GpsSim, DamagedAndRefusedPacketsAreSentAgain)
{
    // Packet 3 garbled once: in a download the first WayPoint; in an upload the ACK of the
    // first WayPoint's resend after its NAK (nak@2), so that Gipso sends it a third time and
    // the simulator takes it once.
    {
        SimProcess sim({"--points", pointsFile, "--record", record, "--fault", "garble@3", "--fault", "nak@2"});
        ASSERT_TRUE(sim.ok());
        Session s(sim.path());
        EXPECT_EQ(s.run(CommMode::DownloadWayPoints), QLatin1String("3 WayPoints downloaded."));
        EXPECT_EQ(summary(s.store.wayPoints), summary(source.wayPoints));
        EXPECT_EQ(s.run(CommMode::UploadWayPoints), QLatin1String("3 WayPoints uploaded."));
        EXPECT_EQ(s.warnings.filter(QStringLiteral("Checksum error: expected ")).size(), 2);
        EXPECT_EQ(s.warnings.size(), 2);
    }
    EXPECT_EQ(summary(read(record).wayPoints, Labels), summary(source.wayPoints, Labels));

    // Damaged or refused on every resend: the error trap, and the receiver keeps nothing.
    QFile::remove(record);
    SimProcess sim({"--points", pointsFile, "--record", record, "--fault", "garble-every@3", "--fault", "nak-every@2"});
    Session s(sim.path());
    EXPECT_TRUE(errorOf([&] { s.run(CommMode::DownloadWayPoints); }).startsWith(QLatin1String("20004 - ")));
    EXPECT_EQ(s.store.wayPoints.count(), 0);
    EXPECT_TRUE(errorOf([&] { s.run(CommMode::UploadWayPoints); }).startsWith(QLatin1String("20005 - ")));
    EXPECT_FALSE(QFile::exists(record));
}

TEST_F(GpsSim, GpsbabelNeitherAsksForADamagedPacketAgainNorResendsARefusedOne)
{
    REQUIRE_GPSBABEL();
    // A garbled WayPoint: gpsbabel gives up, without a NAK.
    {
        SimProcess sim({"--points", pointsFile, "--fault", "garble@4"});
        const CliRun r = runProgram("gpsbabel", {"-w", "-i", "garmin", "-f", sim.path(), "-o", "gpx", "-F", babel});
        EXPECT_NE(r.status, 0);
        EXPECT_TRUE(r.err.contains(QLatin1String("CHECKSUM"))) << qPrintable(r.err);
        EXPECT_FALSE(sim.errors().contains(QLatin1String("NAK from the host")));
    }
    // A NAKed WayPoint: gpsbabel takes the NAK for an ACK and goes on; the receiver lacks the point.
    const QString in = file("in.gpx");
    PointStore wayPoints;
    wayPoints.wayPoints = source.wayPoints;
    writePointFile(in, wayPoints);
    SimProcess sim({"--record", record, "--fault", "nak@2"});
    const PointStore got = afterGpsbabel({"-w", "-i", "gpx", "-f", in, "-o", "garmin", "-F", sim.path()}, record);
    EXPECT_EQ(summary(got.wayPoints, Labels), summary(source.wayPoints, Labels).mid(1));
}

TEST_F(GpsSim, NmeaTimeAdvancesWithEachFix)
{
    // The track log's own times while they advance, then a second a fix (the stream repeats).
    SimProcess sim({"--points", pointsFile, "--nmea", "rmc", "--nmea-interval", "0", "--nmea-repeat"});
    ASSERT_TRUE(sim.ok()) << qPrintable(sim.errors());
    Session s(sim.path());
    ASSERT_TRUE(s.opened) << qPrintable(s.error);
    GarminLink link = s.port.link();
    QStringList times;
    while (times.size() < 7) {
        const QStringList f = link.receiveLine(5000).split(u',');
        times << f.value(1) + u' ' + f.value(9);
    }
    EXPECT_EQ(times, QStringList({"000000.00 311289", "235959.00 311289", "000000.00 010190", "100000.00 051226",
                                  "100001.00 051226", "100002.00 051226", "100003.00 051226"}));
}
