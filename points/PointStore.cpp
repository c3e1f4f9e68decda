#include "points/PointStore.h"

#include "base/Clock.h"
#include "base/DateValue.h"

#include <algorithm>
#include <atomic>

namespace gipso {

PointList &PointStore::list(PointKind kind)
{
    return kind == PointKind::Way ? wayPoints : kind == PointKind::Route ? routePoints : trackPoints;
}

const PointList &PointStore::list(PointKind kind) const
{
    return kind == PointKind::Way ? wayPoints : kind == PointKind::Route ? routePoints : trackPoints;
}

uint64_t PointList::revision() const
{
    static std::atomic<uint64_t> last{0};
    if (mark_.changed) {
        mark_.value = ++last;
        mark_.changed = false;
    }
    return mark_.value;
}

void stampNow(GpsPoint &point)
{
    const QDateTime now = currentDateTime();
    const QTime t = now.time();
    point.date = toDateValue(now.date());
    point.time = toDateValue(now.date(), QTime(t.hour(), t.minute(), t.second()));
}

void reverseList(PointList &list)
{
    const int32_t n = list.count();
    for (int32_t i = 1; i <= n; ++i) {
        double now = toDateValue(currentDateTime());
        list[i].date = now;
        list[i].time = now;
    }
    std::reverse(list.begin(), list.end());
}

bool trackStarts(const PointList &trackPoints, int32_t i)
{
    return i == 1 || !trackPoints[i].description.isEmpty();
}

int32_t trackCount(const PointList &trackPoints)
{
    int32_t n = 0;
    for (int32_t i = 1; i <= trackPoints.count(); ++i)
        if (trackStarts(trackPoints, i))
            ++n;
    return n;
}

} // namespace gipso
