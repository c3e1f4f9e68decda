#include "app/ui/frmGPS.h"

#include "edit/ui/frmWayPoint.h"

#include "base/Clock.h"
#include "base/Error.h"
#include "base/Messages.h"
#include "base/ui/QtTranslations.h"
#include "edit/ui/frmWayPoint.h"
#include "files/PointFiles.h"
#include "map/MapFiles.h"
#include "map/TempFolder.h"
#include "map/ui/picMap.h"
#include "state/MenuState.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressDialog>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QWindow>

namespace gipso {

namespace {
constexpr int kMinWidthTwips = 9225;
constexpr int kMinHeightTwips = 5115;
constexpr int kStatusMs = 5000; // how long the status bar says what a command did

const char *const kModeEntries[] = {"mnuCreaWayP", "mnuCreaR", "mnuEditW", "mnuEditR", "mnuEditT"};

// The window's geometry is kept in the configuration in twips (1440 to the inch).
struct TwipsPerPixel {
    double x, y;
};

TwipsPerPixel twipsPerPixel(const QWidget &w)
{
    const QScreen *s = w.screen() ? w.screen() : QGuiApplication::primaryScreen();
    auto twips = [](double dpi) { return 1440.0 / (dpi > 0 ? dpi : 96.0); };
    return s ? TwipsPerPixel{twips(s->logicalDotsPerInchX()), twips(s->logicalDotsPerInchY())} : TwipsPerPixel{15.0, 15.0};
}

// Progress of long file work: a dialog that appears after half a second and keeps the window painted.
class FileProgress {
public:
    FileProgress(QWidget *parent, const QString &label) : dialog_(label, QString(), 0, 1000, parent)
    {
        dialog_.setWindowModality(Qt::WindowModal);
        dialog_.setMinimumDuration(500);
        dialog_.setCancelButton(nullptr);
        dialog_.setAutoClose(true);
        dialog_.setValue(0);
    }
    ProgressFn function()
    {
        return [this](qint64 done, qint64 total) {
            if (total > 0)
                dialog_.setValue(static_cast<int>(std::min<qint64>(1000, done * 1000 / total)));
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            return true;
        };
    }
    ~FileProgress() { dialog_.setValue(1000); }

private:
    QProgressDialog dialog_;
};
} // namespace

QString recentMapCaption(int k, const QString &path)
{
    const QString prefix = QLatin1Char('&') + QString::number(k) + QLatin1Char(' ');
    if (path.size() < 37)
        return prefix + path;
    return prefix + path.left(3) + QStringLiteral("...") + path.right(30);
}

void applyMinimumSize(int32_t &widthTwips, int32_t &heightTwips)
{
    if (heightTwips < kMinHeightTwips)
        heightTwips = kMinHeightTwips;
    else if (widthTwips < kMinWidthTwips)
        widthTwips = kMinWidthTwips;
}

frmGPS::frmGPS(Dialogs &dialogs, ConfigEnvironment env, QWidget *parent)
    : QMainWindow(parent), dialogs_(dialogs), env_(std::move(env))
{
    setObjectName(QStringLiteral("frmGPS"));
    setAcceptDrops(true);
    // The worker's news is taken on this thread; once the window is gone it is dropped.
    mapOpener_ = std::make_unique<MapOpener>(state_, [this] {
        QMetaObject::invokeMethod(this, [this] { mapDecodeStep(); }, Qt::QueuedConnection);
    });
    buildMenus();
    buildMapFrame();
    buildStatusBar();
}

frmGPS::~frmGPS() = default;

// ---------------------------------------------------------------------------------------------
// Construction of the menus, the map frame and the status bar

QMenu *frmGPS::addMenu(const QString &name, int captionId)
{
    QMenu *m = menuBar()->addMenu(QString());
    m->setObjectName(name);
    m->menuAction()->setObjectName(name);
    menus_.insert(name, m);
    menuCaptionIds_.insert(m, captionId);
    connect(m, &QMenu::aboutToShow, this, [this, name] { updateMenuForCounts(name); });
    return m;
}

QAction *frmGPS::addEntry(QMenu *menu, const QString &name, int captionId, std::function<void()> handler)
{
    QAction *a = menu->addAction(QString());
    a->setObjectName(name);
    actions_.insert(name, a);
    if (captionId > 0)
        captionIds_.insert(a, captionId);
    if (handler)
        connect(a, &QAction::triggered, this, [handler = std::move(handler)] { handler(); });
    return a;
}

void frmGPS::buildMenus()
{
    QMenu *file = addMenu(QStringLiteral("mnuFile"), msg::MenuFile);
    addEntry(file, QStringLiteral("mnuApri"), msg::MenuOpenMap, [this] { openMap(); });
    addEntry(file, QStringLiteral("mnuSalva"), msg::MenuSaveCalibratedMap, [this] { saveCalibratedMap(); });
    file->addSeparator();
    addEntry(file, QStringLiteral("mnuImporta"), msg::MenuImportPoints, [this] { importPoints(); });
    addEntry(file, QStringLiteral("mnuEsporta"), msg::MenuExportPoints, [this] { exportPoints(); });
    file->addSeparator();
    addEntry(file, QStringLiteral("mnuStampa"), msg::MenuPrint, [this] { printMap(); });
    file->addSeparator();
    addEntry(file, QStringLiteral("mnuOpt"), msg::MenuOptions, [this] { openOptions(); });
    QMenu *lang = file->addMenu(QString());
    lang->setObjectName(QStringLiteral("mnuLang"));
    lang->menuAction()->setObjectName(QStringLiteral("mnuLang"));
    menus_.insert(QStringLiteral("mnuLang"), lang);
    actions_.insert(QStringLiteral("mnuLang"), lang->menuAction());
    captionIds_.insert(lang->menuAction(), msg::MenuLanguages);
    // Entry 0 of the language list is a hidden template; the languages follow it.
    QAction *templ = lang->addAction(QString());
    templ->setObjectName(QStringLiteral("mnuLangList0"));
    templ->setVisible(false);
    recentSeparator_ = file->addSeparator();
    recentSeparator_->setObjectName(QStringLiteral("mnuSepLastMap"));
    for (int k = 1; k <= 3; ++k) {
        QAction *a = addEntry(file, QStringLiteral("mnuLastMap%1").arg(k), 0, [this, k] { openRecentMap(k); });
        a->setVisible(false);
    }
    file->addSeparator();
    addEntry(file, QStringLiteral("mnuEsci"), msg::MenuExit, [this] { close(); });

    QMenu *edit = addMenu(QStringLiteral("mnuModifica"), msg::MenuEdit);
    addEntry(edit, QStringLiteral("mnuAnnulla"), msg::MenuUndo, [this] { undo(); })->setShortcut(QKeySequence::Undo);
    QAction *redoEntry = addEntry(edit, QStringLiteral("mnuRipeti"), msg::MenuRedo, [this] { redo(); });
    redoEntry->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});

    QMenu *view = addMenu(QStringLiteral("mnuVista"), msg::MenuView);
    for (auto [name, id] : {std::pair{"mnuXpiu", msg::MenuZoomIn}, {"mnuXmeno", msg::MenuZoomOut}, {"mnuX400", msg::MenuZoom400}, {"mnuX200", msg::MenuZoom200},
                            {"mnuXNorm", msg::MenuZoom100}, {"mnuX50", msg::MenuZoom50}, {"mnuX25", msg::MenuZoom25}}) {
        const QString n = QLatin1String(name);
        addEntry(view, n, id, [this, n] { zoomCommand(n); });
        if (n == QLatin1String("mnuXmeno") || n == QLatin1String("mnuX25"))
            view->addSeparator();
    }
    QAction *halftone = addEntry(view, QStringLiteral("mnuHalftone"), msg::MenuHalftone,
                                 [this] { zoomCommand(QStringLiteral("mnuHalftone")); });
    halftone->setCheckable(true);

    QMenu *cal = addMenu(QStringLiteral("mnuCalibra"), msg::MenuCalibration);
    addEntry(cal, QStringLiteral("mnuCalMappa"), msg::MenuCalibrateMap, [this] { calibrateMap(); });

    auto modeEntry = [this](QMenu *m, const char *name, int id) {
        QAction *a = addEntry(m, QLatin1String(name), id, [this, n = QString::fromLatin1(name)] { toggleMode(n); });
        a->setCheckable(true);
    };
    QMenu *way = addMenu(QStringLiteral("mnuWay"), msg::MenuWayPoints);
    modeEntry(way, "mnuCreaWayP", msg::MenuWayPointsCreate);
    addEntry(way, QStringLiteral("mnuInsWay"), msg::MenuWayPointsInsert, [this] { insertPoints(PointKind::Way); });
    modeEntry(way, "mnuEditW", msg::MenuWayPointsEdit);
    way->addSeparator();
    addEntry(way, QStringLiteral("mnuCancella"), msg::MenuWayPointsDeleteAll, [this] { deleteAll(PointKind::Way); });
    addEntry(way, QStringLiteral("mnuCancellaLast"), msg::MenuWayPointsDeleteLast, [this] { deleteLast(PointKind::Way); });
    way->addSeparator();
    addEntry(way, QStringLiteral("mnuVisw"), msg::MenuWayPointsList, [this] { showList(QStringLiteral("1"), msg::WayPointListCaption); });
    way->addSeparator();
    addEntry(way, QStringLiteral("mnuDownw"), msg::MenuWayPointsDownload, [this] { openComm(CommMode::DownloadWayPoints, msg::DownloadWayPointsCaption); });
    addEntry(way, QStringLiteral("mnuUplw"), msg::MenuWayPointsUpload, [this] { openComm(CommMode::UploadWayPoints, msg::UploadWayPointsCaption); });

    QMenu *route = addMenu(QStringLiteral("mnuRoute"), msg::MenuRoutePoints);
    modeEntry(route, "mnuCreaR", msg::MenuRoutePointsCreate);
    addEntry(route, QStringLiteral("mnuInsR"), msg::MenuRoutePointsInsert, [this] { insertPoints(PointKind::Route); });
    modeEntry(route, "mnuEditR", msg::MenuRoutePointsEdit);
    addEntry(route, QStringLiteral("mnuInvertiR"), msg::MenuReverseRoute, [this] { reverse(PointKind::Route); });
    route->addSeparator();
    addEntry(route, QStringLiteral("mnuCancellaR"), msg::MenuRoutePointsDeleteAll, [this] { deleteAll(PointKind::Route); });
    addEntry(route, QStringLiteral("mnuCancellaLastR"), msg::MenuRoutePointsDeleteLast, [this] { deleteLast(PointKind::Route); });
    route->addSeparator();
    addEntry(route, QStringLiteral("mnuVisr"), msg::MenuRoutePointsList, [this] { showList(QStringLiteral("2"), msg::RoutePointListCaption); });
    addEntry(route, QStringLiteral("mnuAltr"), msg::MenuRoutePointsProfile, [this] { showProfile(QStringLiteral("2"), msg::RouteProfileCaption); });
    route->addSeparator();
    addEntry(route, QStringLiteral("mnuDownr"), msg::MenuRoutePointsDownload, [this] { openComm(CommMode::DownloadRoutePoints, msg::DownloadRoutePointsCaption); });
    addEntry(route, QStringLiteral("mnuUplr"), msg::MenuRoutePointsUpload, [this] { openComm(CommMode::UploadRoutePoints, msg::UploadRoutePointsCaption); });

    QMenu *track = addMenu(QStringLiteral("mnuTrack"), msg::MenuTrackPoints);
    modeEntry(track, "mnuEditT", msg::MenuTrackPointsEdit);
    addEntry(track, QStringLiteral("mnuInvertiT"), msg::MenuReverseTrack, [this] { reverse(PointKind::Track); });
    track->addSeparator();
    addEntry(track, QStringLiteral("mnuCancellaT"), msg::MenuTrackPointsDeleteAll, [this] { deleteAll(PointKind::Track); });
    track->addSeparator();
    addEntry(track, QStringLiteral("mnuVist"), msg::MenuTrackPointsList, [this] { showList(QStringLiteral("3"), msg::TrackPointListCaption); });
    addEntry(track, QStringLiteral("mnuAltt"), msg::MenuTrackPointsProfile, [this] { showProfile(QStringLiteral("3"), msg::TrackProfileCaption); });
    addEntry(track, QStringLiteral("mnuStatt"), msg::MenuTrackStatistics, [this] { showStatistics(); });
    track->addSeparator();
    addEntry(track, QStringLiteral("mnuNMEA"), msg::MenuNmeaAcquisition, [this] { openComm(CommMode::NmeaAcquisition, msg::NmeaAcquisitionCaption); });
    addEntry(track, QStringLiteral("mnuDownt"), msg::MenuTrackPointsDownload, [this] { openComm(CommMode::DownloadTrackPoints, msg::DownloadTrackPointsCaption); });

    QMenu *help = addMenu(QStringLiteral("mnuHelp"), 0);
    help->setTitle(QStringLiteral("&?"));
    addEntry(help, QStringLiteral("mnuHTMLHelp"), msg::MenuHelp, [this] { openHelp(); });
    addEntry(help, QStringLiteral("mnuAbout"), msg::MenuAbout, [this] { openAbout(); });
}

