#include "Core/Math/BoundingBox.h"
#include "Core/Math/MathFunctions.h"
#include "Core/Math/Vector3.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

TEST(Vector3, ComparisonToleranceIsTwoTenThousandths)
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
    EXPECT_EQ(w.Length(), 5.0f);
    w.Normalize();
    EXPECT_FLOAT_EQ(w.Length(), 1.0f);
    w /= 2.0f;
    EXPECT_FLOAT_EQ(w.x, 0.3f);
}

TEST(Vector3, ArithmeticIsComponentWise)
{
    const float raw[3] = {1, 2, 3};
    math::Vector3 a(raw);
    math::Vector3 b = a + math::Vector3(1, 1, 1);
    EXPECT_TRUE(math::Vector3::IsEqual(b, math::Vector3(2, 3, 4)));
    EXPECT_TRUE(math::Vector3::IsEqual(b - a, math::Vector3(1, 1, 1)));
    EXPECT_TRUE(math::Vector3::IsEqual(a * 2.0f, math::Vector3(2, 4, 6)));
    a -= math::Vector3(1, 2, 3);
    EXPECT_TRUE(math::Vector3::IsEqual(a, math::Vector3()));
}

TEST(Vector4, AssignmentFromFloatsCopiesFour)
{
    math::Vector4 v;
    const float values[4] = {1, 2, 3, 4};
    v = values;
    EXPECT_EQ(v.w, 4.0f);
    v = &v.x;
    EXPECT_EQ(v.y, 2.0f);
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

TEST(BoundingBox, EmptyBoxTakesTheFirstPointAsBothCorners)
{
    math::BoundingBox box;
    EXPECT_EQ(box.mMin[0], FLT_MAX);
    EXPECT_EQ(box.mMax[2], -FLT_MAX);
    const float p[3] = {1, 2, 3};
    box.AddPoint(p);
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_EQ(box.mMin[i], p[i]);
        EXPECT_EQ(box.mMax[i], p[i]);
    }
}

TEST(BoundingBox, MergeIntoEmptyGivesTheOtherBox)
{
    math::BoundingBox other;
    const float a[3] = {-1, 0, 2}, b[3] = {4, 5, 3};
    other.AddPoint(a);
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

TEST(BoundingBox, CornersRunAroundBottomThenTopFace)
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
