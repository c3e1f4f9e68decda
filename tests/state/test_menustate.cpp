// The main window's menu and panel enabling, by the map's state, the editing mode, the history
// and the point counts (the window applying it: tests/ui/test_mainwindow).
#include "state/MenuState.h"

#include <gtest/gtest.h>

using namespace gipso;

TEST(MenuState, MenuBarByMapEditModeAndHistory)
{
    using M = MapMode;
    using E = EditMode;
    // Menus File, Edit, View, Calibration, the point menus; Undo, Redo; panels 4 to 9.
    const struct { MapMode map; EditMode edit; bool undo, redo; const char *want; } rows[] = {
        {M::NoMap, E::None, false, false, "11000 00 000000"},
        {M::Uncalibrated, E::None, true, true, "11110 11 000000"},
        {M::Calibrated, E::None, true, false, "11111 10 100000"},
        {M::FirstClick, E::None, true, true, "00100 00 100000"},
        {M::SecondClick, E::None, false, true, "00100 00 100000"},
        {M::Calibrated, E::CreateWayPoints, false, false, "11111 00 110100"},
        {M::Calibrated, E::CreateRoutePoints, false, false, "11111 00 110010"},
        {M::Calibrated, E::ModifyWayPoints, false, false, "11111 00 101100"},
        {M::Calibrated, E::ModifyRoutePoints, false, false, "11111 00 101010"},
        {M::Calibrated, E::ModifyTrackPoints, false, false, "11111 00 101001"},
    };
    for (const auto &r : rows) {
        const MenuBarState s = menuBarState(r.map, r.edit, r.undo, r.redo);
        QString got;
        for (bool b : {s.file, s.edit, s.view, s.calibration, s.points, s.undo, s.redo, s.zoomPanel, s.createPanel,
                       s.modifyPanel, s.wayPanel, s.routePanel, s.trackPanel})
            got += b ? '1' : '0';
        EXPECT_EQ(got.insert(7, ' ').insert(5, ' '), r.want) << int(r.map) << " " << int(r.edit);
    }
}

TEST(MenuState, EntriesByTheCounts)
{
    const MapMode cal = MapMode::Calibrated;
    const struct { const char *menu; MapMode map; PointCounts counts; const char *want; } rows[] = {
        {"mnuFile", cal, {0, 0, 0}, "mnuSalva+ mnuImporta+ mnuStampa+ mnuEsporta-"},
        {"mnuFile", MapMode::Uncalibrated, {0, 0, 1}, "mnuSalva- mnuImporta- mnuStampa- mnuEsporta+"},
        {"mnuWay", cal, {0, 2, 2}, "mnuCancella- mnuCancellaLast- mnuUplw- mnuVisw- mnuEditW-"},
        {"mnuWay", cal, {1, 0, 0}, "mnuCancella+ mnuCancellaLast+ mnuUplw+ mnuVisw+ mnuEditW+"},
        {"mnuRoute", cal, {2, 0, 2}, "mnuCancellaR- mnuCancellaLastR- mnuVisr- mnuUplr- mnuEditR- mnuInvertiR- mnuAltr-"},
        {"mnuRoute", cal, {0, 1, 0}, "mnuCancellaR+ mnuCancellaLastR+ mnuVisr+ mnuUplr+ mnuEditR+ mnuInvertiR- mnuAltr-"},
        {"mnuRoute", cal, {0, 2, 0}, "mnuCancellaR+ mnuCancellaLastR+ mnuVisr+ mnuUplr+ mnuEditR+ mnuInvertiR+ mnuAltr+"},
        {"mnuTrack", cal, {2, 2, 0}, "mnuCancellaT- mnuVist- mnuEditT- mnuInvertiT- mnuAltt- mnuStatt-"},
        {"mnuTrack", cal, {0, 0, 1}, "mnuCancellaT+ mnuVist+ mnuEditT+ mnuInvertiT- mnuAltt- mnuStatt-"},
        {"mnuTrack", cal, {0, 0, 2}, "mnuCancellaT+ mnuVist+ mnuEditT+ mnuInvertiT+ mnuAltt+ mnuStatt+"},
        {"mnuVista", cal, {2, 2, 2}, ""}, // the zoom entries: tests/map
    };
    for (const auto &r : rows) {
        QStringList got;
        for (const auto &[name, on] : countedEntries(QLatin1String(r.menu), r.map, r.counts))
            got << name + (on ? '+' : '-');
        EXPECT_EQ(got.join(' '), r.want) << r.menu << " " << r.counts.way << r.counts.route << r.counts.track;
    }
}
