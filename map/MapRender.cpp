#include "map/MapRender.h"

#include "base/Error.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QStaticText>
#include <QLocale>
#include <QPainter>
#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

namespace gipso {

DrawingDisc drawingDisc(int mapWidth, int mapHeight)
{
    DrawingDisc d;
    d.cx = mapWidth / 2.0;
    d.cy = mapHeight / 2.0;
    // The disc keeps far-off points out of the drawing; it is capped at 10000 pixels, but never
    // so small that it would cut off the corners of a very large map.
    const double wh = double(mapWidth) + mapHeight;
    d.r = std::min(wh, std::max(10000.0, std::hypot(double(mapWidth), double(mapHeight))));
    return d;
}

bool pointVisible(const DrawingDisc &disc, double x, double y)
{
    const double dx = x - disc.cx, dy = y - disc.cy;
    return dx * dx + dy * dy <= disc.r * disc.r;
}

bool clipSegment(const DrawingDisc &disc, QPointF p1, QPointF p2, QPointF &start, QPointF &end)
{
    const double dx = p2.x() - p1.x(), dy = p2.y() - p1.y();
    const double a = dx * dx + dy * dy;
    if (!(a > 0))
        return false;
    const double ex = p1.x() - disc.cx, ey = p1.y() - disc.cy;
    const double b = 2 * (ex * dx + ey * dy);
    const double c = ex * ex + ey * ey - disc.r * disc.r;
    const double dis = b * b - 4 * a * c;
    if (dis < 0)
        return false;
    const double root = std::sqrt(dis);
    const double t1 = (-b - root) / (2 * a);
    const double t2 = (-b + root) / (2 * a);
    if (t1 < 0)
        start = p1;
    else if (t1 <= 1)
        start = QPointF(p1.x() + t1 * dx, p1.y() + t1 * dy);
    else
        return false;
    if (t2 > 1)
        end = p2;
    else if (t2 >= 0)
        end = QPointF(p1.x() + t2 * dx, p1.y() + t2 * dy);
    else
        return false;
    return true;
}

namespace {

QString fixedText(double v, int decimals)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(v, 'f', decimals);
}

// Laid-out labels kept from one repaint to the next: the same names are drawn every time.
const QStaticText &labelText(const QString &t, const QFont &font)
{
    static QHash<QString, QStaticText> cache;
    static QFont cachedFont;
    if (font != cachedFont || cache.size() > 100000) {
        cache.clear();
        cachedFont = font;
    }
    auto it = cache.find(t);
    if (it == cache.end()) {
        QStaticText label(t);
        label.setTextFormat(Qt::PlainText);
        label.prepare(QTransform(), font);
        it = cache.insert(t, label);
    }
    return *it;
}

// Map positions (y down) of points, for a whole repaint.
class Projector {
public:
    explicit Projector(const MapCalibration &c) : projection_(c) {}
    QPointF operator()(double lat, double lon) const
    {
        double x, yUp;
        projection_.toMap(lat, lon, x, yUp);
        return {x, -yUp};
    }

private:
    MapProjection projection_;
};

// Thick aliased lines written straight into a 32-bit image. The track log may hold a million
// legs, far more than the painter's wide-pen stroking manages in a repaint. Each leg is walked
// one pixel step at a time along its longer axis and a square of the pen's width is set at
// each step; the steps outside the clip are skipped without changing the ones inside.
class LineRaster {
public:
    // Usable when the painter draws untransformed, opaque, into a 32-bit image with at most a
    // rectangular clip; otherwise the painter draws the lines.
    bool begin(QPainter &p)
    {
        if (!p.device() || p.device()->devType() != QInternal::Image || !p.worldTransform().isIdentity() ||
            p.compositionMode() != QPainter::CompositionMode_SourceOver || p.opacity() != 1.0 ||
            p.testRenderHint(QPainter::Antialiasing))
            return false;
        auto *image = static_cast<QImage *>(p.device());
        const QImage::Format f = image->format();
        if ((f != QImage::Format_RGB32 && f != QImage::Format_ARGB32 && f != QImage::Format_ARGB32_Premultiplied) ||
            image->devicePixelRatio() != 1.0)
            return false;
        clip_ = image->rect();
        if (p.hasClipping()) {
            const QRegion r = p.clipRegion();
            if (r.rectCount() > 1)
                return false;
            clip_ = clip_.intersected(r.boundingRect());
        }
        bits_ = image->bits();
        bpl_ = image->bytesPerLine();
        return true;
    }

