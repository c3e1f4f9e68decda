// Makes the pictures of the user manual from the program itself, in English and Italian: the
// main window with a calibrated sample map and its points, the calibration dialog over the
// map after the two reference clicks, and the options dialog.
//   gipso-manual-pictures OUTDIR       (scripts/manual-pictures.sh runs it offscreen)
#include "app/ui/frmGPS.h"
#include "base/Config.h"
#include "base/Messages.h"
#include "base/RegionalNumber.h"
#include "map/ui/frmCalib.h"
#include "map/ui/picMap.h"
#include "options/ui/frmOpt.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>

using namespace gipso;

namespace {

// The sample map, drawn on a sheet of 1400 x 1000 units scaled to pixels so that the whole
// map fits the window at 100%: from 45.96 N, 9.90 E at the top left, a grid every 0.02
// degrees, at the same scale north and east (the calibration's own model).
constexpr int kSheetW = 1400, kSheetH = 1000;
constexpr double kScale = 0.62; // map pixels per sheet unit
constexpr double kTopLat = 45.96, kLeftLon = 9.90;
constexpr double kUnitsPerDegLat = 15000.0;
const double kUnitsPerDegLon = kUnitsPerDegLat * std::cos(45.93 * M_PI / 180.0);

QPointF sheetUnits(double lat, double lon) { return {(lon - kLeftLon) * kUnitsPerDegLon, (kTopLat - lat) * kUnitsPerDegLat}; }
// Map pixels of a place given in sheet units or in degrees.
QPointF mapPixel(QPointF units) { return units * kScale; }
QPointF mapPixel(double lat, double lon) { return mapPixel(sheetUnits(lat, lon)); }

// Reference points of the calibration: two grid crossings far apart.
constexpr double kRef[2][2] = {{45.94, 9.92}, {45.90, 10.00}};

// The trail from the hut by the lake up to the summit, in sheet units.
const QPointF kTrail[] = {{250, 760}, {330, 700}, {420, 690}, {500, 630}, {560, 560}, {650, 520},
                          {720, 450}, {800, 420}, {860, 360}, {930, 330}, {990, 280}, {1040, 240}};

QImage sampleMap()
{
    QImage img(int(kSheetW * kScale), int(kSheetH * kScale), QImage::Format_RGB32);
    img.fill(QColor(246, 241, 226));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(kScale, kScale);
    // Woods.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(206, 230, 190));
    for (QRect r : {QRect(60, 520, 420, 380), QRect(700, 620, 560, 330), QRect(1100, 60, 260, 300)})
        p.drawEllipse(r);
    // Contours around the summit.
    const QPointF summit(1060, 230);
    for (int i = 1; i <= 14; ++i) {
        p.setPen(QPen(QColor(190, 140, 90), i % 5 == 0 ? 2.0 : 1.0));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(summit, 40.0 * i, 28.0 * i);
    }
    // Lake and river.
    p.setPen(QPen(QColor(70, 120, 200), 2));
    p.setBrush(QColor(160, 200, 240));
    p.drawEllipse(QRectF(90, 780, 220, 130));
    QPainterPath river(QPointF(300, 850));
    river.cubicTo(500, 900, 700, 820, 900, 940);
    river.cubicTo(1000, 990, 1200, 960, 1400, 990);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(70, 120, 200), 4));
    p.drawPath(river);
    // Road along the valley.
    QPainterPath road(QPointF(0, 720));
    road.cubicTo(300, 660, 500, 760, 800, 700);
    road.cubicTo(1000, 660, 1200, 720, 1400, 650);
    p.setPen(QPen(QColor(120, 60, 40), 7));
    p.drawPath(road);
    p.setPen(QPen(QColor(240, 120, 70), 4));
    p.drawPath(road);
    // Trail.
    p.setPen(QPen(Qt::black, 2, Qt::DashLine));
    p.drawPolyline(kTrail, int(std::size(kTrail)));
    // Grid with its degrees.
    QFont f = p.font();
    f.setPixelSize(19);
    p.setFont(f);
    for (int i = 0; i <= 8; ++i) {
        const double lon = kLeftLon + 0.02 * i, x = sheetUnits(kTopLat, lon).x();
        p.setPen(QPen(QColor(80, 110, 170), 1));
        p.drawLine(QPointF(x, 0), QPointF(x, kSheetH));
        p.drawText(QPointF(x + 3, 14), QString::number(lon, 'f', 2) + QStringLiteral("° E"));
    }
    for (int i = 0; i <= 4; ++i) {
        const double lat = kTopLat - 0.02 * i, y = sheetUnits(lat, kLeftLon).y();
        p.setPen(QPen(QColor(80, 110, 170), 1));
        p.drawLine(QPointF(0, y), QPointF(kSheetW, y));
        p.drawText(QPointF(3, y - 3), QString::number(lat, 'f', 2) + QStringLiteral("° N"));
    }
    // Names on the map.
    f.setPixelSize(22);
    f.setItalic(true);
    p.setFont(f);
    p.setPen(QColor(40, 80, 160));
    p.drawText(QPointF(130, 940), QStringLiteral("Lago Verde"));
    p.setPen(QColor(90, 60, 30));
    p.drawText(QPointF(1000, 200), QStringLiteral("Monte Sasso 2310"));
    p.drawText(QPointF(620, 690), QStringLiteral("Val Chiara"));
    return img;
}