void frmGPS::buildMapFrame()
{
    auto *central = new QWidget(this);
    auto *grid = new QGridLayout(central);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    picFrame_ = new QFrame(central);
    picFrame_->setObjectName(QStringLiteral("picFrame"));
    picFrame_->setFrameShape(QFrame::StyledPanel);
    picFrame_->setFrameShadow(QFrame::Sunken);
    picFrame_->setAutoFillBackground(true);
    QPalette pal = picFrame_->palette();
    pal.setColor(QPalette::Window, QApplication::palette().color(QPalette::Button)); // no map yet
    picFrame_->setPalette(pal);
    HScroll1_ = new QScrollBar(Qt::Horizontal, central);
    HScroll1_->setObjectName(QStringLiteral("HScroll1"));
    VScroll1_ = new QScrollBar(Qt::Vertical, central);
    VScroll1_->setObjectName(QStringLiteral("VScroll1"));
    for (QScrollBar *s : {HScroll1_, VScroll1_}) {
        s->setRange(0, 32000);
        s->setEnabled(false);
    }
    grid->addWidget(picFrame_, 0, 0);
    grid->addWidget(VScroll1_, 0, 1);
    grid->addWidget(HScroll1_, 1, 0);
    setCentralWidget(central);
}

void frmGPS::buildStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(true);
    for (int i = 1; i <= 9; ++i) {
        auto *l = new QLabel(bar);
        l->setObjectName(QStringLiteral("Panel%1").arg(i));
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
        // The readouts share what is left; the mode panels keep room for their words.
        l->setAlignment(i <= 2 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
        l->setContentsMargins(3, 0, 3, 0);
        if (i == 3 || i == 4)
            l->setMinimumWidth(60);
        panels_[i] = l;
        if (i <= 2)
            bar->addWidget(l, 1);
        else
            bar->addPermanentWidget(l);
    }
}

