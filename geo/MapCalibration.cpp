#include "geo/MapCalibration.h"

#include <cmath>

namespace gipso {

void computeCalibration(MapCalibration &c)
{
    // The program has always used this constant for 360/pi; stored maps depend on it.
    c.cosMidLat = std::cos((c.lat1 + c.lat2) / 114.591559);
    const double dx = c.x2 - c.x1;
    const double dyUp = c.yUp2 - c.yUp1;
    const double dE = (c.lon2 - c.lon1) * c.cosMidLat;
    const double dN = c.lat2 - c.lat1;
    c.scale = std::sqrt((dN * dN + dE * dE) / (dyUp * dyUp + dx * dx));
    // Two-argument arctangent: maps turned by more than 90 degrees keep the right quadrant.
    // Where the single-argument quotient worked (positive denominator) the result is the same.
    c.rotation = std::atan2(dE * dyUp - dN * dx, dN * dyUp + dE * dx);
    const double cr = std::cos(c.rotation);
    const double sr = std::sin(c.rotation);
    c.lonOrigin = c.lon1 - c.scale * (c.x1 * cr + c.yUp1 * sr) / c.cosMidLat;
    c.latOrigin = c.lat1 - c.scale * (c.yUp1 * cr - c.x1 * sr);
}

void mapToGeo(const MapCalibration &c, double x, double yUp, double &lat, double &lon)
{
    const double cr = std::cos(c.rotation);
    const double sr = std::sin(c.rotation);
    lat = c.latOrigin + c.scale * (yUp * cr - x * sr);
    lon = c.lonOrigin + c.scale * (x * cr + yUp * sr) / c.cosMidLat;
}

MapProjection::MapProjection(const MapCalibration &c) : c_(c), cr_(std::cos(c.rotation)), sr_(std::sin(c.rotation)) {}

void geoToMap(const MapCalibration &c, double lat, double lon, double &x, double &yUp)
{
    MapProjection(c).toMap(lat, lon, x, yUp);
}

bool calibrationUsable(const MapCalibration &c)
{
    const double v[8] = {c.x1, c.yUp1, c.x2, c.yUp2, c.lon1, c.lat1, c.lon2, c.lat2};
    for (double d : v)
        if (!std::isfinite(d))
            return false;
    if (std::fabs(c.lat1) > 90 || std::fabs(c.lat2) > 90 || std::fabs(c.lon1) > 180 || std::fabs(c.lon2) > 180)
        return false;
    if (c.x1 == c.x2 && c.yUp1 == c.yUp2)
        return false;
    MapCalibration t = c;
    computeCalibration(t);
    return std::isfinite(t.scale) && t.scale > 0 && t.cosMidLat > 1e-12 && std::isfinite(t.lonOrigin) &&
           std::isfinite(t.latOrigin);
}

} // namespace gipso
