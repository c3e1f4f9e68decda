#include "MainWindowFixture.h"

#include "base/Messages.h"

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <gtest/gtest.h>

using namespace gipso;
using namespace gipso::test;

namespace {
GpsPoint point(PointKind kind, const QString &name = {}) { return makePoint(kind, name, 45, 9); }
} // namespace

TEST(MainWindow, MenusFollowTheMapState)
{
    MainWindowFixture f;
    auto check = [&](bool file, bool view, bool cal, bool points) {
        EXPECT_EQ(f.menuEnabled(QStringLiteral("mnuFile")), file);
        EXPECT_EQ(f.menuEnabled(QStringLiteral("mnuVista")), view);
        EXPECT_EQ(f.menuEnabled(QStringLiteral("mnuCalibra")), cal);
        for (const char *m : {"mnuWay", "mnuRoute", "mnuTrack"})
            EXPECT_EQ(f.menuEnabled(QLatin1String(m)), points) << m;
        EXPECT_EQ(f.window->panel(4)->isEnabled(), f.state().mapMode != MapMode::NoMap && f.state().mapMode != MapMode::Uncalibrated);
    };
    EXPECT_EQ(f.state().mapMode, MapMode::NoMap);
    check(true, false, false, false);
    f.window->setMapMode(MapMode::Uncalibrated);
    check(true, true, true, false);
    f.window->setMapMode(MapMode::Calibrated);
    check(true, true, true, true);
    for (MapMode m : {MapMode::FirstClick, MapMode::SecondClick}) {
        f.window->setMapMode(m);
        check(false, true, false, false);
    }
    f.window->setMapMode(MapMode::Calibrated);

    // File entries by map state and counts, evaluated when the menu drops down.
    f.window->setMapMode(MapMode::Uncalibrated);
    f.window->updateMenuForCounts(QStringLiteral("mnuFile"));
    EXPECT_FALSE(f.enabled(QStringLiteral("mnuSalva")));
    EXPECT_FALSE(f.enabled(QStringLiteral("mnuImporta")));
    EXPECT_FALSE(f.enabled(QStringLiteral("mnuEsporta")));
    f.window->setMapMode(MapMode::Calibrated);
    f.state().store.trackPoints.append(GpsPoint{});
    f.window->updateMenuForCounts(QStringLiteral("mnuFile"));
    EXPECT_TRUE(f.enabled(QStringLiteral("mnuSalva")));
    EXPECT_TRUE(f.enabled(QStringLiteral("mnuStampa")));
    EXPECT_TRUE(f.enabled(QStringLiteral("mnuEsporta")));
}

TEST(MainWindow, EntriesFollowTheCounts)
{
    MainWindowFixture f;
    f.window->setMapMode(MapMode::Calibrated);
    auto &s = f.state().store;
    // Each list's entries when it holds 0, 1 and 2 points: {entry, needs}.
    struct Menu {
        const char *menu;
        PointKind kind;
        std::vector<std::pair<const char *, int>> entries;
    };
    const Menu menus[] = {
        {"mnuWay", PointKind::Way, {{"mnuCancella", 1}, {"mnuCancellaLast", 1}, {"mnuUplw", 1}, {"mnuVisw", 1}, {"mnuEditW", 1},
                                    {"mnuCreaWayP", 0}, {"mnuDownw", 0}}},
        {"mnuRoute", PointKind::Route, {{"mnuCancellaR", 1}, {"mnuCancellaLastR", 1}, {"mnuVisr", 1}, {"mnuUplr", 1},
                                        {"mnuEditR", 1}, {"mnuInvertiR", 2}, {"mnuAltr", 2}, {"mnuCreaR", 0}, {"mnuInsR", 0}}},
        {"mnuTrack", PointKind::Track, {{"mnuCancellaT", 1}, {"mnuVist", 1}, {"mnuEditT", 1}, {"mnuInvertiT", 2},
                                        {"mnuAltt", 2}, {"mnuStatt", 2}, {"mnuNMEA", 0}, {"mnuDownt", 0}}},
    };
    for (const Menu &m : menus) {
        for (int n = 0; n <= 2; ++n) {
            f.window->updateMenuForCounts(QLatin1String(m.menu));
            for (const auto &[entry, needs] : m.entries)
                EXPECT_EQ(f.enabled(QLatin1String(entry)), n >= needs) << entry << " with " << n;
            s.list(m.kind).append(point(m.kind));
        }
    }
}

