#pragma once

#include "points/PointKind.h"

#include <QString>
#include <algorithm>
#include <iterator>
#include <cstdint>
#include <vector>

namespace gipso {

// One point of any kind.
struct GpsPoint {
    double latitude = 0.0;  // decimal degrees, north positive
    double longitude = 0.0; // decimal degrees, east positive
    float altitude = 0.0f;  // metres
    double date = 0.0;      // date value; only the calendar day is used
    double time = 0.0;      // date value; only the time of day is used
    PointKind kind = PointKind::Way;
    QString name;           // at most 6 characters where the point dialog made it
    QString description;    // at most 30; on a TrackPoint a non-empty one starts a track

};

// A 1-based list: valid indices are 1 to count.
class PointList {
public:
    int32_t count() const { return static_cast<int32_t>(slots_.size()) - 1; }
    bool isEmpty() const { return slots_.size() == 1; }

    GpsPoint &operator[](int32_t index) { return touched()[static_cast<size_t>(index)]; }
    const GpsPoint &operator[](int32_t index) const { return slots_[static_cast<size_t>(index)]; }

    // Iteration over the points in use (1 to count).
    GpsPoint *begin() { return touched().data() + 1; }
    GpsPoint *end() { return touched().data() + slots_.size(); }
    const GpsPoint *begin() const { return slots_.data() + 1; }
    const GpsPoint *end() const { return slots_.data() + slots_.size(); }

    // Empties the list and gives its memory back.
    void clear() { std::vector<GpsPoint>(1).swap(touched()); }
    // A point of the list itself may be appended or inserted.
    void append(const GpsPoint &point) { touched().push_back(point); }
    void append(GpsPoint &&point) { touched().push_back(std::move(point)); }
    void insert(int32_t index, const GpsPoint &point) { touched().insert(slots_.begin() + index, point); }
    void remove(int32_t index) { touched().erase(slots_.begin() + index); }
    // Keeps the first count points.
    void truncate(int32_t count) { touched().erase(slots_.begin() + 1 + count, slots_.end()); }
    void removeLast()
    {
        if (!isEmpty())
            touched().pop_back();
    }
    // Replaces the n points from index on by the given ones (moved out of the vector).
    void splice(int32_t index, int32_t n, std::vector<GpsPoint> &&points)
    {
        touched();
        const auto at = slots_.begin() + index;
        const auto common = std::min(static_cast<size_t>(n), points.size());
        std::move(points.begin(), points.begin() + static_cast<std::ptrdiff_t>(common), at);
        if (static_cast<size_t>(n) > common)
            slots_.erase(at + static_cast<std::ptrdiff_t>(common), at + n);
        else
            slots_.insert(at + static_cast<std::ptrdiff_t>(common),
                          std::make_move_iterator(points.begin() + static_cast<std::ptrdiff_t>(common)),
                          std::make_move_iterator(points.end()));
        points.clear();
    }
    // Makes room for n more points in one step.
    void reserveMore(int32_t n) { slots_.reserve(slots_.size() + static_cast<size_t>(n)); }

    // A number that changes whenever the points may have changed, for what is computed from
    // them and kept (the drawing's projected track). Every non-const access counts as a
    // change, so no editing path can leave a kept result stale; no two contents share a number.
    uint64_t revision() const;

private:
    // Marks the list changed; its next revision() is a new number.
    std::vector<GpsPoint> &touched()
    {
        mark_.changed = true;
        return slots_;
    }
    struct ChangeMark {
        uint64_t value = 0;
        bool changed = true;
        ChangeMark() = default;
        ChangeMark(const ChangeMark &) = default;
        ChangeMark &operator=(const ChangeMark &) = default;
        // What is left behind by a move holds other points.
        ChangeMark(ChangeMark &&o) noexcept : value(o.value), changed(o.changed) { o.changed = true; }
        ChangeMark &operator=(ChangeMark &&o) noexcept
        {
            value = o.value, changed = o.changed, o.changed = true;
            return *this;
        }
    };

    std::vector<GpsPoint> slots_ = std::vector<GpsPoint>(1); // slot 0 is never used
    mutable ChangeMark mark_;
};

struct PointStore {
    PointList wayPoints;
    PointList routePoints;
    PointList trackPoints;
    bool pointsModified = false;
    bool mapModified = false;

    // The list that holds points of the given kind.
    PointList &list(PointKind kind);
    const PointList &list(PointKind kind) const;
    bool allEmpty() const { return wayPoints.isEmpty() && routePoints.isEmpty() && trackPoints.isEmpty(); }
};

// Gives the point today's date and the current time, to the whole day and the whole second.
void stampNow(GpsPoint &point);
// Reverses the order; every point gets the current date and time (read per point).
void reverseList(PointList &list);
// True when point i starts a track: the first point, or one with a description.
bool trackStarts(const PointList &trackPoints, int32_t i);
// Number of tracks in the track log.
int32_t trackCount(const PointList &trackPoints);

} // namespace gipso
