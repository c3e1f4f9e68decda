#pragma once

#include "geo/MapCalibration.h"
#include "points/PointStore.h"

namespace gipso {

// Picking tolerance in map pixels: SymbolDim on screen at the zoom, rounded half to even.
int pickTolerance(int symbolDim, double zoomFactor);

// The point of the list nearest to map position (x, y down), or 0 when the nearest is farther
// than tol. Equal distances go to the lower index; a point whose position on the map cannot
// be computed is passed over.
int32_t pickPoint(const PointList &list, const MapCalibration &calibration, double x, double y, double tol);

// The route leg that a new RoutePoint clicked at (x, y) would be inserted into, as the index
// of its end point (0 = none): the first leg in route order whose perpendicular distance is
// below limit and onto which the position projects strictly inside. Legs of zero length or
// with an end that cannot be placed are passed over.
int32_t findInsertLeg(const PointList &route, const MapCalibration &calibration, double x, double y, double limit);

// The map pixel (y down) of a point; false when it cannot be computed.
bool pointOnMap(const MapCalibration &calibration, const GpsPoint &point, double &x, double &y);

} // namespace gipso
