#include "Core/Math/Matrix4.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

std::vector<float> Apply(const math::Matrix4& m, float x, float y, float z)
{
    const float p[3] = {x, y, z};
    float out[3];
    m.TransformPoint(p, out);
    return {out[0], out[1], out[2]};
}

// Row vectors: the left operand applies first. Multiplying by itself reads
// no element after it was written.
TEST(Matrix4, ProductAppliesTheLeftOperandFirstAndMultiplyByItselfSquares)
{
    math::Matrix4 scale, move;
    const float s[3] = {2, 2, 2}, t[3] = {1, 0, 0};
    scale.SetScale(s);
    move.SetTranslation(t);
    EXPECT_EQ(Apply(scale * move, 1, 1, 1), (std::vector<float>{3, 2, 2}));
    EXPECT_EQ(Apply(move * scale, 1, 1, 1), (std::vector<float>{4, 2, 2}));
    move.Translate(t);
    EXPECT_EQ(Apply(move, 0, 0, 0), (std::vector<float>{2, 0, 0}));

    math::Matrix4 m(false);
    for (int i = 0; i < 16; ++i)
        m.m[i] = float((i * 7) % 5) - 1.5f;
    const math::Matrix4 expected = m * m;
    m.Multiply(m);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(m.m[i], expected.m[i]) << i;
}

} // namespace
