#pragma once

#include <cstdint>

namespace render
{

// The 2-D placement a transformed image draw carries. It keeps position,
// scale or angle, and offset as long as the operations allow, and falls back
// to a 3x3 matrix (rows (a, b, tx), (c, d, ty), (0, 0, 1)) when they do not.
class Transform2D
{
public:
    Transform2D();

    void Translate(float dx, float dy);
    void Rotate(float angle);
    void Scale(float sx, float sy);
    // Rebuilds the matrix when it is out of date.
    Transform2D& Update();

    // Moves n points, stride bytes apart, each starting with x and y floats.
    void TransformPoints(void* points, uint32_t stride, uint32_t count);

    // Row-major 3x3 matrix; meaningful after Update.
    float mMatrix[9];
    uint8_t mDirty;
    uint8_t mMatrixMode;
    uint8_t mRotated;
    uint8_t mScaled;
    float mPosition[2];
    float mOffset[2];
    float mScale[2];
    float mAngle;

private:
    void EnterMatrixMode();
    // matrix = m * matrix, with m given as its first two rows.
    void PreMultiply(float a, float b, float tx, float c, float d, float ty);
};

} // namespace render
