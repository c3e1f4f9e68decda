// nmea --port DEV [--baud N] [--sentence GGA|RMC] [--interval S] (--duration S | --count N)
//      [--timeout MS] [--verbose] -o FILE
// --timeout: the longest wait for one whole line in milliseconds (10000, as in the dialog).
// Records NMEA fixes as TrackPoints with the same capture loop as the communication dialog.
#include "cli/Commands.h"
#include "cli/Options.h"

#include "base/Error.h"
#include "files/PointFiles.h"
#include "gps/Nmea.h"
#include "gps/ReceiverPort.h"

#include <cstdio>

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
    o.readInt(QStringLiteral("--baud"), baud, 1);
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
    if (!o.positional().isEmpty())
        o.reject(QStringLiteral("unexpected argument '%1'").arg(o.positional()[0]));
    if (port.isEmpty())
        o.reject(QStringLiteral("--port DEV is required"));
    if (out.isEmpty())
        o.reject(QStringLiteral("-o FILE is required"));
    if (duration < 0 && count < 0)
        o.reject(QStringLiteral("--duration S or --count N is required"));
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
    receiver.close();
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
