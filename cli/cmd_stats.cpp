#include "analysis/TrackStatistics.h"
#include "base/Messages.h"
#include "cli/Commands.h"
#include "cli/ViewOptions.h"
#include "points/PointStore.h"

#include <cerrno>
#include <cstdio>

namespace gipso::cli {

// stats FILE...: the rows of the track statistics dialog, caption TAB value, with "." "/" ":".
int stats(const QStringList &args)
{
    Options o(QStringLiteral("stats"), args, kViewOptions);
    if (o.positional().isEmpty())
        o.reject(QStringLiteral("expected FILE..."));
    const Settings settings = viewSettings(o);
    if (!o.ok())
        return fail(o.error());
    PointStore store;
    if (const QString error = importViewFiles(o.positional(), store); !error.isEmpty())
        return fail(error);

    const UnitSettings units = viewUnits(settings);
    const TrackStatistics result = trackStatistics(store.trackPoints, units);
    if (result.status != TrackStatistics::Status::Ok)
        return fail(result.error);
    QString text;
    for (const StatisticsRow &row : statisticsRows(result.figures, units, QLocale::c()))
        text += messageText(row.captionId) + u'\t' + row.value + u'\n';
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    return std::fflush(stdout) == 0 ? 0 : fail(QStringLiteral("stats: ") + qt_error_string(errno));
}

} // namespace gipso::cli
