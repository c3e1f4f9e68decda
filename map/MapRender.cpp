#include "map/MapRender.h"

#include "app/Error.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <vector>

namespace gipso {

int32_t altitudeColour(double a, double minAlt, double maxAlt)
{
    if (maxAlt == minAlt)
        return 255;
    const double f = (maxAlt - a) / (maxAlt - minAlt);
    auto level = [](double v) { return static_cast<int32_t>(roundHalfEven(v * 255.0)); };
    int32_t r, g, b;
    if (f < 0.25) {
        r = 255, g = level(f * 4), b = 0;
    } else if (f < 0.5) {
        r = level(1 - (f - 0.25) * 4), g = 255, b = 0;
    } else if (f < 0.75) {
        r = 0, g = 255, b = level((f - 0.5) * 4);
    } else {
        r = 0, g = level(1 - (f - 0.75) * 4), b = 255;
    }
    return r + 256 * g + 65536 * b;
}

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

int labelPixelSize(int charDimension) { return std::max(1, static_cast<int>(std::lround(charDimension * 96.0 / 72.0))); }

namespace {

QString fixedText(double v, int decimals)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(v, 'f', decimals);
}

// One repaint of the overlay. Work for things that cannot reach the viewport is skipped; what
// is drawn is drawn exactly as it would be without that culling.
class Overlay {
public:
    Overlay(QPainter &painter, const AppState &state, const ViewWindow &view)
        : p(painter), st(state), s(state.settings), view(view)
    {
        sx = view.view.width() / view.scaleWidth;
        sy = view.view.height() / view.scaleHeight;
        zoom = state.zoomFactor > 0 ? state.zoomFactor : 1.0;
        symR = static_cast<int16_t>(roundHalfEven(s.SymbolDim / zoom));
        fontR = static_cast<int16_t>(roundHalfEven(s.CharDimension / zoom));
        disc = drawingDisc(state.mapWidth, state.mapHeight);
        screen = QRectF(0, 0, view.view.width(), view.view.height());
    }

    void paint()
    {
        QFont font = p.font();
        font.setPixelSize(labelPixelSize(s.CharDimension));
        font.setItalic(false);
        p.setFont(font);
        metrics = std::make_unique<QFontMetricsF>(font, p.device());
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setBrush(Qt::NoBrush);
        wayPoints();
        route();
        tracks();
        liveMarker();
    }

private:
    QPointF mapPos(const GpsPoint &pt) const
    {
        double x, yUp;
        geoToMap(st.calibration, pt.latitude, pt.longitude, x, yUp);
        return {x, -yUp};
    }
    QPointF toScreen(QPointF m) const { return {(m.x() - view.scaleLeft) * sx, (m.y() - view.scaleTop) * sy}; }

