#pragma once

// What the benchmark programs share: their clocks and the large scene most of them measure.

#include "state/AppState.h"

#include <QtGlobal>

#include <algorithm>
#include <chrono>
#include <random>
#include <time.h>

namespace gipso::bench {

// The benchmarks draw offscreen unless QT_QPA_PLATFORM says otherwise; call before the application.
inline void offscreenUnlessTold()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// CPU time of this thread: the machine is shared, so wall time also counts other programs.
inline double cpuMs()
{
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

inline double wallMs()
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// A calibrated 20000 x 20000 map with 1,000,000 TrackPoints (100 tracks of a random walk with
// altitudes), 10,000 WayPoints and a 1,000-point route spread over it.
inline void buildLargeScene(AppState &st)
{
    st.mapMode = MapMode::Calibrated;
    st.mapWidth = st.mapHeight = 20000;
    MapCalibration &c = st.calibration;
    c.x1 = 0, c.yUp1 = 0, c.x2 = 20000, c.yUp2 = -20000;
    c.lat1 = 46.0, c.lon1 = 9.0, c.lat2 = 45.8, c.lon2 = 9.28;
    computeCalibration(c);

    std::mt19937 rng(7);
    std::uniform_real_distribution<double> any(0.0, 20000.0), step(-6.0, 6.0);
    auto at = [&](double x, double y, PointKind kind) {
        GpsPoint p;
        mapToGeo(c, x, -y, p.latitude, p.longitude);
        p.kind = kind;
        return p;
    };
    PointList &tp = st.store.trackPoints;
    tp.reserveMore(1000000);
    double x = 10000, y = 10000, alt = 500;
    for (int i = 0; i < 1000000; ++i) {
        x = std::clamp(x + step(rng), 0.0, 20000.0);
        y = std::clamp(y + step(rng) + 0.5, 0.0, 20000.0);
        if (y >= 20000)
            y = 0;
        alt += step(rng) * 0.2;
        GpsPoint p = at(x, y, PointKind::Track);
        p.altitude = static_cast<float>(alt);
        if (i % 10000 == 0)
            p.description = QStringLiteral("Track %1").arg(i / 10000 + 1);
        tp.append(std::move(p));
    }
    for (int i = 0; i < 10000; ++i) {
        GpsPoint p = at(any(rng), any(rng), PointKind::Way);
        p.name = QStringLiteral("W%1").arg(i);
        st.store.wayPoints.append(p);
    }
    for (int i = 0; i < 1000; ++i) {
        GpsPoint p = at(any(rng), any(rng), PointKind::Route);
        p.name = QStringLiteral("R%1").arg(i);
        st.store.routePoints.append(p);
    }
}

} // namespace gipso::bench
