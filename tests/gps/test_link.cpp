// Framing and the receive loops of the link layer, over the in-memory link.
#include "LinkFixture.h"

#include "base/Error.h"
#include "gps/Packet.h"

#include <gtest/gtest.h>

using namespace gipso;
using gipso::test::LinkFixture;

namespace {

QString wireHex(uint8_t id, const char *dataHex)
{
    return QString::fromLatin1(framePacket({id, QByteArray::fromHex(dataHex)}).toHex().toUpper());
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
    Packet p = link.receivePacket();
    EXPECT_EQ(p.id, 0x06);
    EXPECT_EQ(p.data, QByteArray::fromHex("1B00"));
    EXPECT_TRUE(p.checksumOk);
    p = link.receivePacket();
    EXPECT_EQ(p.id, 0x63);
    EXPECT_EQ(p.data, QByteArray::fromHex("1010") + QByteArray(14, '\0'));
    EXPECT_EQ(link.receivePacket().data, QByteArray::fromHex("EE"));
    EXPECT_EQ(link.receivePacket().data, QByteArray::fromHex("0010"));
    EXPECT_TRUE(warnings.isEmpty()) << qPrintable(warnings.join(u'|'));
    EXPECT_EQ(fake.pending(), 0);
    EXPECT_EQ(log, QLatin1String("<-- 1006021B00DD1003\r\n"
                                 "<-- 106310101000000000000000000000000000006D1003\r\n"
                                 "<-- 100101EE101003\r\n"
                                 "<-- 101B020010D31003\r\n"));

    link.sendPacket({pid::CommandData, QByteArray::fromHex("0700")});
    EXPECT_EQ(fake.sentHex(), QStringList{QStringLiteral("100A020700ED1003")});
    EXPECT_TRUE(log.endsWith(QLatin1String("\r\n--> 100A020700ED1003\r\n")));
}

TEST_F(LinkFixture, ChecksumAndTrailerFaultsWarnAndGoOn)
{
    fake.feedHex({"1006021B00DE1003", "1006021B00DD1004", "1006021B00DD1003"});
    Packet p = link.receivePacket();
    EXPECT_FALSE(p.checksumOk);
    EXPECT_EQ(p.data, QByteArray::fromHex("1B00")); // as received
    EXPECT_EQ(warnings, QStringList{QStringLiteral("Checksum  error221 222")});
    EXPECT_TRUE(link.receivePacket().checksumOk);
    EXPECT_EQ(warnings.value(1), QLatin1String("Input error"));
    link.receivePacket();
    EXPECT_EQ(warnings.size(), 2);
    EXPECT_TRUE(log.startsWith(QLatin1String("<-- 1006021B00DE1003\r\n<-- 1006021B00DD1004\r\n")));
}

TEST_F(LinkFixture, SilenceIsInputTimeOut)
{
    auto expectTimeOut = [&](GarminLink &l, qint64 expectedMs) {
        const qint64 before = fake.nowMs();
        try {
            l.receivePacket();
            ADD_FAILURE() << "no time-out";
        } catch (const GipsoError &e) {
            EXPECT_EQ(e.number(), 20001);
            EXPECT_EQ(e.description(), QLatin1String("Input Time Out"));
        }
        EXPECT_EQ(fake.nowMs() - before, expectedMs);
    };
    expectTimeOut(link, 5000); // nothing at all: 5 s from the call
    fake.feedHex({"1006021B"}); // stops inside the packet: 5 s after the last byte
    expectTimeOut(link, 5000);
    LinkSetup quickSetup = setup();
    quickSetup.firstByteMs = 300;
    quickSetup.nextByteMs = 200;
    GarminLink quick(fake, quickSetup);
    quick.setClock(fake.clock());
    expectTimeOut(quick, 300);
    fake.feedHex({"1006"});
    expectTimeOut(quick, 200);

    fake.feed("$GPGGA,1");
    const qint64 before = fake.nowMs();
    EXPECT_THROW(link.receiveLine(1000), GipsoError);
    EXPECT_EQ(fake.nowMs() - before, 1000);
}

TEST_F(LinkFixture, LinesEndWithCrLfAfterText)
{
    fake.feed("\r\n$GPGGA,1*00\r\n$GPRMC,2\r\n");
    EXPECT_EQ(link.receiveLine(1000), QLatin1String("\r\n$GPGGA,1*00\r\n")); // a bare CR LF does not end a line
    EXPECT_EQ(link.receiveLine(1000), QLatin1String("$GPRMC,2\r\n"));
    EXPECT_TRUE(log.endsWith(QLatin1String("\r\n<-- $GPRMC,2\r\n")));
}
