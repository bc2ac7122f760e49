#include "Core/Render/Color.h"

namespace render
{

namespace
{

uint32_t ChannelByte(float channel)
{
    // Out-of-range channels would wrap (or be undefined when negative).
    if (!(channel > 0.0f))
        return 0;
    if (channel >= 1.0f)
        return 255;
    return static_cast<uint32_t>(channel * 255.0f) & 0xFFu;
}

} // namespace

void Color::Multiply(float out[4], const float a[4], const float b[4])
{
    for (int i = 0; i < 4; ++i)
        out[i] = a[i] * b[i];
}

uint32_t ColorToArgb(const float rgba[4])
{
    return ChannelByte(rgba[3]) << 24 | ChannelByte(rgba[0]) << 16 | ChannelByte(rgba[1]) << 8 |
           ChannelByte(rgba[2]);
}

void ArgbToColor(float rgba[4], uint32_t argb)
{
    rgba[0] = static_cast<float>((argb >> 16) & 0xFF) / 255.0f;
    rgba[1] = static_cast<float>((argb >> 8) & 0xFF) / 255.0f;
    rgba[2] = static_cast<float>(argb & 0xFF) / 255.0f;
    rgba[3] = static_cast<float>(argb >> 24) / 255.0f;
}

} // namespace render
