#pragma once

// Image files made in memory for the image-loading tests: pixels as ARGB
// words, rows from the top.

#include "tests/Support/TempFolder.h"

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support
{

struct Pixels
{
    uint32_t width = 0, height = 0;
    std::vector<uint32_t> argb; // width * height, row 0 at the top
};

// Every pixel computed by f(x, y).
template <class F>
Pixels MakePixels(uint32_t width, uint32_t height, F f)
{
    Pixels p{width, height, {}};
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x)
            p.argb.push_back(f(x, y));
    return p;
}

// Uncompressed 32-bit TGA; bottomUp stores the last row first and says so.
std::vector<uint8_t> MakeTga(const Pixels& pixels, bool bottomUp);

// A whole file's bytes; empty when it cannot be read.
inline std::vector<uint8_t> ReadFileBytes(const std::string& path)
{
    const std::string bytes = ReadFile(path);
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

inline std::string SampleImagePath(const std::string& name) { return BW_SOURCE_DIR "/data/images/" + name; }

} // namespace testing_support
