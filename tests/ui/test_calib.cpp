#include "MainWindowFixture.h"
#include "support/MapSupport.h"

#include "base/Messages.h"
#include "map/MapFiles.h"
#include "map/ui/frmCalib.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
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

QString writeCal(const QString &path)
{
    QString none;
    return saveMapFile(QImage(writePicture(path + ".jpg")), exampleCalibration(), path, QFileInfo(path).path() + "/", none);
}

void fill(frmCalib &form, const QStringList &texts)
{
    for (int i = 0; i < 4; ++i)
        form.txtCoord[i]->setText(texts[i]);
}

// Drives the calibration dialog when it opens: records the boxes, then answers.
void onCalib(ScriptedDialogs &dialogs, QStringList &boxesSeen, std::function<void(frmCalib &)> answer)
{
    dialogs.onExec = [&boxesSeen, answer](QDialog &d) {
        auto &form = dynamic_cast<frmCalib &>(d);
        boxesSeen.clear();
        for (auto *t : form.txtCoord)
            boxesSeen << t->text();
        answer(form);
        return form.result();
    };
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
}

} // namespace

TEST(Calib, TheFormChecksInOrderAndEndsAcceptedOrRejected)
{
    setLanguage(kEnglish);
    ScriptedDialogs dialogs;
    frmCalib form(dialogs);
    const std::vector<std::pair<QStringList, QString>> refused = {
        {{"90.0001", "9", "45", "9.2"}, messageText(595)},
        {{"91", "181", "45", "9.2"}, messageText(595)}, // latitude before longitude
        {{"45", "9", "45.1", "-180.5"}, messageText(596)},
        {{"90", "9", "90", "9"}, messageText(592)},     // coincident before poles
        {{"-90", "9", "45", "9.2"}, messageText(594)},
        {{"45", "abc", "45", "9.2"}, "ERROR N° 13 - Type mismatch"},
        {{"45", "9", "", "9.2"}, "ERROR N° 13 - Type mismatch"},
    };
    for (const auto &[texts, message] : refused) {
        SCOPED_TRACE(texts.join(' ').toStdString());
        dialogs.shown.clear();
        fill(form, texts);
        form.cmdOK->click();
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(dialogs.shown[0].text, message);
        EXPECT_EQ(dialogs.shown[0].icon, Dialogs::Icon::Critical);
        EXPECT_EQ(form.result(), QDialog::Rejected);
    }
    fill(form, {"45.1", "9", "45", "9.2"});
    form.cmdOK->click();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    MapCalibration c;
    form.takeCoordinates(c);
    EXPECT_EQ(QList<double>({c.lat1, c.lon1, c.lat2, c.lon2}), QList<double>({45.1, 9, 45, 9.2}));

    frmCalib closed(dialogs);
    closed.show();
    closed.setResult(QDialog::Accepted);
    closed.close(); // the title bar's close is a cancel
    EXPECT_EQ(closed.result(), QDialog::Rejected);
}

TEST(Calib, CalibrationCommandOnTheMainWindow)
{
    MainWindowFixture f;
    frmGPS &w = *f.window;
    AppState &st = f.state();
    const QString pic = writePicture(f.dir.filePath("plain.jpg"));
    f.dialogs.files = {pic};
    w.openMap();
    ASSERT_EQ(st.mapMode, MapMode::Uncalibrated);

    w.action("mnuCreaWayP")->setChecked(true);
    w.calibrateMap();
    EXPECT_EQ(st.mapMode, MapMode::FirstClick);
    EXPECT_FALSE(w.action("mnuCreaWayP")->isChecked()); // clicks must not create points meanwhile
    EXPECT_EQ(w.statusBar()->currentMessage(), messageText(528));
    w.calibrationClick(100, 100);
    EXPECT_EQ(w.statusBar()->currentMessage(), messageText(529));
    w.calibrationClick(100, 100); // the same pixel again: still waiting
    EXPECT_EQ(st.mapMode, MapMode::SecondClick);

    QStringList boxesSeen;
    onCalib(f.dialogs, boxesSeen, [](frmCalib &form) {
        fill(form, {QLocale().toString(45.1), "9", "45", QLocale().toString(9.2)});
        form.cmdOK->click();
    });
    w.calibrationClick(300, 300);
    EXPECT_EQ(boxesSeen, QStringList({"", "", "", ""})); // uncalibrated: empty boxes
    EXPECT_EQ(st.mapMode, MapMode::Calibrated);
    EXPECT_TRUE(st.store.mapModified);
    EXPECT_NEAR(st.calibration.scale, 0.000612016, 1e-9);
    EXPECT_TRUE(w.statusBar()->currentMessage().isEmpty());
    EXPECT_TRUE(w.panel(4)->isVisibleTo(&w));

    // Recalibrating shows the coordinates in force; cancelling keeps the old calibration whole,
    // reference pixels included.
    const MapCalibration before = st.calibration;
    st.store.mapModified = false;
    onCalib(f.dialogs, boxesSeen, [](frmCalib &form) { form.cmdAnnulla->click(); });
    w.calibrateMap();
    w.calibrationClick(10, 20);
    w.calibrationClick(50, 60);
    EXPECT_EQ(QLocale().toDouble(boxesSeen.value(0)), 45.1);
    EXPECT_EQ(st.mapMode, MapMode::Calibrated);
    EXPECT_EQ(storedNumbers(st.calibration), storedNumbers(before));
    EXPECT_FALSE(st.store.mapModified);

    // Cancelling the first calibration of a map goes back to uncalibrated.
    f.dialogs.files = {pic};
    w.openMap();
    w.calibrateMap();
    w.calibrationClick(1, 2);
    w.calibrationClick(3, 4);
    EXPECT_EQ(st.mapMode, MapMode::Uncalibrated);
}

