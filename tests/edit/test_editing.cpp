#include "base/Clock.h"
#include "base/Messages.h"
#include "base/RegionalNumber.h"
#include "edit/MapEditing.h"
#include "edit/PointEditor.h"
#include "support/MapSupport.h"
#include "support/TestSupport.h"

#include <QLocale>
#include <gtest/gtest.h>
#include <cmath>

using namespace gipso;
using test::exampleCalibration;

namespace {
GpsPoint at(double x, double y, PointKind kind = PointKind::Way, const QString &name = {})
{
    GpsPoint p = test::pointOnMap(exampleCalibration(), x, y, kind);
    p.name = name;
    return p;
}

// A state on the example calibration with two WayPoints and a three-point route.
AppState editingState()
{
    AppState st;
    st.calibration = exampleCalibration();
    st.store.wayPoints.append(at(100, 100, PointKind::Way, QStringLiteral("W1")));
    st.store.wayPoints.append(at(200, 100, PointKind::Way, QStringLiteral("W2")));
    for (double x : {100.0, 200.0, 300.0})
        st.store.routePoints.append(at(x, 300, PointKind::Route, QStringLiteral("R%1").arg(x / 100)));
    return st;
}
} // namespace

TEST(Editing, PickToleranceFollowsZoomAndRoundsHalfToEven)
{
    EXPECT_EQ(pickTolerance(10, 1.0), 10);
    EXPECT_EQ(pickTolerance(10, 4.0), 2);  // 2.5
    EXPECT_EQ(pickTolerance(6, 4.0), 2);   // 1.5
    EXPECT_EQ(pickTolerance(10, 0.25), 40);
}

TEST(Editing, PickingAndInsertLegs)
{
    const MapCalibration c = exampleCalibration();
    PointList list;
    list.append(at(100, 100));
    list.append(at(300, 300));
    list.append(at(100, 100)); // the same place as point 1
    double px, py;
    ASSERT_TRUE(pointOnMap(c, list[1], px, py));
    EXPECT_NEAR(px, 100.5, 1e-6); // the centre of pixel (100, 100)
    EXPECT_NEAR(py, 99.5, 1e-6);
    // Exactly tol away picks, one pixel further does not; equal distances go to the lower index.
    EXPECT_EQ(pickPoint(list, c, px, py + 10, 10), 1);
    EXPECT_EQ(pickPoint(list, c, px, py + 11, 10), 0);
    EXPECT_EQ(pickPoint(list, c, 299, 301, 10), 2);
    EXPECT_EQ(pickPoint(PointList{}, c, 0, 0, 10), 0);
    // A point that cannot be placed (a broken number from a file) is passed over.
    PointList broken;
    broken.append(test::makePoint(PointKind::Way, {}, std::nan(""), 9));
    broken.append(at(100, 100));
    EXPECT_EQ(pickPoint(broken, c, 100, 100, 10), 2);

    PointList route;
    for (auto [x, y] : {std::pair{100.0, 100.0}, {300.0, 100.0}, {300.0, 100.0}, {300.0, 300.0}})
        route.append(at(x, y, PointKind::Route));
    // On the leg itself (the arc cosine form went past 1 there), and near it.
    EXPECT_EQ(findInsertLeg(route, c, 200, 100, 10), 2);
    EXPECT_EQ(findInsertLeg(route, c, 200, 109, 10), 2);
    EXPECT_EQ(findInsertLeg(route, c, 200, 110, 10), 0);
    // Beyond the ends of every leg: appended; the zero-length leg 2-3 is passed over.
    EXPECT_EQ(findInsertLeg(route, c, 50, 100, 10), 0);
    EXPECT_EQ(findInsertLeg(route, c, 305, 200, 10), 4);
    PointList one;
    one.append(at(100, 100));
    EXPECT_EQ(findInsertLeg(one, c, 100, 100, 10), 0);
    PointList pole;
    pole.append(test::makePoint(PointKind::Route, {}, 45, std::nan("")));
    pole.append(at(100, 100, PointKind::Route));
    pole.append(at(300, 100, PointKind::Route));
    EXPECT_EQ(findInsertLeg(pole, c, 200, 100, 10), 3);
}

TEST(Editing, RegionalNumbersRefuseGroupSeparators)
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    EXPECT_EQ(readRegionalNumber(QStringLiteral("45,5")), 45.5);
    EXPECT_FALSE(readRegionalNumber(QStringLiteral("45.500")));
    EXPECT_FALSE(readRegionalNumber(QStringLiteral("abc")));
    EXPECT_EQ(regionalNumber(1234.5), QStringLiteral("1234,5"));
    QLocale::setDefault(QLocale::c());
    EXPECT_FALSE(readRegionalNumber(QStringLiteral("45,500")));
    // Altitudes: the shortest text that reads back as the stored single, in either unit.
    EXPECT_EQ(regionalNumber(122.3f, 1.0), QStringLiteral("122.3"));
    EXPECT_EQ(regionalNumber(100.f, 3.28084), QStringLiteral("328.084"));
    EXPECT_EQ(regionalNumber(0.f, 3.28084), QStringLiteral("0"));
    QLocale::setDefault(saved);
}

