#include "base/Messages.h"
#include "map/MapRender.h"
#include "map/Print.h"
#include "support/MapSupport.h"

#include <QPainter>
#include <gtest/gtest.h>
#include <functional>
#include <random>

using namespace gipso;

namespace {
constexpr QRgb kWhite = 0xffffffffu, kRed = 0xffff0000u;

// A 400 x 300 map with the example calibration, without labels.
AppState calibratedState()
{
    AppState st;
    st.mapMode = MapMode::Calibrated;
    st.mapWidth = 400, st.mapHeight = 300;
    st.calibration = test::exampleCalibration();
    Settings &s = st.settings;
    s.WayPointName = s.RoutePointName = s.TrackPointName = s.RouteHeadings = 0;
    return st;
}

void add(AppState &st, double x, double y, PointKind kind, float alt = 0, const QString &desc = {})
{
    st.store.list(kind).append(test::pointOnMap(st.calibration, x, y, kind, alt, desc));
}

// The overlay over a white map, the whole map in view.
QImage render(const AppState &st, const PaintOptions &options = {})
{
    const QSize view(qRound(400 * st.zoomFactor), qRound(300 * st.zoomFactor));
    const ViewWindow w = visibleWindow(st.mapWidth, st.mapHeight, st.zoomFactor, view, 0, 0);
    QImage bitmap(w.dest, QImage::Format_RGB32);
    bitmap.fill(Qt::white);
    return renderViewImage(st, w, bitmap, options);
}

int count(const QImage &img, QRect area, auto test)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += test(img.pixel(x, y));
    return n;
}

void expectPixels(const QImage &img, std::initializer_list<std::tuple<int, int, QRgb>> pixels)
{
    for (const auto &[x, y, colour] : pixels)
        EXPECT_EQ(img.pixel(x, y), colour) << x << "," << y;
}
} // namespace

TEST(MapRender, WayPointRingAndSelection)
{
    AppState st = calibratedState();
    add(st, 150.1, 120.1, PointKind::Way); // geoToMap puts it at (150.6, 119.6)
    // SymbolDim 6: a red ring of radius 6 around the point, empty inside; at 200% still about
    // 6 screen pixels (3 map pixels).
    expectPixels(render(st), {{156, 119, kRed}, {150, 113, kRed}, {150, 119, kWhite}});
    st.zoomFactor = 2.0;
    expectPixels(render(st), {{301 + 6, 239, kRed}, {301 + 3, 239, kWhite}});
    // A selected WayPoint is drawn again in the inverse colour: red becomes cyan.
    st.zoomFactor = 1.0;
    st.selection.selectedWayPoint = 1;
    EXPECT_EQ(render(st).pixel(156, 119), qRgb(0, 255, 255));
}

TEST(MapRender, TrackColoursByAltitudeAndTrackBreaks)
{
    EXPECT_EQ(altitudeColour(500, 100, 500), 0x0000FF); // highest red
    EXPECT_EQ(altitudeColour(300, 100, 500), 0x00FF00); // halfway green
    EXPECT_EQ(altitudeColour(100, 100, 500), 0xFF0000); // lowest blue
    EXPECT_EQ(altitudeColour(200, 100, 500), 0xFFFF00); // a quarter up: cyan
    EXPECT_EQ(altitudeColour(7, 7, 7), 0x0000FF);       // one altitude: red

    AppState st = calibratedState();
    st.settings.TrackPointSymbol = 0;
    // Track 1 climbs from 100 m to 900 m along y = 100; track 2 starts away from its end.
    add(st, 20, 100, PointKind::Track, 100, QStringLiteral("one"));
    add(st, 100, 100, PointKind::Track, 500);
    add(st, 180, 100, PointKind::Track, 900);
    add(st, 380, 250, PointKind::Track, 100, QStringLiteral("two"));
    add(st, 380, 150, PointKind::Track, 100);
    // A leg takes the colour of its end point; no leg joins the tracks.
    expectPixels(render(st), {{60, 99, qRgb(0, 255, 0)}, {140, 99, kRed}, {380, 200, qRgb(0, 0, 255)}, {280, 175, kWhite}});
    st.store.trackPoints[2].altitude = 900; // within the range: that leg alone changes colour
    expectPixels(render(st), {{60, 99, kRed}, {380, 200, qRgb(0, 0, 255)}});
    st.settings.AutoTrackPointColor = 0;
    EXPECT_EQ(render(st).pixel(60, 99), settingRgb(st.settings.TrackColor));
    // The selected TrackPoint's square is drawn in the inverse colour (of blue: yellow).
    st.settings.TrackPointSymbol = 1;
    st.selection.selectedTrackPoint = 4;
    EXPECT_EQ(render(st).pixel(380 - 6, 249 + 3), qRgb(255, 255, 0));
}

