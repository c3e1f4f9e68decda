// The altitude profile and track statistics windows: what they show, the messages instead of a
// window, and the drawing that follows the window's size.
#include "MainWindowFixture.h"

#include "analysis/ui/frmAlt.h"
#include "analysis/ui/frmStat.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QLocale>

using namespace gipso;
using namespace gipso::test;

namespace {

const double kKm = 1000.0 / 6366707.0 * 180.0 / M_PI; // one kilometre due north

// A kilometre in ten minutes from 100 m to 160 m.
void addKilometre(AppState &st)
{
    st.store.trackPoints.append(makePoint(PointKind::Track, {}, 45, 7, 100, at(2026, 12, 7, 10, 0, 0)));
    st.store.trackPoints.append(makePoint(PointKind::Track, {}, 45 + kKm, 7, 160, at(2026, 12, 7, 10, 10, 0)));
}

// The first column (from the right) of the image that holds a black pixel in row y.
int lastBlackColumn(const QImage &image, int y)
{
    for (int x = image.width() - 1; x >= 0; --x)
        if ((image.pixel(x, y) & 0xffffff) == 0)
            return x;
    return -1;
}

} // namespace

TEST(AltStat, StatisticsFillTheValueLabelsInTheRegionalFormat)
{
    setLanguage(kItalian);
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    AppState st;
    addKilometre(st);
    ScriptedDialogs dialogs;
    frmStat form(st, dialogs);
    EXPECT_EQ(form.windowTitle(), "Statistiche Percorso");
    ASSERT_TRUE(form.activate());
    const std::vector<std::pair<int, QString>> shown = {
        {1, "Data e ora di inizio:"}, {4, " 07/12/2026 10:00:00"}, {6, "00:10:00"}, {7, "Lunghezza percorso:"},
        {8, "1,000 km"},              {16, "60,0 m"},              {18, "6,000 km/h"}, {25, "Vel. asc. max:"},
        {26, "0,1 m/s"},
    };
    for (const auto &[n, text] : shown)
        EXPECT_EQ(form.label(n)->text(), text) << n;
    EXPECT_EQ(form.Vel->findChild<QLabel *>("Label26"), form.label(26));
    EXPECT_EQ(form.Tempi->title(), "Tempi");
    EXPECT_TRUE(dialogs.shown.empty());
    QLocale::setDefault(QLocale::c());
    setLanguage(kEnglish);
}

TEST(AltStat, MessagesInsteadOfTheWindows)
{
    MainWindowFixture f;
    setLanguage(kEnglish);
    QStringList opened;
    f.dialogs.onExec = [&](QDialog &d) {
        opened << d.windowTitle();
        return int(QDialog::Accepted);
    };
    AppState &st = f.state();
    addKilometre(st);
    f.window->showStatistics();
    f.window->showProfile("3", msg::TrackProfileCaption);
    f.window->showProfile("1", msg::TrackProfileCaption); // no profile of WayPoints
    EXPECT_EQ(opened, QStringList({"Track Statistics", "Track Altitude Profile"}));
    EXPECT_TRUE(f.dialogs.shown.empty());

    // The same time twice inside the track; every RoutePoint at one altitude; a latitude of 95.
    st.store.trackPoints[2].time = st.store.trackPoints[1].time;
    st.store.routePoints.append(makePoint(PointKind::Route, "A", 45, 7, 80));
    st.store.routePoints.append(makePoint(PointKind::Route, "B", 46, 7, 80));
    f.window->showStatistics();
    f.window->showProfile("2", msg::RouteProfileCaption);
    st.store.routePoints[2].latitude = 95;
    f.window->showProfile("2", msg::RouteProfileCaption);
    EXPECT_EQ(opened.size(), 2);
    ASSERT_EQ(f.dialogs.shown.size(), 3u);
    EXPECT_EQ(f.dialogs.shown[0].text, "Error: negative or null time steps!!!");
    EXPECT_EQ(f.dialogs.shown[1].text, "All points altitude is 80.0 m");
    EXPECT_EQ(f.dialogs.shown[2].text, "ERROR N° 5 - Invalid procedure call or argument");
    EXPECT_EQ(f.dialogs.shown[2].icon, Dialogs::Icon::Critical);
}

TEST(AltStat, ProfileFollowsTheWindowSize)
{
    setLanguage(kEnglish);
    AppState st;
    addKilometre(st);
    ScriptedDialogs dialogs;
    frmAlt form(st, dialogs);
    EXPECT_EQ(form.windowTitle(), "Altitude Profile");
    ASSERT_TRUE(form.activate("3"));
    EXPECT_EQ(form.Label1->text(), "H min: 100.0 m   H max: 160.0 m   Altitude Range: 60.0 m");
    EXPECT_EQ(form.Label2->text(), "Track length: 1.000 km");
    // The grid reaches the right side of the drawing at each size.
    for (int width : {500, 900}) {
        form.resize(width, 500);
        form.show();
        QCoreApplication::processEvents();
        const QImage image = form.picAlt->grab().toImage();
        EXPECT_GE(lastBlackColumn(image, image.height() / 2), image.width() - 30) << width;
    }
    form.hide();
}
