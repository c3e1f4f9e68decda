#include "map/MapRender.h"
#include "map/Print.h"

#include "base/Clock.h"
#include "base/Messages.h"
#include "support/CliRunner.h"
#include "support/MapSupport.h"

#include <QPainter>
#include <gtest/gtest.h>

using namespace gipso;

namespace {
constexpr QRgb kWhite = 0xffffffffu;

// A 400 x 300 map with the example calibration.
AppState calibratedState()
{
    AppState st;
    st.mapMode = mapmode::Calibrated;
    st.mapWidth = 400;
    st.mapHeight = 300;
    st.calibration = test::exampleCalibration();
    Settings &s = st.settings;
    s.WayPointName = s.RoutePointName = s.TrackPointName = s.RouteHeadings = 0;
    return st;
}

GpsPoint pointAt(const AppState &st, double x, double y, PointKind kind, float alt = 0, const QString &desc = {})
{
    return test::pointOnMap(st.calibration, x, y, kind, alt, desc);
}

QImage render(const AppState &st, QSize view = QSize(400, 300))
{
    const ViewWindow w = visibleWindow(st.mapWidth, st.mapHeight, st.zoomFactor, view, 0, 0);
    QImage bitmap(w.dest, QImage::Format_RGB32);
    bitmap.fill(Qt::white);
    return renderViewImage(st, w, bitmap);
}

QRgb rgb(int32_t setting) { return colourFromSetting(setting).rgb(); }
} // namespace

TEST(MapRender, WayPointCircleAtItsMapPosition)
{
    AppState st = calibratedState();
    st.store.wayPoints.append(pointAt(st, 150, 120, PointKind::Way));
    double x, yUp;
    geoToMap(st.calibration, st.store.wayPoints[1].latitude, st.store.wayPoints[1].longitude, x, yUp);
    const int cx = int(x), cy = int(-yUp);
    const QImage img = render(st);
    const QRgb red = rgb(st.settings.WayPointColor);
    // SymbolDim 6 at 100%: a ring of radius 6 around the point, empty inside.
    EXPECT_EQ(img.pixel(cx + 6, cy), red);
    EXPECT_EQ(img.pixel(cx - 6, cy), red);
    EXPECT_EQ(img.pixel(cx, cy - 6), red);
    EXPECT_EQ(img.pixel(cx, cy), kWhite);
    EXPECT_EQ(img.pixel(cx + 12, cy), kWhite);

    // At 200% the radius stays about 6 screen pixels (symR = 3 map pixels).
    st.zoomFactor = 2.0;
    const QImage big = render(st, QSize(800, 600));
    EXPECT_EQ(big.pixel(int(2 * x) + 6, int(-2 * yUp)), red);
    EXPECT_EQ(big.pixel(int(2 * x), int(-2 * yUp)), kWhite);

    // A selected WayPoint is drawn again in the inverse colour (red becomes cyan).
    st.zoomFactor = 1.0;
    st.selection.selectedWayPoint = 1;
    const QImage sel = render(st);
    EXPECT_EQ(sel.pixel(cx + 6, cy), qRgb(0, 255, 255));
    EXPECT_EQ(inverseColour(0x0000FF), 0xFFFF00);

    // Names are written to the right of the symbol.
    st.selection.selectedWayPoint = 0;
    st.settings.WayPointName = 1;
    st.store.wayPoints[1].name = QStringLiteral("WWWW");
    const QImage named = render(st);
    int redRight = 0;
    for (int yy = cy - 30; yy < cy + 10; ++yy)
        for (int xx = cx + 11; xx < cx + 60; ++xx)
            redRight += named.pixel(xx, yy) == red;
    EXPECT_GT(redRight, 10);
}

TEST(MapRender, TrackColoursAndTrackBreaks)
{
    AppState st = calibratedState();
    st.settings.TrackPointSymbol = 0;
    PointList &tp = st.store.trackPoints;
    // Track 1 climbs from 100 m (left) to 500 m (right) along y = 100.
    tp.append(pointAt(st, 20, 100, PointKind::Track, 100, QStringLiteral("one")));
    tp.append(pointAt(st, 100, 100, PointKind::Track, 300));
    tp.append(pointAt(st, 180, 100, PointKind::Track, 500));
    // Track 2 starts away from the end of track 1: no leg joins them.
    tp.append(pointAt(st, 380, 250, PointKind::Track, 300, QStringLiteral("two")));
    tp.append(pointAt(st, 380, 150, PointKind::Track, 300));
    const QImage img = render(st);
    // A leg takes the colour of its end point: the one ending at 300 m (halfway) is green,
    // the one ending at the highest point red.
    EXPECT_EQ(img.pixel(60, 100), qRgb(0, 255, 0));
    EXPECT_EQ(img.pixel(170, 100), qRgb(255, 0, 0));
    EXPECT_EQ(altitudeColour(300, 100, 500), 256 * 255 + 0);
    EXPECT_EQ(altitudeColour(100, 100, 500), 65536 * 255);
    EXPECT_EQ(altitudeColour(500, 100, 500), 255);
    EXPECT_EQ(altitudeColour(7, 7, 7), 255); // one altitude: pure red
    // No leg between (180,100) and (380,250): the middle of that line stays white.
    EXPECT_EQ(img.pixel(280, 175), kWhite);
    EXPECT_NE(img.pixel(380, 200), kWhite); // track 2's own leg is there

    // A fixed colour when altitude colouring is off.
    st.settings.AutoTrackPointColor = 0;
    const QImage fixed = render(st);
    EXPECT_EQ(fixed.pixel(60, 100), rgb(st.settings.TrackColor));

    // The selected TrackPoint's square is drawn in the inverse colour.
    st.settings.TrackPointSymbol = 1;
    st.selection.selectedTrackPoint = 4;
    double x, yUp;
    geoToMap(st.calibration, tp[4].latitude, tp[4].longitude, x, yUp);
    const QImage sel = render(st);
    EXPECT_EQ(sel.pixel(int(x) - 6, int(-yUp) + 3), qRgb(255, 255, 0)); // inverse of blue

    // A track that dips: the leg ending at its lowest point is blue.
    tp.clear();
    st.settings.TrackPointSymbol = 0;
    st.settings.AutoTrackPointColor = 1;
    st.selection.selectedTrackPoint = 0;
    tp.append(pointAt(st, 20, 200, PointKind::Track, 900));
    tp.append(pointAt(st, 200, 200, PointKind::Track, 100));
    tp.append(pointAt(st, 380, 200, PointKind::Track, 900));
    const QImage dip = render(st);
    EXPECT_EQ(dip.pixel(100, 200), qRgb(0, 0, 255));
    EXPECT_EQ(dip.pixel(300, 200), qRgb(255, 0, 0));
}

