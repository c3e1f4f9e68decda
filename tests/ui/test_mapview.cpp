#include <QMenu>

#include "MainWindowFixture.h"
#include "support/CliRunner.h"
#include "support/MapSupport.h"

#include "base/Clock.h"
#include "base/Messages.h"
#include "map/ui/picMap.h"

#include <QAction>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QPrinter>
#include <QScrollBar>
#include <gtest/gtest.h>

using namespace gipso;
using namespace gipso::test;

namespace {

// A calibrated map of w x h with a light pattern, loaded into the window.
void loadMap(frmGPS &w, int width = 2000, int height = 1500)
{
    AppState &st = w.state();
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, qRgb(220, 235, 200 + x % 2 * 40)); // columns alternate
    st.mapPicture = picture;
    st.mapWidth = width;
    st.mapHeight = height;
    st.calibration = exampleCalibration();
    w.setMapMode(mapmode::Calibrated);
    w.mapLoaded();
}

} // namespace

TEST(MapViewUi, ViewZoomAndScrollBars)
{
    MainWindowFixture f;
    frmGPS &w = *f.window;
    picMap *view = w.mapView();
    ASSERT_NE(view, nullptr);
    loadMap(w);
    EXPECT_EQ(w.panel(4)->text(), QStringLiteral("100%"));
    EXPECT_EQ(w.hScroll()->maximum(), 32000);
    EXPECT_EQ(w.hScroll()->singleStep(), 320);
    EXPECT_EQ(w.vScroll()->pageStep(), 3200);
    EXPECT_TRUE(w.hScroll()->isEnabled());
    EXPECT_EQ(view->bitmap().size(), view->size()); // the map is larger than the view

    // Zoom entries and their enabling as the View menu opens.
    w.action(QStringLiteral("mnuXpiu"))->trigger();
    EXPECT_EQ(w.panel(4)->text(), QStringLiteral("125%"));
    w.action(QStringLiteral("mnuX25"))->trigger();
    w.updateMenuForCounts(QStringLiteral("mnuVista"));
    EXPECT_FALSE(f.enabled(QStringLiteral("mnuX25")));
    EXPECT_TRUE(f.enabled(QStringLiteral("mnuXNorm")));
    EXPECT_TRUE(f.enabled(QStringLiteral("mnuXmeno")));
    for (int i = 0; i < 3; ++i)
        w.zoomCommand(QStringLiteral("mnuXmeno"));
    w.updateMenuForCounts(QStringLiteral("mnuVista"));
    EXPECT_EQ(w.panel(4)->text(), QStringLiteral("10%"));
    EXPECT_FALSE(f.enabled(QStringLiteral("mnuXmeno")));
    // 200 x 150 screen pixels: smaller than the view, shown whole, bars disabled.
    EXPECT_EQ(view->bitmap().size(), QSize(200, 150));
    EXPECT_FALSE(w.hScroll()->isEnabled());
    EXPECT_FALSE(w.vScroll()->isEnabled());

    // Pixel interpolation toggles and rebuilds the view with averaged pixels below 100%.
    QAction *half = w.action(QStringLiteral("mnuHalftone"));
    EXPECT_FALSE(half->isChecked());
    half->trigger();
    EXPECT_TRUE(half->isChecked());
    EXPECT_NEAR(qBlue(view->bitmap().pixel(2, 2)), 220, 2); // alternate columns averaged
    half->trigger();
    const int dropped = qBlue(view->bitmap().pixel(2, 2));
    EXPECT_TRUE(dropped == 200 || dropped == 240);

    // A user scroll rebuilds the view at the new place.
    w.action(QStringLiteral("mnuX400"))->trigger();
    EXPECT_EQ(view->viewWindow().source.x(), 0);
    w.hScroll()->setValue(32000);
    EXPECT_EQ(view->viewWindow().source.right(), 1999);
}

