// Framing and the receive loops of the link layer, over the in-memory link.
#include "LinkFixture.h"

#include "gps/Packet.h"

#include <gtest/gtest.h>

using namespace gipso;
using gipso::test::errorOf;
using gipso::test::LinkFixture;

namespace {

QString wireHex(uint8_t id, const char *dataHex)
{
    return QString::fromLatin1(framePacket({id, QByteArray::fromHex(dataHex)}).toHex().toUpper());
}
// A packet received, as "id data" in hex, marked when damaged.
QString got(const Packet &p)
{
    return QString::fromLatin1(QByteArray(1, char(p.id)).toHex().toUpper() + ' ' + p.data.toHex().toUpper()) +
           (p.intact ? QString() : QStringLiteral(" damaged"));
}

} // namespace

TEST(Packet, FramingStuffsEveryDleAfterTheId)
{
    EXPECT_EQ(wireHex(0xFF, "00"), QLatin1String("10FF0100001003")); // checksum 0
    // A DLE in the data, in the size and in the checksum is sent twice.
    EXPECT_EQ(wireHex(0x1B, "1000"), QLatin1String("101B02101000D31003"));
    EXPECT_EQ(wireHex(0x01, "EE"), QLatin1String("100101EE10101003"));
    EXPECT_EQ(wireHex(0x63, "1010" "0000000000000000000000000000"),
              QLatin1String("106310101010101000000000000000000000000000006D1003"));
    EXPECT_THROW(framePacket({0x23, QByteArray(256, 'x')}), GipsoError);
}

TEST_F(LinkFixture, ReceivesPacketsWithoutTheirStuffing)
{
    fake.feedHex({"1006021B00DD1003", "106310101010101000000000000000000000000000006D1003", "100101EE10101003",
                  "101B02001010D31003"}); // the last with a DLE as its last data byte
    fake.setChunk(3); // arriving in pieces changes nothing
    EXPECT_EQ(got(link.receivePacket()), QLatin1String("06 1B00"));
    EXPECT_EQ(got(link.receivePacket()), QLatin1String("63 1010") + QString(28, u'0'));
    EXPECT_EQ(got(link.receivePacket()), QLatin1String("01 EE"));
    EXPECT_EQ(got(link.receivePacket()), QLatin1String("1B 0010"));
    EXPECT_TRUE(warnings.isEmpty()) << qPrintable(warnings.join(u'|'));
    EXPECT_EQ(fake.pending(), 0);
    EXPECT_EQ(log, QLatin1String("<-- 1006021B00DD1003\r\n"
                                 "<-- 106310101000000000000000000000000000006D1003\r\n"
                                 "<-- 100101EE101003\r\n"
                                 "<-- 101B020010D31003\r\n"));
}

TEST_F(LinkFixture, DamagedPacketsAreRefusedAndTakenAgain)
{
    // A wrong checksum, a wrong trailer, a DLE not doubled (its packet's tail is skipped);
    // then noise, and the packet whole.
    fake.feedHex({"1006021B00DE1003", "1006021B00DD1004", "100602101B00DD1003", "55AA13", "1006021B00DD1003"});
    EXPECT_EQ(got(link.receivePacket()), QLatin1String("06 1B00"));
    EXPECT_EQ(fake.sentHex(), QStringList(3, QStringLiteral("1015020600E31003"))); // NAK of 06
    EXPECT_EQ(warnings, QStringList({"Checksum error: expected DD, received DE",
                                     "Input error: the packet ends with 10 04 instead of 10 03",
                                     "Input error: a DLE inside the packet is not doubled"}));
    EXPECT_EQ(log, QLatin1String("<-- 1006021B00DE1003\r\n--> 1015020600E31003\r\n"
                                 "<-- 1006021B00DD1004\r\n--> 1015020600E31003\r\n"
                                 "<-- 10060210\r\n--> 1015020600E31003\r\n"
                                 "<-- 1B00DD100355AA13\r\n<-- 1006021B00DD1003\r\n"));

    // Damaged every time: three NAKs, then the error trap.
    fake.clearWritten();
    fake.feedHex(QStringList(4, QStringLiteral("1023021B00C11003")));
    EXPECT_EQ(errorOf([&] { link.receivePacket(); }), QLatin1String("20004 - Packet 23 still damaged after 3 resends"));
    EXPECT_EQ(fake.sentHex(), QStringList(3, QStringLiteral("1015022300C61003")));
    EXPECT_EQ(fake.pending(), 0);
}

