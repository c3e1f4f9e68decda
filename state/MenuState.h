#pragma once

#include "points/PointHistory.h"
#include "state/AppState.h"

#include <QList>
#include <QString>
#include <utility>

namespace gipso {

// What the main window's menu bar and status panels allow, by the map's state, the editing
// mode and the history. The three point menus go together.
struct MenuBarState {
    bool file = false, edit = false, view = false, calibration = false, points = false;
    bool undo = false, redo = false;
    // Status panels: 4 the zoom, then the editing mode's 5 CREATE, 6 MODIFY, 7 WP, 8 RT, 9 TR.
    bool zoomPanel = false, createPanel = false, modifyPanel = false;
    bool wayPanel = false, routePanel = false, trackPanel = false;
};
MenuBarState menuBarState(MapMode map, EditMode edit, bool canUndo, bool canRedo);

// The entries of a menu that depend on the map and the point counts, by the window's names,
// each with whether it is enabled; checked as the menu drops down. Empty for a menu without
// such entries.
QList<std::pair<QString, bool>> countedEntries(const QString &menu, MapMode map, const PointCounts &counts);

} // namespace gipso
