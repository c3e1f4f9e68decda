// The analysis windows. The points list: its keys and clicks and what they open in the point
// dialog. The altitude profile and track statistics: what they show, the messages shown instead
// of them, and the drawing that follows the window's size. The texts and figures themselves are
// tested in tests/analysis.
#include "MainWindowFixture.h"

#include "analysis/ui/frmAlt.h"
#include "analysis/ui/frmStat.h"
#include "analysis/ui/frmVis.h"
#include "edit/ui/frmWayPoint.h"

#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QListView>
#include <QTest>

using namespace gipso;
using namespace gipso::test;

namespace {

// Three RoutePoints and the window on them; every point dialog it opens is handed to `form`.
struct VisFixture {
    AppState state;
    ScriptedDialogs dialogs;
    std::function<void(frmWayPoint &)> form;
    QStringList titles; // of every point dialog shown
    std::unique_ptr<frmVis> vis;

    VisFixture()
    {
        setLanguage(kEnglish);
        for (int i = 1; i <= 3; ++i)
            state.store.routePoints.append(makePoint(PointKind::Route, QStringLiteral("R%1").arg(i), 45 + i, 7));
        dialogs.onExec = [this](QDialog &d) {
            auto &w = dynamic_cast<frmWayPoint &>(d);
            titles << w.windowTitle();
            w.show();
            if (form)
                form(w);
            return w.isVisible() ? (w.close(), int(QDialog::Rejected)) : w.result();
        };
        vis = std::make_unique<frmVis>(state, dialogs, PointKind::Route);
        vis->show();
        QApplication::processEvents();
    }
    int row() const { return vis->txtElenco->currentIndex().row(); }
    int lines() const { return vis->txtElenco->model()->rowCount(); }
    QString line(int i) const { return vis->txtElenco->model()->index(i, 0).data().toString(); }
    void key(Qt::Key k, Qt::KeyboardModifiers m = {}) { QTest::keyClick(vis->txtElenco, k, m); }
};

// A kilometre north in ten minutes, from 100 m to 160 m.
void addKilometre(PointList &tp)
{
    tp.append(makePoint(PointKind::Track, {}, 45, 7, 100, at(2026, 12, 7, 10, 0, 0)));
    tp.append(makePoint(PointKind::Track, {}, 45 + 1000.0 / 6366707.0 * 180.0 / M_PI, 7, 160, at(2026, 12, 7, 10, 10, 0)));
}

} // namespace

TEST(VisUi, ShowsTheListInAFixedFontAndCopiesTheLinesSelected)
{
    VisFixture f;
    const QFontMetrics fm(f.vis->txtElenco->font());
    EXPECT_EQ(fm.horizontalAdvance("iiii"), fm.horizontalAdvance("WWWW"));
    EXPECT_TRUE(f.vis->cmdOK->isDefault());
    EXPECT_EQ(f.lines(), 9);
    EXPECT_TRUE(f.row() == 4 && f.line(4).startsWith("R1 ")); // the caret on the first point
    EXPECT_EQ(f.vis->Label1->text(), "N\u00b0 3 RoutePoints.");
    f.key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(f.vis->selectedText(), f.line(4) + "\n" + f.line(5) + "\n");
    f.key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), f.vis->selectedText());
    f.key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(f.vis->selectedText(), f.vis->listText().text("\n"));
}

TEST(VisUi, DeleteAsksOnPointLinesOnlyAndRebuilds)
{
    VisFixture f;
    f.key(Qt::Key_Down); // a leg line: nothing to delete
    f.key(Qt::Key_Delete);
    EXPECT_TRUE(f.dialogs.shown.empty());
    f.key(Qt::Key_Down);
    f.dialogs.answers = {Dialogs::Answer::Ok};
    f.key(Qt::Key_Delete);
    EXPECT_EQ(f.dialogs.lastText(), "Delete selected RoutePoint?");
    EXPECT_TRUE(f.titles.isEmpty()); // the delete mode shows no point dialog
    EXPECT_EQ(f.state.store.routePoints.count(), 2);
    EXPECT_EQ(f.vis->Label1->text(), "N\u00b0 2 RoutePoints.");
    EXPECT_TRUE(f.row() == 6 && f.line(6).startsWith("R3 ")); // the caret stays on its line, now the next point's
}

