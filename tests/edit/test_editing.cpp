#include "base/Clock.h"
#include "base/Messages.h"
#include "base/RegionalNumber.h"
#include "edit/MapEditing.h"
#include "edit/PointEditor.h"
#include "edit/TypedText.h"
#include "geo/NavFormulae.h"
#include "support/MapSupport.h"
#include "support/TestSupport.h"

#include <QLocale>
#include <gtest/gtest.h>
#include <cmath>
#include <tuple>

using namespace gipso;
using test::exampleCalibration;

namespace {
constexpr PointKind kWay = PointKind::Way, kRoute = PointKind::Route, kTrack = PointKind::Track;
const double kNan = std::nan("");

GpsPoint at(double x, double y, PointKind kind = kWay, const QString &name = {})
{
    GpsPoint p = test::pointOnMap(exampleCalibration(), x, y, kind);
    p.name = name;
    return p;
}
PointList points(std::initializer_list<GpsPoint> ps)
{
    PointList l;
    for (const GpsPoint &p : ps)
        l.append(p);
    return l;
}

// The example calibration with WayPoints W1, W2, RoutePoints R1 to R3 and one TrackPoint.
AppState editingState()
{
    AppState st;
    st.calibration = exampleCalibration();
    st.store.wayPoints = points({at(100, 100, kWay, "W1"), at(200, 100, kWay, "W2")});
    st.store.routePoints = points({at(100, 300, kRoute, "R1"), at(200, 300, kRoute, "R2"), at(300, 300, kRoute, "R3")});
    st.store.trackPoints = points({at(10, 10, kTrack)});
    return st;
}
} // namespace

TEST(Editing, PickingAndInsertLegs)
{
    // The tolerance follows the zoom, rounded half to even.
    for (auto [dim, zoom, tol] : {std::tuple{10, 1.0, 10}, {10, 4.0, 2}, {6, 4.0, 2}, {10, 0.25, 40}})
        EXPECT_EQ(pickTolerance(dim, zoom), tol) << dim << " at " << zoom;
    const MapCalibration c = exampleCalibration();
    const PointList list = points({at(100, 100), at(300, 300), at(100, 100)}); // 3 is where 1 is
    double px, py;
    ASSERT_TRUE(pointOnMap(c, list[1], px, py));
    EXPECT_LT(std::hypot(px - 100.5, py - 99.5), 1e-6); // the centre of pixel (100, 100)
    // Exactly tol away picks, one pixel further does not; equal distances go to the lower index.
    for (auto [x, y, want] : {std::tuple{px, py + 10, 1}, {px, py + 11, 0}, {299.0, 301.0, 2}})
        EXPECT_EQ(pickPoint(list, c, x, y, 10), want) << x << "," << y;
    EXPECT_EQ(pickPoint(PointList{}, c, 0, 0, 10), 0);
    // A point that cannot be placed (a broken number from a file) is passed over.
    EXPECT_EQ(pickPoint(points({test::makePoint(kWay, {}, kNan, 9), at(100, 100)}), c, 100, 100, 10), 2);

    // On the leg itself (the arc cosine form went past 1 there) and near it; beyond the ends of
    // every leg none (appended); the zero-length leg 2-3 is passed over.
    const PointList route = points({at(100, 100, kRoute), at(300, 100, kRoute), at(300, 100, kRoute), at(300, 300, kRoute)});
    for (auto [x, y, leg] : {std::tuple{200, 100, 2}, {200, 109, 2}, {200, 110, 0}, {50, 100, 0}, {305, 200, 4}})
        EXPECT_EQ(findInsertLeg(route, c, x, y, 10), leg) << x << "," << y;
    EXPECT_EQ(findInsertLeg(points({at(100, 100)}), c, 100, 100, 10), 0);
    const PointList pole = points({test::makePoint(kRoute, {}, 45, kNan), at(100, 100, kRoute), at(300, 100, kRoute)});
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
    EXPECT_EQ(regionalNumber(0.f, 3.28084), QStringLiteral("0"));
    QLocale::setDefault(saved);
}

TEST(Editing, DialogLayoutByMode)
{
    AppState st = editingState();
    st.selection.selectedWayPoint = 2;
    PointDialogLayout l = PointEditor(st, kWay, PointDialogMode::Modify).layout();
    EXPECT_EQ(std::tuple(l.fields.name, l.deleteShown, l.stepShown, l.previousEnabled, l.nextEnabled),
              std::tuple(QStringLiteral("W2"), true, true, true, false));
    // Previous shows the point before and keeps its copy for Cancel.
    PointEditor stepping(st, kWay, PointDialogMode::Modify);
    stepping.step(-1);
    EXPECT_EQ(stepping.layout().fields.name, QStringLiteral("W1"));
    EXPECT_EQ(st.selection.savedWayPoint.name, QStringLiteral("W1"));
    EXPECT_FALSE(stepping.layout().previousEnabled);
    // After a drag: no stepping. A RoutePoint replaced by a WayPoint copy: no editing, no
    // deleting and no stepping away from the replacement either.
    st.selection.mouseDragged = true;
    EXPECT_FALSE(PointEditor(st, kWay, PointDialogMode::Modify).layout().stepShown);
    st.selection.mouseDragged = false;
    st.selection.selectedRoutePoint = 2;
    st.selection.selectedWayPoint = 1;
    l = PointEditor(st, kRoute, PointDialogMode::Modify).layout();
    EXPECT_FALSE(l.stepShown || l.deleteShown || l.textEnabled);
    // A new point shows its position and altitude 0.
    st.selection = {};
    l = PointEditor(st, kWay, PointDialogMode::Created).layout();
    EXPECT_EQ(l.fields.altitude, QStringLiteral("0"));
    EXPECT_EQ(l.fields.latitude, regionalNumber(st.store.wayPoints[2].latitude));
    st.selection.selectedTrackPoint = 1;
    EXPECT_FALSE(PointEditor(st, kTrack, PointDialogMode::Modify).layout().nameShown);
}