TEST(MapRender, DenseTrackDrawnOncePerPixelLooksTheSame)
{
    // A random walk of steps far below a screen pixel, climbing and falling so that the colour
    // changes inside a pixel, with a second track, its symbol and a selected point.
    AppState st = calibratedState();
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> step(-0.7, 0.7);
    double x = 60, y = 40;
    for (int i = 0; i < 30000; ++i) {
        x = std::clamp(x + step(rng) + 0.01, 0.0, 400.0), y = std::clamp(y + step(rng) + 0.008, 0.0, 300.0);
        add(st, x, y, PointKind::Track, float(i % 97 * (i % 2 ? 3 : -3)), i == 15000 ? QStringLiteral("two") : QString());
    }
    st.selection.selectedTrackPoint = 20000;
    PaintOptions everyLeg;
    everyLeg.levelOfDetail = false;
    for (const double zoom : {0.25, 1.0, 2.0}) {
        for (const int16_t thickness : {1, 2, 5}) {
            st.zoomFactor = zoom;
            st.settings.LineThickness = thickness;
            const QImage full = render(st, everyLeg), once = render(st);
            EXPECT_GT(count(full, full.rect(), [](QRgb p) { return p != kWhite; }), full.width() * full.height() / 50);
            int differing = 0;
            for (int py = 0; py < full.height(); ++py)
                for (int px = 0; px < full.width(); ++px)
                    differing += full.pixel(px, py) != once.pixel(px, py);
            EXPECT_EQ(differing, 0) << "zoom " << zoom << ", thickness " << thickness;
        }
    }
}

TEST(MapRender, KeptTrackPositionsFollowEveryChange)
{
    // A leg along y = 100 is drawn, then changed in turn through each way of editing; the next
    // repaint draws the change, never the kept positions of before.
    AppState st = calibratedState();
    st.settings.TrackPointSymbol = 0;
    st.settings.AutoTrackPointColor = 0;
    const QRgb track = settingRgb(st.settings.TrackColor);
    const GpsPoint low = test::pointOnMap(st.calibration, 380, 250, PointKind::Track);
    const std::vector<std::pair<const char *, std::function<void(AppState &)>>> edits = {
        {"index", [&](AppState &s) { s.store.trackPoints[2] = low; }},
        {"iterator", [&](AppState &s) { *(s.store.trackPoints.end() - 1) = low; }},
        {"remove and append", [&](AppState &s) { s.store.trackPoints.removeLast(), s.store.trackPoints.append(low); }},
        {"list replaced", [&](AppState &s) {
             PointList other;
             other.append(s.store.trackPoints[1]);
             other.append(low);
             s.store.trackPoints = other;
         }},
        {"calibration", [&](AppState &s) {
             s.calibration.yUp1 -= 150, s.calibration.yUp2 -= 150; // everything 150 pixels lower
             computeCalibration(s.calibration);
         }},
    };
    for (const auto &[how, edit] : edits) {
        SCOPED_TRACE(how);
        AppState s = st;
        s.store.trackPoints.clear();
        add(s, 20, 100, PointKind::Track);
        add(s, 380, 100, PointKind::Track);
        EXPECT_EQ(render(s).pixel(200, 99), track);
        edit(s);
        const QImage after = render(s);
        EXPECT_EQ(after.pixel(200, 99), kWhite);
        EXPECT_EQ(after.pixel(200, how == std::string("calibration") ? 249 : 174), track);
    }
}