    void line(QPointF a, QPointF b, QRgb colour, int width)
    {
        if (clip_.isEmpty())
            return;
        lo_ = -(std::max(1, width) - 1) / 2;
        hi_ = lo_ + std::max(1, width) - 1;
        colour_ = colour | 0xff000000u;
        const int ax = pixelOf(a.x()), ay = pixelOf(a.y());
        const double dx = b.x() - a.x(), dy = b.y() - a.y();
        const double len = std::max(std::fabs(dx), std::fabs(dy));
        if (len <= 1.0) {
            // At most one step: the pixels of the two ends (a leg of many points per pixel at a
            // small zoom); a pixel just set in the same colour is not set again.
            const int bx = pixelOf(b.x()), by = pixelOf(b.y());
            if (!(colour_ == lastColour_ && ax == lastX_ && ay == lastY_ && lastLo_ == lo_))
                plot(ax, ay);
            if (bx != ax || by != ay)
                plot(bx, by);
            return;
        }
        if (!(len < 1e7))
            return; // nothing real is that long on screen
        const int n = static_cast<int>(std::ceil(len));
        const double ix = dx / n, iy = dy / n;
        int i0 = 0, i1 = n;
        // Steps whose square can touch the clip, with one step to spare at each end.
        narrow(a.x(), ix, clip_.left() - hi_, clip_.right() - lo_ + 1.0, i0, i1);
        narrow(a.y(), iy, clip_.top() - hi_, clip_.bottom() - lo_ + 1.0, i0, i1);
        for (int i = i0; i <= i1; ++i)
            plot(pixelOf(a.x() + i * ix), pixelOf(a.y() + i * iy));
    }

    // Something else was drawn: the last pixel may no longer hold the line's colour.
    void forget() { lastX_ = INT_MIN; }

private:
    // The floor as an int, without the library call (the legs are within the int range).
    static int pixelOf(double v)
    {
        const int i = static_cast<int>(v);
        return i - (v < i);
    }
    static void narrow(double start, double inc, double lo, double hi, int &i0, int &i1)
    {
        if (inc == 0) {
            if (start < lo - 1 || start >= hi + 1)
                i1 = i0 - 1;
            return;
        }
        double t0 = (lo - start) / inc, t1 = (hi - start) / inc;
        if (t0 > t1)
            std::swap(t0, t1);
        if (t0 > i0)
            i0 = static_cast<int>(std::min<double>(std::floor(t0) - 1, i1 + 1));
        if (t1 < i1)
            i1 = static_cast<int>(std::max<double>(std::ceil(t1) + 1, i0 - 1));
        i0 = std::max(i0, 0);
    }
    void plot(int x, int y)
    {
        lastX_ = x, lastY_ = y, lastColour_ = colour_, lastLo_ = lo_;
        const int x0 = std::max(x + lo_, clip_.left()), x1 = std::min(x + hi_, clip_.right());
        const int y0 = std::max(y + lo_, clip_.top()), y1 = std::min(y + hi_, clip_.bottom());
        for (int yy = y0; yy <= y1; ++yy) {
            auto *row = reinterpret_cast<QRgb *>(bits_ + qsizetype(yy) * bpl_);
            for (int xx = x0; xx <= x1; ++xx)
                row[xx] = colour_;
        }
    }

