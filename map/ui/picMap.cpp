#include "map/ui/picMap.h"

#include "base/Messages.h"
#include "base/ui/Dialogs.h"
#include "edit/MapEditing.h"
#include "map/ui/MapHost.h"
#include "state/AppState.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QWheelEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <cmath>
#include <cstring>
#include <utility>

namespace gipso {

namespace {
// The right or the middle button alone pans the map.
bool panButtons(Qt::MouseButtons b) { return b == Qt::RightButton || b == Qt::MiddleButton; }

// Only the three main buttons count.
Qt::MouseButtons mainButtons(Qt::MouseButtons b) { return b & (Qt::LeftButton | Qt::RightButton | Qt::MiddleButton); }

// Moves the picture by shift in place; what moves out is dropped, what is uncovered keeps old pixels.
void shiftImage(QImage &image, QPoint shift)
{
    const int w = image.width(), h = image.height();
    const int dx = shift.x(), dy = shift.y();
    const int width = w - std::abs(dx);
    if (width <= 0 || std::abs(dy) >= h || shift.isNull())
        return;
    uchar *bits = image.bits();
    const qsizetype bpl = image.bytesPerLine();
    const size_t bytes = size_t(width) * 4;
    // Rows are copied away from the side they move to, so none is overwritten before it is read.
    for (int i = 0; i < h - std::abs(dy); ++i) {
        const int y = dy > 0 ? h - 1 - i : i;
        const uchar *from = bits + qsizetype(y - dy) * bpl + qsizetype(std::max(0, -dx)) * 4;
        uchar *to = bits + qsizetype(y) * bpl + qsizetype(std::max(0, dx)) * 4;
        std::memmove(to, from, bytes);
    }
}

// What a picture of size moved by shift leaves uncovered: a band of rows and a band of columns.
QVector<QRect> uncovered(QSize size, QPoint shift)
{
    QVector<QRect> strips;
    const int w = size.width(), h = size.height(), dx = shift.x(), dy = shift.y();
    QRect rows = dy > 0 ? QRect(0, 0, w, dy) : QRect(0, h + dy, w, -dy);
    if (!rows.isEmpty())
        strips << rows;
    const int top = std::max(0, dy), bottom = h + std::min(0, dy);
    QRect columns = dx > 0 ? QRect(0, top, dx, bottom - top) : QRect(w + dx, top, -dx, bottom - top);
    if (!columns.isEmpty())
        strips << columns;
    return strips;
}

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
        bitmapStale_ = false;
    } else {
        window_ = visibleWindow(st.mapWidth, st.mapHeight, st.zoomFactor, size(), h ? h->value() : 0, v ? v->value() : 0);
        zoom_ = st.zoomFactor;
        halftone_ = owner_.halftone();
        bitmapStale_ = true;
    }
    composedStale_ = true;
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
    const ScrollValues next = onWholePixels(
        panScroll(now, h->isEnabled(), v->isEnabled(), lastClickX_, lastClickY_, x, y, st.mapWidth, st.mapHeight));
    settingScroll_ = true;
    h->setValue(next.h);
    v->setValue(next.v);
    settingScroll_ = false;
    applyView();
}

picMap::Drawn picMap::drawnNow() const
{
    const AppState &st = owner_.state();
    return {window_, st.mapPicture.cacheKey(), st.mapPictureReduction, zoom_, halftone_, !st.mapPicture.isNull()};
}

std::optional<QPoint> picMap::movedBy(const Drawn &before, const Drawn &now)
{
    if (!before.valid || !now.valid || before.mapKey != now.mapKey || before.reduction != now.reduction ||
        before.zoom != now.zoom || before.halftone != now.halftone)
        return std::nullopt;
    // Averaged pixels (halftone below 100%) move only by whole blocks of a full picture.
    if (now.halftone && now.zoom * now.reduction < 1.0)
        return now.reduction == 1 ? averagedShift(before.window, now.window) : std::nullopt;
    return screenShift(before.window, now.window);
}

const QImage &picMap::bitmap() const
{
    if (bitmapStale_) {
        const AppState &st = owner_.state();
        const Drawn now = drawnNow();
        const std::optional<QPoint> shift =
            stripDrawing_ && bitmap_.size() == window_.dest ? movedBy(bitmapDrawn_, now) : std::nullopt;
        if (shift) {
            shiftImage(bitmap_, *shift);
            for (const QRect &strip : uncovered(bitmap_.size(), *shift))
                renderVisibleArea(bitmap_, st.mapPicture, st.mapPictureReduction, window_, zoom_, halftone_, strip);
        } else {
            bitmap_ = renderVisible(st.mapPicture, st.mapPictureReduction, window_, zoom_, halftone_);
        }
        bitmapDrawn_ = now;
        bitmapStale_ = false;
        ++bitmapBuilds_;
    }
    return bitmap_;
}

