#include "Core/Math/Easing.h"

#include <cmath>

namespace base
{

namespace
{
// The single-precision values of pi/2 and pi.
const float HalfPi = 1.5707964f;
const float Pi = 3.1415927f;
} // namespace

float EaseInSine(float t)
{
    if (t <= 0.0f)
        return 0.0f;
    if (t >= 1.0f)
        return 1.0f;
    return 1.0f - std::cos(t * HalfPi);
}

float EaseOutSine(float t)
{
    if (t <= 0.0f)
        return 0.0f;
    if (t >= 1.0f)
        return 1.0f;
    return std::sin(t * HalfPi);
}

float EaseInOutSine(float t)
{
    if (t <= 0.0f)
        return 0.0f;
    if (t >= 1.0f)
        return 1.0f;
    return 0.5f - 0.5f * std::cos(t * Pi);
}

bool IsNearZero(float value, float epsilon)
{
    return std::fabs(value) <= epsilon;
}

} // namespace base
