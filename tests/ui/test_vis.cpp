// The points list window: what it shows, and what its keys and clicks open in the point dialog.
#include "MainWindowFixture.h"

#include "analysis/ui/frmVis.h"
#include "edit/ui/frmWayPoint.h"

#include <QApplication>
#include <QClipboard>
#include <QListView>
#include <QLocale>
#include <QTest>

using namespace gipso;
using namespace gipso::test;

namespace {

// A state with three RoutePoints and the window on them; the point dialogs it opens are
// handed to `form` in turn.
struct VisFixture {
    AppState state;
    ScriptedDialogs dialogs;
    std::vector<std::function<void(frmWayPoint &)>> forms;
    QStringList titles; // of every point dialog shown
    std::unique_ptr<frmVis> vis;

    explicit VisFixture(PointKind kind = PointKind::Route, int points = 3)
    {
        setLanguage(kEnglish);
        for (int i = 1; i <= points; ++i)
            state.store.list(kind).append(makePoint(kind, QStringLiteral("R%1").arg(i), 45 + i, 7));
        dialogs.onExec = [this](QDialog &d) {
            auto &form = dynamic_cast<frmWayPoint &>(d);
            titles << form.windowTitle();
            form.show();
            if (!forms.empty()) {
                auto act = forms.front();
                forms.erase(forms.begin());
                act(form);
            }
            return form.isVisible() ? (form.close(), int(QDialog::Rejected)) : form.result();
        };
        vis = std::make_unique<frmVis>(state, dialogs, kind);
        vis->show();
        QApplication::processEvents();
    }
    int row() const { return vis->txtElenco->currentIndex().row(); }
    int lines() const { return vis->txtElenco->model()->rowCount(); }
    QString line(int i) const { return vis->txtElenco->model()->index(i, 0).data().toString(); }
    void key(Qt::Key k, Qt::KeyboardModifiers m = {}) { QTest::keyClick(vis->txtElenco, k, m); }
    void doubleClick(int line)
    {
        QListView *v = vis->txtElenco;
        const QPoint at = v->visualRect(v->model()->index(line, 0)).center();
        QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, at); // a widget's double click comes after a press
        QTest::mouseDClick(v->viewport(), Qt::LeftButton, {}, at);
    }
};

} // namespace

TEST(VisUi, ShowsTheListInAFixedFontWithTheCaretOnTheFirstPoint)
{
    VisFixture f;
    EXPECT_EQ(f.vis->windowTitle(), "Points View");
    const QFontMetrics fm(f.vis->txtElenco->font());
    EXPECT_EQ(fm.horizontalAdvance("iiii"), fm.horizontalAdvance("WWWW")); // a monospaced font
    EXPECT_EQ(f.lines(), 9);
    EXPECT_EQ(f.line(4), "R1      46.00000000    7.00000000      0.0 30/12/1899 00:00:00 ");
    EXPECT_EQ(QStringList({f.vis->Label1->text(), f.vis->Label2->text(), f.vis->Label3->text()}),
              QStringList({"N\u00b0 3 RoutePoints.", "Route length: 222.240 km", "Orthodrome total length: 222.240 km"}));
    EXPECT_TRUE(f.vis->cmdOK->isEnabled() && f.vis->cmdOK->isDefault());
    EXPECT_EQ(f.row(), 4);
    EXPECT_EQ(f.vis->selectedText(), f.line(4) + "\n");

    // On screen the regional separators.
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    f.vis->build();
    EXPECT_EQ(f.line(4), "R1      46,00000000    7,00000000      0,0 30.12.1899 00:00:00 ");
    QLocale::setDefault(saved);
}

