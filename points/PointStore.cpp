#include "points/PointStore.h"

#include "base/Clock.h"
#include "base/DateValue.h"

#include <algorithm>

namespace gipso {

namespace {
constexpr int32_t kStep = 100;
}

PointList::PointList() { clear(); }

void PointList::clear()
{
    std::vector<GpsPoint> fresh(kStep + 1);
    slots_.swap(fresh);
    count_ = 0;
    capacity_ = kStep;
}

void PointList::growFor(int32_t newCount)
{
    if (newCount <= capacity_)
        return;
    while (capacity_ < newCount)
        capacity_ += kStep;
    if (slots_.capacity() < static_cast<size_t>(capacity_) + 1)
        slots_.reserve(std::max(slots_.capacity() * 2, static_cast<size_t>(capacity_) + 1));
    slots_.resize(static_cast<size_t>(capacity_) + 1);
}

void PointList::reserveMore(int32_t n)
{
    size_t want = static_cast<size_t>(count_) + static_cast<size_t>(n) + kStep + 1;
    if (slots_.capacity() < want)
        slots_.reserve(want);
}

void PointList::append(const GpsPoint &point)
{
    if (count_ + 1 > capacity_) {
        // The point may be one of our own slots, which growing would move away.
        append(GpsPoint(point));
        return;
    }
    ++count_;
    slots_[static_cast<size_t>(count_)] = point;
}

void PointList::append(GpsPoint &&point)
{
    growFor(count_ + 1);
    ++count_;
    slots_[static_cast<size_t>(count_)] = std::move(point);
}

void PointList::insert(int32_t index, const GpsPoint &point)
{
    GpsPoint copy(point); // the point may be one of our own slots, which the shift moves
    growFor(count_ + 1);
    ++count_;
    auto first = slots_.begin() + index;
    std::move_backward(first, slots_.begin() + count_, slots_.begin() + count_ + 1);
    slots_[static_cast<size_t>(index)] = std::move(copy);
}

void PointList::remove(int32_t index)
{
    std::move(slots_.begin() + index + 1, slots_.begin() + count_ + 1, slots_.begin() + index);
    --count_;
}

void PointList::removeLast()
{
    if (count_ > 0)
        --count_;
}

PointList &PointStore::list(PointKind kind)
{
    return kind == PointKind::Way ? wayPoints : kind == PointKind::Route ? routePoints : trackPoints;
}

const PointList &PointStore::list(PointKind kind) const
{
    return kind == PointKind::Way ? wayPoints : kind == PointKind::Route ? routePoints : trackPoints;
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
