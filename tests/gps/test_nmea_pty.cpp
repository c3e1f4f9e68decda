// Real receiver logs played through a pseudo-terminal into the acquisition loop.
#include "support/PtyFeeder.h"

#include "base/Clock.h"
#include "base/DateValue.h"
#include "base/Error.h"
#include "base/Messages.h"
#include "gps/GarminLink.h"
#include "gps/Nmea.h"
#include "gps/SerialLink.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace gipso;
using gipso::test::PtyFeeder;

namespace {

// The lines of a byte stream as a reader that waits for CR LF sees them.
QList<QByteArray> streamLines(const QByteArray &bytes)
{
    QList<QByteArray> lines;
    QByteArray acc;
    for (char c : bytes) {
        acc += c;
        if (acc.size() > 2 && acc.endsWith("\r\n")) {
            lines << acc;
            acc.clear();
        }
    }
    return lines;
}

struct Expected {
    double lat = 0, lon = 0;
    float alt = 0;
    QString time;
};

// A reading of one log line: the fix it carries, if it is a sound sentence of the type.
std::optional<Expected> readFix(QByteArray line, const QByteArray &type)
{
    line = line.trimmed();
    if (!line.startsWith('$') || line.mid(3, 4) != type + ',')
        return std::nullopt;
    const qsizetype star = line.indexOf('*');
    if (star >= 0) {
        if (test::withNmeaSum(line.left(star)).trimmed() != line.left(star) + '*' + line.mid(star + 1).toUpper())
            return std::nullopt;
        line.truncate(star);
    }
    const QList<QByteArray> f = line.split(',');
    const bool gga = type == "GGA";
    const int la = gga ? 2 : 3;
    if (f.size() < (gga ? 11 : 8) || f[la].isEmpty() || f[la + 2].isEmpty() || (gga && f[6] == "0") ||
        (!gga && f[2] == "V"))
        return std::nullopt;
    Expected e;
    e.lat = (f[la].left(2).toDouble() + f[la].mid(2).toDouble() / 60.0) * (f[la + 1] == "S" ? -1 : 1);
    e.lon = (f[la + 2].left(3).toDouble() + f[la + 2].mid(3).toDouble() / 60.0) * (f[la + 3] == "W" ? -1 : 1);
    e.alt = gga && f[10] == "M" ? static_cast<float>(std::trunc(f[9].toDouble())) : 0.0f;
    e.time = QString::fromLatin1(f[1].left(2) + ':' + f[1].mid(2, 2) + ':' + f[1].mid(4, 2));
    return e;
}

struct PlayResult {
    std::vector<GpsPoint> points;
    QStringList log;
    int errorNumber = 0;
};

// Plays the bytes through a pty into runNmeaCapture; the loop ends after the last complete
// line, or with the time-out when the stream holds none. now: the capture's clock.
PlayResult play(const QByteArray &bytes, int sentence, int interval, std::function<double()> now = {})
{
    PlayResult run;
    PtyFeeder pty;
    EXPECT_TRUE(pty.ok());
    SerialLink serial;
    QString why;
    EXPECT_TRUE(serial.open(pty.slavePath(), 4800, &why)) << why.toStdString();
    GarminLink link(serial);
    link.setExchangeLog([&](const QString &line) { run.log << line; });
    const qsizetype total = streamLines(bytes).size();
    qsizetype seen = 0;
    PointList track;
    NmeaCapture capture(sentence, interval);
    NmeaRunOptions options;
    options.lineTimeoutMs = 1000;
    options.keepRunning = [&] { return ++seen < total; };
    options.now = std::move(now);
    pty.feed(bytes);
    try {
        runNmeaCapture(link, capture, track, options);
    } catch (const GipsoError &e) {
        run.errorNumber = e.number();
    }
    run.points.assign(track.begin(), track.end());
    return run;
}

void expectSame(const std::vector<GpsPoint> &got, const std::vector<Expected> &want, const QDate &date)
{
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < got.size(); ++i) {
        EXPECT_NEAR(got[i].latitude, want[i].lat, 1e-9) << i;
        EXPECT_NEAR(got[i].longitude, want[i].lon, 1e-9) << i;
        EXPECT_EQ(got[i].altitude, want[i].alt) << i;
        EXPECT_EQ(formatTimeValue(got[i].time), want[i].time) << i;
        EXPECT_EQ(dateOfValue(got[i].date), date) << i;
        EXPECT_EQ(got[i].kind, PointKind::Track);
    }
}

class NmeaPty : public ::testing::Test {
protected:
    void SetUp() override
    {
        setClock([] { return QDateTime(QDate(2001, 6, 6), QTime(22, 50)); });
    }
    void TearDown() override { setClock({}); }
};

} // namespace

