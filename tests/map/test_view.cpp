#include "map/MapView.h"

#include <gtest/gtest.h>

using namespace gipso;

TEST(MapView, ZoomStepsAndEnabling)
{
    // Zoom + from 100%: steps of 0.25 up to 400%, then of 1 up to 1000%, where it stops.
    double z = 1.0;
    std::vector<double> seen;
    while (zoomEntryEnabled("mnuXpiu", z))
        seen.push_back(z = *zoomAfterCommand("mnuXpiu", z));
    EXPECT_EQ(seen, (std::vector<double>{1.25, 1.5, 1.75, 2, 2.25, 2.5, 2.75, 3, 3.25, 3.5, 3.75, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(zoomPanelText(z), QStringLiteral("1000%"));
    // Zoom - from 25%: steps of 0.05 down to 10%, where it stops.
    z = 0.25;
    for (double expected : {0.2, 0.15, 0.1}) {
        ASSERT_TRUE(zoomEntryEnabled("mnuXmeno", z));
        EXPECT_NEAR(z = *zoomAfterCommand("mnuXmeno", z), expected, 1e-12);
    }
    EXPECT_FALSE(zoomEntryEnabled("mnuXmeno", z));
    EXPECT_EQ(zoomPanelText(z), QStringLiteral("10%"));
    EXPECT_DOUBLE_EQ(*zoomAfterCommand("mnuXmeno", 4.0), 3.75);
    EXPECT_DOUBLE_EQ(*zoomAfterCommand("mnuXmeno", 5.0), 4.0);
    // Presets compare exactly: a zoom a hair off 1.0 keeps "100%" enabled.
    EXPECT_FALSE(zoomEntryEnabled("mnuXNorm", 1.0));
    EXPECT_TRUE(zoomEntryEnabled("mnuXNorm", 1.0 + 1e-15));
    EXPECT_EQ(*zoomAfterCommand("mnuX50", 3.0), 0.5);
    EXPECT_FALSE(zoomAfterCommand("mnuHalftone", 1.0).has_value());
}

namespace {
// A window as "source -> displayed size, scroll bars on, left and width of its scale".
QString shown(const ViewWindow &w)
{
    const QRect &s = w.source;
    return QStringLiteral("%1,%2 %3x%4 -> %5x%6 %7%8 %9 %10").arg(s.x()).arg(s.y()).arg(s.width()).arg(s.height())
        .arg(w.dest.width()).arg(w.dest.height()).arg(w.hScrollEnabled ? "h" : "-", w.vScrollEnabled ? "v" : "-")
        .arg(w.scaleLeft).arg(w.scaleWidth);
}
} // namespace

TEST(MapView, VisibleWindow)
{
    // A map twice as wide as the view at 100%, bar at the middle: the window starts at a quarter
    // (600 fits in 600, no vertical bar).
    EXPECT_EQ(shown(visibleWindow(1600, 600, 1.0, QSize(800, 600), 16000, 0)), "400,0 800x600 -> 800x600 h- 400 800");
    // A map smaller than the view: shown whole from its corner, the frame shrinks around it,
    // and mouse positions map back exactly.
    const ViewWindow w = visibleWindow(300, 200, 2.0, QSize(800, 600), 32000, 32000);
    EXPECT_EQ(shown(w), "0,0 300x200 -> 600x400 -- 0 400");
    EXPECT_EQ(w.screenToMap(QPointF(200, 100)), QPointF(100, 50));
    EXPECT_EQ(w.mapToScreen().map(QPointF(100, 50)), QPointF(200, 100));
    // The same scroll values show another area after a zoom change.
    EXPECT_EQ(shown(visibleWindow(4000, 4000, 1.0, QSize(800, 600), 16000, 16000)), "1600,1700 800x600 -> 800x600 hv 1600 800");
    EXPECT_EQ(shown(visibleWindow(4000, 4000, 2.0, QSize(800, 600), 16000, 16000)), "1800,1850 400x300 -> 800x600 hv 1800 400");

    // The displayed bitmap never exceeds the view, whatever the zoom or the map.
    for (double z = 0.1; z <= 10.0; z = *zoomAfterCommand("mnuXpiu", z))
        for (QSize map : {QSize(50, 7000), QSize(20000, 20000), QSize(801, 599)})
            for (int s : {0, 16000, 32000}) {
                const ViewWindow v = visibleWindow(map.width(), map.height(), z, QSize(800, 600), s, s);
                EXPECT_TRUE(v.dest.width() <= 800 && v.dest.height() <= 600) << z;
                EXPECT_TRUE(QRect(QPoint(), map).contains(v.source)) << z;
            }
}

TEST(MapView, ResamplesOnlyTheVisibleWindow)
{
    // A map whose every pixel tells its position.
    QImage coords(300, 200, QImage::Format_RGB32);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x)
            coords.setPixel(x, y, qRgb(x % 256, y, x / 256));
    for (const QImage &map : {coords, coords.convertToFormat(QImage::Format_RGB888),
                              coords.copy(0, 0, 64, 64).convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither)}) {
        SCOPED_TRACE(map.format());
        // 200% of a window scrolled to the end: every source pixel appears as a 2 x 2 block.
        const ViewWindow w = visibleWindow(map.width(), map.height(), 2.0, QSize(100, 60), 32000, 32000);
        const QImage shown = renderVisible(map, w, 2.0, true); // halftone has no effect at 200%
        ASSERT_EQ(shown.size(), QSize(100, 60));
        EXPECT_EQ(shown.format(), QImage::Format_RGB32);
        for (int y = 0; y < 60; y += 7)
            for (int x = 0; x < 100; x += 9)
                ASSERT_EQ(shown.pixel(x, y), map.pixel(w.source.x() + x / 2, w.source.y() + y / 2) | 0xff000000u) << x << "," << y;
    }

    // Below 100%: pixels are dropped without halftone, averaged with it.
    QImage checker(200, 200, QImage::Format_RGB32);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x)
            checker.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    const ViewWindow half = visibleWindow(200, 200, 0.5, QSize(400, 400), 0, 0);
    const QImage dropped = renderVisible(checker, half, 0.5, false), averaged = renderVisible(checker, half, 0.5, true);
    ASSERT_EQ(dropped.size(), QSize(100, 100));
    ASSERT_EQ(averaged.size(), QSize(100, 100));
    EXPECT_TRUE(qGray(dropped.pixel(50, 50)) % 255 == 0);
    EXPECT_NEAR(qGray(averaged.pixel(50, 50)), 128, 2);
}

