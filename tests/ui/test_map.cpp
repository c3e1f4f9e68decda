// The map in the window: opening, saving, dropping and calibrating it (with the calibration
// form), and what the map view's menus, mouse, cross-hair and printing show.
#include "MainWindowFixture.h"
#include "support/CliRunner.h"

#include "base/Clock.h"
#include "map/ui/frmCalib.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPrinter>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QStatusBar>

using namespace gipso;
using namespace gipso::test;

namespace {

void fill(frmCalib &form, const QStringList &texts)
{
    for (int i = 0; i < 4; ++i)
        form.txtCoord[i]->setText(texts[i]);
}

// Drives the calibration form when it opens: records what its boxes show, then answers.
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
    EXPECT_EQ(storedNumbers(st.calibration), storedNumbers(exampleCalibration()));
    EXPECT_TRUE(w.statusBar()->currentMessage().isEmpty());

    // Recalibrating shows the coordinates in force; cancelling keeps the old calibration whole,
    // reference pixels included.
    st.store.mapModified = false;
    onCalib(f.dialogs, boxesSeen, [](frmCalib &form) { form.cmdAnnulla->click(); });
    w.calibrateMap();
    w.calibrationClick(10, 20);
    w.calibrationClick(50, 60);
    EXPECT_EQ(QLocale().toDouble(boxesSeen.value(0)), 45.1);
    EXPECT_EQ(st.mapMode, MapMode::Calibrated);
    EXPECT_EQ(storedNumbers(st.calibration), storedNumbers(exampleCalibration()));
    EXPECT_FALSE(st.store.mapModified);

    // Cancelling the first calibration of a map goes back to uncalibrated.
    f.dialogs.files = {pic};
    w.openMap();
    w.calibrateMap();
    w.calibrationClick(1, 2);
    w.calibrationClick(3, 4);
    EXPECT_EQ(st.mapMode, MapMode::Uncalibrated);

    // The map closed while the form is open (a large map's full picture found damaged late):
    // neither the new calibration nor the old mode is put back on the closed map.
    for (bool ok : {true, false}) {
        f.dialogs.files = {pic};
        w.openMap();
        w.calibrateMap();
        w.calibrationClick(1, 2);
        onCalib(f.dialogs, boxesSeen, [&st, ok](frmCalib &form) {
            closeMap(st);
            fill(form, {QLocale().toString(45.1), "9", "45", QLocale().toString(9.2)});
            (ok ? form.cmdOK : form.cmdAnnulla)->click();
        });
        w.calibrationClick(3, 4);
        EXPECT_EQ(st.mapMode, MapMode::NoMap);
        EXPECT_FALSE(st.store.mapModified);
    }
}

TEST(Calib, OpenAndSaveQuestionsAndMessages)
{
    MainWindowFixture f;
    frmGPS &w = *f.window;
    AppState &st = f.state();
    f.dialogs.files = {writeMap(f.dir.filePath("a.cal")), f.dir.filePath("saved.Gipso"), f.dir.filePath("missing/dir/x.cal"),
                       f.dir.filePath("x.png")};
    w.openMap();
    ASSERT_EQ(st.mapMode, MapMode::Calibrated);
    st.store.mapModified = true;
    EXPECT_TRUE(w.saveCalibratedMap());
    EXPECT_EQ(QStringList({f.dialogs.fileDialogs[0].title, f.dialogs.fileDialogs[1].title}), QStringList({messageText(161), messageText(163)}));
    EXPECT_FALSE(st.store.mapModified);

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

    // A file that cannot be opened is named with its reason, and leaves the map shown usable.
    const QString missing = f.dir.filePath("missing.jpg");
    f.dialogs.files = {missing};
    w.openMap();
    EXPECT_EQ(f.dialogs.lastText(), "Invalid image or calibrated map file!\n\n" + missing + ": no such file");
    EXPECT_EQ(st.mapMode, MapMode::Calibrated);
}