TEST(VisUi, EnterAndDoubleClickEditThePointOfTheLine)
{
    VisFixture f;
    QString seen;
    f.form = [&](frmWayPoint &w) {
        seen = QStringLiteral("%1 %2 %3").arg(f.state.selection.selectedRoutePoint).arg(f.state.selection.savedRoutePoint.name)
                   .arg(w.cmdElimina->isVisible() && w.cmdNext->isVisible());
        w.txtNome->setText("NEW");
        w.cmdOK->click();
    };
    f.key(Qt::Key_Down);
    f.key(Qt::Key_Down);
    f.key(Qt::Key_Return);
    EXPECT_EQ(f.titles, QStringList("RoutePoint"));
    EXPECT_EQ(seen, "2 R2 1");
    EXPECT_TRUE(f.line(6).startsWith("NEW ") && f.vis->isVisible()); // Enter edits; it does not press OK
    // A double-click opens the point clicked; >> in the dialog leaves the caret on the point it reached.
    f.form = [](frmWayPoint &w) { w.cmdNext->click(); };
    QWidget *list = f.vis->txtElenco->viewport();
    const QPoint at = f.vis->txtElenco->visualRect(f.vis->txtElenco->model()->index(4, 0)).center();
    QTest::mouseClick(list, Qt::LeftButton, {}, at); // a widget's double click comes after a press
    QTest::mouseDClick(list, Qt::LeftButton, {}, at);
    EXPECT_TRUE(f.titles.size() == 2 && f.row() == 6);
    EXPECT_EQ(f.state.store.routePoints[1].name, "R1"); // closed without OK: unchanged
}

TEST(VisUi, DeletingTheLastPointEndsTheModifyModeOfTheWindow)
{
    MainWindowFixture w;
    w.state().store.trackPoints.append(makePoint(PointKind::Track, {}, 45, 7));
    w.window->updateMenuForCounts("mnuTrack");
    w.window->action("mnuEditT")->trigger();
    ASSERT_TRUE(w.window->action("mnuEditT")->isChecked());
    QString shown;
    w.dialogs.answers = {Dialogs::Answer::Ok};
    w.dialogs.onExec = [&](QDialog &d) {
        auto &vis = dynamic_cast<frmVis &>(d);
        vis.show();
        QTest::keyClick(vis.txtElenco, Qt::Key_Delete);
        shown = vis.windowTitle() + ": " + vis.Label1->text();
        return int(QDialog::Accepted);
    };
    w.window->action("mnuVist")->trigger();
    EXPECT_EQ(shown, "TrackPoint List: N\u00b0 0 TrackPoints.");
    EXPECT_FALSE(w.window->action("mnuEditT")->isChecked());
}

// Each window shows its figures, or only the message of the library with its icon: a
// profile's error is critical, a flat one and the statistics' time steps are plain notices.
TEST(AltStat, WindowsOrTheirMessages)
{
    MainWindowFixture f;
    QStringList opened;
    f.dialogs.onExec = [&](QDialog &d) {
        if (auto *stat = qobject_cast<frmStat *>(&d))
            opened << stat->label(8)->text() + " in " + stat->Vel->findChild<QLabel *>("Label26")->text();
        if (auto *alt = qobject_cast<frmAlt *>(&d))
            opened << d.windowTitle() + ": " + alt->Label2->text();
        return int(QDialog::Accepted);
    };
    PointStore &s = f.state().store;
    addKilometre(s.trackPoints);
    f.window->showStatistics();
    f.window->showProfile("3", msg::TrackProfileCaption);
    f.window->showProfile("1", msg::TrackProfileCaption); // no profile of WayPoints
    s.trackPoints[2].time = s.trackPoints[1].time;
    s.routePoints.append(makePoint(PointKind::Route, "A", 45, 7, 80));
    s.routePoints.append(makePoint(PointKind::Route, "B", 95, 7, 80));
    f.window->showStatistics();
    f.window->showProfile("2", msg::RouteProfileCaption);
    s.routePoints[2].latitude = 46;
    f.window->showProfile("2", msg::RouteProfileCaption);
    EXPECT_EQ(opened, QStringList({"1.000 km in 0.1 m/s", "Track Altitude Profile: Track length: 1.000 km"}));
    QStringList shown;
    for (const auto &m : f.dialogs.shown)
        shown << m.text + (m.icon == Dialogs::Icon::Critical ? " (critical)" : "");
    EXPECT_EQ(shown, QStringList({"Error: negative or null time steps!!!", "ERROR N° 5 - Invalid procedure call or argument (critical)",
                                  "All points altitude is 80.0 m"}));
}

TEST(AltStat, ProfileFollowsTheWindowSize)
{
    AppState st;
    addKilometre(st.store.trackPoints);
    ScriptedDialogs dialogs;
    frmAlt form(st, dialogs);
    ASSERT_TRUE(form.activate("3"));
    for (int width : {500, 900}) {
        form.resize(width, 500);
        form.show();
        QCoreApplication::processEvents();
        // The right margin line of the grid lies near the right side of the drawing.
        const QImage image = form.picAlt->grab().toImage();
        int x = image.width() - 1;
        while (x > 0 && (image.pixel(x, image.height() / 2) & 0xffffff) != 0)
            --x;
        EXPECT_GE(x, image.width() - 30) << width;
    }
}
