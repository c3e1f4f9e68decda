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
#include <cstring>
#include <type_traits>
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

QLocale numberLocale()
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

// QPointF's fuzzy equality, without its branches (a walk over a million points tests it).
inline bool fuzzyEqual(double a, double b)
{
    const double d = std::fabs(a - b);
    return a == 0 || b == 0 ? d <= 1e-12 : d * 1e12 <= std::min(std::fabs(a), std::fabs(b));
}
inline bool fuzzyEqual(QPointF a, QPointF b) { return fuzzyEqual(a.x(), b.x()) && fuzzyEqual(a.y(), b.y()); }

// Laid-out labels kept from one repaint to the next: the same names are drawn every time.
struct LabelCache {
    QHash<QString, QStaticText> labels;
    QFont font;
};
LabelCache &labelCache(const QFont &font)
{
    static LabelCache cache;
    if (font != cache.font || cache.labels.size() > 100000) {
        cache.labels.clear();
        cache.font = font;
    }
    return cache;
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

// The track log's map positions, kept from one repaint to the next: the walk over a million
// points then reads a few numbers per point, and skips whole blocks off the screen. Kept for
// one list revision and one calibration; any change of the points gives a new revision.
struct TrackProjection {
    static constexpr int32_t kBlock = 256;
    uint64_t revision = 0;
    MapCalibration calibration;
    std::vector<double> x, y;   // index 1 to count, as the list
    std::vector<double> latitude, longitude; // what x and y were projected from
    std::vector<float> altitude;
    std::vector<int32_t> colour; // by altitude (AutoTrackPointColor)
    std::vector<int32_t> named; // the points with a description (they start tracks), in order
    struct Bounds {
        double left, top, right, bottom;
    };
    std::vector<Bounds> blocks; // of each kBlock points (the first at 1)
    double lowest = 0, highest = 0;
};

bool sameCalibration(const MapCalibration &a, const MapCalibration &b)
{
    static_assert(std::is_trivially_copyable_v<MapCalibration>);
    return std::memcmp(&a, &b, sizeof a) == 0;
}

const TrackProjection &trackProjection(const PointList &tp, const MapCalibration &calibration)
{
    static thread_local TrackProjection kept;
    const uint64_t revision = tp.revision();
    if (kept.revision == revision && sameCalibration(kept.calibration, calibration))
        return kept;
    const MapProjection projection(calibration);
    const int32_t n = tp.count();
    if (kept.x.capacity() > 2 * (size_t(n) + 1)) // a log much shorter than before: its memory back
        kept = TrackProjection();
    // The colours are taken again only where an altitude changed, unless the range did.
    const bool sameCount = kept.x.size() == size_t(n) + 1;
    // Points that kept their place keep their projection (an edit moves one point, a
    // capture appends one).
    const size_t projected = sameCalibration(kept.calibration, calibration) ? kept.x.size() : 0;
    const double lowestBefore = kept.lowest, highestBefore = kept.highest;
    static thread_local std::vector<int32_t> recolour;
    recolour.clear();
    bool recolourAll = !sameCount;
    kept.revision = revision;
    kept.calibration = calibration;
    kept.x.resize(size_t(n) + 1);
    kept.y.resize(size_t(n) + 1);
    kept.latitude.resize(size_t(n) + 1);
    kept.longitude.resize(size_t(n) + 1);
    kept.altitude.resize(size_t(n) + 1);
    kept.colour.resize(size_t(n) + 1);
    kept.named.clear();
    kept.blocks.clear();
    kept.lowest = kept.highest = n > 0 ? tp[1].altitude : 0;
    double bl = 0, bt = 0, br = 0, bb = 0;
    for (int32_t i = 1; i <= n; ++i) {
        const GpsPoint &pt = tp[i];
        // (compared as bits: a NaN is projected again)
        if (size_t(i) >= projected || std::memcmp(&kept.latitude[size_t(i)], &pt.latitude, sizeof(double)) != 0 ||
            std::memcmp(&kept.longitude[size_t(i)], &pt.longitude, sizeof(double)) != 0) {
            double x, yUp;
            projection.toMap(pt.latitude, pt.longitude, x, yUp);
            kept.x[size_t(i)] = x;
            kept.y[size_t(i)] = -yUp;
            kept.latitude[size_t(i)] = pt.latitude;
            kept.longitude[size_t(i)] = pt.longitude;
        }
        const double x = kept.x[size_t(i)], y = kept.y[size_t(i)];
        if (!(kept.altitude[size_t(i)] == pt.altitude) && !recolourAll) {
            recolour.push_back(i);
            recolourAll = recolour.size() > size_t(n) / 8;
        }
        kept.altitude[size_t(i)] = pt.altitude;
        kept.lowest = std::min<double>(kept.lowest, pt.altitude);
        kept.highest = std::max<double>(kept.highest, pt.altitude);
        if (!pt.description.isEmpty())
            kept.named.push_back(i);
        if ((i - 1) % TrackProjection::kBlock == 0) {
            bl = br = x, bt = bb = y;
        } else {
            bl = std::min(bl, x), br = std::max(br, x), bt = std::min(bt, y), bb = std::max(bb, y);
        }
        if (i % TrackProjection::kBlock == 0 || i == n)
            kept.blocks.push_back({bl, bt, br, bb});
    }
    const auto colour = [&](int32_t i) {
        kept.colour[size_t(i)] = altitudeColour(kept.altitude[size_t(i)], kept.lowest, kept.highest);
    };
    // (compared as bits: a range of NaN is a change too)
    if (recolourAll || std::memcmp(&lowestBefore, &kept.lowest, sizeof(double)) != 0 ||
        std::memcmp(&highestBefore, &kept.highest, sizeof(double)) != 0) {
        for (int32_t i = 1; i <= n; ++i)
            colour(i);
    } else {
        for (int32_t i : recolour)
            colour(i);
    }
    return kept;
}

// A symbol drawn once, and the runs of its pixels. Drawn without antialiasing, its pixels are
// either the pen's or clear, so over an opaque picture it comes down to copying the runs.
struct Sprite {
    struct Run {
        int y, x0, x1;
        QRgb colour;
    };
    QImage image;
    std::vector<Run> runs;
    bool opaque = true; // every pixel opaque or clear (else it is drawn as an image)

    Sprite() = default;
    explicit Sprite(const QImage &drawn) : image(drawn)
    {
        for (int y = 0; y < image.height(); ++y) {
            const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const int alpha = qAlpha(row[x]);
                opaque = opaque && (alpha == 0 || alpha == 255);
                if (alpha == 0)
                    continue;
                if (!runs.empty() && runs.back().y == y && runs.back().x1 == x - 1 && runs.back().colour == row[x])
                    runs.back().x1 = x;
                else
                    runs.push_back({y, x, x, row[x]});
            }
        }
    }
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
        const double dx = b.x() - a.x(), dy = b.y() - a.y();
        if (isShort(dx, dy)) {
            shortLine(pixelOf(a.x()), pixelOf(a.y()), pixelOf(b.x()), pixelOf(b.y()), colour, width);
            return;
        }
        if (clip_.isEmpty())
            return;
        setStyle(colour, width);
        longLine(a, dx, dy);
    }
    // A leg of at most one step: the pixels of its two ends (a leg of many points per pixel at
    // a small zoom). Its ends' pixels may be known already.
    static bool isShort(double dx, double dy) { return std::max(std::fabs(dx), std::fabs(dy)) <= 1.0; }
    void shortLine(int ax, int ay, int bx, int by, QRgb colour, int width)
    {
        if (clip_.isEmpty())
            return;
        setStyle(colour, width);
        plot(ax, ay);
        if (bx != ax || by != ay)
            plot(bx, by);
    }

    // A symbol whose pixels are opaque or clear, its top-left corner at (left, top).
    void put(const Sprite &sprite, int left, int top)
    {
        flush();
        for (const Sprite::Run &run : sprite.runs) {
            const int y = top + run.y;
            if (y < clip_.top() || y > clip_.bottom())
                continue;
            const int x0 = std::max(left + run.x0, clip_.left()), x1 = std::min(left + run.x1, clip_.right());
            auto *row = reinterpret_cast<QRgb *>(bits_ + qsizetype(y) * bpl_);
            for (int x = x0; x <= x1; ++x)
                row[x] = run.colour;
        }
    }

    // Writes the square still held back; before anything else draws into the image.
    void flush()
    {
        if (pendingX_ == INT_MIN)
            return;
        const int x = pendingX_;
        pendingX_ = INT_MIN;
        put(x, pendingY_, pendingColour_);
    }

