#include "MainWindowFixture.h"
#include "support/MapSupport.h"

#include "base/Clock.h"
#include "base/Messages.h"
#include "edit/ui/frmWayPoint.h"
#include "map/ui/frmCalib.h"
#include "map/ui/picMap.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QWheelEvent>
#include <QTest>
#include <gtest/gtest.h>

using namespace gipso;
using namespace gipso::test;

namespace {

struct EditingFixture : MainWindowFixture {
    picMap *view = nullptr;
    std::vector<std::function<void(frmWayPoint &)>> forms; // what the user does in each point dialog, in turn
    QStringList focused;                                   // the box with the focus as each dialog showed

    EditingFixture()
    {
        setClock([] { return at(2026, 12, 7, 9, 30, 15); });
        AppState &st = state();
        QImage picture(1000, 800, QImage::Format_RGB32);
        picture.fill(qRgb(230, 230, 210));
        st.mapPicture = picture;
        st.mapWidth = 1000;
        st.mapHeight = 800;
        st.calibration = exampleCalibration();
        window->setMapMode(MapMode::Calibrated);
        window->mapLoaded();
        view = window->mapView();
        view->resize(640, 480);
        view->applyView();
        dialogs.onExec = [this](QDialog &d) {
            auto &form = dynamic_cast<frmWayPoint &>(d);
            form.show();
            QApplication::processEvents();
            focused << (form.focusWidget() ? form.focusWidget()->objectName() : QString());
            if (!forms.empty()) {
                auto act = forms.front();
                forms.erase(forms.begin());
                act(form);
            }
            return form.isVisible() ? (form.close(), int(QDialog::Rejected)) : form.result();
        };
    }
    ~EditingFixture() { setClock({}); }

    QPoint screen(double x, double y) const { return view->viewWindow().mapToScreen().map(QPointF(x, y)).toPoint(); }
    void mode(const char *entry) { window->action(QLatin1String(entry))->trigger(); }
    void zoom(const char *entry)
    {
        window->zoomCommand(QLatin1String(entry));
        view->applyView();
    }
    // A click (press and release without moving) at map pixel (x, y).
    void click(double x, double y) { QTest::mouseClick(view, Qt::LeftButton, {}, screen(x, y)); }
    void drag(double x0, double y0, double x1, double y1)
    {
        QTest::mousePress(view, Qt::LeftButton, {}, screen(x0, y0));
        for (int i = 1; i <= 4; ++i) {
            const QPoint p = screen(x0 + (x1 - x0) * i / 4, y0 + (y1 - y0) * i / 4);
            QMouseEvent move(QEvent::MouseMove, p, view->mapToGlobal(p), Qt::NoButton, Qt::LeftButton, {});
            QApplication::sendEvent(view, &move);
        }
        QTest::mouseRelease(view, Qt::LeftButton, {}, screen(x1, y1));
    }
    void add(PointKind kind, double x, double y, const QString &name)
    {
        GpsPoint p = pointOnMap(state().calibration, x, y, kind);
        p.name = name;
        state().store.list(kind).append(p);
    }
    QString names(PointKind kind)
    {
        QStringList out;
        for (const GpsPoint &p : state().store.list(kind))
            out << p.name + (p.kind == kind ? "" : "?");
        return out.join(QLatin1Char(','));
    }
};

// The user types a name into the focused box and presses Enter.
auto typeName(const QString &name)
{
    return [name](frmWayPoint &f) {
        QTest::keyClicks(f.focusWidget(), name);
        QTest::keyClick(f.focusWidget(), Qt::Key_Return);
    };
}
auto press(const char *button)
{
    return [button](frmWayPoint &f) { f.findChild<QPushButton *>(QLatin1String(button))->click(); };
}

} // namespace

