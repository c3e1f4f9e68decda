#include "analysis/AltitudeProfile.h"

#include "analysis/Analysis.h"
#include "base/Messages.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace gipso {

std::optional<ProfileKind> profileKindOfMode(const QString &mode)
{
    if (mode == QLatin1String("2"))
        return ProfileKind::Route;
    if (mode == QLatin1String("3"))
        return ProfileKind::Track;
    return std::nullopt;
}

AltitudeProfile::AltitudeProfile(const PointList &points, ProfileKind kind, const UnitSettings &units,
                                 const Settings &settings, const QLocale &locale)
    : points_(points), kind_(kind), units_(units), settings_(settings), sizes_(drawingSizes(settings)), locale_(locale)
{
    const int32_t n = points.count();
    distance_.assign(static_cast<size_t>(n) + 1, 0.0);
    if (n >= 1)
        minAltitude_ = maxAltitude_ = double(points[1].altitude) * units.altitudeFactor;
    double d = 0;
    RhumbLineWalk walk;
    for (int32_t i = 2; i <= n; ++i) {
        const GpsPoint &a = points[i - 1], &b = points[i];
        const double alt = double(b.altitude) * units.altitudeFactor;
        minAltitude_ = std::min(minAltitude_, alt);
        maxAltitude_ = std::max(maxAltitude_, alt);
        if (kind == ProfileKind::Route || b.description.isEmpty())
            d += walk.distance(a.latitude, a.longitude, b.latitude, b.longitude) * units.distanceFactor;
        distance_[static_cast<size_t>(i)] = d;
    }
    total_ = d;

    const QString alt = QLatin1Char(' ') + units.altitudeUnit;
    label1_ = QStringLiteral("H min: ") + fixedNumber(minAltitude_, 1, locale) + alt + QStringLiteral("   H max: ") +
              fixedNumber(maxAltitude_, 1, locale) + alt + QStringLiteral("   ") +
              formatMessage(messageText(msg::ProfileAltitudeRange), {fixedNumber(maxAltitude_ - minAltitude_, 1, locale) + alt});
    label2_ = formatMessage(messageText(kind == ProfileKind::Route ? msg::ProfileRouteLength : msg::ProfileTrackLength),
                            {fixedNumber(total_, 3, locale)}) +
              QLatin1Char(' ') + units.distanceUnit;
}

QString AltitudeProfile::flatMessage() const
{
    return formatMessage(messageText(msg::ProfileAllAltitudes),
                         {fixedNumber(minAltitude_, 1, locale_) + QLatin1Char(' ') + units_.altitudeUnit});
}

QString AltitudeProfile::altitudeLabel(int k) const
{
    // Whole units, rounded down; "+ 0.0" keeps a negative zero from showing as "-0".
    const double v = std::floor(minAltitude_ + (maxAltitude_ - minAltitude_) * k / 4) + 0.0;
    return QString::number(v, 'f', 0);
}

QString AltitudeProfile::lengthLabel(int k) const { return fixedNumber(total_ * k / 4, 3, locale_); }

int AltitudeProfile::altitudeLineY(int k, QSize s)
{
    return s.height() - kMargin - static_cast<int>(roundHalfEven((s.height() - 2.0 * kMargin) * k / 4));
}

int AltitudeProfile::lengthLineX(int k, QSize s)
{
    return kMargin + static_cast<int>(roundHalfEven((s.width() - 2.0 * kMargin) * k / 4));
}

QPoint AltitudeProfile::position(int32_t i, QSize s) const
{
    const double w = s.width() - 2.0 * kMargin, h = s.height() - 2.0 * kMargin;
    // A profile without length (every TrackPoint starts a track, or all lie at one place)
    // stands on the left margin line.
    const double x = total_ > 0 ? roundHalfEven(w * distance_[static_cast<size_t>(i)] / total_ + kMargin) : kMargin;
    const double a = double(points_[i].altitude) * units_.altitudeFactor;
    const double y = flat() ? s.height() - kMargin
                            : -roundHalfEven(h * (a - minAltitude_) / (maxAltitude_ - minAltitude_) - s.height() + kMargin);
    return {static_cast<int>(x), static_cast<int>(y)};
}

