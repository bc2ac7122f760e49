#include "Core/Render/Transform2D.h"

#include <cmath>
#include <cstring>

namespace render
{

namespace
{

const float kNearZero = 0.0002f;

bool NearZero(const float v[2])
{
    return std::fabs(v[0]) <= kNearZero && std::fabs(v[1]) <= kNearZero;
}

} // namespace

Transform2D::Transform2D()
    : mMatrix{1, 0, 0, 0, 1, 0, 0, 0, 1}, mDirty(1), mMatrixMode(0), mRotated(0), mScaled(0), mPosition{0, 0},
      mOffset{0, 0}, mScale{1, 1}, mAngle(0)
{
}

void Transform2D::PreMultiply(float a, float b, float tx, float c, float d, float ty)
{
    const float* m = mMatrix;
    const float r[6] = {
        a * m[0] + b * m[3], a * m[1] + b * m[4], a * m[2] + b * m[5] + tx,
        c * m[0] + d * m[3], c * m[1] + d * m[4], c * m[2] + d * m[5] + ty,
    };
    std::memcpy(mMatrix, r, sizeof(r));
}

Transform2D& Transform2D::Update()
{
    // In matrix mode the matrix is authoritative and is never rebuilt.
    if (!mDirty || mMatrixMode)
        return *this;
    mDirty = 0;
    const float identity[9] = {1, 0, mPosition[0], 0, 1, mPosition[1], 0, 0, 1};
    std::memcpy(mMatrix, identity, sizeof(identity));
    if (mScaled)
    {
        mMatrix[0] = mScale[0];
        mMatrix[4] = mScale[1];
    }
    else if (mRotated)
    {
        const float c = std::cos(mAngle), s = std::sin(mAngle);
        PreMultiply(c, s, 0, -s, c, 0);
    }
    if (mOffset[0] != 0.0f || mOffset[1] != 0.0f)
        PreMultiply(1, 0, mOffset[0], 0, 1, mOffset[1]);
    return *this;
}

void Transform2D::EnterMatrixMode()
{
    Update();
    mMatrixMode = 1;
}

void Transform2D::Translate(float dx, float dy)
{
    if (mMatrixMode)
    {
        PreMultiply(1, 0, dx, 0, 1, dy);
        return;
    }
    // Stored only when it changes: the flags are read back together, and a
    // load across a just-stored single flag waits for that store.
    if (!mDirty)
        mDirty = 1;
    float* target = (mRotated || mScaled) ? mOffset : mPosition;
    target[0] += dx;
    target[1] += dy;
}

void Transform2D::Rotate(float angle)
{
    if (!mMatrixMode && !mScaled)
    {
        mAngle += angle;
        mDirty = 1;
        mRotated = 1;
        return;
    }
    EnterMatrixMode();
    const float c = std::cos(angle), s = std::sin(angle);
    PreMultiply(c, s, 0, -s, c, 0);
}

void Transform2D::Scale(float sx, float sy)
{
    if (!mMatrixMode && !mRotated && mPosition[0] == 0.0f && mPosition[1] == 0.0f && sy >= 0.0f &&
        (sx >= 0.0f || mScale[0] * sx == -1.0f))
    {
        // All four flags at once (the mode and rotation are known clear
        // here), so that later reads of them together find one store.
        mDirty = 1;
        mMatrixMode = 0;
        mRotated = 0;
        mScaled = 1;
        mScale[0] *= sx;
        mScale[1] *= sy;
        return;
    }
    EnterMatrixMode();
    PreMultiply(sx, 0, 0, 0, sy, 0);
}

void Transform2D::TransformPoints(void* points, uint32_t stride, uint32_t count)
{
    uint8_t* base = static_cast<uint8_t*>(points);
    if (!mMatrixMode && !mRotated)
    {
        // Position, then scale, then offset, each point in one pass. x and y
        // are loaded singly: the quad's corners were just stored that way,
        // and a load spanning both would wait for those stores.
        const bool moved = !NearZero(mPosition), offset = !NearZero(mOffset);
        for (uint32_t i = 0; i < count; ++i)
        {
            float* p = reinterpret_cast<float*>(base + static_cast<size_t>(i) * stride);
            if (moved)
            {
                p[0] += mPosition[0];
                p[1] += mPosition[1];
            }
            if (mScaled)
            {
                p[0] *= mScale[0];
                p[1] *= mScale[1];
            }
            if (offset)
            {
                p[0] += mOffset[0];
                p[1] += mOffset[1];
            }
        }
        return;
    }
    Update();
    const float* m = mMatrix;
    for (uint32_t i = 0; i < count; ++i)
    {
        float* p = reinterpret_cast<float*>(base + static_cast<size_t>(i) * stride);
        const float x = p[0], y = p[1];
        p[0] = m[0] * x + m[1] * y + m[2];
        p[1] = m[3] * x + m[4] * y + m[5];
    }
}

} // namespace render
