// NMEA: sentences to fixes, the capture's date and interval, and the acquisition loop over
// the in-memory link, with real receiver logs.
#include "LinkFixture.h"

#include "base/Clock.h"
#include "base/DateValue.h"
#include "base/Error.h"
#include "gps/Nmea.h"
#include "support/PtyFeeder.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace gipso;
using test::withNmeaSum;

namespace {

const QDate kToday(2024, 3, 1);
constexpr auto GGA = NmeaSentence::GGA;
constexpr auto RMC = NmeaSentence::RMC;

} // namespace

TEST(Nmea, FixesAsTheReceiverMeansThem)
{
    const struct {
        QByteArray line;
        NmeaSentence type;
        double lat, lon;
        float alt;
        QString time;
    } cases[] = {
        // No checksum; the altitude in whole metres, never a locale-dependent parse.
        {"$GPGGA,101500,4530.500,N,00915.250,E,1,07,1.2,132.7,M,47.0,M,,\r\n", GGA, 45.5083333333, 9.2541666667, 132, "10:15:00"},
        // RMC carries no altitude, and its own date is not taken.
        {withNmeaSum("$GPRMC,101500,A,4530.500,N,00915.250,E,0.0,0.0,010203,,"), RMC, 45.5083333333, 9.2541666667, 0, "10:15:00"},
        // Any talker; hemispheres in either case; no fraction; an altitude in feet is not taken.
        {withNmeaSum("$GNGGA,000001,4530,S,00915,W,1,07,1.2,-12.9,M,47.0,M,,"), GGA, -45.5, -9.25, -12, "00:00:01"},
        {"$IIGGA,000001.00,4530.5,s,00915.25,w,2,07,1.2,100.0,F,,,,*16\r\n", GGA, -45.508333333, -9.254166667, 0, "00:00:01"},
        {withNmeaSum("$GPGGA,123519,0000.000,N,18000.000,E,1,08,0.9,,M,46.9,M,,"), GGA, 0.0, 180.0, 0, "12:35:19"},
        {withNmeaSum("$GPRMC,235960,A,4530.5,N,00915.25,E,,,,,"), RMC, 45.508333333, 9.254166667, 0, "23:59:59"}, // a leap second
    };
    for (const auto &c : cases) {
        NmeaCapture capture(c.type, 0);
        capture.start(kToday, 0.0);
        const auto r = capture.feedLine(c.line, 1.0);
        ASSERT_EQ(r.verdict, NmeaVerdict::Accepted) << c.line.constData();
        EXPECT_NEAR(r.point->latitude, c.lat, 1e-8) << c.line.constData();
        EXPECT_NEAR(r.point->longitude, c.lon, 1e-8) << c.line.constData();
        EXPECT_EQ(r.point->altitude, c.alt) << c.line.constData();
        EXPECT_EQ(formatTimeValue(r.point->time), c.time) << c.line.constData();
        EXPECT_EQ(dateOfValue(r.point->date), kToday);
        EXPECT_EQ(r.point->kind, PointKind::Track);
    }
}

