// The five transfers packet for packet, against a scripted receiver on the in-memory link.
#include "LinkFixture.h"

#include "base/Clock.h"
#include "base/DateValue.h"
#include "base/Error.h"
#include "base/Messages.h"
#include "support/FakeLink.h"
#include "gps/Packet.h"
#include "gps/Transfers.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace gipso;
using gipso::test::stamp;

namespace {

QString ackOf(int id) { return buildPacket(pid::Ack, scriviint1(id) + QStringLiteral("00")); }
QString records(int n) { return buildPacket(pid::Records, scriviint2(n)); }
QString complete(int command) { return buildPacket(pid::TransferComplete, scriviint2(command)); }

// Record fields only: the kind and the time stay empty.
GpsPoint point(double lat, double lon, float alt, const QString &name = {}, const QString &description = {})
{
    return test::makePoint({}, name, lat, lon, alt, {}, description);
}

QString trackRecord(int32_t lat, int32_t lon, uint32_t time, float alt, bool newTrack)
{
    return buildPacket(pid::TrackData, scriviint4(lat) + scriviint4(lon) + scriviint4(int32_t(time)) + scrivifloat(alt)
                                           + scrivifloat(0) + scriviint1(newTrack));
}
QString trackHeader(const QString &name) { return buildPacket(pid::TrackHeader, QStringLiteral("01FF") + scrivistr(name, 0)); }

struct Transfers : test::LinkFixture {
    void SetUp() override
    {
        LinkFixture::SetUp();
        setClock([] { return QDateTime(QDate(2026, 12, 6), QTime(17, 44, 27)); });
    }
    void TearDown() override { setClock({}); }
    void feed(const QStringList &packets)
    {
        for (const QString &p : packets)
            fake.feed(hex2string(p));
    }
    QStringList sent() const
    {
        QStringList out;
        for (const QByteArray &w : fake.writes())
            out << string2hex(w);
        return out;
    }
    PointStore store;
};

const QString L(const char *s) { return QString::fromLatin1(s); }

} // namespace

TEST(Conversions, SemicirclesTimesAndAltitudes)
{
    EXPECT_EQ(degreesToSemicircles(45.5), 542836144);
    EXPECT_EQ(degreesToSemicircles(9.25), 110356799);
    EXPECT_EQ(degreesToSemicircles(90), 1073741824);
    EXPECT_EQ(degreesToSemicircles(-90), -1073741824);
    EXPECT_EQ(degreesToSemicircles(-180), INT32_MIN);
    EXPECT_EQ(degreesToSemicircles(180), INT32_MIN); // the same meridian, not an overflow
    EXPECT_EQ(degreesToSemicircles(2.5 * 180 / 2147483648.0), 2); // ties to even
    EXPECT_EQ(degreesToSemicircles(1.5 * 180 / 2147483648.0), 2);
    EXPECT_THROW(degreesToSemicircles(181), GipsoError);
    EXPECT_EQ(semicirclesToDegrees(1073741824), 90.0);
    EXPECT_EQ(semicirclesToDegrees(INT32_MIN), -180.0);

    // Times 0 and 86400 (the first two midnights) are checked through the track log download.
    double d, t;
    garminTimeToDateValues(86399, d, t);
    EXPECT_EQ(formatDateValue(d) + QLatin1Char(' ') + formatTimeValue(t), QLatin1String("31/12/1989 23:59:59"));
    EXPECT_EQ(dateValuesToGarminTime(d, t), 86399u);
    garminTimeToDateValues(0x80000000u, d, t); // past 2^31: read without sign
    EXPECT_EQ(formatDateValue(d), QLatin1String("18/01/2058"));
    EXPECT_EQ(dateValuesToGarminTime(d, t), 0x80000000u);
    garminTimeToDateValues(0xFFFFFFFFu, d, t); // "no time"
    EXPECT_EQ(d, 0.0);
    EXPECT_EQ(t, 0.0);
}

