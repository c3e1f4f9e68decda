// The five transfers packet for packet, against a scripted receiver on the in-memory link.
#include "LinkFixture.h"

#include "base/Clock.h"
#include "base/Error.h"
#include "gps/Records.h"
#include "gps/Transfers.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace gipso;
using gipso::test::makePoint;
using gipso::test::stamp;

namespace {

// What Gipso and the receiver say, as wire hex.
const char *kAckCommand = "1006020A00EE1003";
const char *kAckRecords = "1006021B00DD1003";
const char *kAckWaypoint = "1006022300D51003";
const char *kAckRouteHeader = "1006021D00DB1003";
const char *kAckRoutePoint = "1006021E00DA1003";
const char *kAckRouteLink = "1006026200961003";
const char *kAckTrackPoint = "1006022200D61003";
const char *kAckComplete = "1006020C00EC1003";
const char *kCompleteWaypoints = "100C020700EB1003";
const char *kCompleteRoute = "100C020400EE1003";
const char *kRouteHeader = "101D06524F555445004E1003";
const char *kRouteLink = "1062150300000000000000FFFFFFFFFFFFFFFFFFFFFFFF00921003";

QString wire(uint8_t id, const QByteArray &data) { return QString::fromLatin1(framePacket({id, data}).toHex().toUpper()); }
QString records(int n) { return wire(pid::Records, encodeRecords(n)); }
QString waypoint(uint8_t id, const GpsPoint &p) { return wire(id, encodeWaypoint(p)); }
GpsPoint point(double lat, double lon, float alt, const QString &name = {}, const QString &description = {})
{
    return makePoint({}, name, lat, lon, alt, {}, description);
}
QString trackPoint(uint32_t time, bool newTrack, float alt = 0)
{
    QByteArray d = encodeTrackPoint(point(1, 2, alt), newTrack);
    for (int k = 0; k < 4; ++k)
        d[8 + k] = char(time >> (8 * k));
    return wire(pid::TrackData, d);
}
QString trackHeader(const QString &name) { return wire(pid::TrackHeader, encodeTrackHeader(name)); }

struct Transfers : test::LinkFixture {
    void SetUp() override
    {
        LinkFixture::SetUp();
        setClock([] { return QDateTime(QDate(2026, 12, 6), QTime(17, 44, 27)); });
    }
    void TearDown() override { setClock({}); }
    PointStore store;
};

} // namespace

TEST_F(Transfers, DownloadWayPoints)
{
    const GpsPoint casa = point(45.5, 9.25, 12.9f, QStringLiteral(" CASA "), QStringLiteral("home"));
    fake.feedHex({kAckCommand, records(2), waypoint(pid::WaypointData, casa),
                  waypoint(pid::WaypointData, point(90, -180, -0.7f, QStringLiteral("POLO"))), kCompleteWaypoints});
    EXPECT_EQ(downloadWayPoints(link, store), QLatin1String("2 WayPoints downloaded."));
    EXPECT_EQ(fake.sentHex(), QStringList({"100A020700ED1003", kAckRecords, kAckWaypoint, kAckWaypoint, kAckComplete}));
    EXPECT_TRUE(warnings.isEmpty());
    EXPECT_TRUE(store.pointsModified);
    ASSERT_EQ(store.wayPoints.count(), 2);
    const GpsPoint &p = store.wayPoints[1];
    // The name without its spaces, whole metres, no comment, stamped now.
    EXPECT_EQ(p.kind, PointKind::Way);
    EXPECT_EQ(p.name, QLatin1String("CASA"));
    EXPECT_EQ(p.description, QString());
    EXPECT_NEAR(p.latitude, 45.5, 1e-7);
    EXPECT_EQ(p.altitude, 12.0f);
    EXPECT_EQ(stamp(p), QLatin1String("06/12/2026 17:44:27"));
    EXPECT_EQ(store.wayPoints[2].altitude, 0.0f);
    EXPECT_FALSE(std::signbit(store.wayPoints[2].altitude));
    EXPECT_TRUE(log.endsWith(QLatin1String("<-- 100C020700EB1003\r\n--> 1006020C00EC1003\r\n2 WayPoints downloaded.\r\n")));
}

