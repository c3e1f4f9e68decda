// Hex-text codecs, framing and the receive loops over the in-memory link.
#include "LinkFixture.h"

#include "base/Error.h"
#include "base/Messages.h"
#include "gps/Packet.h"

#include <gtest/gtest.h>

using namespace gipso;
using gipso::test::LinkFixture;

TEST(Packet, HexConversionKeepsEveryByte)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    const QString hex = string2hex(all);
    EXPECT_EQ(hex.size(), 512);
    EXPECT_TRUE(hex.startsWith(QLatin1String("000102030405060708090A0B")));
    EXPECT_TRUE(hex.endsWith(QLatin1String("FEFF")));
    EXPECT_EQ(hex2string(hex), all);
    EXPECT_EQ(hex2string(u"0a"), QByteArray("\n"));
}

TEST(Packet, ChecksumAndStuffing)
{
    EXPECT_EQ(creacheck(u"0A020700"), QLatin1String("ED"));
    EXPECT_EQ(creacheck(u"0A020400"), QLatin1String("F0"));
    EXPECT_EQ(creacheck(u"8080FF01"), QLatin1String("00")); // sum 512
    EXPECT_EQ(creacheck(u""), QLatin1String("00"));
    // Every fixed packet carries the checksum its bytes call for.
    for (const char *literal : {pkt::CmdTransferWaypoints, pkt::CmdTransferRoute, pkt::CmdTransferTrackLog, pkt::AckRecords,
                                pkt::AckRouteHeader, pkt::AckRouteWaypoint, pkt::AckRouteLink, pkt::AckTrackData,
                                pkt::AckWaypointData, pkt::AckTransferComplete, pkt::CompleteWaypoints, pkt::CompleteRoute,
                                pkt::RouteHeaderROUTE, pkt::RouteLink}) {
        const QString s = QString::fromLatin1(literal);
        const QString body = s.mid(2, s.size() - 8);
        EXPECT_EQ(completastr(body + creacheck(body)), s) << literal;
    }
    // Records announcing 16 packets: the count byte is doubled, "10" across two bytes is not.
    EXPECT_EQ(creacheck(u"1B021000"), QLatin1String("D3"));
    EXPECT_EQ(completastr(u"1B021000D3"), QLatin1String("101B02101000D31003"));
    EXPECT_EQ(completastr(u"0102"), QLatin1String("1001021003"));
    EXPECT_EQ(buildPacket(pid::Records, scriviint2(16)), QLatin1String("101B02101000D31003"));
    EXPECT_EQ(buildPacket(pid::Records, scriviint2(0)), QLatin1String("101B020000E31003"));
    EXPECT_THROW(buildPacket(pid::WaypointData, QString(2 * 256, QLatin1Char('0'))), GipsoError);
}

TEST(Packet, NumberCodecs)
{
    EXPECT_EQ(scriviint1(0), QLatin1String("00"));
    EXPECT_EQ(scriviint1(255), QLatin1String("FF"));
    EXPECT_EQ(scriviint2(-1), QLatin1String("FFFF"));
    EXPECT_EQ(scriviint2(0x1234), QLatin1String("3412"));
    EXPECT_EQ(scriviint4(-1), QLatin1String("FFFFFFFF"));
    EXPECT_EQ(scriviint4(542836144), QLatin1String("B0055B20"));
    EXPECT_EQ(scriviint4(INT32_MIN), QLatin1String("00000080"));
    EXPECT_EQ(scrivifloat(120.0f), QLatin1String("0000F042"));
    for (int bad : {-1, 256})
        EXPECT_THROW(scriviint1(bad), GipsoError);
    try {
        scriviint2(32768);
        FAIL() << "no overflow";
    } catch (const GipsoError &e) {
        EXPECT_EQ(e.number(), 6);
    }
    EXPECT_THROW(scriviint4(int64_t(INT32_MAX) + 1), GipsoError);

    const QString h = QStringLiteral("1006FFFF0100B0055B200000F0427F");
    EXPECT_EQ(leggiint1(h, 3), 255);
    EXPECT_EQ(leggiint1(h, 2), 6);
    EXPECT_EQ(leggiint2(h, 3), -1);
    EXPECT_EQ(leggiint2(h, 5), 1);
    EXPECT_EQ(leggiint4(h, 7), 542836144);
    EXPECT_EQ(leggifloat(h, 11), 120.0f);
    EXPECT_EQ(leggiint1(h, 40), 0); // past the end reads as nothing
}

TEST(Packet, TextCodecs)
{
    EXPECT_EQ(scrivistr(QStringLiteral("AB"), 4), QLatin1String("41422020"));
    EXPECT_EQ(scrivistr(QStringLiteral("ABCDE"), 4), QLatin1String("41424344"));
    EXPECT_EQ(scrivistr(QStringLiteral("AB"), 0), QLatin1String("414200"));
    EXPECT_EQ(scrivistr(QString(), 0), QLatin1String("00"));
    // Latin-1 on the wire; what Latin-1 cannot hold becomes '?'.
    EXPECT_EQ(scrivistr(QStringLiteral("Città€"), 0), QLatin1String("43697474E03F00"));

    EXPECT_EQ(leggistr(u"1000", 2), QString());
    EXPECT_EQ(leggistr(u"5000", 1), QLatin1String("P"));
    EXPECT_EQ(leggistr(u"43415341004142", 1), QLatin1String("CASA"));
    EXPECT_EQ(leggistr(u"E000", 1), QString(QChar(0xE0)));
    // A "00" across two bytes (0x20 0x05) is no terminator.
    EXPECT_EQ(leggistr(u"412005420000", 1), QStringLiteral("A \x05" "B"));
    // Unterminated text in a packet ends with the data, before checksum and trailer.
    EXPECT_EQ(leggistr(u"1063034142434C1003", 4), QLatin1String("ABC"));
    EXPECT_EQ(leggistr(u"414243", 1), QLatin1String("ABC"));
}

