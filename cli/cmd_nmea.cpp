// nmea --port DEV [--baud N] [--sentence GGA|RMC] [--interval S] (--duration S | --count N)
//      [--timeout MS] [--verbose] -o FILE
// --timeout: the longest wait for one whole line in milliseconds (10000, as in the dialog).
// Records NMEA fixes as TrackPoints with the same capture loop as the communication dialog.
#include "cli/Commands.h"

#include "app/Error.h"
#include "files/PointFiles.h"
#include "gps/GarminLink.h"
#include "gps/Nmea.h"
#include "gps/SerialLink.h"

#include <cstdio>

namespace gipso::cli {

namespace {

void printErr(const QString &text) { std::fputs(text.toLocal8Bit().constData(), stderr); }

const char *verdictNote(NmeaVerdict v)
{
    switch (v) {
    case NmeaVerdict::BadChecksum: return "skipped: wrong checksum";
    case NmeaVerdict::NoFix: return "skipped: no position fix";
    case NmeaVerdict::Malformed: return "skipped: a field cannot be read";
    case NmeaVerdict::TooSoon: return "skipped: within the interval";
    case NmeaVerdict::Accepted: return "TrackPoint";
    case NmeaVerdict::Other: break;
    }
    return nullptr;
}

} // namespace

int nmea(const QStringList &args)
{
    QString port, out;
    int baud = 4800;
    int sentence = nmea::GGA;
    int interval = 0;
    double duration = -1.0;
    long long count = -1;
    int timeoutMs = 10000;
    bool verbose = false;

    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        auto value = [&](QString &v) {
            if (i + 1 >= args.size())
                return false;
            v = args[++i];
            return true;
        };
        QString v;
        bool ok = true;
        if (a == QLatin1String("--verbose")) {
            verbose = true;
        } else if (a == QLatin1String("--port")) {
            ok = value(port) && !port.isEmpty();
        } else if (a == QLatin1String("-o")) {
            ok = value(out) && !out.isEmpty();
        } else if (a == QLatin1String("--baud")) {
            ok = value(v);
            baud = ok ? v.toInt(&ok) : 0;
            ok = ok && baud > 0;
        } else if (a == QLatin1String("--sentence")) {
            ok = value(v) && (sentence = nmeaSentenceValue(v)) != 0;
        } else if (a == QLatin1String("--interval")) {
            ok = value(v);
            interval = ok ? v.toInt(&ok) : 0;
            ok = ok && interval >= 0 && interval <= 32767;
        } else if (a == QLatin1String("--duration")) {
            ok = value(v);
            duration = ok ? v.toDouble(&ok) : 0.0;
            ok = ok && duration > 0;
        } else if (a == QLatin1String("--timeout")) {
            ok = value(v);
            timeoutMs = ok ? v.toInt(&ok) : 0;
            ok = ok && timeoutMs > 0;
        } else if (a == QLatin1String("--count")) {
            ok = value(v);
            count = ok ? v.toLongLong(&ok) : 0;
            ok = ok && count > 0 && count <= INT32_MAX;
        } else {
            return fail(QStringLiteral("nmea: unknown argument '%1'").arg(a));
        }
        if (!ok)
            return fail(QStringLiteral("nmea: %1 needs a valid value").arg(a));
    }
    if (port.isEmpty())
        return fail(QStringLiteral("nmea: --port DEV is required"));
    if (out.isEmpty())
        return fail(QStringLiteral("nmea: -o FILE is required"));
    if (duration < 0 && count < 0)
        return fail(QStringLiteral("nmea: --duration S or --count N is required"));

    SerialLink serial;
    QString openError;
    if (!serial.open(port, baud, &openError))
        return fail(QStringLiteral("nmea: cannot open %1: %2").arg(port, openError));
    GarminLink link(serial);
    if (verbose)
        link.setExchangeLog([](const QString &line) { printErr(line.endsWith(QLatin1String("\r\n")) ? line.chopped(2) + u'\n' : line); });

    PointStore store;
    NmeaCapture capture(sentence, interval);
    NmeaRunOptions options;
    options.lineTimeoutMs = timeoutMs;
    if (duration > 0)
        options.endAt = nmeaClockSeconds() + duration;
    if (count > 0)
        options.keepRunning = [&] { return store.trackPoints.count() < count; };
    if (verbose)
        options.onLine = [](const QString &, const NmeaCapture::Result &r) {
            if (const char *note = verdictNote(r.verdict))
                std::fprintf(stderr, "    %s\n", note);
        };
    try {
        runNmeaCapture(link, capture, store.trackPoints, options);
    } catch (const GipsoError &e) {
        return fail(QStringLiteral("nmea: %1: error %2 - %3 (%4 TrackPoints taken, nothing written)")
                        .arg(port)
                        .arg(e.number())
                        .arg(e.description())
                        .arg(store.trackPoints.count()));
    }
    serial.close();
    try {
        writePointFile(out, store);
    } catch (const GipsoError &e) {
        return fail(QStringLiteral("nmea: %1: %2").arg(out, e.description()));
    }
    if (verbose)
        std::fprintf(stderr, "%d TrackPoints written to %s\n", int(store.trackPoints.count()),
                     out.toLocal8Bit().constData());
    return 0;
}

} // namespace gipso::cli
