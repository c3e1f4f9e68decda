#pragma once

#include "base/DrawingStyle.h"

#include <QImage>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <QString>
#include <QTransform>
#include <cmath>
#include <optional>

namespace gipso {

// Scroll bars hold the position of the visible window as a fraction of the scrollable extent.
constexpr int kScrollMax = 32000;
constexpr int kScrollSmallStep = 320;
constexpr int kScrollLargeStep = 3200;

// The view arithmetic rounds with roundHalfEven (base/DrawingStyle.h).

// Zoom commands of the View menu (by their action names).
// The new zoom of a zoom entry (mnuXpiu, mnuXmeno, mnuX400, ...), or nullopt for other names.
std::optional<double> zoomAfterCommand(const QString &actionName, double zoom);
// Whether a zoom entry is enabled at this zoom (exact comparisons, as the menu opens).
bool zoomEntryEnabled(const QString &actionName, double zoom);
// The zoom entries in menu order (without mnuHalftone).
const QStringList &zoomEntryNames();
// Status panel 4: the integer part of zoom x 100 and "%".
QString zoomPanelText(double zoom);

// What the view shows: the source rectangle of the map, the size of the displayed bitmap and
// the viewport's coordinate system in map pixels.
struct ViewWindow {
    QSize view;        // viewport size in screen pixels
    QRect source;      // map pixels resampled
    QSize dest;        // displayed bitmap; also the frame's inner size (it shrinks to a small map)
    bool hScrollEnabled = false;
    bool vScrollEnabled = false;
    double scaleLeft = 0, scaleTop = 0, scaleWidth = 1, scaleHeight = 1;

    // Map pixels to viewport pixels and back.
    QTransform mapToScreen() const;
    QPointF screenToMap(QPointF screen) const;
};

// The window of a map of mapWidth x mapHeight at zoom with the scroll values h, v (0..32000).
ViewWindow visibleWindow(int mapWidth, int mapHeight, double zoom, QSize view, int hValue, int vValue);

// Resamples only the window's source rectangle into a bitmap of the window's destination size
// (Format_RGB32): nearest neighbour, or area averaging when halftone and zoom < 1.
QImage renderVisible(const QImage &map, const ViewWindow &window, double zoom, bool halftone);
// The same from a reduced picture (1/reduction of the map's size, a first view): the window
// stays in map pixels, the reduced picture is enlarged to it.
QImage renderVisible(const QImage &map, int reduction, const ViewWindow &window, double zoom, bool halftone);

// Resamples only the part area of the window's destination into out (of the destination's
// size, Format_RGB32), each pixel as renderVisible gives it; nearest neighbour only.
void renderVisibleArea(QImage &out, const QImage &map, int reduction, const ViewWindow &window, QRect area);
// The same with renderVisible's choice of resampling. Averaged pixels come out alike by
// averaging only the blocks under area where every screen pixel is a whole block of map pixels
// (10%, 20%, 25%, 50% of a scrolled axis, area spanning the other), else by averaging the whole.
void renderVisibleArea(QImage &out, const QImage &map, int reduction, const ViewWindow &window, double zoom,
                       bool halftone, QRect area);

// The whole screen pixels by which the picture of window from moves to give that of window to
// (a point drawn at P in from is at P + shift in to), when the two differ by nothing else: the
// same sizes and scale, a move of whole screen pixels (map pixels times view over span a whole
// number: any move at 1:1, 200% or 300% of a view a multiple of 3, a multiple of 10 map pixels
// at 10%), and every resampled column and row of to in the overlap that of from moved.
// Otherwise nullopt. Overlay positions then move by the shift up to rounding error (about
// 1e-12 of a pixel), so a drawing moved differs from a fresh one at most where a position lies
// that close to a pixel's edge, and then by one pixel.
std::optional<QPoint> screenShift(const ViewWindow &from, const ViewWindow &to);
// screenShift for an averaged picture (halftone below 100%, a full picture): only along axes
// where a screen pixel is a whole block of map pixels, by whole blocks, so every pixel moved
// averages the same block as before and renderVisibleArea averages the strips alone.
std::optional<QPoint> averagedShift(const ViewWindow &from, const ViewWindow &to);

// Panning: the scroll values that move the view by the press position (pressX, pressY) minus
// the mouse position (x, y), both in map pixels, clamped to 0..32000; a disabled bar keeps its value.
struct ScrollValues {
    int h = 0;
    int v = 0;
};
ScrollValues panScroll(ScrollValues current, bool hEnabled, bool vEnabled, double pressX, double pressY, double x,
                       double y, int mapWidth, int mapHeight);

} // namespace gipso
