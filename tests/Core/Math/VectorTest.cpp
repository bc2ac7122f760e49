#include "Core/Math/BoundingBox.h"
#include "Core/Math/MathFunctions.h"
#include "Core/Math/Vector3.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

TEST(Vector3, ComparisonToleranceIsTwoTenThousandthsAndNanIsNeverEqual)
{
    math::Vector3 zero(0, 0, 0);
    EXPECT_TRUE(math::Vector3::IsEqual(zero, math::Vector3(0.0002f, 0, 0)));
    EXPECT_FALSE(math::Vector3::IsEqual(zero, math::Vector3(0.0003f, 0, 0)));
    EXPECT_TRUE(math::Vector3::IsNotEqual(zero, math::Vector3(0, 0, -0.0003f)));
    EXPECT_FALSE(math::Vector3::IsNotEqual(zero, math::Vector3(0, 0.0001f, 0)));
    math::Vector3 nan(std::nanf(""), 0, 0);
    EXPECT_TRUE(math::Vector3::IsNotEqual(zero, nan));
    EXPECT_FALSE(math::Vector3::IsEqual(zero, nan));
}

TEST(Vector3, DivisionByZeroAndNormalizingZeroChangeNothing)
{
    math::Vector3 v(1, 2, 3);
    v /= 0.0f;
    EXPECT_EQ(v.x, 1.0f);
    EXPECT_EQ(v.z, 3.0f);
    math::Vector3 zero;
    zero.Normalize();
    EXPECT_EQ(zero.x, 0.0f);
    math::Vector3 w(3, 0, 4);
    w.Normalize();
    EXPECT_FLOAT_EQ(w.Length(), 1.0f);
}

TEST(MoveTowards, StepsUntilWithinOneStep)
{
    float value = 0.0f;
    EXPECT_FALSE(math::MoveTowards(&value, 1.0f, 1.0f)); // lands exactly, still a full step
    EXPECT_EQ(value, 1.0f);
    EXPECT_TRUE(math::MoveTowards(&value, 1.0f, 1.0f));
    value = 0.0f;
    EXPECT_TRUE(math::MoveTowards(&value, 2.0f, 1.0f));
    EXPECT_EQ(value, 1.0f);
    value = 5.0f;
    EXPECT_FALSE(math::MoveTowards(&value, 2.0f, 0.0f));
    EXPECT_EQ(value, 3.0f);
}

TEST(BoundingBox, EmptyBoxTakesTheFirstPointAndMergesIntoTheOther)
{
    math::BoundingBox other;
    const float a[3] = {-1, 0, 2}, b[3] = {4, 5, 3};
    other.AddPoint(a);
    EXPECT_EQ(other.mMin[0], -1.0f);
    EXPECT_EQ(other.mMax[0], -1.0f);
    other.AddPoint(b);
    math::BoundingBox box;
    box.Merge(other);
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_EQ(box.mMin[i], other.mMin[i]);
        EXPECT_EQ(box.mMax[i], other.mMax[i]);
    }
    box.Reset();
    EXPECT_EQ(box.mMin[1], FLT_MAX);
}

TEST(BoundingBox, CornersRunAroundBottomThenTopFaceAndOthersAreZero)
{
    math::BoundingBox box;
    const float lo[3] = {0, 0, 0}, hi[3] = {1, 2, 3};
    box.AddPoint(lo);
    box.AddPoint(hi);
    const float expected[8][3] = {{0, 0, 0}, {0, 0, 3}, {1, 0, 3}, {1, 0, 0},
                                  {0, 2, 0}, {0, 2, 3}, {1, 2, 3}, {1, 2, 0}};
    for (int i = 0; i < 8; ++i)
        EXPECT_TRUE(math::Vector3::IsEqual(box.GetCorner(i), math::Vector3(expected[i]))) << i;
    EXPECT_TRUE(math::Vector3::IsEqual(box.GetCorner(8), math::Vector3(0, 0, 0)));
    EXPECT_TRUE(math::Vector3::IsEqual(box.GetCorner(-1), math::Vector3(0, 0, 0)));
}
