#include "Core/Math/Matrix4.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace
{

const float Pi = 3.14159265358979f;

void ExpectPoint(const float p[3], float x, float y, float z)
{
    EXPECT_NEAR(p[0], x, 1e-5f);
    EXPECT_NEAR(p[1], y, 1e-5f);
    EXPECT_NEAR(p[2], z, 1e-5f);
}

math::Matrix4 FromValues(const float values[16])
{
    math::Matrix4 m(false);
    for (int i = 0; i < 16; ++i)
        m.m[i] = values[i];
    return m;
}

TEST(Matrix4, IdentityAndTranslationMovePoints)
{
    math::Matrix4 m;
    const float p[3] = {1, 2, 3};
    float out[3];
    m.TransformPoint(p, out);
    ExpectPoint(out, 1, 2, 3);
    const float t[3] = {10, 20, 30};
    m.SetTranslation(t);
    m.TransformPoint(p, out);
    EXPECT_EQ(out[0], 11.0f);
    EXPECT_EQ(out[1], 22.0f);
    EXPECT_EQ(out[2], 33.0f);
    m.Translate(t);
    float q[3] = {0, 0, 0};
    m.TransformPointInPlace(q);
    ExpectPoint(q, 20, 40, 60);
}

TEST(Matrix4, ProductAppliesTheLeftOperandFirst)
{
    math::Matrix4 scale, move;
    const float s[3] = {2, 2, 2}, t[3] = {1, 0, 0};
    scale.SetScale(s);
    move.SetTranslation(t);
    const float p[3] = {1, 1, 1};
    float out[3];
    (scale * move).TransformPoint(p, out); // scale, then move
    ExpectPoint(out, 3, 2, 2);
    (move * scale).TransformPoint(p, out); // move, then scale
    ExpectPoint(out, 4, 2, 2);
}

TEST(Matrix4, ProductMatchesTheRowByColumnSum)
{
    float a[16], b[16];
    for (int i = 0; i < 16; ++i)
    {
        a[i] = float(i + 1) * 0.5f;
        b[i] = float(16 - i) * 0.25f - 1.0f;
    }
    math::Matrix4 c = FromValues(a) * FromValues(b);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
        {
            float sum = a[4 * i] * b[j];
            for (int k = 1; k < 4; ++k)
                sum += a[4 * i + k] * b[4 * k + j];
            EXPECT_EQ(c(i, j), sum);
        }
}

TEST(Matrix4, MultiplyByItselfSquares)
{
    float a[16];
    for (int i = 0; i < 16; ++i)
        a[i] = float((i * 7) % 5) - 1.5f;
    math::Matrix4 m = FromValues(a);
    math::Matrix4 expected = m * m;
    m.Multiply(m);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(m.m[i], expected.m[i]);
}

TEST(Matrix4, BankRotatesXOntoYAndKeepsTheTranslationRow)
{
    math::Matrix4 m;
    const float t[3] = {5, 6, 7};
    m.SetTranslation(t);
    const float bank[3] = {0, 0, Pi / 2};
    m.SetRotationHPB(bank);
    EXPECT_EQ(m.m[12], 5.0f);
    EXPECT_EQ(m.m[13], 6.0f);
    EXPECT_EQ(m.m[14], 7.0f);
    m.SetTranslation(std::array<float, 3>{0, 0, 0}.data());
    const float x[3] = {1, 0, 0};
    float out[3];
    m.TransformPoint(x, out);
    ExpectPoint(out, 0, 1, 0);
}

TEST(Matrix4, HeadingAndPitchFollowTheTable)
{
    math::Matrix4 m;
    const float heading[3] = {0, Pi / 2, 0};
    m.SetRotationHPB(heading);
    const float z[3] = {0, 0, 1};
    float out[3];
    m.TransformPoint(z, out); // row (0,0,1) picks m[2][*] = (sh*cp, -sp, ch*cp)
    ExpectPoint(out, 1, 0, 0);
    const float pitch[3] = {Pi / 2, 0, 0};
    m.SetRotationHPB(pitch);
    m.TransformPoint(z, out);
    ExpectPoint(out, 0, -1, 0);
}

TEST(Matrix4, RotateTurnsTheTranslationToo)
{
    math::Matrix4 m;
    const float t[3] = {1, 0, 0};
    m.SetTranslation(t);
    const float bank[3] = {0, 0, Pi / 2};
    m.Rotate(bank);
    EXPECT_NEAR(m.m[12], 0.0f, 1e-6f);
    EXPECT_NEAR(m.m[13], 1.0f, 1e-6f);
    EXPECT_EQ(m.m[15], 1.0f);
}

TEST(Matrix4, ScaleScalesEveryRowIncludingTheTranslation)
{
    math::Matrix4 m;
    const float s[3] = {2, 3, 4};
    m.Scale(s);
    EXPECT_EQ(m(0, 0), 2.0f);
    EXPECT_EQ(m(1, 1), 3.0f);
    EXPECT_EQ(m(2, 2), 4.0f);
    EXPECT_EQ(m(3, 3), 1.0f);
    math::Matrix4 t;
    const float one[3] = {1, 1, 1};
    t.SetTranslation(one);
    t.Scale(s);
    EXPECT_EQ(t.m[12], 2.0f);
    EXPECT_EQ(t.m[13], 3.0f);
    EXPECT_EQ(t.m[14], 4.0f);
}

TEST(Matrix4, CopyAndSelfAssignmentKeepTheElements)
{
    math::Matrix4 m;
    const float t[3] = {3, 4, 5};
    m.SetTranslation(t);
    math::Matrix4 copy(m);
    math::Matrix4& self = copy;
    copy = self;
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(copy.m[i], m.m[i]);
}

} // namespace