    uchar *bits_ = nullptr;
    qsizetype bpl_ = 0;
    QRect clip_;
    int lo_ = 0, hi_ = 0;
    QRgb colour_ = 0;
    int lastX_ = INT_MIN, lastY_ = INT_MIN, lastLo_ = 0;
    QRgb lastColour_ = 0;
};

// One repaint of the overlay. Work for things that cannot reach the viewport is skipped; what
// is drawn is drawn exactly as it would be without that culling.
class Overlay {
public:
    Overlay(QPainter &painter, const AppState &state, const ViewWindow &view, bool levelOfDetail)
        : p(painter), st(state), s(state.settings), sizes(drawingSizes(state.settings)), view(view),
          project(state.calibration), levelOfDetail(levelOfDetail)
    {
        sx = view.view.width() / view.scaleWidth;
        sy = view.view.height() / view.scaleHeight;
        zoom = state.zoomFactor > 0 ? state.zoomFactor : 1.0;
        symR = static_cast<int>(roundHalfEven(sizes.symbol / zoom));
        fontR = static_cast<int>(roundHalfEven(sizes.chars / zoom));
        disc = drawingDisc(state.mapWidth, state.mapHeight);
        screen = QRectF(0, 0, view.view.width(), view.view.height());
    }

    void paint()
    {
        QFont font = p.font();
        font.setPixelSize(labelPixelSize(sizes.chars));
        font.setItalic(false);
        p.setFont(font);
        metrics = std::make_unique<QFontMetricsF>(font, p.device());
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setBrush(Qt::NoBrush);
        useRaster = raster.begin(p);
        wayPoints();
        route();
        tracks();
        liveMarker();
    }

private:
    QPointF mapPos(const GpsPoint &pt) const { return project(pt.latitude, pt.longitude); }
    QPointF toScreen(QPointF m) const { return {(m.x() - view.scaleLeft) * sx, (m.y() - view.scaleTop) * sy}; }

    void setPen(int32_t colour, int width)
    {
        penRgb = settingRgb(colour);
        QPen pen{QColor(penRgb)};
        pen.setWidth(std::max(0, width));
        pen.setCosmetic(true);
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
        p.setPen(pen);
        penColour = colour;
        penWidth = width;
    }
    // Margin in screen pixels that a pen of the current width can reach beyond a shape.
    double penMargin() const { return penWidth / 2.0 + 2.0; }

    // Text at a map position (its top-left corner) in the current text colour. Positions on
    // the drawing surface are whole pixels.
    void text(QPointF at, const QString &t)
    {
        if (t.isEmpty())
            return;
        const QPointF sp = toScreen(at);
        const QPointF corner(std::floor(sp.x()), std::floor(sp.y()));
        if (corner.y() > screen.bottom() || corner.y() + metrics->height() < 0 || corner.x() > screen.right())
            return;
        const QStaticText &label = labelText(t, p.font());
        if (corner.x() + label.size().width() < 0)
            return;
        const QPen keep = p.pen();
        p.setPen(QColor(settingRgb(textColour)));
        p.drawStaticText(corner, label);
        raster.forget();
        p.setPen(keep);
    }

    bool nearScreen(QPointF sp, double reach) const
    {
        return sp.x() + reach >= 0 && sp.y() + reach >= 0 && sp.x() - reach <= screen.right() &&
               sp.y() - reach <= screen.bottom();
    }
    bool segmentNearScreen(QPointF a, QPointF b, double reach) const
    {
        return std::max(a.x(), b.x()) + reach >= 0 && std::max(a.y(), b.y()) + reach >= 0 &&
               std::min(a.x(), b.x()) - reach <= screen.right() && std::min(a.y(), b.y()) - reach <= screen.bottom();
    }

