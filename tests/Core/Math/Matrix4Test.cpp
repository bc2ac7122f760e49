#include "Core/Math/Matrix4.h"

#include <gtest/gtest.h>

namespace
{

void ExpectPoint(const math::Matrix4& m, const float (&p)[3], float x, float y, float z)
{
    float out[3];
    m.TransformPoint(p, out);
    EXPECT_NEAR(out[0], x, 1e-5f);
    EXPECT_NEAR(out[1], y, 1e-5f);
    EXPECT_NEAR(out[2], z, 1e-5f);
}

TEST(Matrix4, ProductAppliesTheLeftOperandFirstAndTranslationAccumulates)
{
    math::Matrix4 scale, move;
    const float s[3] = {2, 2, 2}, t[3] = {1, 0, 0}, p[3] = {1, 1, 1};
    scale.SetScale(s);
    move.SetTranslation(t);
    ExpectPoint(scale * move, p, 3, 2, 2);
    ExpectPoint(move * scale, p, 4, 2, 2);
    move.Translate(t);
    float q[3] = {0, 0, 0};
    move.TransformPointInPlace(q);
    EXPECT_EQ(q[0], 2.0f);
}

TEST(Matrix4, MultiplyByItselfSquares)
{
    math::Matrix4 m(false);
    for (int i = 0; i < 16; ++i)
        m.m[i] = float((i * 7) % 5) - 1.5f;
    math::Matrix4 expected = m * m;
    m.Multiply(m); // the operand is the target: no element read after it was written
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(m.m[i], expected.m[i]) << i;
}

} // namespace
