#include "MainWindowFixture.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>

using namespace gipso;
using namespace gipso::test;

namespace {
GpsPoint point(PointKind kind, const QString &name = {}) { return makePoint(kind, name, 45, 9); }
} // namespace

// The window applies the menu state as the map changes and as a menu drops down (the rules: tests/state).
TEST(MainWindow, MenusFollowTheMapStateAndTheCounts)
{
    MainWindowFixture f;
    EXPECT_FALSE(f.menuEnabled("mnuVista") || f.menuEnabled("mnuTrack") || f.window->panel(4)->isEnabled());
    f.window->setMapMode(MapMode::Calibrated);
    EXPECT_TRUE(f.menuEnabled("mnuVista") && f.menuEnabled("mnuTrack") && f.window->panel(4)->isEnabled());
    f.state().store.trackPoints.append(point(PointKind::Track));
    emit f.window->menu("mnuTrack")->aboutToShow();
    EXPECT_TRUE(f.enabled("mnuVist") && !f.enabled("mnuStatt"));
}

TEST(MainWindow, RecentMapEntries)
{
    EXPECT_EQ(recentMapCaption(1, QString(36, 'a')), "&1 " + QString(36, 'a'));
    EXPECT_EQ(recentMapCaption(2, "/abcdef/0123456789/0123456789/map.cal"), // 37 characters
              "&2 /ab.../0123456789/0123456789/map.cal");
    MainWindowFixture f;
    QAction *sep = f.window->menu("mnuFile")->findChild<QAction *>("mnuSepLastMap");
    auto shown = [&] {
        f.window->refreshMenus();
        QString out = sep->isVisible() ? "|" : "";
        for (int k = 1; k <= 3; ++k) {
            const QAction *a = f.window->action(QString("mnuLastMap%1").arg(k));
            out += a->isVisible() ? a->text() : "-";
        }
        return out;
    };
    f.state().settings.LastMap2 = "/maps/b.Gipso";
    EXPECT_EQ(shown(), "-&2 /maps/b.Gipso-"); // the separator goes with the first entry
    f.state().settings.LastMap1 = "/maps/a.cal";
    EXPECT_EQ(shown(), "|&1 /maps/a.cal&2 /maps/b.Gipso-");
}

TEST(MainWindow, LanguageSwitchRecaptions)
{
    setLanguage(kItalian);
    MainWindowFixture f(2057);
    EXPECT_EQ(f.window->action("mnuApri")->text(), "Open &Map"); // the configured language, applied at start-up
    QAction *it = f.window->findChild<QAction *>("mnuLangList1"), *en = f.window->findChild<QAction *>("mnuLangList2");
    ASSERT_TRUE(it && en);
    EXPECT_FALSE(f.window->findChild<QAction *>("mnuLangList0")->isVisible()); // the template entry
    EXPECT_EQ(it->text(), "Italiano");
    en->trigger(); // the checked entry stays checked
    EXPECT_EQ(QList<bool>({en->isChecked(), it->isChecked()}), QList<bool>({true, false}));
    it->trigger();
    EXPECT_EQ(currentLanguage(), 1040);
    EXPECT_EQ(QList<bool>({en->isChecked(), it->isChecked()}), QList<bool>({false, true}));
    EXPECT_EQ(QStringList({f.window->action("mnuApri")->text(), f.window->menu("mnuVista")->title(), f.window->panel(5)->text()}),
              QStringList({"&Apri Mappa", "&Vista", "CREA"}));
}

TEST(MainWindow, ListCommandsAskAndAct)
{
    MainWindowFixture f;
    auto &s = f.state().store;
    for (PointKind kind : {PointKind::Way, PointKind::Route})
        for (const char *n : {"A", "B"})
            s.list(kind).append(point(kind, n));
    // {command, answer, its question, WayPoints left, modified}: Cancel is the default and keeps everything.
    const struct { std::function<void()> command; Dialogs::Answer answer; const char *question; int way; bool modified; } rows[] = {
        {[&] { f.window->deleteAll(PointKind::Way); }, Dialogs::Answer::Cancel, "Delete all WayPoints?", 2, false},
        {[&] { f.window->deleteLast(PointKind::Way); }, Dialogs::Answer::Ok, "Delete last WayPoint?", 1, true},
        {[&] { f.window->reverse(PointKind::Route); }, Dialogs::Answer::Ok, "Dates and Times will be overwritten. Proceed?", 1, true}};
    for (const auto &r : rows) {
        s.pointsModified = false;
        f.dialogs.answers = {r.answer};
        r.command();
        EXPECT_EQ(f.dialogs.shown.back().text, r.question);
        EXPECT_TRUE(f.dialogs.shown.back().buttons == Dialogs::Buttons::OkCancel && f.dialogs.shown.back().defaultButton == Dialogs::Answer::Cancel);
        EXPECT_EQ(std::pair(s.wayPoints.count(), s.pointsModified), std::pair(r.way, r.modified)) << r.question;
    }
    EXPECT_EQ(s.routePoints[1].name, "B"); // reversed (the new dates: tests/points)
}

TEST(MainWindow, EditingModesAreExclusive)
{
    MainWindowFixture f;
    f.window->setMapMode(MapMode::Calibrated);
    // {entry triggered, mode checked then}: a second trigger unchecks, typing points in ends
    // dynamic creation; the CREATE panel follows.
    const struct { const char *entry, *checked; } rows[] = {
        {"mnuCreaWayP", "mnuCreaWayP"}, {"mnuEditR", "mnuEditR"}, {"mnuEditR", ""}, {"mnuCreaR", "mnuCreaR"}, {"mnuInsR", ""}};
    for (const auto &r : rows) {
        f.window->action(r.entry)->trigger();
        EXPECT_EQ(f.window->checkedMode(), r.checked) << r.entry;
        EXPECT_EQ(f.window->panel(5)->isEnabled(), QString(r.checked).startsWith("mnuCrea")) << r.entry;
    }
}