QAction *frmGPS::action(const QString &name) const { return actions_.value(name); }
QMenu *frmGPS::menu(const QString &name) const { return menus_.value(name); }
QLabel *frmGPS::panel(int index) const { return index >= 1 && index <= 9 ? panels_[index] : nullptr; }

void frmGPS::setPanelText(int index, const QString &text)
{
    if (QLabel *p = panel(index))
        p->setText(text);
}

bool frmGPS::halftone() const
{
    const QAction *entry = action(QStringLiteral("mnuHalftone"));
    return entry && entry->isChecked();
}

// ---------------------------------------------------------------------------------------------
// Start-up

void frmGPS::start(const QStringList &files)
{
    const ConfigResult config = readConfiguration(env_, state_.settings);
    for (const QString &warning : config.warnings)
        qWarning("Gipso: %s", qPrintable(warning));
    setLanguage(config.language);
    state_.languages = config.languages;
    state_.userSection = config.userSection;
    rebuildLanguageMenu();
    applyLanguage();

    state_.mapMode = MapMode::NoMap;
    state_.store.wayPoints.clear();
    state_.store.routePoints.clear();
    state_.store.trackPoints.clear();

    const TwipsPerPixel tpp = twipsPerPixel(*this);
    setMinimumSize(static_cast<int>(kMinWidthTwips / tpp.x), static_cast<int>(kMinHeightTwips / tpp.y));
    state_.zoomFactor = 1.0;
    state_.store.mapModified = false;
    state_.store.pointsModified = false;

    restoreGeometry(config.windowStored);
    setupMapView();

    refreshMenus();
    state_.units = unitSettings(state_.settings.unitsMetric());

    // A private temporary folder for this run, removed at exit. Without one no other folder
    // stands in: .Gipso maps then cannot be opened or saved (containerUsable says why).
    tempFolder_ = std::make_unique<TempFolder>(QStringLiteral("gipso"));
    state_.tempDir = tempFolder_->path();
    state_.tempMapFile.clear();

    started_ = true;
    if (state_.settings.WindowMax == 1)
        showMaximized();
    else
        show();
    if (!files.isEmpty())
        openFiles(files);
}