TEST_F(NmeaPty, Garmin48GivesTheFixesOfItsLog)
{
    const QByteArray bytes = test::receiverLog("nmea/garmin48.log");
    const QList<QByteArray> lines = streamLines(bytes);
    for (const QByteArray &type : {QByteArray("GGA"), QByteArray("RMC")}) {
        std::vector<Expected> want;
        for (const QByteArray &line : lines)
            if (auto e = readFix(line, type))
                want.push_back(*e);
        ASSERT_EQ(want.size(), 7u) << type.constData(); // seven cycles, every one with a fix
        PlayResult run = play(bytes, type == "GGA" ? nmea::GGA : nmea::RMC, 0);
        EXPECT_EQ(run.errorNumber, 0);
        expectSame(run.points, want, QDate(2001, 6, 6));
        // Every line is in the exchange log, and the truncated one among them.
        EXPECT_EQ(run.log.filter(QStringLiteral("<-- $")).size(), lines.size());
        EXPECT_EQ(run.log.filter(QStringLiteral("*7\r\n")).size(), 1);
    }
}

TEST_F(NmeaPty, IntervalCountsOnTheCaptureClock)
{
    // The capture's clock advances one second per line, counted from the start; with an
    // interval of 40 s the one fix taken is the first after line 40 (GGA comes every 13 lines
    // or so, and the log is too short for a second). The steps themselves are tested in Nmea.
    const QByteArray bytes = test::receiverLog("nmea/garmin48.log");
    const QList<QByteArray> lines = streamLines(bytes);
    std::optional<Expected> first;
    for (qsizetype k = 40; k < lines.size() && !first; ++k)
        first = readFix(lines[k], "GGA");
    ASSERT_TRUE(first);
    double clock = 0;
    PlayResult run = play(bytes, nmea::GGA, 40, [&clock] { return clock++; });
    EXPECT_EQ(run.errorNumber, 0);
    expectSame(run.points, {*first}, QDate(2001, 6, 6));
}

TEST_F(NmeaPty, LogsWithoutNmeaGiveNoFixAndEndWithTheTimeOut)
{
    // These two receivers speak their binary protocol: nothing in them is a sentence.
    for (const char *name : {"nmea/bu303-nofix.log", "nmea/bu303-moving.log"}) {
        const QByteArray bytes = test::receiverLog(name);
        ASSERT_FALSE(bytes.isEmpty());
        for (int sentence : {nmea::GGA, nmea::RMC}) {
            PlayResult run = play(bytes, sentence, 0);
            EXPECT_TRUE(run.points.empty()) << name;
            // Without a single complete line the wait ends with the time-out.
            EXPECT_EQ(run.errorNumber, streamLines(bytes).isEmpty() ? kInputTimeOutError : 0) << name;
        }
    }
}

TEST_F(NmeaPty, FaultyLinesAreLoggedAndSkipped)
{
    const auto sum = test::withNmeaSum;
    const QByteArray good = sum("$GNGGA,235958,4530.500,N,00915.250,E,1,07,1.2,132.7,M,47.0,M,,");
    QByteArray badSum = sum("$GPGGA,235959,4530.600,N,00915.250,E,1,07,1.2,132.7,M,47.0,M,,");
    badSum[badSum.size() - 3] = badSum[badSum.size() - 3] == 'A' ? 'B' : 'A';
    const QByteArray stream = good + badSum + sum("$GPGGA,235959,,,,,0,00,,,,,,,") + "$GPGGA,000000,4530.7\r\n" +
                              sum("$GPGSV,1,1,00") + sum("$GPGGA,000001,4530.800,S,00915.250,W,1,07,1.2,-3.9,M,,M,,");
    PlayResult run = play(stream, nmea::GGA, 0);
    EXPECT_EQ(run.errorNumber, 0);
    ASSERT_EQ(run.points.size(), 2u);
    EXPECT_NEAR(run.points[0].latitude, 45.5083333333, 1e-9);
    EXPECT_EQ(dateOfValue(run.points[0].date), QDate(2001, 6, 6));
    EXPECT_NEAR(run.points[1].latitude, -45.5133333333, 1e-9);
    EXPECT_NEAR(run.points[1].longitude, -9.2541666667, 1e-9);
    EXPECT_EQ(run.points[1].altitude, -3.0f);
    EXPECT_EQ(dateOfValue(run.points[1].date), QDate(2001, 6, 7)); // past midnight
    // Six lines received, and a note for the wrong checksum right after its line.
    EXPECT_EQ(run.log.filter(QStringLiteral("<-- ")).size(), 6);
    qsizetype note = 0;
    while (note < run.log.size() && !run.log[note].startsWith(messageText(657)))
        ++note;
    ASSERT_LT(note, run.log.size());
    ASSERT_GT(note, 0);
    EXPECT_TRUE(run.log[note - 1].contains(QStringLiteral("235959,4530.600")));
}
