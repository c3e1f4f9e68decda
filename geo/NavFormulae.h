#pragma once

#include <QString>
#include <limits>

namespace gipso {

// Spherical-earth navigation formulae. Degrees in; metres or radians out. An invalid floating
// operation raises GipsoError instead of returning an infinity or NaN.
double greatCircleDistance(double lat1, double lon1, double lat2, double lon2);
double rhumbLineCourse(double lat1, double lon1, double lat2, double lon2); // [0, 2*pi), clockwise from north
double rhumbLineDistance(double lat1, double lon1, double lat2, double lon2);

// rhumbLineDistance along consecutive legs (a walk along a list of a million points): the
// Mercator ordinate of the latitude where one leg ends is kept for the leg that starts there.
// Each result is the same as rhumbLineDistance's.
class RhumbLineWalk {
public:
    double distance(double lat1, double lon1, double lat2, double lon2);

private:
    double lastLatitude_ = std::numeric_limits<double>::quiet_NaN();
    double lastOrdinate_ = 0.0;
};

constexpr double kEarthRadius = 6366707.0;
constexpr double kEarthDiameter = 12733414.0;

// The unit settings every display of a distance, altitude or speed uses.
struct UnitSettings {
    QString distanceUnit = QStringLiteral("km");
    QString altitudeUnit = QStringLiteral("m");
    QString speedUnit = QStringLiteral("km/h");
    QString verticalSpeedUnit = QStringLiteral("m/s");
    double distanceFactor = 0.001;
    double altitudeFactor = 1.0;
    double speedFactor = 3.6;
    double verticalSpeedFactor = 1.0;
};

// Metric (km, m, km/h, m/s) or nautical (NM, ft, NM/h, ft/s) units.
UnitSettings unitSettings(bool unitsMetric);

} // namespace gipso
