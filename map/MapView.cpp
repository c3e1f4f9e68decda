#include "map/MapView.h"

#include <QStringList>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

namespace gipso {

namespace {
double zoomStepIn(double zoom)
{
    if (zoom < 0.25)
        return zoom + 0.05;
    if (zoom < 4.0)
        return zoom + 0.25;
    return zoom + 1.0;
}

double zoomStepOut(double zoom)
{
    if (zoom <= 0.25)
        return zoom - 0.05;
    if (zoom <= 4.0)
        return zoom - 0.25;
    return zoom - 1.0;
}

struct Preset {
    const char *name;
    double zoom;
};
constexpr Preset kPresets[] = {{"mnuX400", 4.0}, {"mnuX200", 2.0}, {"mnuXNorm", 1.0}, {"mnuX50", 0.5}, {"mnuX25", 0.25}};
} // namespace

std::optional<double> zoomAfterCommand(const QString &actionName, double zoom)
{
    if (actionName == QLatin1String("mnuXpiu"))
        return zoomStepIn(zoom);
    if (actionName == QLatin1String("mnuXmeno"))
        return zoomStepOut(zoom);
    for (const Preset &p : kPresets)
        if (actionName == QLatin1String(p.name))
            return p.zoom;
    return std::nullopt;
}

bool zoomEntryEnabled(const QString &actionName, double zoom)
{
    if (actionName == QLatin1String("mnuXpiu"))
        return zoom <= 9.0;
    if (actionName == QLatin1String("mnuXmeno"))
        return zoom >= 0.15;
    for (const Preset &p : kPresets)
        if (actionName == QLatin1String(p.name))
            return zoom != p.zoom;
    return true;
}

const QStringList &zoomEntryNames()
{
    static const QStringList names = {QStringLiteral("mnuXpiu"), QStringLiteral("mnuXmeno"), QStringLiteral("mnuX400"),
                                      QStringLiteral("mnuX200"), QStringLiteral("mnuXNorm"), QStringLiteral("mnuX50"),
                                      QStringLiteral("mnuX25")};
    return names;
}

QString zoomPanelText(double zoom)
{
    return QString::number(static_cast<long long>(std::floor(zoom * 100.0))) + QLatin1Char('%');
}

QTransform ViewWindow::mapToScreen() const
{
    const double sx = view.width() / scaleWidth;
    const double sy = view.height() / scaleHeight;
    return QTransform(sx, 0, 0, sy, -scaleLeft * sx, -scaleTop * sy);
}

QPointF ViewWindow::screenToMap(QPointF screen) const
{
    return {scaleLeft + screen.x() * scaleWidth / view.width(), scaleTop + screen.y() * scaleHeight / view.height()};
}

namespace {
// One axis of the window: source start and extent, destination extent, scale origin and span.
struct Axis {
    int srcStart = 0, srcExtent = 0, destExtent = 0;
    bool enabled = false;
    double scaleStart = 0, scaleSpan = 1;
};

Axis axisWindow(int mapExtent, double zoom, int viewExtent, int scrollValue)
{
    Axis a;
    // The fit test is made in single precision, as the frame sizing always was.
    if (static_cast<float>(mapExtent * zoom) <= static_cast<float>(viewExtent)) {
        a.srcStart = 0;
        a.srcExtent = mapExtent;
        a.destExtent = static_cast<int>(roundHalfEven(mapExtent * zoom));
        a.enabled = false;
        a.scaleStart = 0;
        a.scaleSpan = viewExtent / zoom;
    } else {
        a.srcExtent = static_cast<int>(roundHalfEven(viewExtent / zoom));
        a.srcExtent = std::clamp(a.srcExtent, 1, mapExtent);
        a.srcStart = static_cast<int>(roundHalfEven(double(mapExtent - a.srcExtent) * scrollValue / kScrollMax));
        a.srcStart = std::clamp(a.srcStart, 0, mapExtent - a.srcExtent);
        a.destExtent = viewExtent;
        a.enabled = true;
        a.scaleStart = a.srcStart;
        a.scaleSpan = a.srcExtent;
    }
    return a;
}
} // namespace

ViewWindow visibleWindow(int mapWidth, int mapHeight, double zoom, QSize view, int hValue, int vValue)
{
    ViewWindow w;
    w.view = QSize(std::max(1, view.width()), std::max(1, view.height()));
    if (mapWidth <= 0 || mapHeight <= 0 || !(zoom > 0)) {
        w.scaleWidth = w.view.width();
        w.scaleHeight = w.view.height();
        return w;
    }
    const Axis h = axisWindow(mapWidth, zoom, w.view.width(), hValue);
    const Axis v = axisWindow(mapHeight, zoom, w.view.height(), vValue);
    w.source = QRect(h.srcStart, v.srcStart, h.srcExtent, v.srcExtent);
    w.dest = QSize(h.destExtent, v.destExtent);
    w.hScrollEnabled = h.enabled;
    w.vScrollEnabled = v.enabled;
    w.scaleLeft = h.scaleStart;
    w.scaleWidth = h.scaleSpan;
    w.scaleTop = v.scaleStart;
    w.scaleHeight = v.scaleSpan;
    return w;
}

namespace {
// Source column of every destination column (nearest neighbour: the pixel under each centre).
std::vector<int> sampleIndices(int srcStart, int srcExtent, int destExtent)
{
    std::vector<int> idx(static_cast<size_t>(destExtent));
    const double step = double(srcExtent) / destExtent;
    for (int i = 0; i < destExtent; ++i) {
        int s = static_cast<int>(std::floor((i + 0.5) * step));
        idx[static_cast<size_t>(i)] = srcStart + std::clamp(s, 0, srcExtent - 1);
    }
    return idx;
}

// A reduced picture holds map pixel (x, y) at (x / reduction, y / reduction).
void reduceIndices(std::vector<int> &idx, int reduction, int extent)
{
    if (reduction > 1)
        for (int &i : idx)
            i = std::min(i / reduction, extent - 1);
}

void nearestSampleInto(QImage &out, const QImage &map, int reduction, const QRect &src, const QRect &area)
{
    const QSize dest = out.size();
    std::vector<int> xs = sampleIndices(src.x(), src.width(), dest.width());
    std::vector<int> ys = sampleIndices(src.y(), src.height(), dest.height());
    reduceIndices(xs, reduction, map.width());
    reduceIndices(ys, reduction, map.height());
    const int depth = map.depth();
    const QImage::Format fmt = map.format();
    const bool rgb32 = depth == 32 && (fmt == QImage::Format_RGB32 || fmt == QImage::Format_ARGB32 ||
                                       fmt == QImage::Format_ARGB32_Premultiplied);
    const bool rgb888 = fmt == QImage::Format_RGB888;
    const bool indexed = fmt == QImage::Format_Indexed8;
    QVector<QRgb> table;
    if (indexed) {
        table = map.colorTable();
        table.resize(256, qRgb(0, 0, 0));
    }
    const int x0 = area.left(), x1 = area.right() + 1;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(out.scanLine(y));
        const int sy = ys[static_cast<size_t>(y)];
        const uchar *srcLine = map.constScanLine(sy);
        if (rgb32) {
            const auto *s = reinterpret_cast<const QRgb *>(srcLine);
            for (int x = x0; x < x1; ++x)
                line[x] = s[xs[static_cast<size_t>(x)]] | 0xff000000u;
        } else if (rgb888) {
            for (int x = x0; x < x1; ++x) {
                const uchar *p = srcLine + 3 * xs[static_cast<size_t>(x)];
                line[x] = qRgb(p[0], p[1], p[2]);
            }
        } else if (indexed) {
            for (int x = x0; x < x1; ++x)
                line[x] = table[srcLine[xs[static_cast<size_t>(x)]]] | 0xff000000u;
        } else {
            for (int x = x0; x < x1; ++x)
                line[x] = map.pixel(xs[static_cast<size_t>(x)], sy) | 0xff000000u;
        }
    }
}

QImage nearestSample(const QImage &map, int reduction, const QRect &src, QSize dest)
{
    QImage out(dest, QImage::Format_RGB32);
    nearestSampleInto(out, map, reduction, src, out.rect());
    return out;
}

// One axis of screenShift: the shift, when every column of the overlap is the old one moved.
// The move in screen pixels is the move in map pixels times view / span, taken only where that
// is a whole number (integers, so no scale's rounding decides it).
std::optional<int> axisShift(double fromStart, double toStart, int viewExtent, double span, int srcFrom, int srcTo,
                             int srcExtent, int destExtent)
{
    if (fromStart == toStart && srcFrom == srcTo)
        return 0; // the same positions, computed alike
    const double moved = fromStart - toStart;
    if (!(span >= 1) || span != std::floor(span) || moved != std::floor(moved) || !(std::fabs(moved) < span))
        return std::nullopt;
    const auto num = static_cast<long long>(moved) * viewExtent;
    const auto den = static_cast<long long>(span);
    if (num % den != 0)
        return std::nullopt;
    const int s = static_cast<int>(num / den);
    if (!(std::abs(s) < destExtent))
        return std::nullopt;
    const std::vector<int> from = sampleIndices(srcFrom, srcExtent, destExtent);
    const std::vector<int> to = sampleIndices(srcTo, srcExtent, destExtent);
    for (int i = std::max(0, s); i < destExtent + std::min(0, s); ++i)
        if (to[static_cast<size_t>(i)] != from[static_cast<size_t>(i - s)])
            return std::nullopt;
    return s;
}

// Area averaging of the source rectangle only: a view onto the map's own pixels, no copy.
QImage averageSample(const QImage &map, const QRect &src, QSize dest)
{
    QImage part;
    if (map.depth() >= 8) {
        const uchar *origin = map.constBits() + qsizetype(src.y()) * map.bytesPerLine() + qsizetype(src.x()) * (map.depth() / 8);
        part = QImage(origin, src.width(), src.height(), map.bytesPerLine(), map.format());
        if (map.format() == QImage::Format_Indexed8)
            part.setColorTable(map.colorTable());
    } else {
        part = map.copy(src);
    }
    if (part.format() != QImage::Format_RGB32 && part.format() != QImage::Format_ARGB32_Premultiplied)
        part = part.convertToFormat(QImage::Format_RGB32);
    QImage out = part.scaled(dest, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return out.convertToFormat(QImage::Format_RGB32);
}
} // namespace

QImage renderVisible(const QImage &map, const ViewWindow &window, double zoom, bool halftone)
{
    return renderVisible(map, 1, window, zoom, halftone);
}

QImage renderVisible(const QImage &map, int reduction, const ViewWindow &window, double zoom, bool halftone)
{
    if (map.isNull() || window.dest.isEmpty() || window.source.isEmpty() || reduction < 1)
        return {};
    const QRect full(0, 0, map.width() * reduction, map.height() * reduction);
    const QRect src = window.source.intersected(full);
    if (src.isEmpty())
        return {};
    if (halftone && zoom * reduction < 1.0) {
        // The source rectangle on the reduced picture, widened to whole pixels.
        const int left = src.x() / reduction, top = src.y() / reduction;
        const int right = std::min((src.x() + src.width() + reduction - 1) / reduction, map.width());
        const int bottom = std::min((src.y() + src.height() + reduction - 1) / reduction, map.height());
        return averageSample(map, QRect(left, top, right - left, bottom - top), window.dest);
    }
    return nearestSample(map, reduction, src, window.dest);
}

void renderVisibleArea(QImage &out, const QImage &map, int reduction, const ViewWindow &window, QRect area)
{
    area = area.intersected(out.rect());
    if (map.isNull() || reduction < 1 || out.size() != window.dest || area.isEmpty() ||
        out.format() != QImage::Format_RGB32)
        return;
    const QRect src = window.source.intersected(QRect(0, 0, map.width() * reduction, map.height() * reduction));
    if (!src.isEmpty())
        nearestSampleInto(out, map, reduction, src, area);
}

namespace {
// The source range whose averaging gives screen pixels [first, first + count) of an axis
// exactly: the whole axis, or whole blocks when a screen pixel is a whole number of map pixels
// (the smooth scaling then weighs each block alike wherever it starts).
std::optional<std::pair<int, int>> averagedRange(int srcStart, int srcExtent, int destExtent, int first, int count)
{
    if (first == 0 && count == destExtent)
        return std::pair(srcStart, srcExtent);
    if (destExtent <= 0 || srcExtent % destExtent != 0)
        return std::nullopt;
    const int block = srcExtent / destExtent;
    return std::pair(srcStart + first * block, count * block);
}
} // namespace

void renderVisibleArea(QImage &out, const QImage &map, int reduction, const ViewWindow &window, double zoom,
                       bool halftone, QRect area)
{
    if (!(halftone && zoom * reduction < 1.0)) {
        renderVisibleArea(out, map, reduction, window, area);
        return;
    }
    area = area.intersected(out.rect());
    if (map.isNull() || reduction < 1 || out.size() != window.dest || area.isEmpty() ||
        out.format() != QImage::Format_RGB32)
        return;
    const QRect src = window.source.intersected(QRect(0, 0, map.width() * reduction, map.height() * reduction));
    if (src.isEmpty())
        return;
    // A reduced picture is averaged from a widened source: only the whole is alike.
    const auto h = reduction == 1 ? averagedRange(src.x(), src.width(), out.width(), area.x(), area.width()) : std::nullopt;
    const auto v = reduction == 1 ? averagedRange(src.y(), src.height(), out.height(), area.y(), area.height()) : std::nullopt;
    const QImage part = h && v ? averageSample(map, QRect(h->first, v->first, h->second, v->second), area.size())
                               : renderVisible(map, reduction, window, zoom, halftone).copy(area);
    if (part.size() != area.size() || part.format() != QImage::Format_RGB32)
        return;
    const size_t bytes = size_t(area.width()) * 4;
    for (int y = 0; y < area.height(); ++y)
        std::memcpy(out.scanLine(area.y() + y) + qsizetype(area.x()) * 4, part.constScanLine(y), bytes);
}

std::optional<QPoint> averagedShift(const ViewWindow &from, const ViewWindow &to)
{
    const std::optional<QPoint> shift = screenShift(from, to);
    if (!shift)
        return std::nullopt;
    // screenShift moved a scrolled axis by a whole number of screen pixels, so by whole blocks
    // where the span is a multiple of the destination; an axis not moved must be the same one.
    const auto alike = [](int s, int fromStart, int toStart, int srcExtent, int destExtent) {
        return s == 0 ? fromStart == toStart : destExtent > 0 && srcExtent % destExtent == 0;
    };
    if (!alike(shift->x(), from.source.x(), to.source.x(), to.source.width(), to.dest.width()) ||
        !alike(shift->y(), from.source.y(), to.source.y(), to.source.height(), to.dest.height()))
        return std::nullopt;
    return shift;
}

std::optional<QPoint> screenShift(const ViewWindow &from, const ViewWindow &to)
{
    if (from.view != to.view || from.dest != to.dest || from.source.size() != to.source.size() || to.dest.isEmpty() ||
        to.source.isEmpty() || from.scaleWidth != to.scaleWidth || from.scaleHeight != to.scaleHeight)
        return std::nullopt;
    const auto h = axisShift(from.scaleLeft, to.scaleLeft, to.view.width(), to.scaleWidth, from.source.x(),
                             to.source.x(), to.source.width(), to.dest.width());
    const auto v = axisShift(from.scaleTop, to.scaleTop, to.view.height(), to.scaleHeight, from.source.y(),
                             to.source.y(), to.source.height(), to.dest.height());
    if (!h || !v)
        return std::nullopt;
    return QPoint(*h, *v);
}

ScrollValues panScroll(ScrollValues current, bool hEnabled, bool vEnabled, double pressX, double pressY, double x,
                       double y, int mapWidth, int mapHeight)
{
    auto clampValue = [](double v) {
        if (v < 0)
            return 0;
        if (v > kScrollMax)
            return kScrollMax;
        return static_cast<int>(roundHalfEven(v));
    };
    ScrollValues out = current;
    if (hEnabled && mapWidth > 0)
        out.h = clampValue(current.h + (pressX - x) / mapWidth * kScrollMax);
    if (vEnabled && mapHeight > 0)
        out.v = clampValue(current.v + (pressY - y) / mapHeight * kScrollMax);
    return out;
}

} // namespace gipso