void frmGPS::restoreGeometry(bool stored)
{
    Settings &s = state_.settings;
    int32_t w = s.WindowWidth, h = s.WindowHeight;
    applyMinimumSize(w, h);
    applyMinimumSize(w, h);
    // Keep the window on a screen even when the stored position came from a larger desktop.
    QRect avail = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry() : QRect();
    if (!stored && avail.isValid()) {
        // A first start: three quarters of the screen, in its middle.
        const QSize size = (avail.size() * 3 / 4).expandedTo(minimumSize());
        resize(size);
        move(avail.center() - QPoint(size.width() / 2, size.height() / 2));
        return;
    }
    const TwipsPerPixel tpp = twipsPerPixel(*this);
    int left = static_cast<int>(s.WindowLeft / tpp.x);
    int top = static_cast<int>(s.WindowTop / tpp.y);
    int width = static_cast<int>(w / tpp.x);
    int height = static_cast<int>(h / tpp.y);
    if (avail.isValid() && !avail.intersects(QRect(left, top, width, height))) {
        left = avail.left();
        top = avail.top();
    }
    move(left, top);
    resize(width, height);
}

void frmGPS::storeGeometry()
{
    if (!started_ || closing_ || isMinimized())
        return;
    if (isMaximized()) {
        state_.settings.WindowMax = 1;
        return;
    }
    const QRect g = frameGeometry();
    const TwipsPerPixel tpp = twipsPerPixel(*this);
    state_.settings.WindowLeft = static_cast<int32_t>(std::lround(g.left() * tpp.x));
    state_.settings.WindowTop = static_cast<int32_t>(std::lround(g.top() * tpp.y));
    state_.settings.WindowWidth = static_cast<int32_t>(std::lround(width() * tpp.x));
    state_.settings.WindowHeight = static_cast<int32_t>(std::lround(height() * tpp.y));
    state_.settings.WindowMax = 0;
}

