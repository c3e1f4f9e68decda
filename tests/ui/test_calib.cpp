#include <QCoreApplication>
#include <QMenu>

#include "MainWindowFixture.h"
#include "support/MapSupport.h"

#include "base/Messages.h"
#include "map/MapFiles.h"
#include "map/ui/frmCalib.h"

#include <QAction>
#include <QDropEvent>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QUrl>
#include <gtest/gtest.h>

using namespace gipso;
using namespace gipso::test;

namespace {

QString writePicture(const QString &path, int w = 400, int h = 300)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::darkGreen);
    img.save(path);
    return path;
}

void fill(frmCalib &form, const QStringList &texts)
{
    for (int i = 0; i < 4; ++i)
        form.txtCoord[i]->setText(texts[i]);
}

void drop(frmGPS &w, const QStringList &paths)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString &p : paths)
        urls << QUrl::fromLocalFile(p);
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent ev(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &ev);
    EXPECT_TRUE(ev.isAccepted());
}

} // namespace

TEST(Calib, ChecksInOrderAndTheTag)
{
    setLanguage(kEnglish);
    ScriptedDialogs dialogs;
    frmCalib form(dialogs);
    EXPECT_EQ(form.windowTitle(), "Map Calibration");
    EXPECT_EQ(form.Label1[0]->text(), messageText(244));
    EXPECT_EQ(form.Label1[1]->text(), messageText(243));
    EXPECT_EQ(form.cmdAnnulla->text(), "&Cancel");

    const std::vector<std::pair<QStringList, QString>> refused = {
        {{"90.0001", "9", "45", "9.2"}, messageText(595)},  // range before poles
        {{"45", "9", "-91", "9.2"}, messageText(595)},
        {{"91", "181", "45", "9.2"}, messageText(595)},     // latitude before longitude
        {{"45", "9", "45.1", "-180.5"}, messageText(596)},
        {{"45", "9", "45", "9"}, messageText(592)},
        {{"90", "9", "90", "9"}, messageText(592)},         // coincident before poles
        {{"-90", "9", "45", "9.2"}, messageText(594)},
        {{"45", "abc", "45", "9.2"}, "ERROR N° 13 - Type mismatch"},
        {{"45", "9", "", "9.2"}, "ERROR N° 13 - Type mismatch"},
    };
    for (const auto &[texts, message] : refused) {
        dialogs.shown.clear();
        fill(form, texts);
        form.cmdOK->click();
        ASSERT_EQ(dialogs.shown.size(), 1u) << texts.join(' ').toStdString();
        EXPECT_EQ(dialogs.shown[0].text, message) << texts.join(' ').toStdString();
        EXPECT_EQ(dialogs.shown[0].icon, Dialogs::Icon::Critical);
        EXPECT_EQ(form.result(), QDialog::Rejected);
    }
    fill(form, {"45.1", "9", "45", "9.2"});
    form.cmdOK->click();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    MapCalibration c;
    form.takeCoordinates(c);
    EXPECT_EQ(c.lat1, 45.1);
    EXPECT_EQ(c.lon2, 9.2);

    frmCalib closed(dialogs);
    closed.show();
    closed.close(); // the title bar's close is a cancel
    EXPECT_EQ(closed.result(), QDialog::Rejected);

    frmCalib prefilled(dialogs);
    prefilled.showCoordinates(exampleCalibration());
    EXPECT_EQ(QLocale().toDouble(prefilled.txtCoord[0]->text()), 45.1);
    EXPECT_EQ(QLocale().toDouble(prefilled.txtCoord[3]->text()), 9.2);
}

