#pragma once

#include "state/AppState.h"
#include "base/Config.h"
#include "base/MessageIds.h"
#include "base/ui/Dialogs.h"
#include "gps/CommMode.h"
#include "map/ui/MapHost.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <memory>

class QAction;
class QMenu;
class QLabel;
class QFrame;
class QProgressBar;
class QScrollBar;
class QUrl;

namespace gipso {

class picMap;
class TempFolder;
class MapOpener;

// The main window: owns the program's state, the menus, the map frame and the status bar.
class frmGPS : public QMainWindow, public MapHost {
    Q_OBJECT

public:
    explicit frmGPS(Dialogs &dialogs, ConfigEnvironment env = ConfigEnvironment::system(), QWidget *parent = nullptr);
    ~frmGPS() override;

    // Start-up in the program's order; shows the window and handles the command-line files.
    void start(const QStringList &files = {});

    AppState &state() override { return state_; }
    Dialogs &dialogs() override { return dialogs_; }

    // Menu entries and status panels by their control names ("mnuApri", ...; panels 1 to 9).
    QAction *action(const QString &name) const;
    QMenu *menu(const QString &name) const;
    QLabel *panel(int index) const;
    QFrame *picFrame() const { return picFrame_; }
    QScrollBar *hScroll() const override { return HScroll1_; }
    QScrollBar *vScroll() const override { return VScroll1_; }
    void setPanelText(int index, const QString &text) override;
    bool halftone() const override;
    // The map viewport (nullptr before the map frame is set up).
    picMap *mapView() const;

    void refreshMenus() override;
    void applyLanguage();
    // The Languages submenu click on entry k (1-based).
    void chooseLanguageEntry(int k);
    // Enabling of a top-level menu's entries from the current counts (when it drops down).
    void updateMenuForCounts(const QString &menuName);
    void setMapMode(MapMode mode);
    // Redraws the map and its overlay.
    void repaintMap() override;
    // Shows a GipsoError as "ERROR N° n - description" with the critical icon.
    void showError(const class GipsoError &e, int prefixId = msg::ErrorPrefix);
    // A message about a file (222, 223, 224 ...) with the file's path and, when known, the reason.
    void showFileProblem(int messageId, const QString &path, const QString &reason = QString());
    // What a command did, in the status bar for a few seconds (the panels 1 and 2 make room).
    void showStatus(const QString &text);
    // The title: the map's file name, "*" while closing would ask to save the calibration or
    // the points, and the program's name.
    void updateTitle();
    // The map file shown (empty: none); the title names it.
    const QString &mapFileName() const { return mapFileName_; }
    void setMapFileName(const QString &path);
    // Start folder of the file dialogs: the one last used, else the home folder.
    QString dialogFolder() const;

    // List commands (with their confirmations).
    void deleteAll(PointKind kind);
    void deleteLast(PointKind kind);
    void reverse(PointKind kind);
    void toggleMode(const QString &actionName);
    // The editing mode entry that is checked, or empty.
    QString checkedMode() const;
    EditMode editMode() const override;
    // Undo and redo of the last change to the point lists (Edit menu).
    void undo();
    void redo();

    // Point files: the Export and Import commands (true when a file was written / read).
    bool exportPoints();
    bool importPoints();
    // Imports a point file by path (.gpx or text), showing message 223 or errors.
    bool importPointFile(const QString &path);
    bool exportPointFile(const QString &path);

    // Map commands (frmGPS_map.cpp: files and calibration).
    void openMap();
    bool saveCalibratedMap();
    void openRecentMap(int k);
    void calibrateMap();
    void openFiles(const QStringList &files); // command line and drag-and-drop
    void calibrationClick(double x, double y) override; // a left click on the map while a calibration waits for it
    // False, after telling the user why, when path names a map container and there is no
    // private temporary folder to extract it into or write it through.
    bool containerUsable(const QString &path);
    // The opening of maps, with the full picture of a large one on its way (frmGPS_map.cpp).
    MapOpener &mapOpener() { return *mapOpener_; }
    // Takes the news of that decode: its progress in the status bar, then the full picture
    // shown, or the map closed with the reason when the full picture turned out damaged.
    void mapDecodeStep();
    // "Save calibrated map?" when the calibration changed since it was saved: true when the
    // caller may go on (saved, or not to be saved), false on Cancel or a failed save.
    bool saveChangedMapFirst();
    // Map view commands (frmGPS_view.cpp).
    void mapLoaded(); // a new map is in state(): reset the view and show it
    void printMap();
    void zoomCommand(const QString &actionName);
    void updateZoomMenu(); // enabling of the zoom entries when View drops down
    void viewResized();    // the map frame changed size while a map is loaded

    // The point dialog, modal, on the prepared selection.
    void openPointDialog(PointKind kind, PointDialogMode mode, int captionId) override;
    // Commands of the analysis views, options, help and about box.
    void showList(const QString &mode, int captionId);
    void showProfile(const QString &mode, int captionId);
    void showStatistics();
    void openOptions();
    void openHelp();
    void openAbout();
    // What opens the manual; empty: the desktop's default viewer (tests put their own here).
    std::function<void(const QUrl &)> openDocument;
    void insertPoints(PointKind kind);

    // Communication (frmGPS_gps.cpp): opens frmComm in the given mode with the caption id.
    void openComm(CommMode mode, int captionId);

    // The closing questions; true when the window may close.
    bool queryClose();

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void changeEvent(QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override; // frmGPS_map.cpp
    void dropEvent(QDropEvent *event) override;           // frmGPS_map.cpp

private:
    void buildMenus();
    void buildStatusBar();
    void buildMapFrame();
    QAction *addEntry(QMenu *menu, const QString &name, int captionId, std::function<void()> handler = {});
    QMenu *addMenu(const QString &name, int captionId);
    void rebuildLanguageMenu();
    void syncLanguageChecks();
    void storeGeometry();
    void restoreGeometry(bool stored);
    void finishClose();
    void uncheckEmptyEditModes();
    void stepHistory(bool forward); // undo (false) or redo (true)
    void setupMapView();   // frmGPS_view.cpp
    void shutdownMap();    // frmGPS_view.cpp

    Dialogs &dialogs_;
    ConfigEnvironment env_;
    AppState state_;
    std::unique_ptr<TempFolder> tempFolder_;
    QHash<QString, QAction *> actions_;
    QHash<QString, QMenu *> menus_;
    QHash<QAction *, int> captionIds_;
    QHash<QMenu *, int> menuCaptionIds_;
    QList<QAction *> languageEntries_;
    QAction *recentSeparator_ = nullptr;
    QLabel *panels_[10] = {};
    QFrame *picFrame_ = nullptr;
    QScrollBar *HScroll1_ = nullptr;
    QScrollBar *VScroll1_ = nullptr;
    bool started_ = false;
    bool closing_ = false;
    QPointer<picMap> mapView_;
    QString mapFileName_;
    std::unique_ptr<MapOpener> mapOpener_; // after state_: its thread ends before state_ goes
    QProgressBar *mapProgress_ = nullptr;
};

// Caption of recent-map entry k for a path: "&k " + the path, or its first 3 characters,
// "..." and its last 30 when the path has 37 characters or more.
QString recentMapCaption(int k, const QString &path);
// The minimum window size rule, in twips: a height below 5115 is set back first, else a width below 9225.
void applyMinimumSize(int32_t &widthTwips, int32_t &heightTwips);

} // namespace gipso