void frmGPS::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    if (isMinimized())
        return;
    const TwipsPerPixel tpp = twipsPerPixel(*this);
    int32_t w = static_cast<int32_t>(std::lround(width() * tpp.x));
    int32_t h = static_cast<int32_t>(std::lround(height() * tpp.y));
    const int32_t w0 = w, h0 = h;
    applyMinimumSize(w, h);
    if (w != w0 || h != h0) {
        resize(static_cast<int>(std::ceil(w / tpp.x)), static_cast<int>(std::ceil(h / tpp.y)));
        return;
    }
    storeGeometry();
    if (state_.mapMode != MapMode::NoMap)
        viewResized();
}

void frmGPS::moveEvent(QMoveEvent *event)
{
    QMainWindow::moveEvent(event);
    storeGeometry();
}

void frmGPS::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        storeGeometry();
}

// ---------------------------------------------------------------------------------------------
// Languages and captions

void frmGPS::rebuildLanguageMenu()
{
    QMenu *lang = menus_.value(QStringLiteral("mnuLang"));
    for (QAction *a : languageEntries_) {
        lang->removeAction(a);
        a->deleteLater();
    }
    languageEntries_.clear();
    for (int k = 1; k <= state_.languages.size(); ++k) {
        const LanguageEntry &e = state_.languages[k - 1];
        QAction *a = lang->addAction(e.caption);
        a->setObjectName(QStringLiteral("mnuLangList%1").arg(k));
        a->setData(QString::number(e.id)); // the tag
        a->setCheckable(true);
        a->setVisible(true);
        connect(a, &QAction::triggered, this, [this, k] { chooseLanguageEntry(k); });
        languageEntries_.push_back(a);
    }
    syncLanguageChecks();
}

void frmGPS::syncLanguageChecks()
{
    for (QAction *a : languageEntries_)
        a->setChecked(a->data().toString() == QString::number(currentLanguage()));
}

void frmGPS::chooseLanguageEntry(int k)
{
    if (k < 1 || k > languageEntries_.size())
        return;
    QAction *a = languageEntries_[k - 1];
    // The toolkit flips the check mark before we see the click: judge by the language in force.
    if (a->data().toString() == QString::number(currentLanguage())) {
        syncLanguageChecks();
        return;
    }
    setLanguage(a->data().toString().toInt());
    state_.settings.Language = currentLanguage();
    syncLanguageChecks();
    applyLanguage();
}

void frmGPS::applyLanguage()
{
    applyQtTranslations(currentLanguage()); // Qt's own buttons and dialogs
    updateTitle();
    for (auto it = menuCaptionIds_.cbegin(); it != menuCaptionIds_.cend(); ++it)
        if (it.value() > 0)
            it.key()->setTitle(messageText(it.value()));
    for (auto it = captionIds_.cbegin(); it != captionIds_.cend(); ++it)
        it.key()->setText(messageText(it.value()));
    // Panels 5 to 9: the editing modes and the three kinds.
    const msg::Id panelTexts[] = {msg::ModeCreate, msg::ModeModify, msg::KindTagWay, msg::KindTagRoute, msg::KindTagTrack};
    for (int i = 5; i <= 9; ++i)
        panels_[i]->setText(messageText(panelTexts[i - 5]));
}

// ---------------------------------------------------------------------------------------------
// Menu state

void frmGPS::setMapMode(MapMode mode)
{
    state_.mapMode = mode;
    refreshMenus();
}

