#include "gps/Nmea.h"

#include "base/DateValue.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace gipso;

namespace {

QByteArray withSum(const QByteArray &sentence) { return test::withNmeaSum(sentence); }

const QDate kToday(2024, 3, 1);

} // namespace

TEST(Nmea, GgaAndRmcConvertAsTheReceiverMeansThem)
{
    NmeaCapture gga(nmea::GGA, 0);
    gga.start(kToday, 0.0);
    auto r = gga.feedLine("$GPGGA,101500,4530.500,N,00915.250,E,1,07,1.2,132.7,M,47.0,M,,\r\n", 1.0);
    ASSERT_EQ(r.verdict, NmeaVerdict::Accepted);
    const GpsPoint &p = *r.point;
    EXPECT_NEAR(p.latitude, 45.5083333333, 1e-9);
    EXPECT_NEAR(p.longitude, 9.2541666667, 1e-9);
    EXPECT_EQ(p.altitude, 132.0f); // whole metres, never a locale-dependent parse
    EXPECT_EQ(formatTimeValue(p.time), "10:15:00");
    EXPECT_EQ(dateOfValue(p.date), kToday);
    EXPECT_EQ(p.kind, PointKind::Track);

    // The same position as RMC: no altitude, and the sentence's own date is ignored.
    NmeaCapture rmc(nmea::RMC, 0);
    rmc.start(kToday, 0.0);
    r = rmc.feedLine("$GPRMC,101500,A,4530.500,N,00915.250,E,0.0,0.0,010203,,\r\n", 1.0);
    ASSERT_EQ(r.verdict, NmeaVerdict::Accepted);
    EXPECT_NEAR(r.point->latitude, 45.5083333333, 1e-9);
    EXPECT_NEAR(r.point->longitude, 9.2541666667, 1e-9);
    EXPECT_EQ(r.point->altitude, 0.0f);
    EXPECT_EQ(dateOfValue(r.point->date), kToday);

    // Any talker; hemispheres in either case; no fraction; a valid checksum in lower case;
    // an altitude in feet is not taken; a negative altitude keeps its sign.
    struct Case {
        QByteArray line;
        double lat, lon;
        float alt;
    } cases[] = {
        {withSum("$GNGGA,000001,4530,S,00915,W,1,07,1.2,-12.9,M,47.0,M,,"), -45.5, -9.25, -12.0f},
        {"$IIGGA,000001.00,4530.5,s,00915.25,w,2,07,1.2,100.0,F,,,,*16\r\n", -45.508333333, -9.254166667, 0.0f},
        {withSum("$GPGGA,123519,4807.038,n,01131.000,e,1,08,0.9,545.4,M,46.9,M,,"), 48.1173, 11.516666667, 545.0f},
        {withSum("$GPGGA,123519,0000.000,N,18000.000,E,1,08,0.9,,M,46.9,M,,"), 0.0, 180.0, 0.0f},
    };
    for (const Case &c : cases) {
        NmeaParsed parsed = parseNmeaSentence(c.line, nmea::GGA);
        ASSERT_EQ(parsed.verdict, NmeaVerdict::Accepted) << c.line.constData();
        EXPECT_NEAR(parsed.fix.latitude, c.lat, 1e-8) << c.line.constData();
        EXPECT_NEAR(parsed.fix.longitude, c.lon, 1e-8) << c.line.constData();
        EXPECT_EQ(parsed.fix.altitude, c.alt) << c.line.constData();
    }
    EXPECT_EQ(parseNmeaSentence(cases[0].line, nmea::GGA).fix.secondsOfDay, 1);
    EXPECT_EQ(parseNmeaSentence(withSum("$GPRMC,235960,A,4530.5,N,00915.25,E,,,,,"), nmea::RMC).fix.secondsOfDay,
              86399); // a leap second stays in its day
}

