#include "tests/Support/ImageFiles.h"

#include <fstream>
#include <iterator>

namespace testing_support
{

std::vector<uint8_t> MakeTga(const Pixels& pixels, bool bottomUp)
{
    std::vector<uint8_t> out(18, 0);
    out[2] = 2; // uncompressed true colour
    out[12] = static_cast<uint8_t>(pixels.width);
    out[13] = static_cast<uint8_t>(pixels.width >> 8);
    out[14] = static_cast<uint8_t>(pixels.height);
    out[15] = static_cast<uint8_t>(pixels.height >> 8);
    out[16] = 32;
    out[17] = static_cast<uint8_t>(8 | (bottomUp ? 0 : 0x20)); // 8 alpha bits; bit 5: top-down
    for (uint32_t i = 0; i < pixels.height; ++i)
    {
        const uint32_t y = bottomUp ? pixels.height - 1 - i : i;
        for (uint32_t x = 0; x < pixels.width; ++x)
            for (int shift = 0; shift < 32; shift += 8)
                out.push_back(static_cast<uint8_t>(pixels.argb[y * pixels.width + x] >> shift)); // B, G, R, A
    }
    return out;
}

std::vector<uint8_t> ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {};
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string SampleImagePath(const std::string& name)
{
    return std::string(BW_SOURCE_DIR) + "/data/images/" + name;
}

} // namespace testing_support