void frmGPS::refreshMenus()
{
    const MenuBarState s = menuBarState(state_.mapMode, editMode(), state_.history.canUndo(), state_.history.canRedo());
    menus_.value(QStringLiteral("mnuFile"))->menuAction()->setEnabled(s.file);
    menus_.value(QStringLiteral("mnuCalibra"))->menuAction()->setEnabled(s.calibration);
    menus_.value(QStringLiteral("mnuVista"))->menuAction()->setEnabled(s.view);
    menus_.value(QStringLiteral("mnuModifica"))->menuAction()->setEnabled(s.edit);
    actions_.value(QStringLiteral("mnuAnnulla"))->setEnabled(s.undo);
    actions_.value(QStringLiteral("mnuRipeti"))->setEnabled(s.redo);
    for (const char *n : {"mnuWay", "mnuRoute", "mnuTrack"})
        menus_.value(QLatin1String(n))->menuAction()->setEnabled(s.points);
    const bool panels[] = {s.zoomPanel, s.createPanel, s.modifyPanel, s.wayPanel, s.routePanel, s.trackPanel};
    for (int i = 4; i <= 9; ++i)
        panels_[i]->setEnabled(panels[i - 4]);

    for (int k = 1; k <= 3; ++k) {
        const QString path = recentMap(state_.settings, k);
        QAction *a = actions_.value(QStringLiteral("mnuLastMap%1").arg(k));
        if (path.isEmpty()) {
            a->setVisible(false);
            if (k == 1)
                recentSeparator_->setVisible(false);
        } else {
            a->setText(recentMapCaption(k, path));
            a->setVisible(true);
            if (k == 1)
                recentSeparator_->setVisible(true);
        }
    }
    updateTitle();
}

void frmGPS::updateMenuForCounts(const QString &menuName)
{
    for (const auto &[name, on] : countedEntries(menuName, state_.mapMode, pointCounts(state_.store)))
        actions_.value(name)->setEnabled(on);
    if (menuName == QLatin1String("mnuVista"))
        updateZoomMenu();
}

void frmGPS::repaintMap()
{
    if (QWidget *view = mapView())
        view->update();
    updateTitle(); // the points may have changed
}

void frmGPS::showError(const GipsoError &e, int prefixId)
{
    dialogs_.message(this, errorMessage(e, prefixId), Dialogs::Icon::Critical);
}

void frmGPS::showFileProblem(int messageId, const QString &path, const QString &reason)
{
    QString where = QDir::toNativeSeparators(path);
    if (!reason.isEmpty())
        where += QStringLiteral(": ") + reason;
    dialogs_.message(this, messageText(messageId) + QStringLiteral("\n\n") + where, Dialogs::Icon::Critical);
}

void frmGPS::showStatus(const QString &text) { statusBar()->showMessage(text, kStatusMs); }

void frmGPS::updateTitle()
{
    const PointStore &s = state_.store;
    const QString mark = s.mapModified || (s.pointsModified && !s.allEmpty()) ? QStringLiteral("*") : QString();
    const QString title = mapFileName_.isEmpty() ? messageText(msg::ProgramName) + mark
                                                 : QFileInfo(mapFileName_).fileName() + mark + QStringLiteral(" - ") + messageText(msg::ProgramName);
    if (title != windowTitle())
        setWindowTitle(title);
}

void frmGPS::setMapFileName(const QString &path)
{
    mapFileName_ = path;
    updateTitle();
}

QString frmGPS::dialogFolder() const
{
    // Never the program's own folder, the default of CurrentDir: the home folder instead.
    const QString &dir = state_.settings.CurrentDir;
    if (!dir.isEmpty() && QFileInfo(dir).isDir() && QDir(dir) != QDir(env_.programDir))
        return dir;
    return QDir::homePath();
}

// ---------------------------------------------------------------------------------------------
// List commands

namespace {
int kindNameId(PointKind kind) { return kind == PointKind::Way ? msg::WayPointName : kind == PointKind::Route ? msg::RoutePointName : msg::TrackPointName; }
const char *editEntry(PointKind kind)
{
    return kind == PointKind::Way ? "mnuEditW" : kind == PointKind::Route ? "mnuEditR" : "mnuEditT";
}
} // namespace

void frmGPS::deleteAll(PointKind kind)
{
    const QString text = formatMessage(messageText(msg::DeleteAllQuestion), {messageText(kindNameId(kind))});
    if (dialogs_.ask(this, text, Dialogs::Buttons::OkCancel, Dialogs::Answer::Cancel) != Dialogs::Answer::Ok)
        return;
    PointList &list = state_.store.list(kind);
    std::vector<GpsPoint> before(std::make_move_iterator(list.begin()), std::make_move_iterator(list.end()));
    list.clear();
    if (!before.empty())
        state_.history.push(PointChange::removed(kind, 1, std::move(before)));
    state_.selection.selected(kind) = 0;
    repaintMap();
    state_.store.pointsModified = true;
    actions_.value(QLatin1String(editEntry(kind)))->setChecked(false);
    refreshMenus();
}

void frmGPS::deleteLast(PointKind kind)
{
    PointList &list = state_.store.list(kind);
    if (list.isEmpty())
        return;
    const QString text = formatMessage(messageText(msg::DeleteLastQuestion), {messageText(kindNameId(kind))});
    if (dialogs_.ask(this, text, Dialogs::Buttons::OkCancel, Dialogs::Answer::Cancel) != Dialogs::Answer::Ok)
        return;
    state_.history.push(PointChange::removed(kind, list.count(), {list[list.count()]}));
    list.removeLast();
    // A selection past the end would point at a removed record.
    int32_t &sel = state_.selection.selected(kind);
    if (sel > list.count())
        sel = 0;
    repaintMap();
    state_.store.pointsModified = true;
    if (list.isEmpty()) {
        actions_.value(QLatin1String(editEntry(kind)))->setChecked(false);
        refreshMenus();
    }
    updateTitle();
}

