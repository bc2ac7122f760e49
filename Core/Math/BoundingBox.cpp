#include "Core/Math/BoundingBox.h"

#include <cfloat>

namespace math
{

BoundingBox& BoundingBox::operator=(const BoundingBox& other)
{
    if (this != &other)
    {
        for (int i = 0; i < 3; ++i)
        {
            mMin[i] = other.mMin[i];
            mMax[i] = other.mMax[i];
        }
    }
    return *this;
}

void BoundingBox::Reset()
{
    for (int i = 0; i < 3; ++i)
    {
        mMin[i] = FLT_MAX;
        mMax[i] = -FLT_MAX;
    }
}

void BoundingBox::Merge(const BoundingBox& other)
{
    for (int i = 0; i < 3; ++i)
    {
        if (other.mMin[i] < mMin[i])
            mMin[i] = other.mMin[i];
        if (other.mMax[i] > mMax[i])
            mMax[i] = other.mMax[i];
    }
}

void BoundingBox::AddPoint(const float point[3])
{
    for (int i = 0; i < 3; ++i)
    {
        if (point[i] < mMin[i])
            mMin[i] = point[i];
        if (point[i] > mMax[i])
            mMax[i] = point[i];
    }
}

Vector3 BoundingBox::GetCorner(int index) const
{
    switch (index)
    {
    case 0: return Vector3(mMin[0], mMin[1], mMin[2]);
    case 1: return Vector3(mMin[0], mMin[1], mMax[2]);
    case 2: return Vector3(mMax[0], mMin[1], mMax[2]);
    case 3: return Vector3(mMax[0], mMin[1], mMin[2]);
    case 4: return Vector3(mMin[0], mMax[1], mMin[2]);
    case 5: return Vector3(mMin[0], mMax[1], mMax[2]);
    case 6: return Vector3(mMax[0], mMax[1], mMax[2]);
    case 7: return Vector3(mMax[0], mMax[1], mMin[2]);
    default: return Vector3(0.0f, 0.0f, 0.0f);
    }
}

} // namespace math
