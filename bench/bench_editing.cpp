// Editing on the map with 1,000,000 TrackPoints (100 tracks), 10,000 WayPoints and a 1,000-point
// route over a 20000 x 20000 map: a press (picking in the three lists and the route leg for an
// insertion, as the map widget does; also among 1,000,000 TrackPoints spread over the map), a
// drag step (one TrackPoint moved and the 1280 x 800 view repainted) and what the undo history
// holds for a drag.
#include "edit/MapEditing.h"
#include "map/MapRender.h"
#include "points/PointHistory.h"

#include "BenchSupport.h"

#include <QGuiApplication>
#include <QPainter>
#include <algorithm>
#include <cstdio>
#include <random>
#include <time.h>
#include <unistd.h>

namespace {

long residentBytes()
{
    long pages = 0, resident = 0;
    if (FILE *f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * sysconf(_SC_PAGESIZE);
}

struct Figures {
    double sum = 0, lo = 1e9, hi = 0;
    int n = 0;
    void add(double ms) { sum += ms, lo = std::min(lo, ms), hi = std::max(hi, ms), ++n; }
    void print(const char *what, double scale = 1) const
    {
        std::printf("%-34s %8.2f %8.2f %8.2f\n", what, scale * sum / n, scale * lo, scale * hi);
    }
};

// What a step of the history holds beyond its own record: the points and dates it keeps.
size_t heldBytes(const gipso::PointChange &c)
{
    size_t bytes = sizeof c + c.other.capacity() * sizeof(gipso::GpsPoint) + c.dates.capacity() * sizeof(c.dates[0]);
    for (const gipso::GpsPoint &p : c.other)
        bytes += size_t(p.name.capacity() + p.description.capacity()) * sizeof(QChar);
    return bytes;
}
} // namespace

using namespace gipso;
using namespace gipso::bench;

int main(int argc, char **argv)
{
    offscreenUnlessTold();
    QGuiApplication app(argc, argv);
    AppState st;
    buildLargeScene(st);
    MapCalibration &c = st.calibration;
    PointList &tp = st.store.trackPoints;
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> any(0.0, 20000.0);
    auto at = [&](double x, double y, PointKind kind) {
        GpsPoint p;
        mapToGeo(c, x, -y, p.latitude, p.longitude);
        p.kind = kind;
        return p;
    };
    std::printf("editing: %d TrackPoints, %d WayPoints, %d RoutePoints on a 20000x20000 map\n", tp.count(),
                st.store.wayPoints.count(), st.store.routePoints.count());
    std::printf("%-34s %8s %8s %8s\n", "cpu ms", "mean", "min", "max");

    // A press: the three lists picked and the route leg looked up, at random places.
    const double tol = pickTolerance(st.settings.SymbolDim, 1.0);
    Figures press, trackOnly, leg;
    int32_t picked = 0;
    for (int i = 0; i < 20; ++i) {
        const double px = any(rng), py = any(rng);
        double c0 = cpuMs();
        for (PointKind kind : {PointKind::Way, PointKind::Route, PointKind::Track})
            picked += pickPoint(st.store.list(kind), c, px, py, tol);
        const double c1 = cpuMs();
        picked += findInsertLeg(st.store.routePoints, c, px, py, st.settings.SymbolDim);
        press.add(cpuMs() - c0);
        leg.add(cpuMs() - c1);
        c0 = cpuMs();
        picked += pickPoint(tp, c, px, py, tol);
        trackOnly.add(cpuMs() - c0);
    }
    press.print("press (pick 3 lists + route leg)");
    double worstPress = press.sum / press.n;
    trackOnly.print("  of it: pick in the TrackPoints");
    leg.print("  of it: route leg for an insertion");
    {
        // The same number of TrackPoints spread over the whole map (a long journey) rather than
        // the random walk: the distances then vary more, and the time differs.
        PointList spread;
        spread.reserveMore(1000000);
        for (int i = 0; i < 1000000; ++i)
            spread.append(at(any(rng), any(rng), PointKind::Track));
        Figures pick;
        for (int i = 0; i < 20; ++i) {
            const double c0 = cpuMs();
            picked += pickPoint(spread, c, any(rng), any(rng), tol);
            pick.add(cpuMs() - c0);
        }
        pick.print("pick in 1,000,000 spread points");
        worstPress = std::max(worstPress, pick.sum / pick.n);
    }

    // A drag: one TrackPoint follows the mouse and the view, centred on it, is repainted as the
    // widget does (the map's window drawn, the overlay over it), at 100% and at the smallest zoom.
    const QSize view(1280, 800);
    QImage target(view, QImage::Format_RGB32), bitmap(view, QImage::Format_RGB32);
    bitmap.fill(QColor(200, 220, 180));
    const int32_t moved = 500000;
    double mx, my;
    pointOnMap(c, tp[moved], mx, my);
    auto centred = [](double at, int mapExtent, double zoom, int viewExtent) {
        const double src = viewExtent / zoom;
        return static_cast<int>(std::clamp((at - src / 2) / (mapExtent - src), 0.0, 1.0) * kScrollMax);
    };
    double worstDrag = 0;
    for (double zoom : {1.0, 0.25}) {
        st.zoomFactor = zoom;
        const ViewWindow w = visibleWindow(st.mapWidth, st.mapHeight, zoom, view, centred(mx, st.mapWidth, zoom, view.width()),
                                           centred(my, st.mapHeight, zoom, view.height()));
        Figures drag;
        for (int i = 0; i < 20; ++i) {
            const double c0 = cpuMs();
            mapToGeo(c, mx + i, -(my + i), tp[moved].latitude, tp[moved].longitude);
            QPainter p(&target);
            p.drawImage(0, 0, bitmap);
            paintMap(p, st, w);
            p.end();
            drag.add(cpuMs() - c0);
        }
        char what[64];
        std::snprintf(what, sizeof what, "drag step, zoom %g%%", zoom * 100);
        drag.print(what);
        worstDrag = std::max(worstDrag, drag.sum / drag.n);
    }

    // Undo and redo of a drag: the history keeps the point as it was, nothing of the list.
    PointHistory history;
    const long rss0 = residentBytes();
    Figures undo, redo;
    size_t held = 0;
    const int drags = static_cast<int>(PointHistory::kMaxSteps);
    for (int i = 0; i < drags; ++i) {
        const int32_t k = 1 + i * 4999;
        GpsPoint before = tp[k];
        tp[k].latitude += 1e-4;
        PointChange change = PointChange::replaced(PointKind::Track, k, std::move(before));
        held += heldBytes(change);
        history.push(std::move(change));
    }
    const long rss1 = residentBytes();
    for (int i = 0; i < drags; ++i) {
        double c0 = cpuMs();
        history.undo(st.store);
        undo.add(cpuMs() - c0);
    }
    for (int i = 0; i < drags; ++i) {
        double c0 = cpuMs();
        history.redo(st.store);
        redo.add(cpuMs() - c0);
    }
    undo.print("undo of a drag (microseconds)", 1000);
    redo.print("redo of a drag (microseconds)", 1000);
    std::printf("history of %d drags: %zu bytes held (%zu a drag, GpsPoint is %zu); resident memory grew %ld KiB\n",
                drags, held, held / size_t(drags), sizeof(GpsPoint), (rss1 - rss0) / 1024);

    std::printf("press: %.1f ms cpu at worst (target under 20 ms); drag step: %.1f ms cpu at worst (target under 50 ms)\n",
                worstPress, worstDrag);
    return picked < 0; // keeps the picking from being optimised away
}
