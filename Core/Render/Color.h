#pragma once

#include <cstdint>

namespace render
{

// Four-float colours (r, g, b, a, each 0..1) and their packed ARGB form.
struct Color
{
    // out = a * b, channel by channel; out may be a or b.
    static void Multiply(float out[4], const float a[4], const float b[4]);
};

// Each channel clamped to 0..1, times 255, truncated: A << 24 | R << 16 | G << 8 | B.
uint32_t ColorToArgb(const float rgba[4]);
// Each byte / 255.
void ArgbToColor(float rgba[4], uint32_t argb);

} // namespace render
