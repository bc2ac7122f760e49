#include "Core/Render/HitMask.h"

#include <exception>

namespace render
{

HitMask::HitMask() : mWidth(0), mHeight(0)
{
}

bool HitMask::Resize(uint32_t width, uint32_t height)
{
    Clear();
    const uint64_t bits = static_cast<uint64_t>(width) * height;
    try
    {
        mBytes.assign(static_cast<size_t>((bits + 7) / 8), 0);
    }
    catch (const std::exception&)
    {
        return false;
    }
    mWidth = width;
    mHeight = height;
    return true;
}

void HitMask::Clear()
{
    std::vector<uint8_t>().swap(mBytes);
    mWidth = 0;
    mHeight = 0;
}

bool HitMask::GetPixel(int32_t x, int32_t y) const
{
    if (x < 0 || y < 0 || static_cast<uint32_t>(x) >= mWidth || static_cast<uint32_t>(y) >= mHeight || mBytes.empty())
        return false;
    return Get(static_cast<uint64_t>(x) + static_cast<uint64_t>(mWidth) * static_cast<uint32_t>(y));
}

} // namespace render
