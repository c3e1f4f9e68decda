// NMEA: sentences to fixes, the capture's date and interval, and the acquisition loop over
// the in-memory link, with real receiver logs.
#include "LinkFixture.h"

#include "base/Clock.h"
#include "base/DateValue.h"
#include "gps/Nmea.h"
#include "support/PtyFeeder.h"

#include <gtest/gtest.h>

using namespace gipso;
using test::errorOf;
using test::pointText;
using test::withNmeaSum;

namespace {

const QDate kToday(2024, 3, 1);
constexpr auto GGA = NmeaSentence::GGA;
constexpr auto RMC = NmeaSentence::RMC;

} // namespace

TEST(Nmea, OnlyAGoodFixOfTheChosenSentenceMakesAPoint)
{
    const QByteArray good = withNmeaSum("$GPGGA,101500,4530.500,N,00915.250,E,1,07,1.2,132.7,M,47.0,M,,"); // *4A
    const QByteArray body = good.left(good.indexOf('*'));
    constexpr auto Ok = NmeaVerdict::Accepted, Bad = NmeaVerdict::BadChecksum, NoFix = NmeaVerdict::NoFix;
    constexpr auto Malformed = NmeaVerdict::Malformed, Other = NmeaVerdict::Other;
    const struct {
        QByteArray line;
        NmeaSentence type;
        NmeaVerdict verdict;
        const char *point = "";
    } cases[] = {
        // No checksum; the altitude in whole metres, never a locale-dependent parse.
        {"$GPGGA,101500,4530.500,N,00915.250,E,1,07,1.2,132.7,M,47.0,M,,\r\n", GGA, Ok,
         "TP 45.5083333 9.2541667 132 | 01/03/2024 10:15:00"},
        // RMC carries no altitude, and its own date is not taken.
        {withNmeaSum("$GPRMC,101500,A,4530.500,N,00915.250,E,0.0,0.0,010203,,"), RMC, Ok,
         "TP 45.5083333 9.2541667 0 | 01/03/2024 10:15:00"},
        // Any talker; hemispheres in either case; no fraction; an altitude in feet is not taken.
        {withNmeaSum("$GNGGA,000001,4530,S,00915,W,1,07,1.2,-12.9,M,47.0,M,,"), GGA, Ok,
         "TP -45.5000000 -9.2500000 -12 | 01/03/2024 00:00:01"},
        {"$IIGGA,000001.00,4530.5,s,00915.25,w,2,07,1.2,100.0,F,,,,*16\r\n", GGA, Ok,
         "TP -45.5083333 -9.2541667 0 | 01/03/2024 00:00:01"},
        {withNmeaSum("$GPGGA,123519,0000.000,N,18000.000,E,1,08,0.9,,M,46.9,M,,"), GGA, Ok,
         "TP 0.0000000 180.0000000 0 | 01/03/2024 12:35:19"},
        {withNmeaSum("$GPRMC,235960,A,4530.5,N,00915.25,E,,,,,"), RMC, Ok,
         "TP 45.5083333 9.2541667 0 | 01/03/2024 23:59:59"}, // a leap second
        // A present and wrong checksum: a digit changed, cut short, noise; a corrupted body.
        {body + "*4B\r\n", GGA, Bad},
        {body + "*4\r\n", GGA, Bad},
        {body + "*ZZ\r\n", GGA, Bad},
        {QByteArray(good).replace("4530", "7530"), GGA, Bad},
        // No position fix: empty position fields, quality 0, RMC status V, a line cut short.
        {withNmeaSum("$GPGGA,101500,,,,,0,00,99.9,,,,,,"), GGA, NoFix},
        {withNmeaSum("$GPGGA,101500,4530.5,N,00915.2,E,0,00,,,M,,M,,"), GGA, NoFix},
        {withNmeaSum("$GPGGA,101500,4530.5,N,,E,1,03,,,M,,M,,"), GGA, NoFix},
        {"$GPGGA,101500,,\r\n", GGA, NoFix},
        {withNmeaSum("$GPRMC,101500,V,4530.5,N,00915.2,E,,,010203,,"), RMC, NoFix},
        {withNmeaSum("$GPRMC,,V,,,,,,,,,N"), RMC, NoFix},
        // Fields that cannot be converted (without a checksum to catch them).
        {"$GPGGA,101500,45x0.500,N,00915.250,E,1,07,1.2,132.7,M,47.0,M,,\r\n", GGA, Malformed},
        {"$GPGGA,101500,4575.000,N,00915.250,E,1,07,1.2,132.7,M,47.0,M,,\r\n", GGA, Malformed}, // 75 minutes
        {"$GPGGA,101500,9130.000,N,00915.250,E,1,07,1.2,132.7,M,47.0,M,,\r\n", GGA, Malformed}, // past the pole
        {"$GPGGA,101500,4530.500,X,00915.250,E,1,07,1.2,132.7,M,47.0,M,,\r\n", GGA, Malformed},
        {"$GPGGA,251500,4530.500,N,00915.250,E,1,07,1.2,132.7,M,47.0,M,,\r\n", GGA, Malformed},
        {"$GPGGA,,4530.500,N,00915.250,E,1,07,1.2,132.7,M,47.0,M,,\r\n", GGA, Malformed},
        {"$GPGGA,101500,4530.500,N,00915.250,E,1,07,1.2,1x2.7,M,47.0,M,,\r\n", GGA, Malformed},
        {"$GPGGA,101500,4530.500,N,00915.250,E,1,07\r\n", GGA, Malformed},
        // Other sentences, other types, no sentence at all, or none chosen: only logged.
        {withNmeaSum("$GPGSV,3,1,11,01,78,221,47,03,09,042,00,04,05,242,00,06,04,149,00"), GGA, Other},
        {withNmeaSum("$GPRMC,101500,A,4530.500,N,00915.250,E,0.0,0.0,010203,,"), GGA, Other},
        {body.mid(1) + "\r\n", GGA, Other},
        {withNmeaSum("$GPGGAX,101500,4530.500,N,00915.250,E,1,07,1.2,132.7,M,47.0,M,,"), GGA, Other},
        {"\r\n", GGA, Other},
        {QByteArray("\xA0\xA2\x00\x29\x02\xff\xfe\r\n", 9), GGA, Other},
        {good, NmeaSentence(0), Other},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line.constData());
        NmeaCapture capture(c.type, 0);
        capture.start(kToday, 0.0);
        const auto r = capture.feedLine(c.line, 1.0);
        EXPECT_EQ(r.verdict, c.verdict);
        EXPECT_EQ(r.point ? pointText(*r.point) : QString(), QLatin1String(c.point));
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

    // One sentence a second with nmeaTime 5 (+ taken, . too soon, 0 no fix): the first fix after
    // more than 5 s, then every sixth; the no-fix sentence does not restart the interval.
    NmeaCapture spaced(GGA, 5);
    spaced.start(kToday, 100.0);
    QString verdicts;
    for (int s = 1; s <= 20; ++s) {
        const QByteArray line = s == 12 ? withNmeaSum("$GPGGA,101500,,,,,0,00,,,,,,,")
                                        : withNmeaSum("$GPGGA,101500,4530.5,N,00915.25,E,1,07,1.2,10,M,,M,,");
        const NmeaVerdict v = spaced.feedLine(line, 100.0 + s).verdict;
        verdicts += v == NmeaVerdict::Accepted ? u'+' : v == NmeaVerdict::TooSoon ? u'.' : u'0';
    }
    EXPECT_EQ(verdicts, QLatin1String(".....+.....0+.....+."));
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
    // Runs the loop until it has read this many lines.
    int32_t runFor(int lines, NmeaCapture &c)
    {
        options.keepRunning = [lines, n = 0]() mutable { return ++n < lines; };
        return runNmeaCapture(link, c, track, options);
    }
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
    EXPECT_EQ(runFor(3, capture), 2);
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
    const QByteArray fix = withNmeaSum("$GPGGA,101500,4530.5,N,00915.25,E,1,07,1.2,10,M,,M,,");
    fake.feed(fix);
    EXPECT_EQ(errorOf([&] { runNmeaCapture(link, capture, track, options); }), QLatin1String("20001 - Input Time Out"));
    EXPECT_EQ(track.count(), 1); // taken before the silence: it stays

    // The interval counts on the loop's clock: one that stands still takes no fix.
    options.now = [] { return 0.0; };
    fake.feed(fix);
    EXPECT_EQ(runFor(1, capture), 0);
}

