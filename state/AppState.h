#pragma once

#include "base/Config.h"
#include "base/Settings.h"
#include "geo/MapCalibration.h"
#include "geo/NavFormulae.h"
#include "points/PointHistory.h"
#include "points/PointStore.h"

#include <QImage>
#include <QString>

namespace gipso {

// Selection state shared by the point dialog, the mouse editing and the points list: the
// point of each kind being worked on (0 = none), the copy of it taken when it was selected
// (Cancel puts it back), and the RoutePoint just inserted inside the route (0 = appended).
struct SelectionState {
    int32_t selectedWayPoint = 0;
    int32_t selectedRoutePoint = 0;
    int32_t selectedTrackPoint = 0;
    int32_t routeInsertIndex = 0;
    GpsPoint savedWayPoint;
    GpsPoint savedRoutePoint;
    GpsPoint savedTrackPoint;
    bool mouseDragged = false; // the point dialog opens at the end of a drag

    int32_t &selected(PointKind kind)
    {
        return kind == PointKind::Way ? selectedWayPoint : kind == PointKind::Route ? selectedRoutePoint : selectedTrackPoint;
    }
    int32_t selected(PointKind kind) const { return const_cast<SelectionState *>(this)->selected(kind); }
    GpsPoint &saved(PointKind kind)
    {
        return kind == PointKind::Way ? savedWayPoint : kind == PointKind::Route ? savedRoutePoint : savedTrackPoint;
    }
    // Nothing selected, no saved copies.
    void clear() { *this = SelectionState{}; }
};

// The editing mode of the map: the check marks of the WayPoints, RoutePoints and TrackPoints
// menus, at most one on.
enum class EditMode { None, CreateWayPoints, CreateRoutePoints, ModifyWayPoints, ModifyRoutePoints, ModifyTrackPoints };

// What the map frame holds: no map, a map without or with a calibration, or a calibration
// waiting for its first or second reference click.
enum class MapMode { NoMap, Uncalibrated, Calibrated, FirstClick, SecondClick };

inline bool calibrating(MapMode m) { return m == MapMode::FirstClick || m == MapMode::SecondClick; }

// All state of the running program. The main window owns one; every part reads and
// changes it through a reference, so tests can build one without a window.
struct AppState {
    PointStore store;
    PointHistory history; // undo and redo of the changes to the store
    Settings settings;
    UnitSettings units;
    SelectionState selection;

    // Map
    MapCalibration calibration;
    MapMode mapMode = MapMode::NoMap;
    QImage mapPicture; // the loaded map at natural size, or its reduced first view (below)
    // 1: mapPicture is the whole map. 2, 4, 8: a large map's first view, 1/reduction of its
    // size, while the full picture is being decoded; sizes and coordinates stay the full ones.
    int mapPictureReduction = 1;
    int mapWidth = 0; // of the full picture
    int mapHeight = 0;
    double zoomFactor = 1.0;
    QString tempMapFile; // the JPEG in tempDir that holds the picture, when there is one
    // While a calibration runs: the mode and reference points in force when it began.
    MapMode modeBeforeCalibration = MapMode::Uncalibrated;
    MapCalibration calibrationBefore;

    // Live NMEA position marker drawn on the map while an acquisition runs.
    bool nmeaMarkerOn = false;
    double nmeaMarkerLat = 0.0;
    double nmeaMarkerLon = 0.0;

    // Shell
    QString tempDir;          // private per-run temporary folder, with trailing '/'
    QString currentPointFile; // last point file exported, imported or dropped
    QVector<LanguageEntry> languages;
    QString userSection;
};

} // namespace gipso
