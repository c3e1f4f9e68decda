// The byte links under the receiver's protocol. The serial link on a pseudo-terminal: opening,
// waiting for bytes, the receiver hanging up. The NMEA a gpsd relays: the link against a small
// fake gpsd, and the capture through a real gpsd reading a pseudo-terminal, compared with the
// capture of the same log from the port.
#include "LinkFixture.h"

#include "base/Clock.h"
#include "gps/GpsdLink.h"
#include "gps/Nmea.h"
#include "gps/ReceiverPort.h"
#include "gps/SerialLink.h"
#include "support/PtyFeeder.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace gipso;
using test::errorOf;

namespace {

// One client at a time: what it sent, and what the test makes "gpsd" send back.
struct FakeGpsd {
    FakeGpsd()
    {
        server.listen(QHostAddress::LocalHost);
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            client = server.nextPendingConnection();
            QObject::connect(client, &QTcpSocket::readyRead, [this] { received += client->readAll(); });
            if (!greeting.isEmpty())
                client->write(greeting);
        });
    }
    QString name() const { return QStringLiteral("gpsd://127.0.0.1:%1").arg(server.serverPort()); }
    QTcpServer server;
    QTcpSocket *client = nullptr;
    QByteArray received;
    QByteArray greeting = "{\"class\":\"VERSION\",\"release\":\"3.22\",\"proto_major\":3}\r\n";
};

// A port nothing listens on (taken and given back at once).
quint16 freePort()
{
    QTcpServer s;
    s.listen(QHostAddress::LocalHost);
    return s.serverPort();
}

struct NmeaRun {
    PointList track;
    QString error = QStringLiteral("no error");
    QString log;
};

NmeaRun capture(ByteLink &byteLink, NmeaRunOptions options)
{
    NmeaRun run;
    LinkSetup setup;
    setup.exchangeLog = [&run](const QString &l) { run.log += l; };
    GarminLink link(byteLink, setup);
    NmeaCapture c(NmeaSentence::GGA, 0);
    run.error = errorOf([&] { runNmeaCapture(link, c, run.track, options); });
    return run;
}

} // namespace

TEST(Gpsd, PortNames)
{
    const struct {
        const char *name;
        const char *address; // "" when it is no gpsd address
    } cases[] = {
        {"gpsd://localhost:2947", "localhost:2947"}, {"gpsd://gps.example:3000", "gps.example:3000"},
        {"GPSD://10.0.0.5", "10.0.0.5:2947"},         {"gpsd://[::1]:2948", "::1:2948"},
        {"gpsd://:2947", ""},                         {"gpsd://host:port", ""},
        {"gpsd://host:70000", ""},                    {"gpsd://host:2947/dev/ttyUSB0", ""},
        {"/dev/ttyUSB0", ""},                         {"ttyS0", ""},
    };
    for (const auto &c : cases) {
        QString host;
        quint16 port = 0;
        const QString address = GpsdLink::parseName(QLatin1String(c.name), &host, &port) ? host + u':' + QString::number(port) : QString();
        EXPECT_EQ(address, QLatin1String(c.address)) << c.name;
    }
    EXPECT_TRUE(GpsdLink::isGpsdName(QStringLiteral("gpsd://:2947"))); // one of ours, but malformed
}

TEST(Gpsd, WatchRequestThenOnlyTheNmeaLinesUntilGpsdCloses)
{
    setLanguage(kEnglish);
    FakeGpsd gpsd;
    GpsdLink link;
    ASSERT_TRUE(link.open(gpsd.name()));
    // gpsd's reports among the sentences, a sentence ending in LF alone, one in two pieces,
    // and one cut short by the close: two whole fixes.
    QTRY_VERIFY(gpsd.client && gpsd.received.endsWith(";\r\n"));
    EXPECT_EQ(gpsd.received, QByteArray("?WATCH={\"enable\":true,\"nmea\":true};\r\n"));
    gpsd.client->write("{\"class\":\"DEVICES\",\"devices\":[]}\r\n"
                       "{\"class\":\"WATCH\",\"enable\":true,\"nmea\":true}\r\n"
                       "$GPGGA,101500,4530.500,N,00915.250,E,1,07,1.2,132.7,M,47.0,M,,*4A\n"
                       "$GPGGA,101501,4530.5");
    QObject::connect(gpsd.client, &QTcpSocket::bytesWritten, gpsd.client, [&gpsd] {
        if (gpsd.client->bytesToWrite() > 0 || gpsd.client->property("done").toBool())
            return;
        gpsd.client->setProperty("done", true);
        gpsd.client->write("00,N,00915.250,E,1,07,1.2,133.0,M,47.0,M,,\r\n"
                           "{\"class\":\"TPV\",\"mode\":3}\r\n"
                           "$GPGGA,101502,4530.5");
        gpsd.client->disconnectFromHost();
    });
    const NmeaRun run = capture(link, {});
    EXPECT_EQ(run.error, QLatin1String("20002 - gpsd closed the connection: the acquisition has ended"));
    EXPECT_EQ(test::pointTexts(run.track).join(u'\n').count(QLatin1String("TP 45.5083333 9.2541667")), 2);
    EXPECT_EQ(run.log.count(QLatin1String("<-- $GPGGA")), 2);
    EXPECT_FALSE(run.log.contains(u'{'));
    EXPECT_TRUE(link.closed());
}

