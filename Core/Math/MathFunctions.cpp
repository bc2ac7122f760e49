#include "Core/Math/MathFunctions.h"

namespace math
{

bool MoveTowards(float* value, float step, float target)
{
    if (*value == target)
        return true;
    if (Abs(*value - target) < step)
    {
        *value = target;
        return true;
    }
    if (target > *value)
        *value += step;
    else
        *value -= step;
    return false;
}

int32_t ScaleToward0(int32_t value, float factor)
{
    const float scaled = static_cast<float>(value) * factor;
    if (std::isnan(scaled))
        return 0;
    if (scaled >= 2147483648.0f)
        return INT32_MAX;
    if (scaled <= -2147483648.0f)
        return INT32_MIN;
    return static_cast<int32_t>(scaled);
}

} // namespace math
