#include "base/Error.h"
#include "base/Messages.h"
#include "cli/Commands.h"
#include "cli/Options.h"
#include "files/PointFiles.h"

#include <cstdio>

namespace gipso::cli {

namespace {

// Imports a point file as the program's Import command does; an error line (file and reason)
// when there is nothing to work on, else an empty string.
QString importInput(const QString &path, PointStore &store)
{
    ImportResult r;
    try {
        r = importPointFile(path, store, userSettings());
    } catch (const GipsoError &e) {
        return path + QStringLiteral(": ") + e.description();
    }
    if (!r.readable || store.allEmpty())
        return path + QStringLiteral(": ") + messageText(msg::InvalidPointsFile);
    if (r.skipped > 0)
        std::fprintf(stderr, "gipso-cli: %s: %d skipped, the first: %s\n", qPrintable(path), r.skipped,
                     qPrintable(r.firstProblem));
    return {};
}

// The positional arguments must be exactly these.
void rejectMissing(Options &o, const QStringList &names)
{
    const QStringList &given = o.positional();
    if (given.size() < names.size())
        o.reject(QStringLiteral("missing %1").arg(names.mid(given.size()).join(QStringLiteral(" and "))));
    o.rejectExtra(names.size());
}

} // namespace

int convert(const QStringList &args)
{
    Options o(QStringLiteral("convert"), args, {});
    rejectMissing(o, {QStringLiteral("IN"), QStringLiteral("OUT")});
    if (!o.ok())
        return fail(o.error());
    const QString &in = o.positional()[0];
    const QString &out = o.positional()[1];
    const bool gpx = isGpxPath(out);
    if (!gpx && !out.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive))
        return fail(out + QStringLiteral(": unknown extension (use .txt or .gpx)"));
    PointStore store;
    const QString error = importInput(in, store);
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
    rejectMissing(o, {QStringLiteral("FILE")});
    if (!o.ok())
        return fail(o.error());
    PointStore store;
    const QString error = importInput(o.positional()[0], store);
    if (!error.isEmpty())
        return fail(error);
    std::printf("waypoints %d\nroutepoints %d\ntrackpoints %d\ntracks %d\n", store.wayPoints.count(),
                store.routePoints.count(), store.trackPoints.count(), trackCount(store.trackPoints));
    return 0;
}

} // namespace gipso::cli
