#include "gps/Nmea.h"

#include "base/Clock.h"
#include "base/DateValue.h"
#include "base/Error.h"
#include "base/Messages.h"
#include "gps/GarminLink.h"

#include <QList>
#include <chrono>
#include <cmath>

namespace gipso {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool allDigits(QByteArrayView s)
{
    for (char c : s)
        if (!isDigit(c))
            return false;
    return true;
}

int digitsValue(QByteArrayView s)
{
    int v = 0;
    for (char c : s)
        v = v * 10 + (c - '0');
    return v;
}

QByteArrayView chopLineEnd(QByteArrayView line)
{
    while (!line.isEmpty() && (line.back() == '\n' || line.back() == '\r'))
        line.chop(1);
    return line;
}

// ddmm[.fff] (degreeDigits = 2) or dddmm[.fff] (3): degrees + (minutes + fraction) / 60.
// The digits are read as whole numbers and the fraction scaled from its digits, so no
// decimal separator of the locale is ever involved.
std::optional<double> readAngle(QByteArrayView field, int degreeDigits, int maxDegrees)
{
    qsizetype dot = field.indexOf('.');
    QByteArrayView whole = dot < 0 ? field : field.first(dot);
    QByteArrayView fraction = dot < 0 ? QByteArrayView() : field.sliced(dot + 1);
    if (whole.size() != degreeDigits + 2 || !allDigits(whole) || !allDigits(fraction))
        return std::nullopt;
    const int degrees = digitsValue(whole.first(degreeDigits));
    const int minutes = digitsValue(whole.sliced(degreeDigits));
    double frac = 0.0;
    double scale = 1.0;
    for (char c : fraction) {
        scale /= 10.0;
        frac += (c - '0') * scale;
    }
    if (minutes >= 60)
        return std::nullopt;
    const double value = degrees + (minutes + frac) / 60.0;
    if (value > maxDegrees)
        return std::nullopt;
    return value;
}

// The hemisphere letter: +1 for the positive one, -1 for the negative one, 0 for anything else.
int hemisphereSign(QByteArrayView field, char positive, char negative)
{
    if (field.size() != 1)
        return 0;
    const char c = static_cast<char>(field.front() & ~0x20); // upper case
    return c == positive ? 1 : c == negative ? -1 : 0;
}

// hhmmss with an optional fraction; only the whole seconds are kept.
std::optional<int> readTime(QByteArrayView field)
{
    if (field.size() < 6 || !allDigits(field.first(6)))
        return std::nullopt;
    const int h = digitsValue(field.sliced(0, 2));
    const int m = digitsValue(field.sliced(2, 2));
    int s = digitsValue(field.sliced(4, 2));
    if (h > 23 || m > 59 || s > 60)
        return std::nullopt;
    if (s == 60) // a leap second stays within its minute
        s = 59;
    return h * 3600 + m * 60 + s;
}

// The whole metres of an altitude text: the part before the first '.', an optional sign and
// digits; an empty text is 0.
std::optional<float> readAltitude(QByteArrayView text)
{
    qsizetype dot = text.indexOf('.');
    if (dot >= 0)
        text = text.first(dot);
    bool negative = false;
    if (!text.isEmpty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text = text.sliced(1);
    }
    if (!allDigits(text) || text.size() > 6)
        return std::nullopt;
    const int v = digitsValue(text);
    return static_cast<float>(negative ? -v : v);
}

} // namespace

QString nmeaSentenceName(NmeaSentence sentence)
{
    switch (sentence) {
    case NmeaSentence::GGA: return QStringLiteral("GGA");
    case NmeaSentence::RMC: return QStringLiteral("RMC");
    }
    return {};
}

std::optional<NmeaSentence> nmeaSentenceNamed(const QString &name)
{
    for (NmeaSentence s : {NmeaSentence::GGA, NmeaSentence::RMC})
        if (name.trimmed().compare(nmeaSentenceName(s), Qt::CaseInsensitive) == 0)
            return s;
    return std::nullopt;
}

