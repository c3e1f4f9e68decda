// The five transfers packet for packet, against a scripted receiver on the in-memory link.
#include "LinkFixture.h"

#include "base/Clock.h"
#include "gps/Records.h"
#include "gps/Transfers.h"

#include <gtest/gtest.h>

using namespace gipso;
using gipso::test::errorOf;
using gipso::test::makePoint;
using gipso::test::pointTexts;

namespace {

// What Gipso and the receiver say, as wire hex.
const char *kAckCommand = "1006020A00EE1003", *kAckRecords = "1006021B00DD1003", *kAckWaypoint = "1006022300D51003";
const char *kAckRouteHeader = "1006021D00DB1003", *kAckRoutePoint = "1006021E00DA1003", *kAckRouteLink = "1006026200961003";
const char *kAckTrackPoint = "1006022200D61003", *kAckComplete = "1006020C00EC1003";
const char *kCompleteWaypoints = "100C020700EB1003", *kCompleteRoute = "100C020400EE1003";
const char *kRouteHeader = "101D06524F555445004E1003";
const char *kRouteLink = "1062150300000000000000FFFFFFFFFFFFFFFFFFFFFFFF00921003";

QString wire(uint8_t id, const QByteArray &data) { return QString::fromLatin1(framePacket({id, data}).toHex().toUpper()); }
QString records(int n) { return wire(pid::Records, encodeRecords(n)); }
QString waypoint(uint8_t id, const GpsPoint &p) { return wire(id, encodeWaypoint(p)); }
GpsPoint point(double lat, double lon, float alt, const QString &name = {}, const QString &description = {})
{
    return makePoint({}, name, lat, lon, alt, {}, description);
}
// A track point at (1, 2), this many seconds after the receiver's epoch.
QString trackPoint(int seconds, bool newTrack, float alt = 0)
{
    return wire(pid::TrackData, encodeTrackPoint(makePoint({}, {}, 1, 2, alt, test::at(1989, 12, 31).addSecs(seconds)), newTrack));
}
QString trackHeader(const QString &name) { return wire(pid::TrackHeader, encodeTrackHeader(name)); }

struct Transfers : test::LinkFixture {
    void SetUp() override
    {
        LinkFixture::SetUp();
        setClock([] { return QDateTime(QDate(2026, 12, 6), QTime(17, 44, 27)); });
    }
    void TearDown() override { setClock({}); }
    // Runs a transfer on what the receiver is to say; the result, and what Gipso sent.
    QString run(CommMode mode, const QStringList &receiver)
    {
        fake.clearWritten();
        warnings.clear();
        fake.feedHex(receiver);
        return runTransfer(mode, link, store);
    }
    PointStore store;
};

} // namespace

TEST_F(Transfers, DownloadWayPoints)
{
    EXPECT_EQ(run(CommMode::DownloadWayPoints,
                  {kAckCommand, records(2), waypoint(pid::WaypointData, point(45.5, 9.25, 12.9f, " CASA ", "home")),
                   waypoint(pid::WaypointData, point(90, -180, -0.7f, "POLO")), kCompleteWaypoints}),
              QLatin1String("2 WayPoints downloaded."));
    EXPECT_EQ(fake.sentHex(), QStringList({"100A020700ED1003", kAckRecords, kAckWaypoint, kAckWaypoint, kAckComplete}));
    EXPECT_TRUE(warnings.isEmpty());
    EXPECT_TRUE(store.pointsModified);
    // The name without its spaces, whole metres (0, not -0), no comment, stamped now.
    EXPECT_EQ(pointTexts(store.wayPoints), QStringList({"WP 45.5000000 9.2500000 12 CASA| 06/12/2026 17:44:27",
                                                        "WP 90.0000000 -180.0000000 0 POLO| 06/12/2026 17:44:27"}));
    EXPECT_TRUE(log.endsWith(QLatin1String("<-- 100C020700EB1003\r\n--> 1006020C00EC1003\r\n2 WayPoints downloaded.\r\n")));

    // No records: nothing changes. Something else where Transfer complete belongs: message 660,
    // the points all the same.
    store = {};
    EXPECT_EQ(run(CommMode::DownloadWayPoints, {kAckCommand, records(0), kCompleteWaypoints}), QLatin1String("0 WayPoints downloaded."));
    EXPECT_EQ(fake.sentHex(), QStringList({"100A020700ED1003", kAckWaypoint, kAckComplete}));
    EXPECT_FALSE(store.pointsModified);
    EXPECT_EQ(run(CommMode::DownloadWayPoints, {kAckCommand, records(1), waypoint(pid::WaypointData, point(1, 2, 3)), kAckWaypoint}),
              QLatin1String("1 WayPoints downloaded."));
    EXPECT_EQ(warnings, QStringList{QStringLiteral("Transmission aborted")});
    EXPECT_TRUE(store.pointsModified);
}