TEST(MapRender, TrackBlocksOffTheViewStillDrawWhatReachesIt)
{
    // Blocks of points wholly off the view are skipped, but the legs into and out of them and
    // the labels of their track starts reach in. At 200% the view shows map x 200..400, y 0..150.
    AppState st = calibratedState();
    st.settings.AutoTrackPointColor = 0;
    st.settings.TrackPointName = 1;
    st.zoomFactor = 2.0;
    const QRgb track = settingRgb(st.settings.TrackColor);
    const auto addMany = [&](int n, double x, double y) {
        for (int i = 0; i < n; ++i)
            add(st, x, y, PointKind::Track);
    };
    addMany(256, 300, 100);        // on the view
    addMany(256, 300, 290);        // below it
    addMany(256, 190, 140);        // left of it, one of them a track start
    st.store.trackPoints[600].description = QStringLiteral("far");
    addMany(10, 350, 50);          // on the view again
    const ViewWindow w = visibleWindow(400, 300, 2.0, QSize(400, 300), kScrollMax, 0);
    ASSERT_EQ(w.source.left(), 200);
    QImage bitmap(w.dest, QImage::Format_RGB32);
    bitmap.fill(Qt::white);
    const QImage img = renderViewImage(st, w, bitmap);
    expectPixels(img, {{201, 250, track}, // the leg down out of the view, at map (300.5, 125)
                       {141, 189, track}, // the leg from the left back into it, at map (270.5, 94.5)
                       {120, 120, kWhite}});
    // The label of "far", whose point lies left of the view, starts at the view's edge.
    EXPECT_GT(count(img, QRect(0, 286, 20, 14), [&](QRgb p) { return p != kWhite; }), 5);
    EXPECT_EQ(count(img, QRect(380, 280, 20, 20), [&](QRgb p) { return p != kWhite; }), 0);
}

TEST(MapRender, RouteLegsAndHeadings)
{
    AppState st = calibratedState();
    st.settings.RoutePointSymbol = 0;
    add(st, 50, 150, PointKind::Route);
    add(st, 350, 150, PointKind::Route);
    add(st, 350, 150, PointKind::Route); // same place: no leg, no label
    const auto darkBelowTheLeg = [&] { return count(render(st), QRect(150, 155, 150, 35), [](QRgb p) { return qGray(p) < 100; }); };
    EXPECT_EQ(render(st).pixel(200, 149), qRgb(0, 0, 0));
    EXPECT_EQ(darkBelowTheLeg(), 0);
    st.settings.RouteHeadings = 1; // the heading is written below the middle of the leg
    EXPECT_GT(darkBelowTheLeg(), 20);
}

TEST(MapRender, DrawingDiscReachesTheCornersOfLargeMaps)
{
    const DrawingDisc d = drawingDisc(400, 300);
    EXPECT_DOUBLE_EQ(d.r, 700);
    EXPECT_TRUE(pointVisible(d, 200 + 700, 150));
    EXPECT_FALSE(pointVisible(d, 200 + 700.001, 150));
    QPointF a, b;
    EXPECT_FALSE(clipSegment(d, QPointF(1, 1), QPointF(1, 1), a, b));
    ASSERT_TRUE(clipSegment(d, QPointF(-2000, 150), QPointF(2000, 150), a, b));
    EXPECT_NEAR(a.x(), -500, 1e-9);
    EXPECT_NEAR(b.x(), 900, 1e-9);
    EXPECT_FALSE(clipSegment(d, QPointF(-2000, 2000), QPointF(2000, 2000), a, b));
    // The cap of 10000 pixels never cuts the corners off a very large map.
    EXPECT_DOUBLE_EQ(drawingDisc(3000, 2000).r, 5000);
    EXPECT_DOUBLE_EQ(drawingDisc(20000, 20000).r, std::hypot(20000.0, 20000.0));
    EXPECT_TRUE(pointVisible(drawingDisc(20000, 20000), 0, 0));
}