    void line(QPointF a, QPointF b)
    {
        const QPointF sa = toScreen(a), sb = toScreen(b);
        if (!segmentNearScreen(sa, sb, penMargin()))
            return;
        if (useRaster)
            raster.line(sa, sb, penRgb, penWidth);
        else
            p.drawLine(sa, sb);
    }
    // Circles are centred on whole pixels, so one drawn circle serves every point of a colour.
    void circle(QPointF c, double r)
    {
        const QPointF sc = toScreen(c);
        const double rx = r * sx, ry = r * sy;
        if (!nearScreen(sc, std::max(rx, ry) + penMargin()))
            return;
        const int px = static_cast<int>(std::floor(sc.x())), py = static_cast<int>(std::floor(sc.y()));
        if (!useRaster || rx > 2000 || ry > 2000) {
            p.drawEllipse(QPointF(px + 0.5, py + 0.5), rx, ry);
            return;
        }
        const quint64 key = (quint64(quint32(penColour)) << 32) | quint32(penWidth);
        auto it = circles.find(key);
        if (it == circles.end()) {
            const int half = static_cast<int>(std::ceil(std::max(rx, ry) + penWidth)) + 2;
            QImage sprite(2 * half + 1, 2 * half + 1, QImage::Format_ARGB32_Premultiplied);
            sprite.fill(Qt::transparent);
            QPainter sp(&sprite);
            sp.setPen(p.pen());
            sp.setBrush(Qt::NoBrush);
            sp.drawEllipse(QPointF(half + 0.5, half + 0.5), rx, ry);
            sp.end();
            it = circles.insert(key, sprite);
        }
        const int half = it->width() / 2;
        p.drawImage(QPoint(px - half, py - half), *it);
        raster.forget();
    }
    void square(QPointF c, double r)
    {
        const QPointF a = toScreen(QPointF(c.x() - r, c.y() - r)), b = toScreen(QPointF(c.x() + r, c.y() + r));
        if (!segmentNearScreen(a, b, penMargin()))
            return;
        if (useRaster) {
            raster.line(a, QPointF(b.x(), a.y()), penRgb, penWidth);
            raster.line(QPointF(b.x(), a.y()), b, penRgb, penWidth);
            raster.line(b, QPointF(a.x(), b.y()), penRgb, penWidth);
            raster.line(QPointF(a.x(), b.y()), a, penRgb, penWidth);
        } else {
            p.drawRect(QRectF(a, b));
        }
    }

    // WayPoints (steps 2 and 3).
    void wayPoint(const GpsPoint &pt, int32_t colour)
    {
        const QPointF m = mapPos(pt);
        if (!pointVisible(disc, m.x(), m.y()))
            return;
        setPen(colour, sizes.line);
        if (s.WayPointSymbol == 1)
            circle(m, symR);
        if (s.WayPointName == 1)
            text(QPointF(m.x() + symR + 5, m.y() - std::floor(1.125 * fontR)), pt.name);
    }
    void wayPoints()
    {
        const PointList &wp = st.store.wayPoints;
        textColour = s.WayPointColor;
        for (const GpsPoint &pt : wp)
            wayPoint(pt, s.WayPointColor);
        const int32_t sel = st.selection.selectedWayPoint;
        if (sel >= 1 && sel <= wp.count()) {
            textColour = inverseColour(s.WayPointColor);
            wayPoint(wp[sel], textColour);
        }
    }

