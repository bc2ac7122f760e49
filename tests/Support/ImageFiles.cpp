#include "tests/Support/ImageFiles.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace testing_support
{

namespace
{

void Put16(std::vector<uint8_t>* out, uint32_t v)
{
    out->push_back(static_cast<uint8_t>(v));
    out->push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>* out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

void Set32(std::vector<uint8_t>* out, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        (*out)[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

} // namespace

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
            Put32(&out, pixels.At(x, y)); // B, G, R, A
    }
    return out;
}

std::vector<uint8_t> MakeBmp(const Pixels& pixels, bool bottomUp)
{
    const uint32_t rowBytes = (pixels.width * 3 + 3) & ~3u;
    const uint32_t imageBytes = rowBytes * pixels.height;
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    Put32(&out, 54 + imageBytes);
    Put32(&out, 0);
    Put32(&out, 54);
    Put32(&out, 40);
    Put32(&out, pixels.width);
    Put32(&out, bottomUp ? pixels.height : static_cast<uint32_t>(-static_cast<int32_t>(pixels.height)));
    Put16(&out, 1);
    Put16(&out, 24);
    Put32(&out, 0);
    Put32(&out, imageBytes);
    Put32(&out, 2835);
    Put32(&out, 2835);
    Put32(&out, 0);
    Put32(&out, 0);
    for (uint32_t i = 0; i < pixels.height; ++i)
    {
        const uint32_t y = bottomUp ? pixels.height - 1 - i : i;
        for (uint32_t x = 0; x < pixels.width; ++x)
        {
            const uint32_t argb = pixels.At(x, y);
            out.push_back(static_cast<uint8_t>(argb));
            out.push_back(static_cast<uint8_t>(argb >> 8));
            out.push_back(static_cast<uint8_t>(argb >> 16));
        }
        for (uint32_t pad = pixels.width * 3; pad < rowBytes; ++pad)
            out.push_back(0);
    }
    return out;
}

std::vector<uint8_t> MakeDdsHeader(uint32_t width, uint32_t height, uint32_t mipCount, const std::string& fourCc)
{
    std::vector<uint8_t> out(128, 0);
    std::memcpy(out.data(), "DDS ", 4);
    Set32(&out, 4, 124);
    Set32(&out, 8, 0x1007 | (mipCount > 1 ? 0x20000 : 0));
    Set32(&out, 12, height);
    Set32(&out, 16, width);
    Set32(&out, 28, mipCount);
    Set32(&out, 76, 32);
    if (!fourCc.empty())
    {
        Set32(&out, 80, 0x4);
        std::memcpy(out.data() + 84, fourCc.data(), fourCc.size() < 4 ? fourCc.size() : 4);
    }
    else
    {
        Set32(&out, 80, 0x41);
        Set32(&out, 88, 32);
        Set32(&out, 92, 0x00FF0000);
        Set32(&out, 96, 0x0000FF00);
        Set32(&out, 100, 0x000000FF);
        Set32(&out, 104, 0xFF000000);
    }
    Set32(&out, 108, 0x1000);
    return out;
}

std::vector<uint8_t> MakeDdsArgb(const Pixels& pixels)
{
    std::vector<uint8_t> out = MakeDdsHeader(pixels.width, pixels.height, 1, "");
    for (uint32_t argb : pixels.argb)
        Put32(&out, argb);
    return out;
}

void Append(std::vector<uint8_t>* out, const std::vector<uint8_t>& bytes)
{
    out->insert(out->end(), bytes.begin(), bytes.end());
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
