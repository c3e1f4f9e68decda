#pragma once

#include "points/PointStore.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QString>
#include <functional>
#include <optional>

namespace gipso {

// The sentence captured; the numbers are the values of nmeaSentence in the settings.
enum class NmeaSentence { GGA = 1, RMC = 2 };

// "GGA" or "RMC"; empty for any other value (a setting that names neither).
QString nmeaSentenceName(NmeaSentence sentence);
// The sentence named "GGA" / "RMC" (any case); nothing when neither.
std::optional<NmeaSentence> nmeaSentenceNamed(const QString &name);

// What became of one received line.
enum class NmeaVerdict {
    Other,       // not a sentence of the selected type: only logged
    BadChecksum, // the checksum is present and does not match
    NoFix,       // the receiver has no position (empty position fields, GGA quality 0, RMC status V)
    Malformed,   // a field that cannot be converted
    TooSoon,     // a good fix, but the interval since the last one taken has not passed
    Accepted,    // a TrackPoint was made
};

// One position read from a sentence.
struct NmeaFix {
    double latitude = 0.0;
    double longitude = 0.0;
    float altitude = 0.0f;
    int secondsOfDay = 0; // hh:mm:ss of the receiver (UTC), whole seconds
};

struct NmeaParsed {
    NmeaVerdict verdict = NmeaVerdict::Other;
    NmeaFix fix;                // valid when verdict is Accepted
    int expectedChecksum = -1;  // for BadChecksum: the XOR of the sentence body
    QByteArray receivedChecksum; // for BadChecksum: the text after '*'
};

// The XOR of the characters between '$' and '*' (or the line end), as the sentence's checksum.
int nmeaChecksum(QByteArrayView line);

// Reads one line (with or without its CR LF) as a sentence of the given type, whatever the
// talker. Every field is checked before anything is converted, so a
// sentence either gives a whole fix or none.
NmeaParsed parseNmeaSentence(QByteArrayView line, NmeaSentence sentence);

// The capture state of one acquisition: the selected sentence, the interval and the date
// given to the fixes. Feed it the received lines; it hands back the TrackPoints to append.
// Times are seconds of a monotonic clock, passed in so the logic runs without a real clock.
class NmeaCapture {
public:
    struct Result {
        NmeaVerdict verdict = NmeaVerdict::Other;
        std::optional<GpsPoint> point; // set when verdict is Accepted
        NmeaParsed parsed;
    };

    // interval: nmeaTime, seconds.
    NmeaCapture(NmeaSentence sentence, int interval);

    // nmeaDate = today, nmeaLastTime = 00:00:00, and the interval counts from now.
    void start(const QDate &today, double nowSeconds);
    Result feedLine(QByteArrayView line, double nowSeconds);

private:
    NmeaSentence sentence_;
    int interval_;
    double nmeaDate_ = 0.0;     // date value
    double nmeaLastTime_ = 0.0; // date value (time of day)
    double t0_ = 0.0;
};

class GarminLink;

// How an acquisition is driven and what it reports; every member may be left empty.
struct NmeaRunOptions {
    std::function<bool()> keepRunning;              // asked after every line; false ends the loop
    std::function<void(const GpsPoint &)> onPoint;  // after a point has been appended
    std::function<void(const QString &line, const NmeaCapture::Result &)> onLine; // every line
    std::function<double()> now;                    // monotonic seconds; default a steady clock
    std::optional<double> endAt;                    // on the now clock: the capture ends quietly then
    int lineTimeoutMs = 10000;                      // the wait for one whole line
    std::optional<int> fixTimeoutMs;                // the longest wait for a fix (taken or too soon)
};

// Raised when fixTimeoutMs passes without a fix.
constexpr int kNoFixError = 20006;

// Monotonic seconds of the default clock of the acquisition.
double nmeaClockSeconds();

// The acquisition loop shared by the communication dialog and the command line: starts the
// capture (nmeaDate = today), then reads lines with receiveLine and appends every accepted fix
// to trackPoints, until keepRunning() says no or endAt passes. A wrong checksum is noted in
// the exchange log. Returns the number of points appended. The errors of receiveLine (a silent
// line, one that brings no complete line, a hang-up) and kNoFixError end the loop as GipsoError
// for the caller; points taken before stay.
int32_t runNmeaCapture(GarminLink &link, NmeaCapture &capture, PointList &trackPoints, const NmeaRunOptions &options);

} // namespace gipso
