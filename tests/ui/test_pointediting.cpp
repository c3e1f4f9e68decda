#include "MainWindowFixture.h"

#include "base/Clock.h"
#include "edit/ui/frmWayPoint.h"

#include <QApplication>
#include <QLocale>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <QTest>

using namespace gipso;
using namespace gipso::test;
using A = Dialogs::Answer;
using Form = std::function<void(frmWayPoint &)>;

namespace {
constexpr PointKind kWay = PointKind::Way, kRoute = PointKind::Route, kTrack = PointKind::Track;

struct EditingFixture : MainWindowFixture {
    picMap *view = nullptr;
    std::deque<Form> forms; // what the user does in each point dialog, in turn (then the frame closes it)
    QStringList focused;     // the box with the focus as each dialog showed

    EditingFixture()
    {
        setClock([] { return at(2026, 12, 7, 9, 30, 15); });
        view = &loadMap(1000, 800);
        view->resize(640, 480);
        view->applyView();
        dialogs.onExec = [this](QDialog &d) {
            auto &form = dynamic_cast<frmWayPoint &>(d);
            form.show();
            QApplication::processEvents();
            focused << (form.focusWidget() ? form.focusWidget()->objectName() : QString());
            if (!forms.empty()) {
                forms.front()(form);
                forms.pop_front();
            }
            return form.isVisible() ? (form.close(), int(QDialog::Rejected)) : form.result();
        };
    }
    ~EditingFixture() { setClock({}); }

    QPoint screen(double x, double y) const { return view->viewWindow().mapToScreen().map(QPointF(x, y)).toPoint(); }
    void menu(const char *entry) { window->action(QLatin1String(entry))->trigger(); }
    // A click (press and release without moving) at map pixel (x, y).
    void click(double x, double y) { QTest::mouseClick(view, Qt::LeftButton, {}, screen(x, y)); }
    // A press, a move and a release, in screen pixels.
    void dragOnScreen(QPoint a, QPoint b, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mousePress(view, button, {}, a);
        QMouseEvent move(QEvent::MouseMove, b, view->mapToGlobal(b), Qt::NoButton, button, {});
        QApplication::sendEvent(view, &move);
        QTest::mouseRelease(view, button, {}, b);
    }
    void drag(double x0, double y0, double x1, double y1) { dragOnScreen(screen(x0, y0), screen(x1, y1)); }
    void add(PointKind kind, double x, double y, const QString &name)
    {
        GpsPoint p = pointOnMap(state().calibration, x, y, kind);
        p.name = name;
        state().store.list(kind).append(p);
    }
    // How far WayPoint i is from map pixel (x, y), in degrees.
    double offset(int i, double x, double y)
    {
        const GpsPoint &w = state().store.wayPoints[i], p = pointOnMap(state().calibration, x, y, kWay);
        return std::hypot(w.latitude - p.latitude, w.longitude - p.longitude);
    }
    // The names of a list; "?" marks a point of another kind.
    QString names(PointKind kind)
    {
        QStringList out;
        for (const GpsPoint &p : state().store.list(kind))
            out << p.name + (p.kind == kind ? "" : "?");
        return out.join(QLatin1Char(','));
    }
};

// The user types a name into the focused box and presses Enter.
Form typeName(const QString &name)
{
    return [name](frmWayPoint &f) {
        QTest::keyClicks(f.focusWidget(), name);
        QTest::keyClick(f.focusWidget(), Qt::Key_Return);
    };
}
Form press(const char *button)
{
    return [button](frmWayPoint &f) { f.findChild<QPushButton *>(QLatin1String(button))->click(); };
}

} // namespace

TEST(PointEditingUi, CreatingWayPointsByClickAndUndoSteps)
{
    EditingFixture f;
    f.menu("mnuCreaWayP");
    f.forms = {typeName("A1"), press("cmdAnnulla")};
    f.click(150, 120);
    f.click(400, 300); // cancelled: the provisional point goes
    ASSERT_EQ(f.names(kWay), "A1");
    EXPECT_EQ(f.focused, QStringList({"txtNome", "txtNome"}));
    EXPECT_LT(f.offset(1, 150, 120), 1e-12);
    EXPECT_EQ(stamp(f.state().store.wayPoints[1]), "07/12/2026 09:30:15");
    // A move of one pixel while clicking is a drag: nothing is created.
    f.drag(300, 300, 301, 300);
    EXPECT_EQ(f.focused.size(), 2);

    // The Edit menu undoes and redoes; Reverse, Delete All and an import are one step each.
    for (const char *name : {"1", "2", "3"})
        f.add(kTrack, 100, 100, name);
    f.dialogs.answers = {A::Ok, A::Ok};
    f.window->reverse(kTrack);
    f.window->deleteAll(kTrack);
    writeAll(f.dir.filePath("in.txt"), "WP, IMP   ,   45.1000000000,    9.1000000000,     0.00, 01/01/2020, 10:00:00, \r\n");
    ASSERT_TRUE(f.window->importPointFile(f.dir.filePath("in.txt")));
    QStringList lists;
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(f.enabled("mnuAnnulla"));
        f.menu("mnuAnnulla");
        lists << f.names(kWay) + "|" + f.names(kTrack);
    }
    EXPECT_FALSE(f.enabled("mnuAnnulla"));
    f.menu("mnuRipeti");
    lists << f.names(kWay);
    EXPECT_EQ(lists, QStringList({"A1|", "A1|3,2,1", "A1|1,2,3", "|1,2,3", "A1"}));
    EXPECT_EQ(f.window->action("mnuRipeti")->shortcuts().size(), 2);
}

