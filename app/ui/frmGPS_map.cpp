// Map file and calibration commands of the main window.
#include "app/ui/frmGPS.h"

#include "base/Error.h"
#include "base/Messages.h"
#include "map/MapFiles.h"
#include "map/TempFolder.h"
#include "map/ui/frmCalib.h"
#include "map/ui/picMap.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QProgressBar>
#include <QStatusBar>

namespace gipso {

namespace {

// The busy cursor for the length of a file command.
struct BusyCursor {
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};

// Cursor of the k-th reference click: a cross with the point's number beside it.
QCursor referenceCursor(int k)
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    for (const auto &[colour, width] : {std::pair{QColor(Qt::white), 3}, std::pair{QColor(Qt::black), 1}}) {
        p.setPen(QPen(colour, width));
        p.drawLine(15, 2, 15, 28);
        p.drawLine(2, 15, 28, 15);
    }
    QFont f = p.font();
    f.setPixelSize(11);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::red);
    p.drawText(QRect(18, 0, 14, 14), Qt::AlignCenter, QString::number(k));
    p.end();
    return QCursor(pm, 15, 15);
}

void setMapCursor(frmGPS &w, const QCursor &cursor)
{
    if (QWidget *view = w.mapView())
        view->setCursor(cursor);
}

// During the calibration clicks the status bar is one text field instead of its panels.
void setSingleStatusText(frmGPS &w, bool single, const QString &text = QString())
{
    for (int i = 1; i <= 9; ++i)
        if (QLabel *p = w.panel(i))
            p->setVisible(!single);
    if (single)
        w.statusBar()->showMessage(text);
    else
        w.statusBar()->clearMessage();
}

QString folderOf(const QString &path) { return QFileInfo(path).absolutePath() + QLatin1Char('/'); }

// Opens a map (the File menu, a recent entry, a drop or the command line). With an empty
// path the user chooses the file.
void openMapCommand(frmGPS &w, QString path)
{
    AppState &st = w.state();
    Dialogs &dlg = w.dialogs();
    if (!w.saveChangedMapFirst())
        return;
    if (path.isEmpty()) {
        // Every kind that opens first, then each kind apart.
        int filter = 1;
        path = dlg.chooseFile(&w, false, messageText(msg::OpenMapTitle), messageText(msg::AllMapsFilter) + messageText(msg::OpenMapFilter),
                              QString(), w.dialogFolder(), filter);
        if (path.isEmpty())
            return;
        st.settings.CurrentDir = folderOf(path);
    }
    if (!w.containerUsable(path))
        return;

    MapLoad load;
    {
        BusyCursor busy;
        // A large JPEG comes first reduced to what the zoom in force shows.
        load = w.mapOpener().open(path, FirstView{firstViewReduction(st.zoomFactor)});
        if (load.status != MapLoad::Failed) {
            for (int i = 1; i <= 3; ++i)
                if (QLabel *p = w.panel(i))
                    p->clear();
            w.setMapFileName(path);
            w.mapLoaded();
        }
        w.refreshMenus();
        w.repaintMap();
    }
    w.mapDecodeStep(); // the progress of the full picture, when one is on its way
    if (load.status != MapLoad::Loaded)
        w.showFileProblem(msg::InvalidMapFile, path, load.error);
}

// One step of the calibration command, from the menu or from a click at map pixel (x, y).
void calibrateCommand(frmGPS &w, double x, double y)
{
    AppState &st = w.state();
    MapCalibration &c = st.calibration;
    switch (st.mapMode) {
    case MapMode::Uncalibrated:
    case MapMode::Calibrated:
        // Clicks on the map must not create points meanwhile.
        for (const char *n : {"mnuCreaWayP", "mnuCreaR"})
            if (QAction *a = w.action(QLatin1String(n)))
                a->setChecked(false);
        setMapCursor(w, referenceCursor(1));
        w.repaintMap();
        st.modeBeforeCalibration = st.mapMode;
        st.calibrationBefore = c;
        st.mapMode = MapMode::FirstClick;
        setSingleStatusText(w, true, messageText(msg::ClickFirstCalibrationPoint));
        w.refreshMenus();
        return;
    case MapMode::FirstClick:
        setMapCursor(w, referenceCursor(2));
        w.repaintMap();
        st.mapMode = MapMode::SecondClick;
        setSingleStatusText(w, true, messageText(msg::ClickSecondCalibrationPoint));
        c.x1 = x;
        c.yUp1 = -y;
        w.refreshMenus();
        return;
    case MapMode::SecondClick:
        break;
    case MapMode::NoMap:
        return;
    }

    if (x == c.x1 && -y == c.yUp1) { // the same pixel twice: wait for another second click
        w.refreshMenus();
        return;
    }
    c.x2 = x;
    c.yUp2 = -y;
    setSingleStatusText(w, true);
    {
        frmCalib form(w.dialogs(), &w);
        if (st.modeBeforeCalibration == MapMode::Calibrated)
            form.showCoordinates(c);
        const int answer = w.dialogs().exec(form);
        if (st.mapMode == MapMode::NoMap) {
            // The map was closed while the form was open (its full picture found damaged):
            // there is nothing left to calibrate or to restore.
        } else if (answer == QDialog::Accepted) {
            form.takeCoordinates(c);
            computeCalibration(c);
            st.mapMode = MapMode::Calibrated;
            st.store.mapModified = true;
        } else {
            // The calibration in force stays whole, reference pixels included.
            c = st.calibrationBefore;
            st.mapMode = st.modeBeforeCalibration;
        }
    }
    setMapCursor(w, Qt::CrossCursor);
    setSingleStatusText(w, false);
    w.refreshMenus();
    w.repaintMap();
}

} // namespace

