#include "geo/NavFormulae.h"

#include "base/Error.h"

#include <cmath>

namespace gipso {

namespace {
double pi() { return 4.0 * std::atan(1.0); }

[[noreturn]] void invalidCall() { throw GipsoError(err::InvalidCall); }

double checked(double v)
{
    if (std::isnan(v))
        invalidCall();
    if (std::isinf(v))
        throw GipsoError(err::Overflow);
    return v;
}

double safeSqrt(double x)
{
    if (!(x >= 0.0))
        invalidCall();
    return std::sqrt(x);
}

double divide(double a, double b)
{
    if (b == 0.0)
        throw GipsoError(err::DivisionByZero);
    return checked(a / b);
}

// Mercator ordinate of a latitude in degrees.
double mercator(double lat)
{
    const double phi = lat * pi() / 180.0;
    const double num = std::sin(phi) + 1.0;
    const double c = std::cos(phi);
    const double q = divide(num, c);
    if (!(q > 0.0))
        invalidCall();
    return checked(std::log(q));
}

// Arctangent of y / x in (-pi, pi]; navAtan2(0, 0) is -pi/2, as the program has always had it.
double navAtan2(double y, double x)
{
    const double p = pi();
    if (x < 0)
        return y < 0 ? std::atan(y / x) - p : std::atan(y / x) + p;
    if (x == 0)
        return y > 0 ? p / 2 : -p / 2;
    return checked(std::atan(y / x));
}

double arcSin(double x) { return navAtan2(x, safeSqrt(1.0 - x * x)); }

double modReal(double x, double m)
{
    checked(x);
    if (x >= 0)
        return x - std::floor(x / m) * m;
    return x + (std::floor(-x / m) + 1.0) * m;
}
} // namespace

double greatCircleDistance(double lat1, double lon1, double lat2, double lon2)
{
    const double p = pi();
    const double c1 = std::cos(lat1 * p / 180.0);
    const double c2 = std::cos(lat2 * p / 180.0);
    const double s1 = std::sin((lat1 - lat2) * p / 360.0);
    const double s2 = std::sin((lon1 - lon2) * p / 360.0);
    const double h = checked(s1 * s1 + s2 * s2 * c1 * c2);
    double s = safeSqrt(h < 0.0 ? 0.0 : h); // rounding can make h a hair below 0 near identical points
    if (s > 1.0)
        s = 1.0;
    return kEarthDiameter * arcSin(s);
}

double rhumbLineCourse(double lat1, double lon1, double lat2, double lon2)
{
    const double p = pi();
    const double dPsi = checked(mercator(lat2) - mercator(lat1));
    const double dLon = checked((lon2 - lon1) * p / 180.0);
    const double theta = navAtan2(dLon, dPsi);
    return modReal(theta, 2.0 * p);
}

double rhumbLineDistance(double lat1, double lon1, double lat2, double lon2)
{
    const double p = pi();
    const double c = rhumbLineCourse(lat1, lon1, lat2, lon2);
    const double cc = std::cos(c);
    if (std::fabs(cc) > 1e-10)
        return checked(std::fabs(((lat2 - lat1) * p / 180.0) / cc) * kEarthRadius);
    const double d = c < p ? (lon2 - lon1) * p / 180.0 : (lon1 - lon2) * p / 180.0;
    return checked(modReal(d, 2.0 * p) * kEarthRadius * std::cos(lat1 * p / 180.0));
}

UnitSettings unitSettings(bool unitsMetric)
{
    UnitSettings u;
    if (!unitsMetric) {
        u.distanceUnit = QStringLiteral("NM");
        u.altitudeUnit = QStringLiteral("ft");
        u.speedUnit = QStringLiteral("NM/h");
        u.verticalSpeedUnit = QStringLiteral("ft/s");
        u.distanceFactor = 0.0005399568;
        u.altitudeFactor = 3.28084;
        u.speedFactor = 1.94384448;
        u.verticalSpeedFactor = 3.28084;
    }
    return u;
}

} // namespace gipso
