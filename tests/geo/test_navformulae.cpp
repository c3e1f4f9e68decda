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

TEST(NavFormulae, InvalidOperationsRaiseInsteadOfNaN)
{
    EXPECT_THROW(rhumbLineDistance(-90, 0, 10, 10), GipsoError);
    EXPECT_THROW(rhumbLineCourse(10, 0, -90, 10), GipsoError);
    EXPECT_THROW(rhumbLineDistance(std::nan(""), 0, 0, 0), GipsoError);
    // +90 is a hair off zero in floating point: whatever comes out is finite or an error.
    try {
        double d = rhumbLineDistance(90, 0, 10, 10);
        EXPECT_TRUE(std::isfinite(d));
    } catch (const GipsoError &) {
    }
    EXPECT_TRUE(std::isfinite(greatCircleDistance(90, 0, -90, 180)));
}
