#pragma once

#include "points/PointStore.h"

#include <QString>
#include <deque>
#include <utility>
#include <vector>

namespace gipso {

// One change to one list, kept as the difference only. A splice holds the points that are not
// in the list now (those it took out, or those an undo took back); applying it swaps them with
// the `inStore` points at `index`, so the same call undoes and redoes it. A reversal holds the
// dates and times the points do not have now, in the order of the list.
struct PointChange {
    enum class Type { Splice, Reverse };
    Type type = Type::Splice;
    PointKind kind = PointKind::Way;
    int32_t index = 1;
    int32_t inStore = 0;
    std::vector<GpsPoint> other;
    std::vector<std::pair<double, double>> dates;

    // Points firstIndex to firstIndex + n - 1 were added.
    static PointChange added(PointKind kind, int32_t firstIndex, int32_t n);
    // Point index was changed; before is what it was.
    static PointChange replaced(PointKind kind, int32_t index, GpsPoint before);
    // The points were taken out at index (before is what they were).
    static PointChange removed(PointKind kind, int32_t index, std::vector<GpsPoint> before);
    // The list was reversed and restamped; before holds the dates and times it had, in its old order.
    static PointChange reversed(PointKind kind, std::vector<std::pair<double, double>> before);

    void apply(PointStore &store);
};

// The counts of the three lists, to record what a bulk command (an import, a download, an
// acquisition) appended.
struct PointCounts {
    int32_t way = 0, route = 0, track = 0;
};
PointCounts pointCounts(const PointStore &store);

// Undo and redo of the changes made to the point lists. Each step is one command of the user
// (a drag with its dialog, an import of three lists) and may hold several changes.
class PointHistory {
public:
    using Step = std::vector<PointChange>;

    // Records a step that has already been made to the store; the redo side is dropped.
    void push(Step step);
    void push(PointChange change) { push(Step{std::move(change)}); }
    // Records what was appended since `before`; nothing when the lists did not grow.
    void pushAppended(const PointStore &store, const PointCounts &before);

    bool canUndo() const { return position_ > 0; }
    bool canRedo() const { return position_ < steps_.size(); }
    // Both set pointsModified unless the lists are back as they were last saved.
    bool undo(PointStore &store);
    bool redo(PointStore &store);

    // The lists are as saved (a successful export, or a start with nothing to save).
    void markSaved() { saved_ = static_cast<std::ptrdiff_t>(position_); }
    bool atSaved() const { return saved_ == static_cast<std::ptrdiff_t>(position_); }
    void clear();
    size_t size() const { return steps_.size(); }

    // Steps kept; the oldest go first.
    static constexpr size_t kMaxSteps = 200;

private:
    std::deque<Step> steps_;
    size_t position_ = 0;    // steps before it are done, from it on undone
    std::ptrdiff_t saved_ = 0; // position of the saved lists; -1 once it cannot come back
};

} // namespace gipso
