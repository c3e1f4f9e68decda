#include "cli/ViewOptions.h"

#include "base/Error.h"
#include "base/Messages.h"
#include "cli/Commands.h"
#include "files/PointFiles.h"

#include <cstdio>

namespace gipso::cli {

Settings viewSettings(Options &options)
{
    Settings s = userSettings();
    if (options.has(QStringLiteral("--units"))) {
        const QString u = options.value(QStringLiteral("--units"));
        if (u == QLatin1String("metric"))
            s.Units = -1;
        else if (u == QLatin1String("nautical"))
            s.Units = 0;
        else
            options.reject(QStringLiteral("--units must be metric or nautical, not '%1'").arg(u));
    }
    if (options.has(QStringLiteral("--lang"))) {
        const QString l = options.value(QStringLiteral("--lang"));
        if (l == QLatin1String("it"))
            s.Language = kItalian;
        else if (l == QLatin1String("en"))
            s.Language = kEnglish;
        else
            options.reject(QStringLiteral("--lang must be it or en, not '%1'").arg(l));
        if (options.ok())
            setLanguage(s.Language);
    }
    return s;
}

UnitSettings viewUnits(const Settings &settings) { return unitSettings(settings.unitsMetric()); }

} // namespace gipso::cli

namespace gipso::cli {

QString importViewFiles(const QStringList &paths, PointStore &store)
{
    for (const QString &path : paths) {
        ImportResult r;
        try {
            r = importPointFile(path, store, userSettings());
        } catch (const GipsoError &e) {
            return path + QStringLiteral(": ") + e.description();
        }
        if (!r.readable)
            return path + QStringLiteral(": ") + messageText(msg::InvalidPointsFile);
        if (r.skipped > 0)
            std::fprintf(stderr, "gipso-cli: %s: %d skipped, the first: %s\n", qPrintable(path), r.skipped,
                         qPrintable(r.firstProblem));
    }
    return {};
}

} // namespace gipso::cli