TEST_F(Transfers, DownloadRoute)
{
    EXPECT_EQ(run(CommMode::DownloadRoutePoints,
                  {kAckCommand, records(4), wire(pid::RouteHeader, encodeRouteHeader(QStringLiteral("R1"))),
                   waypoint(pid::RouteWaypoint, point(1, 2, 3, "A")), kRouteLink, waypoint(pid::RouteWaypoint, point(4, 5, 6, "B")),
                   kCompleteRoute}),
              QLatin1String("2 RoutePoints downloaded."));
    EXPECT_EQ(fake.sentHex(), QStringList({"100A020400F01003", kAckRecords, kAckRouteHeader, kAckRoutePoint, kAckRouteLink,
                                           kAckRoutePoint, kAckComplete}));
    EXPECT_EQ(pointTexts(store.routePoints), QStringList({"RP 1.0000000 2.0000000 3 A| 06/12/2026 17:44:27",
                                                          "RP 4.0000000 5.0000000 6 B| 06/12/2026 17:44:27"}));
    EXPECT_TRUE(store.pointsModified);
}

TEST_F(Transfers, DownloadTrackLog)
{
    // Two tracks of 3 and 2 points, then an unnamed track of one point: n = 9. Whatever is
    // not a track point by its id is a header, its name taken unchanged.
    EXPECT_EQ(run(CommMode::DownloadTrackPoints,
                  {kAckCommand, records(9), trackHeader(QStringLiteral("T1")), trackPoint(0, true, 12.9f), trackPoint(1, false),
                   trackPoint(86400, false), wire(0x99, encodeTrackHeader(QStringLiteral(" T2 "))), trackPoint(1, true),
                   trackPoint(2, false), trackHeader(QString()), trackPoint(3, true), "100C020600EC1003"}),
              QLatin1String("6 TrackPoints and 3 tracks downloaded."));
    const QStringList sent = fake.sentHex();
    EXPECT_EQ(sent.size(), 12);
    EXPECT_EQ(sent.mid(0, 3), QStringList({"100A020600EE1003", kAckRecords, kAckTrackPoint}));
    EXPECT_EQ(sent.mid(10), QStringList({kAckTrackPoint, kAckComplete}));
    // The last point continues the track before it.
    EXPECT_EQ(pointTexts(store.trackPoints), QStringList({"TP 1.0000000 2.0000000 12 |T1 31/12/1989 00:00:00",
                                                          "TP 1.0000000 2.0000000 0 | 31/12/1989 00:00:01",
                                                          "TP 1.0000000 2.0000000 0 | 01/01/1990 00:00:00",
                                                          "TP 1.0000000 2.0000000 0 | T2  31/12/1989 00:00:01",
                                                          "TP 1.0000000 2.0000000 0 | 31/12/1989 00:00:02",
                                                          "TP 1.0000000 2.0000000 0 | 31/12/1989 00:00:03"}));
    EXPECT_TRUE(store.pointsModified);
}

TEST_F(Transfers, PointsComeFromIntactPacketsOnly)
{
    // The first point with one bit of its altitude flipped on the way (120 m would read 480 m):
    // refused, and taken from the resend. The second point is damaged every time.
    const GpsPoint casa = point(45.5, 9.25, 120, QStringLiteral("CASA"));
    QByteArray data = encodeWaypoint(casa);
    const uint8_t check = checksum(pid::WaypointData, data);
    data[35] = char(data[35] ^ 0x01);
    const QString flipped = QString::fromLatin1(framePacket({pid::WaypointData, data}, check).toHex().toUpper());
    const QString second = waypoint(pid::WaypointData, point(1, 2, 3)).chopped(2) + QLatin1String("04"); // DLE 04 ends it
    const QStringList receiver = {kAckCommand, records(2), flipped, waypoint(pid::WaypointData, casa), second, second, second, second};
    EXPECT_TRUE(errorOf([&] { run(CommMode::DownloadWayPoints, receiver); }).startsWith(QLatin1String("20004 - ")));
    ASSERT_EQ(store.wayPoints.count(), 1);
    EXPECT_EQ(store.wayPoints[1].altitude, 120.0f);
    EXPECT_FALSE(store.pointsModified);
    EXPECT_EQ(fake.sentHex().count(QStringLiteral("1015022300C61003")), 4); // a NAK for each damaged packet but the last
}

