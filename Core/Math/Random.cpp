#include "Core/Math/Random.h"

#include "Platform/Win32/Win32Kernel.h"

#include <cmath>

namespace math
{

namespace
{
uint32_t gRandomCounter = 0;
}

uint32_t HashRandom(uint32_t seed)
{
    uint32_t x = (seed ^ 0x00BC602Fu) * 0x9E3779B9u;
    x ^= (x << 6) | (x >> 26);
    uint32_t y = x * 0x9E3779B9u;
    return ((y >> 12) ^ (y << 5)) + y;
}

float RandomRange(float min, float max, uint32_t seed)
{
    if (seed == 0)
        ++gRandomCounter;
    else
        gRandomCounter = seed;
    uint32_t h = HashRandom(gRandomCounter);
    return static_cast<float>(double(min) + (double(max) - double(min)) * double(h) / 4294967296.0);
}

uint32_t* GetRandomSeed()
{
    return &gRandomCounter;
}

uint32_t RandomInRange(const RandomIntRange& range)
{
    const int r = win32::rand();
    // An inverted range would wrap the span to nearly 2^32.
    if (range.mMin > range.mMax)
        return range.mMin;
    const float f = static_cast<float>(r / 32767.0);
    const float x = static_cast<float>(range.mMax - range.mMin) * f + static_cast<float>(range.mMin);
    // Single precision rounds large ends outward (2^32 - 1 becomes 2^32), and
    // converting such a float to uint32_t is undefined: clamp first.
    const double y = std::floor(double(x + 0.5f));
    if (y <= double(range.mMin))
        return range.mMin;
    if (y >= double(range.mMax))
        return range.mMax;
    return static_cast<uint32_t>(y);
}

} // namespace math
