#include "Core/Math/Vector3.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(Vector3, NanIsNeverEqualAndDivisionByZeroOrNormalizingZeroChangesNothing)
{
    math::Vector3 zero(0, 0, 0);
    EXPECT_TRUE(math::Vector3::IsEqual(zero, math::Vector3(0.0002f, 0, 0)));
    EXPECT_TRUE(math::Vector3::IsNotEqual(zero, math::Vector3(0, 0, -0.0003f)));
    math::Vector3 nan(std::nanf(""), 0, 0);
    EXPECT_TRUE(math::Vector3::IsNotEqual(zero, nan));
    EXPECT_FALSE(math::Vector3::IsEqual(zero, nan));
    math::Vector3 v(1, 2, 3);
    v /= 0.0f;
    EXPECT_EQ(v.z, 3.0f);
    zero.Normalize();
    EXPECT_EQ(zero.x, 0.0f);
}