void frmGPS::openMap() { openMapCommand(*this, QString()); }

void frmGPS::mapDecodeStep()
{
    if (!mapProgress_) {
        mapProgress_ = new QProgressBar(statusBar());
        mapProgress_->setObjectName(QStringLiteral("MapProgress"));
        mapProgress_->setRange(0, 100);
        statusBar()->addPermanentWidget(mapProgress_);
        mapProgress_->hide();
    }
    const QString path = mapOpener_->decodingPath();
    QString error;
    const MapOpener::Step step = mapOpener_->collect(&error);
    if (step == MapOpener::Step::Decoding) {
        const QString text = messageText(msg::MapDetailLoading) + QStringLiteral(" 100%");
        mapProgress_->setMinimumWidth(mapProgress_->fontMetrics().horizontalAdvance(text) + 24);
        mapProgress_->setFormat(messageText(msg::MapDetailLoading) + QStringLiteral(" %p%"));
        mapProgress_->setValue(mapOpener_->percent());
        mapProgress_->show();
        return;
    }
    mapProgress_->hide();
    if (step == MapOpener::Step::Finished) {
        if (picMap *view = mapView())
            view->applyView(); // the same zoom and place, now in full detail
        repaintMap();
    } else if (step == MapOpener::Step::Failed) {
        setMapFileName(QString());
        mapLoaded();
        refreshMenus();
        repaintMap();
        showFileProblem(msg::InvalidMapFile, path, error);
    }
}

bool frmGPS::saveChangedMapFirst()
{
    PointStore &s = state().store;
    if (!s.mapModified)
        return true;
    switch (dialogs().ask(this, messageText(msg::SaveMapQuestion), Dialogs::Buttons::YesNoCancel, Dialogs::Answer::Yes)) {
    case Dialogs::Answer::Yes:
        saveCalibratedMap();
        return !s.mapModified;
    case Dialogs::Answer::No:
        s.mapModified = false;
        return true;
    default:
        return false;
    }
}

bool frmGPS::saveCalibratedMap()
{
    AppState &st = state();
    int filter = 1;
    const QString path = dialogs().chooseFile(this, true, messageText(msg::SaveMapTitle), messageText(msg::SaveMapFilter),
                                              messageText(msg::SaveMapDefaultExtension), dialogFolder(), filter);
    if (path.isEmpty())
        return false;
    st.settings.CurrentDir = folderOf(path);
    if (mapFileKind(path) == MapFileKind::Picture) {
        // Only the two calibrated forms can be written; nothing is saved, so nothing is cleared.
        dialogs().message(this, messageText(msg::InvalidFileExtension), Dialogs::Icon::Critical);
        return false;
    }
    if (!containerUsable(path))
        return false;
    QString written;
    try {
        BusyCursor busy;
        written = saveCalibratedMapFile(st, path);
    } catch (const GipsoError &e) {
        showError(e);
        return false;
    }
    setMapFileName(written);
    showStatus(formatMessage(messageText(msg::MapSaved), {QFileInfo(written).fileName()}));
    return true;
}

bool frmGPS::containerUsable(const QString &path)
{
    if (mapFileKind(path) != MapFileKind::Container || !tempFolder_ || tempFolder_->isValid())
        return true;
    dialogs().message(this, formatMessage(messageText(msg::TempFolderMissing), {tempFolder_->parent(), tempFolder_->reason()}),
                      Dialogs::Icon::Critical);
    return false;
}

void frmGPS::openRecentMap(int k)
{
    const QString path = recentMap(state().settings, k);
    if (!path.isEmpty())
        openMapCommand(*this, path);
}

void frmGPS::calibrateMap()
{
    if (state().mapMode == MapMode::Uncalibrated || state().mapMode == MapMode::Calibrated)
        calibrateCommand(*this, 0, 0);
}

void frmGPS::calibrationClick(double x, double y)
{
    if (calibrating(state().mapMode))
        calibrateCommand(*this, x, y);
}

// Files named on the command line or dropped, each opened by its kind: the map first (one
// at most), then the point files in their order, whatever map is shown or none.
void frmGPS::openFiles(const QStringList &files)
{
    QStringList maps, points;
    for (const QString &f : files) {
        const QString path = QFileInfo(f).absoluteFilePath();
        if (isMapFileName(f))
            maps << path;
        else if (isPointFileName(f))
            points << path;
        else
            showFileProblem(msg::InvalidFileExtension, path);
    }
    if (maps.size() > 1) {
        dialogs().message(this, messageText(msg::DropOneMapOnly), Dialogs::Icon::Critical);
        return;
    }
    if (maps.size() == 1)
        openMapCommand(*this, maps.first());
    for (const QString &f : points)
        importPointFile(f);
    repaintMap();
}

void frmGPS::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls()) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void frmGPS::dropEvent(QDropEvent *event)
{
    // Not while a calibration waits for its clicks (the File menu is off then too).
    if (!event->mimeData()->hasUrls() || calibrating(state().mapMode)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    QStringList dropped;
    for (const QUrl &u : event->mimeData()->urls())
        if (u.isLocalFile())
            dropped << u.toLocalFile();
    if (dropped.isEmpty())
        dialogs().message(this, messageText(msg::InvalidFileExtension), Dialogs::Icon::Critical);
    else
        openFiles(dropped);
}

} // namespace gipso
