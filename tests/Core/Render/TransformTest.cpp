#include "Core/Render/Transform.h"
#include "Core/Render/Vertex.h"
#include "Core/Render/VertexFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <tuple>
#include <vector>

namespace
{

const float kPi = 3.14159265358979f;

// The point through TransformPoint, through TransformVertices on a vertex of
// the 2-D layout, and through the matrix.
struct ThreeWays
{
    float point[3];
    float vertex[3];
    float matrix[3];
};

ThreeWays MapThreeWays(const render::Transform& t, const float in[3])
{
    ThreeWays r;
    t.TransformPoint(in, r.point);
    render::SVertex2D v = {in[0], in[1], in[2], 1.0f, 0xAABBCCDDu, 0x11223344u, 0.25f, 0.75f};
    render::Transform::TransformVertices(&v, render::VertexFormatOf<render::SVertex2D>(), 1, t);
    EXPECT_EQ(v.w, 1.0f);
    EXPECT_EQ(v.diffuse, 0xAABBCCDDu);
    EXPECT_EQ(v.tu, 0.25f);
    r.vertex[0] = v.x;
    r.vertex[1] = v.y;
    r.vertex[2] = v.z;
    t.GetMatrix().TransformPoint(in, r.matrix);
    return r;
}

struct TransformCase
{
    const char* name;
    std::function<void(render::Transform&)> build;
    bool matrixMode;
    float in[3];
    float out[3];
};

class TransformSteps : public testing::TestWithParam<TransformCase>
{
};

TEST_P(TransformSteps, MapThePointAlikeOnEveryPath)
{
    const TransformCase& c = GetParam();
    render::Transform t;
    c.build(t);
    EXPECT_EQ(t.IsMatrixMode(), c.matrixMode);
    const ThreeWays r = MapThreeWays(t, c.in);
    for (const float* p : {r.point, r.vertex, r.matrix})
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(p[i], c.out[i], 1e-4f) << "coordinate " << i;
}

// A matrix transform: translated by (3, 4, 5), then mirrored and stretched.
render::Transform MatrixOther()
{
    render::Transform other;
    other.Translate(3, 4, 5);
    other.Scale(-2, 1, 1);
    return other;
}

using T = render::Transform;
INSTANTIATE_TEST_SUITE_P(
    Cases, TransformSteps,
    testing::Values(
        // Translation after a scale goes to the pivot offset.
        TransformCase{"TranslateAfterScale", [](T& t) { t.Scale(2, 2, 1), t.Translate(5, 0, 0); }, false, {1, 1, 1},
                      {7, 2, 1}},
        TransformCase{"NegativeScaleIsAMatrixAtOnce", [](T& t) { t.Translate(1, 2, 3), t.Scale(-1, 1, 1); }, true,
                      {1, 1, 1}, {-2, 3, 4}},
        TransformCase{"OneRotationStaysInComponents", [](T& t) { t.Rotate(0, 0, kPi / 2); }, false, {1, 0, 0}, {0, 1, 0}},
        TransformCase{"TwoRotationsMultiply", [](T& t) { t.Rotate(0, 0, kPi / 2), t.Rotate(0, 0, kPi / 2); }, true,
                      {1, 2, 3}, {-1, -2, 3}},
        TransformCase{"ScaleAfterRotation", [](T& t) { t.Rotate(0, 0, kPi), t.Scale(3, 1, 1); }, true, {1, 0, 0},
                      {-3, 0, 0}},
        TransformCase{"ScaleAfterAnOffset", [](T& t) { t.Scale(2, 2, 2), t.Translate(1, 0, 0), t.Scale(2, 2, 2); }, true,
                      {1, 0, 0}, {6, 0, 0}},
        TransformCase{"TranslationAfterARotationComesAfterIt", [](T& t) { t.Rotate(0, 0, kPi / 2), t.Translate(10, 0, 0); },
                      false, {1, 0, 0}, {10, 1, 0}},
        // Append on a fresh transform takes the product, never an unbuilt
        // matrix, and nothing rebuilds it from the old components.
        TransformCase{"AppendingAMatrixToAFreshOne", [](T& t) { t.Append(MatrixOther()), t.UpdateMatrix(); }, true,
                      {1, 0, 0}, {-8, 4, 5}},
        // (p + (10, 0, 0) + (1, 2, 0)) * 3 + (4, 0, 0)
        TransformCase{"AppendingComponentsReplaysTheirSteps",
                      [](T& t) {
                          T other;
                          other.Translate(1, 2, 0), other.Scale(3, 3, 1), other.Translate(4, 0, 0);
                          t.Translate(10, 0, 0), t.Append(other);
                      },
                      false, {0, 0, 0}, {37, 6, 0}}),
    [](const testing::TestParamInfo<TransformCase>& info) { return std::string(info.param.name); });

TEST(Transform, TinyPositionIsSkippedOnlyByTheVertexPathAndVerticesGoAtTheFormatStride)
{
    render::Transform t;
    t.Translate(0.0001f, 0, 0);
    const float in[3] = {1, 0, 0};
    const ThreeWays r = MapThreeWays(t, in);
    EXPECT_EQ(std::make_tuple(r.vertex[0], r.point[0], r.matrix[0]), std::make_tuple(1.0f, 1.0001f, 1.0001f));

    t.Translate(1, 1, 0);
    t.Rotate(0, 0, kPi); // rotated: the matrix path
    std::vector<render::SVertexGeom> v = {{1, 0, 0, 7}, {0, 1, 0, 8}};
    render::Transform::TransformVertices(v.data(), render::VertexFormatOf<render::SVertexGeom>(), 2, t);
    EXPECT_NEAR(v[0].x, -2, 1e-3f);
    EXPECT_NEAR(v[1].y, -2, 1e-3f);
    EXPECT_EQ(v[1].diffuse, 8u);
}

} // namespace