TEST(MainWindow, RecentMapEntries)
{
    EXPECT_EQ(recentMapCaption(1, QString(36, QLatin1Char('a'))), QStringLiteral("&1 ") + QString(36, QLatin1Char('a')));
    EXPECT_EQ(recentMapCaption(2, QStringLiteral("/abcdef/0123456789/0123456789/map.cal")), // 37 characters
              QStringLiteral("&2 /ab.../0123456789/0123456789/map.cal"));

    MainWindowFixture f;
    QAction *sep = f.window->menu(QStringLiteral("mnuFile"))->findChild<QAction *>(QStringLiteral("mnuSepLastMap"));
    ASSERT_TRUE(sep);
    f.state().settings.LastMap2 = QStringLiteral("/maps/b.Gipso");
    f.window->refreshMenus();
    EXPECT_FALSE(f.window->action(QStringLiteral("mnuLastMap1"))->isVisible());
    EXPECT_TRUE(f.window->action(QStringLiteral("mnuLastMap2"))->isVisible());
    EXPECT_FALSE(f.window->action(QStringLiteral("mnuLastMap3"))->isVisible());
    EXPECT_EQ(f.window->action(QStringLiteral("mnuLastMap2"))->text(), QStringLiteral("&2 /maps/b.Gipso"));
    EXPECT_FALSE(sep->isVisible()); // it goes with the first entry
    f.state().settings.LastMap1 = QStringLiteral("/maps/a.cal");
    f.window->refreshMenus();
    EXPECT_TRUE(sep->isVisible());
}

TEST(MainWindow, LanguageSwitchRecaptions)
{
    // The configuration chooses English; the window applies it at start-up.
    setLanguage(kItalian);
    MainWindowFixture f(2057);
    EXPECT_EQ(currentLanguage(), 2057);
    EXPECT_EQ(f.window->windowTitle(), QStringLiteral("Gipso"));
    EXPECT_EQ(f.window->action(QStringLiteral("mnuApri"))->text(), QStringLiteral("Open &Map"));
    EXPECT_EQ(f.window->menu(QStringLiteral("mnuRoute"))->title(), QStringLiteral("&RoutePoints"));
    EXPECT_EQ(f.window->menu(QStringLiteral("mnuHelp"))->title(), QStringLiteral("&?"));
    EXPECT_EQ(f.window->panel(5)->text(), QStringLiteral("CREATE"));
    QAction *it = f.window->findChild<QAction *>(QStringLiteral("mnuLangList1"));
    QAction *en = f.window->findChild<QAction *>(QStringLiteral("mnuLangList2"));
    QAction *templ = f.window->findChild<QAction *>(QStringLiteral("mnuLangList0"));
    ASSERT_TRUE(it && en && templ);
    EXPECT_EQ(it->text(), QStringLiteral("Italiano"));
    EXPECT_FALSE(templ->isVisible());
    EXPECT_TRUE(en->isChecked());
    EXPECT_FALSE(it->isChecked());

    en->trigger(); // the checked entry stays checked
    EXPECT_EQ(currentLanguage(), 2057);
    EXPECT_TRUE(en->isChecked());

    it->trigger();
    EXPECT_EQ(currentLanguage(), 1040);
    EXPECT_TRUE(it->isChecked());
    EXPECT_FALSE(en->isChecked());
    EXPECT_EQ(f.window->action(QStringLiteral("mnuApri"))->text(), QStringLiteral("&Apri Mappa"));
    EXPECT_EQ(f.window->menu(QStringLiteral("mnuVista"))->title(), QStringLiteral("&Vista"));
    EXPECT_EQ(f.window->panel(6)->text(), QStringLiteral("MODIFICA"));

    // The language in force at exit is written for this user.
    f.window->close();
    f.window.reset();
    EXPECT_TRUE(readAll(f.env.configFile).contains("[User tester]\r\nLanguage=1040\r\n"));
}

