#include "analysis/PointListText.h"
#include "base/Error.h"
#include "base/Messages.h"
#include "cli/Commands.h"
#include "cli/ViewOptions.h"
#include "files/PointFiles.h"

#include <cerrno>
#include <cstdio>

namespace gipso::cli {

namespace {
constexpr int32_t kLinesPerWrite = 4096;

void print(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}
} // namespace

int list(const QStringList &args)
{
    Options o(QStringLiteral("list"), args, kViewOptions);
    const QStringList &words = o.positional();
    static const QStringList kinds = {QStringLiteral("waypoints"), QStringLiteral("route"), QStringLiteral("tracks")};
    const qsizetype which = words.isEmpty() ? -1 : kinds.indexOf(words[0]);
    if (which < 0)
        o.reject(QStringLiteral("expected waypoints, route or tracks, then FILE..."));
    else if (words.size() < 2)
        o.reject(QStringLiteral("expected FILE..."));
    const Settings settings = viewSettings(o);
    if (!o.ok())
        return fail(o.error());

    // The files in turn, appended as the window's Import does.
    PointStore store;
    if (const QString problem = importViewFiles(words.mid(1), store); !problem.isEmpty())
        return fail(problem);

    const PointKind kind = which == 0 ? PointKind::Way : which == 1 ? PointKind::Route : PointKind::Track;
    const PointListText text(store.list(kind), kind, viewUnits(settings));
    const QString lf = QStringLiteral("\n");
    // In slices: a track log of a million points is never one text in memory.
    for (int32_t first = 0; first < text.lineCount(); first += kLinesPerWrite)
        print(text.text(first, first + kLinesPerWrite - 1, lf));
    QString labels = lf;
    for (const QString &label : {text.countLabel(), text.lengthLabel(), text.orthodromeLabel()})
        if (!label.isEmpty())
            labels += label + lf;
    print(labels);
    return std::fflush(stdout) == 0 ? 0 : fail(QStringLiteral("list: ") + qt_error_string(errno));
}

} // namespace gipso::cli