TEST_F(Transfers, Uploads)
{
    store.wayPoints.append(point(45.5, 9.25, 120, QStringLiteral("CASA")));
    store.wayPoints.append(point(-10, 180, 0, QStringLiteral("EST"), QStringLiteral("Città")));
    // The records' bytes are checked field by field in Records.
    const QString casa = waypoint(pid::WaypointData, store.wayPoints[1]);
    const QString est = waypoint(pid::WaypointData, store.wayPoints[2]);
    EXPECT_EQ(run(CommMode::UploadWayPoints, {kAckRecords, kAckWaypoint, kAckWaypoint, kAckComplete}),
              QLatin1String("2 WayPoints uploaded."));
    EXPECT_EQ(fake.sentHex(), QStringList({"101B020200E11003", casa, est, kCompleteWaypoints}));
    EXPECT_TRUE(warnings.isEmpty());
    EXPECT_FALSE(store.pointsModified);

    // Routes of no point (Records 0 and the header, no Transfer complete, message 660), of one
    // (no link) and of two.
    const GpsPoint route[] = {point(1, 2, 3, "A"), point(4, 5, 6, "B")};
    const QString a = waypoint(pid::RouteWaypoint, route[0]), b = waypoint(pid::RouteWaypoint, route[1]);
    const struct {
        QStringList receiver, sent, warnings;
    } routes[] = {
        {{kAckRecords, kAckRouteHeader}, {"101B020000E31003", kRouteHeader}, {"Transmission aborted"}},
        {{kAckRecords, kAckRouteHeader, kAckRoutePoint, kAckComplete}, {"101B020200E11003", kRouteHeader, a, kCompleteRoute}, {}},
        {{kAckRecords, kAckRouteHeader, kAckRoutePoint, kAckRouteLink, kAckRoutePoint, kAckComplete},
         {"101B020400DF1003", kRouteHeader, a, kRouteLink, b, kCompleteRoute}, {}},
    };
    for (int n = 0; n < 3; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(run(CommMode::UploadRoutePoints, routes[n].receiver), QStringLiteral("%1 RoutePoints uploaded.").arg(n));
        EXPECT_EQ(fake.sentHex(), routes[n].sent);
        EXPECT_EQ(warnings, routes[n].warnings);
        if (n < 2)
            store.routePoints.append(route[n]);
    }
}

TEST_F(Transfers, AnUploadTheReceiverRefusesIsNotDone)
{
    // The point is NAKed once and sent again; Transfer complete is NAKed every time.
    store.wayPoints.append(point(45.5, 9.25, 120, QStringLiteral("CASA")));
    const char *nakComplete = "1015020C00DD1003";
    const QStringList receiver = {kAckRecords, "1015022300C61003", kAckWaypoint, nakComplete, nakComplete, nakComplete, nakComplete};
    EXPECT_TRUE(errorOf([&] { run(CommMode::UploadWayPoints, receiver); }).startsWith(QLatin1String("20005 - ")));
    const QString casa = waypoint(pid::WaypointData, store.wayPoints[1]);
    EXPECT_EQ(fake.sentHex(), QStringList({"101B020100E21003", casa, casa, kCompleteWaypoints, kCompleteWaypoints,
                                           kCompleteWaypoints, kCompleteWaypoints}));
    EXPECT_FALSE(log.contains(QLatin1String("uploaded")));
}

TEST_F(Transfers, UploadOverflowNamesThePointAndStopsBeforeTheFirstPacket)
{
    for (int k = 0; k < 16384; ++k)
        store.routePoints.append(point(1, 1, 1));
    EXPECT_EQ(errorOf([&] { uploadRoutePoints(link, store); }),
              QLatin1String("6 - Overflow: 16384 RoutePoints, at most 16383 can be sent"));
    store.wayPoints.append(point(1, 1, 1));
    store.wayPoints.append(point(1, 181, 1, QStringLiteral("EST"))); // no semicircle value holds it
    EXPECT_EQ(errorOf([&] { uploadWayPoints(link, store); }),
              QLatin1String("6 - Overflow: WayPoint 2 \"EST\": longitude 181 out of range"));
    EXPECT_TRUE(fake.sentHex().isEmpty());
}