int nmeaChecksum(QByteArrayView line)
{
    line = chopLineEnd(line);
    if (!line.isEmpty() && line.front() == '$')
        line = line.sliced(1);
    const qsizetype star = line.indexOf('*');
    if (star >= 0)
        line = line.first(star);
    unsigned char x = 0;
    for (char c : line)
        x ^= static_cast<unsigned char>(c);
    return x;
}

NmeaParsed parseNmeaSentence(QByteArrayView line, NmeaSentence sentence)
{
    NmeaParsed out;
    const QString wanted = nmeaSentenceName(sentence);
    line = chopLineEnd(line);
    // "$" + two talker letters + the sentence name, whatever the talker.
    if (wanted.isEmpty() || line.size() < 7 || line.front() != '$' || line[6] != ',' ||
        line.sliced(3, 3) != wanted.toLatin1())
        return out;

    QByteArrayView body = line.sliced(1);
    const qsizetype star = body.indexOf('*');
    if (star >= 0) {
        const QByteArrayView received = body.sliced(star + 1);
        const int expected = nmeaChecksum(line);
        bool ok = false;
        const int value = received.size() == 2 ? QByteArray(received.data(), 2).toInt(&ok, 16) : -1;
        if (!ok || value != expected) {
            out.verdict = NmeaVerdict::BadChecksum;
            out.expectedChecksum = expected;
            out.receivedChecksum = received.toByteArray();
            return out;
        }
        body = body.first(star);
    }

    QList<QByteArrayView> f;
    for (qsizetype from = 0;;) {
        const qsizetype comma = body.indexOf(',', from);
        f.append(body.sliced(from, (comma < 0 ? body.size() : comma) - from));
        if (comma < 0)
            break;
        from = comma + 1;
    }

    // Field positions of the two sentences.
    const bool gga = sentence == NmeaSentence::GGA;
    const int iTime = 1, iLat = gga ? 2 : 3, iNS = iLat + 1, iLon = iLat + 2, iEW = iLat + 3;
    const int needed = gga ? 11 : 8;
    auto field = [&f](int i) { return i < f.size() ? f[i] : QByteArrayView(); };
    if (field(iLat).isEmpty() || field(iLon).isEmpty() || (gga && field(6) == "0") || (!gga && field(2) == "V")) {
        out.verdict = NmeaVerdict::NoFix;
        return out;
    }
    if (f.size() < needed) {
        out.verdict = NmeaVerdict::Malformed;
        return out;
    }

    const auto time = readTime(f[iTime]);
    const auto lat = readAngle(f[iLat], 2, 90);
    const auto lon = readAngle(f[iLon], 3, 180);
    const int ns = hemisphereSign(f[iNS], 'N', 'S');
    const int ew = hemisphereSign(f[iEW], 'E', 'W');
    // GGA carries the altitude and its unit; RMC none (its "unit" position holds the speed).
    std::optional<float> alt = 0.0f;
    if (gga && (f[10] == "M" || f[10] == "m"))
        alt = readAltitude(f[9]);
    if (!time || !lat || !lon || ns == 0 || ew == 0 || !alt) {
        out.verdict = NmeaVerdict::Malformed;
        return out;
    }
    out.verdict = NmeaVerdict::Accepted;
    out.fix.latitude = ns * *lat;
    out.fix.longitude = ew * *lon;
    out.fix.altitude = *alt;
    out.fix.secondsOfDay = *time;
    return out;
}

NmeaCapture::NmeaCapture(NmeaSentence sentence, int interval) : sentence_(sentence), interval_(interval) {}

void NmeaCapture::start(const QDate &today, double nowSeconds)
{
    nmeaDate_ = toDateValue(today);
    nmeaLastTime_ = 0.0;
    t0_ = nowSeconds;
}