TEST(Calib, CalibrationCommandOnTheMainWindow)
{
    MainWindowFixture f;
    frmGPS &w = *f.window;
    const QString pic = writePicture(f.dir.filePath("plain.jpg"));
    f.dialogs.files.push_back(pic);
    w.openMap();
    ASSERT_EQ(f.state().mapMode, MapMode::Uncalibrated);
    EXPECT_EQ(f.state().mapWidth, 400);

    w.action("mnuCreaWayP")->setChecked(true);
    w.calibrateMap();
    EXPECT_EQ(f.state().mapMode, MapMode::FirstClick);
    EXPECT_FALSE(w.action("mnuCreaWayP")->isChecked());
    EXPECT_EQ(w.statusBar()->currentMessage(), messageText(528));
    EXPECT_FALSE(f.menuEnabled("mnuFile"));
    EXPECT_FALSE(f.menuEnabled("mnuCalibra"));
    w.calibrationClick(100, 100);
    EXPECT_EQ(f.state().mapMode, MapMode::SecondClick);
    EXPECT_EQ(w.statusBar()->currentMessage(), messageText(529));
    w.calibrationClick(100, 100); // the same pixel again: still waiting
    EXPECT_EQ(f.state().mapMode, MapMode::SecondClick);
    EXPECT_EQ(w.statusBar()->currentMessage(), messageText(529));

    QStringList boxesSeen;
    f.dialogs.onExec = [&](QDialog &d) {
        auto &form = dynamic_cast<frmCalib &>(d);
        for (auto *t : form.txtCoord)
            boxesSeen << t->text();
        fill(form, {QLocale().toString(91.0), "9", "45", "9.2"});
        form.cmdOK->click(); // refused, stays open
        fill(form, {QLocale().toString(45.1), "9", "45", QLocale().toString(9.2)});
        form.cmdOK->click();
        return form.result();
    };
    w.calibrationClick(300, 300);
    EXPECT_EQ(boxesSeen, QStringList({"", "", "", ""})); // uncalibrated: empty boxes
    EXPECT_EQ(f.dialogs.lastText(), messageText(595));
    EXPECT_EQ(f.state().mapMode, MapMode::Calibrated);
    EXPECT_TRUE(f.state().store.mapModified);
    EXPECT_NEAR(f.state().calibration.scale, 0.000612016, 1e-9);
    EXPECT_TRUE(f.menuEnabled("mnuWay"));
    EXPECT_TRUE(f.menuEnabled("mnuFile"));
    EXPECT_TRUE(w.statusBar()->currentMessage().isEmpty());
    EXPECT_TRUE(w.panel(4)->isVisibleTo(&w));

    // Recalibrating shows the coordinates in force; cancelling keeps the old calibration whole.
    const MapCalibration before = f.state().calibration;
    f.state().store.mapModified = false;
    boxesSeen.clear();
    f.dialogs.onExec = [&](QDialog &d) {
        auto &form = dynamic_cast<frmCalib &>(d);
        for (auto *t : form.txtCoord)
            boxesSeen << t->text();
        form.cmdAnnulla->click();
        return form.result();
    };
    w.calibrateMap();
    w.calibrationClick(10, 20);
    w.calibrationClick(50, 60);
    EXPECT_EQ(QLocale().toDouble(boxesSeen.value(0)), 45.1);
    EXPECT_EQ(f.state().mapMode, MapMode::Calibrated);
    EXPECT_EQ(storedNumbers(f.state().calibration), storedNumbers(before));
    EXPECT_EQ(f.state().calibration.scale, before.scale);
    EXPECT_FALSE(f.state().store.mapModified);

    // Cancelling the first calibration of a map goes back to uncalibrated.
    f.dialogs.files.push_back(pic);
    w.openMap();
    ASSERT_EQ(f.state().mapMode, MapMode::Uncalibrated);
    w.calibrateMap();
    w.calibrationClick(1, 2);
    w.calibrationClick(3, 4);
    EXPECT_EQ(f.state().mapMode, MapMode::Uncalibrated);
    EXPECT_FALSE(f.menuEnabled("mnuWay"));
}