TEST(PointEditingUi, CreatingWayPointsByClickWithUndo)
{
    EditingFixture f;
    f.mode("mnuCreaWayP");
    f.forms = {typeName("A1"), press("cmdAnnulla")};
    f.click(150, 120);
    f.click(400, 300); // cancelled: the provisional point goes
    ASSERT_EQ(f.names(PointKind::Way), "A1");
    EXPECT_EQ(f.focused, QStringList({"txtNome", "txtNome"}));
    double lat, lon;
    mapToGeo(f.state().calibration, 150, -120, lat, lon);
    EXPECT_DOUBLE_EQ(f.state().store.wayPoints[1].latitude, lat);
    EXPECT_DOUBLE_EQ(f.state().store.wayPoints[1].longitude, lon);
    EXPECT_EQ(stamp(f.state().store.wayPoints[1]), "07/12/2026 09:30:15");
    EXPECT_TRUE(f.state().store.pointsModified);
    // A move of one pixel while clicking is a drag: nothing is created.
    f.drag(300, 300, 301, 300);
    EXPECT_EQ(f.state().store.wayPoints.count(), 1);

    // Undo and redo from the Edit menu; undoing to the start clears the modified flag.
    EXPECT_TRUE(f.enabled("mnuAnnulla"));
    f.window->action("mnuAnnulla")->trigger();
    EXPECT_TRUE(f.state().store.wayPoints.isEmpty());
    EXPECT_FALSE(f.state().store.pointsModified);
    EXPECT_FALSE(f.enabled("mnuAnnulla"));
    f.window->action("mnuRipeti")->trigger();
    EXPECT_EQ(f.names(PointKind::Way), "A1");
    EXPECT_EQ(f.window->action("mnuRipeti")->shortcuts().size(), 2);
}

TEST(PointEditingUi, RouteCreationInsertionAndWayPointCopies)
{
    EditingFixture f;
    for (auto [x, name] : {std::pair{100, "A"}, {300, "B"}, {500, "C"}})
        f.add(PointKind::Route, x, 400, name);
    f.add(PointKind::Way, 400, 402, "W"); // near leg B-C
    f.mode("mnuCreaR");

    // Insert? Yes; use the WayPoint? Yes; Cancel: the copy went to the end, and Cancel removes
    // it, not a RoutePoint inside the route.
    f.dialogs.answers = {Dialogs::Answer::Yes, Dialogs::Answer::Yes};
    f.forms = {press("cmdAnnulla")};
    f.click(400, 402);
    EXPECT_EQ(f.names(PointKind::Route), "A,B,C");
    ASSERT_EQ(f.dialogs.shown.size(), 2u);
    EXPECT_EQ(f.dialogs.shown[0].text, "Insert a new point in the Route?");
    EXPECT_EQ(f.dialogs.shown[1].text, "Use existing WayPoint?  (W)");

    // The same, confirmed: the copy is a RoutePoint at the end.
    f.dialogs.answers = {Dialogs::Answer::Yes, Dialogs::Answer::Yes};
    f.forms = {press("cmdOK")};
    f.click(400, 402);
    EXPECT_EQ(f.names(PointKind::Route), "A,B,C,W");

    // Near leg A-B, away from the WayPoint: inserted as RoutePoint 2; Cancel closes the gap.
    f.dialogs.answers = {Dialogs::Answer::Yes};
    f.forms = {typeName("AB")};
    f.click(200, 405);
    EXPECT_EQ(f.names(PointKind::Route), "A,AB,B,C,W");
    f.dialogs.answers = {Dialogs::Answer::Yes};
    f.forms = {press("cmdAnnulla")};
    f.click(250, 405);
    EXPECT_EQ(f.names(PointKind::Route), "A,AB,B,C,W");
    // Answering No appends.
    f.dialogs.answers = {Dialogs::Answer::No};
    f.forms = {typeName("END")};
    f.click(250, 405);
    EXPECT_EQ(f.names(PointKind::Route), "A,AB,B,C,W,END");

    for (int i = 0; i < 3; ++i)
        f.window->undo();
    EXPECT_EQ(f.names(PointKind::Route), "A,B,C");
}

