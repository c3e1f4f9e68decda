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
int buttonCode(Qt::MouseButton b)
{
    switch (b) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
    }
}

int buttonsCode(Qt::MouseButtons b)
{
    return (b & Qt::LeftButton ? 1 : 0) | (b & Qt::RightButton ? 2 : 0) | (b & Qt::MiddleButton ? 4 : 0);
}

bool panButton(int b) { return b == 2 || b == 4; }

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
    if (!settingScroll_ && owner_.state().mapMode != mapmode::NoMap)
        applyView();
}

void picMap::applyView()
{
    AppState &st = owner_.state();
    const QScrollBar *h = owner_.hScroll();
    const QScrollBar *v = owner_.vScroll();
    if (st.mapMode == mapmode::NoMap || st.mapPicture.isNull()) {
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
    const ScrollValues next = panScroll(now, h->isEnabled(), v->isEnabled(), lastClickX, lastClickY, x, y, st.mapWidth,
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
    if (owner_.state().mapMode != mapmode::NoMap)
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
        if (st.mapMode == mapmode::NoMap) {
            paintMap(cp, st, visibleWindow(0, 0, 1.0, size(), 0, 0), options);
        } else {
            cp.setClipRect(QRect(QPoint(0, 0), window_.dest));
            cp.drawImage(0, 0, bitmap_);
            paintMap(cp, st, window_, options);
        }
        overlayRepainted = true;
    }
    QPainter p(this);
    p.drawImage(event->rect(), composed_, event->rect());
    if (crossHairShown && crossHairOn && st.mapMode == mapmode::Calibrated) {
        QLineF ew, ns;
        crossHairLines(crossHairX, crossHairY, ew, ns);
        QPen pen(Qt::black);
        pen.setWidth(std::max<int>(1, st.settings.CursorThickness));
        p.setPen(pen);
        p.setClipRect(QRect(QPoint(0, 0), window_.dest));
        // An inverting pen, so the lines show on any map.
        p.setCompositionMode(QPainter::RasterOp_NotDestination);
        p.drawLine(ew);
        p.drawLine(ns);
        overlayRepainted = false;
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
    const int pad = std::max<int>(1, owner_.state().settings.CursorThickness) + 2;
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
    if (crossHairShown)
        dirty += crossHairRegion(crossHairX, crossHairY);
    crossHairX = x;
    crossHairY = y;
    crossHairShown = true;
    update(dirty);
    showPosition(x, y);
}

void picMap::showPosition(double x, double y)
{
    double lat, lon;
    mapToGeo(owner_.state().calibration, x, -y, lat, lon);
    owner_.setPanelText(1, positionText(545, lat));
    owner_.setPanelText(2, positionText(546, lon));
}

void picMap::mouseDown(int button, double x, double y)
{
    AppState &st = owner_.state();
    mouseIsDown = true;
    lastClickX = x;
    lastClickY = y;
    if (panButton(button) && st.mapMode == mapmode::Calibrated) {
        crossHairOn = false;
        setCursor(Qt::SizeAllCursor);
        owner_.repaintMap();
        return;
    }
    crossHairOn = true;
    if (st.mapMode == mapmode::Calibrated && editMouseDown)
        editMouseDown(button, x, y);
}

void picMap::mouseMove(int buttons, double x, double y)
{
    const int mode = owner_.state().mapMode;
    if (mode != mapmode::Calibrated) {
        if (buttons != 0 && mode > 0)
            mouseDragged = true;
        return;
    }
    if (panButton(buttons) && mouseIsDown)
        panView(x, y);
    else
        mouseDragged = false;
    if (buttons == 1) {
        mouseDragged = true;
        if (editMouseMove)
            editMouseMove(buttons, x, y);
    }
    if (crossHairOn)
        drawCrossHair(x, y);
}

void picMap::mouseUp(int button, double x, double y)
{
    if (!mouseIsDown)
        return;
    mouseIsDown = false;
    AppState &st = owner_.state();
    if (st.mapMode == mapmode::FirstClick || st.mapMode == mapmode::SecondClick) {
        if (!mouseDragged)
            owner_.calibrationClick(lastClickX, lastClickY);
        else
            mouseDragged = false;
        return;
    }
    crossHairOn = true;
    setCursor(Qt::CrossCursor);
    if (panButton(button))
        return;
    if (st.mapMode == mapmode::Calibrated && editMouseUp)
        editMouseUp(button, x, y);
    mouseDragged = false;
    SelectionState &sel = st.selection;
    sel.selectedWayPoint = sel.selectedRoutePoint = sel.selectedTrackPoint = 0;
    sel.savedWayPoint = sel.savedRoutePoint = sel.savedTrackPoint = sel.emptyPoint;
    owner_.repaintMap();
}

void picMap::mousePressEvent(QMouseEvent *event)
{
    const QPointF m = window_.screenToMap(event->position());
    mouseDown(buttonCode(event->button()), m.x(), m.y());
}

void picMap::mouseMoveEvent(QMouseEvent *event)
{
    const QPointF m = window_.screenToMap(event->position());
    mouseMove(buttonsCode(event->buttons()), m.x(), m.y());
}

void picMap::mouseReleaseEvent(QMouseEvent *event)
{
    const QPointF m = window_.screenToMap(event->position());
    mouseUp(buttonCode(event->button()), m.x(), m.y());
}

} // namespace gipso