TEST(Calib, DropsAndCommandLineFiles)
{
    MainWindowFixture f;
    frmGPS &w = *f.window;
    AppState &st = f.state();
    const QString jpg = writePicture(f.dir.filePath("a.jpg")), txt = f.dir.filePath("points.txt");
    const QString doc = f.dir.filePath("notes.doc");
    writeAll(txt, "WP, A, 45.0, 9.0, 100, 01/02/2003, 04:05:06, new\r\n");
    // Each file by its kind, like the command line: point files without a map, two maps refused,
    // other names refused one by one.
    drop(w, {txt, doc});
    EXPECT_EQ(f.dialogs.lastText(), messageText(224) + "\n\n" + doc);
    EXPECT_EQ(st.store.wayPoints.count(), 1);
    drop(w, {jpg, writePicture(f.dir.filePath("b.JPEG"), 123, 45), txt});
    EXPECT_EQ(f.dialogs.lastText(), messageText(225));
    EXPECT_EQ(st.mapMode, MapMode::NoMap);
    EXPECT_EQ(st.store.wayPoints.count(), 1);
    drop(w, {f.dir.filePath("b.JPEG")});
    EXPECT_EQ(st.mapWidth, 123);

    // The command line in any order: the map first, then the point files.
    f.dialogs.shown.clear();
    w.openFiles({testData("gpx/route.gpx"), txt, writeMap(f.dir.filePath("m.cal"))});
    EXPECT_EQ(st.mapMode, MapMode::Calibrated);
    EXPECT_EQ(recentMap(st.settings, 1), f.dir.filePath("m.cal"));
    EXPECT_GT(st.store.routePoints.count(), 0);
    EXPECT_EQ(st.store.wayPoints.count(), 2);
    EXPECT_TRUE(f.dialogs.shown.empty()) << f.dialogs.lastText().toStdString();
}