// Dragging in a Modify mode at 25% and 400%: the point follows the mouse, the panels show its
// position with ten decimals, OK keeps it (one undo step), the window frame puts it back.
TEST(PointEditingUi, DraggingPointsAtEveryZoom)
{
    for (const char *zoomEntry : {"mnuX25", "mnuX400"}) {
        SCOPED_TRACE(zoomEntry);
        EditingFixture f;
        f.zoom(zoomEntry);
        f.add(PointKind::Way, 0, 0, "W1");
        f.add(PointKind::Way, 0, 0, "W2");
        const QSize shown = f.view->viewWindow().dest; // the map may be smaller than the view
        const QPointF centre =
            f.view->viewWindow().screenToMap(QPointF(std::min(320, shown.width() / 2), std::min(240, shown.height() / 2)));
        f.state().store.wayPoints[1] = pointOnMap(f.state().calibration, centre.x(), centre.y(), PointKind::Way);
        f.state().store.wayPoints[1].name = "W1";
        f.state().store.wayPoints[2] = pointOnMap(f.state().calibration, centre.x() + 200, centre.y(), PointKind::Way);
        f.state().store.wayPoints[2].name = "W2";
        const GpsPoint original = f.state().store.wayPoints[1];
        f.mode("mnuEditW");
        const double step = 40 / f.state().zoomFactor; // 40 screen pixels
        QString panel;
        f.forms = {[&](frmWayPoint &form) {
                       panel = f.window->panel(1)->text();
                       EXPECT_FALSE(form.cmdPrev->isVisible()); // no stepping away after a drag
                       form.cmdOK->click();
                   },
                   [](frmWayPoint &form) { form.close(); }};
        f.drag(centre.x(), centre.y(), centre.x() + step, centre.y() + step);
        double lat, lon;
        mapToGeo(f.state().calibration, centre.x() + step, -(centre.y() + step), lat, lon);
        EXPECT_NEAR(f.state().store.wayPoints[1].latitude, lat, 1e-9);
        EXPECT_NEAR(f.state().store.wayPoints[1].longitude, lon, 1e-9);
        EXPECT_TRUE(panel.startsWith(" Lat. = "));
        EXPECT_EQ(panel.mid(panel.indexOf('.', 6) + 1).size(), 10);
        EXPECT_EQ(f.view->cursor().shape(), Qt::CrossCursor);

        f.drag(centre.x() + step, centre.y() + step, centre.x(), centre.y() + 2 * step); // closed by the frame
        EXPECT_NEAR(f.state().store.wayPoints[1].latitude, lat, 1e-9);
        f.window->undo();
        EXPECT_EQ(f.state().store.wayPoints[1].latitude, original.latitude);
        EXPECT_EQ(f.state().store.wayPoints[1].longitude, original.longitude);
        EXPECT_FALSE(f.state().history.canUndo());
    }
}

// A RoutePoint dragged onto a WayPoint may become a copy of it; Delete asks first and an
// emptied list switches its Modify mode off; Previous/Next step through the list.
TEST(PointEditingUi, ModifyDeleteAndStep)
{
    EditingFixture f;
    f.add(PointKind::Route, 100, 100, "R1");
    f.add(PointKind::Way, 300, 100, "W1");
    f.mode("mnuEditR");
    f.dialogs.answers = {Dialogs::Answer::Yes};
    f.forms = {[](frmWayPoint &form) {
        EXPECT_FALSE(form.cmdNext->isVisible() || form.cmdElimina->isVisible() || form.txtNome->isEnabled());
        form.cmdOK->click();
    }};
    f.drag(100, 100, 300, 100);
    EXPECT_EQ(f.names(PointKind::Route), "W1");
    EXPECT_EQ(f.dialogs.lastText(), "Use existing WayPoint?  (W1)");

    f.add(PointKind::Track, 500, 400, {});
    f.mode("mnuEditT");
    f.dialogs.answers = {Dialogs::Answer::Cancel, Dialogs::Answer::Ok};
    f.forms = {[](frmWayPoint &form) {
        EXPECT_FALSE(form.txtNome->isVisible());
        form.cmdElimina->click(); // Cancel: the dialog stays
        EXPECT_TRUE(form.isVisible());
        form.cmdElimina->click();
    }};
    f.click(500, 400);
    EXPECT_EQ(f.dialogs.shown.back().text, "Delete selected TrackPoint?");
    EXPECT_EQ(f.dialogs.shown.back().defaultButton, Dialogs::Answer::Cancel);
    EXPECT_TRUE(f.state().store.trackPoints.isEmpty());
    EXPECT_FALSE(f.window->action("mnuEditT")->isChecked());

    f.add(PointKind::Way, 320, 100, "W2");
    f.add(PointKind::Way, 340, 100, "W3");
    f.mode("mnuEditW");
    f.forms = {[](frmWayPoint &form) {
        EXPECT_FALSE(form.cmdPrev->isEnabled());
        form.txtNome->setText("EDITED"); // not stored: Next shows the next point
        form.cmdNext->click();
        EXPECT_EQ(form.txtNome->text(), "W2");
        form.cmdNext->click();
        EXPECT_FALSE(form.cmdNext->isEnabled());
        form.cmdAnnulla->click();
    }};
    f.click(300, 100);
    EXPECT_EQ(f.names(PointKind::Way), "W1,W2,W3");
}

