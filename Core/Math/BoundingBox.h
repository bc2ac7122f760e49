#pragma once

#include "Core/Math/Vector3.h"

namespace math
{

// Axis-aligned box: min x, min y, min z, max x, max y, max z. An empty box
// has its minimum at +FLT_MAX and its maximum at -FLT_MAX, so that the first
// point added becomes both corners.
class BoundingBox
{
public:
    BoundingBox() { Reset(); }
    BoundingBox(const BoundingBox& other) = default;
    BoundingBox& operator=(const BoundingBox& other);

    void Reset();
    void Merge(const BoundingBox& other);
    void AddPoint(const float point[3]);
    // Corners 0-3 run around the bottom face (y = min), 4-7 around the top
    // face in the same x/z order; any other index gives (0, 0, 0).
    Vector3 GetCorner(int index) const;

    float mMin[3];
    float mMax[3];
};

} // namespace math