TEST(Nmea, BadSentencesNeverMakeAPoint)
{
    const QByteArray good = withSum("$GPGGA,101500,4530.500,N,00915.250,E,1,07,1.2,132.7,M,47.0,M,,");
    ASSERT_EQ(parseNmeaSentence(good, nmea::GGA).verdict, NmeaVerdict::Accepted);

    // A present and wrong checksum: one digit changed, a truncated one, garbage after '*'.
    QByteArray wrong = good;
    wrong[good.indexOf('*') + 2] = wrong[good.indexOf('*') + 2] == '0' ? '1' : '0';
    const QByteArray truncated = good.left(good.indexOf('*') + 2) + "\r\n";
    const QByteArray noise = good.left(good.indexOf('*') + 1) + "ZZ\r\n";
    for (const QByteArray &line : {wrong, truncated, noise}) {
        NmeaParsed parsed = parseNmeaSentence(line, nmea::GGA);
        EXPECT_EQ(parsed.verdict, NmeaVerdict::BadChecksum) << line.constData();
        EXPECT_EQ(parsed.expectedChecksum, nmeaChecksum(good));
    }
    // A corrupted character in the body is caught by the checksum, not read as a position.
    QByteArray corrupted = good;
    corrupted[good.indexOf("4530")] = '7';
    EXPECT_EQ(parseNmeaSentence(corrupted, nmea::GGA).verdict, NmeaVerdict::BadChecksum);

    // No position fix: empty position fields, quality 0, RMC status V, a line cut short.
    for (const QByteArray &line :
         {withSum("$GPGGA,101500,,,,,0,00,99.9,,,,,,"), withSum("$GPGGA,101500,4530.5,N,00915.2,E,0,00,,,M,,M,,"),
          withSum("$GPGGA,101500,4530.5,N,,E,1,03,,,M,,M,,"), QByteArray("$GPGGA,101500,,\r\n")})
        EXPECT_EQ(parseNmeaSentence(line, nmea::GGA).verdict, NmeaVerdict::NoFix) << line.constData();
    EXPECT_EQ(parseNmeaSentence(withSum("$GPRMC,101500,V,4530.5,N,00915.2,E,,,010203,,"), nmea::RMC).verdict,
              NmeaVerdict::NoFix);
    EXPECT_EQ(parseNmeaSentence(withSum("$GPRMC,,V,,,,,,,,,N"), nmea::RMC).verdict, NmeaVerdict::NoFix);

    // Fields that cannot be converted (without a checksum to catch them).
    for (const QByteArray &line : {
             QByteArray("$GPGGA,101500,45x0.500,N,00915.250,E,1,07,1.2,132.7,M,47.0,M,,\r\n"),
             QByteArray("$GPGGA,101500,4575.000,N,00915.250,E,1,07,1.2,132.7,M,47.0,M,,\r\n"), // 75 minutes
             QByteArray("$GPGGA,101500,9130.000,N,00915.250,E,1,07,1.2,132.7,M,47.0,M,,\r\n"), // past the pole
             QByteArray("$GPGGA,101500,4530.500,X,00915.250,E,1,07,1.2,132.7,M,47.0,M,,\r\n"),
             QByteArray("$GPGGA,251500,4530.500,N,00915.250,E,1,07,1.2,132.7,M,47.0,M,,\r\n"),
             QByteArray("$GPGGA,,4530.500,N,00915.250,E,1,07,1.2,132.7,M,47.0,M,,\r\n"),
             QByteArray("$GPGGA,101500,4530.500,N,00915.250,E,1,07,1.2,1x2.7,M,47.0,M,,\r\n"),
             QByteArray("$GPGGA,101500,4530.500,N,00915.250,E,1,07\r\n"),
         })
        EXPECT_EQ(parseNmeaSentence(line, nmea::GGA).verdict, NmeaVerdict::Malformed) << line.constData();

    // Other sentences, other types, and text that is no sentence at all are only logged.
    for (const QByteArray &line :
         {withSum("$GPGSV,3,1,11,01,78,221,47,03,09,042,00,04,05,242,00,06,04,149,00"),
          withSum("$GPRMC,101500,A,4530.500,N,00915.250,E,0.0,0.0,010203,,"), withSum("$PGRMZ,48,f,3"),
          QByteArray("GPGGA,101500,4530.500,N,00915.250,E,1,07,1.2,132.7,M,47.0,M,,\r\n"),
          withSum("$GPGGAX,101500,4530.500,N,00915.250,E,1,07,1.2,132.7,M,47.0,M,,"), QByteArray("\r\n"),
          QByteArray("\xA0\xA2\x00\x29\x02\xff\xfe\r\n", 9)})
        EXPECT_EQ(parseNmeaSentence(line, nmea::GGA).verdict, NmeaVerdict::Other) << line.constData();

    // Through the capture: nothing rejected ever reaches the list, and the date is untouched.
    NmeaCapture capture(nmea::GGA, 0);
    capture.start(kToday, 0.0);
    double now = 0.0;
    for (const QByteArray &line : {wrong, truncated, corrupted, withSum("$GPGGA,101500,,,,,0,00,99.9,,,,,,")})
        EXPECT_FALSE(capture.feedLine(line, now += 1.0).point.has_value());
    EXPECT_EQ(capture.nmeaLastTime(), 0.0);
    EXPECT_TRUE(capture.feedLine(good, now += 1.0).point.has_value());
}

