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
GpsPoint wp(const QString &name, double lat = 45, double lon = 9) { return makePoint(PointKind::Way, name, lat, lon); }
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
        EXPECT_EQ(f.window->panel(4)->isEnabled(), f.state().mapMode >= 0);
    };
    EXPECT_EQ(f.state().mapMode, -2);
    check(true, false, false, false);
    f.window->setMapMode(-1);
    check(true, true, true, false);
    f.window->setMapMode(0);
    check(true, true, true, true);
    for (int m : {1, 2}) {
        f.window->setMapMode(m);
        check(false, true, false, false);
    }
    f.window->setMapMode(0);

    // File entries by map state and counts, evaluated when the menu drops down.
    f.window->setMapMode(-1);
    f.window->updateMenuForCounts(QStringLiteral("mnuFile"));
    EXPECT_FALSE(f.enabled(QStringLiteral("mnuSalva")));
    EXPECT_FALSE(f.enabled(QStringLiteral("mnuImporta")));
    EXPECT_FALSE(f.enabled(QStringLiteral("mnuEsporta")));
    f.window->setMapMode(0);
    f.state().store.trackPoints.append(GpsPoint{});
    f.window->updateMenuForCounts(QStringLiteral("mnuFile"));
    EXPECT_TRUE(f.enabled(QStringLiteral("mnuSalva")));
    EXPECT_TRUE(f.enabled(QStringLiteral("mnuStampa")));
    EXPECT_TRUE(f.enabled(QStringLiteral("mnuEsporta")));
}

TEST(MainWindow, EntriesFollowTheCounts)
{
    MainWindowFixture f;
    f.window->setMapMode(0);
    auto &s = f.state().store;
    f.window->updateMenuForCounts(QStringLiteral("mnuRoute"));
    for (const char *n : {"mnuCancellaR", "mnuCancellaLastR", "mnuVisr", "mnuUplr", "mnuEditR", "mnuInvertiR", "mnuAltr"})
        EXPECT_FALSE(f.enabled(QLatin1String(n))) << n;
    for (const char *n : {"mnuCreaR", "mnuInsR", "mnuDownr"})
        EXPECT_TRUE(f.enabled(QLatin1String(n))) << n;

    GpsPoint rp = wp(QStringLiteral("R1"));
    rp.kind = PointKind::Route;
    s.routePoints.append(rp);
    f.window->updateMenuForCounts(QStringLiteral("mnuRoute"));
    for (const char *n : {"mnuCancellaR", "mnuCancellaLastR", "mnuVisr", "mnuUplr", "mnuEditR"})
        EXPECT_TRUE(f.enabled(QLatin1String(n))) << n;
    EXPECT_FALSE(f.enabled(QStringLiteral("mnuInvertiR")));
    EXPECT_FALSE(f.enabled(QStringLiteral("mnuAltr")));
    s.routePoints.append(rp);
    f.window->updateMenuForCounts(QStringLiteral("mnuRoute"));
    EXPECT_TRUE(f.enabled(QStringLiteral("mnuInvertiR")));
    EXPECT_TRUE(f.enabled(QStringLiteral("mnuAltr")));

    const GpsPoint tp = makePoint(PointKind::Track, {}, 0, 0);
    s.trackPoints.append(tp);
    f.window->updateMenuForCounts(QStringLiteral("mnuTrack"));
    EXPECT_TRUE(f.enabled(QStringLiteral("mnuCancellaT")));
    EXPECT_FALSE(f.enabled(QStringLiteral("mnuStatt")));
    EXPECT_TRUE(f.enabled(QStringLiteral("mnuNMEA")));
    s.trackPoints.append(tp);
    f.window->updateMenuForCounts(QStringLiteral("mnuTrack"));
    EXPECT_TRUE(f.enabled(QStringLiteral("mnuStatt")));
    EXPECT_TRUE(f.enabled(QStringLiteral("mnuInvertiT")));

    f.window->updateMenuForCounts(QStringLiteral("mnuWay"));
    EXPECT_FALSE(f.enabled(QStringLiteral("mnuUplw")));
    s.wayPoints.append(wp(QStringLiteral("A")));
    f.window->updateMenuForCounts(QStringLiteral("mnuWay"));
    for (const char *n : {"mnuCancella", "mnuCancellaLast", "mnuUplw", "mnuVisw", "mnuEditW"})
        EXPECT_TRUE(f.enabled(QLatin1String(n))) << n;
}

