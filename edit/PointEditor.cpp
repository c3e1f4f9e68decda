#include "edit/PointEditor.h"

#include "base/Error.h"
#include "base/Messages.h"
#include "base/RegionalNumber.h"

#include <cmath>

namespace gipso {

namespace {
bool blank(const QString &s) { return s.trimmed().isEmpty(); }

PointFields fieldsOf(const GpsPoint &p, const UnitSettings &units)
{
    return {p.name, p.description, regionalNumber(p.latitude), regionalNumber(p.longitude),
            regionalNumber(p.altitude, units.altitudeFactor)};
}
} // namespace

PointEditor::PointEditor(AppState &state, PointKind kind, PointDialogMode mode)
    : state_(state), kind_(kind), mode_(mode)
{
}

QString PointEditor::kindText() const
{
    return messageText(kind_ == PointKind::Way ? msg::WayPointName
                       : kind_ == PointKind::Route ? msg::RoutePointName
                                                   : msg::TrackPointName);
}

PointDialogLayout PointEditor::layout() const
{
    PointDialogLayout l;
    const PointList &list = state_.store.list(kind_);
    const SelectionState &sel = state_.selection;
    switch (mode_) {
    case PointDialogMode::Created:
    case PointDialogMode::InsertedInRoute: {
        const int32_t i = kind_ == PointKind::Route && sel.routeInsertIndex != 0 ? sel.routeInsertIndex : list.count();
        if (i >= 1 && i <= list.count()) {
            l.fields.latitude = regionalNumber(list[i].latitude);
            l.fields.longitude = regionalNumber(list[i].longitude);
        }
        l.fields.altitude = QStringLiteral("0");
        break;
    }
    case PointDialogMode::Insert:
        l.insertCaptions = true;
        break;
    case PointDialogMode::CopiedToRoute: {
        const PointList &route = state_.store.routePoints;
        if (!route.isEmpty())
            l.fields = fieldsOf(route[route.count()], state_.units);
        l.textEnabled = false;
        break;
    }
    case PointDialogMode::Modify:
    case PointDialogMode::Delete: {
        const int32_t i = sel.selected(kind_);
        if (i >= 1 && i <= list.count())
            l.fields = fieldsOf(list[i], state_.units);
        l.deleteShown = true;
        // A RoutePoint just replaced by a WayPoint copy (after a drag) is only confirmed: no
        // editing, no deleting, and no stepping away from the replacement.
        const bool replacedByCopy = kind_ == PointKind::Route && sel.selectedWayPoint != 0;
        if (!sel.mouseDragged && !replacedByCopy) {
            l.stepShown = true;
            l.previousEnabled = i >= 2;
            l.nextEnabled = i < list.count();
        }
        if (kind_ == PointKind::Track)
            l.nameShown = false;
        if (replacedByCopy) {
            l.textEnabled = false;
            l.deleteShown = false;
        }
        break;
    }
    case PointDialogMode::Closed:
        break;
    }
    return l;
}

bool PointEditor::okAllowed(const PointFields &f) const
{
    if (blank(f.latitude) || blank(f.longitude) || blank(f.altitude))
        return false;
    return !blank(f.name) || (kind_ == PointKind::Track && mode_ == PointDialogMode::Modify);
}

bool PointEditor::altitudeTextAllowed(const QString &text)
{
    if (text.isEmpty() || readRegionalNumber(text))
        return true;
    // A number on its way, such as a decimal separator just typed after the digits.
    return text.size() > 1 && readRegionalNumber(text + QLatin1Char('0')).has_value();
}

QString PointEditor::accept(const PointFields &f)
{
    const std::optional<double> lat = readRegionalNumber(f.latitude);
    const std::optional<double> lon = readRegionalNumber(f.longitude);
    const std::optional<double> alt = readRegionalNumber(f.altitude);
    if (!lat || !lon || !alt)
        return errorMessage(GipsoError(err::TypeMismatch), msg::PointDialogErrorPrefix);
    if (std::fabs(*lat) == 90)
        return messageText(msg::PointDialogPolesNotAllowed);
    if (f.name.contains(QLatin1Char(',')) || f.description.contains(QLatin1Char(',')))
        return formatMessage(messageText(msg::CommaNotAllowed), {kindText()});

    const QString name = f.name.trimmed();
    const QString description = f.description.trimmed();
    const auto altitude = static_cast<float>(*alt / state_.units.altitudeFactor);
    PointStore &store = state_.store;
    PointList &list = store.list(kind_);
    SelectionState &sel = state_.selection;
    PointHistory &history = state_.history;
    // What the boxes give a new point, and a whole point besides its position and stamp.
    auto typed = [&](GpsPoint &p) {
        p.name = name;
        p.description = description;
        p.altitude = altitude;
    };
    auto typedWhole = [&](GpsPoint &p) {
        typed(p);
        p.latitude = *lat;
        p.longitude = *lon;
        stampNow(p);
    };

    switch (mode_) {
    case PointDialogMode::Created: {
        typed(list[list.count()]);
        history.push(PointChange::added(kind_, list.count(), 1));
        break;
    }
    case PointDialogMode::Insert: {
        GpsPoint p;
        p.kind = kind_;
        typedWhole(p);
        list.append(std::move(p));
        history.push(PointChange::added(kind_, list.count(), 1));
        break;
    }
    case PointDialogMode::Modify: {
        const int32_t i = sel.selected(kind_);
        GpsPoint &p = list[i];
        if (kind_ == PointKind::Track) {
            p.description = description;
            p.altitude = altitude;
        } else if (!(kind_ == PointKind::Route && sel.selectedWayPoint != 0)) {
            typedWhole(p);
        }
        history.push(PointChange::replaced(kind_, i, sel.saved(kind_)));
        break;
    }
    case PointDialogMode::CopiedToRoute:
        history.push(PointChange::added(PointKind::Route, store.routePoints.count(), 1));
        break;
    case PointDialogMode::InsertedInRoute: {
        const int32_t i = sel.routeInsertIndex != 0 ? sel.routeInsertIndex : list.count();
        typed(list[i]);
        history.push(PointChange::added(PointKind::Route, i, 1));
        sel.routeInsertIndex = 0;
        break;
    }
    case PointDialogMode::Delete:
    case PointDialogMode::Closed:
        return {};
    }
    mode_ = PointDialogMode::Closed;
    store.pointsModified = true;
    return {};
}

QString PointEditor::deleteQuestion() const
{
    return formatMessage(messageText(msg::DeleteSelected), {kindText()});
}

bool PointEditor::removeSelected()
{
    PointList &list = state_.store.list(kind_);
    SelectionState &sel = state_.selection;
    int32_t &i = sel.selected(kind_);
    if (i < 1 || i > list.count())
        return list.isEmpty();
    list.remove(i);
    state_.history.push(PointChange::removed(kind_, i, {sel.saved(kind_)}));
    i = 0;
    sel.saved(kind_) = GpsPoint{};
    state_.store.pointsModified = true;
    mode_ = PointDialogMode::Closed;
    return list.isEmpty();
}

void PointEditor::step(int delta)
{
    const PointList &list = state_.store.list(kind_);
    int32_t &i = state_.selection.selected(kind_);
    const int32_t next = i + delta;
    if (next < 1 || next > list.count())
        return;
    i = next;
    state_.selection.saved(kind_) = list[i];
}

void PointEditor::restoreSaved()
{
    if (mode_ != PointDialogMode::Modify && mode_ != PointDialogMode::Delete)
        return;
    PointList &list = state_.store.list(kind_);
    const int32_t i = state_.selection.selected(kind_);
    if (i >= 1 && i <= list.count()) {
        list[i] = state_.selection.saved(kind_);
        list[i].kind = kind_;
    }
}

void PointEditor::discardProvisional()
{
    PointList &list = state_.store.list(kind_);
    SelectionState &sel = state_.selection;
    switch (mode_) {
    case PointDialogMode::Created:
    case PointDialogMode::CopiedToRoute: // the copy is always appended at the end
        list.removeLast();
        break;
    case PointDialogMode::InsertedInRoute:
        if (sel.routeInsertIndex >= 1 && sel.routeInsertIndex <= list.count())
            list.remove(sel.routeInsertIndex);
        else
            list.removeLast();
        break;
    default:
        return;
    }
    sel.routeInsertIndex = 0;
    mode_ = PointDialogMode::Closed;
}

} // namespace gipso