TEST(MapRender, RouteLegsAndLabels)
{
    AppState st = calibratedState();
    st.settings.RoutePointSymbol = 0;
    PointList &rp = st.store.routePoints;
    rp.append(pointAt(st, 50, 150, PointKind::Route));
    rp.append(pointAt(st, 350, 150, PointKind::Route));
    rp.append(pointAt(st, 350, 150, PointKind::Route)); // same place: no leg, no label
    QImage img = render(st);
    EXPECT_EQ(img.pixel(200, 150), qRgb(0, 0, 0));
    auto darkBelow = [](const QImage &im) {
        int n = 0;
        for (int y = 155; y < 190; ++y)
            for (int x = 150; x < 300; ++x)
                n += qGray(im.pixel(x, y)) < 100;
        return n;
    };
    EXPECT_EQ(darkBelow(img), 0);
    st.settings.RouteHeadings = 1; // the heading is written below the middle of the leg
    img = render(st);
    EXPECT_GT(darkBelow(img), 20);
}

TEST(MapRender, DrawingDisc)
{
    const DrawingDisc d = drawingDisc(400, 300);
    EXPECT_DOUBLE_EQ(d.r, 700);
    EXPECT_TRUE(pointVisible(d, 200 + 700, 150));
    EXPECT_FALSE(pointVisible(d, 200 + 700.001, 150));
    QPointF a, b;
    EXPECT_FALSE(clipSegment(d, QPointF(1, 1), QPointF(1, 1), a, b));
    // Both ends outside, crossing the disc: drawn clipped.
    ASSERT_TRUE(clipSegment(d, QPointF(-2000, 150), QPointF(2000, 150), a, b));
    EXPECT_NEAR(a.x(), -500, 1e-9);
    EXPECT_NEAR(b.x(), 900, 1e-9);
    EXPECT_FALSE(clipSegment(d, QPointF(-2000, 2000), QPointF(2000, 2000), a, b));
    // The cap of 10000 never cuts the corners off a very large map.
    const DrawingDisc big = drawingDisc(20000, 20000);
    EXPECT_TRUE(pointVisible(big, 0, 0));
    EXPECT_DOUBLE_EQ(drawingDisc(3000, 2000).r, 5000);
}

TEST(MapRender, NoMapShowsTheProductNameAndNoPoints)
{
    AppState st = calibratedState();
    st.mapMode = mapmode::NoMap;
    st.store.wayPoints.append(pointAt(st, 150, 120, PointKind::Way));
    QImage img(300, 200, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    PaintOptions o;
    o.noMapTextColour = QColor(10, 20, 30);
    paintMap(p, st, visibleWindow(0, 0, 1, img.size(), 0, 0), o);
    p.end();
    int text = 0, red = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x) {
            text += img.pixel(x, y) == qRgb(10, 20, 30);
            red += img.pixel(x, y) == qRgb(255, 0, 0);
        }
    EXPECT_GT(text, 500); // rows of text across the whole view, also its bottom right
    EXPECT_EQ(red, 0);
    int bottomRight = 0;
    for (int y = 150; y < 200; ++y)
        for (int x = 250; x < 300; ++x)
            bottomRight += img.pixel(x, y) != kWhite;
    EXPECT_GT(bottomRight, 0);
}

TEST(MapPrint, OrientationFitAndHeader)
{
    EXPECT_EQ(printOrientation(QSize(800, 600)), QPageLayout::Landscape);
    EXPECT_EQ(printOrientation(QSize(600, 600)), QPageLayout::Portrait);
    EXPECT_EQ(fitPictureToPage(QSizeF(200, 100), QSizeF(100, 100)), QRectF(0, 0, 100, 50));
    EXPECT_EQ(fitPictureToPage(QSizeF(100, 200), QSizeF(100, 100)), QRectF(0, 0, 50, 100));

    setLanguage(kEnglish);
    setClock([] { return QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)); });
    const QString header = printHeader(currentDateTime());
    setClock({});
    EXPECT_TRUE(header.startsWith(QStringLiteral("Gipso Release %1.%2      ").arg(GIPSO_VERSION_MAJOR).arg(GIPSO_VERSION_MINOR)))
        << header.toStdString();
    EXPECT_TRUE(header.contains(QStringLiteral("14:07:09"))) << header.toStdString();

    // Printing to a PDF and the map on the page are checked through the window (MapViewUi).
}