private:
    void setStyle(QRgb colour, int width)
    {
        if (width != width_) {
            flush(); // in its own width
            width_ = width;
            lo_ = -(std::max(1, width) - 1) / 2;
            hi_ = lo_ + std::max(1, width) - 1;
        }
        colour_ = colour | 0xff000000u;
    }
    void longLine(QPointF a, double dx, double dy)
    {
        const double len = std::max(std::fabs(dx), std::fabs(dy));
        if (!(len < 1e7))
            return; // nothing real is that long on screen
        const int n = static_cast<int>(std::ceil(len));
        const double ix = dx / n, iy = dy / n;
        int i0 = 0, i1 = n;
        // Steps whose square can touch the clip, with one step to spare at each end.
        narrow(a.x(), ix, clip_.left() - hi_, clip_.right() - lo_ + 1.0, i0, i1);
        narrow(a.y(), iy, clip_.top() - hi_, clip_.bottom() - lo_ + 1.0, i0, i1);
        if (i0 > i1)
            return;
        flush();
        for (int i = i0; i < i1; ++i)
            put(pixelOf(a.x() + i * ix), pixelOf(a.y() + i * iy), colour_);
        plot(pixelOf(a.x() + i1 * ix), pixelOf(a.y() + i1 * iy));
    }

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
    // The square of one step. It is held back until the next square: a leg that starts where
    // the last one ended sets the same square again (in its own colour), so of the two only
    // the second is written.
    void plot(int x, int y)
    {
        if (x == pendingX_ && y == pendingY_) {
            pendingColour_ = colour_;
            return;
        }
        flush();
        pendingX_ = x, pendingY_ = y, pendingColour_ = colour_;
    }
    // The square of the current width at a pixel, at once.
    void put(int x, int y, QRgb colour)
    {
        // A square of the usual pens wholly inside the clip: no bounds to take.
        const int left = x + lo_, top = y + lo_, side = hi_ - lo_;
        if (side <= 2 && clip_.width() > side && clip_.height() > side &&
            unsigned(left - clip_.left()) <= unsigned(clip_.width() - 1 - side) &&
            unsigned(top - clip_.top()) <= unsigned(clip_.height() - 1 - side)) {
            auto *row = reinterpret_cast<QRgb *>(bits_ + qsizetype(top) * bpl_) + left;
            for (int r = 0; r <= side; ++r, row = reinterpret_cast<QRgb *>(reinterpret_cast<uchar *>(row) + bpl_)) {
                row[0] = colour;
                if (side >= 1)
                    row[1] = colour;
                if (side >= 2)
                    row[2] = colour;
            }
            return;
        }
        const int x0 = std::max(x + lo_, clip_.left()), x1 = std::min(x + hi_, clip_.right());
        const int y0 = std::max(y + lo_, clip_.top()), y1 = std::min(y + hi_, clip_.bottom());
        for (int yy = y0; yy <= y1; ++yy) {
            auto *row = reinterpret_cast<QRgb *>(bits_ + qsizetype(yy) * bpl_);
            for (int xx = x0; xx <= x1; ++xx)
                row[xx] = colour;
        }
    }

    uchar *bits_ = nullptr;
    qsizetype bpl_ = 0;
    QRect clip_;
    int width_ = 1, lo_ = 0, hi_ = 0;
    QRgb colour_ = 0;
    int pendingX_ = INT_MIN, pendingY_ = 0;
    QRgb pendingColour_ = 0;
};

