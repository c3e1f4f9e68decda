// gipso-cli download / upload: the receiver transfers of the communication dialog, scripted.
#include "base/Error.h"
#include "base/Messages.h"
#include "cli/Commands.h"
#include "cli/Options.h"
#include "files/PointFiles.h"
#include "gps/ReceiverPort.h"
#include "gps/Transfers.h"

#include <cstdio>
#include <optional>

namespace gipso::cli {

namespace {

struct GpsArgs {
    QString what;
    QString port;
    int baud = 9600;
    bool verbose = false;
    int timeoutMs = 0; // 0: the link's own (5 s for a byte)
    QString output;    // -o for downloads
    QString input;     // the file to upload
};

// Parses the common options; on error prints it and returns nothing.
std::optional<GpsArgs> parse(const QString &command, const QStringList &args, const QStringList &kinds, bool download,
                             int &status)
{
    QStringList valued{QStringLiteral("--port"), QStringLiteral("--baud"), QStringLiteral("--timeout")};
    if (download)
        valued << QStringLiteral("-o");
    Options o(command, args, valued, {QStringLiteral("--verbose"), QStringLiteral("-v")});
    GpsArgs a;
    a.port = o.value(QStringLiteral("--port"));
    a.output = o.value(QStringLiteral("-o"));
    a.verbose = o.has(QStringLiteral("--verbose")) || o.has(QStringLiteral("-v"));
    o.readBaud(QStringLiteral("--baud"), a.baud);
    o.readInt(QStringLiteral("--timeout"), a.timeoutMs, 1);
    const QStringList &rest = o.positional();
    a.what = rest.value(0);
    if (!download)
        a.input = rest.value(1);
    const QString kindList = download ? QStringLiteral("waypoints, route or tracks") : QStringLiteral("waypoints or route");
    if (a.what.isEmpty())
        o.reject(QStringLiteral("expected %1").arg(kindList));
    else if (!kinds.contains(a.what))
        o.reject(QStringLiteral("expected %1, not '%2'").arg(kindList, a.what));
    o.rejectExtra(download ? 1 : 2);
    if (a.port.isEmpty())
        o.reject(QStringLiteral("missing --port DEV"));
    if (download && a.output.isEmpty())
        o.reject(QStringLiteral("missing -o FILE"));
    if (!download && a.input.isEmpty())
        o.reject(QStringLiteral("missing FILE, the points to upload"));
    if (!o.ok())
        return status = fail(o.error()), std::nullopt;
    return a;
}

// Opens the port and runs one transfer, printing the result text; 1 on any failure.
int transfer(const QString &command, const GpsArgs &a, CommMode mode, PointStore &store)
{
    ReceiverPort port;
    if (a.timeoutMs > 0)
        port.setup().firstByteMs = port.setup().nextByteMs = a.timeoutMs;
    if (!openReceiver(port, command, a.port, a.baud, a.verbose))
        return 1;
    if (a.verbose)
        std::fprintf(stderr, "%s\n", messageText(progressMessageId(mode)).toLocal8Bit().constData());
    try {
        GarminLink link = port.link();
        std::printf("%s\n", runTransfer(mode, link, store).toLocal8Bit().constData());
    } catch (const GipsoError &e) {
        // A value of the uploaded file that the receiver cannot hold: the file is named.
        const QString file = e.number() == err::Overflow && !a.input.isEmpty() ? a.input + QStringLiteral(": ") : QString();
        return fail(QStringLiteral("%1: %2%3").arg(command, file, errorMessage(e, msg::CommErrorPrefix)));
    }
    return 0;
}

} // namespace

bool openReceiver(ReceiverPort &port, const QString &command, const QString &device, int baud, bool verbose)
{
    if (verbose)
        port.setup().exchangeLog = [](const QString &line) {
            const QString shown = line.endsWith(QLatin1String("\r\n")) ? line.chopped(2) + u'\n' : line;
            std::fputs(shown.toLocal8Bit().constData(), stderr);
        };
    port.setup().warning = [](const QString &text) {
        std::fprintf(stderr, "gipso-cli: warning: %s\n", text.toLocal8Bit().constData());
    };
    QString error;
    if (!port.open(device, baud, &error)) {
        fail(QStringLiteral("%1: cannot open %2: %3").arg(command, device, error));
        return false;
    }
    return true;
}

int download(const QStringList &args)
{
    int status = 0;
    const auto a = parse(QStringLiteral("download"), args,
                         {QStringLiteral("waypoints"), QStringLiteral("route"), QStringLiteral("tracks")}, true, status);
    if (!a)
        return status;
    const CommMode mode = a->what == QLatin1String("waypoints") ? CommMode::DownloadWayPoints
        : a->what == QLatin1String("route")                     ? CommMode::DownloadRoutePoints
                                                                : CommMode::DownloadTrackPoints;
    PointStore store;
    if (const int rc = transfer(QStringLiteral("download"), *a, mode, store))
        return rc; // nothing is written after a failed transfer
    try {
        writePointFile(a->output, store);
    } catch (const GipsoError &e) {
        return fail(QStringLiteral("download: %1: %2").arg(a->output, e.description()));
    }
    return 0;
}

int upload(const QStringList &args)
{
    int status = 0;
    const auto a = parse(QStringLiteral("upload"), args, {QStringLiteral("waypoints"), QStringLiteral("route")}, false, status);
    if (!a)
        return status;
    PointStore store;
    try {
        const ImportResult r = importPointFile(a->input, store, userSettings());
        if (!r.readable)
            return fail(QStringLiteral("upload: %1: no points in the file").arg(a->input));
    } catch (const GipsoError &e) {
        return fail(QStringLiteral("upload: %1: %2").arg(a->input, e.description()));
    }
    const CommMode mode = a->what == QLatin1String("waypoints") ? CommMode::UploadWayPoints : CommMode::UploadRoutePoints;
    return transfer(QStringLiteral("upload"), *a, mode, store);
}

} // namespace gipso::cli
