#include "geo/NavFormulae.h"
#include "base/Error.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace gipso;

namespace {
const double kPi = 4.0 * std::atan(1.0);
}

TEST(NavFormulae, CoursesAndDistancesOfThePlainCases)
{
    // Identical points: the east-west branch with no longitude difference.
    EXPECT_EQ(greatCircleDistance(45, 7, 45, 7), 0.0);
    EXPECT_DOUBLE_EQ(rhumbLineCourse(45, 7, 45, 7), 3 * kPi / 2);
    EXPECT_EQ(rhumbLineDistance(45, 7, 45, 7), 0.0);

    EXPECT_DOUBLE_EQ(rhumbLineCourse(45, 7, 46, 7), 0.0);
    EXPECT_NEAR(rhumbLineDistance(45, 7, 46, 7), 111119.9997, 1e-3);
    EXPECT_NEAR(greatCircleDistance(45, 7, 46, 7), 111120.0, 0.01);

    EXPECT_DOUBLE_EQ(rhumbLineCourse(0, 0, 0, 1), kPi / 2);
    EXPECT_NEAR(rhumbLineDistance(0, 0, 0, 1), 111120.0, 0.01);
    EXPECT_DOUBLE_EQ(rhumbLineCourse(0, 1, 0, 0), 3 * kPi / 2);
    EXPECT_NEAR(rhumbLineDistance(0, 1, 0, 0), 111120.0, 0.01);
    EXPECT_DOUBLE_EQ(rhumbLineCourse(0, 0, -1, 0), kPi);

    // Antipodes: the clamp keeps the haversine at 1.
    EXPECT_NEAR(greatCircleDistance(0, 0, 0, 180), 20001599.9, 0.1);
    // Across the 180th meridian the rhumb line goes the long way round, westward.
    EXPECT_DOUBLE_EQ(rhumbLineCourse(10, 179, 10, -179), 3 * kPi / 2);
    EXPECT_NEAR(rhumbLineDistance(10, 179, 10, -179), 39176597.710, 1e-3);
}

TEST(NavFormulae, HelpersFollowTheirBranches)
{
    EXPECT_DOUBLE_EQ(navAtan2(0, 0), -kPi / 2);
    EXPECT_DOUBLE_EQ(navAtan2(0, -1), kPi);
    EXPECT_DOUBLE_EQ(navAtan2(-1, -1), -3 * kPi / 4);
    EXPECT_DOUBLE_EQ(navAtan2(1, 0), kPi / 2);
    EXPECT_DOUBLE_EQ(arcSin(1), kPi / 2);
    EXPECT_DOUBLE_EQ(modReal(7, 5), 2);
    EXPECT_DOUBLE_EQ(modReal(-1, 5), 4);
    EXPECT_DOUBLE_EQ(modReal(-10, 5), 5); // an exact negative multiple gives m
}

TEST(NavFormulae, InvalidOperationsRaiseInsteadOfNaN)
{
    EXPECT_THROW(rhumbLineDistance(-90, 0, 10, 10), GipsoError);
    EXPECT_THROW(rhumbLineCourse(10, 0, -90, 10), GipsoError);
    EXPECT_THROW(arcSin(1.5), GipsoError);
    EXPECT_THROW(rhumbLineDistance(std::nan(""), 0, 0, 0), GipsoError);
    // +90 is a hair off zero in floating point: whatever comes out is finite or an error.
    try {
        double d = rhumbLineDistance(90, 0, 10, 10);
        EXPECT_TRUE(std::isfinite(d));
    } catch (const GipsoError &) {
    }
    EXPECT_TRUE(std::isfinite(greatCircleDistance(90, 0, -90, 180)));
}

TEST(NavFormulae, UnitFactors)
{
    UnitSettings metric = unitSettings(true);
    EXPECT_EQ(metric.distanceUnit, QStringLiteral("km"));
    UnitSettings nautical = unitSettings(false);
    EXPECT_EQ(nautical.speedUnit, QStringLiteral("NM/h"));
    // The nautical mile factor is a hair short of 1/1852, as the program has always shown it.
    EXPECT_NEAR(1852 * nautical.distanceFactor, 0.99999999, 1e-8);
    EXPECT_LT(1852 * nautical.distanceFactor, 1.0);
    EXPECT_NEAR(100 * nautical.altitudeFactor, 328.084, 1e-9);
}
