#include "base/Error.h"
#include "geo/MapCalibration.h"
#include "geo/NavFormulae.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace gipso;

namespace {

MapCalibration make(double x1, double y1, double lat1, double lon1, double x2, double y2, double lat2, double lon2)
{
    MapCalibration c;
    c.x1 = x1, c.yUp1 = -y1, c.x2 = x2, c.yUp2 = -y2;
    c.lat1 = lat1, c.lon1 = lon1, c.lat2 = lat2, c.lon2 = lon2;
    computeCalibration(c);
    return c;
}

// Both reference pixels give their places; geoToMap of a place gives its pixel plus 0.5 on x and yUp.
void expectReferencePoints(const MapCalibration &c, double tolerance)
{
    double lat, lon, x, yUp;
    mapToGeo(c, c.x1, c.yUp1, lat, lon);
    EXPECT_LT(std::hypot(lat - c.lat1, lon - c.lon1), tolerance) << lat << "," << lon;
    mapToGeo(c, c.x2, c.yUp2, lat, lon);
    EXPECT_LT(std::hypot(lat - c.lat2, lon - c.lon2), tolerance) << lat << "," << lon;
    geoToMap(c, c.lat2, c.lon2, x, yUp);
    EXPECT_LT(std::hypot(x - c.x2 - 0.5, yUp - c.yUp2 - 0.5), 1e-6) << x << "," << yUp;
}

} // namespace

TEST(Calibration, ExampleNumbersAndRoundTrips)
{
    const MapCalibration c = make(100, 100, 45.1, 9.0, 300, 300, 45.0, 9.2);
    EXPECT_NEAR(c.cosMidLat, 0.706489, 1e-6);
    EXPECT_NEAR(c.scale, 0.000612016, 1e-9);
    EXPECT_NEAR(c.rotation, -0.169507, 1e-6);
    expectReferencePoints(c, 1e-12);

    double lat, lon, x, yUp;
    mapToGeo(c, 1234.25, -987.75, lat, lon);
    geoToMap(c, lat, lon, x, yUp);
    EXPECT_LT(std::hypot(x - 1234.75, yUp + 987.25), 1e-8) << x << "," << yUp;
}

TEST(Calibration, MapsTurnedPastNinetyDegreesCalibrateBothPoints)
{
    // The example's coordinates swapped: the map is turned by 180 - 9.71 degrees.
    const MapCalibration upsideDown = make(100, 100, 45.0, 9.2, 300, 300, 45.1, 9.0);
    EXPECT_NEAR(upsideDown.rotation, 2.972086, 1e-6);
    expectReferencePoints(upsideDown, 1e-12);

    // Reference points made by a transform turned by each angle.
    for (double deg : {120.0, -120.0, 179.0, 90.0, -90.0}) {
        SCOPED_TRACE(deg);
        const double rot = deg * M_PI / 180, s = 1e-4, cosMid = 0.72;
        auto lat = [&](double x, double yUp) { return 44.0 + s * (yUp * std::cos(rot) - x * std::sin(rot)); };
        auto lon = [&](double x, double yUp) { return 7.0 + s * (x * std::cos(rot) + yUp * std::sin(rot)) / cosMid; };
        expectReferencePoints(make(200, 150, lat(200, -150), lon(200, -150), 900, 700, lat(900, -700), lon(900, -700)), 1e-11);
    }
}

