#pragma once

#include "map/MapRender.h"
#include "map/MapView.h"

#include <QImage>
#include <optional>
#include <QWidget>

namespace gipso {

class MapHost;

// The map viewport: shows the resampled visible window of the map with the overlay on top,
// and turns the mouse into map positions (map pixels, y down) for calibration, panning,
// the cross-hair and the point editing.
class picMap : public QWidget {
    Q_OBJECT

public:
    picMap(MapHost &owner, QWidget *parent);

    // Sets the view from the zoom and the scroll values, shows the zoom in status panel 4,
    // refreshes the menus and asks for a repaint. The displayed bitmap is resampled once, when
    // it is next needed (the repaint): a burst of mouse moves or zoom steps costs one.
    void applyView();
    // Moves the view so that the press position follows the mouse at map position (x, y).
    void panView(double x, double y);
    // Moves the view by (dx, dy) screen pixels; wholePixels: as onWholePixels says.
    void scrollBy(double dx, double dy, bool wholePixels = false);
    // One zoom step in (steps > 0) or out, keeping the map point under screen position at still.
    void zoomAt(int steps, QPointF at);
    // The view as it was last applied, and its picture with the overlay (for printing).
    const ViewWindow &viewWindow() const { return window_; }
    const QImage &bitmap() const;
    // How many times the bitmap was resampled, and the overlay composed (for benchmarks).
    int bitmapBuilds() const { return bitmapBuilds_; }
    int overlayPaints() const { return overlayPaints_; }
    // How many of those repaints moved the picture drawn before and drew only the uncovered strips.
    int stripPaints() const { return stripPaints_; }
    // Off, every repaint draws the whole view (a benchmark's comparison).
    void setStripDrawing(bool on) { stripDrawing_ = on; }
    QImage viewImage() const;
    void releaseBitmap();

    // A button is held on the map (a click or a drag is under way).
    bool mouseIsDown() const { return mouseIsDown_; }
    // Whether the cross-hair is drawn now.
    bool crossHairShown() const { return crossHairShown_; }

    // Mouse handlers by map position (also driven directly by tests).
    void mouseDown(Qt::MouseButton button, double x, double y);
    void mouseMove(Qt::MouseButtons buttons, double x, double y);
    void mouseUp(Qt::MouseButton button, double x, double y);
    void mouseUp(Qt::MouseButton button) { mouseUp(button, mouseX_, mouseY_); } // where the mouse was last

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    // The wheel scrolls (Shift: across), Ctrl+wheel and a pinch zoom about the mouse.
    void wheelEvent(QWheelEvent *event) override;
    bool event(QEvent *event) override;

private:
    void scrollChanged();
    // Below 100% a move by part of a screen pixel samples the map at other columns, and the
    // picture drawn before cannot be moved: the scroll values nearest next that move the view
    // by whole screen pixels (at most about half a screen pixel away) where map pixels per
    // screen pixel are a whole number (50%, 25%, 20%, 10%), or next itself.
    ScrollValues onWholePixels(ScrollValues next) const;
    // Whether a position of the widget shows the map.
    bool onPicture(const QPointF &screen) const;
    void drawCrossHair(double x, double y);
    QRegion crossHairRegion(double x, double y) const;
    void crossHairLines(double x, double y, QLineF &eastWest, QLineF &northSouth) const;
    void showPosition(double x, double y);
    // The editing of mouseDown, mouseMove and mouseUp on a calibrated map.
    void pickPoints(double x, double y);
    void dragSelected(double x, double y);
    void finishEditing(double x, double y);
    void createRoutePoint();
    bool useExistingWayPoint(int32_t wayPoint);
    GpsPoint pointAtPress() const;

    MapHost &owner_;
    ViewWindow window_;
    // What a picture was drawn from: a view moved at the same zoom over the same map and
    // overlay keeps its pixels, moved.
    struct Drawn {
        ViewWindow window;
        qint64 mapKey = 0;
        int reduction = 1;
        double zoom = 0;
        bool halftone = false;
        bool valid = false;
    };
    Drawn drawnNow() const;
    static std::optional<QPoint> movedBy(const Drawn &before, const Drawn &now);
    // The resampled window of the map, made from window_ when first needed after applyView.
    mutable QImage bitmap_;
    mutable Drawn bitmapDrawn_;
    mutable bool bitmapStale_ = false;
    mutable int bitmapBuilds_ = 0;
    double zoom_ = 1.0;     // as applyView found them
    bool halftone_ = false;
    QImage composed_; // bitmap and overlay as last painted, for repainting the cross-hair alone
    Drawn composedDrawn_;
    OverlayInputs composedInputs_;
    QColor composedFill_;
    bool composedStale_ = true;
    int overlayPaints_ = 0;
    int stripPaints_ = 0;
    bool stripDrawing_ = true;
    bool settingScroll_ = false;
    // Mouse state: the press position (map pixels), and the cross-hair.
    double lastClickX_ = 0, lastClickY_ = 0;
    double mouseX_ = 0, mouseY_ = 0; // the last position the mouse was seen at
    bool mouseIsDown_ = false;
    bool leftPanning_ = false; // a left drag with no editing mode moves the view
    int wheelZoom_ = 0;        // wheel angle towards the next zoom step
    double pinch_ = 0;         // pinch scale towards the next zoom step
    bool mouseDragged_ = false;
    bool crossHairOn_ = true;
    double crossHairX_ = 0, crossHairY_ = 0;
    bool crossHairShown_ = false;
};

} // namespace gipso
