#include "tests/Support/ImageFiles.h"

namespace testing_support
{

std::vector<uint8_t> MakeTga(const Pixels& pixels, bool bottomUp)
{
    // Uncompressed true colour, 32 bits; 8 alpha bits, and bit 5 for top-down.
    const uint32_t w = pixels.width, h = pixels.height;
    std::vector<uint8_t> out = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, uint8_t(w), uint8_t(w >> 8), uint8_t(h), uint8_t(h >> 8),
                                32, uint8_t(bottomUp ? 8 : 0x28)};
    for (uint32_t i = 0; i < pixels.height; ++i)
    {
        const uint32_t y = bottomUp ? pixels.height - 1 - i : i;
        for (uint32_t x = 0; x < pixels.width; ++x)
            for (int shift = 0; shift < 32; shift += 8)
                out.push_back(static_cast<uint8_t>(pixels.argb[y * pixels.width + x] >> shift)); // B, G, R, A
    }
    return out;
}

} // namespace testing_support