TEST(PointEditingUi, RouteCreationInsertionAndWayPointCopies)
{
    EditingFixture f;
    for (auto [x, name] : {std::pair{100, "A"}, {300, "B"}, {500, "C"}})
        f.add(kRoute, x, 400, name);
    f.add(kWay, 400, 402, "W"); // near leg B-C
    f.menu("mnuCreaR");
    // Insert? Yes; use the WayPoint? Yes; Cancel: the copy went to the end, and Cancel removes
    // it, not a RoutePoint inside the route. Confirmed: a RoutePoint copy. Near leg A-B, away
    // from the WayPoint: inserted as RoutePoint 2; Cancel closes the gap; answering No appends.
    for (const auto &[answers, form, x, y, route] : std::vector<std::tuple<std::deque<A>, Form, int, int, const char *>>{
             {{A::Yes, A::Yes}, press("cmdAnnulla"), 400, 402, "A,B,C"},
             {{A::Yes, A::Yes}, press("cmdOK"), 400, 402, "A,B,C,W"},
             {{A::Yes}, typeName("AB"), 200, 405, "A,AB,B,C,W"},
             {{A::Yes}, press("cmdAnnulla"), 250, 405, "A,AB,B,C,W"},
             {{A::No}, typeName("END"), 250, 405, "A,AB,B,C,W,END"}}) {
        f.dialogs.answers = answers;
        f.forms = {form};
        f.click(x, y);
        EXPECT_EQ(f.names(kRoute), route);
    }
    ASSERT_GE(f.dialogs.shown.size(), 2u);
    EXPECT_EQ(f.dialogs.shown[0].text, "Insert a new point in the Route?");
    EXPECT_EQ(f.dialogs.shown[1].text, "Use existing WayPoint?  (W)");
    for (int i = 0; i < 3; ++i)
        f.window->undo();
    EXPECT_EQ(f.names(kRoute), "A,B,C");
}

// Dragging in a Modify mode at 25% and 400%: the point follows the mouse, the panels show its
// position with ten decimals, OK keeps it (one undo step), the window frame puts it back.
TEST(PointEditingUi, DraggingPointsAtEveryZoom)
{
    for (const char *zoomEntry : {"mnuX25", "mnuX400"}) {
        SCOPED_TRACE(zoomEntry);
        EditingFixture f;
        f.menu(zoomEntry);
        const QPointF c = f.view->viewWindow().screenToMap(QPointF(100, 100)); // on the map at 25% too
        f.add(kWay, c.x(), c.y(), "W1");
        f.menu("mnuEditW");
        const double step = 40 / f.state().zoomFactor; // 40 screen pixels
        QString panel;
        f.forms = {[&](frmWayPoint &form) {
            panel = f.window->panel(1)->text();
            EXPECT_FALSE(form.cmdPrev->isVisible()); // no stepping away after a drag
            form.cmdOK->click();
        }};
        f.drag(c.x(), c.y(), c.x() + step, c.y() + step);
        EXPECT_LT(f.offset(1, c.x() + step, c.y() + step), 1e-9);
        EXPECT_EQ(panel, " Lat. = " + QLocale().toString(f.state().store.wayPoints[1].latitude, 'f', 10));
        EXPECT_EQ(f.view->cursor().shape(), Qt::CrossCursor);

        f.drag(c.x() + step, c.y() + step, c.x(), c.y() + 2 * step); // closed by the frame
        EXPECT_LT(f.offset(1, c.x() + step, c.y() + step), 1e-9);
        f.window->undo();
        EXPECT_EQ(f.offset(1, c.x(), c.y()), 0);
        EXPECT_FALSE(f.state().history.canUndo());
    }
}