QImage picMap::viewImage() const
{
    PaintOptions options;
    options.noMapTextColour = palette().color(QPalette::Disabled, QPalette::WindowText);
    return renderViewImage(owner_.state(), window_, bitmap(), options);
}

void picMap::releaseBitmap()
{
    bitmap_ = QImage();
    bitmapDrawn_ = {};
    bitmapStale_ = false;
    composed_ = QImage();
    composedDrawn_ = {};
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
    if (whole || composed_.size() != size() || composedStale_) {
        composedStale_ = false;
        ++overlayPaints_;
        const QColor fill =
            parentWidget() ? parentWidget()->palette().color(QPalette::Window) : palette().color(QPalette::Window);
        PaintOptions options;
        options.noMapTextColour = palette().color(QPalette::Disabled, QPalette::WindowText);
        // A view that only moved since the last picture: the picture moves, the strips it
        // uncovers are drawn (the overlay clipped to them), each pixel as a whole drawing gives it.
        const Drawn now = drawnNow();
        OverlayInputs inputs = overlayInputs(st);
        const bool same = stripDrawing_ && st.mapMode != MapMode::NoMap && composed_.size() == size() &&
                          inputs == composedInputs_ && fill == composedFill_;
        const std::optional<QPoint> shift = same ? movedBy(composedDrawn_, now) : std::nullopt;
        composedDrawn_ = now;
        composedInputs_ = std::move(inputs);
        composedFill_ = fill;
        if (shift && !shift->isNull()) {
            ++stripPaints_;
            const QImage &map = bitmap();
            shiftImage(composed_, *shift);
            QPainter cp(&composed_);
            const QRect onMap(QPoint(0, 0), window_.dest);
            for (const QRect &strip : uncovered(size(), *shift)) {
                cp.fillRect(strip, fill);
                cp.setClipRect(strip.intersected(onMap));
                cp.drawImage(strip.intersected(onMap), map, strip.intersected(onMap));
                options.area = strip;
                paintMap(cp, st, window_, options);
            }
        } else {
            if (composed_.size() != size())
                composed_ = QImage(size(), QImage::Format_RGB32);
            composed_.fill(fill);
            QPainter cp(&composed_);
            if (st.mapMode == MapMode::NoMap) {
                paintMap(cp, st, visibleWindow(0, 0, 1.0, size(), 0, 0), options);
            } else {
                cp.setClipRect(QRect(QPoint(0, 0), window_.dest));
                cp.drawImage(0, 0, bitmap());
                paintMap(cp, st, window_, options);
            }
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
    lastClickX_ = mouseX_ = x;
    lastClickY_ = mouseY_ = y;
    AppState &st = owner_.state();
    // With no editing mode on, the left button moves the view too.
    leftPanning_ = button == Qt::LeftButton && owner_.editMode() == EditMode::None &&
                   (st.mapMode == MapMode::Calibrated || st.mapMode == MapMode::Uncalibrated);
    // Panning works on any map, also while a calibration waits for its second point.
    if (panButtons(button) && st.mapMode != MapMode::NoMap) {
        crossHairOn_ = false;
        if (!calibrating(st.mapMode)) // the reference click's cursor stays
            setCursor(Qt::SizeAllCursor);
        owner_.repaintMap();
        return;
    }
    crossHairOn_ = true;
    if (st.mapMode == MapMode::Calibrated)
        pickPoints(x, y);
}

void picMap::pickPoints(double x, double y)
{
    AppState &st = owner_.state();
    SelectionState &sel = st.selection;
    const double tol = pickTolerance(st.settings.SymbolDim, st.zoomFactor);
    for (PointKind kind : {PointKind::Way, PointKind::Route, PointKind::Track}) {
        const int32_t i = pickPoint(st.store.list(kind), st.calibration, x, y, tol);
        sel.selected(kind) = i;
        sel.saved(kind) = i ? std::as_const(st.store).list(kind)[i] : GpsPoint{}; // a read: the kept drawing stays
    }
    sel.routeInsertIndex = findInsertLeg(st.store.routePoints, st.calibration, x, y, st.settings.SymbolDim);
    if (sel.selectedWayPoint || sel.selectedRoutePoint || sel.selectedTrackPoint)
        owner_.repaintMap();
    const EditMode mode = owner_.editMode();
    if ((sel.selectedTrackPoint && mode == EditMode::ModifyTrackPoints) ||
        (sel.selectedRoutePoint && mode == EditMode::ModifyRoutePoints) ||
        (sel.selectedWayPoint && mode == EditMode::ModifyWayPoints))
        setCursor(Qt::ClosedHandCursor);
}

void picMap::mouseMove(Qt::MouseButtons buttons, double x, double y)
{
    buttons = mainButtons(buttons);
    mouseX_ = x;
    mouseY_ = y;
    const MapMode mode = owner_.state().mapMode;
    const bool panning = mouseIsDown_ && mode != MapMode::NoMap &&
                         (panButtons(buttons) || (leftPanning_ && buttons == Qt::LeftButton));
    if (panning)
        panView(x, y);
    if (mode != MapMode::Calibrated) {
        if (buttons != Qt::NoButton && calibrating(mode))
            mouseDragged_ = true;
        return;
    }
    if (!panning && buttons != Qt::LeftButton)
        mouseDragged_ = false;
    if (buttons == Qt::LeftButton && mouseIsDown_) {
        mouseDragged_ = true;
        if (!leftPanning_)
            dragSelected(x, y);
    }
    if (crossHairOn_)
        drawCrossHair(x, y);
}

void picMap::dragSelected(double x, double y)
{
    AppState &st = owner_.state();
    const EditMode mode = owner_.editMode();
    const PointKind kind = mode == EditMode::ModifyWayPoints     ? PointKind::Way
                           : mode == EditMode::ModifyRoutePoints ? PointKind::Route
                           : mode == EditMode::ModifyTrackPoints ? PointKind::Track
                                                                 : PointKind::Way;
    if (mode != EditMode::ModifyWayPoints && mode != EditMode::ModifyRoutePoints && mode != EditMode::ModifyTrackPoints)
        return;
    const int32_t i = st.selection.selected(kind);
    if (i < 1 || i > st.store.list(kind).count())
        return;
    GpsPoint &p = st.store.list(kind)[i];
    mapToGeo(st.calibration, x, -y, p.latitude, p.longitude);
    showPosition(x, y);
    owner_.repaintMap();
}

void picMap::mouseUp(Qt::MouseButton button, double x, double y)
{
    if (!mouseIsDown_)
        return;
    mouseIsDown_ = false;
    leftPanning_ = false;
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
    if (st.mapMode == MapMode::Calibrated)
        finishEditing(x, y);
    mouseDragged_ = false;
    st.selection.clear();
    owner_.repaintMap();
}

GpsPoint picMap::pointAtPress() const
{
    const AppState &st = owner_.state();
    GpsPoint p;
    mapToGeo(st.calibration, lastClickX_, -lastClickY_, p.latitude, p.longitude);
    stampNow(p);
    return p;
}

// "Use existing WayPoint?  (NAME)": a RoutePoint made or dropped there becomes a copy of it.
bool picMap::useExistingWayPoint(int32_t w)
{
    const GpsPoint &wayPoint = owner_.state().store.wayPoints[w];
    return owner_.dialogs().ask(this, messageText(msg::UseExistingWayPoint) + QStringLiteral("  (") + wayPoint.name +
                                          QLatin1Char(')'),
                                Dialogs::Buttons::YesNo, Dialogs::Answer::Yes) == Dialogs::Answer::Yes;
}

void picMap::finishEditing(double x, double y)
{
    AppState &st = owner_.state();
    SelectionState &sel = st.selection;
    sel.mouseDragged = mouseDragged_;
    switch (owner_.editMode()) {
    case EditMode::CreateWayPoints:
        if (!mouseDragged_) {
            GpsPoint p = pointAtPress();
            p.kind = PointKind::Way;
            st.store.wayPoints.append(std::move(p));
            owner_.repaintMap();
            owner_.openPointDialog(PointKind::Way, PointDialogMode::Created, msg::WayPointCaption);
        }
        break;
    case EditMode::CreateRoutePoints:
        if (!mouseDragged_)
            createRoutePoint();
        break;
    case EditMode::ModifyWayPoints:
        if (sel.selectedWayPoint)
            owner_.openPointDialog(PointKind::Way, PointDialogMode::Modify, msg::WayPointName);
        break;
    case EditMode::ModifyRoutePoints:
        if (sel.selectedRoutePoint) {
            // A RoutePoint released on a WayPoint may become a copy of it.
            const int32_t w = pickPoint(st.store.wayPoints, st.calibration, x, y, st.settings.SymbolDim);
            sel.selectedWayPoint = w;
            sel.savedWayPoint = w ? st.store.wayPoints[w] : GpsPoint{};
            if (w) {
                if (useExistingWayPoint(w)) {
                    GpsPoint copy = st.store.wayPoints[w];
                    copy.kind = PointKind::Route;
                    st.store.routePoints[sel.selectedRoutePoint] = std::move(copy);
                } else {
                    sel.selectedWayPoint = 0;
                    sel.savedWayPoint = GpsPoint{};
                }
            }
            owner_.repaintMap();
            owner_.openPointDialog(PointKind::Route, PointDialogMode::Modify, msg::RoutePointName);
        }
        break;
    case EditMode::ModifyTrackPoints:
        if (sel.selectedTrackPoint)
            owner_.openPointDialog(PointKind::Track, PointDialogMode::Modify, msg::TrackPointName);
        break;
    case EditMode::None:
        break;
    }
}

void picMap::createRoutePoint()
{
    AppState &st = owner_.state();
    SelectionState &sel = st.selection;
    Dialogs &dialogs = owner_.dialogs();
    PointList &route = st.store.routePoints;
    if (sel.routeInsertIndex != 0 &&
        dialogs.ask(this, messageText(msg::InsertInRoute), Dialogs::Buttons::YesNo, Dialogs::Answer::Yes) !=
            Dialogs::Answer::Yes)
        sel.routeInsertIndex = 0;
    bool copy = false;
    if (sel.selectedWayPoint != 0)
        copy = useExistingWayPoint(sel.selectedWayPoint);
    PointDialogMode mode;
    if (copy) {
        // The copy goes to the end of the route even when an insertion was accepted; nothing
        // was inserted, so Cancel must remove the copy and not a point inside the route.
        GpsPoint p = st.store.wayPoints[sel.selectedWayPoint];
        p.kind = PointKind::Route;
        route.append(std::move(p));
        sel.routeInsertIndex = 0;
        mode = PointDialogMode::CopiedToRoute;
    } else {
        GpsPoint p = pointAtPress();
        p.kind = PointKind::Route;
        if (sel.routeInsertIndex != 0) {
            route.insert(sel.routeInsertIndex, p);
            mode = PointDialogMode::InsertedInRoute;
        } else {
            route.append(std::move(p));
            mode = PointDialogMode::Created;
        }
    }
    owner_.repaintMap();
    owner_.openPointDialog(PointKind::Route, mode, msg::RoutePointCaption);
}

ScrollValues picMap::onWholePixels(ScrollValues next) const
{
    const AppState &st = owner_.state();
    if (!stripDrawing_ || st.mapMode == MapMode::NoMap || st.zoomFactor != zoom_ || window_.view != size())
        return next;
    const auto axis = [&](bool horizontal) {
        const int value = horizontal ? next.h : next.v;
        const int from = horizontal ? window_.source.x() : window_.source.y();
        const int span = horizontal ? window_.source.width() : window_.source.height();
        const int shown = horizontal ? window_.dest.width() : window_.dest.height();
        const int extent = (horizontal ? st.mapWidth : st.mapHeight) - span;
        // Map pixels per screen pixel, a whole number (2 at 50%, 10 at 10%).
        const int perPixel = shown > 0 && span % shown == 0 ? span / shown : 0;
        if (perPixel < 2 || extent <= 0)
            return value;
        const auto moveTo = [&](int v) {
            const ViewWindow w = visibleWindow(st.mapWidth, st.mapHeight, st.zoomFactor, size(), horizontal ? v : next.h,
                                               horizontal ? next.v : v);
            return (horizontal ? w.source.x() : w.source.y()) - from;
        };
        if (moveTo(value) % perPixel == 0)
            return value;
        // The scroll values of a screen pixel's worth of map, nearest first.
        const int reach = static_cast<int>(std::ceil(double(perPixel) * kScrollMax / extent)) + 1;
        for (int d = 1; d <= reach; ++d)
            for (int v : {value - d, value + d})
                if (v >= 0 && v <= kScrollMax && moveTo(v) % perPixel == 0)
                    return v;
        return value;
    };
    return {window_.hScrollEnabled ? axis(true) : next.h, window_.vScrollEnabled ? axis(false) : next.v};
}

void picMap::scrollBy(double dx, double dy, bool wholePixels)
{
    AppState &st = owner_.state();
    QScrollBar *h = owner_.hScroll();
    QScrollBar *v = owner_.vScroll();
    if (!h || !v || st.mapMode == MapMode::NoMap || !(st.zoomFactor > 0))
        return;
    ScrollValues next = panScroll({h->value(), v->value()}, h->isEnabled(), v->isEnabled(), 0, 0, -dx / st.zoomFactor,
                                  -dy / st.zoomFactor, st.mapWidth, st.mapHeight);
    if (wholePixels)
        next = onWholePixels(next);
    settingScroll_ = true;
    h->setValue(next.h);
    v->setValue(next.v);
    settingScroll_ = false;
    applyView();
}

void picMap::zoomAt(int steps, QPointF at)
{
    AppState &st = owner_.state();
    const QString entry = steps > 0 ? QStringLiteral("mnuXpiu") : QStringLiteral("mnuXmeno");
    if (st.mapMode == MapMode::NoMap || !zoomEntryEnabled(entry, st.zoomFactor))
        return;
    const QPointF anchor = window_.screenToMap(at);
    st.zoomFactor = zoomAfterCommand(entry, st.zoomFactor).value_or(st.zoomFactor);
    applyView();
    // Scrolling by the anchor's offset brings it nearer each time (the scroll range is the
    // map less the view); a few passes bring it within a pixel.
    for (int pass = 0; pass < 6; ++pass) {
        const QPointF now = window_.mapToScreen().map(anchor);
        if (std::abs(now.x() - at.x()) < 0.5 && std::abs(now.y() - at.y()) < 0.5)
            break;
        scrollBy(now.x() - at.x(), now.y() - at.y());
    }
}

void picMap::wheelEvent(QWheelEvent *event)
{
    if (owner_.state().mapMode == MapMode::NoMap || mouseIsDown_) {
        event->ignore();
        return;
    }
    QPoint delta = event->angleDelta();
    if (event->modifiers() & Qt::ControlModifier) {
        wheelZoom_ += delta.y() != 0 ? delta.y() : delta.x();
        while (std::abs(wheelZoom_) >= 120) {
            const int step = wheelZoom_ > 0 ? 1 : -1;
            wheelZoom_ -= step * 120;
            zoomAt(step, event->position());
        }
    } else {
        if ((event->modifiers() & Qt::ShiftModifier) && delta.x() == 0)
            delta = QPoint(delta.y(), 0);
        // A notch (120) moves the view by 60 screen pixels; touchpads give their own pixels.
        const QPoint pixels = event->pixelDelta();
        const QPointF by = !pixels.isNull() && !(event->modifiers() & Qt::ShiftModifier) ? QPointF(pixels)
                                                                                         : QPointF(delta) / 2.0;
        scrollBy(-by.x(), -by.y(), true);
    }
    event->accept();
}

bool picMap::event(QEvent *event)
{
    if (event->type() == QEvent::NativeGesture) {
        auto *g = static_cast<QNativeGestureEvent *>(event);
        if (g->gestureType() == Qt::ZoomNativeGesture) {
            pinch_ += g->value();
            while (std::abs(pinch_) >= 0.25) {
                const int step = pinch_ > 0 ? 1 : -1;
                pinch_ -= step * 0.25;
                zoomAt(step, g->position());
            }
            return true;
        }
    }
    return QWidget::event(event);
}

bool picMap::onPicture(const QPointF &screen) const
{
    const AppState &st = owner_.state();
    return st.mapMode != MapMode::NoMap && QRectF(QPointF(0, 0), QSizeF(window_.dest)).contains(screen);
}

// Where the map is smaller than the view, the rest of the view is not the map: a click there
// neither calibrates, nor edits, nor reads a position; panning starts anywhere.
void picMap::mousePressEvent(QMouseEvent *event)
{
    if (!onPicture(event->position()) && !panButtons(event->button()))
        return;
    const QPointF m = window_.screenToMap(event->position());
    mouseDown(event->button(), m.x(), m.y());
}

void picMap::mouseMoveEvent(QMouseEvent *event)
{
    if (!onPicture(event->position()) && !(mouseIsDown_ && (panButtons(mainButtons(event->buttons())) || leftPanning_)))
        return;
    const QPointF m = window_.screenToMap(event->position());
    mouseMove(event->buttons(), m.x(), m.y());
}

void picMap::mouseReleaseEvent(QMouseEvent *event)
{
    // A drag that ends off the map ends where it last was on it.
    if (!onPicture(event->position())) {
        mouseUp(event->button());
        return;
    }
    const QPointF m = window_.screenToMap(event->position());
    mouseUp(event->button(), m.x(), m.y());
}

} // namespace gipso
