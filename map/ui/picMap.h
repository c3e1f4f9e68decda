#pragma once

#include "map/MapRender.h"
#include "map/MapView.h"

#include <QImage>
#include <QWidget>
#include <functional>

namespace gipso {

class MapHost;

// The map viewport: shows the resampled visible window of the map with the overlay on top,
// and turns the mouse into map positions (map pixels, y down) for calibration, panning,
// the cross-hair and the point editing.
class picMap : public QWidget {
    Q_OBJECT

public:
    picMap(MapHost &owner, QWidget *parent);

    // Rebuilds the displayed bitmap from the zoom and the scroll values, shows the zoom in
    // status panel 4, repaints and refreshes the menus.
    void applyView();
    // Moves the view so that the press position follows the mouse at map position (x, y).
    void panView(double x, double y);
    // The view as it was last applied, and its picture with the overlay (for printing).
    const ViewWindow &viewWindow() const { return window_; }
    const QImage &bitmap() const { return bitmap_; }
    QImage viewImage() const;
    void releaseBitmap();

    // Mouse state shared with the point editing.
    double lastClickX = 0, lastClickY = 0;
    bool mouseIsDown = false;
    bool mouseDragged = false;
    bool crossHairOn = true;
    double crossHairX = 0, crossHairY = 0;
    bool crossHairShown = false;
    bool overlayRepainted = true; // set by every repaint of the overlay

    // Point editing on a calibrated map plugs in here (button 1 left, 2 right, 4 middle; map
    // pixels). Down runs after the press is recorded; Move for a left-button drag; Up for the
    // release of a left click or drag, before the selection is cleared.
    std::function<void(int button, double x, double y)> editMouseDown;
    std::function<void(int button, double x, double y)> editMouseMove;
    std::function<void(int button, double x, double y)> editMouseUp;

    // Mouse handlers by map position (also driven directly by tests).
    void mouseDown(int button, double x, double y);
    void mouseMove(int buttons, double x, double y);
    void mouseUp(int button, double x, double y);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void scrollChanged();
    void drawCrossHair(double x, double y);
    QRegion crossHairRegion(double x, double y) const;
    void crossHairLines(double x, double y, QLineF &eastWest, QLineF &northSouth) const;
    void showPosition(double x, double y);

    MapHost &owner_;
    ViewWindow window_;
    QImage bitmap_;
    QImage composed_; // bitmap and overlay as last painted, for repainting the cross-hair alone
    bool settingScroll_ = false;
};

} // namespace gipso