// One repaint of the overlay. Work for things that cannot reach the viewport is skipped; what
// is drawn is drawn exactly as it would be without that culling.
class Overlay {
public:
    Overlay(QPainter &painter, const AppState &state, const ViewWindow &view, bool levelOfDetail, QRect part)
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
        area = part.isEmpty() ? screen : QRectF(part).intersected(screen);
    }

    void paint()
    {
        QFont font = p.font();
        font.setPixelSize(labelPixelSize(sizes.chars));
        font.setItalic(false);
        p.setFont(font);
        metrics = std::make_unique<QFontMetricsF>(font, p.device());
        labels = &labelCache(p.font());
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setBrush(Qt::NoBrush);
        useRaster = raster.begin(p);
        wayPoints();
        route();
        tracks();
        liveMarker();
        raster.flush();
    }

private:
    QPointF mapPos(const GpsPoint &pt) const { return project(pt.latitude, pt.longitude); }
    QPointF toScreen(QPointF m) const { return {(m.x() - view.scaleLeft) * sx, (m.y() - view.scaleTop) * sy}; }

    // The pen of lines and symbols. The painter gets it only when it draws with it (most
    // lines go straight into the image), so a run of points costs no painter state changes.
    void setPen(int32_t colour, int width)
    {
        if (penKnown && colour == penColour && width == penWidth)
            return;
        penKnown = true;
        penRgb = settingRgb(colour);
        penColour = colour;
        penWidth = width;
        if (painterPen == PainterPen::Lines)
            painterPen = PainterPen::Other;
    }
    QPen linePen() const
    {
        QPen pen{QColor(penRgb)};
        pen.setWidth(std::max(0, penWidth));
        pen.setCosmetic(true);
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
        return pen;
    }
    void applyPen()
    {
        if (painterPen != PainterPen::Lines)
            p.setPen(linePen());
        painterPen = PainterPen::Lines;
    }
    // Margin in screen pixels that a pen of the current width can reach beyond a shape.
    double penMargin() const { return penWidth / 2.0 + 2.0; }

    // Whether text at a map position can reach the screen, judged before the text is made.
    // The area test keeps a margin of a line's height: glyphs may reach past their box.
    bool textMayShow(QPointF at) const
    {
        const QPointF sp = toScreen(at);
        const double x = std::floor(sp.x()), y = std::floor(sp.y()), h = metrics->height();
        return !(y > screen.bottom() || y + h < 0 || x > screen.right()) &&
               !(y > area.bottom() + h || y + 2 * h < area.top() || x > area.right() + h);
    }
    // Text at a map position (its top-left corner) in the current text colour. Positions on
    // the drawing surface are whole pixels.
    void text(QPointF at, const QString &t)
    {
        if (t.isEmpty())
            return;
        if (!textMayShow(at))
            return;
        const QPointF sp = toScreen(at);
        const QPointF corner(std::floor(sp.x()), std::floor(sp.y()));
        auto it = labels->labels.find(t);
        if (it == labels->labels.end()) {
            QStaticText label(t);
            label.setTextFormat(Qt::PlainText);
            label.prepare(QTransform(), labels->font);
            it = labels->labels.insert(t, label);
        }
        const QStaticText &label = *it;
        if (corner.x() + label.size().width() < 0 ||
            corner.x() + label.size().width() + metrics->height() < area.left())
            return;
        if (painterPen != PainterPen::Text || textColour != painterTextColour) {
            p.setPen(QColor(settingRgb(textColour)));
            painterPen = PainterPen::Text;
            painterTextColour = textColour;
        }
        raster.flush();
        p.drawStaticText(corner, label);
    }

    // (the area lies within the screen: near the area is near the screen)
    bool nearScreen(QPointF sp, double reach) const
    {
        return sp.x() + reach >= area.left() && sp.y() + reach >= area.top() && sp.x() - reach <= area.right() &&
               sp.y() - reach <= area.bottom();
    }
    bool segmentNearScreen(QPointF a, QPointF b, double reach) const
    {
        return std::max(a.x(), b.x()) + reach >= area.left() && std::max(a.y(), b.y()) + reach >= area.top() &&
               std::min(a.x(), b.x()) - reach <= area.right() && std::min(a.y(), b.y()) - reach <= area.bottom();
    }

    void line(QPointF a, QPointF b)
    {
        const QPointF sa = toScreen(a), sb = toScreen(b);
        if (!segmentNearScreen(sa, sb, penMargin()))
            return;
        if (useRaster) {
            raster.line(sa, sb, penRgb, penWidth);
        } else {
            applyPen();
            raster.flush();
            p.drawLine(sa, sb);
        }
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
            applyPen();
            raster.flush();
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
            sp.setPen(linePen());
            sp.setBrush(Qt::NoBrush);
            sp.drawEllipse(QPointF(half + 0.5, half + 0.5), rx, ry);
            sp.end();
            it = circles.insert(key, Sprite(sprite));
        }
        const int half = it->image.width() / 2;
        if (it->opaque) {
            raster.put(*it, px - half, py - half);
        } else {
            raster.flush();
            p.drawImage(QPoint(px - half, py - half), it->image);
        }
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
            applyPen();
            raster.flush();
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
                const QPointF headingAt(mid.x(), mid.y() + 0.75 * fontR), lengthAt(mid.x(), mid.y() - 0.75 * fontR);
                if (s.RouteHeadings == 1 && textMayShow(headingAt)) {
                    try {
                        const double course = rhumbLineCourse(prev.latitude, prev.longitude, pt.latitude, pt.longitude);
                        text(headingAt, locale.toString(course * 180.0 / M_PI, 'f', 2) + QChar(0x00B0));
                    } catch (const GipsoError &) {
                        // no heading where the formula has none (a pole)
                    }
                }
                if (s.RouteLengths == 1 && textMayShow(lengthAt)) {
                    try {
                        const double d = rhumbLineDistance(prev.latitude, prev.longitude, pt.latitude, pt.longitude);
                        text(lengthAt, locale.toString(d * st.units.distanceFactor, 'f', 3) + QLatin1Char(' ') +
                                           st.units.distanceUnit);
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
        QPen pen = linePen();
        pen.setCapStyle(Qt::SquareCap);
        p.setPen(pen);
        painterPen = PainterPen::Other;
        raster.flush();
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
    void tracks()
    {
        const PointList &tp = st.store.trackPoints;
        if (tp.isEmpty())
            return;
        const TrackProjection &tr = trackProjection(tp, st.calibration);
        // The area drawn in map pixels, widened by what the pen can reach.
        const double reach = (sizes.line + 1) / 2.0 + 2.0;
        const double left = view.scaleLeft + (area.left() - reach) / sx, right = view.scaleLeft + (area.right() + reach) / sx;
        const double top = view.scaleTop + (area.top() - reach) / sy, bottom = view.scaleTop + (area.bottom() + reach) / sy;
        const bool byAltitude = s.AutoTrackPointColor == 1;
        minAlt = tr.lowest, maxAlt = tr.highest;
        const int32_t fixedColour = s.TrackColor;
        const auto colourOf = [&](int32_t i) { return byAltitude ? tr.colour[size_t(i)] : fixedColour; };
        const double width = screen.width(), height = screen.height();
        const double r2 = disc.r * disc.r;
        const auto insideDisc = [&](double x, double y) {
            const double dx = x - disc.cx, dy = y - disc.cy;
            return dx * dx + dy * dy <= r2;
        };
        const auto symbol = [&](int32_t i) {
            flushLegs();
            trackPointSymbol(QPointF(tr.x[size_t(i)], tr.y[size_t(i)]), tp[i], colourOf(i));
        };
        // Level of detail: a leg that stays inside one screen pixel only sets that pixel, and
        // the next leg sets it again, so of a run of such legs only the last one is drawn, when
        // the run ends. The pixels are those of drawing every leg.
        const bool merge = levelOfDetail && useRaster;
        const int legWidth = sizes.line + 1;
        // Per block, entry 0 is the point before it: screen position, whether inside the disc,
        // its screen pixel (or -1), whether it merges into the point before it.
        constexpr int kN = TrackProjection::kBlock + 1;
        double screenX[kN], screenY[kN];
        bool inside[kN], merged[kN];
        qint64 pixel[kN];
        int32_t drawn[kN];
        merged[0] = false;
        auto named = tr.named.begin(); // the next point with a description
        const int32_t n = tp.count();
        for (int32_t first = 1; first <= n; first += TrackProjection::kBlock) {
            const int32_t last = std::min(n, first + TrackProjection::kBlock - 1);
            const TrackProjection::Bounds &box = tr.blocks[size_t((first - 1) / TrackProjection::kBlock)];
            // (written so that a block whose bounds are NaN is walked)
            const bool offScreen = box.right < left || box.left > right || box.bottom < top || box.top > bottom;
            // A block wholly off the screen: its first leg comes from outside it, so it is
            // walked; its other legs and points cannot reach the screen, only its track
            // starts leave something to draw (their labels may reach in).
            const int count = (offScreen ? first : last) - first + 1;
            const double *xs = tr.x.data() + (first - 1), *ys = tr.y.data() + (first - 1);
            // First the arithmetic of every point, without branches.
            for (int k = 0; k <= count; ++k) {
                const double x = xs[k], y = ys[k];
                const double px = (x - view.scaleLeft) * sx, py = (y - view.scaleTop) * sy;
                screenX[k] = px, screenY[k] = py;
                const double dx = x - disc.cx, dy = y - disc.cy;
                inside[k] = dx * dx + dy * dy <= r2;
                const bool on = px >= 0 && py >= 0 && px < width && py < height && inside[k];
                // The pixel where truncation is the floor; off the screen nothing is converted.
                pixel[k] = on ? qint64(on ? py : 0) << 32 | quint32(on ? px : 0) : -1;
            }
            int drawnCount = 0;
            for (int k = 1; k <= count; ++k) {
                merged[k] = merge && pixel[k] >= 0 && pixel[k] == pixel[k - 1];
                drawn[drawnCount] = k;
                drawnCount += !merged[k];
            }
            // Track starts are never merged.
            bool unmerged = false;
            const auto unmerge = [&](int k) {
                if (merged[k])
                    merged[k] = false, drawn[drawnCount++] = k, unmerged = true;
            };
            if (first == 1)
                unmerge(1);
            for (auto it = named; it != tr.named.end() && *it < first + count; ++it)
                unmerge(*it - first + 1);
            if (unmerged)
                std::sort(drawn, drawn + drawnCount);
            for (int j = 0; j < drawnCount; ++j) {
                const int k = drawn[j];
                const int32_t i = first - 1 + k;
                const bool hasName = named != tr.named.end() && *named == i;
                named += hasName;
                const QPointF sPrev(screenX[k - 1], screenY[k - 1]), sm(screenX[k], screenY[k]);
                // Two pixels of the screen (a merged point is on it): drawn from the pixels known.
                const auto pixelX = [&](int at) { return int(quint32(pixel[at])); };
                const auto pixelY = [&](int at) { return int(pixel[at] >> 32); };
                if (merged[k - 1])
                    raster.shortLine(pixelX(k - 1), pixelY(k - 1), pixelX(k - 1), pixelY(k - 1),
                                     settingRgb(colourOf(i - 1)), legWidth);
                if (i == 1 || hasName) {
                    if (hasName && inside[k])
                        symbol(i);
                    continue;
                }
                const QPointF current(xs[k - 1], ys[k - 1]), m(xs[k], ys[k]);
                // Both ends on the screen (and so inside the disc): the usual leg at small zooms.
                if (useRaster && pixel[k - 1] >= 0 && pixel[k] >= 0) {
                    if (fuzzyEqual(current, m)) {
                        // no leg between equal points
                    } else if (LineRaster::isShort(sm.x() - sPrev.x(), sm.y() - sPrev.y())) {
                        raster.shortLine(pixelX(k - 1), pixelY(k - 1), pixelX(k), pixelY(k), settingRgb(colourOf(i)),
                                         legWidth);
                    } else {
                        trackLeg(sPrev, sm, colourOf(i));
                    }
                    continue;
                }
                // A leg that cannot reach the screen is skipped before any clipping: the clipped
                // leg lies within the whole one.
                if (std::max(current.x(), m.x()) >= left && std::min(current.x(), m.x()) <= right &&
                    std::max(current.y(), m.y()) >= top && std::min(current.y(), m.y()) <= bottom) {
                    // With both ends inside the disc the clip keeps the leg whole.
                    QPointF a = current, b = m;
                    if (inside[k - 1] && inside[k]) {
                        if (!fuzzyEqual(current, m))
                            trackLeg(sPrev, sm, colourOf(i));
                    } else if (clipSegment(disc, current, m, a, b)) {
                        trackLeg(toScreen(a), toScreen(b), colourOf(i));
                    }
                }
            }
            merged[0] = merged[count];
            if (offScreen && last > first) {
                for (; named != tr.named.end() && *named <= last; ++named)
                    if (insideDisc(tr.x[size_t(*named)], tr.y[size_t(*named)]))
                        symbol(*named);
                merged[0] = false; // the block's last point is off the screen
            }
        }
        if (merged[0]) {
            const QPointF sm = toScreen(QPointF(tr.x[size_t(n)], tr.y[size_t(n)]));
            trackLeg(sm, sm, colourOf(n));
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
    QRectF screen, area;
    std::unique_ptr<QFontMetricsF> metrics;
    LabelCache *labels = nullptr;
    const QLocale locale = numberLocale();
    int32_t textColour = 0;
    bool penKnown = false;
    int32_t penColour = 0;
    int penWidth = 1;
    QRgb penRgb = 0;
    // What the painter's pen is now: the line pen above, the text pen, or something else.
    enum class PainterPen { Other, Lines, Text } painterPen = PainterPen::Other;
    int32_t painterTextColour = 0;
    QHash<quint64, Sprite> circles;
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
        if (!options.area.isEmpty())
            painter.setClipRect(options.area, Qt::IntersectClip);
        Overlay overlay(painter, state, view, options.levelOfDetail, options.area);
        overlay.paint();
    }
    painter.restore();
}

OverlayInputs overlayInputs(const AppState &state)
{
    OverlayInputs in;
    in.mapMode = state.mapMode;
    in.modeBeforeCalibration = state.modeBeforeCalibration;
    in.calibration = QByteArray(reinterpret_cast<const char *>(&state.calibration), sizeof state.calibration);
    in.revisions[0] = state.store.wayPoints.revision();
    in.revisions[1] = state.store.routePoints.revision();
    in.revisions[2] = state.store.trackPoints.revision();
    const SelectionState &sel = state.selection;
    in.selected[0] = sel.selectedWayPoint, in.selected[1] = sel.selectedRoutePoint, in.selected[2] = sel.selectedTrackPoint;
    const Settings &s = state.settings;
    in.settings = {s.Language,         s.WayPointColor,    s.RouteColor,          s.TrackColor,
                   s.CharDimension,    s.LineThickness,    s.SymbolDim,           s.WayPointSymbol,
                   s.WayPointName,     s.RoutePointSymbol, s.RoutePointName,      s.RouteHeadings,
                   s.RouteLengths,     s.TrackPointSymbol, s.TrackPointName,      s.AutoTrackPointColor};
    in.distanceFactor = state.units.distanceFactor;
    in.distanceUnit = state.units.distanceUnit;
    in.markerOn = state.nmeaMarkerOn;
    in.markerLat = state.nmeaMarkerLat, in.markerLon = state.nmeaMarkerLon;
    in.zoom = state.zoomFactor;
    in.mapWidth = state.mapWidth, in.mapHeight = state.mapHeight;
    in.locale = QLocale().name();
    in.font = QFont();
    return in;
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
