#include "map/ui/picMap.h"

#include "base/Messages.h"
#include "map/ui/MapHost.h"
#include "state/AppState.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <cmath>

namespace gipso {

namespace {
// The right or the middle button alone pans the map.
bool panButtons(Qt::MouseButtons b) { return b == Qt::RightButton || b == Qt::MiddleButton; }

// Only the three main buttons count.
Qt::MouseButtons mainButtons(Qt::MouseButtons b) { return b & (Qt::LeftButton | Qt::RightButton | Qt::MiddleButton); }

QString positionText(int prefixId, double degrees)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return messageText(prefixId) + locale.toString(degrees, 'f', 10).trimmed();
}
} // namespace

picMap::picMap(MapHost &owner, QWidget *parent)
    : QWidget(parent), owner_(owner)
{
    setObjectName(QStringLiteral("picMap"));
    setMouseTracking(true); // the cross-hair and the position readout follow the mouse
    setAttribute(Qt::WA_OpaquePaintEvent);
    for (QScrollBar *bar : {owner_.hScroll(), owner_.vScroll()}) {
        if (!bar)
            continue;
        bar->setRange(0, kScrollMax);
        bar->setSingleStep(kScrollSmallStep);
        bar->setPageStep(kScrollLargeStep);
        // Values the program sets itself (panning) are applied once, by the one applyView after them.
        connect(bar, &QScrollBar::valueChanged, this, [this] { scrollChanged(); });
    }
}

void picMap::scrollChanged()
{
    if (!settingScroll_ && owner_.state().mapMode != MapMode::NoMap)
        applyView();
}

void picMap::applyView()
{
    AppState &st = owner_.state();
    const QScrollBar *h = owner_.hScroll();
    const QScrollBar *v = owner_.vScroll();
    if (st.mapMode == MapMode::NoMap || st.mapPicture.isNull()) {
        window_ = visibleWindow(0, 0, st.zoomFactor, size(), 0, 0);
        bitmap_ = QImage();
    } else {
        window_ = visibleWindow(st.mapWidth, st.mapHeight, st.zoomFactor, size(), h ? h->value() : 0, v ? v->value() : 0);
        bitmap_ = renderVisible(st.mapPicture, window_, st.zoomFactor, owner_.halftone());
    }
    if (QScrollBar *bar = owner_.hScroll())
        bar->setEnabled(window_.hScrollEnabled);
    if (QScrollBar *bar = owner_.vScroll())
        bar->setEnabled(window_.vScrollEnabled);
    owner_.setPanelText(4, zoomPanelText(st.zoomFactor));
    update();
    owner_.refreshMenus();
}

void picMap::panView(double x, double y)
{
    AppState &st = owner_.state();
    QScrollBar *h = owner_.hScroll();
    QScrollBar *v = owner_.vScroll();
    const ScrollValues now{h->value(), v->value()};
    const ScrollValues next = panScroll(now, h->isEnabled(), v->isEnabled(), lastClickX_, lastClickY_, x, y, st.mapWidth,
                                        st.mapHeight);
    settingScroll_ = true;
    h->setValue(next.h);
    v->setValue(next.v);
    settingScroll_ = false;
    applyView();
}

QImage picMap::viewImage() const
{
    PaintOptions options;
    options.noMapTextColour = palette().color(QPalette::Disabled, QPalette::WindowText);
    return renderViewImage(owner_.state(), window_, bitmap_, options);
}

void picMap::releaseBitmap()
{
    bitmap_ = QImage();
    composed_ = QImage();
}

void picMap::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (owner_.state().mapMode != MapMode::NoMap)
        applyView();
    else
        window_ = visibleWindow(0, 0, 1.0, size(), 0, 0);
}

void picMap::paintEvent(QPaintEvent *event)
{
    const AppState &st = owner_.state();
    // A repaint of the whole view redraws the overlay; a partial one (the cross-hair moving,
    // an uncovered corner) reuses the picture drawn last time.
    const bool whole = QRegion(rect()).subtracted(event->region()).isEmpty();
    if (whole || composed_.size() != size()) {
        composed_ = QImage(size(), QImage::Format_RGB32);
        composed_.fill(parentWidget() ? parentWidget()->palette().color(QPalette::Window) : palette().color(QPalette::Window));
        QPainter cp(&composed_);
        PaintOptions options;
        options.noMapTextColour = palette().color(QPalette::Disabled, QPalette::WindowText);
        if (st.mapMode == MapMode::NoMap) {
            paintMap(cp, st, visibleWindow(0, 0, 1.0, size(), 0, 0), options);
        } else {
            cp.setClipRect(QRect(QPoint(0, 0), window_.dest));
            cp.drawImage(0, 0, bitmap_);
            paintMap(cp, st, window_, options);
        }
    }
    QPainter p(this);
    p.drawImage(event->rect(), composed_, event->rect());
    if (crossHairShown_ && crossHairOn_ && st.mapMode == MapMode::Calibrated) {
        QLineF ew, ns;
        crossHairLines(crossHairX_, crossHairY_, ew, ns);
        QPen pen(Qt::black);
        pen.setWidth(drawingSizes(st.settings).cursor);
        p.setPen(pen);
        p.setClipRect(QRect(QPoint(0, 0), window_.dest));
        // An inverting pen, so the lines show on any map.
        p.setCompositionMode(QPainter::RasterOp_NotDestination);
        p.drawLine(ew);
        p.drawLine(ns);
    }
}