NmeaCapture::Result NmeaCapture::feedLine(QByteArrayView line, double nowSeconds)
{
    Result r;
    r.parsed = parseNmeaSentence(line, sentence_);
    r.verdict = r.parsed.verdict;
    if (r.verdict != NmeaVerdict::Accepted)
        return r;
    // A fix is taken only when strictly more than the interval has passed since the last one.
    if (!(nowSeconds - t0_ > interval_)) {
        r.verdict = NmeaVerdict::TooSoon;
        return r;
    }
    const double t = r.parsed.fix.secondsOfDay / 86400.0;
    if (t < nmeaLastTime_) // past midnight: the fixes belong to the next day
        nmeaDate_ += 1.0;
    nmeaLastTime_ = t;
    t0_ = nowSeconds;

    GpsPoint p;
    p.kind = PointKind::Track;
    p.latitude = r.parsed.fix.latitude;
    p.longitude = r.parsed.fix.longitude;
    p.altitude = r.parsed.fix.altitude;
    p.date = nmeaDate_;
    p.time = t;
    r.point = std::move(p);
    return r;
}

double nmeaClockSeconds()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

int32_t runNmeaCapture(GarminLink &link, NmeaCapture &capture, PointList &trackPoints, const NmeaRunOptions &options)
{
    const auto now = options.now ? options.now : std::function<double()>(nmeaClockSeconds);
    capture.start(currentDateTime().date(), now());
    std::optional<double> fixDeadline;
    if (options.fixTimeoutMs)
        fixDeadline = now() + *options.fixTimeoutMs / 1000.0;
    bool linesSinceFix = false;
    int32_t taken = 0;
    for (;;) {
        // The wait for a line is cut short at the end time and at the fix deadline.
        bool cutByEnd = false;
        bool cutByFix = false;
        int waitMs = options.lineTimeoutMs;
        if (options.endAt || fixDeadline) {
            const double t = now();
            if (options.endAt && t >= *options.endAt)
                break;
            if (fixDeadline && t >= *fixDeadline)
                throw GipsoError(kNoFixError, messageText(msg::NoPositionFix));
            auto cutAt = [&](double at, bool &cut) {
                const double leftMs = std::ceil((at - t) * 1000.0);
                if (leftMs < waitMs) {
                    waitMs = static_cast<int>(leftMs);
                    cut = true;
                }
            };
            if (fixDeadline)
                cutAt(*fixDeadline, cutByFix);
            if (options.endAt)
                cutAt(*options.endAt, cutByEnd);
        }
        QString line;
        try {
            line = link.receiveLine(waitMs); // also puts "<-- " + the line into the exchange log
        } catch (const GipsoError &e) {
            const bool timedOut = e.number() == kInputTimeOutError || e.number() == kNoValidInputError;
            if (timedOut && cutByEnd)
                break;
            // Lines without a fix until the deadline; a line silent since the last fix keeps its error.
            if (timedOut && cutByFix && linesSinceFix)
                throw GipsoError(kNoFixError, messageText(msg::NoPositionFix));
            throw;
        }
        linesSinceFix = true;
        const QByteArray bytes = line.toLatin1();
        const double t = now();
        NmeaCapture::Result r = capture.feedLine(bytes, t);
        if (r.verdict == NmeaVerdict::BadChecksum)
            link.log(checksumWarning(QString::number(r.parsed.expectedChecksum, 16).toUpper().rightJustified(2, u'0'),
                                     QString::fromLatin1(r.parsed.receivedChecksum)));
        if (fixDeadline && (r.verdict == NmeaVerdict::Accepted || r.verdict == NmeaVerdict::TooSoon)) {
            fixDeadline = t + *options.fixTimeoutMs / 1000.0;
            linesSinceFix = false;
        }
        if (r.point) {
            // Appended whole, once converted: the list never holds a partial point.
            trackPoints.append(*r.point);
            ++taken;
        }
        if (options.onLine)
            options.onLine(line, r);
        if (r.point && options.onPoint)
            options.onPoint(trackPoints[trackPoints.count()]);
        if (options.keepRunning && !options.keepRunning())
            break;
    }
    return taken;
}

} // namespace gipso