TEST(Calib, OpenAndSaveQuestionsAndMessages)
{
    MainWindowFixture f;
    frmGPS &w = *f.window;
    AppState &st = f.state();
    f.dialogs.files = {writeCal(f.dir.filePath("a.cal")), f.dir.filePath("saved.Gipso"), f.dir.filePath("missing/dir/x.cal"),
                       f.dir.filePath("x.png")};
    w.openMap();
    ASSERT_EQ(st.mapMode, MapMode::Calibrated);
    EXPECT_EQ(st.settings.CurrentDir, f.dir.path() + "/");

    // Saved as a container, whose backing JPEG lives in the run's private temporary folder.
    st.store.mapModified = true;
    EXPECT_TRUE(w.saveCalibratedMap());
    EXPECT_EQ(f.dialogs.fileDialogTitles, QStringList({messageText(161), messageText(163)}));
    EXPECT_FALSE(st.store.mapModified);
    EXPECT_TRUE(st.tempMapFile.startsWith(QDir::tempPath()));

    // A failed save shows an error; a name that is neither .cal nor .Gipso shows 224. Both
    // keep the calibration unsaved.
    st.store.mapModified = true;
    EXPECT_FALSE(w.saveCalibratedMap());
    EXPECT_TRUE(f.dialogs.lastText().startsWith("ERROR N° "));
    EXPECT_FALSE(w.saveCalibratedMap());
    EXPECT_EQ(f.dialogs.lastText(), messageText(224));
    EXPECT_FALSE(QFileInfo::exists(f.dir.filePath("x.png")));
    EXPECT_TRUE(st.store.mapModified);

    // Opening with an unsaved calibration asks first; Cancel changes nothing, No drops it.
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

    // A broken file: message 222, the map shown stays usable.
    writeAll(f.dir.filePath("broken.Gipso"), "PK\x03\x04 not really");
    f.dialogs.files = {f.dir.filePath("broken.Gipso")};
    w.openMap();
    EXPECT_EQ(f.dialogs.lastText(), messageText(222));
    EXPECT_TRUE(f.menuEnabled("mnuWay"));
}

TEST(Calib, DropsAndCommandLineFiles)
{
    MainWindowFixture f;
    frmGPS &w = *f.window;
    AppState &st = f.state();
    const QString jpg = writePicture(f.dir.filePath("a.jpg")), txt = f.dir.filePath("points.txt");
    writeAll(txt, "Gipso \r\n");
    // {dropped files, message}: one map at a time; points need a calibrated map.
    const std::vector<std::pair<QStringList, int>> refused = {
        {{jpg, txt}, 225}, {{txt}, 224}, {{f.dir.filePath("notes.doc")}, 224}};
    for (const auto &[files, message] : refused) {
        drop(w, files);
        EXPECT_EQ(f.dialogs.lastText(), messageText(message));
    }
    EXPECT_EQ(st.mapMode, MapMode::NoMap);
    drop(w, {writePicture(f.dir.filePath("b.JPEG"), 123, 45)});
    EXPECT_EQ(st.mapMode, MapMode::Uncalibrated);
    EXPECT_EQ(st.mapWidth, 123);

    // The command line: a calibrated map, then its point files.
    w.openFiles({writeCal(f.dir.filePath("m.cal")), testData("gpx/route.gpx")});
    EXPECT_EQ(st.mapMode, MapMode::Calibrated);
    EXPECT_EQ(recentMap(st.settings, 1), f.dir.filePath("m.cal"));
    EXPECT_GT(st.store.routePoints.count(), 0) << f.dialogs.lastText().toStdString();
}

TEST(Calib, WithoutATemporaryFolderContainersAreRefusedAndNoOtherFolderIsUsed)
{
    // TMPDIR names a file: no private folder can be made. The current folder holds a picture
    // of the user's with the name of the container's image.
    MainWindowFixture f(2057, {}, false);
    const QString notAFolder = f.dir.filePath("tmp");
    writeAll(notAFolder, "a file");
    writeAll(f.env.configFile, "[User tester]\r\nCurrentDir=" + f.dir.path().toUtf8() + "\r\n");
    QString backing;
    saveMapFile(QImage(writePicture(f.dir.filePath("pic.jpg"))), exampleCalibration(), f.dir.filePath("m.Gipso"),
                f.dir.path() + "/", backing);
    writeAll(f.dir.filePath("m.jpg"), "the user's own picture");
    const QByteArray tmpdir = qgetenv("TMPDIR");
    qputenv("TMPDIR", notAFolder.toUtf8());
    f.window->start();
    qputenv("TMPDIR", tmpdir);
    AppState &st = f.state();

    const QString refused = "A private temporary folder cannot be made in " + notAFolder +
                            " (not a folder): .Gipso maps cannot be opened or saved.";
    f.dialogs.files = {f.dir.filePath("m.Gipso"), f.dir.filePath("new.Gipso")};
    f.window->openMap();
    EXPECT_EQ(f.dialogs.lastText(), refused);
    EXPECT_EQ(st.mapMode, MapMode::NoMap);

    // Other maps open; saving one as a container is refused the same way.
    f.window->openFiles({writeCal(f.dir.filePath("c.cal"))});
    ASSERT_EQ(st.mapMode, MapMode::Calibrated);
    st.store.mapModified = true;
    EXPECT_FALSE(f.window->saveCalibratedMap());
    EXPECT_EQ(f.dialogs.lastText(), refused);
    EXPECT_TRUE(st.store.mapModified);
    EXPECT_FALSE(QFileInfo::exists(f.dir.filePath("new.Gipso")));

    st.store.mapModified = false;
    f.window->close();
    EXPECT_EQ(readAll(f.dir.filePath("m.jpg")), "the user's own picture");
}
