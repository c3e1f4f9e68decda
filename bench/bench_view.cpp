// applyView's resampling: a 1280 x 800 view over a 2000 x 2000 and a 20000 x 20000 map at
// 10%, 100% and 1000%. Only the visible window is resampled, so the cost follows the view,
// not the map.
#include "map/MapView.h"

#include <QGuiApplication>
#include <QPainter>
#include <chrono>
#include <cstdio>

using namespace gipso;

namespace {
QImage makeMap(int side)
{
    QImage img(side, side, QImage::Format_RGB32);
    img.fill(qRgb(230, 240, 210));
    QPainter p(&img);
    p.setPen(QPen(QColor(120, 90, 60), 3));
    for (int i = 0; i < side; i += 97)
        p.drawLine(i, 0, side - i, side);
    return img;
}
} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QSize view(1280, 800);
    std::printf("applyView resampling, view %dx%d, scroll at the middle (ms per refresh, mean of runs)\n", view.width(),
                view.height());
    std::printf("%-7s %-6s %-9s %9s %12s %14s\n", "map", "zoom", "halftone", "ms", "bitmap", "source");
    bool withinView = true;
    for (int side : {2000, 20000}) {
        const QImage map = makeMap(side);
        for (double zoom : {0.1, 1.0, 10.0})
            for (bool halftone : {false, true}) {
                if (halftone && zoom >= 1.0)
                    continue; // halftone applies below 100% only
                const int runs = 10;
                ViewWindow w = visibleWindow(side, side, zoom, view, 16000, 16000);
                QImage shown = renderVisible(map, w, zoom, halftone); // first touch of the pages
                const auto t0 = std::chrono::steady_clock::now();
                for (int i = 0; i < runs; ++i) {
                    w = visibleWindow(side, side, zoom, view, 16000, 16000);
                    shown = renderVisible(map, w, zoom, halftone);
                }
                const double ms =
                    std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count() / runs;
                withinView = withinView && shown.width() <= view.width() && shown.height() <= view.height();
                std::printf("%-7d %-6g %-9s %9.2f %6dx%-5d %7dx%-6d\n", side, zoom, halftone ? "on" : "off", ms,
                            shown.width(), shown.height(), w.source.width(), w.source.height());
            }
    }
    std::printf("displayed bitmap within the view: %s\n", withinView ? "yes" : "NO");
    return withinView ? 0 : 1;
}
