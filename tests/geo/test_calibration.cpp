#include "geo/MapCalibration.h"

#include <gtest/gtest.h>
#include <cmath>
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

} // namespace

TEST(Calibration, ExampleNumbersAndRoundTrips)
{
    MapCalibration c = make(100, 100, 45.1, 9.0, 300, 300, 45.0, 9.2);
    EXPECT_NEAR(c.cosMidLat, 0.706489, 1e-6);
    EXPECT_NEAR(c.scale, 0.000612016, 1e-9);
    EXPECT_NEAR(c.rotation, -0.169507, 1e-6);
    EXPECT_NEAR(c.rotation * 180 / M_PI, -9.71, 0.01);

    double lat, lon;
    mapToGeo(c, 100, -100, lat, lon);
    EXPECT_NEAR(lat, 45.1, 1e-12);
    EXPECT_NEAR(lon, 9.0, 1e-12);
    mapToGeo(c, 300, -300, lat, lon);
    EXPECT_NEAR(lat, 45.0, 1e-12);
    EXPECT_NEAR(lon, 9.2, 1e-12);

    // geoToMap of a reference point gives its pixel plus 0.5 on x and yUp.
    double x, yUp;
    geoToMap(c, 45.1, 9.0, x, yUp);
    EXPECT_NEAR(x, 100.5, 1e-9);
    EXPECT_NEAR(yUp, -99.5, 1e-9);
    geoToMap(c, 45.0, 9.2, x, yUp);
    EXPECT_NEAR(x, 300.5, 1e-9);
    EXPECT_NEAR(yUp, -299.5, 1e-9);

    // Any pixel goes there and back.
    mapToGeo(c, 1234.25, -987.75, lat, lon);
    geoToMap(c, lat, lon, x, yUp);
    EXPECT_NEAR(x - 0.5, 1234.25, 1e-8);
    EXPECT_NEAR(yUp - 0.5, -987.75, 1e-8);
}

TEST(Calibration, MapsTurnedPastNinetyDegreesCalibrateBothPoints)
{
    // Build the reference points from a known transform turned by angle, then calibrate.
    for (double deg : {120.0, -120.0, 179.0, 90.0, -90.0, 10.0}) {
        const double rot = deg * M_PI / 180;
        const double lat0 = 44.0, lon0 = 7.0, s = 1e-4;
        const double cosMid = 0.72; // any east-west shrink: two points fix the similarity
        auto geo = [&](double x, double yUp, double &lat, double &lon) {
            lat = lat0 + s * (yUp * std::cos(rot) - x * std::sin(rot));
            lon = lon0 + s * (x * std::cos(rot) + yUp * std::sin(rot)) / cosMid;
        };
        double la1, lo1, la2, lo2;
        geo(200, -150, la1, lo1);
        geo(900, -700, la2, lo2);
        MapCalibration c = make(200, 150, la1, lo1, 900, 700, la2, lo2);
        double lat, lon;
        mapToGeo(c, 200, -150, lat, lon);
        EXPECT_NEAR(lat, la1, 1e-11) << deg;
        EXPECT_NEAR(lon, lo1, 1e-11) << deg;
        mapToGeo(c, 900, -700, lat, lon);
        EXPECT_NEAR(lat, la2, 1e-11) << deg;
        EXPECT_NEAR(lon, lo2, 1e-11) << deg;
        double x, yUp;
        geoToMap(c, la2, lo2, x, yUp);
        EXPECT_NEAR(x, 900.5, 1e-6) << deg;
        EXPECT_NEAR(yUp, -699.5, 1e-6) << deg;
    }
}

TEST(Calibration, UsableRejectsDegenerateAndOutOfRangeValues)
{
    MapCalibration good = make(100, 100, 45.1, 9.0, 300, 300, 45.0, 9.2);
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
