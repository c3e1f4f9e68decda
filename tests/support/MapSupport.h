#pragma once

// Map helpers for the test programs that link the map library (header only, so the others
// need not).

#include "geo/MapCalibration.h"
#include "points/PointStore.h"

namespace gipso::test {

// The worked example: map (100,100) is (45.1, 9.0) and (300,300) is (45.0, 9.2).
inline MapCalibration exampleCalibration()
{
    MapCalibration c;
    c.x1 = 100, c.yUp1 = -100, c.x2 = 300, c.yUp2 = -300;
    c.lat1 = 45.1, c.lon1 = 9.0, c.lat2 = 45.0, c.lon2 = 9.2;
    computeCalibration(c);
    return c;
}

// A point at map pixel (x, y), y counted down from the top.
inline GpsPoint pointOnMap(const MapCalibration &c, double x, double y, PointKind kind, float alt = 0,
                           const QString &description = {})
{
    GpsPoint p{0, 0, alt, 0, 0, kind, {}, description};
    mapToGeo(c, x, -y, p.latitude, p.longitude);
    return p;
}

} // namespace gipso::test
