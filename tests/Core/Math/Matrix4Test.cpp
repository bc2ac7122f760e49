#include "Core/Math/Matrix4.h"

#include <gtest/gtest.h>

namespace
{

const float Pi = 3.14159265358979f;

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

TEST(Matrix4, RotationsFollowTheHeadingPitchBankTableAndKeepTheTranslationRow)
{
    const float x[3] = {1, 0, 0}, z[3] = {0, 0, 1};
    math::Matrix4 m;
    const float t[3] = {5, 6, 7};
    m.SetTranslation(t);
    const float bank[3] = {0, 0, Pi / 2};
    m.SetRotationHPB(bank);
    EXPECT_EQ(m.m[12], 5.0f);
    EXPECT_EQ(m.m[14], 7.0f);
    ExpectPoint(m, x, 5, 7, 7);
    const float heading[3] = {0, Pi / 2, 0};
    m.SetRotationHPB(heading);
    ExpectPoint(m, z, 6, 6, 7);
    const float pitch[3] = {Pi / 2, 0, 0};
    m.SetRotationHPB(pitch);
    ExpectPoint(m, z, 5, 5, 7);
}

TEST(Matrix4, RotateAndScaleTurnAndScaleTheTranslationToo)
{
    math::Matrix4 m;
    const float t[3] = {1, 1, 1}, s[3] = {2, 3, 4};
    m.SetTranslation(t);
    m.Scale(s);
    EXPECT_EQ(m(1, 1), 3.0f);
    EXPECT_EQ(m(3, 3), 1.0f);
    EXPECT_EQ(m.m[12], 2.0f);
    EXPECT_EQ(m.m[14], 4.0f);
    math::Matrix4 r;
    const float one[3] = {1, 0, 0}, bank[3] = {0, 0, Pi / 2};
    r.SetTranslation(one);
    r.Rotate(bank);
    EXPECT_NEAR(r.m[12], 0.0f, 1e-6f);
    EXPECT_NEAR(r.m[13], 1.0f, 1e-6f);
    EXPECT_EQ(r.m[15], 1.0f);
}

} // namespace
