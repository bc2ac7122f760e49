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

} // namespace math