TEST_F(NmeaLoop, AFixTimeOutEndsAStreamWithoutFixesOnly)
{
    // Ten lines, then silence: the error, and how many lines were read.
    auto run = [&](NmeaCapture &c, const QByteArray &line) {
        fake.feed(line.repeated(10));
        log.clear();
        const QString error = errorOf([&] { runNmeaCapture(link, c, track, options); }).left(5);
        return error + QStringLiteral(" after %1 lines").arg(log.count(QLatin1String("<-- $")));
    };
    options.fixTimeoutMs = 3000; // three looks at the clock
    // Fixes within the interval count as fixes: all ten lines are read, then the silence ends it.
    NmeaCapture spaced(GGA, 100);
    EXPECT_EQ(run(spaced, withNmeaSum("$GPGGA,101500,4530.5,N,00915.25,E,1,07,1.2,10,M,,M,,")), QLatin1String("20001 after 10 lines"));
    EXPECT_EQ(run(capture, withNmeaSum("$GPGGA,101500,,,,,0,00,,,,,,,")), QLatin1String("20006 after 1 lines"));
    EXPECT_TRUE(track.isEmpty());
}

TEST_F(NmeaLoop, Garmin48GivesTheFixesOfItsLog)
{
    // 92 lines in seven cycles, each with a GGA and an RMC fix at the same place; one line cut short.
    const QByteArray bytes = test::receiverLog(QStringLiteral("nmea/garmin48.log"));
    const char *times[] = {"22:53:08", "22:53:10", "22:53:12", "22:53:14", "22:53:16", "22:53:18", "22:53:34"};
    for (NmeaSentence sentence : {GGA, RMC}) {
        fake.feed(bytes);
        log.clear();
        track.clear();
        NmeaCapture c(sentence, 0);
        runFor(92, c);
        QStringList expected;
        for (int i = 0; i < 7; ++i)
            expected << QStringLiteral("TP -45.4576333 167.1527500 %1 | 01/03/2024 %2").arg(sentence == RMC ? 0 : i < 6 ? 14 : 12)
                            .arg(times[i]);
        EXPECT_EQ(test::pointTexts(track), expected);
        EXPECT_EQ(log.count(QLatin1String("<-- $")), 92);
        EXPECT_EQ(log.count(QLatin1String("*7\r\n")), 1); // the truncated line
    }
}

TEST_F(NmeaLoop, LogsWithoutNmeaGiveNoFix)
{
    // These receivers speak their binary protocol: one log holds two CR LF by chance, the
    // other none, so the wait for a line after them ends with the time-out.
    fake.feed(test::receiverLog(QStringLiteral("nmea/bu303-moving.log")));
    EXPECT_EQ(runFor(2, capture), 0);
    fake.feed(test::receiverLog(QStringLiteral("nmea/bu303-nofix.log")));
    EXPECT_EQ(errorOf([&] { runFor(2, capture); }), QLatin1String("20003 - No complete NMEA line within the time-out"));
    EXPECT_TRUE(track.isEmpty());
}