TEST(MainWindow, RecentMapEntries)
{
    EXPECT_EQ(recentMapCaption(1, QString(36, QLatin1Char('a'))), QStringLiteral("&1 ") + QString(36, QLatin1Char('a')));
    const QString p37 = QStringLiteral("/ab") + QString(4, QLatin1Char('x')) + QStringLiteral("0123456789012345678901234567.Gipso").right(30);
    ASSERT_EQ(p37.size(), 37);
    EXPECT_EQ(recentMapCaption(2, p37), QStringLiteral("&2 /ab...") + p37.right(30));
    EXPECT_EQ(recentMapCaption(2, p37).size(), 3 + 36);

    MainWindowFixture f;
    f.state().settings.LastMap2 = QStringLiteral("/maps/b.Gipso");
    f.window->refreshMenus();
    EXPECT_FALSE(f.window->action(QStringLiteral("mnuLastMap1"))->isVisible());
    EXPECT_TRUE(f.window->action(QStringLiteral("mnuLastMap2"))->isVisible());
    EXPECT_FALSE(f.window->action(QStringLiteral("mnuLastMap3"))->isVisible());
    EXPECT_EQ(f.window->action(QStringLiteral("mnuLastMap2"))->text(), QStringLiteral("&2 /maps/b.Gipso"));
    QAction *sep = f.window->menu(QStringLiteral("mnuFile"))->findChild<QAction *>(QStringLiteral("mnuSepLastMap"));
    ASSERT_TRUE(sep);
    EXPECT_FALSE(sep->isVisible());
    f.state().settings.LastMap1 = QStringLiteral("/maps/a.cal");
    f.window->refreshMenus();
    EXPECT_TRUE(sep->isVisible());
    EXPECT_EQ(f.window->action(QStringLiteral("mnuLastMap1"))->text(), QStringLiteral("&1 /maps/a.cal"));
}

TEST(MainWindow, LanguageSwitchRecaptions)
{
    MainWindowFixture f(2057);
    EXPECT_EQ(currentLanguage(), 2057);
    EXPECT_EQ(f.window->windowTitle(), QStringLiteral("Gipso"));
    EXPECT_EQ(f.window->action(QStringLiteral("mnuApri"))->text(), QStringLiteral("Open &Map"));
    EXPECT_EQ(f.window->menu(QStringLiteral("mnuRoute"))->title(), QStringLiteral("&RoutePoints"));
    EXPECT_EQ(f.window->menu(QStringLiteral("mnuHelp"))->title(), QStringLiteral("&?"));
    EXPECT_EQ(f.window->panel(5)->text(), QStringLiteral("CREATE"));
    EXPECT_EQ(f.window->panel(6)->text(), QStringLiteral("MODIFY"));
    QAction *it = f.window->findChild<QAction *>(QStringLiteral("mnuLangList1"));
    QAction *en = f.window->findChild<QAction *>(QStringLiteral("mnuLangList2"));
    ASSERT_TRUE(it && en);
    EXPECT_EQ(it->text(), QStringLiteral("Italiano"));
    EXPECT_TRUE(en->isChecked());
    EXPECT_FALSE(it->isChecked());
    QAction *templ = f.window->findChild<QAction *>(QStringLiteral("mnuLangList0"));
    ASSERT_TRUE(templ);
    EXPECT_FALSE(templ->isVisible());

    // The checked entry does nothing.
    en->trigger();
    EXPECT_EQ(currentLanguage(), 2057);
    EXPECT_TRUE(en->isChecked());

    it->trigger();
    EXPECT_EQ(currentLanguage(), 1040);
    EXPECT_TRUE(it->isChecked());
    EXPECT_FALSE(en->isChecked());
    EXPECT_EQ(f.window->action(QStringLiteral("mnuApri"))->text(), QStringLiteral("&Apri Mappa"));
    EXPECT_EQ(f.window->menu(QStringLiteral("mnuVista"))->title(), QStringLiteral("&Vista"));
    EXPECT_EQ(f.window->action(QStringLiteral("mnuInvertiT"))->text(), QStringLiteral("&Inverti Percorso"));
    EXPECT_EQ(f.window->panel(5)->text(), QStringLiteral("CREA"));
    EXPECT_EQ(f.window->panel(6)->text(), QStringLiteral("MODIFICA"));

    // The language in force at exit is written for this user.
    f.window->close();
    f.window.reset();
    EXPECT_TRUE(readAll(f.env.configFile).contains("[User tester]\r\nLanguage=1040\r\n"));
}

