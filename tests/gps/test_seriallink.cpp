#include "gps/SerialLink.h"
#include "support/PtyFeeder.h"

#include <QTest>
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
