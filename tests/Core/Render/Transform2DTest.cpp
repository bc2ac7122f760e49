#include "Core/Render/Transform2D.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{

const float kPi = 3.14159265358979f;

struct Transform2DCase
{
    const char* name;
    std::function<void(render::Transform2D&)> build;
    bool matrixMode;
    float in[2];
    float out[2];
};

class Transform2DSteps : public testing::TestWithParam<Transform2DCase>
{
};

// The kept form and the rebuilt matrix map the point alike.
TEST_P(Transform2DSteps, MapThePoint)
{
    const Transform2DCase& c = GetParam();
    render::Transform2D t;
    c.build(t);
    EXPECT_EQ(t.mMatrixMode != 0, c.matrixMode);
    float p[2] = {c.in[0], c.in[1]};
    t.TransformPoints(p, sizeof(p), 1);
    EXPECT_NEAR(p[0], c.out[0], 1e-4f);
    EXPECT_NEAR(p[1], c.out[1], 1e-4f);
    const float* m = t.Update().mMatrix;
    EXPECT_NEAR(m[0] * c.in[0] + m[1] * c.in[1] + m[2], c.out[0], 1e-4f);
    EXPECT_NEAR(m[3] * c.in[0] + m[4] * c.in[1] + m[5], c.out[1], 1e-4f);
}

using T = render::Transform2D;
INSTANTIATE_TEST_SUITE_P(
    Cases, Transform2DSteps,
    testing::Values(
        // Rotation rows (cos, sin), (-sin, cos): (1, 0) -> (0, -1).
        Transform2DCase{"TranslateAfterRotateComesAfterIt", [](T& t) { t.Rotate(kPi / 2), t.Translate(10, 0); }, false,
                        {1, 0}, {10, -1}},
        Transform2DCase{"MirroringAFreshOneStaysKept", [](T& t) { t.Scale(-1, 1); }, false, {2, 3}, {-2, 3}},
        Transform2DCase{"MirroringAndStretching", [](T& t) { t.Scale(-2, 1); }, true, {2, 3}, {-4, 3}},
        Transform2DCase{"ScaleAfterATranslation", [](T& t) { t.Translate(5, 1), t.Scale(2, 3); }, true, {1, 1}, {12, 6}},
        // In matrix mode every operation multiplies from the left.
        Transform2DCase{"MatrixThenTranslate", [](T& t) { t.Scale(2, 2), t.Rotate(kPi), t.Translate(1, 0); }, true,
                        {1, 1}, {-1, -2}},
        // (p + (1, 2)) rotated, then + (3, 0).
        Transform2DCase{"OffsetRotateOffset", [](T& t) { t.Translate(1, 2), t.Rotate(kPi / 2), t.Translate(3, 0); },
                        false, {0, 0}, {5, -1}}),
    [](const testing::TestParamInfo<Transform2DCase>& info) { return std::string(info.param.name); });

TEST(Transform2D, TinyPositionsAndOffsetsAreSkippedInKeptForm)
{
    render::Transform2D t;
    t.Translate(0.0001f, 0);
    float p[2] = {1, 0};
    t.TransformPoints(p, sizeof(p), 1);
    EXPECT_EQ(p[0], 1.0f);
}

} // namespace