TEST(Editing, DialogLayoutByMode)
{
    AppState st = editingState();
    st.selection.selectedWayPoint = 2;
    PointDialogLayout l = PointEditor(st, PointKind::Way, PointDialogMode::Modify).layout();
    EXPECT_EQ(l.fields.name, QStringLiteral("W2"));
    EXPECT_TRUE(l.deleteShown && l.stepShown && l.previousEnabled);
    EXPECT_FALSE(l.nextEnabled);
    // After a drag: no stepping. A RoutePoint replaced by a WayPoint copy: no editing, no
    // deleting and no stepping away from the replacement either.
    st.selection.mouseDragged = true;
    EXPECT_FALSE(PointEditor(st, PointKind::Way, PointDialogMode::Modify).layout().stepShown);
    st.selection.mouseDragged = false;
    st.selection.selectedRoutePoint = 2;
    st.selection.selectedWayPoint = 1;
    l = PointEditor(st, PointKind::Route, PointDialogMode::Modify).layout();
    EXPECT_FALSE(l.stepShown || l.deleteShown || l.textEnabled);
    // A new point shows its position and altitude 0; Insert has its own captions.
    st.selection = {};
    l = PointEditor(st, PointKind::Way, PointDialogMode::Created).layout();
    EXPECT_EQ(l.fields.altitude, QStringLiteral("0"));
    EXPECT_EQ(l.fields.latitude, regionalNumber(st.store.wayPoints[2].latitude));
    EXPECT_TRUE(PointEditor(st, PointKind::Way, PointDialogMode::Insert).layout().insertCaptions);
    st.selection.selectedTrackPoint = 1;
    st.store.trackPoints.append(at(10, 10, PointKind::Track));
    EXPECT_FALSE(PointEditor(st, PointKind::Track, PointDialogMode::Modify).layout().nameShown);
}

TEST(Editing, OkRuleAndRefusals)
{
    setLanguage(kEnglish);
    AppState st = editingState();
    PointEditor way(st, PointKind::Way, PointDialogMode::Insert);
    EXPECT_TRUE(way.okAllowed({"A", "", "45", "9", "0"}));
    EXPECT_FALSE(way.okAllowed({"  ", "", "45", "9", "0"}));
    EXPECT_FALSE(way.okAllowed({"A", "", "45", " ", "0"}));
    st.store.trackPoints.append(at(10, 10, PointKind::Track));
    st.selection.selectedTrackPoint = 1;
    EXPECT_TRUE(PointEditor(st, PointKind::Track, PointDialogMode::Modify).okAllowed({"", "", "45", "9", "0"}));

    EXPECT_EQ(way.accept({"A", "", "x", "9", "0"}), QStringLiteral("ERROR N° 13 - Type mismatch"));
    EXPECT_EQ(way.accept({"A", "", "-90", "9", "0"}), QStringLiteral("Poles are not allowed!"));
    EXPECT_EQ(way.accept({"A,B", "", "45", "9", "0"}),
              QStringLiteral("ERROR: comma character not allowed in name and/or description of WayPoint."));
    EXPECT_EQ(st.store.wayPoints.count(), 2);
    EXPECT_FALSE(st.history.canUndo());
    EXPECT_EQ(way.accept({"A", "", "89.99999", "200", "0"}), QString()); // beyond 90 and 180 as typed, but no pole
    EXPECT_EQ(st.store.wayPoints.count(), 3);
    EXPECT_TRUE(st.history.canUndo());

    for (auto [text, allowed] : {std::pair{"-", false}, {"-5", true}, {"5.", true}, {"5a", false}})
        EXPECT_EQ(PointEditor::altitudeTextAllowed(QLatin1String(text)), allowed) << text;
}

// Modify stores every field of a WayPoint with today's date and time; Cancel of a modified
// point puts the saved copy back; Delete reports the list it emptied.
TEST(Editing, StoringRestoringAndDeleting)
{
    setClock([] { return test::at(2026, 12, 7, 9, 30, 15); });
    AppState st = editingState();
    st.selection.selectedWayPoint = 1;
    st.selection.savedWayPoint = st.store.wayPoints[1];
    PointEditor modify(st, PointKind::Way, PointDialogMode::Modify);
    EXPECT_EQ(modify.accept({" NEW ", " desc ", "45.5", "9.5", "12"}), QString());
    const GpsPoint &w = st.store.wayPoints[1];
    EXPECT_EQ(QStringList({w.name, w.description, test::stamp(w)}),
              QStringList({"NEW", "desc", "07/12/2026 09:30:15"}));
    EXPECT_EQ(w.latitude, 45.5);
    EXPECT_TRUE(st.store.pointsModified);
    EXPECT_EQ(modify.mode(), PointDialogMode::Closed);

    st.selection = {};
    st.store.trackPoints.append(at(10, 10, PointKind::Track));
    st.selection.selectedTrackPoint = 1;
    st.selection.savedTrackPoint = st.store.trackPoints[1];
    st.store.trackPoints[1].latitude = 1; // dragged
    PointEditor track(st, PointKind::Track, PointDialogMode::Modify);
    track.restoreSaved();
    EXPECT_EQ(st.store.trackPoints[1].latitude, st.selection.savedTrackPoint.latitude);
    EXPECT_TRUE(track.removeSelected());
    EXPECT_EQ(st.selection.selectedTrackPoint, 0);
    setClock({});
}