TEST(Nmea, BadSentencesNeverMakeAPoint)
{
    const QByteArray good = withNmeaSum("$GPGGA,101500,4530.500,N,00915.250,E,1,07,1.2,132.7,M,47.0,M,,"); // *4A
    const QByteArray body = good.left(good.indexOf('*'));
    const struct {
        QByteArray line;
        NmeaSentence type;
        NmeaVerdict verdict;
    } cases[] = {
        // A present and wrong checksum: a digit changed, cut short, noise; a corrupted body.
        {body + "*4B\r\n", GGA, NmeaVerdict::BadChecksum},
        {body + "*4\r\n", GGA, NmeaVerdict::BadChecksum},
        {body + "*ZZ\r\n", GGA, NmeaVerdict::BadChecksum},
        {QByteArray(good).replace("4530", "7530"), GGA, NmeaVerdict::BadChecksum},
        // No position fix: empty position fields, quality 0, RMC status V, a line cut short.
        {withNmeaSum("$GPGGA,101500,,,,,0,00,99.9,,,,,,"), GGA, NmeaVerdict::NoFix},
        {withNmeaSum("$GPGGA,101500,4530.5,N,00915.2,E,0,00,,,M,,M,,"), GGA, NmeaVerdict::NoFix},
        {withNmeaSum("$GPGGA,101500,4530.5,N,,E,1,03,,,M,,M,,"), GGA, NmeaVerdict::NoFix},
        {"$GPGGA,101500,,\r\n", GGA, NmeaVerdict::NoFix},
        {withNmeaSum("$GPRMC,101500,V,4530.5,N,00915.2,E,,,010203,,"), RMC, NmeaVerdict::NoFix},
        {withNmeaSum("$GPRMC,,V,,,,,,,,,N"), RMC, NmeaVerdict::NoFix},
        // Fields that cannot be converted (without a checksum to catch them).
        {"$GPGGA,101500,45x0.500,N,00915.250,E,1,07,1.2,132.7,M,47.0,M,,\r\n", GGA, NmeaVerdict::Malformed},
        {"$GPGGA,101500,4575.000,N,00915.250,E,1,07,1.2,132.7,M,47.0,M,,\r\n", GGA, NmeaVerdict::Malformed}, // 75 minutes
        {"$GPGGA,101500,9130.000,N,00915.250,E,1,07,1.2,132.7,M,47.0,M,,\r\n", GGA, NmeaVerdict::Malformed}, // past the pole
        {"$GPGGA,101500,4530.500,X,00915.250,E,1,07,1.2,132.7,M,47.0,M,,\r\n", GGA, NmeaVerdict::Malformed},
        {"$GPGGA,251500,4530.500,N,00915.250,E,1,07,1.2,132.7,M,47.0,M,,\r\n", GGA, NmeaVerdict::Malformed},
        {"$GPGGA,,4530.500,N,00915.250,E,1,07,1.2,132.7,M,47.0,M,,\r\n", GGA, NmeaVerdict::Malformed},
        {"$GPGGA,101500,4530.500,N,00915.250,E,1,07,1.2,1x2.7,M,47.0,M,,\r\n", GGA, NmeaVerdict::Malformed},
        {"$GPGGA,101500,4530.500,N,00915.250,E,1,07\r\n", GGA, NmeaVerdict::Malformed},
        // Other sentences, other types, no sentence at all, or none chosen: only logged.
        {withNmeaSum("$GPGSV,3,1,11,01,78,221,47,03,09,042,00,04,05,242,00,06,04,149,00"), GGA, NmeaVerdict::Other},
        {withNmeaSum("$GPRMC,101500,A,4530.500,N,00915.250,E,0.0,0.0,010203,,"), GGA, NmeaVerdict::Other},
        {body.mid(1) + "\r\n", GGA, NmeaVerdict::Other},
        {withNmeaSum("$GPGGAX,101500,4530.500,N,00915.250,E,1,07,1.2,132.7,M,47.0,M,,"), GGA, NmeaVerdict::Other},
        {"\r\n", GGA, NmeaVerdict::Other},
        {QByteArray("\xA0\xA2\x00\x29\x02\xff\xfe\r\n", 9), GGA, NmeaVerdict::Other},
        {good, NmeaSentence(0), NmeaVerdict::Other},
    };
    for (const auto &c : cases) {
        NmeaCapture capture(c.type, 0);
        capture.start(kToday, 0.0);
        const auto r = capture.feedLine(c.line, 1.0);
        EXPECT_EQ(r.verdict, c.verdict) << c.line.constData();
        EXPECT_FALSE(r.point.has_value()) << c.line.constData();
        if (c.verdict == NmeaVerdict::BadChecksum && c.type == GGA && c.line.startsWith(body)) {
            EXPECT_EQ(r.parsed.expectedChecksum, 0x4A);
        }
    }
    EXPECT_EQ(nmeaSentenceNamed(QStringLiteral(" rmc")), RMC);
    EXPECT_EQ(nmeaSentenceNamed(QStringLiteral("GSV")), std::nullopt);
}

