// gipso-cli download / upload: the receiver transfers of the communication dialog, scripted.
#include "base/Error.h"
#include "base/Messages.h"
#include "cli/Commands.h"
#include "cli/Options.h"
#include "files/PointFiles.h"
#include "gps/GarminLink.h"
#include "gps/SerialLink.h"
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
    int timeoutMs = 0; // 0: the link's own (5 s)
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
    o.readInt(QStringLiteral("--baud"), a.baud, 1);
    o.readInt(QStringLiteral("--timeout"), a.timeoutMs, 1);
    const QStringList &rest = o.positional();
    a.what = rest.value(0);
    if (!download)
        a.input = rest.value(1);
    if (!kinds.contains(a.what) || a.port.isEmpty() || (download ? a.output.isEmpty() : a.input.isEmpty()) ||
        rest.size() > (download ? 1 : 2))
        o.reject(download ? QStringLiteral("expected waypoints|route|tracks --port DEV [--baud N] [--timeout MS] [--verbose] -o FILE")
                          : QStringLiteral("expected waypoints|route --port DEV [--baud N] [--timeout MS] [--verbose] FILE"));
    if (!o.ok())
        return status = fail(o.error()), std::nullopt;
    return a;
}

// Opens the port and runs one transfer, printing the result text; 1 on any failure.
int transfer(const QString &command, const GpsArgs &a, TransferMode mode, PointStore &store)
{
    SerialLink serial;
    QString error;
    if (!serial.open(a.port, a.baud, &error))
        return fail(QStringLiteral("%1: cannot open %2: %3").arg(command, a.port, error));
    GarminLink link(serial);
    if (a.timeoutMs > 0)
        link.setTimeouts(a.timeoutMs, a.timeoutMs, 2 * a.timeoutMs);
    if (a.verbose)
        link.setExchangeLog([](QString line) {
            line.replace(QLatin1String("\r\n"), QLatin1String("\n"));
            std::fputs(line.toLocal8Bit().constData(), stderr);
        });
    link.setWarning([](const QString &text) {
        std::fprintf(stderr, "gipso-cli: warning: %s\n", text.toLocal8Bit().constData());
    });
    if (a.verbose)
        std::fprintf(stderr, "%s\n", messageText(progressMessageId(mode)).toLocal8Bit().constData());
    try {
        const TransferResult r = runTransfer(mode, link, store);
        std::printf("%s\n", r.text.toLocal8Bit().constData());
    } catch (const GipsoError &e) {
        return fail(QStringLiteral("%1: %2").arg(command, errorMessage(e, 671)));
    }
    return 0;
}

} // namespace

int download(const QStringList &args)
{
    int status = 0;
    const auto a = parse(QStringLiteral("download"), args,
                         {QStringLiteral("waypoints"), QStringLiteral("route"), QStringLiteral("tracks")}, true, status);
    if (!a)
        return status;
    const TransferMode mode = a->what == QLatin1String("waypoints") ? TransferMode::DownloadWayPoints
        : a->what == QLatin1String("route")                         ? TransferMode::DownloadRoutePoints
                                                                    : TransferMode::DownloadTrackPoints;
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
    const TransferMode mode = a->what == QLatin1String("waypoints") ? TransferMode::UploadWayPoints : TransferMode::UploadRoutePoints;
    return transfer(QStringLiteral("upload"), *a, mode, store);
}

} // namespace gipso::cli