TEST_F(LinkFixture, PacketsAreSentAgainUntilAcknowledged)
{
    // A NAK, a damaged answer, an ACK of another packet: sent four times in all.
    const Packet records{pid::Records, QByteArray::fromHex("0200")};
    fake.feedHex({"1015021B00CE1003", "1006021B00DE1003", "1006022300D51003", "1006021B00DD1003"});
    link.sendAcknowledged(records);
    EXPECT_EQ(fake.sentHex(), QStringList(4, QStringLiteral("101B020200E11003")));
    EXPECT_EQ(fake.pending(), 0);

    // Refused every time: the error trap after three resends.
    fake.clearWritten();
    fake.feedHex(QStringList(4, QStringLiteral("1015021B00CE1003")));
    EXPECT_EQ(errorOf([&] { link.sendAcknowledged(records); }),
              QLatin1String("20005 - The receiver did not acknowledge packet 1B after 3 resends"));
    EXPECT_EQ(fake.sentHex().size(), 4);

    // A download's command is sent again only when NAKed: a damaged answer is its ACK.
    fake.clearWritten();
    fake.feedHex({"1015020A00DF1003", "1006020A00EF1003"});
    link.sendAcknowledged({pid::CommandData, QByteArray::fromHex("0700")}, Acknowledgement::AnyButNak);
    EXPECT_EQ(fake.sentHex(), QStringList(2, QStringLiteral("100A020700ED1003")));
}

TEST_F(LinkFixture, EachWayOfEndingWithoutAPacketHasItsOwnError)
{
    // The error, and how long it took to come on the link's clock.
    auto ending = [&](GarminLink &l) {
        const qint64 before = fake.nowMs();
        const QString error = errorOf([&] { l.receivePacket(); });
        return error + QStringLiteral(" after %1 ms").arg(fake.nowMs() - before);
    };
    const QString noPacket = QStringLiteral("20003 - No valid packet within the time-out");
    EXPECT_EQ(ending(link), QLatin1String("20001 - Input Time Out after 5000 ms")); // nothing at all: 5 s from the call
    fake.feedHex({"1006021B"}); // stops inside the packet: 5 s after the last byte
    EXPECT_EQ(ending(link), noPacket + QLatin1String(" after 5000 ms"));
    fake.feed(QByteArray(100000, '\x55')); // noise without a DLE: the time-out of the first byte
    fake.setChunk(100);
    EXPECT_EQ(ending(link), noPacket + QLatin1String(" after 5000 ms"));
    fake.setChunk(0);
    LinkSetup quickSetup = setup();
    quickSetup.firstByteMs = 300;
    quickSetup.nextByteMs = 200;
    GarminLink quick(fake, quickSetup);
    quick.setClock(fake.clock());
    EXPECT_EQ(ending(quick), QLatin1String("20001 - Input Time Out after 300 ms"));
    fake.feedHex({"1006"});
    EXPECT_EQ(ending(quick), noPacket + QLatin1String(" after 200 ms"));
    fake.feedHex({"1006021B00DD1003"});
    fake.hangUp(); // what came before the hang-up is read; then the line is closed at once
    EXPECT_TRUE(link.receivePacket().intact);
    EXPECT_EQ(ending(link), QLatin1String("20002 - The line closed: the receiver hung up after 0 ms"));
}

TEST_F(LinkFixture, LinesEndWithCrLfAfterTextAndAreBounded)
{
    fake.feed("\r\n$GPGGA,1*00\r\n$GPRMC,2\r\n");
    EXPECT_EQ(link.receiveLine(1000), QLatin1String("\r\n$GPGGA,1*00\r\n")); // a bare CR LF does not end a line
    EXPECT_EQ(link.receiveLine(1000), QLatin1String("$GPRMC,2\r\n"));
    EXPECT_TRUE(log.endsWith(QLatin1String("\r\n<-- $GPRMC,2\r\n")));

    // 4096 bytes with the CR LF are a line; one byte more is skipped to its end and counted.
    fake.feed(QByteArray(4094, 'x') + "\r\n" + QByteArray(4095, 'y') + "\r\n$GPGGA,3\r\n");
    EXPECT_EQ(link.receiveLine(1000).size(), 4096);
    EXPECT_EQ(link.receiveLine(1000), QLatin1String("$GPGGA,3\r\n"));
    EXPECT_EQ(link.overlongLines(), 1);
    EXPECT_TRUE(log.endsWith(QLatin1String("Line longer than 4096 bytes skipped\r\n<-- $GPGGA,3\r\n")));
    // A stream without CR LF is skipped as it comes, until the time-out.
    fake.feed(QByteArray(100000, 'z'));
    fake.setChunk(1000);
    EXPECT_EQ(errorOf([&] { link.receiveLine(1000); }), QLatin1String("20003 - No complete NMEA line within the time-out"));
    EXPECT_EQ(link.overlongLines(), 2);
    EXPECT_EQ(fake.pending(), 0);
}
