#include "edit/MapEditing.h"

#include <cmath>

namespace gipso {

int pickTolerance(int symbolDim, double zoomFactor)
{
    if (!(zoomFactor > 0))
        return symbolDim;
    return static_cast<int>(std::nearbyint(symbolDim / zoomFactor)); // the default rounding is half to even
}

bool pointOnMap(const MapCalibration &calibration, const GpsPoint &point, double &x, double &y)
{
    double yUp = 0;
    geoToMap(calibration, point.latitude, point.longitude, x, yUp);
    y = -yUp;
    return std::isfinite(x) && std::isfinite(y);
}

int32_t pickPoint(const PointList &list, const MapCalibration &calibration, double x, double y, double tol)
{
    // Squared distances while searching (a million points answer a press at once), one root at the end.
    const MapProjection projection(calibration);
    int32_t best = 0;
    double bestSquare = 0;
    for (int32_t i = 1; i <= list.count(); ++i) {
        double px, pyUp;
        projection.toMap(list[i].latitude, list[i].longitude, px, pyUp);
        const double dx = x - px, dy = y + pyUp;
        const double square = dx * dx + dy * dy;
        if (!std::isfinite(square))
            continue;
        if (best == 0 || square < bestSquare) {
            best = i;
            bestSquare = square;
        }
    }
    return best != 0 && std::sqrt(bestSquare) <= tol ? best : 0;
}

int32_t findInsertLeg(const PointList &route, const MapCalibration &calibration, double x, double y, double limit)
{
    if (route.count() < 2)
        return 0;
    double ax, ay;
    bool aOk = pointOnMap(calibration, route[1], ax, ay);
    for (int32_t i = 2; i <= route.count(); ++i) {
        double bx, by;
        const bool bOk = pointOnMap(calibration, route[i], bx, by);
        if (aOk && bOk) {
            const double vx = bx - ax, vy = by - ay;
            const double wx = x - ax, wy = y - ay;
            const double length = std::hypot(vx, vy);
            if (length > 0) {
                const double proj = (wx * vx + wy * vy) / length;
                // The distance to the line as |v x w| / |v|: no arc cosine to overflow on the leg itself.
                const double distance = std::fabs(vx * wy - vy * wx) / length;
                if (proj > 0 && proj < length && distance < limit)
                    return i;
            }
        }
        ax = bx;
        ay = by;
        aOk = bOk;
    }
    return 0;
}

} // namespace gipso