TEST(Conversions, WaypointRecord)
{
    const QString data = waypointRecordData(point(45.5, 9.25, 120, QStringLiteral("CASA")));
    EXPECT_EQ(data, L("00FF0060" "1200" "000000000000FFFFFFFFFFFFFFFFFFFFFFFF" "B0055B20" "3FE99306" "0000F042"
                      "00000000" "00000000" "20202020" "4341534100" "00" "00000000"));
    EXPECT_EQ(data.size() / 2, 58);
    // Texts too long for one packet are cut: the description first, then the name.
    const QString longName(250, QLatin1Char('N'));
    EXPECT_EQ(waypointRecordData(point(0, 0, 0, longName, QStringLiteral("x"))).size() / 2, 255);
    const QString d2 = waypointRecordData(point(0, 0, 0, QStringLiteral("AB"), QString(300, QLatin1Char('d'))));
    EXPECT_EQ(d2.size() / 2, 255);
    const QString hex = QStringLiteral("102300") + d2;
    EXPECT_EQ(leggistr(hex, 52), QLatin1String("AB"));
    EXPECT_EQ(leggistr(hex, 55).size(), 199);
    EXPECT_NO_THROW(buildPacket(pid::WaypointData, d2));
}

TEST_F(Transfers, DownloadWayPoints)
{
    GpsPoint a = point(45.5, 9.25, 12.9f, QStringLiteral("  CASA "));
    GpsPoint b = point(90, -180, -0.7f, QStringLiteral("POLO"));
    feed({ackOf(pid::CommandData), records(2), buildPacket(pid::WaypointData, waypointRecordData(a)),
          buildPacket(pid::WaypointData, waypointRecordData(b)), complete(cmd::TransferWaypoints)});
    const TransferResult r = downloadWayPoints(link, store);
    EXPECT_EQ(sent(), QStringList({L(pkt::CmdTransferWaypoints), L(pkt::AckRecords), L(pkt::AckWaypointData),
                                   L(pkt::AckWaypointData), L(pkt::AckTransferComplete)}));
    EXPECT_EQ(r.text, QLatin1String("2 WayPoints downloaded."));
    EXPECT_TRUE(r.completeAcked);
    EXPECT_TRUE(warnings.isEmpty());
    EXPECT_TRUE(store.pointsModified);
    ASSERT_EQ(store.wayPoints.count(), 2);
    const GpsPoint &p = store.wayPoints[1];
    EXPECT_EQ(p.kind, PointKind::Way);
    EXPECT_EQ(p.name, QLatin1String("CASA"));
    EXPECT_EQ(p.description, QString());
    EXPECT_NEAR(p.latitude, 45.5, 1e-7);
    EXPECT_NEAR(p.longitude, 9.25, 1e-7);
    EXPECT_EQ(p.altitude, 12.0f);
    EXPECT_EQ(stamp(p), QLatin1String("06/12/2026 17:44:27"));
    EXPECT_EQ(store.wayPoints[2].latitude, 90.0);
    EXPECT_EQ(store.wayPoints[2].longitude, -180.0);
    EXPECT_EQ(store.wayPoints[2].altitude, 0.0f);
    EXPECT_FALSE(std::signbit(store.wayPoints[2].altitude));
    EXPECT_TRUE(log.endsWith(QLatin1String("<-- 100C020700EB1003\r\n--> 1006020C00EC1003\r\n2 WayPoints downloaded.\r\n")));

    // Downloading again appends a second copy.
    fake.clearWritten();
    feed({ackOf(pid::CommandData), records(2), buildPacket(pid::WaypointData, waypointRecordData(a)),
          buildPacket(pid::WaypointData, waypointRecordData(b)), complete(cmd::TransferWaypoints)});
    downloadWayPoints(link, store);
    EXPECT_EQ(store.wayPoints.count(), 4);
}

TEST_F(Transfers, DownloadWithNoRecordsAndMissingComplete)
{
    feed({ackOf(pid::CommandData), records(0), complete(cmd::TransferWaypoints)});
    TransferResult r = downloadWayPoints(link, store);
    EXPECT_EQ(sent(), QStringList({L(pkt::CmdTransferWaypoints), L(pkt::AckWaypointData), L(pkt::AckTransferComplete)}));
    EXPECT_EQ(r.text, QLatin1String("0 WayPoints downloaded."));
    EXPECT_FALSE(store.pointsModified);
    EXPECT_EQ(store.wayPoints.count(), 0);

    // Something else where Transfer complete belongs: message 660, the result all the same.
    feed({ackOf(pid::CommandData), records(1), buildPacket(pid::WaypointData, waypointRecordData(point(1, 2, 3))),
          ackOf(pid::WaypointData)});
    r = runTransfer(TransferMode::DownloadWayPoints, link, store);
    EXPECT_EQ(warnings, QStringList({QStringLiteral("Transmission aborted")}));
    EXPECT_FALSE(r.completeAcked);
    EXPECT_EQ(r.text, QLatin1String("1 WayPoints downloaded."));
    EXPECT_TRUE(store.pointsModified);
}