TEST(MapView, PanningAgainstThePressPosition)
{
    // Pressed at (500, 500) of a 1000 x 1000 map: dragging left by a tenth of the map moves the
    // bar by a tenth of its range; values stay within 0..32000; a disabled bar keeps its value.
    const auto pan = [](ScrollValues from, bool hEnabled, double x, double y) {
        const ScrollValues v = panScroll(from, hEnabled, true, 500, 500, x, y, 1000, 1000);
        return std::pair(v.h, v.v);
    };
    EXPECT_EQ(pan({16000, 16000}, true, 400, 450), std::pair(19200, 17600));
    EXPECT_EQ(pan({31000, 1000}, true, 0, 1000), std::pair(32000, 0));
    EXPECT_EQ(pan({100, 200}, false, 0, 500), std::pair(100, 200));
}

// A moved window keeps its picture, moved, where the move is whole screen pixels at an
// integral ratio: map pixels per screen pixel (10%, 50%) or screen pixels per map pixel (300%).
// Averaged, only by whole blocks of map pixels: at 30% a move of 10 map pixels is 3 screen
// pixels, but 3000 map pixels over 900 weigh each block differently.
TEST(MapView, ScreenShiftAtIntegralRatios)
{
    struct Case {
        double zoom;
        int viewWidth, moved; // map pixels to the right
        std::optional<int> shift, averaged;
    };
    const std::nullopt_t no = std::nullopt;
    const Case cases[] = {
        {0.1, 900, 30, -3, -3}, {0.1, 900, -50, 5, 5}, {0.1, 900, 25, no, no}, {0.5, 900, 6, -3, -3},
        {0.3, 900, 10, -3, no}, {1.0, 900, 7, -7, -7}, {3.0, 900, 7, -21, no},
        {3.0, 800, 7, no, no}, // 267 map pixels over 800
    };
    for (const Case &c : cases) {
        const ViewWindow from = visibleWindow(20000, 20000, c.zoom, QSize(c.viewWidth, 600), 16000, 16000);
        ViewWindow to = from;
        to.source.translate(c.moved, 0);
        to.scaleLeft += c.moved;
        const std::optional<QPoint> want = c.shift ? std::optional<QPoint>(QPoint(*c.shift, 0)) : std::nullopt;
        EXPECT_EQ(screenShift(from, to), want) << c.zoom << " " << c.moved;
        const std::optional<QPoint> averaged = c.averaged ? std::optional<QPoint>(QPoint(*c.averaged, 0)) : std::nullopt;
        EXPECT_EQ(averagedShift(from, to), averaged) << c.zoom << " " << c.moved;
    }
}