    void setPen(int32_t colour, int width)
    {
        QPen pen(colourFromSetting(colour));
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

    // Text at a map position (its top-left corner) in the current text colour.
    void text(QPointF at, const QString &t)
    {
        if (t.isEmpty())
            return;
        const QPointF sp = toScreen(at);
        const double h = metrics->height();
        if (sp.y() > screen.bottom() || sp.y() + h < 0 || sp.x() > screen.right())
            return;
        if (sp.x() < 0 && sp.x() + metrics->horizontalAdvance(t) < 0)
            return;
        const QPen keep = p.pen();
        p.setPen(colourFromSetting(textColour));
        p.drawText(QPointF(sp.x(), sp.y() + metrics->ascent()), t);
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
        if (segmentNearScreen(sa, sb, penMargin()))
            p.drawLine(sa, sb);
    }
    void circle(QPointF c, double r)
    {
        const QPointF sc = toScreen(c);
        const double rx = r * sx, ry = r * sy;
        if (nearScreen(sc, std::max(rx, ry) + penMargin()))
            p.drawEllipse(sc, rx, ry);
    }
    void square(QPointF c, double r)
    {
        const QPointF a = toScreen(QPointF(c.x() - r, c.y() - r)), b = toScreen(QPointF(c.x() + r, c.y() + r));
        if (segmentNearScreen(a, b, penMargin()))
            p.drawRect(QRectF(a, b));
    }

    // WayPoints (steps 2 and 3).
    void wayPoint(const GpsPoint &pt, int32_t colour)
    {
        const QPointF m = mapPos(pt);
        if (!pointVisible(disc, m.x(), m.y()))
            return;
        setPen(colour, s.LineThickness);
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
            setPen(colour, s.LineThickness);
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
            setPen(s.RouteColor, s.LineThickness);
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
    void flushRun()
    {
        if (run.size() >= 2) {
            setPen(runColour, s.LineThickness + 1);
            p.drawPolyline(run.data(), static_cast<int>(run.size()));
        }
        run.clear();
    }
    void trackStartSymbol(QPointF m, const GpsPoint &pt, int32_t colour, int32_t textCol)
    {
        setPen(colour, s.LineThickness);
        if (s.TrackPointSymbol == 1)
            square(m, symR);
        textColour = textCol;
        if (s.TrackPointName == 1)
            text(QPointF(m.x() + symR + 5, m.y() + std::floor(0.375 * fontR)), pt.description);
    }
    void tracks()
    {
        const PointList &tp = st.store.trackPoints;
        if (tp.isEmpty())
            return;
        if (s.AutoTrackPointColor == 1) {
            minAlt = maxAlt = tp[1].altitude;
            for (const GpsPoint &pt : tp) {
                minAlt = std::min<double>(minAlt, pt.altitude);
                maxAlt = std::max<double>(maxAlt, pt.altitude);
            }
        }
        const double reach = (s.LineThickness + 1) / 2.0 + 2.0;
        QPointF current;
        run.clear();
        for (int32_t i = 1; i <= tp.count(); ++i) {
            const GpsPoint &pt = tp[i];
            const QPointF m = mapPos(pt);
            const int32_t k = trackColour(pt);
            QPointF a, b;
            if (!trackStarts(tp, i) && clipSegment(disc, current, m, a, b)) {
                const QPointF sa = toScreen(a), sb = toScreen(b);
                if (segmentNearScreen(sa, sb, reach)) {
                    if (run.empty() || runColour != k || run.back() != sa) {
                        flushRun();
                        run.push_back(sa);
                        runColour = k;
                    }
                    run.push_back(sb);
                }
            }
            if (!pt.description.isEmpty() && pointVisible(disc, m.x(), m.y())) {
                flushRun();
                trackStartSymbol(m, pt, k, k);
            }
            current = m;
        }
        flushRun();
        const int32_t sel = st.selection.selectedTrackPoint;
        if (sel >= 1 && sel <= tp.count()) {
            const GpsPoint &pt = tp[sel];
            const int32_t inv = inverseColour(trackColour(pt));
            const QPointF m = mapPos(pt);
            textColour = inv;
            setPen(inv, s.LineThickness);
            if (pointVisible(disc, m.x(), m.y())) {
                if (s.TrackPointSymbol == 1)
                    square(m, symR);
                if (s.TrackPointName == 1)
                    text(QPointF(m.x() + symR + 5, m.y() + std::floor(0.375 * fontR)), pt.description);
            }
        }
    }

    // Step 9: the live NMEA position, a crossed square in the inverse of the track colour.
    void liveMarker()
    {
        if (!st.nmeaMarkerOn)
            return;
        const PointList &tp = st.store.trackPoints;
        int32_t k = s.TrackColor;
        if (!tp.isEmpty()) {
            if (s.AutoTrackPointColor == 1 && minAlt == 0 && maxAlt == 0) {
                minAlt = maxAlt = tp[1].altitude;
                for (const GpsPoint &pt : tp) {
                    minAlt = std::min<double>(minAlt, pt.altitude);
                    maxAlt = std::max<double>(maxAlt, pt.altitude);
                }
            }
            k = trackColour(tp[tp.count()]);
        }
        GpsPoint marker;
        marker.latitude = st.nmeaMarkerLat;
        marker.longitude = st.nmeaMarkerLon;
        const QPointF m = mapPos(marker);
        if (!pointVisible(disc, m.x(), m.y()))
            return;
        const int32_t inv = inverseColour(k);
        textColour = inv;
        if (s.TrackPointSymbol == 1) {
            setPen(inv, s.LineThickness);
            square(m, symR);
            line(QPointF(m.x() - symR, m.y() - symR), QPointF(m.x() + symR, m.y() + symR));
            line(QPointF(m.x() - symR, m.y() + symR), QPointF(m.x() + symR, m.y() - symR));
        }
    }

    QPainter &p;
    const AppState &st;
    const Settings &s;
    const ViewWindow &view;
    double sx = 1, sy = 1, zoom = 1;
    int16_t symR = 0, fontR = 0;
    DrawingDisc disc;
    QRectF screen;
    std::unique_ptr<QFontMetricsF> metrics;
    int32_t textColour = 0;
    int32_t penColour = 0;
    int penWidth = 1;
    double minAlt = 0, maxAlt = 0;
    std::vector<QPointF> run;
    int32_t runColour = 0;
};

// Without a map the view is filled with the product name, in rows.
void paintNoMap(QPainter &p, const Settings &s, QSize view, const QColor &colour)
{
    QFont font = p.font();
    font.setPixelSize(labelPixelSize(s.CharDimension));
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
    painter.save();
    if (state.mapMode == mapmode::NoMap) {
        paintNoMap(painter, state.settings, view.view, options.noMapTextColour);
    } else {
        Overlay overlay(painter, state, view);
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
