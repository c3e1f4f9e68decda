#include "geo/NavFormulae.h"

#include "base/Error.h"

#include <cmath>

namespace gipso {

namespace {
double pi() { return 4.0 * std::atan(1.0); }

[[noreturn]] void invalidCall() { throw GipsoError(err::InvalidCall); }

[[noreturn, gnu::noinline]] void notFinite(double v)
{
    if (std::isnan(v))
        invalidCall();
    throw GipsoError(err::Overflow);
}

// Inline, with the raising apart: a walk along a track log checks millions of values.
inline double checked(double v)
{
    if (!std::isfinite(v)) [[unlikely]]
        notFinite(v);
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

namespace {
// The rhumb-line length from the two positions and the Mercator ordinates of their latitudes.
// The cosine of the course atan2(dLon, dPsi) is dPsi over the hypotenuse: no arctangent and no
// cosine per leg, which matters on a track log of a million points.
double rhumbLength(double lat1, double lon1, double psi1, double lat2, double lon2, double psi2)
{
    const double p = pi();
    const double dPsi = checked(psi2 - psi1);
    const double dLon = checked((lon2 - lon1) * p / 180.0);
    const double h = checked(std::sqrt(dLon * dLon + dPsi * dPsi));
    if (std::fabs(dPsi) > 1e-10 * h) // |cos(course)| > 1e-10: the general case
        return checked(std::fabs((lat2 - lat1) * p / 180.0) * (h / std::fabs(dPsi)) * kEarthRadius);
    // Due east (dLon > 0) or west: the latitude difference carries no length; the parallel of
    // the starting point is used.
    const double d = dLon > 0 ? dLon : (lon1 - lon2) * p / 180.0;
    return checked(modReal(d, 2.0 * p) * kEarthRadius * std::cos(lat1 * p / 180.0));
}
} // namespace

double rhumbLineDistance(double lat1, double lon1, double lat2, double lon2)
{
    return rhumbLength(lat1, lon1, mercator(lat1), lat2, lon2, mercator(lat2));
}

double RhumbLineWalk::distance(double lat1, double lon1, double lat2, double lon2)
{
    const double psi1 = lat1 == lastLatitude_ ? lastOrdinate_ : mercator(lat1);
    const double psi2 = mercator(lat2);
    lastLatitude_ = lat2;
    lastOrdinate_ = psi2;
    return rhumbLength(lat1, lon1, psi1, lat2, lon2, psi2);
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
