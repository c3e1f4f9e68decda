#include "map/MapView.h"

#include <gtest/gtest.h>

using namespace gipso;

TEST(MapView, ZoomStepsAndEnabling)
{
    // Zoom + from 100%: steps of 0.25 up to 400%, then of 1 up to 1000%, where it stops.
    double z = 1.0;
    std::vector<double> seen;
    while (zoomEntryEnabled(QStringLiteral("mnuXpiu"), z))
        seen.push_back(z = *zoomAfterCommand(QStringLiteral("mnuXpiu"), z));
    EXPECT_EQ(seen, (std::vector<double>{1.25, 1.5, 1.75, 2, 2.25, 2.5, 2.75, 3, 3.25, 3.5, 3.75, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(zoomPanelText(z), QStringLiteral("1000%"));
    // Zoom - from 25%: steps of 0.05 down to 10%, where it stops.
    z = 0.25;
    for (double expected : {0.2, 0.15, 0.1}) {
        ASSERT_TRUE(zoomEntryEnabled(QStringLiteral("mnuXmeno"), z));
        z = *zoomAfterCommand(QStringLiteral("mnuXmeno"), z);
        EXPECT_NEAR(z, expected, 1e-12);
    }
    EXPECT_FALSE(zoomEntryEnabled(QStringLiteral("mnuXmeno"), z));
    EXPECT_EQ(zoomPanelText(z), QStringLiteral("10%"));
    EXPECT_DOUBLE_EQ(*zoomAfterCommand(QStringLiteral("mnuXmeno"), 4.0), 3.75);
    EXPECT_DOUBLE_EQ(*zoomAfterCommand(QStringLiteral("mnuXmeno"), 5.0), 4.0);

    // Presets compare exactly: a zoom a hair off 1.0 keeps "100%" enabled.
    EXPECT_FALSE(zoomEntryEnabled(QStringLiteral("mnuXNorm"), 1.0));
    EXPECT_TRUE(zoomEntryEnabled(QStringLiteral("mnuXNorm"), 1.0 + 1e-15));
    EXPECT_EQ(*zoomAfterCommand(QStringLiteral("mnuX50"), 3.0), 0.5);
    EXPECT_FALSE(zoomAfterCommand(QStringLiteral("mnuHalftone"), 1.0).has_value());
}

TEST(MapView, VisibleWindow)
{
    // A map twice as wide as the view at 100%, bar at the middle: the window starts at a quarter.
    ViewWindow w = visibleWindow(1600, 600, 1.0, QSize(800, 600), 16000, 0);
    EXPECT_EQ(w.source, QRect(400, 0, 800, 600));
    EXPECT_EQ(w.dest, QSize(800, 600));
    EXPECT_TRUE(w.hScrollEnabled);
    EXPECT_FALSE(w.vScrollEnabled); // 600 fits in 600
    EXPECT_DOUBLE_EQ(w.scaleLeft, 400);
    EXPECT_DOUBLE_EQ(w.scaleWidth, 800);

    // A map smaller than the view: shown whole from its corner, the frame shrinks around it,
    // and mouse positions map back exactly.
    w = visibleWindow(300, 200, 2.0, QSize(800, 600), 32000, 32000);
    EXPECT_EQ(w.source, QRect(0, 0, 300, 200));
    EXPECT_EQ(w.dest, QSize(600, 400));
    EXPECT_FALSE(w.hScrollEnabled);
    EXPECT_DOUBLE_EQ(w.scaleWidth, 400);
    EXPECT_EQ(w.screenToMap(QPointF(200, 100)), QPointF(100, 50));
    EXPECT_EQ(w.mapToScreen().map(QPointF(100, 50)), QPointF(200, 100));

    // The same scroll values show another area after a zoom change.
    const ViewWindow a = visibleWindow(4000, 4000, 1.0, QSize(800, 600), 16000, 16000);
    const ViewWindow b = visibleWindow(4000, 4000, 2.0, QSize(800, 600), 16000, 16000);
    EXPECT_EQ(a.source.topLeft(), QPoint(1600, 1700));
    EXPECT_EQ(b.source, QRect(1800, 1850, 400, 300));

    // The displayed bitmap never exceeds the view, whatever the zoom or the map.
    for (double z = 0.1; z <= 10.0; z = *zoomAfterCommand(QStringLiteral("mnuXpiu"), z))
        for (QSize map : {QSize(50, 7000), QSize(20000, 20000), QSize(801, 599)})
            for (int s : {0, 16000, 32000}) {
                const ViewWindow v = visibleWindow(map.width(), map.height(), z, QSize(800, 600), s, s);
                EXPECT_LE(v.dest.width(), 800);
                EXPECT_LE(v.dest.height(), 600);
                EXPECT_TRUE(QRect(0, 0, map.width(), map.height()).contains(v.source)) << z;
            }
}

namespace {
// A map whose every pixel tells its position.
QImage coordinateMap(int w, int h, QImage::Format format = QImage::Format_RGB32)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb(x % 256, y % 256, (x / 256) * 16 + y / 256));
    return img.convertToFormat(format);
}
} // namespace

TEST(MapView, ResamplesOnlyTheVisibleWindow)
{
    for (QImage::Format f : {QImage::Format_RGB32, QImage::Format_RGB888, QImage::Format_Indexed8}) {
        const QImage map = f == QImage::Format_Indexed8 ? coordinateMap(64, 64).convertToFormat(f, Qt::ThresholdDither)
                                                        : coordinateMap(300, 200, f);
        // 200% of a window scrolled to the end: every source pixel appears as a 2 x 2 block.
        const ViewWindow w = visibleWindow(map.width(), map.height(), 2.0, QSize(100, 60), 32000, 32000);
        const QImage shown = renderVisible(map, w, 2.0, true); // halftone has no effect at 200%
        ASSERT_EQ(shown.size(), QSize(100, 60));
        EXPECT_EQ(shown.format(), QImage::Format_RGB32);
        for (int y = 0; y < 60; y += 7)
            for (int x = 0; x < 100; x += 9)
                ASSERT_EQ(shown.pixel(x, y), map.pixel(w.source.x() + x / 2, w.source.y() + y / 2) | 0xff000000u)
                    << f << " " << x << "," << y;
    }

    // Below 100%: pixels are dropped without halftone, averaged with it.
    QImage checker(200, 200, QImage::Format_RGB32);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x)
            checker.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    const ViewWindow half = visibleWindow(200, 200, 0.5, QSize(400, 400), 0, 0);
    const QImage dropped = renderVisible(checker, half, 0.5, false);
    const QImage averaged = renderVisible(checker, half, 0.5, true);
    ASSERT_EQ(dropped.size(), QSize(100, 100));
    ASSERT_EQ(averaged.size(), QSize(100, 100));
    const int d = qGray(dropped.pixel(50, 50)), a = qGray(averaged.pixel(50, 50));
    EXPECT_TRUE(d == 0 || d == 255);
    EXPECT_NEAR(a, 128, 2);
}

TEST(MapView, PanningAgainstThePressPosition)
{
    // Dragging left by a tenth of the map moves the bar by a tenth of its range.
    ScrollValues v = panScroll({16000, 16000}, true, true, 500, 500, 400, 450, 1000, 1000);
    EXPECT_EQ(v.h, 19200);
    EXPECT_EQ(v.v, 17600);
    v = panScroll({31000, 1000}, true, true, 500, 500, 0, 1000, 1000, 1000);
    EXPECT_EQ(v.h, 32000);
    EXPECT_EQ(v.v, 0);
    v = panScroll({100, 200}, false, true, 500, 500, 0, 500, 1000, 1000);
    EXPECT_EQ(v.h, 100); // a disabled bar keeps its value
    EXPECT_EQ(v.v, 200);
}
