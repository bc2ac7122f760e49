#include "Core/Render/Transform2D.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{

const float kPi = 3.14159265358979f;

struct Point
{
    float x, y;
};

Point Map(render::Transform2D t, float x, float y)
{
    Point p = {x, y};
    t.TransformPoints(&p, sizeof(Point), 1);
    return p;
}

// Through the rebuilt matrix, whatever the form.
Point MapByMatrix(render::Transform2D t, float x, float y)
{
    const float* m = t.Update().mMatrix;
    return {m[0] * x + m[1] * y + m[2], m[3] * x + m[4] * y + m[5]};
}

void ExpectPoint(Point p, float x, float y)
{
    EXPECT_NEAR(p.x, x, 1e-4f);
    EXPECT_NEAR(p.y, y, 1e-4f);
}

TEST(Transform2D, StartsAsIdentity)
{
    render::Transform2D t;
    EXPECT_EQ(t.mDirty, 1);
    EXPECT_EQ(t.mMatrixMode, 0);
    EXPECT_EQ(t.mScale[0], 1.0f);
    ExpectPoint(Map(t, 3, 4), 3, 4);
    ExpectPoint(MapByMatrix(t, 3, 4), 3, 4);
}

TEST(Transform2D, TranslateAfterRotateIsAppliedAfterTheRotation)
{
    render::Transform2D t;
    t.Rotate(kPi / 2);
    t.Translate(10, 0);
    EXPECT_EQ(t.mMatrixMode, 0);
    EXPECT_EQ(t.mOffset[0], 10.0f);
    EXPECT_EQ(t.mPosition[0], 0.0f);
    // Rotation rows (cos, sin), (-sin, cos): (1, 0) -> (0, -1).
    ExpectPoint(Map(t, 1, 0), 10, -1);
}

TEST(Transform2D, MirroringOnAFreshTransformStaysInKeptForm)
{
    render::Transform2D mirror;
    mirror.Scale(-1, 1);
    EXPECT_EQ(mirror.mMatrixMode, 0);
    EXPECT_EQ(mirror.mScaled, 1);
    ExpectPoint(Map(mirror, 2, 3), -2, 3);

    render::Transform2D stretched;
    stretched.Scale(-2, 1);
    EXPECT_EQ(stretched.mMatrixMode, 1);
    ExpectPoint(Map(stretched, 2, 3), -4, 3);

    render::Transform2D upsideDown;
    upsideDown.Scale(1, -1);
    EXPECT_EQ(upsideDown.mMatrixMode, 1);
    ExpectPoint(Map(upsideDown, 2, 3), 2, -3);
}

TEST(Transform2D, ScaleAfterATranslationSwitchesToMatrixMode)
{
    render::Transform2D t;
    t.Translate(5, 1);
    t.Scale(2, 3);
    EXPECT_EQ(t.mMatrixMode, 1);
    ExpectPoint(Map(t, 1, 1), 12, 6);
}

TEST(Transform2D, RotateAfterScaleMultipliesTheMatrix)
{
    render::Transform2D t;
    t.Scale(2, 2);
    t.Rotate(kPi);
    EXPECT_EQ(t.mMatrixMode, 1);
    ExpectPoint(Map(t, 1, 1), -2, -2);
    // In matrix mode every operation multiplies from the left.
    t.Translate(1, 0);
    ExpectPoint(Map(t, 1, 1), -1, -2);
}

TEST(Transform2D, KeptFormAndMatrixAgree)
{
    render::Transform2D scaled;
    scaled.Scale(2, 3);
    scaled.Translate(5, 7);
    ExpectPoint(Map(scaled, 1, 1), 7, 10);
    ExpectPoint(MapByMatrix(scaled, 1, 1), 7, 10);

    render::Transform2D turned;
    turned.Translate(1, 2);
    turned.Rotate(kPi / 2);
    turned.Translate(3, 0);
    // (p + (1, 2)) rotated, then + (3, 0).
    ExpectPoint(Map(turned, 0, 0), 3 + 2, -1);
    ExpectPoint(MapByMatrix(turned, 0, 0), 3 + 2, -1);
}

TEST(Transform2D, TinyPositionsAndOffsetsAreSkippedInKeptForm)
{
    render::Transform2D t;
    t.Translate(0.0001f, 0);
    const Point p = Map(t, 1, 0);
    EXPECT_EQ(p.x, 1.0f);
}

} // namespace
