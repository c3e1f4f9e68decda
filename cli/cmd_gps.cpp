// gipso-cli download / upload: the receiver transfers of the communication dialog, scripted.
#include "app/Error.h"
#include "app/Messages.h"
#include "cli/Commands.h"
#include "files/PointFiles.h"
#include "gps/GarminLink.h"
#include "gps/SerialLink.h"
#include "gps/Transfers.h"

#include <QFileInfo>
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
    GpsArgs a;
    const QString usage = download ? QStringLiteral("usage: download waypoints|route|tracks --port DEV [--baud N] [--verbose] -o FILE")
                                   : QStringLiteral("usage: upload waypoints|route --port DEV [--baud N] [--verbose] FILE");
    for (int k = 0; k < args.size(); ++k) {
        const QString &x = args[k];
        auto value = [&](QString &out) {
            if (k + 1 >= args.size())
                return false;
            out = args[++k];
            return true;
        };
        QString v;
        if (x == QLatin1String("--port")) {
            if (!value(a.port))
                return status = fail(usage), std::nullopt;
        } else if (x == QLatin1String("--baud") || x == QLatin1String("--timeout")) {
            bool ok = false;
            const int n = value(v) ? v.toInt(&ok) : 0;
            if (!ok || n <= 0)
                return status = fail(QStringLiteral("%1: %2 needs a positive number").arg(command, x)), std::nullopt;
            (x == QLatin1String("--baud") ? a.baud : a.timeoutMs) = n;
        } else if (x == QLatin1String("--verbose") || x == QLatin1String("-v")) {
            a.verbose = true;
        } else if (x == QLatin1String("-o") && download) {
            if (!value(a.output))
                return status = fail(usage), std::nullopt;
        } else if (x.startsWith(QLatin1Char('-'))) {
            return status = fail(QStringLiteral("%1: unknown option '%2'").arg(command, x)), std::nullopt;
        } else if (a.what.isEmpty()) {
            a.what = x;
        } else if (!download && a.input.isEmpty()) {
            a.input = x;
        } else {
            return status = fail(usage), std::nullopt;
        }
    }
    if (!kinds.contains(a.what) || a.port.isEmpty() || (download ? a.output.isEmpty() : a.input.isEmpty()))
        return status = fail(usage), std::nullopt;
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
        const ImportResult r = readPointFile(a->input, store);
        if (!r.readable)
            return fail(QStringLiteral("upload: %1: no points in the file").arg(a->input));
    } catch (const GipsoError &e) {
        return fail(QStringLiteral("upload: %1: %2").arg(a->input, e.description()));
    }
    const TransferMode mode = a->what == QLatin1String("waypoints") ? TransferMode::UploadWayPoints : TransferMode::UploadRoutePoints;
    return transfer(QStringLiteral("upload"), *a, mode, store);
}

} // namespace gipso::cli
