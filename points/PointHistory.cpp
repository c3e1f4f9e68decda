#include "points/PointHistory.h"

#include <algorithm>
#include <iterator>

namespace gipso {

PointChange PointChange::added(PointKind kind, int32_t firstIndex, int32_t n)
{
    PointChange c;
    c.kind = kind;
    c.index = firstIndex;
    c.inStore = n;
    return c;
}

PointChange PointChange::replaced(PointKind kind, int32_t index, GpsPoint before)
{
    PointChange c;
    c.kind = kind;
    c.index = index;
    c.inStore = 1;
    before.kind = kind;
    c.other.push_back(std::move(before));
    return c;
}

PointChange PointChange::removed(PointKind kind, int32_t index, std::vector<GpsPoint> before)
{
    PointChange c;
    c.kind = kind;
    c.index = index;
    c.inStore = 0;
    c.other = std::move(before);
    return c;
}

PointChange PointChange::reversed(PointKind kind, std::vector<std::pair<double, double>> before)
{
    PointChange c;
    c.type = Type::Reverse;
    c.kind = kind;
    c.dates = std::move(before);
    // Held in the order of the list now: the old first point is the last one.
    std::reverse(c.dates.begin(), c.dates.end());
    return c;
}

void PointChange::apply(PointStore &store)
{
    PointList &list = store.list(kind);
    if (type == Type::Reverse) {
        const int32_t n = list.count();
        std::reverse(list.begin(), list.end());
        std::reverse(dates.begin(), dates.end());
        for (int32_t i = 1; i <= n && size_t(i) <= dates.size(); ++i) {
            GpsPoint &p = list[i];
            std::swap(p.date, dates[size_t(i - 1)].first);
            std::swap(p.time, dates[size_t(i - 1)].second);
        }
        return;
    }
    std::vector<GpsPoint> taken(std::make_move_iterator(list.begin() + (index - 1)),
                                std::make_move_iterator(list.begin() + (index - 1 + inStore)));
    const auto putBack = static_cast<int32_t>(other.size());
    list.splice(index, inStore, std::move(other));
    inStore = putBack;
    other = std::move(taken);
}

PointCounts pointCounts(const PointStore &store)
{
    return {store.wayPoints.count(), store.routePoints.count(), store.trackPoints.count()};
}

void PointHistory::push(Step step)
{
    if (step.empty())
        return;
    steps_.erase(steps_.begin() + static_cast<std::ptrdiff_t>(position_), steps_.end());
    if (saved_ > static_cast<std::ptrdiff_t>(position_))
        saved_ = -1; // the saved lists were undone and are now out of reach
    steps_.push_back(std::move(step));
    ++position_;
    if (steps_.size() > kMaxSteps) {
        steps_.pop_front();
        --position_;
        saved_ = saved_ > 0 ? saved_ - 1 : -1;
    }
}

void PointHistory::pushAppended(const PointStore &store, const PointCounts &before)
{
    const PointCounts now = pointCounts(store);
    Step step;
    auto add = [&](PointKind kind, int32_t was, int32_t is) {
        if (is > was)
            step.push_back(PointChange::added(kind, was + 1, is - was));
    };
    add(PointKind::Way, before.way, now.way);
    add(PointKind::Route, before.route, now.route);
    add(PointKind::Track, before.track, now.track);
    push(std::move(step));
}

bool PointHistory::undo(PointStore &store)
{
    if (!canUndo())
        return false;
    Step &step = steps_[--position_];
    for (auto c = step.rbegin(); c != step.rend(); ++c)
        c->apply(store);
    store.pointsModified = !atSaved();
    return true;
}

bool PointHistory::redo(PointStore &store)
{
    if (!canRedo())
        return false;
    for (PointChange &c : steps_[position_++])
        c.apply(store);
    store.pointsModified = !atSaved();
    return true;
}

void PointHistory::clear()
{
    steps_.clear();
    position_ = 0;
    saved_ = 0;
}

} // namespace gipso
