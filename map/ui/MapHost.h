#pragma once

#include "edit/PointEditor.h"

#include <QString>

class QScrollBar;

namespace gipso {

struct AppState;
class Dialogs;

// What the map widget needs from the window that holds it: the state, the scroll bars, the
// status panels, the halftone choice and a few calls back. The widget knows nothing else of
// the window.
class MapHost {
public:
    virtual ~MapHost() = default;

    virtual AppState &state() = 0;
    virtual QScrollBar *hScroll() const = 0;
    virtual QScrollBar *vScroll() const = 0;
    // Shows text in status panel index (1 to 9).
    virtual void setPanelText(int index, const QString &text) = 0;
    // Whether reduced maps are drawn with pixel interpolation.
    virtual bool halftone() const = 0;
    virtual void refreshMenus() = 0;
    virtual void repaintMap() = 0;
    // A left click on the map while a calibration waits for its reference points.
    virtual void calibrationClick(double x, double y) = 0;
    // The questions of the mouse editing.
    virtual Dialogs &dialogs() = 0;
    // The editing mode checked in the menus.
    virtual EditMode editMode() const = 0;
    // Opens the point dialog (modal) for the prepared selection; captionId names the kind.
    virtual void openPointDialog(PointKind kind, PointDialogMode mode, int captionId) = 0;
};

} // namespace gipso