TEST(Calib, OpenSaveRecentAndFailuresOnTheMainWindow)
{
    MainWindowFixture f;
    frmGPS &w = *f.window;
    AppState &st = f.state();
    const QString pic = writePicture(f.dir.filePath("plain.jpg"));
    QString none;
    const QString cal = saveMapFile(QImage(pic), exampleCalibration(), f.dir.filePath("a.cal"), f.dir.path() + "/", none);

    f.dialogs.files.push_back(cal);
    w.openMap();
    EXPECT_EQ(f.dialogs.fileDialogTitles.value(0), messageText(161));
    ASSERT_EQ(st.mapMode, MapMode::Calibrated);
    EXPECT_EQ(st.settings.LastMap1, cal);
    EXPECT_EQ(st.settings.CurrentDir, f.dir.path() + "/");
    EXPECT_TRUE(w.action("mnuLastMap1")->isVisible());

    // Save as a container: the backing JPEG lives in the private temporary folder.
    st.store.mapModified = true;
    const QString gipso = f.dir.filePath("saved.Gipso");
    f.dialogs.files.push_back(gipso);
    EXPECT_TRUE(w.saveCalibratedMap());
    EXPECT_EQ(f.dialogs.fileDialogTitles.value(1), messageText(163));
    EXPECT_FALSE(st.store.mapModified);
    EXPECT_TRUE(QFileInfo::exists(gipso));
    EXPECT_EQ(st.tempMapFile, st.tempDir + "saved.jpg");
    EXPECT_TRUE(st.tempDir.startsWith(QDir::tempPath()));

    // A failed save shows an error and keeps the flag.
    st.store.mapModified = true;
    f.dialogs.files.push_back(f.dir.filePath("missing/dir/x.cal"));
    EXPECT_FALSE(w.saveCalibratedMap());
    EXPECT_TRUE(f.dialogs.lastText().startsWith("ERROR N° "));
    EXPECT_TRUE(st.store.mapModified);
    f.dialogs.files.push_back(f.dir.filePath("x.png"));
    EXPECT_FALSE(w.saveCalibratedMap());
    EXPECT_EQ(f.dialogs.lastText(), messageText(224));
    EXPECT_FALSE(QFileInfo::exists(f.dir.filePath("x.png")));

    // Opening with an unsaved calibration asks first; Cancel changes nothing.
    f.dialogs.shown.clear();
    f.dialogs.answers = {Dialogs::Answer::Cancel};
    w.openRecentMap(1);
    ASSERT_EQ(f.dialogs.shown.size(), 1u);
    EXPECT_EQ(f.dialogs.shown[0].text, messageText(840));
    EXPECT_EQ(f.dialogs.shown[0].buttons, Dialogs::Buttons::YesNoCancel);
    EXPECT_TRUE(st.store.mapModified);
    f.dialogs.answers = {Dialogs::Answer::No};
    w.openRecentMap(1);
    EXPECT_FALSE(st.store.mapModified);
    EXPECT_EQ(st.settings.LastMap1, cal);

    // A broken file: message 222, the map shown stays usable.
    const QString broken = f.dir.filePath("broken.Gipso");
    writeAll(broken, "PK\x03\x04 not really");
    f.dialogs.files.push_back(broken);
    w.openMap();
    EXPECT_EQ(f.dialogs.lastText(), messageText(222));
    EXPECT_EQ(st.mapMode, MapMode::Calibrated);
    EXPECT_EQ(st.mapWidth, 400);
    EXPECT_FALSE(st.mapPicture.isNull());
    EXPECT_TRUE(f.menuEnabled("mnuWay"));
    EXPECT_EQ(st.settings.LastMap1, cal);
}

TEST(Calib, DropsAndCommandLineFiles)
{
    MainWindowFixture f;
    frmGPS &w = *f.window;
    AppState &st = f.state();
    const QString jpg = writePicture(f.dir.filePath("a.jpg"));
    const QString jpeg = writePicture(f.dir.filePath("b.JPEG"), 123, 45);
    const QString txt = f.dir.filePath("points.txt");
    writeAll(txt, "Gipso \r\n");

    drop(w, {jpg, txt});
    EXPECT_EQ(f.dialogs.lastText(), messageText(225));
    EXPECT_EQ(st.mapMode, MapMode::NoMap);
    drop(w, {txt});
    EXPECT_EQ(f.dialogs.lastText(), messageText(224)); // points need a calibrated map
    drop(w, {f.dir.filePath("notes.doc")});
    EXPECT_EQ(f.dialogs.lastText(), messageText(224));
    drop(w, {jpeg});
    EXPECT_EQ(st.mapMode, MapMode::Uncalibrated);
    EXPECT_EQ(st.mapWidth, 123);
    EXPECT_EQ(st.settings.LastMap1, jpeg);

    // The command line: a calibrated map, then its point files.
    QString none;
    const QString cal = saveMapFile(QImage(jpg), exampleCalibration(), f.dir.filePath("m.cal"), f.dir.path() + "/", none);
    const int before = st.store.routePoints.count() + st.store.wayPoints.count() + st.store.trackPoints.count();
    w.openFiles({cal, testData("gpx/route.gpx")});
    EXPECT_EQ(st.mapMode, MapMode::Calibrated);
    EXPECT_EQ(st.settings.LastMap1, cal);
    EXPECT_GT(st.store.routePoints.count() + st.store.wayPoints.count() + st.store.trackPoints.count(), before)
        << f.dialogs.lastText().toStdString();
}
