#include "state/AppState.h"
#include "base/Config.h"
#include "base/Error.h"
#include "base/Messages.h"
#include "base/SafeFile.h"
#include "cli/Commands.h"
#include "cli/Options.h"
#include "files/PointFiles.h"
#include "map/MapFiles.h"
#include "map/MapRender.h"
#include "map/MapView.h"
#include "map/TempFolder.h"

#include <QBuffer>
#include <QFileInfo>
#include <cmath>

namespace gipso::cli {

namespace {

struct RenderArgs {
    QString map;
    QStringList pointFiles;
    QString out;
    QSize size{1024, 768};
    double zoom = 1.0;
    int h = 0, v = 0;
};

// Parses the arguments; an empty string when they are good, else the error line.
QString parseRenderArgs(const QStringList &args, RenderArgs &r)
{
    Options o(QStringLiteral("render"), args,
              {QStringLiteral("-o"), QStringLiteral("--size"), QStringLiteral("--zoom"), QStringLiteral("--scroll")});
    r.out = o.value(QStringLiteral("-o"));
    int width = r.size.width(), height = r.size.height();
    o.readIntPair(QStringLiteral("--size"), u'x', QStringLiteral("WxH"), width, height, 1, 16384);
    r.size = QSize(width, height);
    o.readDouble(QStringLiteral("--zoom"), r.zoom, 0.01, 100, QStringLiteral("(1 = 100%)"));
    o.readIntPair(QStringLiteral("--scroll"), u',', QStringLiteral("H,V"), r.h, r.v, 0, kScrollMax);
    r.map = o.positional().value(0);
    r.pointFiles = o.positional().mid(1);
    if (r.map.isEmpty())
        o.reject(QStringLiteral("no map file given"));
    if (r.out.isEmpty())
        o.reject(QStringLiteral("no output file given (-o OUT.png)"));
    if (!o.ok())
        return o.error();
    if (!r.out.endsWith(QLatin1String(".png"), Qt::CaseInsensitive))
        return QStringLiteral("%1: the output must end in .png").arg(r.out);
    return {};
}

} // namespace

// render MAP [POINTFILE...] -o OUT.png: the view as the window shows it, map and overlay.
int render(const QStringList &args)
{
    RenderArgs r;
    if (const QString problem = parseRenderArgs(args, r); !problem.isEmpty())
        return fail(problem);

    AppState st;
    readConfiguration(ConfigEnvironment::system(), st.settings);
    st.units = unitSettings(st.settings.unitsMetric());

    if (!QFileInfo(r.map).isFile())
        return fail(QStringLiteral("%1: no such file").arg(r.map));
    const TempFolder temp(QStringLiteral("gipso-cli"));
    if (!temp.isValid() && mapFileKind(r.map) == MapFileKind::Container)
        return fail(QStringLiteral("%1: %2").arg(r.map, temp.error()));
    const TemporaryGuard removedOnSignals(temp.path());
    st.tempDir = temp.path();
    const MapLoad load = openMapFile(st, r.map);
    if (load.status != MapLoad::Loaded)
        return fail(QStringLiteral("%1: %2").arg(r.map, load.error));
    if (!load.calibration && !r.pointFiles.isEmpty())
        return fail(QStringLiteral("%1: the map is not calibrated, so points cannot be placed on it").arg(r.map));

    for (const QString &path : r.pointFiles) {
        ImportResult ir;
        try {
            ir = importPointFile(path, st.store, st.settings);
        } catch (const GipsoError &e) {
            return fail(path + QStringLiteral(": ") + e.description());
        }
        if (!ir.readable)
            return fail(path + QStringLiteral(": ") + messageText(msg::InvalidPointsFile));
    }

    st.zoomFactor = r.zoom;
    const ViewWindow window = visibleWindow(st.mapWidth, st.mapHeight, st.zoomFactor, r.size, r.h, r.v);
    const QImage bitmap = renderVisible(st.mapPicture, window, st.zoomFactor, false);
    const QImage image = renderViewImage(st, window, bitmap);

    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return fail(QStringLiteral("%1: the picture could not be encoded").arg(r.out));
    QString error;
    if (!writeFileAtomically(r.out, png, &error))
        return fail(QStringLiteral("%1: %2").arg(r.out, error));
    return 0;
}

} // namespace gipso::cli