TEST_F(Transfers, DownloadRoute)
{
    feed({ackOf(pid::CommandData), records(4), buildPacket(pid::RouteHeader, scrivistr(QStringLiteral("R1"), 0)),
          buildPacket(pid::RouteWaypoint, waypointRecordData(point(1, 2, 3, QStringLiteral("A")))), L(pkt::RouteLink),
          buildPacket(pid::RouteWaypoint, waypointRecordData(point(4, 5, 6, QStringLiteral("B")))), complete(cmd::TransferRoute)});
    const TransferResult r = runTransfer(TransferMode::DownloadRoutePoints, link, store);
    EXPECT_EQ(sent(), QStringList({L(pkt::CmdTransferRoute), L(pkt::AckRecords), L(pkt::AckRouteHeader),
                                   L(pkt::AckRouteWaypoint), L(pkt::AckRouteLink), L(pkt::AckRouteWaypoint),
                                   L(pkt::AckTransferComplete)}));
    EXPECT_EQ(r.text, QLatin1String("2 RoutePoints downloaded."));
    ASSERT_EQ(store.routePoints.count(), 2);
    EXPECT_EQ(store.routePoints[1].name, QLatin1String("A"));
    EXPECT_EQ(store.routePoints[2].kind, PointKind::Route);
    EXPECT_EQ(store.routePoints[2].altitude, 6.0f);
    EXPECT_TRUE(store.pointsModified);
}

TEST_F(Transfers, DownloadTrackLog)
{
    // Two tracks of 3 and 2 points, then an unnamed track of one point: n = 9.
    feed({ackOf(pid::CommandData), records(9), trackHeader(QStringLiteral("T1")), trackRecord(1073741824, INT32_MIN, 0, 12.9f, true),
          trackRecord(0, 0, 86399, -0.7f, false), trackRecord(0, 0, 86400, 0, false), trackHeader(QStringLiteral(" T2 ")),
          trackRecord(0, 0, 1, 0, true), trackRecord(0, 0, 2, 0, false), trackHeader(QString()), trackRecord(0, 0, 3, 0, true),
          complete(cmd::TransferTrackLog)});
    const TransferResult r = downloadTrackPoints(link, store);
    EXPECT_EQ(sent().size(), 12);
    EXPECT_EQ(sent()[1], L(pkt::AckRecords));
    EXPECT_EQ(sent()[2], L(pkt::AckTrackData));
    EXPECT_EQ(sent()[10], L(pkt::AckTrackData));
    EXPECT_EQ(r.text, QLatin1String("6 TrackPoints and 3 tracks downloaded."));
    const PointList &t = store.trackPoints;
    ASSERT_EQ(t.count(), 6);
    EXPECT_EQ(t[1].description, QLatin1String("T1"));
    EXPECT_EQ(t[1].latitude, 90.0);
    EXPECT_EQ(t[1].longitude, -180.0);
    EXPECT_EQ(t[1].altitude, 12.0f);
    EXPECT_EQ(t[2].altitude, 0.0f);
    EXPECT_EQ(stamp(t[1]), QLatin1String("31/12/1989 00:00:00"));
    EXPECT_EQ(stamp(t[3]), QLatin1String("01/01/1990 00:00:00"));
    EXPECT_EQ(t[2].description, QString());
    EXPECT_EQ(t[4].description, QLatin1String(" T2 ")); // taken unchanged
    EXPECT_EQ(t[6].description, QString());            // continues the track before it
    EXPECT_EQ(trackCount(t), 2);
    EXPECT_TRUE(store.pointsModified);
}

TEST_F(Transfers, TimeOutKeepsWholePointsOnly)
{
    const QString second = trackRecord(5, 5, 5, 5, false);
    feed({ackOf(pid::CommandData), records(3), trackHeader(QStringLiteral("T")), trackRecord(1, 1, 1, 1, true),
          second.left(20)}); // the line falls silent inside the third record
    try {
        downloadTrackPoints(link, store);
        FAIL() << "no time-out";
    } catch (const GipsoError &e) {
        EXPECT_EQ(e.number(), 20001);
    }
    ASSERT_EQ(store.trackPoints.count(), 1);
    EXPECT_EQ(store.trackPoints[1].description, QLatin1String("T"));
    EXPECT_FALSE(store.pointsModified);
}