void frmGPS::reverse(PointKind kind)
{
    PointList &list = state_.store.list(kind);
    if (list.count() < 2)
        return;
    const int id = kind == PointKind::Route ? msg::ReverseRouteQuestion : msg::ReverseTrackQuestion;
    if (dialogs_.ask(this, messageText(id), Dialogs::Buttons::OkCancel, Dialogs::Answer::Cancel) != Dialogs::Answer::Ok)
        return;
    std::vector<std::pair<double, double>> dates;
    dates.reserve(static_cast<size_t>(list.count()));
    for (const GpsPoint &p : list)
        dates.emplace_back(p.date, p.time);
    reverseList(list);
    state_.history.push(PointChange::reversed(kind, std::move(dates)));
    repaintMap();
    state_.store.pointsModified = true;
    refreshMenus();
}

void frmGPS::toggleMode(const QString &actionName)
{
    // The toolkit has already flipped the clicked entry; clear the other four.
    QAction *clicked = actions_.value(actionName);
    const bool on = clicked->isChecked();
    for (const char *n : kModeEntries)
        actions_.value(QLatin1String(n))->setChecked(false);
    clicked->setChecked(on);
    refreshMenus();
}

EditMode frmGPS::editMode() const
{
    const QString m = checkedMode();
    if (m == QLatin1String("mnuCreaWayP"))
        return EditMode::CreateWayPoints;
    if (m == QLatin1String("mnuCreaR"))
        return EditMode::CreateRoutePoints;
    if (m == QLatin1String("mnuEditW"))
        return EditMode::ModifyWayPoints;
    if (m == QLatin1String("mnuEditR"))
        return EditMode::ModifyRoutePoints;
    if (m == QLatin1String("mnuEditT"))
        return EditMode::ModifyTrackPoints;
    return EditMode::None;
}

void frmGPS::uncheckEmptyEditModes()
{
    for (PointKind kind : {PointKind::Way, PointKind::Route, PointKind::Track})
        if (state_.store.list(kind).isEmpty())
            actions_.value(QLatin1String(editEntry(kind)))->setChecked(false);
}

void frmGPS::openPointDialog(PointKind kind, PointDialogMode mode, int captionId)
{
    frmWayPoint form(state_, dialogs_, kind, mode, this);
    form.setWindowTitle(messageText(captionId));
    form.repaintMap = [this] { repaintMap(); };
    form.run();
    if (form.listEmptied())
        actions_.value(QLatin1String(editEntry(kind)))->setChecked(false);
    repaintMap();
    refreshMenus();
}

void frmGPS::undo() { stepHistory(false); }

void frmGPS::redo() { stepHistory(true); }

void frmGPS::stepHistory(bool forward)
{
    // Not in the middle of a drag: the mouse holds a selection of the lists as they are.
    if (mapView() && mapView()->mouseIsDown())
        return;
    if (!(forward ? state_.history.redo(state_.store) : state_.history.undo(state_.store)))
        return;
    state_.selection.clear();
    uncheckEmptyEditModes();
    repaintMap();
    refreshMenus();
}

QString frmGPS::checkedMode() const
{
    for (const char *n : kModeEntries)
        if (actions_.value(QLatin1String(n))->isChecked())
            return QLatin1String(n);
    return {};
}

void frmGPS::insertPoints(PointKind kind)
{
    actions_.value(kind == PointKind::Way ? QStringLiteral("mnuCreaWayP") : QStringLiteral("mnuCreaR"))->setChecked(false);
    refreshMenus();
    openPointDialog(kind, PointDialogMode::Insert, kind == PointKind::Way ? msg::WayPointCaption : msg::RoutePointCaption);
}

// ---------------------------------------------------------------------------------------------
// Point files

namespace {
// Both point file formats first, then the dialog's own filters.
QString pointFilesFilter(int filterId) { return messageText(msg::AllPointFilesFilter) + messageText(filterId); }
} // namespace

bool frmGPS::exportPoints()
{
    int filter = state_.settings.PointFileFilter;
    const QString path = dialogs_.chooseFile(this, true, messageText(msg::ExportPointsTitle), pointFilesFilter(msg::ExportPointsFilter),
                                             messageText(msg::ExportPointsDefaultExtension), dialogFolder(), filter);
    if (path.isEmpty())
        return false;
    state_.settings.PointFileFilter = static_cast<int16_t>(filter);
    state_.settings.CurrentDir = QFileInfo(path).absolutePath();
    state_.currentPointFile = path;
    const bool ok = exportPointFile(path);
    repaintMap();
    return ok;
}

