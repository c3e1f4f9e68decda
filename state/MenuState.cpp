#include "state/MenuState.h"

#include <initializer_list>

namespace gipso {

MenuBarState menuBarState(MapMode map, EditMode edit, bool canUndo, bool canRedo)
{
    MenuBarState s;
    s.file = s.edit = !calibrating(map);
    s.calibration = map == MapMode::Uncalibrated || map == MapMode::Calibrated;
    s.view = map != MapMode::NoMap;
    s.undo = !calibrating(map) && canUndo;
    s.redo = !calibrating(map) && canRedo;
    s.points = map == MapMode::Calibrated;
    s.zoomPanel = map == MapMode::Calibrated || calibrating(map);
    s.createPanel = edit == EditMode::CreateWayPoints || edit == EditMode::CreateRoutePoints;
    s.modifyPanel = edit == EditMode::ModifyWayPoints || edit == EditMode::ModifyRoutePoints || edit == EditMode::ModifyTrackPoints;
    s.wayPanel = edit == EditMode::ModifyWayPoints || edit == EditMode::CreateWayPoints;
    s.routePanel = edit == EditMode::ModifyRoutePoints || edit == EditMode::CreateRoutePoints;
    s.trackPanel = edit == EditMode::ModifyTrackPoints;
    return s;
}

QList<std::pair<QString, bool>> countedEntries(const QString &menu, MapMode map, const PointCounts &counts)
{
    QList<std::pair<QString, bool>> out;
    auto add = [&out](std::initializer_list<const char *> names, bool on) {
        for (const char *n : names)
            out.append({QLatin1String(n), on});
    };
    if (menu == QLatin1String("mnuFile")) {
        add({"mnuSalva", "mnuImporta", "mnuStampa"}, map == MapMode::Calibrated);
        add({"mnuEsporta"}, counts.way > 0 || counts.route > 0 || counts.track > 0);
    } else if (menu == QLatin1String("mnuWay")) {
        add({"mnuCancella", "mnuCancellaLast", "mnuUplw", "mnuVisw", "mnuEditW"}, counts.way > 0);
    } else if (menu == QLatin1String("mnuRoute")) {
        add({"mnuCancellaR", "mnuCancellaLastR", "mnuVisr", "mnuUplr", "mnuEditR"}, counts.route > 0);
        add({"mnuInvertiR", "mnuAltr"}, counts.route >= 2);
    } else if (menu == QLatin1String("mnuTrack")) {
        add({"mnuCancellaT", "mnuVist", "mnuEditT"}, counts.track > 0);
        add({"mnuInvertiT", "mnuAltt", "mnuStatt"}, counts.track >= 2);
    }
    return out;
}

} // namespace gipso
