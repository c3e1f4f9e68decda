#pragma once

namespace gipso {

// The two reference points of a calibrated map: clicked map pixels (x to the right,
// yUp = -y upward) and the typed latitudes and longitudes, plus the derived transform.
struct MapCalibration {
    double x1 = 0, yUp1 = 0, x2 = 0, yUp2 = 0;
    double lat1 = 0, lon1 = 0, lat2 = 0, lon2 = 0;
    // Derived by computeCalibration.
    double cosMidLat = 1.0;
    double scale = 1.0;
    double rotation = 0.0;
};

} // namespace gipso