TEST_F(Transfers, UploadWayPoints)
{
    store.wayPoints.append(point(45.5, 9.25, 120, QStringLiteral("CASA")));
    store.wayPoints.append(point(-10, 180, 0, QStringLiteral("EST"), QStringLiteral("Città")));
    feed({ackOf(pid::Records), ackOf(pid::WaypointData), ackOf(pid::WaypointData), ackOf(pid::TransferComplete)});
    const TransferResult r = uploadWayPoints(link, store);
    const QStringList s = sent();
    ASSERT_EQ(s.size(), 4);
    EXPECT_EQ(s[0], QLatin1String("101B020200E11003"));
    // The record's bytes are checked field by field in Conversions.WaypointRecord.
    EXPECT_EQ(s[1], buildPacket(pid::WaypointData, waypointRecordData(store.wayPoints[1])));
    EXPECT_TRUE(s[2].contains(QLatin1String("00000080"))); // +180 as -2^31
    EXPECT_TRUE(s[2].contains(QLatin1String("45535400" "43697474E000"))); // EST, Città in Latin-1
    EXPECT_EQ(s[3], L(pkt::CompleteWaypoints));
    EXPECT_EQ(r.text, QLatin1String("2 WayPoints uploaded."));
    EXPECT_TRUE(warnings.isEmpty());
    EXPECT_FALSE(store.pointsModified);
}

TEST_F(Transfers, UploadEdgeCases)
{
    // No WayPoints: Records 0 and Transfer complete.
    feed({ackOf(pid::Records), ackOf(pid::TransferComplete)});
    TransferResult r = uploadWayPoints(link, store);
    EXPECT_EQ(sent(), QStringList({QStringLiteral("101B020000E31003"), L(pkt::CompleteWaypoints)}));
    EXPECT_EQ(r.text, QLatin1String("0 WayPoints uploaded."));
    EXPECT_TRUE(warnings.isEmpty());

    // No RoutePoints: Records 0 and the header, no Transfer complete, message 660.
    fake.clearWritten();
    feed({ackOf(pid::Records), ackOf(pid::RouteHeader)});
    r = uploadRoutePoints(link, store);
    EXPECT_EQ(sent(), QStringList({QStringLiteral("101B020000E31003"), L(pkt::RouteHeaderROUTE)}));
    EXPECT_EQ(warnings, QStringList({QStringLiteral("Transmission aborted")}));
    EXPECT_EQ(r.text, QLatin1String("0 RoutePoints uploaded."));

    // One point: Records 2, header, the point, Transfer complete; no link.
    warnings.clear();
    fake.clearWritten();
    store.routePoints.append(point(1, 2, 3, QStringLiteral("A")));
    feed({ackOf(pid::Records), ackOf(pid::RouteHeader), ackOf(pid::RouteWaypoint), ackOf(pid::TransferComplete)});
    r = runTransfer(TransferMode::UploadRoutePoints, link, store);
    QStringList s = sent();
    ASSERT_EQ(s.size(), 4);
    EXPECT_EQ(s[0], QStringLiteral("101B020200E11003"));
    EXPECT_EQ(s[1], L(pkt::RouteHeaderROUTE));
    EXPECT_EQ(s[2], buildPacket(pid::RouteWaypoint, waypointRecordData(store.routePoints[1])));
    EXPECT_EQ(s[3], L(pkt::CompleteRoute));
    EXPECT_TRUE(warnings.isEmpty());
    EXPECT_EQ(r.text, QLatin1String("1 RoutePoints uploaded."));

    // Two points: a link between them.
    fake.clearWritten();
    store.routePoints.append(point(4, 5, 6, QStringLiteral("B")));
    feed({ackOf(pid::Records), ackOf(pid::RouteHeader), ackOf(pid::RouteWaypoint), ackOf(pid::RouteLink),
          ackOf(pid::RouteWaypoint), ackOf(pid::TransferComplete)});
    r = uploadRoutePoints(link, store);
    s = sent();
    ASSERT_EQ(s.size(), 6);
    EXPECT_EQ(s[0], QStringLiteral("101B020400DF1003"));
    EXPECT_EQ(s[3], L(pkt::RouteLink));
    EXPECT_EQ(s[5], L(pkt::CompleteRoute));
    EXPECT_TRUE(r.completeAcked);
}

TEST_F(Transfers, UploadOverflowStopsBeforeTheFirstPacket)
{
    for (int k = 0; k < 16384; ++k)
        store.routePoints.append(point(1, 1, 1));
    EXPECT_THROW(uploadRoutePoints(link, store), GipsoError);
    store.wayPoints.append(point(1, 1, 1));
    store.wayPoints.append(point(1, 181, 1)); // no semicircle value holds it
    EXPECT_THROW(uploadWayPoints(link, store), GipsoError);
    EXPECT_TRUE(fake.writes().isEmpty());
}
