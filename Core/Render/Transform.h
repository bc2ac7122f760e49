#pragma once

#include "Core/Math/Matrix4.h"

#include <cstdint>

namespace render
{

class VertexFormat;

// A 3-D placement kept as position, then scale or one rotation, then a pivot
// offset, for as long as the operations allow; otherwise a full matrix.
// Component form moves vertices with additions and multiplications only.
class Transform
{
public:
    Transform();

    void Reset();
    void Translate(float dx, float dy, float dz);
    void Rotate(float ax, float ay, float az);
    void Scale(float sx, float sy, float sz);
    // Applies other after this.
    void Append(const Transform& other);

    // Rebuilds the matrix from the components when they changed.
    void UpdateMatrix() const;
    const math::Matrix4& GetMatrix() const;

    void TransformPoint(const float in[3], float out[3]) const;
    // Moves the "pos" element (its first three floats) of count vertices in
    // place.
    static void TransformVertices(void* vertices, const VertexFormat& format, uint32_t count,
                                  const Transform& transform);

    bool IsMatrixMode() const { return mMatrixMode != 0; }
    bool IsRotated() const { return mRotated != 0; }
    bool IsScaled() const { return mScaled != 0; }

    uint8_t mMatrixMode;
    uint8_t mRotated;
    uint8_t mScaled;
    float mPosition[3];
    float mOffset[3];
    float mScale[3];
    // Pitch (x), heading (y), bank (z), in radians.
    float mAngles[3];
    mutable math::Matrix4 mMatrix;
    mutable uint8_t mDirty;

private:
    void EnterMatrixMode();
};

} // namespace render
