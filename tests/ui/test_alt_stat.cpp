// The altitude profile and track statistics windows: what they show, the messages shown instead
// of them, and the drawing that follows the window's size.
#include "MainWindowFixture.h"

#include "analysis/ui/frmAlt.h"
#include "analysis/ui/frmStat.h"

#include <QCoreApplication>
#include <QGroupBox>

using namespace gipso;
using namespace gipso::test;

namespace {
// A kilometre north in ten minutes, from 100 m to 160 m.
void addKilometre(PointList &tp)
{
    tp.append(makePoint(PointKind::Track, {}, 45, 7, 100, at(2026, 12, 7, 10, 0, 0)));
    tp.append(makePoint(PointKind::Track, {}, 45 + 1000.0 / 6366707.0 * 180.0 / M_PI, 7, 160, at(2026, 12, 7, 10, 10, 0)));
}
} // namespace

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
    EXPECT_EQ(opened, QStringList({"1.000 km in 0.1 m/s", "Track Altitude Profile: Track length: 1.000 km"}));

    // The same time twice inside the track; RoutePoints at one altitude; a latitude of 95.
    s.trackPoints[2].time = s.trackPoints[1].time;
    s.routePoints.append(makePoint(PointKind::Route, "A", 45, 7, 80));
    s.routePoints.append(makePoint(PointKind::Route, "B", 46, 7, 80));
    f.window->showStatistics();
    f.window->showProfile("2", msg::RouteProfileCaption);
    s.routePoints[2].latitude = 95;
    f.window->showProfile("2", msg::RouteProfileCaption);
    EXPECT_EQ(opened.size(), 2);
    ASSERT_EQ(f.dialogs.shown.size(), 3u);
    EXPECT_EQ(QStringList({f.dialogs.shown[0].text, f.dialogs.shown[1].text, f.dialogs.shown[2].text}),
              QStringList({"Error: negative or null time steps!!!", "All points altitude is 80.0 m",
                           "ERROR N° 5 - Invalid procedure call or argument"}));
    EXPECT_EQ(f.dialogs.shown[2].icon, Dialogs::Icon::Critical);
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