TEST_F(Transfers, DownloadWithNoRecordsAndMissingComplete)
{
    fake.feedHex({kAckCommand, records(0), kCompleteWaypoints});
    EXPECT_EQ(downloadWayPoints(link, store), QLatin1String("0 WayPoints downloaded."));
    EXPECT_EQ(fake.sentHex(), QStringList({"100A020700ED1003", kAckWaypoint, kAckComplete}));
    EXPECT_FALSE(store.pointsModified);

    // Something else where Transfer complete belongs: message 660, the result all the same.
    fake.feedHex({kAckCommand, records(1), waypoint(pid::WaypointData, point(1, 2, 3)), kAckWaypoint});
    EXPECT_EQ(runTransfer(CommMode::DownloadWayPoints, link, store), QLatin1String("1 WayPoints downloaded."));
    EXPECT_EQ(warnings, QStringList{QStringLiteral("Transmission aborted")});
    EXPECT_TRUE(store.pointsModified);
}

TEST_F(Transfers, DownloadRoute)
{
    fake.feedHex({kAckCommand, records(4), wire(pid::RouteHeader, encodeRouteHeader(QStringLiteral("R1"))),
                  waypoint(pid::RouteWaypoint, point(1, 2, 3, QStringLiteral("A"))), kRouteLink,
                  waypoint(pid::RouteWaypoint, point(4, 5, 6, QStringLiteral("B"))), kCompleteRoute});
    EXPECT_EQ(runTransfer(CommMode::DownloadRoutePoints, link, store), QLatin1String("2 RoutePoints downloaded."));
    EXPECT_EQ(fake.sentHex(), QStringList({"100A020400F01003", kAckRecords, kAckRouteHeader, kAckRoutePoint, kAckRouteLink,
                                           kAckRoutePoint, kAckComplete}));
    ASSERT_EQ(store.routePoints.count(), 2);
    EXPECT_EQ(store.routePoints[2].name, QLatin1String("B"));
    EXPECT_EQ(store.routePoints[2].kind, PointKind::Route);
    EXPECT_TRUE(store.pointsModified);
}

TEST_F(Transfers, DownloadTrackLog)
{
    // Two tracks of 3 and 2 points, then an unnamed track of one point: n = 9. Whatever is
    // not a track point by its id is a header.
    fake.feedHex({kAckCommand, records(9), trackHeader(QStringLiteral("T1")), trackPoint(0, true, 12.9f), trackPoint(1, false),
                  trackPoint(86400, false), wire(0x99, encodeTrackHeader(QStringLiteral(" T2 "))), trackPoint(1, true),
                  trackPoint(2, false), trackHeader(QString()), trackPoint(3, true), "100C020600EC1003"});
    EXPECT_EQ(downloadTrackPoints(link, store), QLatin1String("6 TrackPoints and 3 tracks downloaded."));
    const QStringList sent = fake.sentHex();
    EXPECT_EQ(sent.size(), 12);
    EXPECT_EQ(sent.mid(0, 3), QStringList({"100A020600EE1003", kAckRecords, kAckTrackPoint}));
    EXPECT_EQ(sent.mid(10), QStringList({kAckTrackPoint, kAckComplete}));
    const PointList &t = store.trackPoints;
    ASSERT_EQ(t.count(), 6);
    EXPECT_EQ(t[1].description, QLatin1String("T1"));
    EXPECT_EQ(t[1].kind, PointKind::Track);
    EXPECT_NEAR(t[1].latitude, 1.0, 1e-7);
    EXPECT_EQ(t[1].altitude, 12.0f);
    EXPECT_EQ(stamp(t[3]), QLatin1String("01/01/1990 00:00:00"));
    EXPECT_EQ(t[2].description, QString());
    EXPECT_EQ(t[4].description, QLatin1String(" T2 ")); // taken unchanged
    EXPECT_EQ(t[6].description, QString());            // continues the track before it
    EXPECT_EQ(trackCount(t), 2);
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
    fake.feedHex({kAckCommand, records(2), flipped, waypoint(pid::WaypointData, casa), second, second, second, second});
    EXPECT_TRUE(test::errorOf([&] { downloadWayPoints(link, store); }).startsWith(QLatin1String("20004 - ")));
    ASSERT_EQ(store.wayPoints.count(), 1);
    EXPECT_EQ(store.wayPoints[1].altitude, 120.0f);
    EXPECT_FALSE(store.pointsModified);
    EXPECT_EQ(fake.sentHex().count(QStringLiteral("1015022300C61003")), 4); // a NAK for each damaged packet but the last
}