TEST(Calibration, UsableRejectsDegenerateAndOutOfRangeValues)
{
    const MapCalibration good = make(100, 100, 45.1, 9.0, 300, 300, 45.0, 9.2);
    EXPECT_TRUE(calibrationUsable(good));
    auto usableWith = [&](auto change) {
        MapCalibration c = good;
        change(c);
        return calibrationUsable(c);
    };
    EXPECT_FALSE(usableWith([](MapCalibration &c) { c.lat1 = 91; }));
    EXPECT_FALSE(usableWith([](MapCalibration &c) { c.lon2 = -180.5; }));
    EXPECT_FALSE(usableWith([](MapCalibration &c) { c.x2 = std::numeric_limits<double>::quiet_NaN(); }));
    EXPECT_FALSE(usableWith([](MapCalibration &c) { c.x2 = c.x1, c.yUp2 = c.yUp1; }));   // same pixel twice
    EXPECT_FALSE(usableWith([](MapCalibration &c) { c.lat2 = c.lat1, c.lon2 = c.lon1; })); // same place twice
    EXPECT_FALSE(usableWith([](MapCalibration &c) { c.lat1 = c.lat2 = 90; })); // both at the pole: no east-west scale
    EXPECT_TRUE(usableWith([](MapCalibration &c) { c.lat1 = -90; })); // the range is inclusive, as files have always been read
}

TEST(NavFormulae, CoursesAndDistancesWithoutNaN)
{
    // {from, to, rhumb line course in right angles, its length}: identical points take the
    // east-west branch with no longitude difference; across the 180th meridian the rhumb line goes
    // the long way round, westward.
    const struct { double lat1, lon1, lat2, lon2, rightAngles, length, tolerance; } legs[] = {
        {45, 7, 45, 7, 3, 0, 0},          {45, 7, 46, 7, 0, 111119.9997, 1e-3}, {0, 0, 0, 1, 1, 111120.0, 0.01},
        {0, 1, 0, 0, 3, 111120.0, 0.01}, {0, 0, -1, 0, 2, 111119.9997, 1e-3},  {10, 179, 10, -179, 3, 39176597.710, 1e-3}};
    for (const auto &l : legs) {
        SCOPED_TRACE(testing::Message() << l.lat1 << "," << l.lon1 << " to " << l.lat2 << "," << l.lon2);
        EXPECT_DOUBLE_EQ(rhumbLineCourse(l.lat1, l.lon1, l.lat2, l.lon2), l.rightAngles * std::acos(-1.0) / 2);
        EXPECT_NEAR(rhumbLineDistance(l.lat1, l.lon1, l.lat2, l.lon2), l.length, l.tolerance);
    }
    EXPECT_EQ(greatCircleDistance(45, 7, 45, 7), 0.0);
    EXPECT_NEAR(greatCircleDistance(45, 7, 46, 7), 111120.0, 0.01);
    EXPECT_NEAR(greatCircleDistance(0, 0, 0, 180), 20001599.9, 0.1); // antipodes: the clamp keeps the haversine at 1

    // Poles and NaN raise instead of giving NaN.
    EXPECT_THROW(rhumbLineDistance(-90, 0, 10, 10), GipsoError);
    EXPECT_THROW(rhumbLineCourse(10, 0, -90, 10), GipsoError);
    EXPECT_THROW(rhumbLineDistance(std::nan(""), 0, 0, 0), GipsoError);
    // +90 is a hair off zero in floating point: whatever comes out is finite or an error.
    try {
        EXPECT_TRUE(std::isfinite(rhumbLineDistance(90, 0, 10, 10)));
    } catch (const GipsoError &) {
    }
    EXPECT_TRUE(std::isfinite(greatCircleDistance(90, 0, -90, 180)));
}

TEST(NavFormulae, WalkGivesTheLengthsOfRhumbLineDistance)
{
    // Legs that chain (the end of one starts the next), a restart elsewhere, an east-west leg
    // and a leg of no length: each the same double as rhumbLineDistance.
    const double legs[][4] = {{45, 7, 45.01, 7.02}, {45.01, 7.02, 44.99, 7.01}, {10, 179, 10, -179},
                              {10, -179, 10, -179}, {-33.5, 151.2, -34, 150}};
    RhumbLineWalk walk;
    for (const auto &l : legs)
        EXPECT_EQ(walk.distance(l[0], l[1], l[2], l[3]), rhumbLineDistance(l[0], l[1], l[2], l[3]));
    EXPECT_THROW(walk.distance(-34, 150, -90, 0), GipsoError);
    EXPECT_THROW(walk.distance(-90, 0, 10, 0), GipsoError);
}
