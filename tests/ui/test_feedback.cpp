// What the window tells about its files: a point file's problems, the title, the status bar after
// a command, the file dialogs' filters and folders. The reasons themselves are tested in
// tests/map and tests/files; a map's in test_map.
#include "MainWindowFixture.h"

#include <QDir>
#include <QStatusBar>

using namespace gipso;
using namespace gipso::test;

namespace {

// A track cut off inside its third point, as a download or a copy that stopped.
const QByteArray kCutGpx = "<?xml version=\"1.0\"?>\r\n<gpx version=\"1.0\">\r\n<trk><name>walk</name><trkseg>\r\n"
                           "<trkpt lat=\"45.1\" lon=\"9.1\"><ele>100</ele></trkpt>\r\n"
                           "<trkpt lat=\"45.2\" lon=\"9.2\"><ele>101</ele></trkpt>\r\n"
                           "<trkpt lat=\"45.3\" lon=\"9.3\"><ele>1";

} // namespace

TEST(Feedback, TitleNamesTheMapAndMarksUnsavedWorkStatusBarSaysWhatWasDone)
{
    MainWindowFixture f;
    frmGPS &w = *f.window;
    AppState &st = f.state();
    QStatusBar *bar = w.statusBar();
    EXPECT_EQ(w.windowTitle(), "Gipso");
    // A GPX cut off inside a point: what came before is imported, and the window says what was lost and where.
    const QString cut = f.dir.filePath("cut.gpx");
    writeAll(cut, kCutGpx);
    w.openFiles({cut, writeMap(f.dir.filePath("m.cal"))});
    ASSERT_EQ(f.dialogs.shown.size(), 1u);
    EXPECT_EQ(f.dialogs.shown[0].text,
              "Lines or elements skipped in " + cut + ": 1; the first: line 6: trkpt does not end before the end of the file");
    EXPECT_EQ(f.dialogs.shown[0].icon, Dialogs::Icon::Warning);
    EXPECT_EQ(bar->currentMessage(), "0 WayPoints, 0 RoutePoints and 2 TrackPoints imported from cut.gpx");
    EXPECT_EQ(w.windowTitle(), "m.cal - Gipso"); // an import leaves the points as clean as they were

    // The status text takes the place of the two readouts only, until its time-out.
    EXPECT_TRUE(!w.panel(1)->isVisible() && w.panel(3)->isVisible() && w.panel(9)->isVisible());
    bar->clearMessage();
    EXPECT_TRUE(w.panel(1)->isVisible() && w.panel(2)->isVisible());

    f.dialogs.answers = {Dialogs::Answer::Ok};
    w.deleteLast(PointKind::Track);
    EXPECT_EQ(w.windowTitle(), "m.cal* - Gipso");
    f.dialogs.files = {f.dir.filePath("out.gpx")};
    ASSERT_TRUE(w.exportPoints());
    EXPECT_EQ(bar->currentMessage(), "0 WayPoints, 0 RoutePoints and 1 TrackPoints exported to out.gpx");
    EXPECT_EQ(w.windowTitle(), "m.cal - Gipso");

    // A changed calibration marks the title until it is saved; the title then names the new file.
    st.store.mapModified = true;
    w.refreshMenus();
    EXPECT_EQ(w.windowTitle(), "m.cal* - Gipso");
    f.dialogs.files = {f.dir.filePath("m2.Gipso")};
    ASSERT_TRUE(w.saveCalibratedMap());
    EXPECT_EQ(w.windowTitle() + " / " + bar->currentMessage(), "m2.Gipso - Gipso / Calibrated map saved as m2.Gipso");
    // An acquisition: what it appended.
    f.dialogs.onExec = [&](QDialog &) {
        st.store.trackPoints.append(GpsPoint{}), st.store.trackPoints.append(GpsPoint{});
        return int(QDialog::Rejected);
    };
    w.openComm(CommMode::NmeaAcquisition, msg::NmeaAcquisitionCaption);
    EXPECT_EQ(bar->currentMessage(), "2 TrackPoints acquired");
}

TEST(Feedback, FileDialogsOfferEveryKindFirstStartAtHomeAndRememberThePointFilter)
{
    MainWindowFixture f; // CurrentDir is the program's folder by default
    ScriptedDialogs &d = f.dialogs;
    f.window->setMapMode(MapMode::Calibrated);
    f.window->openMap();
    ASSERT_EQ(d.fileDialogs.size(), 1u);
    EXPECT_TRUE(d.fileDialogs[0].filter.startsWith(
        "All maps (*.Gipso;*.cal;*.bmp;*.gif;*.jpg;*.jpeg)|*.Gipso;*.cal;*.bmp;*.gif;*.jpg;*.jpeg|Calibrated Maps"));
    EXPECT_EQ(d.fileDialogs[0].startDir, QDir::homePath());

    const QString folder = f.dir.filePath("tracks");
    QDir().mkpath(folder);
    writeAll(folder + "/t.gpx", kCutGpx);
    d.files = {folder + "/t.gpx"};
    d.filterChoices = {2};
    d.answers = {Dialogs::Answer::Ok};
    ASSERT_TRUE(f.window->importPoints());
    f.window->exportPoints(); // cancelled
    ASSERT_EQ(d.fileDialogs.size(), 3u);
    for (const auto &dialog : {d.fileDialogs[1], d.fileDialogs[2]})
        EXPECT_TRUE(dialog.filter.startsWith("All point files (*.gpx;*.txt)|*.gpx;*.txt|Gipso Files (*.txt)|*.txt|GPX Files"));
    EXPECT_EQ(QList<int>({d.fileDialogs[1].filterShown, d.fileDialogs[2].filterShown}), QList<int>({1, 2}));
    EXPECT_EQ(d.fileDialogs[2].startDir, folder);
    EXPECT_EQ(f.state().settings.PointFileFilter, 2); // written to Gipso.cfg: tests/base
}