// A RoutePoint dragged onto a WayPoint may become a copy of it; Delete asks first and an
// emptied list switches its Modify mode off.
TEST(PointEditingUi, CopyOnDragAndDelete)
{
    EditingFixture f;
    f.add(kRoute, 100, 100, "R1");
    f.add(kWay, 300, 100, "W1");
    f.menu("mnuEditR");
    f.dialogs.answers = {A::Yes};
    f.forms = {press("cmdOK")};
    f.drag(100, 100, 300, 100);
    EXPECT_EQ(f.names(kRoute), "W1");
    EXPECT_EQ(f.dialogs.lastText(), "Use existing WayPoint?  (W1)");

    f.add(kTrack, 500, 400, {});
    f.menu("mnuEditT");
    f.dialogs.answers = {A::Cancel, A::Ok};
    f.forms = {[](frmWayPoint &form) {
        form.cmdElimina->click(); // Cancel: the dialog stays
        EXPECT_TRUE(form.isVisible());
        form.cmdElimina->click();
    }};
    f.click(500, 400);
    EXPECT_EQ(f.dialogs.shown.back().text, "Delete selected TrackPoint?");
    EXPECT_EQ(f.dialogs.shown.back().defaultButton, A::Cancel);
    EXPECT_TRUE(f.state().store.trackPoints.isEmpty());
    EXPECT_FALSE(f.window->action("mnuEditT")->isChecked());
}

// The form limits typing (the limits: tests/edit), and a refused box keeps the dialog open with
// the reason (the readings: RegionalNumber and PointEditor in tests/edit).
TEST(PointEditingUi, InsertCommandTypedLimitsAndRefusals)
{
    EditingFixture f;
    f.state().units = unitSettings(false); // feet
    f.forms = {[](frmWayPoint &form) {
        QTest::keyClicks(form.txtCoord[0], "x");
        form.txtCoord[1]->setText("9.5");
        form.txtNome->setText("TYPED");
        QTest::keyClicks(form.txtQuota, "1000000");
        EXPECT_EQ(form.txtQuota->text(), "10000");
        form.cmdOK->click();
        EXPECT_TRUE(form.isVisible());
        form.txtCoord[0]->setText("45.25");
        form.cmdOK->click();
    }};
    f.menu("mnuInsWay");
    EXPECT_EQ(f.dialogs.lastText(), "ERROR N° 13 - Type mismatch");
    ASSERT_EQ(f.names(kWay), "TYPED");
    EXPECT_EQ(f.focused, QStringList{"txtCoord_0"});
    const GpsPoint &p = f.state().store.wayPoints[1];
    EXPECT_EQ(std::tuple(p.latitude, p.longitude, p.altitude), std::tuple(45.25, 9.5, 3048.f));
}

// The wheel scrolls (Shift: across), Ctrl+wheel zooms in the program's steps about the mouse,
// a left drag with no editing mode pans, a right drag also on an uncalibrated map and during a
// calibration. Clicks beside a map smaller than the view are ignored.
TEST(PointEditingUi, NavigationAndClicksBesideTheMap)
{
    EditingFixture f;
    f.menu("mnuX200");
    const QPoint mouse(300, 200);
    auto wheel = [&](QPoint angle, Qt::KeyboardModifiers mods) {
        QWheelEvent e(mouse, f.view->mapToGlobal(mouse), QPoint(), angle, Qt::NoButton, mods, Qt::NoScrollPhase, false);
        QApplication::sendEvent(f.view, &e);
    };
    QScrollBar *h = f.window->hScroll(), *v = f.window->vScroll();
    int h0 = h->value(), v0 = v->value();
    wheel({0, -120}, Qt::NoModifier);
    EXPECT_EQ(std::pair(h->value(), v->value() > v0), std::pair(h0, true));
    wheel({0, -120}, Qt::ShiftModifier);
    EXPECT_GT(h->value(), h0);

    const QPointF under = f.view->viewWindow().screenToMap(QPointF(mouse));
    wheel({0, 120}, Qt::ControlModifier);
    EXPECT_EQ(f.window->panel(4)->text(), "225%"); // one step of Zoom +
    EXPECT_LT(QLineF(f.view->viewWindow().mapToScreen().map(under), QPointF(mouse)).length(), 3);

    for (auto [mode, button] : {std::pair{MapMode::Calibrated, Qt::LeftButton}, {MapMode::Calibrated, Qt::RightButton},
                                {MapMode::Uncalibrated, Qt::RightButton}, {MapMode::FirstClick, Qt::RightButton}}) {
        SCOPED_TRACE(int(mode) * 10 + int(button));
        f.window->setMapMode(mode);
        h0 = h->value();
        f.dragOnScreen(mouse, {200, 200}, button);
        EXPECT_GT(h->value(), h0);
        EXPECT_EQ(f.state().mapMode, mode); // a drag is no reference click
    }

    f.window->setMapMode(MapMode::Calibrated);
    f.menu("mnuX25"); // 250 x 200 screen pixels in a 640 x 480 view
    f.menu("mnuCreaWayP");
    QTest::mouseClick(f.view, Qt::LeftButton, {}, QPoint(400, 300));
    EXPECT_TRUE(f.focused.isEmpty()); // no point dialog
    f.click(100, 100);
    EXPECT_EQ(f.focused.size(), 1); // on the map: the dialog
}
