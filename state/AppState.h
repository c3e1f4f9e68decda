#pragma once

#include "geo/NavFormulae.h"
#include "base/Config.h"
#include "base/Settings.h"
#include "geo/MapCalibration.h"
#include "points/PointStore.h"

#include <QImage>
#include <QString>

namespace gipso {

// Selection state shared by the point dialog and the mouse editing.
struct SelectionState {
    int32_t selectedWayPoint = 0;
    int32_t selectedRoutePoint = 0;
    int32_t selectedTrackPoint = 0;
    int32_t routeInsertIndex = 0;
    GpsPoint savedWayPoint;
    GpsPoint savedRoutePoint;
    GpsPoint savedTrackPoint;
    GpsPoint emptyPoint;
};

// Map-state values of mapMode.
namespace mapmode {
constexpr int NoMap = -2;
constexpr int Uncalibrated = -1;
constexpr int Calibrated = 0;
constexpr int FirstClick = 1;
constexpr int SecondClick = 2;
} // namespace mapmode

// All state of the running program. The main window owns one; every part reads and
// changes it through a reference, so tests can build one without a window.
struct AppState {
    PointStore store;
    Settings settings;
    UnitSettings units;
    SelectionState selection;

    // Map
    MapCalibration calibration;
    int mapMode = mapmode::NoMap;
    QString mapFileName;
    QImage mapPicture; // the loaded map at natural size
    int mapWidth = 0;
    int mapHeight = 0;
    double zoomFactor = 1.0;
    QString tempMapFile;
    QString containerImagePath;
    QString containerTextPath;
    // While a calibration runs: the mode and reference points in force when it began.
    int modeBeforeCalibration = mapmode::Uncalibrated;
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

    QString &currentDir() { return settings.CurrentDir; }
    QString lastMap(int k) const;
};

} // namespace gipso
