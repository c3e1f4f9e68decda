#include "base/Config.h"
#include "base/Error.h"
#include "base/Messages.h"
#include "cli/Commands.h"
#include "cli/Options.h"
#include "files/PointFiles.h"

#include <cstdio>

namespace gipso::cli {

namespace {

// Reads a point file the way the program's Import command does, with the import options of
// the user's configuration. Returns an error line (file and reason) or an empty string.
QString importPointFile(const QString &path, PointStore &store)
{
    Settings settings;
    readConfiguration(ConfigEnvironment::system(), settings);
    ImportResult r;
    try {
        r = readPointFile(path, store, settings.IgnoreTxTDescription == 1, settings.IgnoreGPXDescription == 1);
    } catch (const GipsoError &e) {
        return path + QStringLiteral(": ") + e.description();
    }
    if (!r.readable || store.allEmpty())
        return path + QStringLiteral(": ") + messageText(223);
    if (r.skipped > 0)
        std::fprintf(stderr, "gipso-cli: %s: %d skipped, the first: %s\n", qPrintable(path), r.skipped,
                     qPrintable(r.firstProblem));
    return {};
}

} // namespace

int convert(const QStringList &args)
{
    Options o(QStringLiteral("convert"), args, {});
    if (o.positional().size() != 2)
        o.reject(QStringLiteral("expected IN OUT"));
    if (!o.ok())
        return fail(o.error());
    const QString &in = o.positional()[0];
    const QString &out = o.positional()[1];
    const bool gpx = isGpxPath(out);
    if (!gpx && !out.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive))
        return fail(out + QStringLiteral(": unknown extension (use .txt or .gpx)"));
    PointStore store;
    const QString error = importPointFile(in, store);
    if (!error.isEmpty())
        return fail(error);
    try {
        writePointFile(out, store);
    } catch (const GipsoError &e) {
        return fail(out + QStringLiteral(": ") + e.description());
    }
    return 0;
}

int info(const QStringList &args)
{
    Options o(QStringLiteral("info"), args, {});
    if (o.positional().size() != 1)
        o.reject(QStringLiteral("expected FILE"));
    if (!o.ok())
        return fail(o.error());
    PointStore store;
    const QString error = importPointFile(o.positional()[0], store);
    if (!error.isEmpty())
        return fail(error);
    std::printf("waypoints %d\nroutepoints %d\ntrackpoints %d\ntracks %d\n", store.wayPoints.count(),
                store.routePoints.count(), store.trackPoints.count(), trackCount(store.trackPoints));
    return 0;
}

} // namespace gipso::cli
