// The records of the device protocol, byte for byte.
#include "base/DateValue.h"
#include "base/Error.h"
#include "gps/Records.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace gipso;
using gipso::test::at;
using gipso::test::makePoint;

namespace {

QString hex(const QByteArray &bytes) { return QString::fromLatin1(bytes.toHex().toUpper()); }
QByteArray bytes(const char *hexText) { return QByteArray::fromHex(hexText); }
QByteArray wayRecord(const QString &name, double lat, double lon, float alt = 0, const QString &comment = {})
{
    return encodeWaypoint(makePoint(PointKind::Way, name, lat, lon, alt, {}, comment));
}
// What a decoder made of a record, on one line.
QString fields(const WaypointRecord &r)
{
    return QString::asprintf("%.7f %.7f %g [", r.latitude, r.longitude, r.altitude) + r.name + QLatin1String("] [") + r.comment + u']';
}
QString fields(const TrackPointRecord &r)
{
    const QString when =
        r.date == 0 && r.time == 0 ? QStringLiteral("no time") : formatDateValue(r.date) + u' ' + formatTimeValue(r.time);
    return QString::asprintf("%.7f %.7f %g ", r.latitude, r.longitude, r.altitude) + when + (r.newTrack ? " new" : "");
}

const char *kWaypointHead = "00FF0060" "1200" "000000000000FFFFFFFFFFFFFFFFFFFFFFFF";

} // namespace

TEST(Records, WaypointIsEncodedFieldByField)
{
    EXPECT_EQ(hex(wayRecord(QStringLiteral("CASA"), 45.5, 9.25, 120)),
              QLatin1String(kWaypointHead) + QLatin1String("B0055B20" "3FE99306" "0000F042" "00000000" "00000000"
                                                           "20202020" "4341534100" "00" "00000000"));
    // +180 goes as -2^31; the description is the comment, in Latin-1 with '?' for the rest.
    const QString east = hex(wayRecord(QStringLiteral("EST"), -10, 180, 0, QStringLiteral("Città€")));
    EXPECT_EQ(east.mid(48, 16), QLatin1String("398EE3F800000080"));
    EXPECT_TRUE(east.endsWith(QLatin1String("4553540043697474E03F0000000000")));
    // Positions round to the nearest semicircle, ties to even.
    EXPECT_EQ(hex(wayRecord({}, 2.5 * 180 / 2147483648.0, 1.5 * 180 / 2147483648.0)).mid(48, 16), QLatin1String("0200000002000000"));
    EXPECT_THROW(wayRecord({}, 0, 181), GipsoError);

    // Texts too long for one packet are cut: the description first, then the name.
    const QByteArray longName = wayRecord(QString(250, u'N'), 0, 0, 0, QStringLiteral("x"));
    EXPECT_EQ(longName.size(), 255);
    EXPECT_EQ(fields(decodeWaypoint(longName)), QStringLiteral("0.0000000 0.0000000 0 [%1] []").arg(QString(201, u'N')));
    const QByteArray longComment = wayRecord(QStringLiteral("AB"), 0, 0, 0, QString(300, u'd'));
    EXPECT_EQ(longComment.size(), 255);
    EXPECT_EQ(decodeWaypoint(longComment).comment, QString(199, u'd'));
}

TEST(Records, WaypointIsDecodedAsSent)
{
    // 90 N 180 W, the receiver's "unknown" altitude, a name with spaces and a comment.
    EXPECT_EQ(fields(decodeWaypoint(bytes(kWaypointHead) + bytes("00000040" "00000080" "51590469" "0000000000000000"
                                                               "20202020" "2043415341200068" "6F6D6500" "00000000"))),
              QLatin1String("90.0000000 -180.0000000 0 [ CASA ] [home]"));
    // An altitude that is not a number is 0; texts end with the data when unterminated;
    // missing bytes read as zero.
    EXPECT_EQ(fields(decodeWaypoint(bytes(kWaypointHead) + bytes("B0055B20" "3FE99306" "0000C07F" "0000000000000000" "20202020" "C341"))),
              QStringLiteral("45.5000000 9.2500000 0 [ÃA] []"));
    EXPECT_EQ(fields(decodeWaypoint(bytes("00FF"))), QLatin1String("0.0000000 0.0000000 0 [] []"));
}

TEST(Records, TrackPointTimesAreUnsignedSecondsSince1989)
{
    const char *pole = "00000040" "00000080" "7F510100" "66664E41" "51590469" "01";
    EXPECT_EQ(hex(encodeTrackPoint(makePoint(PointKind::Track, {}, 90, 180, 12.9f, at(1989, 12, 31, 23, 59, 59)), true)),
              QLatin1String(pole));
    EXPECT_EQ(hex(encodeTrackPoint(makePoint(PointKind::Track, {}, 0, 0, 0, at(1989, 12, 30, 12)), false)).mid(16, 8),
              QLatin1String("00000000")); // before the receiver's epoch

    EXPECT_EQ(fields(decodeTrackPoint(bytes(pole))), QLatin1String("90.0000000 -180.0000000 12.9 31/12/1989 23:59:59 new"));
    EXPECT_EQ(fields(decodeTrackPoint(bytes("0000000000000000" "00000080" "51590469" "51590469" "00"))),
              QLatin1String("0.0000000 0.0000000 0 18/01/2058 03:14:08"));
    EXPECT_EQ(fields(decodeTrackPoint(bytes("0000000000000000" "FFFFFFFF"))), QLatin1String("0.0000000 0.0000000 0 no time"));
}

TEST(Records, CountsAndHeaders)
{
    // The packets Gipso builds from these are checked byte for byte in Transfers.
    EXPECT_EQ(decodeRecords(bytes("FFFF")), 65535); // read without sign
    EXPECT_THROW(encodeRecords(32768), GipsoError);
    EXPECT_EQ(decodeCommand(bytes("0700")), 7);
    EXPECT_EQ(decodeCommand(bytes("07")), -1);
    EXPECT_TRUE(isAckOf({pid::Ack, bytes("0C00")}, pid::TransferComplete));
    EXPECT_FALSE(isAckOf({pid::Ack, bytes("0C00"), false}, pid::TransferComplete)); // its checksum was wrong
    EXPECT_FALSE(isAckOf({pid::Nak, bytes("0C00")}, pid::TransferComplete));
    EXPECT_EQ(hex(encodeTrackHeader(QStringLiteral("T1"))), QLatin1String("01FF543100"));
    EXPECT_EQ(decodeTrackHeader(bytes("01FF54310032")), QLatin1String("T1"));
    EXPECT_EQ(decodeTrackHeader(bytes("01FF5431")), QLatin1String("T1"));
}