TEST(Nmea, MidnightRollOverAdvancesTheDate)
{
    NmeaCapture capture(nmea::RMC, 0);
    capture.start(kToday, 0.0);
    auto fix = [&](const char *time, double now) {
        return capture.feedLine(withSum(QByteArray("$GPRMC,") + time + ",A,4530.5,N,00915.25,E,0.0,0.0,010203,,"),
                                now);
    };
    auto a = fix("235959", 1.0);
    auto b = fix("000001", 2.0);
    auto c = fix("000001", 3.0); // the same time again is not a new day
    auto d = fix("120000", 4.0);
    ASSERT_TRUE(a.point && b.point && c.point && d.point);
    EXPECT_EQ(dateOfValue(a.point->date), kToday);
    EXPECT_EQ(formatTimeValue(a.point->time), "23:59:59");
    EXPECT_EQ(dateOfValue(b.point->date), kToday.addDays(1));
    EXPECT_EQ(formatTimeValue(b.point->time), "00:00:01");
    EXPECT_EQ(dateOfValue(c.point->date), kToday.addDays(1));
    EXPECT_EQ(dateOfValue(d.point->date), kToday.addDays(1));
    // A second midnight.
    auto e = fix("000000", 5.0);
    ASSERT_TRUE(e.point);
    EXPECT_EQ(dateOfValue(e.point->date), kToday.addDays(2));
}

TEST(Nmea, IntervalTakesAFixOnlyAfterMoreThanTheSetSeconds)
{
    // One sentence a second with nmeaTime 5: the first fix after more than 5 s, then every sixth.
    NmeaCapture capture(nmea::GGA, 5);
    capture.start(kToday, 100.0);
    std::vector<int> taken;
    for (int s = 1; s <= 20; ++s) {
        const QByteArray time = QByteArray::number(100000 + s).rightJustified(6, '0');
        auto r = capture.feedLine(withSum("$GPGGA," + time + ",4530.5,N,00915.25,E,1,07,1.2,10,M,,M,,"), 100.0 + s);
        if (r.point)
            taken.push_back(s);
        else
            EXPECT_EQ(r.verdict, NmeaVerdict::TooSoon);
    }
    EXPECT_EQ(taken, (std::vector<int>{6, 12, 18}));

    // Rejected sentences do not restart the interval.
    NmeaCapture second(nmea::GGA, 2);
    second.start(kToday, 0.0);
    EXPECT_EQ(second.feedLine(withSum("$GPGGA,101500,,,,,0,00,,,,,,,"), 3.0).verdict, NmeaVerdict::NoFix);
    EXPECT_TRUE(second.feedLine(withSum("$GPGGA,101501,4530.5,N,00915.25,E,1,07,1.2,10,M,,M,,"), 3.5).point);

    // Interval 0: every good fix, as long as the clock has moved at all.
    NmeaCapture every(nmea::GGA, 0);
    every.start(kToday, 0.0);
    const QByteArray line = withSum("$GPGGA,101500,4530.5,N,00915.25,E,1,07,1.2,10,M,,M,,");
    EXPECT_EQ(every.feedLine(line, 0.0).verdict, NmeaVerdict::TooSoon);
    EXPECT_TRUE(every.feedLine(line, 0.001).point);
    EXPECT_TRUE(every.feedLine(line, 0.002).point);
}

TEST(Nmea, SentenceNames)
{
    EXPECT_EQ(nmeaSentenceValue("rmc"), nmea::RMC);
    EXPECT_EQ(nmeaSentenceValue("GSV"), 0);
    // With no sentence selected nothing is converted.
    EXPECT_EQ(parseNmeaSentence(withSum("$GPGGA,101500,4530.5,N,00915.25,E,1,07,1.2,10,M,,M,,"), 0).verdict, NmeaVerdict::Other);
}