    // Route (steps 4 and 5).
    void routePointSymbol(QPointF m, const GpsPoint &pt, int32_t colour)
    {
        if (s.RoutePointSymbol == 1) {
            setPen(colour, sizes.line);
            line(QPointF(m.x() - symR, m.y() - symR), QPointF(m.x() + symR, m.y() + symR));
            line(QPointF(m.x() - symR, m.y() + symR), QPointF(m.x() + symR, m.y() - symR));
        }
        if (s.RoutePointName == 1)
            text(QPointF(m.x() + symR + 5, m.y() - 2.0 * fontR), pt.name);
    }
    void route()
    {
        const PointList &rp = st.store.routePoints;
        textColour = s.RouteColor;
        QPointF current;
        for (int32_t i = 1; i <= rp.count(); ++i) {
            const GpsPoint &pt = rp[i];
            const QPointF m = mapPos(pt);
            setPen(s.RouteColor, sizes.line);
            QPointF a, b;
            if (i > 1 && clipSegment(disc, current, m, a, b)) {
                line(a, b);
                const QPointF mid((a.x() + b.x()) / 2, (a.y() + b.y()) / 2);
                const GpsPoint &prev = rp[i - 1];
                if (s.RouteHeadings == 1) {
                    try {
                        const double course = rhumbLineCourse(prev.latitude, prev.longitude, pt.latitude, pt.longitude);
                        text(QPointF(mid.x(), mid.y() + 0.75 * fontR), fixedText(course * 180.0 / M_PI, 2) + QChar(0x00B0));
                    } catch (const GipsoError &) {
                        // no heading where the formula has none (a pole)
                    }
                }
                if (s.RouteLengths == 1) {
                    try {
                        const double d = rhumbLineDistance(prev.latitude, prev.longitude, pt.latitude, pt.longitude);
                        text(QPointF(mid.x(), mid.y() - 0.75 * fontR),
                             fixedText(d * st.units.distanceFactor, 3) + QLatin1Char(' ') + st.units.distanceUnit);
                    } catch (const GipsoError &) {
                    }
                }
            }
            if (pointVisible(disc, m.x(), m.y()))
                routePointSymbol(m, pt, s.RouteColor);
            current = m;
        }
        const int32_t sel = st.selection.selectedRoutePoint;
        if (sel >= 1 && sel <= rp.count()) {
            textColour = inverseColour(s.RouteColor);
            const QPointF m = mapPos(rp[sel]);
            if (pointVisible(disc, m.x(), m.y()))
                routePointSymbol(m, rp[sel], textColour);
        }
    }