TEST(PointEditingUi, InsertCommandsUnitsAndRegionalNumbers)
{
    EditingFixture f;
    f.state().units = unitSettings(false); // feet
    f.forms = {[](frmWayPoint &form) {
        EXPECT_EQ(form.cmdOK->text(), "&Insert");
        EXPECT_EQ(form.cmdAnnulla->text(), "&Exit");
        EXPECT_FALSE(form.cmdOK->isEnabled());
        form.txtCoord[1]->setText("9.5");
        form.txtNome->setText("TYPED");
        QTest::keyClicks(form.txtCoord[0], "45.25");
        QTest::keyClicks(form.txtQuota, "1000000");
        EXPECT_EQ(form.txtQuota->text(), "10000"); // five characters typed at most
        form.txtQuota->setText("1000");
        form.cmdOK->click();
    }};
    f.window->action("mnuInsWay")->trigger();
    ASSERT_EQ(f.names(PointKind::Way), "TYPED");
    EXPECT_EQ(f.focused, QStringList{"txtCoord_0"});
    EXPECT_EQ(f.state().store.wayPoints[1].altitude, 304.8f);
    EXPECT_EQ(f.state().store.wayPoints[1].latitude, 45.25);

    // What the program writes into a box is not cut: 100 m shows as 328.084 ft and OK keeps 100 m.
    f.state().store.wayPoints[1].altitude = 100.f;
    f.state().selection.selectedWayPoint = 1;
    f.state().selection.savedWayPoint = f.state().store.wayPoints[1];
    f.forms = {[](frmWayPoint &form) {
        EXPECT_EQ(form.txtQuota->text(), "328.084");
        form.cmdOK->click();
    }};
    f.window->openPointDialog(PointKind::Way, PointDialogMode::Modify, msg::WayPointName);
    EXPECT_EQ(f.state().store.wayPoints[1].altitude, 100.f);

    // In Italian "45.500" is refused (the dialog stays open), in the calibration dialog too.
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    f.forms = {[&](frmWayPoint &form) {
        form.txtCoord[0]->setText("45.500");
        form.cmdOK->click();
        EXPECT_TRUE(form.isVisible());
        form.txtCoord[0]->setText("45,5");
        form.cmdOK->click();
    }};
    f.window->openPointDialog(PointKind::Way, PointDialogMode::Modify, msg::WayPointName);
    EXPECT_EQ(f.dialogs.lastText(), "ERROR N° 13 - Type mismatch");
    EXPECT_EQ(f.state().store.wayPoints[1].latitude, 45.5);
    frmCalib calib(f.dialogs);
    for (int i = 0; i < 4; ++i)
        calib.txtCoord[i]->setText(i == 0 ? "45.500" : "9");
    f.dialogs.shown.clear();
    calib.cmdOK->click();
    EXPECT_EQ(f.dialogs.lastText(), "ERROR N° 13 - Type mismatch");
    QLocale::setDefault(QLocale::c());
}

