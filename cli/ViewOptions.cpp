#include "cli/ViewOptions.h"

#include "base/Messages.h"
#include "cli/Commands.h"

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
