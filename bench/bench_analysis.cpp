// The track statistics of a 1,000,000-point track log, and its altitude profile drawn at
// 1920 x 1080 (the route's too, 1,000 points).
#include "analysis/AltitudeProfile.h"
#include "analysis/TrackStatistics.h"

#include "BenchSupport.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <random>
#include <time.h>

using gipso::bench::cpuMs;

namespace {

// Mean and best CPU milliseconds of runs calls.
void measure(const char *what, int runs, double target, const std::function<void()> &work)
{
    double sum = 0, best = 1e9;
    for (int i = 0; i < runs; ++i) {
        const double c0 = cpuMs();
        work();
        const double ms = cpuMs() - c0;
        sum += ms, best = std::min(best, ms);
    }
    std::printf("%-52s mean %7.1f ms  best %7.1f ms  (target under %.0f ms)\n", what, sum / runs, best, target);
}
} // namespace

using namespace gipso;

int main(int argc, char **argv)
{
    bench::offscreenUnlessTold();
    QGuiApplication app(argc, argv);

    // A walk of one point a second, a few metres a step, climbing and descending; 100 tracks.
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> step(-1.0, 1.0);
    PointList tp, rp;
    tp.reserveMore(1000000);
    double lat = 45.5, lon = 9.2, alt = 500, moment = 46000.25;
    for (int i = 0; i < 1000000; ++i) {
        lat += 2e-5 + step(rng) * 1e-5;
        lon += step(rng) * 2e-5;
        alt += step(rng) * 1.2;
        moment += 1.0 / 86400;
        GpsPoint p;
        p.kind = PointKind::Track;
        p.latitude = lat, p.longitude = lon, p.altitude = static_cast<float>(alt);
        p.date = p.time = moment;
        if (i % 10000 == 0)
            p.description = QStringLiteral("Track %1").arg(i / 10000 + 1);
        tp.append(std::move(p));
        if (i % 1000 == 0) {
            GpsPoint r = tp[tp.count()];
            r.kind = PointKind::Route;
            r.description.clear();
            r.name = QStringLiteral("R%1").arg(i / 1000);
            rp.append(std::move(r));
        }
    }

    const UnitSettings units = unitSettings(true);
    Settings settings;
    std::printf("%d TrackPoints (%d tracks), %d RoutePoints (CPU time)\n", tp.count(), trackCount(tp), rp.count());
    TrackStatistics stats;
    measure("track statistics", 10, 50, [&] { stats = trackStatistics(tp, units); });
    std::printf("  length %.3f km, elapsed %lld s\n", stats.figures.length, static_cast<long long>(stats.figures.elapsedSeconds));

    QImage image(1920, 1080, QImage::Format_RGB32);
    const QSize size = image.size();
    for (int autoColour : {1, 0}) {
        settings.AutoTrackPointColor = static_cast<int16_t>(autoColour);
        measure(autoColour ? "track profile 1920x1080, colour by altitude" : "track profile 1920x1080, TrackColor", 5, 100,
                [&] {
                    const AltitudeProfile profile(tp, ProfileKind::Track, units, settings);
                    QPainter p(&image);
                    profile.paint(p, size);
                });
    }
    measure("  of which the lengths (the profile made, not drawn)", 5, 100,
            [&] { const AltitudeProfile profile(tp, ProfileKind::Track, units, settings); });
    measure("route profile 1920x1080", 5, 100, [&] {
        const AltitudeProfile profile(rp, ProfileKind::Route, units, settings);
        QPainter p(&image);
        profile.paint(p, size);
    });
    if (argc > 1)
        image.save(QString::fromLocal8Bit(argv[1]));
    return 0;
}