TEST(MainWindow, ListCommandsAskAndAct)
{
    MainWindowFixture f;
    f.window->setMapMode(0);
    auto &s = f.state().store;
    s.wayPoints.append(wp(QStringLiteral("A")));
    s.wayPoints.append(wp(QStringLiteral("B")));
    f.window->action(QStringLiteral("mnuEditW"))->trigger();
    EXPECT_EQ(f.window->checkedMode(), QStringLiteral("mnuEditW"));

    // Cancel (the default) keeps everything.
    f.window->deleteAll(PointKind::Way);
    ASSERT_EQ(f.dialogs.shown.size(), 1u);
    EXPECT_EQ(f.dialogs.shown[0].text, QStringLiteral("Delete all WayPoints?"));
    EXPECT_EQ(f.dialogs.shown[0].buttons, Dialogs::Buttons::OkCancel);
    EXPECT_EQ(f.dialogs.shown[0].defaultButton, Dialogs::Answer::Cancel);
    EXPECT_EQ(s.wayPoints.count(), 2);
    EXPECT_FALSE(s.pointsModified);

    f.dialogs.answers.push_back(Dialogs::Answer::Ok);
    f.window->deleteLast(PointKind::Way);
    EXPECT_EQ(f.dialogs.lastText(), QStringLiteral("Delete last WayPoint?"));
    EXPECT_EQ(s.wayPoints.count(), 1);
    EXPECT_TRUE(s.pointsModified);
    EXPECT_EQ(f.window->checkedMode(), QStringLiteral("mnuEditW"));
    f.dialogs.answers.push_back(Dialogs::Answer::Ok);
    f.window->deleteLast(PointKind::Way);
    EXPECT_EQ(s.wayPoints.count(), 0);
    EXPECT_EQ(f.window->checkedMode(), QString()); // emptied: its Modify mode is unchecked
    EXPECT_FALSE(f.window->panel(6)->isEnabled());

    // Reverse asks its own question, in Italian too.
    GpsPoint r = wp(QStringLiteral("R"));
    r.kind = PointKind::Route;
    for (const char *n : {"A", "B", "C"}) {
        r.name = QLatin1String(n);
        s.routePoints.append(r);
    }
    s.pointsModified = false;
    f.window->chooseLanguageEntry(1);
    f.dialogs.answers.push_back(Dialogs::Answer::Ok);
    f.window->reverse(PointKind::Route);
    EXPECT_EQ(f.dialogs.lastText(), QStringLiteral("Data e ora saranno sovrascritte. Procedere?"));
    EXPECT_EQ(s.routePoints[1].name, QStringLiteral("C"));
    EXPECT_EQ(s.routePoints[3].name, QStringLiteral("A"));
    EXPECT_TRUE(s.pointsModified);
    f.window->deleteAll(PointKind::Way);
    EXPECT_EQ(f.dialogs.lastText(), QStringLiteral("Cancellare tutti i WayPoints?"));
}

TEST(MainWindow, EditingModesAreExclusive)
{
    MainWindowFixture f;
    f.window->setMapMode(0);
    QAction *creaW = f.window->action(QStringLiteral("mnuCreaWayP"));
    QAction *editR = f.window->action(QStringLiteral("mnuEditR"));
    creaW->trigger();
    EXPECT_TRUE(creaW->isChecked());
    EXPECT_TRUE(f.window->panel(5)->isEnabled());
    EXPECT_TRUE(f.window->panel(7)->isEnabled());
    EXPECT_FALSE(f.window->panel(8)->isEnabled());
    editR->trigger();
    EXPECT_FALSE(creaW->isChecked());
    EXPECT_TRUE(editR->isChecked());
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
        f.state().store.wayPoints.append(wp(QStringLiteral("A")));
        f.dialogs.answers = {Dialogs::Answer::Cancel};
        EXPECT_FALSE(f.window->close());
        ASSERT_EQ(f.dialogs.shown.size(), 1u);
        EXPECT_EQ(f.dialogs.shown[0].text, QStringLiteral("Save calibrated map?"));
        EXPECT_EQ(f.dialogs.shown[0].buttons, Dialogs::Buttons::YesNoCancel);
        EXPECT_TRUE(f.state().store.mapModified);
        EXPECT_FALSE(QFileInfo::exists(f.env.configFile));

        // No to the map, then Yes to the points with the file dialog cancelled: still open.
        f.dialogs.answers = {Dialogs::Answer::No, Dialogs::Answer::Yes};
        EXPECT_FALSE(f.window->close());
        EXPECT_EQ(f.dialogs.lastText(), QStringLiteral("Save points?"));
        EXPECT_FALSE(f.state().store.mapModified);
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
    {
        // Only empty lists: "Save points?" is never asked even with pointsModified set.
        MainWindowFixture f;
        f.state().store.pointsModified = true;
        EXPECT_TRUE(f.window->close());
        EXPECT_TRUE(f.dialogs.shown.empty());
    }
    {
        // An export that fails keeps the window open with its points.
        MainWindowFixture f;
        f.state().store.wayPoints.append(wp(QStringLiteral("A")));
        f.state().store.pointsModified = true;
        f.dialogs.answers = {Dialogs::Answer::Yes};
        f.dialogs.files = {f.dir.filePath(QStringLiteral("no/such/folder/x.gpx"))};
        EXPECT_FALSE(f.window->close());
        ASSERT_GE(f.dialogs.shown.size(), 2u);
        EXPECT_TRUE(f.dialogs.shown[1].text.startsWith(QStringLiteral("ERROR N° "))) << qPrintable(f.dialogs.shown[1].text);
        EXPECT_EQ(f.dialogs.shown[1].icon, Dialogs::Icon::Critical);
        EXPECT_TRUE(f.state().store.pointsModified);
        // No: the window closes without saving.
        f.dialogs.answers = {Dialogs::Answer::No};
        EXPECT_TRUE(f.window->close());
    }
}

TEST(MainWindow, ImportCommandShowsInvalidFile)
{
    MainWindowFixture f;
    f.window->setMapMode(0);
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