TEST(MainWindow, ListCommandsAskAndAct)
{
    MainWindowFixture f;
    f.window->setMapMode(MapMode::Calibrated);
    auto &s = f.state().store;
    s.wayPoints.append(point(PointKind::Way, QStringLiteral("A")));
    s.wayPoints.append(point(PointKind::Way, QStringLiteral("B")));
    f.window->action(QStringLiteral("mnuEditW"))->trigger();

    // Cancel (the default) keeps everything.
    f.window->deleteAll(PointKind::Way);
    ASSERT_EQ(f.dialogs.shown.size(), 1u);
    EXPECT_EQ(f.dialogs.shown[0].text, QStringLiteral("Delete all WayPoints?"));
    EXPECT_EQ(f.dialogs.shown[0].buttons, Dialogs::Buttons::OkCancel);
    EXPECT_EQ(f.dialogs.shown[0].defaultButton, Dialogs::Answer::Cancel);
    EXPECT_EQ(s.wayPoints.count(), 2);
    EXPECT_FALSE(s.pointsModified);

    f.dialogs.answers = {Dialogs::Answer::Ok, Dialogs::Answer::Ok};
    f.window->deleteLast(PointKind::Way);
    EXPECT_EQ(f.dialogs.lastText(), QStringLiteral("Delete last WayPoint?"));
    EXPECT_EQ(s.wayPoints.count(), 1);
    EXPECT_TRUE(s.pointsModified);
    EXPECT_EQ(f.window->checkedMode(), QStringLiteral("mnuEditW"));
    f.window->deleteLast(PointKind::Way);
    EXPECT_EQ(s.wayPoints.count(), 0);
    EXPECT_EQ(f.window->checkedMode(), QString()); // emptied: its Modify mode is unchecked
    EXPECT_FALSE(f.window->panel(6)->isEnabled());

    // Reverse asks its own question, in Italian too.
    for (const char *n : {"A", "B", "C"})
        s.routePoints.append(point(PointKind::Route, QLatin1String(n)));
    s.pointsModified = false;
    f.window->chooseLanguageEntry(1);
    f.dialogs.answers = {Dialogs::Answer::Ok};
    f.window->reverse(PointKind::Route);
    EXPECT_EQ(f.dialogs.lastText(), QStringLiteral("Data e ora saranno sovrascritte. Procedere?"));
    EXPECT_EQ(s.routePoints[1].name, QStringLiteral("C"));
    EXPECT_TRUE(s.pointsModified);
}

TEST(MainWindow, EditingModesAreExclusive)
{
    MainWindowFixture f;
    f.window->setMapMode(MapMode::Calibrated);
    QAction *creaW = f.window->action(QStringLiteral("mnuCreaWayP"));
    QAction *editR = f.window->action(QStringLiteral("mnuEditR"));
    creaW->trigger();
    EXPECT_TRUE(creaW->isChecked());
    EXPECT_TRUE(f.window->panel(5)->isEnabled());
    EXPECT_TRUE(f.window->panel(7)->isEnabled());
    EXPECT_FALSE(f.window->panel(8)->isEnabled());
    editR->trigger();
    EXPECT_FALSE(creaW->isChecked());
    EXPECT_FALSE(f.window->panel(5)->isEnabled());
    EXPECT_TRUE(f.window->panel(6)->isEnabled());
    EXPECT_TRUE(f.window->panel(8)->isEnabled());
    editR->trigger();
    EXPECT_EQ(f.window->checkedMode(), QString());
    for (int i = 5; i <= 9; ++i)
        EXPECT_FALSE(f.window->panel(i)->isEnabled()) << i;

    f.window->action(QStringLiteral("mnuCreaR"))->trigger();
    f.window->action(QStringLiteral("mnuInsR"))->trigger(); // typing points in ends dynamic creation
    EXPECT_EQ(f.window->checkedMode(), QString());
}