void picMap::crossHairLines(double x, double y, QLineF &eastWest, QLineF &northSouth) const
{
    const double L = std::max(2 * window_.scaleWidth, 2 * window_.scaleHeight);
    const double r = owner_.state().calibration.rotation;
    const double c = std::cos(r), s = std::sin(r);
    const QTransform t = window_.mapToScreen();
    eastWest = t.map(QLineF(x - L * c, y + L * s, x + L * c, y - L * s));
    northSouth = t.map(QLineF(x - L * s, y - L * c, x + L * s, y + L * c));
}

QRegion picMap::crossHairRegion(double x, double y) const
{
    QLineF lines[2];
    crossHairLines(x, y, lines[0], lines[1]);
    const int pad = drawingSizes(owner_.state().settings).cursor + 2;
    QRegion region;
    for (const QLineF &l : lines) {
        const int steps = std::max(1, static_cast<int>(l.length() / 24.0));
        for (int i = 0; i < steps; ++i) {
            const QPointF a = l.pointAt(double(i) / steps), b = l.pointAt(double(i + 1) / steps);
            const QRect r = QRectF(a, b).normalized().toAlignedRect().adjusted(-pad, -pad, pad, pad).intersected(rect());
            if (!r.isEmpty())
                region += r;
        }
    }
    return region;
}

void picMap::drawCrossHair(double x, double y)
{
    QRegion dirty = crossHairRegion(x, y);
    if (crossHairShown_)
        dirty += crossHairRegion(crossHairX_, crossHairY_);
    crossHairX_ = x;
    crossHairY_ = y;
    crossHairShown_ = true;
    update(dirty);
    showPosition(x, y);
}

void picMap::showPosition(double x, double y)
{
    double lat, lon;
    mapToGeo(owner_.state().calibration, x, -y, lat, lon);
    owner_.setPanelText(1, positionText(msg::LatitudePanel, lat));
    owner_.setPanelText(2, positionText(msg::LongitudePanel, lon));
}

void picMap::mouseDown(Qt::MouseButton button, double x, double y)
{
    mouseIsDown_ = true;
    lastClickX_ = x;
    lastClickY_ = y;
    if (panButtons(button) && owner_.state().mapMode == MapMode::Calibrated) {
        crossHairOn_ = false;
        setCursor(Qt::SizeAllCursor);
        owner_.repaintMap();
        return;
    }
    crossHairOn_ = true;
}

void picMap::mouseMove(Qt::MouseButtons buttons, double x, double y)
{
    buttons = mainButtons(buttons);
    const MapMode mode = owner_.state().mapMode;
    if (mode != MapMode::Calibrated) {
        if (buttons != Qt::NoButton && calibrating(mode))
            mouseDragged_ = true;
        return;
    }
    if (panButtons(buttons) && mouseIsDown_)
        panView(x, y);
    else
        mouseDragged_ = false;
    if (buttons == Qt::LeftButton)
        mouseDragged_ = true;
    if (crossHairOn_)
        drawCrossHair(x, y);
}

void picMap::mouseUp(Qt::MouseButton button)
{
    if (!mouseIsDown_)
        return;
    mouseIsDown_ = false;
    AppState &st = owner_.state();
    if (calibrating(st.mapMode)) {
        if (!mouseDragged_)
            owner_.calibrationClick(lastClickX_, lastClickY_);
        else
            mouseDragged_ = false;
        return;
    }
    crossHairOn_ = true;
    setCursor(Qt::CrossCursor);
    if (panButtons(button))
        return;
    mouseDragged_ = false;
    SelectionState &sel = st.selection;
    sel.selectedWayPoint = sel.selectedRoutePoint = sel.selectedTrackPoint = 0;
    owner_.repaintMap();
}

void picMap::mousePressEvent(QMouseEvent *event)
{
    const QPointF m = window_.screenToMap(event->position());
    mouseDown(event->button(), m.x(), m.y());
}

void picMap::mouseMoveEvent(QMouseEvent *event)
{
    const QPointF m = window_.screenToMap(event->position());
    mouseMove(event->buttons(), m.x(), m.y());
}

void picMap::mouseReleaseEvent(QMouseEvent *event) { mouseUp(event->button()); }

} // namespace gipso