namespace {

QPen linePen(int32_t colour, int width)
{
    QPen pen{QColor(settingRgb(colour))};
    pen.setWidth(width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

// The legs of a profile, in order. Distance never decreases along a profile, so a log of many
// points draws most of its legs straight up or down within one pixel column: those are gathered
// per colour into one span of the column, drawn when the column is left. The pixels are those
// of the legs themselves, at a fraction of the cost; where legs of different colours overlap
// in a column, the colour used last is on top.
class LegPainter {
public:
    LegPainter(QPainter &painter, int width) : p_(painter), width_(width) {}
    ~LegPainter() { flush(); }

    void leg(QPoint a, QPoint b, int32_t colour)
    {
        if (a.x() != b.x()) {
            flush();
            use(colour);
            p_.drawLine(a, b);
            return;
        }
        if (a.x() != column_)
            flush();
        column_ = a.x();
        const int lo = std::min(a.y(), b.y()), hi = std::max(a.y(), b.y());
        // The span of the latest colour is drawn last, as its leg would be.
        auto it = std::find_if(spans_.rbegin(), spans_.rend(), [colour](const Span &s) { return s.colour == colour; });
        if (it == spans_.rend()) {
            spans_.push_back({colour, lo, hi});
            return;
        }
        it->extend(lo, hi);
        std::rotate(it.base() - 1, it.base(), spans_.end());
    }
    // Something else is drawn next with a pen of its own: the legs so far go first.
    void interrupt()
    {
        flush();
        colour_ = -1;
    }

private:
    void flush()
    {
        // A vertical line of the pen's width, its ends rounded by as much.
        const int w = std::max(1, width_), half = w / 2;
        for (const Span &s : spans_)
            p_.fillRect(column_ - half, s.lo - half, w, s.hi - s.lo + w, QColor(settingRgb(s.colour)));
        spans_.clear();
    }
    struct Span {
        int32_t colour;
        int lo, hi;
        void extend(int l, int h) { lo = std::min(lo, l), hi = std::max(hi, h); }
    };
    void use(int32_t colour)
    {
        if (colour == colour_)
            return;
        colour_ = colour;
        p_.setPen(linePen(colour, width_));
    }

    QPainter &p_;
    int width_;
    int32_t colour_ = -1;
    int column_ = 0;
    std::vector<Span> spans_; // of the current column, the latest colour last
};

} // namespace

void AltitudeProfile::writeName(QPainter &painter, QPoint topLeft, const QString &text, QSize surface) const
{
    if (text.isEmpty())
        return;
    // Moved inside the surface where it would be cut off: the name of the highest point would
    // lose its top, and one near the right margin its end.
    const QFontMetrics fm(painter.font(), painter.device());
    const int x = std::max(0, std::min(topLeft.x(), surface.width() - fm.horizontalAdvance(text)));
    const int y = std::max(0, std::min(topLeft.y(), surface.height() - fm.height()));
    painter.drawText(QPoint(x, y + fm.ascent()), text);
}

void AltitudeProfile::paintRoute(QPainter &p, QSize size) const
{
    const int s = sizes_.symbol;
    p.setPen(linePen(settings_.RouteColor, sizes_.line));
    QPoint previous;
    for (int32_t i = 1; i <= points_.count(); ++i) {
        const QPoint at = position(i, size);
        if (i > 1)
            p.drawLine(previous, at);
        p.drawLine(at.x() - s, at.y() - s, at.x() + s, at.y() + s);
        p.drawLine(at.x() - s, at.y() + s, at.x() + s, at.y() - s);
        writeName(p, QPoint(at.x() + s - 5, at.y() - 2 * sizes_.chars), points_[i].name, size);
        previous = at;
    }
}

void AltitudeProfile::paintTrack(QPainter &p, QSize size) const
{
    const int s = sizes_.symbol;
    const bool autoColour = settings_.AutoTrackPointColor == 1;
    LegPainter legs(p, sizes_.line);
    QPoint previous;
    for (int32_t i = 1; i <= points_.count(); ++i) {
        const GpsPoint &pt = points_[i];
        const QPoint at = position(i, size);
        const int32_t colour = autoColour
                                   ? altitudeColour(double(pt.altitude) * units_.altitudeFactor, minAltitude_, maxAltitude_)
                                   : settings_.TrackColor;
        if (pt.description.isEmpty()) {
            if (i > 1)
                legs.leg(previous, at, colour);
        } else {
            // The first point of a track: its square and its description, no line to it.
            legs.interrupt();
            p.setPen(linePen(colour, sizes_.line));
            p.drawRect(at.x() - s, at.y() - s, 2 * s, 2 * s);
            writeName(p, QPoint(at.x() + s + 5, at.y() - static_cast<int>(std::floor(0.375 * sizes_.chars))), pt.description, size);
        }
        previous = at;
    }
}

void AltitudeProfile::paintSurface(QPainter &p, QSize size) const
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBrush(Qt::NoBrush);
    p.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    p.setPen(QPen(Qt::black, 1));
    for (int k = 0; k <= 4; ++k) {
        const int y = altitudeLineY(k, size), x = lengthLineX(k, size);
        p.drawLine(0, y, size.width() - 1, y);
        p.drawLine(x, 0, x, size.height() - 1);
    }
    if (!flat()) {
        QFont font = p.font();
        font.setPixelSize(labelPixelSize(sizes_.chars));
        p.setFont(font);
        if (kind_ == ProfileKind::Route)
            paintRoute(p, size);
        else
            paintTrack(p, size);
    }
    p.restore();
}

QRect AltitudeProfile::surfaceRect(const QPainter &painter, const QRect &area) const
{
    const QFontMetrics fm(painter.font(), painter.device());
    int left = 0;
    for (int k = 0; k <= 4; ++k)
        left = std::max(left, fm.horizontalAdvance(altitudeLabel(k)));
    // The last length label is centred on the right margin line and may reach past the surface.
    const int right = std::max(0, fm.horizontalAdvance(lengthLabel(4)) / 2 - kMargin);
    return area.adjusted(left + 6, 0, -(right + 4), -(fm.height() + 4));
}

void AltitudeProfile::paintChart(QPainter &p, const QRect &area) const
{
    const QRect surface = surfaceRect(p, area);
    if (surface.width() <= 0 || surface.height() <= 0)
        return;
    p.save();
    p.setPen(Qt::black);
    const QFontMetrics fm(p.font(), p.device());
    for (int k = 0; k <= 4; ++k) {
        const QString y = altitudeLabel(k), x = lengthLabel(k);
        const int row = surface.top() + altitudeLineY(k, surface.size());
        p.drawText(QPoint(surface.left() - 4 - fm.horizontalAdvance(y), row - fm.height() / 2 + fm.ascent()), y);
        const int column = surface.left() + lengthLineX(k, surface.size());
        p.drawText(QPoint(column - fm.horizontalAdvance(x) / 2, surface.bottom() + 3 + fm.ascent()), x);
    }
    p.translate(surface.topLeft());
    p.setClipRect(QRect(QPoint(0, 0), surface.size()));
    paintSurface(p, surface.size());
    p.restore();
}

void AltitudeProfile::paint(QPainter &p, QSize size) const
{
    p.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    const QFontMetrics fm(p.font(), p.device());
    const int line = fm.lineSpacing(), pad = 8;
    p.save();
    p.setPen(Qt::black);
    p.drawText(QPoint(pad, pad + fm.ascent()), label1_);
    p.drawText(QPoint(pad, pad + line + fm.ascent()), label2_);
    p.restore();
    paintChart(p, QRect(pad, 2 * pad + 2 * line, size.width() - 2 * pad, size.height() - 3 * pad - 2 * line));
}

} // namespace gipso
