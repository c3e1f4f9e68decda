// The serial link on a pseudo-terminal: opening, waiting for bytes, the receiver hanging up.
#include "LinkFixture.h"

#include "gps/SerialLink.h"
#include "support/PtyFeeder.h"

#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace gipso;
using gipso::test::PtyFeeder;

TEST(SerialLink, OpeningDiscardsWhatTheLineHeldBefore)
{
    PtyFeeder receiver;
    ASSERT_TRUE(receiver.ok());
    receiver.feed("stale bytes of an aborted transfer");
    QTest::qWait(50);
    ASSERT_EQ(receiver.pending(), 0);

    SerialLink link;
    QString error;
    ASSERT_TRUE(link.open(receiver.slavePath(), 9600, &error)) << qPrintable(error);
    EXPECT_TRUE(link.read(100).isEmpty());
    receiver.feed("\x10\x06");
    QByteArray got;
    for (int i = 0; i < 10 && got.size() < 2; ++i)
        got += link.read(200);
    EXPECT_EQ(got, QByteArray("\x10\x06"));
}

TEST(SerialLink, WaitingKeepsTheEventLoopRunning)
{
    PtyFeeder silent;
    ASSERT_TRUE(silent.ok());
    SerialLink serial;
    ASSERT_TRUE(serial.open(silent.slavePath(), 9600));
    LinkSetup setup;
    setup.firstByteMs = 300;
    GarminLink link(serial, setup);
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(10);
    EXPECT_THROW(link.receivePacket(), GipsoError);
    EXPECT_GT(ticks, 3);
}

TEST(SerialLink, AHangUpEndsTheWaitWithItsOwnError)
{
    setLanguage(kEnglish);
    PtyFeeder receiver;
    ASSERT_TRUE(receiver.ok());
    SerialLink serial;
    ASSERT_TRUE(serial.open(receiver.slavePath(), 9600));
    LinkSetup setup;
    setup.firstByteMs = 20000; // far beyond the wait a hang-up may take
    GarminLink link(serial, setup);
    receiver.hangUp();
    EXPECT_EQ(test::errorOf([&] { link.receivePacket(); }), QLatin1String("20002 - The line closed: the receiver hung up"));
    EXPECT_TRUE(serial.closed());
    QCoreApplication::processEvents();
    EXPECT_FALSE(serial.isOpen()); // closed, so that its read errors cannot keep the event loop busy
}