TEST(VisUi, DeleteAsksOnPointLinesOnlyAndRebuilds)
{
    VisFixture f;
    f.key(Qt::Key_Down); // a leg line: nothing to delete
    EXPECT_EQ(f.row(), 5);
    EXPECT_EQ(f.vis->selectedText(), f.line(5) + "\n");
    f.key(Qt::Key_Delete);
    EXPECT_TRUE(f.dialogs.shown.empty());

    f.key(Qt::Key_Down);
    f.dialogs.answers = {Dialogs::Answer::Cancel};
    f.key(Qt::Key_Delete);
    ASSERT_EQ(f.dialogs.shown.size(), 1u);
    EXPECT_EQ(f.dialogs.lastText(), "Delete selected RoutePoint?");
    EXPECT_EQ(f.dialogs.shown[0].defaultButton, Dialogs::Answer::Cancel);
    EXPECT_EQ(f.state.store.routePoints.count(), 3);
    EXPECT_EQ(f.lines(), 9);
    EXPECT_TRUE(f.titles.isEmpty()); // the delete mode shows no dialog

    f.dialogs.answers = {Dialogs::Answer::Ok};
    f.key(Qt::Key_Delete);
    ASSERT_EQ(f.state.store.routePoints.count(), 2);
    EXPECT_EQ(f.state.store.routePoints[2].name, "R3");
    EXPECT_EQ(f.lines(), 7);
    EXPECT_EQ(f.vis->Label1->text(), "N\u00b0 2 RoutePoints.");
    EXPECT_EQ(f.row(), 6); // the caret stays on its line, now the next point's
    EXPECT_TRUE(f.line(6).startsWith("R3 "));
    EXPECT_EQ(f.state.selection.selectedRoutePoint, 0);
    EXPECT_TRUE(f.state.history.canUndo());
}

TEST(VisUi, EnterAndDoubleClickEditThePointOfTheLine)
{
    VisFixture f;
    int32_t selected = 0;
    GpsPoint saved;
    bool deleteShown = false;
    f.forms = {[&](frmWayPoint &w) {
        selected = f.state.selection.selectedRoutePoint;
        saved = f.state.selection.savedRoutePoint;
        deleteShown = w.cmdElimina->isVisible() && w.cmdNext->isVisible();
        w.txtNome->setText("NEW");
        w.cmdOK->click();
    }};
    f.key(Qt::Key_Down);
    f.key(Qt::Key_Down);
    f.key(Qt::Key_Return);
    EXPECT_EQ(f.titles, QStringList("RoutePoint"));
    EXPECT_EQ(selected, 2);
    EXPECT_EQ(saved.name, "R2");
    EXPECT_TRUE(deleteShown);
    EXPECT_EQ(f.state.store.routePoints[2].name, "NEW");
    EXPECT_TRUE(f.line(6).startsWith("NEW "));
    EXPECT_EQ(f.state.selection.selectedRoutePoint, 0);
    EXPECT_TRUE(f.vis->isVisible()); // Enter edits; it does not press the window's OK

    // Heading and leg lines open nothing; a double-click opens the point clicked, and >> in the
    // dialog leaves the caret on the point it reached.
    f.key(Qt::Key_Home);
    f.key(Qt::Key_Return);
    f.doubleClick(7);
    EXPECT_EQ(f.titles.size(), 1);
    f.forms = {[](frmWayPoint &w) { w.cmdNext->click(); }};
    f.doubleClick(4);
    EXPECT_EQ(f.titles.size(), 2);
    EXPECT_EQ(f.row(), 6);
    EXPECT_EQ(f.state.store.routePoints[1].name, "R1"); // closed without OK: unchanged
}

TEST(VisUi, CopyGivesTheLinesSelected)
{
    VisFixture f(PointKind::Track, 3);
    f.key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(f.vis->selectedText(), f.line(4) + "\n" + f.line(5) + "\n");
    f.key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), f.vis->selectedText());
    f.key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(f.vis->selectedText(), f.vis->listText().text("\n"));
    EXPECT_TRUE(f.vis->selectedText().startsWith("TrackPoints List. \n\nNAME "));
}

TEST(VisUi, DeletingTheLastPointEndsTheModifyModeOfTheWindow)
{
    MainWindowFixture w;
    w.state().store.trackPoints.append(makePoint(PointKind::Track, {}, 45, 7));
    w.window->updateMenuForCounts("mnuTrack");
    w.window->action("mnuEditT")->trigger();
    ASSERT_TRUE(w.window->action("mnuEditT")->isChecked());
    QString title;
    QString label;
    w.dialogs.answers = {Dialogs::Answer::Ok};
    w.dialogs.onExec = [&](QDialog &d) {
        auto &vis = dynamic_cast<frmVis &>(d);
        title = vis.windowTitle();
        vis.show();
        QTest::keyClick(vis.txtElenco, Qt::Key_Delete);
        label = vis.Label1->text();
        return int(QDialog::Accepted);
    };
    w.window->action("mnuVist")->trigger();
    EXPECT_EQ(title, "TrackPoint List");
    EXPECT_EQ(label, "N\u00b0 0 TrackPoints.");
    EXPECT_TRUE(w.state().store.trackPoints.isEmpty());
    EXPECT_FALSE(w.window->action("mnuEditT")->isChecked());
}