// Dialogs that answer as the manual's user would: modal forms are handed to a function.
class PictureDialogs : public Dialogs {
public:
    std::function<int(QDialog &)> onExec;
    Answer ask(QWidget *, const QString &, Buttons, Answer defaultButton, Icon, const QString &) override { return defaultButton; }
    QString openFile(QWidget *, const QString &, const QString &, const QString &, const QString &) override { return {}; }
    QString saveFile(QWidget *, const QString &, const QString &, const QString &, const QString &) override { return {}; }
    std::optional<QColor> chooseColor(QWidget *, const QColor &) override { return std::nullopt; }
    bool printSetup(QWidget *, QPrinter &) override { return false; }
    int exec(QDialog &dialog) override { return onExec ? onExec(dialog) : int(QDialog::Rejected); }
};

void settle()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

// The window with a dialog drawn over it, as the desktop shows them, and a frame around both.
QImage withDialog(QWidget &window, QDialog &dialog)
{
    dialog.adjustSize();
    dialog.show();
    settle();
    QImage out = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage d = dialog.grab().toImage();
    const QPoint at((out.width() - d.width()) / 2, (out.height() - d.height()) / 2);
    QPainter p(&out);
    p.fillRect(QRect(at + QPoint(5, 5), d.size()), QColor(0, 0, 0, 70)); // shadow
    p.drawImage(at, d);
    p.setPen(QColor(90, 90, 90));
    p.drawRect(QRect(at, d.size()).adjusted(-1, -1, 0, 0));
    dialog.hide();
    return out;
}

// The reference-click marks over the map (the crosses of the mouse pointer).
void markReference(QImage &img, QPoint at, int k)
{
    QPainter p(&img);
    for (const auto &[colour, width] : {std::pair{QColor(Qt::white), 3}, std::pair{QColor(Qt::black), 1}}) {
        p.setPen(QPen(colour, width));
        p.drawLine(at + QPoint(0, -13), at + QPoint(0, 13));
        p.drawLine(at + QPoint(-13, 0), at + QPoint(13, 0));
    }
    QFont f = p.font();
    f.setPixelSize(12);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::red);
    p.drawText(at + QPoint(4, -4), QString::number(k));
}