// The OK rule and the altitude box; refusals store nothing; Insert keeps what is typed beyond
// 90 and 180 (no pole); Modify stores every field of a WayPoint with today's date and time, and
// 100 m shown in feet is stored back as 100 m.
TEST(Editing, OkRuleRefusalsAndStoring)
{
    setLanguage(kEnglish);
    setClock([] { return test::at(2026, 12, 7, 9, 30, 15); });
    AppState st = editingState();
    st.units = unitSettings(false); // feet
    st.selection.selectedTrackPoint = 1;
    for (auto [kind, name, lon, ok] : {std::tuple{kWay, "A", "9", true}, {kWay, "  ", "9", false},
                                       {kWay, "A", " ", false}, {kTrack, "", "9", true}})
        EXPECT_EQ(PointEditor(st, kind, kind == kTrack ? PointDialogMode::Modify : PointDialogMode::Insert)
                      .okAllowed({name, "", "45", lon, "0"}),
                  ok) << name << lon;
    for (auto [text, allowed] : {std::pair{"-", false}, {"-5", true}, {"5.", true}, {"5a", false}})
        EXPECT_EQ(PointEditor::altitudeTextAllowed(QLatin1String(text)), allowed) << text;

    PointEditor way(st, kWay, PointDialogMode::Insert);
    for (auto [name, lat, refusal] :
         {std::tuple{"A", "x", "ERROR N° 13 - Type mismatch"},
          {"A", "-90", "Poles are not allowed!"},
          {"A,B", "45", "ERROR: comma character not allowed in name and/or description of WayPoint."}})
        EXPECT_EQ(way.accept({name, "", lat, "9", "0"}), QString::fromUtf8(refusal));
    EXPECT_FALSE(st.history.canUndo() || st.store.pointsModified);
    EXPECT_EQ(way.accept({"A", "", "89.99999", "200", "0"}), QString());
    EXPECT_EQ(st.store.wayPoints.count(), 3);
    EXPECT_TRUE(st.history.canUndo() && st.store.pointsModified);

    st.store.wayPoints[1].altitude = 100.f;
    st.selection.selectedWayPoint = 1;
    st.selection.savedWayPoint = st.store.wayPoints[1];
    PointEditor modify(st, kWay, PointDialogMode::Modify);
    EXPECT_EQ(modify.layout().fields.altitude, QStringLiteral("328.084"));
    EXPECT_EQ(modify.accept({" NEW ", " desc ", "45.5", "9.5", "328.084"}), QString());
    const GpsPoint &w = st.store.wayPoints[1];
    EXPECT_EQ(QStringList({w.name, w.description, test::stamp(w)}), QStringList({"NEW", "desc", "07/12/2026 09:30:15"}));
    EXPECT_EQ(std::tuple(w.latitude, w.longitude, w.altitude), std::tuple(45.5, 9.5, 100.f));
    setClock({});
}

// Only typing is limited: a longer text the program wrote stays until it is lengthened.
TEST(Editing, TypedTextLimits)
{
    using B = TypedBox;
    const struct { TypedBox box; const char *typed, *before, *kept; } rows[] = {
        {B::Name, "ABCDEF", "ABCDE", "ABCDEF"}, {B::Name, "ABCDEFG", "ABCDEF", "ABCDEF"},
        {B::Description, "123456789012345678901234567890", "", "123456789012345678901234567890"},
        {B::Description, "123456789012345678901234567890X", "123456789012345678901234567890", "123456789012345678901234567890"},
        {B::Altitude, "10000", "1000", "10000"}, {B::Altitude, "100000", "10000", "10000"},
        {B::Altitude, "328.0845", "328.084", "328.084"}, {B::Altitude, "328.08", "328.084", "328.08"},
        {B::Altitude, "-5.", "-5", "-5."}, {B::Altitude, "5a", "5", ""}, {B::Name, "5a", "5", "5a"},
    };
    for (const auto &r : rows)
        EXPECT_EQ(keptTypedText(r.box, QLatin1String(r.typed), QLatin1String(r.before)), QLatin1String(r.kept)) << r.typed;
}