TEST(MainWindow, ClosingQuestions)
{
    {
        // An unsaved calibration and Cancel: the window stays and nothing else is asked.
        MainWindowFixture f;
        f.state().store.mapModified = true;
        f.state().store.pointsModified = true;
        f.state().store.wayPoints.append(point(PointKind::Way, QStringLiteral("A")));
        f.dialogs.answers = {Dialogs::Answer::Cancel};
        EXPECT_FALSE(f.window->close());
        ASSERT_EQ(f.dialogs.shown.size(), 1u);
        EXPECT_EQ(f.dialogs.shown[0].text, QStringLiteral("Save calibrated map?"));
        EXPECT_EQ(f.dialogs.shown[0].buttons, Dialogs::Buttons::YesNoCancel);
        EXPECT_FALSE(QFileInfo::exists(f.env.configFile));

        // No to the map, then Yes to the points with the file dialog cancelled: still open.
        f.dialogs.answers = {Dialogs::Answer::No, Dialogs::Answer::Yes};
        EXPECT_FALSE(f.window->close());
        EXPECT_EQ(f.dialogs.lastText(), QStringLiteral("Save points?"));
        EXPECT_FALSE(f.state().store.mapModified);

        // An export that fails keeps the window open and the points unsaved.
        f.dialogs.answers = {Dialogs::Answer::Yes};
        f.dialogs.files = {f.dir.filePath(QStringLiteral("no/such/folder/x.gpx"))};
        EXPECT_FALSE(f.window->close());
        EXPECT_TRUE(f.dialogs.lastText().startsWith(QStringLiteral("ERROR N° "))) << qPrintable(f.dialogs.lastText());
        EXPECT_EQ(f.dialogs.shown.back().icon, Dialogs::Icon::Critical);
        EXPECT_TRUE(f.state().store.pointsModified);

        // Yes with a file: the points are exported and the window closes.
        const QString out = f.dir.filePath(QStringLiteral("exit.txt"));
        f.dialogs.answers = {Dialogs::Answer::Yes};
        f.dialogs.files = {out};
        EXPECT_TRUE(f.window->close());
        EXPECT_TRUE(readAll(out).contains("WP, A     , "));
        EXPECT_FALSE(f.state().store.pointsModified);
        EXPECT_TRUE(QFileInfo::exists(f.env.configFile));
    }
    // Only empty lists: "Save points?" is never asked even with pointsModified set.
    MainWindowFixture f;
    f.state().store.pointsModified = true;
    EXPECT_TRUE(f.window->close());
    EXPECT_TRUE(f.dialogs.shown.empty());
}

TEST(MainWindow, ImportCommandShowsInvalidFile)
{
    MainWindowFixture f;
    f.window->setMapMode(MapMode::Calibrated);
    const QString bad = f.dir.filePath(QStringLiteral("empty.txt"));
    writeAll(bad, "Gipso 2.6 - header only\r\n\r\n\r\n");
    f.dialogs.files = {bad};
    EXPECT_FALSE(f.window->importPoints());
    EXPECT_EQ(f.dialogs.lastText(), QStringLiteral("Invalid points file!"));
    EXPECT_EQ(f.state().settings.CurrentDir, f.dir.path());

    const QString good = f.dir.filePath(QStringLiteral("one.txt"));
    writeAll(good, "TP, 45.0, 9.0, 100, 01/02/2003, 04:05:06, new\r\n");
    f.dialogs.files = {good};
    EXPECT_TRUE(f.window->importPoints());
    ASSERT_EQ(f.state().store.trackPoints.count(), 1);
    EXPECT_FALSE(f.state().store.pointsModified); // importing leaves the flag alone
    EXPECT_EQ(f.state().currentPointFile, good);
}

TEST(MainWindow, GeometryAndMinimumSize)
{
    int32_t w = 9000, h = 5015;
    applyMinimumSize(w, h);
    EXPECT_EQ(h, 5115); // height first
    EXPECT_EQ(w, 9000);
    applyMinimumSize(w, h);
    EXPECT_EQ(w, 9225);

    MainWindowFixture f(2057, "[User tester]\r\nWindowLeft=1500\r\nWindowTop=1500\r\nWindowWidth=12000\r\nWindowHeight=9000\r\n");
    EXPECT_EQ(f.window->width(), 12000 * f.window->logicalDpiX() / 1440);
    f.window->resize(f.window->width() + 15, f.window->height());
    f.window->close();
    const QByteArray cfg = readAll(f.env.configFile);
    EXPECT_TRUE(cfg.contains("WindowMax=0\r\n"));
    EXPECT_FALSE(cfg.contains("WindowWidth=12000\r\n"));
}
