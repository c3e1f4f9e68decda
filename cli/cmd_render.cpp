#include "app/AppState.h"
#include "app/Config.h"
#include "app/Error.h"
#include "app/Messages.h"
#include "app/SafeFile.h"
#include "cli/Commands.h"
#include "files/PointFiles.h"
#include "map/MapFiles.h"
#include "map/MapRender.h"
#include "map/MapView.h"

#include <QBuffer>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
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
    auto value = [&](int &i) -> std::optional<QString> {
        if (i + 1 >= args.size())
            return std::nullopt;
        return args[++i];
    };
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("-o")) {
            auto v = value(i);
            if (!v || v->isEmpty())
                return QStringLiteral("render: -o needs an output file");
            r.out = *v;
        } else if (a == QLatin1String("--size")) {
            auto v = value(i);
            const auto m = QRegularExpression(QStringLiteral("^(\\d{1,5})x(\\d{1,5})$")).match(v.value_or(QString()));
            if (!m.hasMatch() || m.captured(1).toInt() < 1 || m.captured(2).toInt() < 1 || m.captured(1).toInt() > 16384 ||
                m.captured(2).toInt() > 16384)
                return QStringLiteral("render: --size needs WxH, each from 1 to 16384");
            r.size = QSize(m.captured(1).toInt(), m.captured(2).toInt());
        } else if (a == QLatin1String("--zoom")) {
            auto v = value(i);
            bool ok = false;
            const double z = v ? v->toDouble(&ok) : 0;
            if (!ok || !std::isfinite(z) || z < 0.01 || z > 100)
                return QStringLiteral("render: --zoom needs a number from 0.01 to 100 (1 = 100%)");
            r.zoom = z;
        } else if (a == QLatin1String("--scroll")) {
            auto v = value(i);
            const auto m = QRegularExpression(QStringLiteral("^(\\d{1,5}),(\\d{1,5})$")).match(v.value_or(QString()));
            if (!m.hasMatch() || m.captured(1).toInt() > kScrollMax || m.captured(2).toInt() > kScrollMax)
                return QStringLiteral("render: --scroll needs H,V, each from 0 to %1").arg(kScrollMax);
            r.h = m.captured(1).toInt();
            r.v = m.captured(2).toInt();
        } else if (a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            return QStringLiteral("render: unknown option '%1'").arg(a);
        } else if (r.map.isEmpty()) {
            r.map = a;
        } else {
            r.pointFiles << a;
        }
    }
    if (r.map.isEmpty())
        return QStringLiteral("render: no map file given");
    if (r.out.isEmpty())
        return QStringLiteral("render: no output file given (-o OUT.png)");
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
    st.units = applyUnits(st.settings.unitsMetric());

    if (!QFileInfo(r.map).isFile())
        return fail(QStringLiteral("%1: no such file").arg(r.map));
    QTemporaryDir temp;
    if (!temp.isValid())
        return fail(QStringLiteral("cannot create a temporary folder: %1").arg(temp.errorString()));
    const MapLoad load = loadMapFile(r.map, temp.path() + QLatin1Char('/'));
    if (load.status != MapLoad::Loaded)
        return fail(QStringLiteral("%1: %2").arg(r.map, load.error.isEmpty() ? QStringLiteral("not a map file") : load.error));
    st.mapPicture = load.picture;
    st.mapWidth = load.picture.width();
    st.mapHeight = load.picture.height();
    st.mapMode = load.calibration ? mapmode::Calibrated : mapmode::Uncalibrated;
    if (load.calibration)
        st.calibration = *load.calibration;
    if (!load.calibration && !r.pointFiles.isEmpty())
        return fail(QStringLiteral("%1: the map is not calibrated, so points cannot be placed on it").arg(r.map));

    for (const QString &path : r.pointFiles) {
        ImportResult ir;
        try {
            ir = readPointFile(path, st.store, st.settings.IgnoreTxTDescription == 1,
                               st.settings.IgnoreGPXDescription == 1);
        } catch (const GipsoError &e) {
            return fail(path + QStringLiteral(": ") + e.description());
        }
        if (!ir.readable)
            return fail(path + QStringLiteral(": ") + messageText(223));
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