bool frmGPS::exportPointFile(const QString &path)
{
    try {
        FileProgress progress(this, messageText(msg::MenuExportPoints).remove(QLatin1Char('&')));
        writePointFile(path, state_.store, progress.function());
        state_.history.markSaved();
        refreshMenus();
        const PointStore &s = state_.store;
        showStatus(formatMessage(messageText(msg::PointsExported), {s.wayPoints.count(), s.routePoints.count(),
                                                                    s.trackPoints.count(), QFileInfo(path).fileName()}));
        return true;
    } catch (const GipsoError &e) {
        showError(e);
        return false;
    }
}

bool frmGPS::importPoints()
{
    int filter = state_.settings.PointFileFilter;
    const QString path = dialogs_.chooseFile(this, false, messageText(msg::ImportPointsTitle), pointFilesFilter(msg::ImportPointsFilter),
                                             messageText(msg::ImportPointsDefaultExtension), dialogFolder(), filter);
    if (path.isEmpty())
        return false;
    state_.settings.PointFileFilter = static_cast<int16_t>(filter);
    state_.settings.CurrentDir = QFileInfo(path).absolutePath();
    const bool ok = importPointFile(path);
    repaintMap();
    return ok;
}

bool frmGPS::importPointFile(const QString &path)
{
    state_.currentPointFile = path;
    try {
        ImportResult r;
        const PointCounts before = pointCounts(state_.store);
        const bool wasSaved = !state_.store.pointsModified;
        try {
            FileProgress progress(this, messageText(msg::MenuImportPoints).remove(QLatin1Char('&')));
            r = gipso::importPointFile(path, state_.store, state_.settings, progress.function());
        } catch (...) {
            state_.history.pushAppended(state_.store, before);
            refreshMenus();
            throw;
        }
        state_.history.pushAppended(state_.store, before);
        // An import leaves the lists as clean as they were.
        if (wasSaved)
            state_.history.markSaved();
        refreshMenus();
        if (!r.readable) {
            showFileProblem(msg::InvalidPointsFile, path, r.skipped > 0 ? r.firstProblem : messageText(msg::NoPointsFound));
            return false;
        }
        const PointCounts after = pointCounts(state_.store);
        if (r.skipped > 0)
            dialogs_.message(this, formatMessage(messageText(msg::LinesSkipped), {QDir::toNativeSeparators(path), r.skipped, r.firstProblem}),
                             Dialogs::Icon::Warning);
        showStatus(formatMessage(messageText(msg::PointsImported), {after.way - before.way, after.route - before.route,
                                                                    after.track - before.track, QFileInfo(path).fileName()}));
        repaintMap();
        return true;
    } catch (const GipsoError &e) {
        showError(GipsoError(e.number(), QDir::toNativeSeparators(path) + QStringLiteral(": ") + e.description()));
        return false;
    }
}

// ---------------------------------------------------------------------------------------------
// Closing

bool frmGPS::queryClose()
{
    if (!saveChangedMapFirst())
        return false;
    PointStore &s = state_.store;
    if (s.pointsModified && !s.allEmpty()) {
        switch (dialogs_.ask(this, messageText(msg::SavePointsQuestion), Dialogs::Buttons::YesNoCancel, Dialogs::Answer::Yes)) {
        case Dialogs::Answer::Yes:
            exportPoints();
            if (s.pointsModified)
                return false;
            break;
        case Dialogs::Answer::No:
            break;
        default:
            return false;
        }
    }
    return true;
}

void frmGPS::closeEvent(QCloseEvent *event)
{
    if (closing_) {
        event->accept();
        return;
    }
    if (!queryClose()) {
        event->ignore();
        return;
    }
    finishClose();
    event->accept();
}

void frmGPS::finishClose()
{
    storeGeometry();
    closing_ = true;
    mapOpener_->cancel();
    if (!state_.tempMapFile.isEmpty() && QFileInfo::exists(state_.tempMapFile))
        QFile::remove(state_.tempMapFile);
    shutdownMap();
    int checked = 0;
    for (QAction *a : languageEntries_)
        if (a->isChecked()) {
            checked = a->data().toString().toInt();
            break;
        }
    QString error;
    if (!writeConfiguration(env_, state_.userSection, state_.settings, checked, &error))
        dialogs_.error(this, formatMessage(messageText(msg::SettingsNotSaved), {env_.configFile, error}));
    state_.mapPicture = QImage();
    tempFolder_.reset();
}

} // namespace gipso
