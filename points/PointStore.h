#pragma once

#include "points/PointKind.h"

#include <QString>
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

    bool operator==(const GpsPoint &) const = default;
};

// A 1-based list: valid indices are 1 to count; capacity starts at 100 and grows by 100.
class PointList {
public:
    PointList();

    int32_t count() const { return count_; }
    int32_t capacity() const { return capacity_; }
    bool isEmpty() const { return count_ == 0; }

    GpsPoint &operator[](int32_t index) { return slots_[static_cast<size_t>(index)]; }
    const GpsPoint &operator[](int32_t index) const { return slots_[static_cast<size_t>(index)]; }

    // Iteration over the points in use (1 to count).
    GpsPoint *begin() { return slots_.data() + 1; }
    GpsPoint *end() { return slots_.data() + 1 + count_; }
    const GpsPoint *begin() const { return slots_.data() + 1; }
    const GpsPoint *end() const { return slots_.data() + 1 + count_; }

    void clear();
    void append(const GpsPoint &point);
    void append(GpsPoint &&point);
    void insert(int32_t index, const GpsPoint &point);
    void remove(int32_t index);
    void removeLast();
    // Makes room for n more points in one step (the capacity still grows in steps of 100).
    void reserveMore(int32_t n);

private:
    void growFor(int32_t newCount);

    std::vector<GpsPoint> slots_; // slot 0 is never used
    int32_t count_ = 0;
    int32_t capacity_ = 0;
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

// Reverses the order; every point gets the current date and time (read per point).
void reverseList(PointList &list);
// True when point i starts a track: the first point, or one with a description.
bool trackStarts(const PointList &trackPoints, int32_t i);
// Number of tracks in the track log.
int32_t trackCount(const PointList &trackPoints);

} // namespace gipso
