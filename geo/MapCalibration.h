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
// geoToMap for many points: the rotation terms computed once, the same arithmetic in the same
// order, so the positions are the same to the last bit.
class MapProjection {
public:
    explicit MapProjection(const MapCalibration &c);
    // Map pixel of a point: x and yUp, both carrying +0.5.
    void toMap(double lat, double lon, double &x, double &yUp) const
    {
        const double e = (lon - c_.lonOrigin) * c_.cosMidLat;
        const double n = lat - c_.latOrigin;
        x = (e * cr_ - n * sr_) / c_.scale + 0.5;
        yUp = (e * sr_ + n * cr_) / c_.scale + 0.5;
    }

private:
    const MapCalibration &c_;
    double cr_, sr_;
};

// Map pixel (x, yUp = -y) to degrees.
void mapToGeo(const MapCalibration &c, double x, double yUp, double &lat, double &lon);
// Degrees to map pixel; both results carry +0.5; the caller takes y = -yUp.
void geoToMap(const MapCalibration &c, double lat, double lon, double &x, double &yUp);

// True when the eight stored numbers are finite, in range (|lat| <= 90, |lon| <= 180) and
// give a usable transform: distinct reference pixels, distinct coordinates, nonzero scale.
// Map files are checked with it before their calibration is taken.
bool calibrationUsable(const MapCalibration &c);

} // namespace gipso
