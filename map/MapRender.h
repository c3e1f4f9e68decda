#pragma once

#include "base/DrawingStyle.h"
#include "state/AppState.h"
#include "map/MapView.h"

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QRect>
#include <QImage>
#include <QPointF>
#include <array>
#include <cstdint>

class QPainter;

namespace gipso {

// settingRgb, altitudeColour and the drawing sizes are in base/DrawingStyle.h.
inline int32_t inverseColour(int32_t c) { return 0xFFFFFF - (c & 0xFFFFFF); }

// Points and lines are drawn only inside this disc around the middle of the map.
struct DrawingDisc {
    double cx = 0, cy = 0, r = 0;
};
DrawingDisc drawingDisc(int mapWidth, int mapHeight);
bool pointVisible(const DrawingDisc &disc, double x, double y);
// The part of P1-P2 inside the disc; false when nothing of it is (or both ends are equal).
bool clipSegment(const DrawingDisc &disc, QPointF p1, QPointF p2, QPointF &start, QPointF &end);

// What the overlay needs besides the program state.
struct PaintOptions {
    QColor noMapTextColour = QColor(128, 128, 128); // the tiled product name without a map
    // Legs of the track log that stay inside one screen pixel are drawn once per pixel. The
    // pixels are the same either way; off only to compare against drawing every leg.
    bool levelOfDetail = true;
    // When set, only this part of the view is drawn (the uncovered strip of a moved view): the
    // painter is clipped to it and what cannot reach it is skipped. Its pixels are those of
    // drawing the whole view.
    QRect area;
};

// Everything besides the view that the overlay is drawn from. A picture drawn before stays
// right for equal inputs, so a moved view needs only its uncovered strips drawn.
struct OverlayInputs {
    MapMode mapMode = MapMode::NoMap, modeBeforeCalibration = MapMode::NoMap;
    QByteArray calibration;
    uint64_t revisions[3] = {};
    int32_t selected[3] = {};
    std::array<int32_t, 16> settings = {};
    double distanceFactor = 0;
    QString distanceUnit;
    bool markerOn = false;
    double markerLat = 0, markerLon = 0;
    double zoom = 0;
    int mapWidth = 0, mapHeight = 0;
    QString locale;
    QFont font;
    bool operator==(const OverlayInputs &) const = default;
};
OverlayInputs overlayInputs(const AppState &state);

// The overlay of points, route and tracks over the view (or the tiled product name without a
// map). The painter's coordinates are the viewport's pixels; positions come from geoToMap.
// A map without a calibration in force gets no overlay: its points have no place on it.
void paintMap(QPainter &painter, const AppState &state, const ViewWindow &view, const PaintOptions &options = {});

// The frame's picture: the resampled window of the map with the overlay on top.
QImage renderViewImage(const AppState &state, const ViewWindow &view, const QImage &bitmap,
                       const PaintOptions &options = {});

} // namespace gipso