bool save(const QImage &img, const QString &path)
{
    if (!img.convertToFormat(QImage::Format_RGB32).save(path, "PNG", 0)) { // 0: the strongest compression
        std::fprintf(stderr, "gipso-manual-pictures: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

// A point at a place of the sheet.
GpsPoint pointAt(const AppState &st, QPointF units, PointKind kind, const QString &name, float alt, const QString &description = {})
{
    GpsPoint pt;
    const QPointF px = mapPixel(units);
    mapToGeo(st.calibration, px.x(), -px.y(), pt.latitude, pt.longitude);
    pt.kind = kind;
    pt.name = name;
    pt.altitude = alt;
    pt.description = description;
    pt.date = 45487; // 14/07/2024
    return pt;
}

bool pictures(int language, const QString &suffix, const QString &outDir)
{
    QTemporaryDir tmp;
    const QString mapPath = tmp.filePath(QStringLiteral("sample.bmp"));
    if (!sampleMap().save(mapPath, "BMP"))
        return false;
    QLocale::setDefault(language == kItalian ? QLocale(QLocale::Italian, QLocale::Italy) : QLocale(QLocale::English, QLocale::UnitedKingdom));

    ConfigEnvironment env;
    env.configFile = tmp.filePath(QStringLiteral("Gipso.cfg"));
    env.languageFile = dataDir() + QStringLiteral("/Gipso.lng");
    env.programDir = tmp.path();
    env.loginName = QStringLiteral("manual");
    env.systemLanguage = language;
    // A window of 960 x 700 pixels at 96 dots per inch, in twips.
    QFile cfg(env.configFile);
    if (!cfg.open(QIODevice::WriteOnly))
        return false;
    cfg.write(QStringLiteral("[User manual]\r\nLanguage=%1\r\nWindowLeft=0\r\nWindowTop=0\r\nWindowWidth=14400\r\nWindowHeight=10500\r\n")
                  .arg(language)
                  .toLatin1());
    cfg.close();

    PictureDialogs dialogs;
    frmGPS w(dialogs, env);
    w.start({mapPath});
    w.resize(960, 700);
    settle();
    AppState &st = w.state();
    picMap *view = w.mapView();
    if (!view || st.mapMode != MapMode::Uncalibrated) {
        std::fprintf(stderr, "gipso-manual-pictures: the sample map did not open\n");
        return false;
    }

    auto onScreen = [view](QPointF mapPx) { return view->viewWindow().mapToScreen().map(mapPx).toPoint(); };

    // Calibration: the two clicks, then the dialog with the two crossings typed in.
    QPoint clicks[2];
    for (int k = 0; k < 2; ++k)
        clicks[k] = mapPixel(kRef[k][0], kRef[k][1]).toPoint();
    bool shot = false;
    dialogs.onExec = [&](QDialog &d) {
        auto *form = qobject_cast<frmCalib *>(&d);
        if (!form)
            return int(QDialog::Rejected);
        for (int i = 0; i < 4; ++i)
            form->txtCoord[i]->setText(regionalNumber(kRef[i / 2][i % 2]));
        QImage img = withDialog(w, *form);
        for (int k = 0; k < 2; ++k)
            markReference(img, view->mapTo(&w, onScreen(clicks[k])), k + 1);
        shot = save(img, outDir + QStringLiteral("/calibration_%1.png").arg(suffix));
        form->cmdOK->click();
        return form->result();
    };
    w.calibrateMap();
    for (const QPoint &c : clicks)
        w.calibrationClick(c.x(), c.y());
    if (!shot || st.mapMode != MapMode::Calibrated)
        return false;

    // Points: WayPoints at the hut, the lake and the summit, a route along the trail and the
    // track walked on it.
    PointStore &s = st.store;
    s.wayPoints.append(pointAt(st, {250, 760}, PointKind::Way, QStringLiteral("RIFUG"), 1280, QStringLiteral("Rifugio Lago")));
    s.wayPoints.append(pointAt(st, {200, 845}, PointKind::Way, QStringLiteral("LAGO"), 1262));
    s.wayPoints.append(pointAt(st, {1060, 230}, PointKind::Way, QStringLiteral("CIMA"), 2310, QStringLiteral("Monte Sasso")));
    const int routeAt[] = {0, 4, 7, 11};
    for (int i = 0; i < 4; ++i)
        s.routePoints.append(pointAt(st, kTrail[routeAt[i]], PointKind::Route, QStringLiteral("R%1").arg(i + 1), 1280 + 340 * i));
    for (size_t i = 0; i + 1 < std::size(kTrail); ++i)
        for (int j = 0; j < 6; ++j) {
            const double t = j / 6.0;
            const QPointF at = kTrail[i] * (1 - t) + kTrail[i + 1] * t + QPointF(std::sin(i * 6 + j) * 6, std::cos(i * 5 + j) * 6);
            const float alt = float(1280 + 1030 * (i + t) / (std::size(kTrail) - 1));
            GpsPoint tp = pointAt(st, at, PointKind::Track, QString(), alt, s.trackPoints.isEmpty() ? QStringLiteral("Salita") : QString());
            tp.time = (8 * 3600 + 150 * double(s.trackPoints.count())) / 86400.0;
            s.trackPoints.append(tp);
        }
    st.settings.RouteLengths = 1;
    w.refreshMenus();
    w.repaintMap();
    // The pointer near the summit: the status bar shows where it is.
    const QPoint over = onScreen(mapPixel(QPointF(1000, 300)));
    QMouseEvent move(QEvent::MouseMove, QPointF(over), view->mapToGlobal(QPointF(over)), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(view, &move);
    settle();
    if (!save(w.grab().toImage(), outDir + QStringLiteral("/main-window_%1.png").arg(suffix)))
        return false;

    shot = false;
    dialogs.onExec = [&](QDialog &d) {
        if (auto *form = qobject_cast<frmOpt *>(&d)) {
            form->activate();
            shot = save(withDialog(w, *form), outDir + QStringLiteral("/options_%1.png").arg(suffix));
        }
        return int(QDialog::Rejected);
    };
    w.openOptions();

    st.store.pointsModified = st.store.mapModified = false;
    w.close();
    return shot;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: gipso-manual-pictures OUTDIR\n");
        return 2;
    }
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
    const QString out = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    QDir().mkpath(out);
    const bool ok = pictures(kEnglish, QStringLiteral("eng"), out) && pictures(kItalian, QStringLiteral("ita"), out);
    return ok ? 0 : 1;
}
