#pragma once

#include "Core/Render/ImageData.h"

namespace render
{

// A DDS file read directly: uncompressed 32-bit pixels (A8R8G8B8,
// X8R8G8B8, A8B8G8R8 or X8B8G8R8, handed on as ARGB, the X forms opaque), or
// DXT1, DXT3 or DXT5 blocks that go to the device unchanged. Every level the
// header announces must be present in the data.
class ImageDataDDS : public ImageData
{
public:
    static const uint32_t kHeaderSize = 128;

    ImageDataDDS();

    BWResultEnum Open(base::Stream* stream, const wchar_t* extension) override;
    BWResultEnum Read(uint32_t pitch, uint32_t level, void* bits, HitMask* mask, uint32_t unused) override;

    // Bytes after the header.
    uint32_t GetDataSize() const { return mDataSize; }
    // Width or height of a level, at least 1.
    static uint32_t LevelExtent(uint32_t extent, uint32_t level);
    // Bytes of one stored row of a level: of pixels, or of 4x4 blocks.
    uint64_t GetRowBytes(uint32_t level) const;
    // Rows of a level: pixel rows, or rows of blocks.
    uint32_t GetRowCount(uint32_t level) const;
    uint64_t GetLevelBytes(uint32_t level) const { return GetRowBytes(level) * GetRowCount(level); }

    // The 16 alpha values of one block, row by row.
    static void DecodeBlockAlpha(uint32_t compression, const uint8_t* block, uint8_t alpha[16]);

private:
    void ToArgb(uint8_t* pixels, uint32_t count) const;
    void FillHitMask(const uint8_t* bits, uint32_t pitch, HitMask* mask) const;

    base::Stream* mStream;
    uint32_t mDataSize;
    uint8_t mSwapRedBlue; // stored A8B8G8R8 or X8B8G8R8
    uint8_t mOpaque;      // stored without alpha
};

} // namespace render