TEST(Calib, WithoutATemporaryFolderContainersAreRefusedAndNoOtherFolderIsUsed)
{
    // TMPDIR names a file: no private folder can be made. The current folder holds a picture
    // of the user's with the name of the container's image.
    MainWindowFixture f(2057, {}, false);
    const QString notAFolder = f.dir.filePath("tmp");
    writeAll(notAFolder, "a file");
    writeAll(f.env.configFile, "[User tester]\r\nCurrentDir=" + f.dir.path().toUtf8() + "\r\n");
    writeMap(f.dir.filePath("m.Gipso"));
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
    f.window->openFiles({writeMap(f.dir.filePath("c.cal"))});
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

TEST(MapViewUi, PositionCrossHairZoomAndCalibrationClicks)
{
    MainWindowFixture f;
    frmGPS &w = *f.window;
    picMap &view = f.loadMap();
    view.mouseMove(Qt::NoButton, 100, 100); // the first reference point
    EXPECT_EQ(w.panel(1)->text(), messageText(545) + QLocale().toString(45.1, 'f', 10));
    EXPECT_EQ(w.panel(2)->text(), messageText(546) + QLocale().toString(9.0, 'f', 10));

    ASSERT_TRUE(w.hScroll()->isEnabled()); // panning: PointEditingUi.NavigationAndClicksBesideTheMap

    // The cross-hair's lines run along the map's parallels and meridians (turned by the
    // rotation), inverting the map under them; a thickness beyond what a map needs is 20 wide.
    const QPointF mid = view.viewWindow().screenToMap(QPointF(view.width() / 2, view.height() / 2));
    view.mouseMove(Qt::NoButton, mid.x(), mid.y());
    EXPECT_TRUE(view.crossHairShown());
    const double r = w.state().calibration.rotation;
    const QPointF onParallel = view.viewWindow().mapToScreen().map(mid + 80 * QPointF(std::cos(r), -std::sin(r)));
    const QRgb under = view.grab().toImage().pixel(onParallel.toPoint());
    EXPECT_EQ(QList<int>({qRed(under), qGreen(under)}), QList<int>({255 - 220, 255 - 235}));
    w.state().settings.CursorThickness = 32767;
    view.mouseMove(Qt::NoButton, mid.x(), mid.y());
    const QPointF across(std::sin(r), std::cos(r));
    const QImage wide = view.grab().toImage();
    EXPECT_EQ(qRed(wide.pixel((onParallel + 7 * across).toPoint())), 255 - 220);
    EXPECT_EQ(qRed(wide.pixel((onParallel + 14 * across).toPoint())), 220);

    // The zoom entries, the panel and the bars (the arithmetic: tests/map/test_view.cpp).
    w.action("mnuXpiu")->trigger();
    EXPECT_EQ(w.panel(4)->text(), "125%");
    w.action("mnuX25")->trigger();
    for (int i = 0; i < 3; ++i)
        w.zoomCommand("mnuXmeno");
    w.updateMenuForCounts("mnuVista"); // the entries' enabling as the menu opens
    EXPECT_EQ(w.panel(4)->text(), "10%");
    EXPECT_FALSE(f.enabled("mnuXmeno"));
    EXPECT_TRUE(f.enabled("mnuX25"));
    EXPECT_FALSE(w.hScroll()->isEnabled() || w.vScroll()->isEnabled()); // the map shown whole
    w.action("mnuHalftone")->trigger();
    EXPECT_NEAR(qBlue(view.bitmap().pixel(2, 2)), 220, 2); // averaged columns
    w.action("mnuX400")->trigger();
    w.hScroll()->setValue(32000); // a user scroll rebuilds the view at the new place
    EXPECT_EQ(view.viewWindow().source.right(), 1999);

    // During calibration a click goes to the calibration, a drag does not.
    w.setMapMode(MapMode::FirstClick);
    view.mouseDown(Qt::LeftButton, 40, 50);
    view.mouseMove(Qt::LeftButton, 41, 50);
    view.mouseUp(Qt::LeftButton);
    EXPECT_EQ(w.state().mapMode, MapMode::FirstClick);
    view.mouseDown(Qt::LeftButton, 40, 50);
    view.mouseUp(Qt::LeftButton);
    EXPECT_EQ(QList<double>({w.state().calibration.x1, w.state().calibration.yUp1}), QList<double>({40, -50}));
}

TEST(MapViewUi, ABurstOfMovesIsDrawnOnceWhereTheLastMoveSays)
{
    MainWindowFixture f;
    frmGPS &w = *f.window;
    picMap &view = f.loadMap();
    const auto post = [&](QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QApplication::postEvent(&view, new QMouseEvent(type, at, view.mapToGlobal(at), button, buttons, Qt::NoModifier));
    };
    // A left drag, once with every move drawn before the next arrives, once queued whole: it
    // ends at the same place, and queued, the map is resampled and the overlay drawn once.
    const auto drag = [&](bool queued) {
        w.hScroll()->setValue(0);
        w.vScroll()->setValue(0);
        view.grab();
        post(QEvent::MouseButtonPress, QPointF(400, 300), Qt::LeftButton, Qt::LeftButton);
        for (int i = 1; i <= 10; ++i) {
            post(QEvent::MouseMove, QPointF(400 - 10 * i, 300 - 5 * i), Qt::NoButton, Qt::LeftButton);
            if (!queued) {
                QApplication::processEvents();
                view.grab();
            }
        }
        post(QEvent::MouseButtonRelease, QPointF(300, 250), Qt::LeftButton, Qt::NoButton);
        QApplication::processEvents();
        return std::pair(w.hScroll()->value(), w.vScroll()->value());
    };
    const auto oneByOne = drag(false);
    EXPECT_GT(oneByOne.first, 0);
    EXPECT_GT(oneByOne.second, 0);
    const int builds = view.bitmapBuilds(), paints = view.overlayPaints();
    EXPECT_EQ(drag(true), oneByOne);
    // Once scrolled back at the start, once after the drag (the events processed paint it).
    EXPECT_EQ(view.bitmapBuilds() - builds, 2);
    EXPECT_EQ(view.overlayPaints() - paints, 2);
    // Moves queued over the map: the readout shows the last one, the first reference point.
    const QPointF reference = view.viewWindow().mapToScreen().map(QPointF(100, 100));
    for (int i = 5; i >= 0; --i)
        post(QEvent::MouseMove, reference + QPointF(7 * i, 3 * i), Qt::NoButton, Qt::NoButton);
    QApplication::processEvents();
    EXPECT_EQ(w.panel(1)->text(), messageText(545) + QLocale().toString(45.1, 'f', 10));
    EXPECT_EQ(w.panel(2)->text(), messageText(546) + QLocale().toString(9.0, 'f', 10));
}

// A moved view draws only the strips it uncovers; every pixel is that of a fresh whole drawing:
// a dense track in altitude colours crossing the strips' edges, track starts and WayPoints with
// their labels, a route with its headings. A move with anything else changed is drawn whole.
TEST(MapViewUi, AMovedViewIsTheWholeDrawingAtItsNewPlace)
{
    MainWindowFixture f;
    frmGPS &w = *f.window;
    picMap &view = f.loadMap();
    AppState &st = w.state();
    const auto at = [&](double x, double y, PointKind kind, const QString &name = {}) {
        GpsPoint p;
        p.kind = kind;
        mapToGeo(st.calibration, x, -y, p.latitude, p.longitude);
        p.altitude = float(x + y);
        (kind == PointKind::Track ? p.description : p.name) = name;
        return p;
    };
    for (int i = 0; i < 30000; ++i) // a dense zigzag over the whole map, a track start every 700 points
        st.store.trackPoints.append(at(40 + i % 300 * 6.37, 20 + i * 0.0473 + (i % 7) * 3.1, PointKind::Track,
                                       i % 700 == 0 ? QString("start %1").arg(i) : QString()));
    for (int i = 0; i < 400; ++i)
        st.store.wayPoints.append(at(13.3 + i % 20 * 99.7, 11.1 + i / 20 * 74.9, PointKind::Way, QString("W%1").arg(i)));
    for (int i = 0; i < 12; ++i)
        st.store.routePoints.append(at(100 + i * 157.3, 200 + (i % 3) * 401.7, PointKind::Route, QString("R%1").arg(i)));
    QApplication::processEvents();
    // Exact, or (near) where positions times a scale like 0.1 round a hair apart once moved:
    // every pixel that differs has its colour within one pixel in the fresh drawing, and at
    // most kNear pixels differ.
    constexpr int kNear = 20;
    const auto drawnAsWhole = [&](const char *what, bool near) {
        SCOPED_TRACE(what);
        const ViewWindow &win = view.viewWindow();
        const QImage picture = renderVisible(st.mapPicture, win, st.zoomFactor, w.halftone());
        EXPECT_TRUE(view.bitmap() == picture); // the map's pixels exactly; the overlay may round
        const QImage fresh = renderViewImage(st, win, picture).convertToFormat(QImage::Format_RGB32);
        const QImage shown = view.grab().toImage().convertToFormat(QImage::Format_RGB32).copy(QRect(QPoint(0, 0), win.dest));
        const auto nearby = [&](int x, int y) {
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    if (fresh.valid(x + dx, y + dy) && fresh.pixel(x + dx, y + dy) == shown.pixel(x, y))
                        return true;
            return false;
        };
        int wrong = 0, far = 0;
        for (int y = 0; y < fresh.height(); ++y)
            for (int x = 0; x < fresh.width(); ++x)
                if (shown.pixel(x, y) != fresh.pixel(x, y)) {
                    ++wrong;
                    far += !nearby(x, y);
                }
        EXPECT_EQ(far, 0);
        EXPECT_LE(wrong, near ? kNear : 0);
    };
    struct Move {
        const char *what;
        double zoom;
        QPointF by; // screen pixels
        bool strips;
        std::function<void()> alsoChange;
        bool wholePixels = false;
    };
    const auto pan = [&](const Move &m, bool near) {
        if (st.zoomFactor != m.zoom) {
            st.zoomFactor = m.zoom;
            w.hScroll()->setValue(8000); // away from the edges
            w.vScroll()->setValue(8000);
            view.grab();
        }
        const int strips = view.stripPaints();
        view.scrollBy(m.by.x(), m.by.y(), m.wholePixels);
        if (m.alsoChange)
            m.alsoChange();
        drawnAsWhole(m.what, near);
        EXPECT_EQ(view.stripPaints() - strips, m.strips ? 1 : 0) << m.what;
    };
    const Move moves[] = {
        {"right", 1, {37, 0}, true, {}},
        {"up", 1, {0, -23}, true, {}},
        {"diagonal", 1, {-51, 29}, true, {}},
        {"diagonal, a point moved too", 1, {18, 18}, false, [&] { st.store.trackPoints[15000].latitude += 0.0001; }},
        {"diagonal, a WayPoint selected too", 1, {-9, 14}, false, [&] { st.selection.selectedWayPoint = 37; }},
        {"larger than the view", 1, {1500, 900}, false, {}},
        // 200% of a view 599 wide: 300 map pixels over 599 screen pixels, a move is no whole number
        {"at 200%, an odd view width", 2, {-33, 41}, false, {}},
        {"at 50%", 0.5, {-30, 40}, true, {}}, // 24 and 22 map pixels
        {"at 50%, half a screen pixel", 0.5, {-32, 21}, false, {}}, // 25 and 11
        // a drag or the wheel lands on whole screen pixels: 26 and 12 map pixels
        {"at 50%, on whole pixels", 0.5, {-32, 21}, true, {}, true},
        {"at 75%", 0.75, {-30, 20}, false, {}},
    };
    st.zoomFactor = 0;
    for (const Move &m : moves)
        pan(m, false);

    // A view of 150 x 120: at 10% the map scrolls, 10 map pixels to a screen pixel; at 300%
    // 50 x 40 map pixels fill it, each 3 screen pixels.
    view.resize(150, 120);
    QApplication::processEvents();
    ASSERT_EQ(view.size(), QSize(150, 120));
    const Move integral[] = {
        {"at 10%, right", 0.1, {-7, 0}, true, {}, true},
        {"at 10%, up", 0.1, {0, 5}, true, {}, true},
        {"at 10%, diagonal", 0.1, {13, -11}, true, {}, true},
        {"at 10%, part of a screen pixel", 0.1, {-2.3, 1.7}, false, {}},
        {"at 300%, right", 3, {-39, 0}, true, {}},
        {"at 300%, up", 3, {0, 24}, true, {}},
        {"at 300%, diagonal", 3, {30, -45}, true, {}},
    };
    for (const Move &m : integral)
        pan(m, true);

    // Pixel interpolation over a map of noise, where any other weighing of a block shows: the
    // strips are averaged alone at whole blocks of map pixels.
    QRandomGenerator noise(11);
    for (int y = 0; y < st.mapPicture.height(); ++y)
        for (int x = 0; x < st.mapPicture.width(); ++x)
            st.mapPicture.setPixel(x, y, noise.generate());
    w.action("mnuHalftone")->trigger();
    ASSERT_TRUE(w.halftone());
    const Move averaged[] = {
        {"averaged at 10%, diagonal", 0.1, {13, -11}, true, {}, true},
        {"averaged at 10%, left", 0.1, {-7, 0}, true, {}, true},
        {"averaged at 10%, part of a screen pixel", 0.1, {-2.3, 1.7}, false, {}},
        {"averaged at 50%, diagonal", 0.5, {-32, 21}, true, {}, true},
        {"averaged at 50%, up", 0.5, {0, 9}, true, {}, true},
        {"averaged at 75%, whole screen pixels", 0.75, {-30, 0}, false, {}}, // 36 map pixels, 27 screen pixels
    };
    for (const Move &m : averaged)
        pan(m, true);
}

// Orientation, fit and header: MapPrint in tests/map/test_render.cpp.
TEST(MapViewUi, PrintsTheViewToAPdf)
{
    MainWindowFixture f;
    frmGPS &w = *f.window;
    f.loadMap(300, 200);
    int clockReads = 0;
    setClock([&] { return ++clockReads, QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5)); });
    auto printTo = [&](const QString &pdf, int copies) {
        f.dialogs.onPrintSetup = [=](QPrinter &printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            printer.setCopyCount(copies);
            return true;
        };
        w.printMap();
    };
    printTo(f.dir.filePath("print.pdf"), 2);
    setClock({});
    EXPECT_EQ(clockReads, 2); // two copies: two documents, each with its own header time
    EXPECT_TRUE(f.dialogs.shown.empty());
    runProgram("pdftoppm", {"-r", "20", "-png", "-singlefile", f.dir.filePath("print.pdf"), f.dir.filePath("page")});
    const QImage page(f.dir.filePath("page.png")); // the first page at 20 dots per inch
    ASSERT_FALSE(page.isNull());
    EXPECT_GT(page.width(), page.height());
    const QRgb centre = page.pixel(page.width() / 2, page.height() / 2); // the map's colour
    EXPECT_TRUE(qAbs(qRed(centre) - 220) < 15 && qAbs(qGreen(centre) - 235) < 10) << std::hex << centre;

    printTo(f.dir.filePath("no/such/folder/x.pdf"), 1); // a printer that cannot be written to
    EXPECT_EQ(f.dialogs.lastText(), messageText(235));
    f.dialogs.onPrintSetup = nullptr; // cancelled: nothing printed, nothing said
    w.printMap();
    EXPECT_EQ(f.dialogs.shown.size(), 1u);
}
