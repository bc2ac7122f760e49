#include "Core/Render/Transform.h"
#include "Core/Render/Vertex.h"
#include "Core/Render/VertexFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace
{

const float kPi = 3.14159265358979f;

void ExpectPoint(const float p[3], float x, float y, float z)
{
    EXPECT_NEAR(p[0], x, 1e-4f);
    EXPECT_NEAR(p[1], y, 1e-4f);
    EXPECT_NEAR(p[2], z, 1e-4f);
}

// The point through TransformPoint, through TransformVertices on a vertex of
// the 2-D layout, and through the matrix.
struct ThreeWays
{
    float point[3];
    float vertex[3];
    float matrix[3];
};

ThreeWays MapThreeWays(const render::Transform& t, float x, float y, float z)
{
    ThreeWays r;
    const float in[3] = {x, y, z};
    t.TransformPoint(in, r.point);
    render::SVertex2D v = {x, y, z, 1.0f, 0xAABBCCDDu, 0x11223344u, 0.25f, 0.75f};
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

void ExpectAllWays(const render::Transform& t, float x, float y, float z, float ex, float ey, float ez)
{
    ThreeWays r = MapThreeWays(t, x, y, z);
    ExpectPoint(r.point, ex, ey, ez);
    ExpectPoint(r.vertex, ex, ey, ez);
    ExpectPoint(r.matrix, ex, ey, ez);
}

TEST(Transform, AFreshTransformChangesNothingAndAddsNothing)
{
    render::Transform t;
    EXPECT_FALSE(t.IsMatrixMode());
    ExpectAllWays(t, 3, -4, 5, 3, -4, 5);
    // Adding +0 to -0 would make it +0: no addition may happen.
    std::vector<render::SVertexGeom> v(3, render::SVertexGeom{-0.0f, -0.0f, -0.0f, 0});
    render::Transform::TransformVertices(v.data(), render::VertexFormatOf<render::SVertexGeom>(), 3, t);
    for (const render::SVertexGeom& g : v)
    {
        EXPECT_TRUE(std::signbit(g.x));
        EXPECT_TRUE(std::signbit(g.z));
    }
}

TEST(Transform, TranslateThenScaleScalesThePosition)
{
    render::Transform t;
    t.Translate(10, 0, 0);
    t.Scale(2, 2, 1);
    EXPECT_FALSE(t.IsMatrixMode());
    ExpectAllWays(t, 1, 1, 0, 22, 2, 0);
}

TEST(Transform, TranslateAfterScaleGoesToThePivotOffset)
{
    render::Transform t;
    t.Scale(2, 2, 1);
    t.Translate(5, 0, 0);
    EXPECT_FALSE(t.IsMatrixMode());
    EXPECT_EQ(t.mOffset[0], 5.0f);
    EXPECT_EQ(t.mPosition[0], 0.0f);
    ExpectAllWays(t, 0, 0, 0, 5, 0, 0);
    ExpectAllWays(t, 1, 1, 1, 7, 2, 1);
}

TEST(Transform, NegativeScaleSwitchesToMatrixModeAtOnce)
{
    render::Transform t;
    t.Translate(1, 2, 3);
    t.Scale(-1, 1, 1);
    EXPECT_TRUE(t.IsMatrixMode());
    ExpectAllWays(t, 1, 1, 1, -2, 3, 4);
}

TEST(Transform, TwoRotationsEndInMatrixModeWithTheirProduct)
{
    render::Transform t;
    t.Rotate(0, 0, kPi / 2);
    EXPECT_FALSE(t.IsMatrixMode());
    EXPECT_TRUE(t.IsRotated());
    t.Rotate(0, 0, kPi / 2);
    EXPECT_TRUE(t.IsMatrixMode());
    math::Matrix4 quarter;
    const float a[3] = {0, 0, kPi / 2};
    quarter.Rotate(a);
    const math::Matrix4 expected = quarter * quarter;
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(t.GetMatrix().m[i], expected.m[i], 1e-5f) << i;
    // A half turn about z.
    ExpectAllWays(t, 1, 2, 3, -1, -2, 3);
}

TEST(Transform, RotationOrScaleAfterTheOtherSwitchesToMatrixMode)
{
    render::Transform scaledThenTurned;
    scaledThenTurned.Scale(2, 2, 2);
    scaledThenTurned.Rotate(0, 0, kPi);
    EXPECT_TRUE(scaledThenTurned.IsMatrixMode());
    ExpectAllWays(scaledThenTurned, 1, 0, 0, -2, 0, 0);

    render::Transform turnedThenScaled;
    turnedThenScaled.Rotate(0, 0, kPi);
    turnedThenScaled.Scale(3, 1, 1);
    EXPECT_TRUE(turnedThenScaled.IsMatrixMode());
    ExpectAllWays(turnedThenScaled, 1, 0, 0, -3, 0, 0);

    render::Transform offsetThenScaled;
    offsetThenScaled.Scale(2, 2, 2);
    offsetThenScaled.Translate(1, 0, 0);
    offsetThenScaled.Scale(2, 2, 2);
    EXPECT_TRUE(offsetThenScaled.IsMatrixMode());
    ExpectAllWays(offsetThenScaled, 1, 0, 0, 6, 0, 0);
}

TEST(Transform, TranslationAfterARotationIsAppliedAfterIt)
{
    render::Transform t;
    t.Rotate(0, 0, kPi / 2);
    t.Translate(10, 0, 0);
    EXPECT_FALSE(t.IsMatrixMode());
    EXPECT_EQ(t.mOffset[0], 10.0f);
    float rotated[3];
    math::Matrix4 r;
    const float a[3] = {0, 0, kPi / 2};
    r.Rotate(a);
    const float p[3] = {1, 0, 0};
    r.TransformPoint(p, rotated);
    ExpectAllWays(t, 1, 0, 0, rotated[0] + 10, rotated[1], rotated[2]);
}

TEST(Transform, TinyPositionIsSkippedOnlyByTheVertexPath)
{
    render::Transform t;
    t.Translate(0.0001f, 0, 0);
    ThreeWays r = MapThreeWays(t, 1, 0, 0);
    EXPECT_EQ(r.vertex[0], 1.0f);
    EXPECT_EQ(r.point[0], 1.0001f);
    EXPECT_EQ(r.matrix[0], 1.0001f);
}

TEST(Transform, AppendingAMatrixTransformToAFreshOneGivesItsMatrix)
{
    render::Transform other;
    other.Translate(3, 4, 5);
    other.Scale(-2, 1, 1);
    ASSERT_TRUE(other.IsMatrixMode());

    render::Transform fresh;
    fresh.Append(other);
    EXPECT_TRUE(fresh.IsMatrixMode());
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(fresh.GetMatrix().m[i], other.GetMatrix().m[i]) << i;
    // The product stays: nothing rebuilds it from the old components.
    fresh.UpdateMatrix();
    ExpectAllWays(fresh, 1, 0, 0, -8, 4, 5);
}

TEST(Transform, AppendingAMatrixTransformMultipliesThisByIt)
{
    render::Transform self;
    self.Translate(1, 0, 0);
    self.Scale(2, 2, 2);
    render::Transform other;
    other.Rotate(0, 0, kPi / 2);
    other.Rotate(0, 0, kPi / 2);
    const math::Matrix4 expected = self.GetMatrix() * other.GetMatrix();
    self.Append(other);
    EXPECT_TRUE(self.IsMatrixMode());
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(self.GetMatrix().m[i], expected.m[i], 1e-5f) << i;
    ExpectAllWays(self, 1, 0, 0, -4, 0, 0);
}

TEST(Transform, AppendingAComponentTransformReplaysItsSteps)
{
    render::Transform other;
    other.Translate(1, 2, 0);
    other.Scale(3, 3, 1);
    other.Translate(4, 0, 0);
    render::Transform self;
    self.Translate(10, 0, 0);
    self.Append(other);
    // (p + (10, 0, 0) + (1, 2, 0)) * 3 + (4, 0, 0)
    EXPECT_FALSE(self.IsMatrixMode());
    ExpectAllWays(self, 0, 0, 0, 37, 6, 0);
}

TEST(Transform, ResetReturnsToComponentForm)
{
    render::Transform t;
    t.Scale(-1, 1, 1);
    ASSERT_TRUE(t.IsMatrixMode());
    t.Reset();
    EXPECT_FALSE(t.IsMatrixMode());
    ExpectAllWays(t, 1, 2, 3, 1, 2, 3);
}

TEST(Transform, VerticesAreMovedAtTheFormatStride)
{
    render::Transform t;
    t.Translate(1, 1, 0);
    t.Rotate(0, 0, kPi); // rotated: the matrix path
    std::vector<render::SVertexGeom> v = {{1, 0, 0, 7}, {0, 1, 0, 8}};
    render::Transform::TransformVertices(v.data(), render::VertexFormatOf<render::SVertexGeom>(), 2, t);
    EXPECT_NEAR(v[0].x, -2, 1e-5f);
    EXPECT_NEAR(v[0].y, -1, 1e-5f);
    EXPECT_NEAR(v[1].x, -1, 1e-5f);
    EXPECT_NEAR(v[1].y, -2, 1e-5f);
    EXPECT_EQ(v[1].diffuse, 8u);
}

} // namespace