TEST(Nmea, MidnightAdvancesTheDateAndTheIntervalSpacesTheFixes)
{
    NmeaCapture capture(RMC, 0);
    capture.start(kToday, 0.0);
    double now = 0;
    auto dayOf = [&](const char *time) {
        const auto r = capture.feedLine(withNmeaSum(QByteArray("$GPRMC,") + time + ",A,4530.5,N,00915.25,E,0.0,0.0,010203,,"), ++now);
        return r.point ? int(kToday.daysTo(dateOfValue(r.point->date))) : -1;
    };
    EXPECT_EQ(dayOf("235959"), 0);
    EXPECT_EQ(dayOf("000001"), 1);
    EXPECT_EQ(dayOf("000001"), 1); // the same time again is not a new day
    EXPECT_EQ(dayOf("120000"), 1);
    EXPECT_EQ(dayOf("000000"), 2);

    // One sentence a second with nmeaTime 5: the first fix after more than 5 s, then every
    // sixth; rejected sentences do not restart the interval.
    NmeaCapture spaced(GGA, 5);
    spaced.start(kToday, 100.0);
    std::vector<int> taken;
    for (int s = 1; s <= 20; ++s) {
        const QByteArray line = s == 12 ? withNmeaSum("$GPGGA,101500,,,,,0,00,,,,,,,")
                                        : withNmeaSum("$GPGGA,101500,4530.5,N,00915.25,E,1,07,1.2,10,M,,M,,");
        const auto r = spaced.feedLine(line, 100.0 + s);
        if (r.point) {
            taken.push_back(s);
        } else if (s != 12) {
            EXPECT_EQ(r.verdict, NmeaVerdict::TooSoon) << s;
        }
    }
    EXPECT_EQ(taken, (std::vector<int>{6, 13, 19}));
}

// The acquisition loop over the in-memory link.
struct NmeaLoop : test::LinkFixture {
    void SetUp() override
    {
        LinkFixture::SetUp();
        setClock([] { return QDateTime(kToday, QTime(23, 50)); });
        options.now = [this] { return seconds += 1.0; }; // a second passes at every look
        options.lineTimeoutMs = 1000;
    }
    void TearDown() override { setClock({}); }
    NmeaCapture capture{GGA, 0};
    NmeaRunOptions options;
    double seconds = 0.0;
    PointList track;
};

TEST_F(NmeaLoop, AWrongChecksumIsLoggedAndSkipped)
{
    const QByteArray bad = "$GPGGA,235959,4530.600,N,00915.250,E,1,07,1.2,132.7,M,47.0,M,,*4E\r\n";
    fake.feed(withNmeaSum("$GNGGA,235958,4530.500,N,00915.250,E,1,07,1.2,132.7,M,47.0,M,,") + bad +
              withNmeaSum("$GPGGA,000001,4530.800,S,00915.250,W,1,07,1.2,-3.9,M,,M,,"));
    int lines = 0;
    options.keepRunning = [&] { return ++lines < 3; };
    EXPECT_EQ(runNmeaCapture(link, capture, track, options), 2);
    EXPECT_EQ(track[2].altitude, -3.0f);
    EXPECT_EQ(dateOfValue(track[2].date), kToday.addDays(1)); // past midnight
    // Every line in the exchange log, the wrong checksum noted right after its line.
    EXPECT_EQ(log.count(QLatin1String("<-- $")), 3);
    EXPECT_TRUE(log.contains(QLatin1String(bad) + QLatin1String("Checksum error: expected 4D, received 4E\r\n<-- $GPGGA,000001,")));
}

TEST_F(NmeaLoop, EndsQuietlyAtItsEndTimeAndWithAnErrorOnSilence)
{
    // A silent line until the end, within the wait for one line: no error.
    auto now = options.now;
    options.now = [this] { return fake.nowMs() / 1000.0; };
    options.endAt = 0.4;
    EXPECT_EQ(runNmeaCapture(link, capture, track, options), 0);
    EXPECT_EQ(fake.nowMs(), 400);

    options.now = now;
    options.endAt.reset();
    fake.feed(withNmeaSum("$GPGGA,101500,4530.5,N,00915.25,E,1,07,1.2,10,M,,M,,"));
    EXPECT_EQ(test::errorOf([&] { runNmeaCapture(link, capture, track, options); }), QLatin1String("20001 - Input Time Out"));
    EXPECT_EQ(track.count(), 1); // taken before the silence: it stays

    // The interval counts on the loop's clock: one that stands still takes no fix.
    options.now = [] { return 0.0; };
    options.keepRunning = [] { return false; };
    fake.feed(withNmeaSum("$GPGGA,101500,4530.5,N,00915.25,E,1,07,1.2,10,M,,M,,"));
    EXPECT_EQ(runNmeaCapture(link, capture, track, options), 0);
}