    // Tracks (steps 6 to 8). Consecutive legs of one colour go out as one polyline, in order.
    int32_t trackColour(const GpsPoint &pt) const
    {
        return s.AutoTrackPointColor == 1 ? altitudeColour(pt.altitude, minAlt, maxAlt) : s.TrackColor;
    }
    // Legs of the track log, in order: straight into the image when possible, else in batches
    // of consecutive legs of one colour.
    void trackLeg(QPointF sa, QPointF sb, int32_t colour)
    {
        if (useRaster) {
            raster.line(sa, sb, settingRgb(colour), sizes.line + 1);
            return;
        }
        if (!legs.isEmpty() && legColour != colour)
            flushLegs();
        legColour = colour;
        legs.append(QLineF(sa, sb));
    }
    void flushLegs()
    {
        if (legs.isEmpty())
            return;
        setPen(legColour, sizes.line + 1);
        QPen pen = p.pen();
        pen.setCapStyle(Qt::SquareCap);
        p.setPen(pen);
        p.drawLines(legs);
        legs.clear();
    }
    // The square and the description of a TrackPoint that starts a track, or of the selected one.
    void trackPointSymbol(QPointF m, const GpsPoint &pt, int32_t colour)
    {
        setPen(colour, sizes.line);
        if (s.TrackPointSymbol == 1)
            square(m, symR);
        textColour = colour;
        if (s.TrackPointName == 1)
            text(QPointF(m.x() + symR + 5, m.y() + std::floor(0.375 * fontR)), pt.description);
    }
    // What the walk along the track log leaves to draw, in order: a leg ending at a point, or
    // the symbol of a point that starts a track.
    struct TrackItem {
        QPointF a, b; // the leg on the screen, or the symbol's map position in a
        int32_t index;
        float altitude; // of the point, for its colour
        bool symbol;
    };
    void tracks()
    {
        const PointList &tp = st.store.trackPoints;
        if (tp.isEmpty())
            return;
        // The screen rectangle in map pixels, widened by what the pen can reach.
        const double reach = (sizes.line + 1) / 2.0 + 2.0;
        const double left = view.scaleLeft - reach / sx, right = view.scaleLeft + (screen.width() + reach) / sx;
        const double top = view.scaleTop - reach / sy, bottom = view.scaleTop + (screen.height() + reach) / sy;
        // One walk along the list finds the altitude range and what reaches the screen; the
        // colours are taken afterwards, for what is drawn only.
        const bool byAltitude = s.AutoTrackPointColor == 1;
        double lowest = tp[1].altitude, highest = lowest;
        static thread_local std::vector<TrackItem> items;
        items.clear();
        QPointF current, currentScreen;
        bool currentInside = false;
        // Level of detail: a leg that stays inside one screen pixel only sets that pixel, and
        // the next leg sets it again, so of a run of such legs only the last one is drawn, when
        // the run ends. The pixels are those of drawing every leg.
        int32_t held = 0;
        float heldAltitude = 0;
        const auto drawHeld = [&] {
            if (held != 0)
                items.push_back({currentScreen, currentScreen, held, heldAltitude, false});
            held = 0;
        };
        const double r2 = disc.r * disc.r;
        qint64 currentPixel = -1;
        for (int32_t i = 1; i <= tp.count(); ++i) {
            const GpsPoint &pt = tp[i];
            if (byAltitude) {
                lowest = std::min<double>(lowest, pt.altitude);
                highest = std::max<double>(highest, pt.altitude);
            }
            const QPointF m = mapPos(pt);
            const double dx = m.x() - disc.cx, dy = m.y() - disc.cy;
            const bool inside = dx * dx + dy * dy <= r2;
            const QPointF sm = toScreen(m);
            const bool starts = trackStarts(tp, i);
            // The pixel of a point on the screen (where truncation is the floor), or none.
            const qint64 pixel = sm.x() >= 0 && sm.y() >= 0 && sm.x() < screen.width() && sm.y() < screen.height() && inside
                                     ? qint64(sm.y()) << 32 | quint32(sm.x())
                                     : -1;
            if (levelOfDetail && useRaster && pixel >= 0 && pixel == currentPixel && !starts) {
                held = i;
                heldAltitude = pt.altitude;
                current = m;
                currentScreen = sm;
                continue;
            }
            currentPixel = pixel;
            drawHeld();
            // A leg that cannot reach the screen is skipped before any clipping: the clipped
            // leg lies within the whole one.
            if (!starts && std::max(current.x(), m.x()) >= left && std::min(current.x(), m.x()) <= right &&
                std::max(current.y(), m.y()) >= top && std::min(current.y(), m.y()) <= bottom) {
                // With both ends inside the disc the clip keeps the leg whole.
                QPointF a = current, b = m;
                if (currentInside && inside) {
                    if (current != m)
                        items.push_back({currentScreen, sm, i, pt.altitude, false});
                } else if (clipSegment(disc, current, m, a, b)) {
                    items.push_back({toScreen(a), toScreen(b), i, pt.altitude, false});
                }
            }
            if (!pt.description.isEmpty() && inside)
                items.push_back({m, m, i, pt.altitude, true});
            current = m;
            currentScreen = sm;
            currentInside = inside;
        }
        drawHeld();
        if (byAltitude)
            minAlt = lowest, maxAlt = highest;

        for (const TrackItem &item : items) {
            const int32_t colour = byAltitude ? altitudeColour(item.altitude, minAlt, maxAlt) : s.TrackColor;
            if (item.symbol) {
                flushLegs();
                raster.forget();
                trackPointSymbol(item.a, tp[item.index], colour);
            } else {
                trackLeg(item.a, item.b, colour);
            }
        }
        flushLegs();
        const int32_t sel = st.selection.selectedTrackPoint;
        if (sel >= 1 && sel <= tp.count()) {
            const GpsPoint &pt = tp[sel];
            const QPointF m = mapPos(pt);
            if (pointVisible(disc, m.x(), m.y()))
                trackPointSymbol(m, pt, inverseColour(trackColour(pt)));
        }
    }

