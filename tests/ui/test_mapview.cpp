#include "MainWindowFixture.h"
#include "support/CliRunner.h"
#include "support/MapSupport.h"

#include "base/Clock.h"
#include "base/Messages.h"
#include "map/ui/picMap.h"

#include <QPrinter>
#include <QScrollBar>
#include <gtest/gtest.h>

using namespace gipso;
using namespace gipso::test;

namespace {

// A calibrated map of w x h in a light colour whose columns alternate, loaded into the window.
picMap &loadMap(frmGPS &w, int width = 2000, int height = 1500)
{
    AppState &st = w.state();
    st.mapPicture = QImage(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            st.mapPicture.setPixel(x, y, qRgb(220, 235, 200 + x % 2 * 40));
    st.mapWidth = width;
    st.mapHeight = height;
    st.calibration = exampleCalibration();
    w.setMapMode(MapMode::Calibrated);
    w.mapLoaded();
    return *w.mapView();
}

} // namespace

TEST(MapViewUi, ZoomEntriesHalftoneAndScrollBars)
{
    MainWindowFixture f;
    frmGPS &w = *f.window;
    picMap &view = loadMap(w);
    EXPECT_EQ(w.panel(4)->text(), "100%");
    EXPECT_TRUE(w.hScroll()->isEnabled());
    EXPECT_EQ(view.bitmap().size(), view.size()); // the map is larger than the view

    w.action("mnuXpiu")->trigger();
    EXPECT_EQ(w.panel(4)->text(), "125%");
    w.action("mnuX25")->trigger();
    for (int i = 0; i < 3; ++i)
        w.zoomCommand("mnuXmeno");
    w.updateMenuForCounts("mnuVista"); // the entries' enabling as the menu opens
    EXPECT_EQ(w.panel(4)->text(), "10%");
    EXPECT_FALSE(f.enabled("mnuXmeno"));
    EXPECT_TRUE(f.enabled("mnuX25"));
    // 200 x 150 screen pixels: smaller than the view, shown whole, bars disabled.
    EXPECT_EQ(view.bitmap().size(), QSize(200, 150));
    EXPECT_FALSE(w.hScroll()->isEnabled() || w.vScroll()->isEnabled());

    // Pixel interpolation rebuilds the view with averaged pixels below 100%, and back.
    w.action("mnuHalftone")->trigger();
    EXPECT_NEAR(qBlue(view.bitmap().pixel(2, 2)), 220, 2);
    w.action("mnuHalftone")->trigger();
    const int dropped = qBlue(view.bitmap().pixel(2, 2));
    EXPECT_TRUE(dropped == 200 || dropped == 240);

    // A user scroll rebuilds the view at the new place.
    w.action("mnuX400")->trigger();
    EXPECT_EQ(view.viewWindow().source.x(), 0);
    w.hScroll()->setValue(32000);
    EXPECT_EQ(view.viewWindow().source.right(), 1999);
}

TEST(MapViewUi, OverlayPositionPanningCrossHairAndCalibrationClicks)
{
    MainWindowFixture f;
    frmGPS &w = *f.window;
    picMap &view = loadMap(w);
    w.state().store.wayPoints.append(pointOnMap(w.state().calibration, 150, 120, PointKind::Way));
    w.repaintMap();
    EXPECT_EQ(view.grab().toImage().pixel(150 + 6, 119), qRgb(255, 0, 0)); // the overlay over the map

    // The position of the mouse in panels 1 and 2: here the first reference point.
    view.mouseMove(Qt::NoButton, 100, 100);
    EXPECT_EQ(w.panel(1)->text(), messageText(545) + QLocale().toString(45.1, 'f', 10));
    EXPECT_EQ(w.panel(2)->text(), messageText(546) + QLocale().toString(9.0, 'f', 10));

    // Panning with the right button moves the bars against the press position.
    const int h0 = w.hScroll()->value();
    view.mouseDown(Qt::RightButton, 500, 300);
    view.mouseMove(Qt::RightButton, 300, 300);
    view.mouseUp(Qt::RightButton);
    EXPECT_EQ(w.hScroll()->value(), h0 + 3200); // 200 of 2000 pixels = a tenth of 32000

    // The cross-hair follows the mouse. Its lines run along the map's parallels and meridians
    // (turned by the rotation), inverting the map under them.
    const QPointF mid = view.viewWindow().screenToMap(QPointF(view.width() / 2, view.height() / 2));
    view.mouseMove(Qt::NoButton, mid.x(), mid.y());
    EXPECT_TRUE(view.crossHairShown());
    const double r = w.state().calibration.rotation;
    const QPointF onParallel = view.viewWindow().mapToScreen().map(mid + 80 * QPointF(std::cos(r), -std::sin(r)));
    const QRgb under = view.grab().toImage().pixel(onParallel.toPoint());
    EXPECT_EQ(qRed(under), 255 - 220);
    EXPECT_EQ(qGreen(under), 255 - 235);
    // A cursor thickness beyond what a map needs is drawn 20 pixels wide.
    w.state().settings.CursorThickness = 32767;
    view.mouseMove(Qt::NoButton, mid.x(), mid.y());
    const QPointF across(std::sin(r), std::cos(r));
    const QImage wide = view.grab().toImage();
    EXPECT_EQ(qRed(wide.pixel((onParallel + 7 * across).toPoint())), 255 - 220);
    EXPECT_EQ(qRed(wide.pixel((onParallel + 14 * across).toPoint())), 220);

    // During calibration a click goes to the calibration, a drag does not.
    w.setMapMode(MapMode::FirstClick);
    view.mouseDown(Qt::LeftButton, 40, 50);
    view.mouseMove(Qt::LeftButton, 41, 50);
    view.mouseUp(Qt::LeftButton);
    EXPECT_EQ(w.state().mapMode, MapMode::FirstClick);
    view.mouseDown(Qt::LeftButton, 40, 50);
    view.mouseUp(Qt::LeftButton);
    EXPECT_EQ(w.state().mapMode, MapMode::SecondClick);
    EXPECT_EQ(w.state().calibration.x1, 40);
    EXPECT_EQ(w.state().calibration.yUp1, -50);
}

TEST(MapViewUi, PrintsTheViewToAPdf)
{
    MainWindowFixture f;
    frmGPS &w = *f.window;
    loadMap(w, 300, 200); // wider than tall: landscape
    int clockReads = 0;
    setClock([&] {
        ++clockReads;
        return QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5));
    });
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
    const QImage page = pdfPage(f.dir.filePath("print.pdf"));
    ASSERT_FALSE(page.isNull());
    EXPECT_GT(page.width(), page.height());
    int mapPixels = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            mapPixels += qRed(page.pixel(x, y)) > 200 && qRed(page.pixel(x, y)) < 235 && qGreen(page.pixel(x, y)) > 225 &&
                         qGreen(page.pixel(x, y)) < 245;
    EXPECT_GT(mapPixels, page.width() * page.height() / 3);

    printTo(f.dir.filePath("no/such/folder/x.pdf"), 1); // a printer that cannot be written to
    ASSERT_EQ(f.dialogs.shown.size(), 1u);
    EXPECT_EQ(f.dialogs.lastText(), messageText(235));
    f.dialogs.onPrintSetup = nullptr; // cancelled: nothing printed, nothing said
    w.printMap();
    EXPECT_EQ(f.dialogs.shown.size(), 1u);
}
