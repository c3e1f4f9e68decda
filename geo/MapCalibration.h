#pragma once

namespace gipso {

// The two reference points of a calibrated map: clicked map pixels (x to the right,
// yUp = -y upward) and the typed latitudes and longitudes, plus the derived transform.
struct MapCalibration {
    double x1 = 0, yUp1 = 0, x2 = 0, yUp2 = 0;
    double lat1 = 0, lon1 = 0, lat2 = 0, lon2 = 0;
    // Derived by computeCalibration, never stored.
    double cosMidLat = 1.0;
    double scale = 1.0;
    double rotation = 0.0;
    double lonOrigin = 0.0;
    double latOrigin = 0.0;
};

// Derives the transform from the eight stored numbers.
void computeCalibration(MapCalibration &c);
// Map pixel (x, yUp = -y) to degrees.
void mapToGeo(const MapCalibration &c, double x, double yUp, double &lat, double &lon);
// Degrees to map pixel; both results carry +0.5; the caller takes y = -yUp.
void geoToMap(const MapCalibration &c, double lat, double lon, double &x, double &yUp);

// True when the eight stored numbers are finite, in range (|lat| <= 90, |lon| <= 180) and
// give a usable transform: distinct reference pixels, distinct coordinates, nonzero scale.
// Map files are checked with it before their calibration is taken.
bool calibrationUsable(const MapCalibration &c);

} // namespace gipso