TEST(Gpsd, NoPacketsAndNoAnswer)
{
    setLanguage(kEnglish);
    FakeGpsd gpsd;
    ReceiverPort receiver; // a gpsd name opens the gpsd link
    ASSERT_TRUE(receiver.open(gpsd.name(), 4800));
    GarminLink garmin = receiver.link();
    EXPECT_EQ(errorOf([&] { garmin.sendPacket(Packet{10, {}}); }),
              QLatin1String("20007 - gpsd relays only NMEA: transfers of WayPoints, routes and tracks need the "
                            "receiver on a serial port"));

    GpsdLink link;
    QString why;
    const quint16 closedPort = freePort();
    EXPECT_FALSE(link.open(QStringLiteral("gpsd://127.0.0.1:%1").arg(closedPort), &why));
    EXPECT_TRUE(why.startsWith(QStringLiteral("no gpsd answers at 127.0.0.1:%1 (").arg(closedPort))) << why.toStdString();
    EXPECT_FALSE(link.open(QStringLiteral("gpsd://host:port"), &why));
    EXPECT_EQ(why, QLatin1String("not a gpsd address: write gpsd://HOST:PORT"));

    // The probe of the port list: a gpsd greets; a silent server or none is no gpsd.
    EXPECT_TRUE(GpsdLink::answers(QStringLiteral("127.0.0.1"), gpsd.server.serverPort(), 2000));
    gpsd.greeting.clear();
    EXPECT_FALSE(GpsdLink::answers(QStringLiteral("127.0.0.1"), gpsd.server.serverPort(), 200));
    EXPECT_FALSE(GpsdLink::answers(QStringLiteral("127.0.0.1"), closedPort, 200));
}

// A real gpsd on a free port reads a pty fed with a receiver's log; the fixes captured through
// it equal those captured from the same log on the port. gpsd probes a new device with its
// first sentences (and may drop them): a line without a fix is sent until gpsd relays it, and
// only then the log. gpsd drops sentences with a wrong checksum or cut short itself.
TEST(Gpsd, RealGpsdRelaysTheFixesOfTheLog)
{
    QString gpsdProgram = QStandardPaths::findExecutable(QStringLiteral("gpsd"));
    if (gpsdProgram.isEmpty())
        gpsdProgram = QStandardPaths::findExecutable(QStringLiteral("gpsd"), {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
    if (gpsdProgram.isEmpty())
        GTEST_SKIP() << "gpsd is not installed";
    setLanguage(kEnglish);
    setClock([] { return QDateTime(QDate(2024, 3, 1), QTime(12, 0)); });
    const QByteArray log = test::receiverLog(QStringLiteral("nmea/garmin48.log"));
    NmeaRunOptions options;
    options.lineTimeoutMs = 3000;

    // The serial path: the whole log, then silence.
    test::PtyFeeder serialFeeder;
    ASSERT_TRUE(serialFeeder.ok());
    SerialLink serial;
    ASSERT_TRUE(serial.open(serialFeeder.slavePath(), 4800));
    serialFeeder.feed(log);
    const NmeaRun expected = capture(serial, options);
    EXPECT_EQ(expected.error.left(5), QLatin1String("20001"));
    ASSERT_EQ(expected.track.count(), 7);

    test::PtyFeeder feeder;
    ASSERT_TRUE(feeder.ok());
    QTemporaryDir dir;
    const quint16 port = freePort();
    QProcess gpsd;
    gpsd.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    gpsd.start(gpsdProgram, {QStringLiteral("-N"), QStringLiteral("-n"), QStringLiteral("-S"), QString::number(port),
                             QStringLiteral("-F"), dir.filePath(QStringLiteral("control")), feeder.slavePath()});
    ASSERT_TRUE(gpsd.waitForStarted());
    const QString name = QStringLiteral("gpsd://127.0.0.1:%1").arg(port);
    GpsdLink link;
    QTRY_VERIFY_WITH_TIMEOUT(link.open(name), 10000);

    const QByteArray probe = log.left(log.indexOf('\n') + 1);
    ASSERT_FALSE(probe.contains("GGA"));
    feeder.repeat(probe);
    QTRY_VERIFY_WITH_TIMEOUT(!link.read(50).isEmpty(), 20000);
    feeder.stop();
    QTest::qWait(300); // the probe lines still on their way
    while (!link.read(0).isEmpty()) {
    }
    feeder.feed(log);
    // Captured until all seven fixes are in; then gpsd goes away: the capture ends with the
    // message and keeps them.
    options.lineTimeoutMs = 10000;
    int taken = 0;
    options.onPoint = [&](const GpsPoint &) {
        if (++taken == expected.track.count())
            gpsd.terminate();
    };
    const NmeaRun relayed = capture(link, options);
    EXPECT_EQ(relayed.error, QLatin1String("20002 - gpsd closed the connection: the acquisition has ended"));
    EXPECT_EQ(test::pointTexts(relayed.track), test::pointTexts(expected.track));
    gpsd.waitForFinished(5000);
    setClock({});
}

TEST(SerialLink, OpeningDiscardsWhatTheLineHeldBefore)
{
    test::PtyFeeder receiver;
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
    test::PtyFeeder silent;
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
    test::PtyFeeder receiver;
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
