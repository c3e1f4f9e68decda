#include "analysis/AltitudeProfile.h"
#include "base/Error.h"
#include "base/SafeFile.h"
#include "cli/Commands.h"
#include "cli/ViewOptions.h"
#include "points/PointStore.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <memory>

namespace gipso::cli {

// profile route|tracks FILE... -o OUT.png: the altitude profile as the window draws it, labels
// included, with "." decimals.
int profile(const QStringList &args)
{
    Options o(QStringLiteral("profile"), args, kViewOptions + QStringList{QStringLiteral("-o"), QStringLiteral("--size")});
    const QStringList &words = o.positional();
    const qsizetype which = words.isEmpty() ? -1 : QStringList{QStringLiteral("route"), QStringLiteral("tracks")}.indexOf(words[0]);
    if (which < 0)
        o.reject(QStringLiteral("expected route or tracks, then FILE..."));
    else if (words.size() < 2)
        o.reject(QStringLiteral("expected FILE..."));
    int width = 800, height = 600;
    o.readIntPair(QStringLiteral("--size"), u'x', QStringLiteral("WxH"), width, height, 1, 16384);
    const QString out = o.value(QStringLiteral("-o"));
    if (out.isEmpty())
        o.reject(QStringLiteral("no output file given (-o OUT.png)"));
    const Settings settings = viewSettings(o);
    if (!o.ok())
        return fail(o.error());
    if (!out.endsWith(QLatin1String(".png"), Qt::CaseInsensitive))
        return fail(QStringLiteral("%1: the output must end in .png").arg(out));
    PointStore store;
    if (const QString error = importViewFiles(words.mid(1), store); !error.isEmpty())
        return fail(error);

    const ProfileKind kind = which == 0 ? ProfileKind::Route : ProfileKind::Track;
    std::unique_ptr<AltitudeProfile> profile;
    try {
        profile = std::make_unique<AltitudeProfile>(store.list(kind == ProfileKind::Route ? PointKind::Route : PointKind::Track),
                                                    kind, viewUnits(settings), settings, QLocale::c());
    } catch (const GipsoError &e) {
        return fail(errorMessage(e));
    }
    if (profile->flat())
        return fail(profile->flatMessage());

    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    profile->paint(painter, image.size());
    painter.end();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return fail(QStringLiteral("%1: the picture could not be encoded").arg(out));
    QString error;
    if (!writeFileAtomically(out, png, &error))
        return fail(QStringLiteral("%1: %2").arg(out, error));
    return 0;
}

} // namespace gipso::cli