TEST(MapViewUi, OverlayPanningCrossHairAndCalibrationClicks)
{
    MainWindowFixture f;
    frmGPS &w = *f.window;
    loadMap(w);
    picMap *view = w.mapView();
    GpsPoint wp;
    mapToGeo(w.state().calibration, 150, -120, wp.latitude, wp.longitude);
    wp.kind = PointKind::Way;
    w.state().store.wayPoints.append(wp);
    w.repaintMap();
    const QImage shot = view->grab().toImage();
    EXPECT_EQ(shot.pixel(150 + 6, 119), qRgb(255, 0, 0)); // geoToMap puts it at (150.5, 119.5)

    // Panning with the right button moves the bars against the press position.
    const int h0 = w.hScroll()->value();
    view->mouseDown(2, 500, 300);
    view->mouseMove(2, 300, 300);
    view->mouseUp(2, 300, 300);
    EXPECT_EQ(w.hScroll()->value(), h0 + 3200); // 200 of 2000 pixels = a tenth of 32000
    EXPECT_EQ(view->viewWindow().source.x(), qRound((2000 - view->width()) * 0.1));

    // The cross-hair follows the mouse with the position in panels 1 and 2.
    const QPointF mid = view->viewWindow().screenToMap(QPointF(view->width() / 2, view->height() / 2));
    view->mouseMove(0, mid.x(), mid.y());
    EXPECT_TRUE(view->crossHairShown);
    EXPECT_TRUE(w.panel(1)->text().startsWith(messageText(545)));
    double lat, lon;
    mapToGeo(w.state().calibration, mid.x(), -mid.y(), lat, lon);
    EXPECT_TRUE(w.panel(2)->text().endsWith(QLocale().toString(lon, 'f', 10))) << w.panel(2)->text().toStdString();
    // The lines run along the map's parallels and meridians (turned by the rotation), inverting
    // the map under them.
    const QImage withCross = view->grab().toImage();
    const double r = w.state().calibration.rotation;
    const QPointF onParallel = view->viewWindow().mapToScreen().map(QPointF(mid.x() + 80 * std::cos(r), mid.y() - 80 * std::sin(r)));
    const QRgb under = withCross.pixel(onParallel.toPoint());
    EXPECT_EQ(qRed(under), 255 - 220);
    EXPECT_EQ(qGreen(under), 255 - 235);

    // During calibration a click goes to the calibration, a drag does not.
    w.setMapMode(mapmode::FirstClick);
    view->mouseDown(1, 40, 50);
    view->mouseMove(1, 41, 50);
    view->mouseUp(1, 41, 50);
    EXPECT_EQ(w.state().mapMode, mapmode::FirstClick);
    view->mouseDown(1, 40, 50);
    view->mouseUp(1, 40, 50);
    EXPECT_EQ(w.state().mapMode, mapmode::SecondClick);
    EXPECT_EQ(w.state().calibration.x1, 40);
    EXPECT_EQ(w.state().calibration.yUp1, -50);
}

TEST(MapViewUi, PrintsTheViewToAPdf)
{
    MainWindowFixture f;
    frmGPS &w = *f.window;
    loadMap(w, 300, 200); // wider than tall: landscape
    const QString pdf = f.dir.filePath(QStringLiteral("print.pdf"));
    int setups = 0, clockReads = 0;
    setClock([&] {
        ++clockReads;
        return QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5));
    });
    f.dialogs.onPrintSetup = [&](QPrinter &printer) {
        ++setups;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setCopyCount(2);
        return true;
    };
    w.printMap();
    setClock({});
    EXPECT_EQ(setups, 1);
    EXPECT_EQ(clockReads, 2); // two copies: two documents, each with its own header time
    EXPECT_TRUE(f.dialogs.shown.empty());
    ASSERT_TRUE(QFile::exists(pdf));
    const QImage page = pdfPage(pdf);
    ASSERT_FALSE(page.isNull());
    EXPECT_GT(page.width(), page.height());
    int mapPixels = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            const QRgb p = page.pixel(x, y);
            mapPixels += qRed(p) > 200 && qRed(p) < 235 && qGreen(p) > 225 && qGreen(p) < 245;
        }
    EXPECT_GT(mapPixels, page.width() * page.height() / 3);

    // A printer that cannot be written to: "Print error!".
    f.dialogs.onPrintSetup = [&](QPrinter &printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(f.dir.filePath(QStringLiteral("no/such/folder/x.pdf")));
        return true;
    };
    w.printMap();
    ASSERT_EQ(f.dialogs.shown.size(), 1u);
    EXPECT_EQ(f.dialogs.lastText(), messageText(235));

    // Cancelled: nothing printed, nothing said.
    f.dialogs.onPrintSetup = nullptr;
    f.dialogs.printAccept = false;
    w.printMap();
    EXPECT_EQ(f.dialogs.shown.size(), 1u);
}
