#pragma once

#include "state/AppState.h"

#include <QString>

namespace gipso {

// The situations the point dialog serves. Closed is what OK leaves, so that closing removes nothing.
enum class PointDialogMode {
    Closed,        // "0"
    Created,       // "1": a click in a creation mode appended the point
    Insert,        // "2": Insert WayPoints / RoutePoints, the point is typed in whole
    Modify,        // "3": the selected point is shown, edited or deleted
    CopiedToRoute, // "4": a WayPoint was appended to the route as a copy, only confirmed
    InsertedInRoute, // "5": a RoutePoint was inserted inside the route at routeInsertIndex
    Delete         // "6": the points list deletes the selected point without showing the dialog
};

// What the dialog's boxes hold, as text.
struct PointFields {
    QString name, description, latitude, longitude, altitude;
};

// What the dialog shows on activation.
struct PointDialogLayout {
    PointFields fields;
    bool nameShown = true;     // hidden for a TrackPoint shown for editing
    bool textEnabled = true;   // all boxes editable
    bool deleteShown = false;
    bool stepShown = false;    // Previous and Next
    bool previousEnabled = false;
    bool nextEnabled = false;
    bool insertCaptions = false; // "&Insert" / "&Exit" instead of OK / Cancel
};

// The point dialog's work on the state: filling, the OK rule, storing by mode, deleting,
// stepping and what closing undoes. Every change it keeps is recorded in the state's history.
class PointEditor {
public:
    PointEditor(AppState &state, PointKind kind, PointDialogMode mode);

    PointKind kind() const { return kind_; }
    PointDialogMode mode() const { return mode_; }
    // The kind as the messages name it ("WayPoint", "RoutePoint", "TrackPoint").
    QString kindText() const;

    PointDialogLayout layout() const;
    // OK is enabled when latitude, longitude and altitude are not blank and the name is not
    // blank, or a TrackPoint is being modified.
    bool okAllowed(const PointFields &fields) const;
    // Whether text typed into the altitude box may stay there (a number, or one on its way: "5,").
    static bool altitudeTextAllowed(const QString &text);

    // OK: stores the point as the mode says; returns the message to show instead when a box
    // cannot be stored (the dialog then stays open).
    QString accept(const PointFields &fields);
    QString deleteQuestion() const;
    // Delete after the question was answered OK. True when the list is now empty.
    bool removeSelected();
    // Previous (-1) and Next (+1).
    void step(int delta);
    // Cancel: puts the saved copy back when a point was shown for editing or deleting.
    void restoreSaved();
    // The dialog closes without OK or Delete: the point its opener added is removed.
    void discardProvisional();

private:
    AppState &state_;
    PointKind kind_;
    PointDialogMode mode_;
};

} // namespace gipso
