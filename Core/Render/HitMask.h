#pragma once

#include <cstdint>
#include <vector>

namespace render
{

// One opacity bit per pixel for hit tests: bit x + width * y, least
// significant bit first within each byte.
class HitMask
{
public:
    HitMask();

    // Drops the old bits; every new bit is clear. False when the storage
    // cannot be had, which leaves the mask empty.
    bool Resize(uint32_t width, uint32_t height);
    void Clear();

    void Set(uint64_t bit, bool opaque)
    {
        const uint8_t flag = static_cast<uint8_t>(1u << (bit & 7));
        if (opaque)
            mBytes[bit >> 3] |= flag;
        else
            mBytes[bit >> 3] &= static_cast<uint8_t>(~flag);
    }
    bool Get(uint64_t bit) const { return (mBytes[bit >> 3] >> (bit & 7)) & 1u; }

    // False outside the mask.
    bool GetPixel(int32_t x, int32_t y) const;

    uint32_t GetWidth() const { return mWidth; }
    uint32_t GetHeight() const { return mHeight; }
    uint64_t GetBitCount() const { return static_cast<uint64_t>(mWidth) * mHeight; }
    bool IsEmpty() const { return mBytes.empty(); }
    const std::vector<uint8_t>& GetBytes() const { return mBytes; }

private:
    std::vector<uint8_t> mBytes;
    uint32_t mWidth;
    uint32_t mHeight;
};

} // namespace render