TEST_F(Transfers, UploadWayPoints)
{
    store.wayPoints.append(point(45.5, 9.25, 120, QStringLiteral("CASA")));
    store.wayPoints.append(point(-10, 180, 0, QStringLiteral("EST"), QStringLiteral("Città")));
    fake.feedHex({kAckRecords, kAckWaypoint, kAckWaypoint, kAckComplete});
    EXPECT_EQ(uploadWayPoints(link, store), QLatin1String("2 WayPoints uploaded."));
    // The record's bytes are checked field by field in Records.
    EXPECT_EQ(fake.sentHex(), QStringList({"101B020200E11003", waypoint(pid::WaypointData, store.wayPoints[1]),
                                           waypoint(pid::WaypointData, store.wayPoints[2]), kCompleteWaypoints}));
    EXPECT_TRUE(warnings.isEmpty());
    EXPECT_FALSE(store.pointsModified);
}

TEST_F(Transfers, UploadRoutesOfNoneOneAndTwoPoints)
{
    // No RoutePoints: Records 0 and the header, no Transfer complete, message 660.
    fake.feedHex({kAckRecords, kAckRouteHeader});
    EXPECT_EQ(uploadRoutePoints(link, store), QLatin1String("0 RoutePoints uploaded."));
    EXPECT_EQ(fake.sentHex(), QStringList({"101B020000E31003", kRouteHeader}));
    EXPECT_EQ(warnings, QStringList{QStringLiteral("Transmission aborted")});

    // One point: Records 2, header, the point, Transfer complete; no link.
    warnings.clear();
    fake.clearWritten();
    store.routePoints.append(point(1, 2, 3, QStringLiteral("A")));
    fake.feedHex({kAckRecords, kAckRouteHeader, kAckRoutePoint, kAckComplete});
    EXPECT_EQ(runTransfer(CommMode::UploadRoutePoints, link, store), QLatin1String("1 RoutePoints uploaded."));
    const QString a = waypoint(pid::RouteWaypoint, store.routePoints[1]);
    EXPECT_EQ(fake.sentHex(), QStringList({"101B020200E11003", kRouteHeader, a, kCompleteRoute}));
    EXPECT_TRUE(warnings.isEmpty());

    // Two points: a link between them.
    fake.clearWritten();
    store.routePoints.append(point(4, 5, 6, QStringLiteral("B")));
    fake.feedHex({kAckRecords, kAckRouteHeader, kAckRoutePoint, kAckRouteLink, kAckRoutePoint, kAckComplete});
    uploadRoutePoints(link, store);
    EXPECT_EQ(fake.sentHex(), QStringList({"101B020400DF1003", kRouteHeader, a, kRouteLink,
                                           waypoint(pid::RouteWaypoint, store.routePoints[2]), kCompleteRoute}));
    EXPECT_TRUE(warnings.isEmpty());
}

TEST_F(Transfers, AnUploadTheReceiverRefusesIsNotDone)
{
    // The point is NAKed once and sent again; Transfer complete is NAKed every time.
    store.wayPoints.append(point(45.5, 9.25, 120, QStringLiteral("CASA")));
    const char *nakComplete = "1015020C00DD1003";
    fake.feedHex({kAckRecords, "1015022300C61003", kAckWaypoint, nakComplete, nakComplete, nakComplete, nakComplete});
    EXPECT_TRUE(test::errorOf([&] { uploadWayPoints(link, store); }).startsWith(QLatin1String("20005 - ")));
    const QString casa = waypoint(pid::WaypointData, store.wayPoints[1]);
    EXPECT_EQ(fake.sentHex(), QStringList({"101B020100E21003", casa, casa, kCompleteWaypoints, kCompleteWaypoints,
                                           kCompleteWaypoints, kCompleteWaypoints}));
    EXPECT_FALSE(log.contains(QLatin1String("uploaded")));
}

TEST_F(Transfers, UploadOverflowNamesThePointAndStopsBeforeTheFirstPacket)
{
    for (int k = 0; k < 16384; ++k)
        store.routePoints.append(point(1, 1, 1));
    EXPECT_EQ(test::errorOf([&] { uploadRoutePoints(link, store); }),
              QLatin1String("6 - Overflow: 16384 RoutePoints, at most 16383 can be sent"));
    store.wayPoints.append(point(1, 1, 1));
    store.wayPoints.append(point(1, 181, 1, QStringLiteral("EST"))); // no semicircle value holds it
    EXPECT_EQ(test::errorOf([&] { uploadWayPoints(link, store); }),
              QLatin1String("6 - Overflow: WayPoint 2 \"EST\": longitude 181 out of range"));
    EXPECT_TRUE(fake.sentHex().isEmpty());
}
