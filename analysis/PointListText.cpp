#include "analysis/PointListText.h"

#include "analysis/Analysis.h"

#include "base/DateValue.h"
#include "base/Error.h"
#include "base/Messages.h"

#include <QLocale>
#include <numbers>
#include <optional>

namespace gipso {

namespace {

// Column widths of a point line: name, latitude, longitude, altitude, date, time.
constexpr int kNameWidth = 6;
constexpr int kLatitudeWidth = 13;
constexpr int kLongitudeWidth = 14;
constexpr int kAltitudeWidth = 9;
constexpr int kDateWidth = 11;
constexpr int kTimeWidth = 9;
constexpr int kPointColumns = kNameWidth + kLatitudeWidth + kLongitudeWidth + kAltitudeWidth + kDateWidth + kTimeWidth;
// Leg lines: heading and distance.
constexpr int kHeadingWidth = 7;
constexpr int kDistanceWidth = 10;
constexpr int32_t kFirstPointLine = 4;

// The rhumb line of a leg; nothing where the formulae have no value (a latitude of -90, or one
// beyond 90 read from a file), so that one bad point blanks its legs instead of the list.
std::optional<double> legCourse(const GpsPoint &a, const GpsPoint &b)
{
    try {
        return rhumbLineCourse(a.latitude, a.longitude, b.latitude, b.longitude);
    } catch (const GipsoError &) {
        return std::nullopt;
    }
}

std::optional<double> legDistance(const GpsPoint &a, const GpsPoint &b)
{
    try {
        return rhumbLineDistance(a.latitude, a.longitude, b.latitude, b.longitude);
    } catch (const GipsoError &) {
        return std::nullopt;
    }
}

int titleId(PointKind kind)
{
    return kind == PointKind::Way     ? msg::ListWayPointsHeading
           : kind == PointKind::Route ? msg::ListRoutePointsHeading
                                      : msg::ListTrackPointsHeading;
}
int headerId(PointKind kind)
{
    return kind == PointKind::Way     ? msg::ListWayPointsColumns
           : kind == PointKind::Route ? msg::ListRoutePointsColumns
                                      : msg::ListTrackPointsColumns;
}
int countId(PointKind kind)
{
    return kind == PointKind::Way     ? msg::ListWayPointsCount
           : kind == PointKind::Route ? msg::ListRoutePointsCount
                                      : msg::ListTrackPointsCount;
}

} // namespace

ListSeparators regionalSeparators()
{
    const QLocale locale;
    ListSeparators s;
    s.decimalPoint = locale.decimalPoint();
    s.date = dateSeparator(locale);
    s.time = timeSeparator(locale);
    return s;
}

int32_t pointAtLine(PointKind kind, int32_t count, int32_t line)
{
    if (line < kFirstPointLine)
        return 0;
    if (kind == PointKind::Route) {
        if (line % 2 != 0 || line / 2 - 1 > count)
            return 0;
        return line / 2 - 1;
    }
    return line - 3 <= count ? line - 3 : 0;
}

int32_t lineOfPoint(PointKind kind, int32_t index) { return kind == PointKind::Route ? 2 * (index + 1) : index + 3; }

PointListText::PointListText(const PointList &points, PointKind kind, const UnitSettings &units, ListSeparators separators)
    : points_(points), kind_(kind), units_(units), separators_(std::move(separators)), count_(points.count())
{
    title_ = messageText(titleId(kind));
    header_ = messageText(headerId(kind));
    lineCount_ = kFirstPointLine + (count_ == 0 ? 0 : kind == PointKind::Route ? lineOfPoint(kind, count_) - 3 : count_);
    countLabel_ = formatMessage(messageText(countId(kind)), {count_});

    // One pass: the lengths, and the widest name and description for the width of the view.
    double length = 0.0;
    qsizetype name = 0, description = 0;
    for (int32_t i = 1; i <= count_; ++i) {
        const GpsPoint &p = points_[i];
        name = std::max(name, p.name.size());
        description = std::max(description, p.description.size());
        if (i == 1 || kind == PointKind::Way || (kind == PointKind::Track && trackStarts(points_, i)))
            continue;
        if (const auto d = legDistance(points_[i - 1], p))
            length += *d * units_.distanceFactor;
    }
    if (kind == PointKind::Track)
        name = QString::number(count_).size();
    widest_ = int32_t(std::max({title_.size(), header_.size(),
                                kPointColumns + std::max<qsizetype>(0, name - kNameWidth) + 1 + description}));
    if (kind == PointKind::Route && count_ >= 2)
        widest_ = std::max(widest_, int32_t(legLine(2).size()));

    if (kind == PointKind::Way)
        return;
    std::optional<double> orthodrome = 0.0;
    if (count_ >= 2) {
        try {
            const GpsPoint &a = points_[1], &b = points_[count_];
            orthodrome = greatCircleDistance(a.latitude, a.longitude, b.latitude, b.longitude) * units_.distanceFactor;
        } catch (const GipsoError &) {
            orthodrome.reset();
        }
    }
    auto label = [this](int id, const std::optional<double> &value) {
        return messageText(id) + QLatin1Char(' ') + (value ? fixed(*value, 3) : QString()) + QLatin1Char(' ') +
               units_.distanceUnit;
    };
    lengthLabel_ = label(kind == PointKind::Route ? msg::ListRouteLength : msg::ListTrackLength, length);
    orthodromeLabel_ = label(kind == PointKind::Route ? msg::ListRouteOrthodrome : msg::ListTrackOrthodrome, orthodrome);
}

QString PointListText::fixed(double value, int decimals) const
{
    QString s = QString::number(value, 'f', decimals);
    if (separators_.decimalPoint != QLatin1String("."))
        s.replace(QLatin1Char('.'), separators_.decimalPoint);
    return s;
}

QString PointListText::line(int32_t i) const
{
    switch (i) {
    case 0:
        return title_;
    case 2:
        return header_;
    case 1:
    case 3:
        return {};
    }
    if (i < kFirstPointLine || i >= lineCount_)
        return {};
    if (const int32_t index = pointAtLine(i))
        return pointLine(index);
    return legLine(i / 2); // an odd line of the route: the leg to the next point
}

QString PointListText::pointLine(int32_t index) const
{
    if (index > points_.count())
        return {};
    const GpsPoint &p = points_[index];
    QString date = formatDateValue(p.date), time = formatTimeValue(p.time);
    if (separators_.date != QLatin1String("/"))
        date.replace(QLatin1Char('/'), separators_.date);
    if (separators_.time != QLatin1String(":"))
        time.replace(QLatin1Char(':'), separators_.time);
    const QString name = kind_ == PointKind::Track ? QString::number(index) : p.name;
    return name.leftJustified(kNameWidth) + fixed(p.latitude, 8).rightJustified(kLatitudeWidth) +
           fixed(p.longitude, 8).rightJustified(kLongitudeWidth) +
           fixed(double(p.altitude) * units_.altitudeFactor, 1).rightJustified(kAltitudeWidth) +
           date.rightJustified(kDateWidth) + time.rightJustified(kTimeWidth) + QLatin1Char(' ') + p.description.trimmed();
}

QString PointListText::legLine(int32_t to) const
{
    if (to < 2 || to > points_.count())
        return {};
    const GpsPoint &a = points_[to - 1], &b = points_[to];
    const std::optional<double> course = legCourse(a, b), distance = legDistance(a, b);
    const QString heading = course ? fixed(*course * 180.0 / std::numbers::pi, 2) : QString();
    const QString length = distance ? fixed(*distance * units_.distanceFactor, 3) : QString();
    return QStringLiteral(" -> ") + messageText(msg::ListHeading) + heading.rightJustified(kHeadingWidth) +
           QChar(0x00B0) + QStringLiteral("    ") + messageText(msg::ListDistance) +
           length.rightJustified(kDistanceWidth) + QLatin1Char(' ') + units_.distanceUnit;
}

QString PointListText::text(int32_t first, int32_t last, const QString &lineEnd) const
{
    QString out;
    first = std::max(first, 0);
    last = std::min(last, lineCount_ - 1);
    if (first > last)
        return out;
    out.reserve(qsizetype(last - first + 1) * (widest_ / 2 + 40));
    for (int32_t i = first; i <= last; ++i) {
        out += line(i);
        out += lineEnd;
    }
    return out;
}

} // namespace gipso
