// nmea --port DEV|gpsd://HOST:PORT [--baud N] [--sentence GGA|RMC] [--interval S] (--duration S | --count N)
//      [--timeout MS] [--verbose] -o FILE
// --timeout: the longest wait for one whole line in milliseconds (10000, as in the dialog);
// with --count also the longest wait for a fix. Records NMEA fixes as TrackPoints with the
// same capture loop as the communication dialog; when the capture ends in an error, the
// points taken are written all the same and the status is 1.
#include "cli/Commands.h"
#include "cli/Options.h"

#include "base/Error.h"
#include "files/PointFiles.h"
#include "gps/Nmea.h"
#include "gps/ReceiverPort.h"

#include <cstdio>
#include <optional>

namespace gipso::cli {

namespace {

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
    Options o(QStringLiteral("nmea"), args,
              {QStringLiteral("--port"), QStringLiteral("-o"), QStringLiteral("--baud"), QStringLiteral("--sentence"),
               QStringLiteral("--interval"), QStringLiteral("--duration"), QStringLiteral("--timeout"),
               QStringLiteral("--count")},
              {QStringLiteral("--verbose")});
    const QString port = o.value(QStringLiteral("--port"));
    const QString out = o.value(QStringLiteral("-o"));
    const bool verbose = o.has(QStringLiteral("--verbose"));
    int baud = 4800;
    int interval = 0;
    double duration = -1.0;
    int count = -1;
    int timeoutMs = 10000;
    o.readBaud(QStringLiteral("--baud"), baud);
    o.readInt(QStringLiteral("--interval"), interval, 0, 32767);
    o.readDouble(QStringLiteral("--duration"), duration, 0.001);
    o.readInt(QStringLiteral("--timeout"), timeoutMs, 1);
    o.readInt(QStringLiteral("--count"), count, 1);
    std::optional<NmeaSentence> sentence = NmeaSentence::GGA;
    if (o.has(QStringLiteral("--sentence"))) {
        sentence = nmeaSentenceNamed(o.value(QStringLiteral("--sentence")));
        if (!sentence)
            o.reject(QStringLiteral("--sentence needs GGA or RMC"));
    }
    o.rejectExtra(0);
    if (port.isEmpty())
        o.reject(QStringLiteral("missing --port DEV"));
    if (out.isEmpty())
        o.reject(QStringLiteral("missing -o FILE"));
    if (duration < 0 && count < 0)
        o.reject(QStringLiteral("missing --duration S or --count N"));
    if (!o.ok())
        return fail(o.error());

    ReceiverPort receiver;
    if (!openReceiver(receiver, QStringLiteral("nmea"), port, baud, verbose))
        return 1;
    GarminLink link = receiver.link();

    PointStore store;
    NmeaCapture capture(*sentence, interval);
    NmeaRunOptions options;
    options.lineTimeoutMs = timeoutMs;
    if (duration > 0)
        options.endAt = nmeaClockSeconds() + duration;
    if (count > 0) {
        options.keepRunning = [&] { return store.trackPoints.count() < count; };
        options.fixTimeoutMs = timeoutMs; // a stream without fixes would never reach the count
    }
    if (verbose)
        options.onLine = [](const QString &, const NmeaCapture::Result &r) {
            if (const char *note = verdictNote(r.verdict))
                std::fprintf(stderr, "    %s\n", note);
        };
    std::optional<GipsoError> error;
    try {
        runNmeaCapture(link, capture, store.trackPoints, options);
    } catch (const GipsoError &e) {
        error = e;
    }
    receiver.close();
    if (link.overlongLines() > 0)
        std::fprintf(stderr, "gipso-cli: warning: %d lines longer than %d bytes skipped\n", link.overlongLines(),
                     kMaxNmeaLineBytes);
    const int32_t taken = store.trackPoints.count();
    // What was captured before an error is kept all the same; the error decides the status.
    if (taken > 0 || !error) {
        try {
            writePointFile(out, store);
        } catch (const GipsoError &e) {
            return fail(QStringLiteral("nmea: %1: %2").arg(out, e.description()));
        }
    }
    if (error)
        return fail(QStringLiteral("nmea: %1: error %2 - %3 (%4)")
                        .arg(port)
                        .arg(error->number())
                        .arg(error->description(),
                             taken > 0 ? QStringLiteral("%1 TrackPoints written to %2").arg(taken).arg(out)
                                       : QStringLiteral("no TrackPoints, nothing written")));
    if (verbose)
        std::fprintf(stderr, "%d TrackPoints written to %s\n", int(taken), out.toLocal8Bit().constData());
    return 0;
}

} // namespace gipso::cli
