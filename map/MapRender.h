#pragma once

#include "state/AppState.h"
#include "map/MapView.h"

#include <QColor>
#include <QImage>
#include <QPointF>
#include <cstdint>

class QPainter;

namespace gipso {

// A colour of the settings (0x00BBGGRR) as an opaque pixel value.
inline QRgb settingRgb(int32_t c) { return qRgb(c & 0xff, (c >> 8) & 0xff, (c >> 16) & 0xff); }
inline int32_t inverseColour(int32_t c) { return 0xFFFFFF - (c & 0xFFFFFF); }
// Colour of a TrackPoint by its altitude: red at maxAlt through yellow, green, cyan to blue at minAlt.
int32_t altitudeColour(double altitude, double minAlt, double maxAlt);

// Drawing sizes of the settings as they are drawn: held to what a map can use, since a value
// typed into Gipso.cfg (up to 32767) would cost gigabytes and minutes per repaint. The settings
// keep the values as typed.
constexpr int kMaxPenWidth = 20;      // LineThickness and CursorThickness, pixels
constexpr int kMaxSymbolDim = 50;     // SymbolDim, pixels at 100%
constexpr int kMaxCharDimension = 48; // CharDimension, points
struct DrawingSizes {
    int line = 0;   // 0 to kMaxPenWidth
    int cursor = 1; // 1 to kMaxPenWidth
    int symbol = 0; // 0 to kMaxSymbolDim
    int chars = 1;  // 1 to kMaxCharDimension
};
DrawingSizes drawingSizes(const Settings &settings);

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
};

// The overlay of points, route and tracks over the view (or the tiled product name without a
// map). The painter's coordinates are the viewport's pixels; positions come from geoToMap.
// A map without a calibration in force gets no overlay: its points have no place on it.
void paintMap(QPainter &painter, const AppState &state, const ViewWindow &view, const PaintOptions &options = {});

// The frame's picture: the resampled window of the map with the overlay on top.
QImage renderViewImage(const AppState &state, const ViewWindow &view, const QImage &bitmap,
                       const PaintOptions &options = {});

} // namespace gipso