    // Step 9: the live NMEA position, a crossed square in the inverse of the track colour.
    void liveMarker()
    {
        if (!st.nmeaMarkerOn)
            return;
        const PointList &tp = st.store.trackPoints;
        const int32_t k = tp.isEmpty() ? s.TrackColor : trackColour(tp[tp.count()]);
        GpsPoint marker;
        marker.latitude = st.nmeaMarkerLat;
        marker.longitude = st.nmeaMarkerLon;
        const QPointF m = mapPos(marker);
        if (!pointVisible(disc, m.x(), m.y()))
            return;
        const int32_t inv = inverseColour(k);
        textColour = inv;
        if (s.TrackPointSymbol == 1) {
            setPen(inv, sizes.line);
            square(m, symR);
            line(QPointF(m.x() - symR, m.y() - symR), QPointF(m.x() + symR, m.y() + symR));
            line(QPointF(m.x() - symR, m.y() + symR), QPointF(m.x() + symR, m.y() - symR));
        }
    }

    QPainter &p;
    const AppState &st;
    const Settings &s;
    const DrawingSizes sizes;
    const ViewWindow &view;
    double sx = 1, sy = 1, zoom = 1;
    int symR = 0, fontR = 0;
    DrawingDisc disc;
    QRectF screen;
    std::unique_ptr<QFontMetricsF> metrics;
    int32_t textColour = 0;
    int32_t penColour = 0;
    int penWidth = 1;
    QRgb penRgb = 0;
    QHash<quint64, QImage> circles;
    double minAlt = 0, maxAlt = 0;
    Projector project;
    LineRaster raster;
    bool useRaster = false;
    bool levelOfDetail = true;
    QVector<QLineF> legs;
    int32_t legColour = 0;
};

// Without a map the view is filled with the product name, in rows.
void paintNoMap(QPainter &p, const Settings &s, QSize view, const QColor &colour)
{
    QFont font = p.font();
    font.setPixelSize(labelPixelSize(drawingSizes(s).chars));
    font.setItalic(true);
    p.setFont(font);
    p.setPen(colour);
    const QFontMetricsF fm(font, p.device());
    const QString t = QStringLiteral("Gipso ");
    const double tw = fm.horizontalAdvance(t), th = fm.height();
    if (!(tw > 0) || !(th > 0))
        return;
    const int rows = static_cast<int>(roundHalfEven(view.height() / th));
    const int columns = static_cast<int>(roundHalfEven(view.width() / tw));
    for (int r = 0; r <= rows; ++r)
        for (int c = 0; c <= columns; ++c)
            p.drawText(QPointF(c * tw, r * th + fm.ascent()), t);
}

} // namespace

void paintMap(QPainter &painter, const AppState &state, const ViewWindow &view, const PaintOptions &options)
{
    // A recalibration keeps the calibration it began with in force until it is confirmed.
    const bool calibrated = state.mapMode == MapMode::Calibrated ||
                            (calibrating(state.mapMode) && state.modeBeforeCalibration == MapMode::Calibrated);
    painter.save();
    if (state.mapMode == MapMode::NoMap) {
        paintNoMap(painter, state.settings, view.view, options.noMapTextColour);
    } else if (calibrated) {
        Overlay overlay(painter, state, view, options.levelOfDetail);
        overlay.paint();
    }
    painter.restore();
}

QImage renderViewImage(const AppState &state, const ViewWindow &view, const QImage &bitmap, const PaintOptions &options)
{
    QImage image;
    if (bitmap.isNull()) {
        image = QImage(view.dest.isEmpty() ? view.view : view.dest, QImage::Format_RGB32);
        image.fill(Qt::white);
    } else {
        image = bitmap.convertToFormat(QImage::Format_RGB32);
    }
    QPainter painter(&image);
    paintMap(painter, state, view, options);
    painter.end();
    return image;
}

} // namespace gipso