TEST_F(NmeaLoop, AFixTimeOutEndsAStreamWithoutFixesOnly)
{
    // Ten lines, then silence: the error, and how many lines were read.
    auto run = [&](NmeaCapture &c, const QByteArray &line) {
        FakeLink receiver;
        GarminLink l(receiver, setup());
        l.setClock(receiver.clock());
        for (int k = 0; k < 10; ++k)
            receiver.feed(line);
        log.clear();
        const QString error = test::errorOf([&] { runNmeaCapture(l, c, track, options); }).left(5);
        return error + QStringLiteral(" after %1 lines").arg(log.count(QLatin1String("<-- $")));
    };
    options.fixTimeoutMs = 3000; // three looks at the clock
    EXPECT_EQ(run(capture, withNmeaSum("$GPGGA,101500,,,,,0,00,,,,,,,")), QLatin1String("20006 after 1 lines"));
    // Fixes within the interval count as fixes: all ten lines are read, then the silence ends it.
    NmeaCapture spaced(GGA, 100);
    EXPECT_EQ(run(spaced, withNmeaSum("$GPGGA,101500,4530.5,N,00915.25,E,1,07,1.2,10,M,,M,,")), QLatin1String("20001 after 10 lines"));
    EXPECT_TRUE(track.isEmpty());
}

TEST_F(NmeaLoop, Garmin48GivesTheFixesOfItsLog)
{
    // 92 lines in seven cycles, each with a GGA and an RMC fix at the same place; one line cut short.
    const QByteArray bytes = test::receiverLog(QStringLiteral("nmea/garmin48.log"));
    const QStringList times = {"22:53:08", "22:53:10", "22:53:12", "22:53:14", "22:53:16", "22:53:18", "22:53:34"};
    const QList<float> altitudes = {14, 14, 14, 14, 14, 14, 12};
    int lines = 0;
    options.keepRunning = [&] { return ++lines % 92 != 0; };
    for (NmeaSentence sentence : {GGA, RMC}) {
        fake.feed(bytes);
        log.clear();
        track.clear();
        NmeaCapture c(sentence, 0);
        runNmeaCapture(link, c, track, options);
        ASSERT_EQ(track.count(), 7);
        for (int i = 1; i <= 7; ++i) {
            EXPECT_NEAR(track[i].latitude, -45.4576333333, 1e-9) << i;
            EXPECT_NEAR(track[i].longitude, 167.15275, 1e-9) << i;
            EXPECT_EQ(track[i].altitude, sentence == GGA ? altitudes[i - 1] : 0.0f) << i;
            EXPECT_EQ(formatTimeValue(track[i].time), times[i - 1]) << i;
            EXPECT_EQ(dateOfValue(track[i].date), kToday) << i;
        }
        EXPECT_EQ(log.count(QLatin1String("<-- $")), 92);
        EXPECT_EQ(log.count(QLatin1String("*7\r\n")), 1); // the truncated line
    }
}

TEST_F(NmeaLoop, LogsWithoutNmeaGiveNoFix)
{
    // These receivers speak their binary protocol: one log holds two CR LF by chance, the
    // other none, so the wait for its first line ends with the time-out.
    int lines = 0;
    options.keepRunning = [&] { return ++lines < 2; };
    fake.feed(test::receiverLog(QStringLiteral("nmea/bu303-moving.log")));
    EXPECT_EQ(runNmeaCapture(link, capture, track, options), 0);
    FakeLink other;
    GarminLink otherLink(other);
    otherLink.setClock(other.clock());
    other.feed(test::receiverLog(QStringLiteral("nmea/bu303-nofix.log")));
    EXPECT_THROW(runNmeaCapture(otherLink, capture, track, options), GipsoError);
    EXPECT_TRUE(track.isEmpty());
}