TEST(Packet, Tronca)
{
    EXPECT_EQ(tronca(QStringLiteral("a\r\nb"), 10), QLatin1String("a\r\nb"));
    EXPECT_EQ(tronca(QString(), 10), QString());
    EXPECT_EQ(tronca(QStringLiteral("a\r\nb\r\nc\r\n"), 2), QLatin1String("c\r\n"));
    EXPECT_EQ(tronca(QStringLiteral("\r\n\r\n"), 2), QLatin1String("\r\n"));
    QString log;
    for (int k = 1; k <= 15; ++k)
        appendToLog(log, QStringLiteral("line %1\r\n").arg(k));
    EXPECT_EQ(log.count(QLatin1String("\r\n")), 9);
    EXPECT_TRUE(log.startsWith(QLatin1String("line 7\r\n")));
    EXPECT_TRUE(log.endsWith(QLatin1String("line 15\r\n")));
}

TEST_F(LinkFixture, ReceivesAndDestuffs)
{
    // A plain packet, then one whose size is 0x10 (sixteen data bytes, two of them a pair of
    // genuine 0x10), then one with checksum 0x10 whose twin is discarded.
    QString data16 = QStringLiteral("1010") + QString(28, QLatin1Char('0'));
    QString body16 = QStringLiteral("6310") + data16;
    const QString wire16 = completastr(body16 + creacheck(body16));
    ASSERT_TRUE(wire16.contains(QLatin1String("631010101010100000"))); // size and both data bytes doubled
    // id 0x01, size 1, data 0xDF: sum 0xE0 + 1 = ... pick data so the checksum is 0x10.
    const QString bodyC = QStringLiteral("0101EE");
    ASSERT_EQ(creacheck(bodyC), QLatin1String("10"));
    fake.feed(hex2string(QString::fromLatin1(pkt::AckRecords)) + hex2string(wire16) + hex2string(completastr(bodyC + QStringLiteral("10"))));
    EXPECT_EQ(link.ricevi(), QLatin1String(pkt::AckRecords));
    EXPECT_EQ(link.ricevi(), QLatin1String("10") + body16 + creacheck(body16) + QLatin1String("1003"));
    EXPECT_EQ(link.ricevi(), QLatin1String("100101EE101003"));
    EXPECT_TRUE(warnings.isEmpty());
    EXPECT_EQ(fake.bytesAvailable(), 0);
    EXPECT_TRUE(log.startsWith(QLatin1String("<-- 1006021B00DD1003\r\n")));

    link.invia(QString::fromLatin1(pkt::CmdTransferWaypoints));
    EXPECT_EQ(fake.written(), hex2string(u"100A020700ED1003"));
    EXPECT_TRUE(log.endsWith(QLatin1String("--> 100A020700ED1003\r\n")));
}

TEST_F(LinkFixture, ChecksumAndTrailerFaultsWarnAndGoOn)
{
    fake.feed(hex2string(u"1006021B00DE1003"));   // checksum off by one
    fake.feed(hex2string(u"1006021B00DD1004"));   // DLE 04 trailer
    fake.feed(hex2string(u"1006021B00DD1003"));
    fake.setChunk(3); // arriving in pieces changes nothing
    EXPECT_EQ(link.ricevi(), QLatin1String("1006021B00DE1003"));
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_EQ(warnings[0], messageText(657) + QLatin1String("221 222"));
    EXPECT_EQ(warnings[0], QLatin1String("Checksum  error221 222"));
    EXPECT_EQ(link.ricevi(), QLatin1String("1006021B00DD1004"));
    ASSERT_EQ(warnings.size(), 2);
    EXPECT_EQ(warnings[1], QLatin1String("Input error"));
    EXPECT_EQ(link.ricevi(), QLatin1String(pkt::AckRecords));
    EXPECT_EQ(warnings.size(), 2);
}

TEST_F(LinkFixture, SilenceIsInputTimeOut)
{
    auto expectTimeOut = [&](qint64 expectedMs) {
        const qint64 before = fake.nowMs();
        try {
            link.ricevi();
            ADD_FAILURE() << "no time-out";
        } catch (const GipsoError &e) {
            EXPECT_EQ(e.number(), 20001);
            EXPECT_EQ(e.description(), QLatin1String("Input Time Out"));
        }
        EXPECT_EQ(fake.nowMs() - before, expectedMs);
    };
    expectTimeOut(5000); // nothing at all: 5 s from the call
    fake.feed(hex2string(u"1006021B")); // stops inside the packet: 5 s after the last byte
    expectTimeOut(5000);
    link.setTimeouts(300, 200, 1000);
    expectTimeOut(300);
    fake.feed("$GPGGA,1");
    try {
        link.riceviNMEA();
        ADD_FAILURE() << "no time-out";
    } catch (const GipsoError &e) {
        EXPECT_EQ(e.number(), kInputTimeOutError);
    }
}

TEST_F(LinkFixture, NmeaLines)
{
    fake.feed("\r\n$GPGGA,1*00\r\n$GPRMC,2\r\n");
    EXPECT_EQ(link.riceviNMEA(), QLatin1String("\r\n$GPGGA,1*00\r\n")); // a bare CR LF does not end a line
    EXPECT_EQ(link.riceviNMEA(), QLatin1String("$GPRMC,2\r\n"));
    EXPECT_TRUE(log.endsWith(QLatin1String("<-- $GPRMC,2\r\n")));
}
