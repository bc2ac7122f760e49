#include "Core/Render/Transform.h"
#include "Core/Render/Transform2D.h"
#include "Core/Render/Vertex.h"
#include "Core/Render/VertexFormat.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{

const float kPi = 3.14159265358979f;

// The kept form (points and vertices) and the built matrix map the point alike.
TEST(Transform, StepsMapThePointAlikeOnEveryPath)
{
    using T = render::Transform;
    const struct
    {
        const char* name;
        std::function<void(T&)> build;
        bool matrixMode;
        float in[3], out[3];
    } cases[] = {
        {"negative scale", [](T& t) { t.Translate(1, 2, 3), t.Scale(-1, 1, 1); }, true, {1, 1, 1}, {-2, 3, 4}},
        {"scale after rotation", [](T& t) { t.Rotate(0, 0, kPi), t.Scale(3, 1, 1); }, true, {1, 0, 0}, {-3, 0, 0}},
        // Append on a fresh transform takes the product, never an unbuilt
        // matrix, and nothing rebuilds it from the old components.
        {"appending a matrix to a fresh one",
         [](T& t) {
             T other;
             other.Translate(3, 4, 5), other.Scale(-2, 1, 1);
             t.Append(other), t.UpdateMatrix();
         },
         true, {1, 0, 0}, {-8, 4, 5}},
        // (p + (10, 0, 0) + (1, 2, 0)) * 3 + (4, 0, 0)
        {"appending components replays their steps",
         [](T& t) {
             T other;
             other.Translate(1, 2, 0), other.Scale(3, 3, 1), other.Translate(4, 0, 0);
             t.Translate(10, 0, 0), t.Append(other);
         },
         false, {0, 0, 0}, {37, 6, 0}}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        T t;
        c.build(t);
        EXPECT_EQ(t.IsMatrixMode(), c.matrixMode);
        float point[3], matrix[3];
        t.TransformPoint(c.in, point);
        t.GetMatrix().TransformPoint(c.in, matrix);
        render::SVertex2D v = {c.in[0], c.in[1], c.in[2], 1.0f, 0xAABBCCDDu, 0, 0.25f, 0.75f};
        T::TransformVertices(&v, render::VertexFormatOf<render::SVertex2D>(), 1, t);
        EXPECT_EQ(std::make_pair(v.diffuse, v.tu), std::make_pair(0xAABBCCDDu, 0.25f));
        for (int i = 0; i < 3; ++i)
            for (float got : {point[i], matrix[i], (&v.x)[i]})
                EXPECT_NEAR(got, c.out[i], 1e-4f) << "coordinate " << i;
    }
}

TEST(Transform2D, StepsMapThePointAlikeKeptAndAsAMatrix)
{
    using T = render::Transform2D;
    const struct
    {
        std::function<void(T&)> build;
        bool matrixMode;
        float in[2], out[2];
    } cases[] = {{[](T& t) { t.Scale(-1, 1); }, false, {2, 3}, {-2, 3}},
                 {[](T& t) { t.Translate(5, 1), t.Scale(2, 3); }, true, {1, 1}, {12, 6}},
                 // (p + (1, 2)) rotated by rows (cos, sin), (-sin, cos), then + (3, 0).
                 {[](T& t) { t.Translate(1, 2), t.Rotate(kPi / 2), t.Translate(3, 0); }, false, {0, 0}, {5, -1}}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.out[0]);
        T t;
        c.build(t);
        EXPECT_EQ(t.mMatrixMode != 0, c.matrixMode);
        float p[2] = {c.in[0], c.in[1]};
        t.TransformPoints(p, sizeof(p), 1);
        const float* m = t.Update().mMatrix;
        for (int i = 0; i < 2; ++i)
            for (float got : {p[i], m[3 * i] * c.in[0] + m[3 * i + 1] * c.in[1] + m[3 * i + 2]})
                EXPECT_NEAR(got, c.out[i], 1e-4f) << "coordinate " << i;
    }
}

} // namespace