TEST(MainWindow, ClosingQuestions)
{
    {
        MainWindowFixture f;
        f.state().store.pointsModified = true; // only empty lists: "Save points?" is never asked
        EXPECT_TRUE(f.window->close());
        EXPECT_TRUE(f.dialogs.shown.empty());
    }
    MainWindowFixture f;
    auto &s = f.state().store;
    s.mapModified = s.pointsModified = true;
    s.wayPoints.append(point(PointKind::Way, "A"));
    // An unsaved calibration and Cancel: the window stays, nothing else is asked or written.
    f.dialogs.answers = {Dialogs::Answer::Cancel};
    EXPECT_FALSE(f.window->close());
    ASSERT_EQ(f.dialogs.shown.size(), 1u);
    EXPECT_EQ(f.dialogs.shown[0].text, "Save calibrated map?");
    EXPECT_EQ(f.dialogs.shown[0].buttons, Dialogs::Buttons::YesNoCancel);
    EXPECT_FALSE(QFileInfo::exists(f.env.configFile));

    // No to the map, then Yes to the points with the file dialog cancelled: still open.
    f.dialogs.answers = {Dialogs::Answer::No, Dialogs::Answer::Yes};
    EXPECT_FALSE(f.window->close());
    EXPECT_EQ(f.dialogs.lastText(), "Save points?");
    EXPECT_FALSE(s.mapModified);

    // An export that fails keeps the window open and the points unsaved.
    f.dialogs.answers = {Dialogs::Answer::Yes};
    f.dialogs.files = {f.dir.filePath("no/such/folder/x.gpx")};
    EXPECT_FALSE(f.window->close());
    EXPECT_TRUE(f.dialogs.lastText().startsWith("ERROR N° ")) << f.dialogs.lastText().toStdString();
    EXPECT_EQ(f.dialogs.shown.back().icon, Dialogs::Icon::Critical);
    EXPECT_TRUE(s.pointsModified);

    // Yes with a file: the points are exported and the window closes.
    const QString out = f.dir.filePath("exit.txt");
    f.dialogs.answers = {Dialogs::Answer::Yes};
    f.dialogs.files = {out};
    EXPECT_TRUE(f.window->close());
    EXPECT_TRUE(QFileInfo::exists(out));
    EXPECT_FALSE(s.pointsModified);
    EXPECT_TRUE(QFileInfo::exists(f.env.configFile));
}

TEST(MainWindow, ImportCommandShowsInvalidFile)
{
    MainWindowFixture f;
    f.window->setMapMode(MapMode::Calibrated);
    const QString bad = f.dir.filePath("empty.txt"), good = f.dir.filePath("one.txt");
    writeAll(bad, "Gipso 2.6 - header only\r\n\r\n\r\n");
    writeAll(good, "TP, 45.0, 9.0, 100, 01/02/2003, 04:05:06, new\r\n");
    f.dialogs.files = {bad, good};
    EXPECT_FALSE(f.window->importPoints());
    EXPECT_EQ(f.dialogs.lastText(), "Invalid points file!\n\n" + bad + ": no WayPoint, RoutePoint or TrackPoint found");

    EXPECT_TRUE(f.window->importPoints());
    EXPECT_EQ(f.state().store.trackPoints.count(), 1);
    EXPECT_FALSE(f.state().store.pointsModified); // importing leaves the flag alone
    EXPECT_EQ(f.state().currentPointFile, good);
}

TEST(MainWindow, GeometryIsSavedAtExit)
{
    { // A first start, without a stored size: three quarters of the screen in its middle.
        MainWindowFixture f;
        ASSERT_EQ(QGuiApplication::primaryScreen()->availableGeometry(), QRect(0, 0, 800, 800)); // the offscreen screen
        EXPECT_EQ(QRect(f.window->frameGeometry().topLeft(), f.window->size()), QRect(92, 99, 615, 600)); // as wide as the window may be at least
    }
    int32_t w = 9000, h = 5015;
    applyMinimumSize(w, h);
    EXPECT_EQ(QList<int>({w, h}), QList<int>({9000, 5115})); // the height first
    applyMinimumSize(w, h);
    EXPECT_EQ(w, 9225);
    {
        MainWindowFixture f(2057, "[User tester]\r\nWindowLeft=1500\r\nWindowTop=1500\r\nWindowWidth=12000\r\nWindowHeight=9000\r\n");
        EXPECT_EQ(f.window->width(), 800); // twips on the offscreen screen's 96 dpi
        f.window->resize(f.window->width() + 15, f.window->height());
        f.window->close();
        const QByteArray cfg = readAll(f.env.configFile);
        EXPECT_TRUE(cfg.contains("WindowWidth=12225\r\n") && cfg.contains("WindowMax=0\r\n")) << cfg.constData();
    }
    // A folder where Gipso.cfg should be: the window says so and leaves it as it is.
    MainWindowFixture f;
    QFile::remove(f.env.configFile);
    ASSERT_TRUE(QDir().mkdir(f.env.configFile));
    EXPECT_TRUE(f.window->close());
    EXPECT_EQ(f.dialogs.lastText(), QStringLiteral("The settings could not be saved in %1: not a regular file, left as it is")
                                        .arg(f.env.configFile));
    EXPECT_TRUE(QFileInfo(f.env.configFile).isDir());
}