TEST(MapRender, OverlayOnlyWithACalibrationInForce)
{
    AppState st = calibratedState();
    add(st, 150, 120, PointKind::Way);
    GpsPoint south;
    south.latitude = -33.5, south.longitude = 150.5; // at (151, 34) through an empty calibration
    st.store.wayPoints.append(south);
    const auto drawn = [&] { return count(render(st), QRect(0, 0, 400, 300), [](QRgb p) { return p != kWhite; }); };
    EXPECT_GT(drawn(), 0);
    // A recalibration draws with the calibration in force until it is confirmed.
    st.mapMode = MapMode::FirstClick;
    st.modeBeforeCalibration = MapMode::Calibrated;
    EXPECT_GT(drawn(), 0);
    st.mapMode = MapMode::Uncalibrated;
    st.calibration = MapCalibration(); // as a newly opened plain picture has it
    EXPECT_EQ(drawn(), 0);
    st.mapMode = MapMode::FirstClick; // its first calibration is not in force yet either
    st.modeBeforeCalibration = MapMode::Uncalibrated;
    EXPECT_EQ(drawn(), 0);

    // Without a map: the tiled product name, reaching the corner, and no points.
    st.mapMode = MapMode::NoMap;
    QImage img(300, 200, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    PaintOptions o;
    o.noMapTextColour = QColor(10, 20, 30);
    paintMap(p, st, visibleWindow(0, 0, 1, img.size(), 0, 0), o);
    p.end();
    EXPECT_GT(count(img, img.rect(), [](QRgb p) { return p == qRgb(10, 20, 30); }), 500);
    EXPECT_GT(count(img, QRect(250, 150, 50, 50), [](QRgb p) { return p != kWhite; }), 0);
    EXPECT_EQ(count(img, img.rect(), [](QRgb p) { return p == kRed; }), 0);
}

TEST(MapRender, DrawingSizesBeyondWhatMapsNeedAreHeld)
{
    // Values typed into Gipso.cfg: drawn as 20-pixel pens, a 50-pixel symbol, 48-point text.
    AppState st = calibratedState();
    Settings &s = st.settings;
    s.LineThickness = 32767, s.SymbolDim = 2000, s.CharDimension = 32767;
    s.TrackPointSymbol = 0, s.WayPointName = 1;
    add(st, 200, 150, PointKind::Way); // the ring's centre is (200, 149)
    st.store.wayPoints[1].name = QStringLiteral("W");
    add(st, 20, 280, PointKind::Track);
    add(st, 380, 280, PointKind::Track); // along row 279
    const QImage img = render(st);
    // The ring: radius 50, 20 pixels wide; the track: 21 pixels wide.
    expectPixels(img, {{239, 149, kWhite}, {240, 149, kRed}, {259, 149, kRed}, {260, 149, kWhite},
                       {30, 268, kWhite}, {30, 269, kRed}, {30, 289, kRed}, {30, 290, kWhite}});
    // The name right of the ring, no taller than 48 points (64 pixels).
    int top = 300, bottom = -1;
    for (int y = 0; y < 240; ++y)
        for (int x = 262; x < 400; ++x)
            if (img.pixel(x, y) == kRed)
                top = std::min(top, y), bottom = std::max(bottom, y);
    EXPECT_GT(bottom - top, 30);
    EXPECT_LT(bottom - top, 64);
}

TEST(MapPrint, OrientationFitAndHeader)
{
    EXPECT_EQ(printOrientation(QSize(800, 600)), QPageLayout::Landscape);
    EXPECT_EQ(printOrientation(QSize(600, 600)), QPageLayout::Portrait);
    EXPECT_EQ(fitPictureToPage(QSizeF(200, 100), QSizeF(100, 100)), QRectF(0, 0, 100, 50));
    EXPECT_EQ(fitPictureToPage(QSizeF(100, 200), QSizeF(100, 100)), QRectF(0, 0, 50, 100));
    setLanguage(kEnglish);
    const QString header = printHeader(QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)));
    EXPECT_TRUE(header.startsWith(QStringLiteral("Gipso Release 2.6      "))) << header.toStdString();
    EXPECT_TRUE(header.contains(QStringLiteral("14:07:09"))) << header.toStdString();
    // Printing to a PDF is checked through the window (MapViewUi).
}