// Reverse, Delete All and an import are one step each to undo and redo.
TEST(PointEditingUi, ListCommandsAndImportUndo)
{
    EditingFixture f;
    for (int i = 1; i <= 3; ++i)
        f.add(PointKind::Track, 100 * i, 100, QString::number(i));
    f.dialogs.answers = {Dialogs::Answer::Ok, Dialogs::Answer::Ok};
    f.window->reverse(PointKind::Track);
    f.window->deleteAll(PointKind::Track);
    const QString file = f.dir.filePath("in.txt");
    writeAll(file, "WP, IMP   ,   45.1000000000,    9.1000000000,     0.00, 01/01/2020, 10:00:00, \r\n");
    ASSERT_TRUE(f.window->importPointFile(file));
    f.window->undo();
    EXPECT_TRUE(f.state().store.wayPoints.isEmpty());
    f.window->undo();
    EXPECT_EQ(f.names(PointKind::Track), "3,2,1");
    f.window->undo();
    EXPECT_EQ(f.names(PointKind::Track), "1,2,3");
    f.window->redo();
    EXPECT_EQ(f.names(PointKind::Track), "3,2,1");
}

// Where the map is smaller than the view, clicks beside it are ignored; panning works on an
// uncalibrated map and during a calibration.
TEST(PointEditingUi, ClicksBesideTheMapAndPanningWithoutCalibration)
{
    EditingFixture f;
    f.zoom("mnuX25"); // 250 x 200 screen pixels in a 640 x 480 view
    f.mode("mnuCreaWayP");
    QTest::mouseClick(f.view, Qt::LeftButton, {}, QPoint(400, 300));
    EXPECT_TRUE(f.state().store.wayPoints.isEmpty());
    EXPECT_TRUE(f.dialogs.shown.empty());

    f.zoom("mnuX400");
    for (MapMode mode : {MapMode::Uncalibrated, MapMode::FirstClick}) {
        f.window->setMapMode(mode);
        const int before = f.window->hScroll()->value();
        QTest::mousePress(f.view, Qt::RightButton, {}, QPoint(300, 200));
        QMouseEvent move(QEvent::MouseMove, QPointF(200, 200), f.view->mapToGlobal(QPointF(200, 200)), Qt::NoButton,
                         Qt::RightButton, {});
        QApplication::sendEvent(f.view, &move);
        QTest::mouseRelease(f.view, Qt::RightButton, {}, QPoint(200, 200));
        EXPECT_GT(f.window->hScroll()->value(), before);
        EXPECT_EQ(f.state().mapMode, mode); // a drag is no reference click
    }
}

// The wheel scrolls (Shift: across), Ctrl+wheel zooms in the program's steps about the mouse,
// and a left drag with no editing mode pans.
TEST(PointEditingUi, WheelAndLeftDragNavigation)
{
    EditingFixture f;
    f.zoom("mnuX200");
    auto wheel = [&](QPoint at, QPoint angle, Qt::KeyboardModifiers mods) {
        QWheelEvent e(at, f.view->mapToGlobal(at), QPoint(), angle, Qt::NoButton, mods, Qt::NoScrollPhase, false);
        QApplication::sendEvent(f.view, &e);
    };
    const int h0 = f.window->hScroll()->value(), v0 = f.window->vScroll()->value();
    wheel({300, 200}, {0, -120}, Qt::NoModifier);
    EXPECT_GT(f.window->vScroll()->value(), v0);
    EXPECT_EQ(f.window->hScroll()->value(), h0);
    wheel({300, 200}, {0, -120}, Qt::ShiftModifier);
    EXPECT_GT(f.window->hScroll()->value(), h0);

    const QPointF before = f.view->viewWindow().screenToMap(QPointF(300, 200));
    wheel({300, 200}, {0, 120}, Qt::ControlModifier);
    EXPECT_EQ(f.window->panel(4)->text(), "225%"); // one step of Zoom +
    const QPointF after = f.view->viewWindow().mapToScreen().map(before);
    EXPECT_NEAR(after.x(), 300, 2);
    EXPECT_NEAR(after.y(), 200, 2);

    const int h1 = f.window->hScroll()->value();
    f.drag(f.view->viewWindow().screenToMap(QPointF(300, 200)).x(), f.view->viewWindow().screenToMap(QPointF(300, 200)).y(),
           f.view->viewWindow().screenToMap(QPointF(200, 200)).x(), f.view->viewWindow().screenToMap(QPointF(200, 200)).y());
    EXPECT_GT(f.window->hScroll()->value(), h1);
}
