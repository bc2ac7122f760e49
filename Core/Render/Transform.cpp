#include "Core/Render/Transform.h"

#include "Core/Render/VertexFormat.h"

#include <cmath>

namespace render
{

namespace
{

const float kNearZero = 0.0002f;

bool AnyNonZero(const float v[3])
{
    return v[0] != 0.0f || v[1] != 0.0f || v[2] != 0.0f;
}

bool NearZero(const float v[3])
{
    return std::fabs(v[0]) <= kNearZero && std::fabs(v[1]) <= kNearZero && std::fabs(v[2]) <= kNearZero;
}

float* PositionOf(uint8_t* vertex, uint32_t offset)
{
    return reinterpret_cast<float*>(vertex + offset);
}

} // namespace

Transform::Transform() : mMatrix(true)
{
    Reset();
}

void Transform::Reset()
{
    mMatrixMode = 0;
    mRotated = 0;
    mScaled = 0;
    for (int i = 0; i < 3; ++i)
    {
        mPosition[i] = 0.0f;
        mOffset[i] = 0.0f;
        mScale[i] = 1.0f;
        mAngles[i] = 0.0f;
    }
    mDirty = 1;
}

void Transform::EnterMatrixMode()
{
    // The matrix must hold the components before it becomes authoritative.
    UpdateMatrix();
    mMatrixMode = 1;
}

void Transform::Translate(float dx, float dy, float dz)
{
    const float d[3] = {dx, dy, dz};
    if (mMatrixMode)
    {
        mMatrix.Translate(d);
        return;
    }
    mDirty = 1;
    float* target = (mRotated || mScaled) ? mOffset : mPosition;
    for (int i = 0; i < 3; ++i)
        target[i] += d[i];
}

void Transform::Rotate(float ax, float ay, float az)
{
    const float a[3] = {ax, ay, az};
    if (!mMatrixMode && !mScaled && !mRotated)
    {
        mRotated = 1;
        mDirty = 1;
        for (int i = 0; i < 3; ++i)
            mAngles[i] += a[i];
        return;
    }
    if (!mMatrixMode)
        EnterMatrixMode();
    mMatrix.Rotate(a);
}

void Transform::Scale(float sx, float sy, float sz)
{
    const float s[3] = {sx, sy, sz};
    if (!mMatrixMode && !mRotated && !AnyNonZero(mOffset) && sx >= 0.0f && sy >= 0.0f && sz >= 0.0f)
    {
        for (int i = 0; i < 3; ++i)
            mScale[i] *= s[i];
        mScaled = 1;
        mDirty = 1;
        return;
    }
    if (!mMatrixMode)
        EnterMatrixMode();
    mMatrix.Scale(s);
}

void Transform::Append(const Transform& other)
{
    if (other.mMatrixMode)
    {
        other.UpdateMatrix();
        if (!mMatrixMode)
            EnterMatrixMode();
        mMatrix.Multiply(other.mMatrix);
        return;
    }
    if (AnyNonZero(other.mPosition))
        Translate(other.mPosition[0], other.mPosition[1], other.mPosition[2]);
    if (other.mScaled)
        Scale(other.mScale[0], other.mScale[1], other.mScale[2]);
    if (other.mRotated)
        Rotate(other.mAngles[0], other.mAngles[1], other.mAngles[2]);
    if (AnyNonZero(other.mOffset))
        Translate(other.mOffset[0], other.mOffset[1], other.mOffset[2]);
}

void Transform::UpdateMatrix() const
{
    if (!mDirty)
        return;
    mDirty = 0;
    // In matrix mode the components are stale; the matrix stands.
    if (mMatrixMode)
        return;
    mMatrix.SetIdentity();
    mMatrix.SetTranslation(mPosition);
    if (mScaled)
        mMatrix.Scale(mScale);
    else if (mRotated)
        mMatrix.Rotate(mAngles);
    if (AnyNonZero(mOffset))
        mMatrix.Translate(mOffset);
}

const math::Matrix4& Transform::GetMatrix() const
{
    UpdateMatrix();
    return mMatrix;
}

void Transform::TransformPoint(const float in[3], float out[3]) const
{
    if (mMatrixMode || mRotated)
    {
        UpdateMatrix();
        mMatrix.TransformPoint(in, out);
        return;
    }
    for (int i = 0; i < 3; ++i)
    {
        float v = in[i] + mPosition[i];
        if (mScaled)
            v *= mScale[i];
        out[i] = v + mOffset[i];
    }
}

void Transform::TransformVertices(void* vertices, const VertexFormat& format, uint32_t count,
                                  const Transform& transform)
{
    uint8_t* first = static_cast<uint8_t*>(vertices);
    const uint32_t stride = format.mStride;
    const uint32_t offset = format.mPosition.mOffset;
    if (transform.mMatrixMode || transform.mRotated)
    {
        const math::Matrix4& m = transform.GetMatrix();
        for (uint32_t i = 0; i < count; ++i)
            m.TransformPointInPlace(PositionOf(first + static_cast<size_t>(i) * stride, offset));
        return;
    }
    if (!NearZero(transform.mPosition))
    {
        for (uint32_t i = 0; i < count; ++i)
        {
            float* p = PositionOf(first + static_cast<size_t>(i) * stride, offset);
            for (int c = 0; c < 3; ++c)
                p[c] += transform.mPosition[c];
        }
    }
    if (transform.mScaled)
    {
        for (uint32_t i = 0; i < count; ++i)
        {
            float* p = PositionOf(first + static_cast<size_t>(i) * stride, offset);
            for (int c = 0; c < 3; ++c)
                p[c] *= transform.mScale[c];
        }
    }
    if (!NearZero(transform.mOffset))
    {
        for (uint32_t i = 0; i < count; ++i)
        {
            float* p = PositionOf(first + static_cast<size_t>(i) * stride, offset);
            for (int c = 0; c < 3; ++c)
                p[c] += transform.mOffset[c];
        }
    }
}

} // namespace render
