#pragma once

#include "Core/Base/BWResult.h"

#include <cstdint>

namespace base
{
class Stream;
}

namespace render
{

class HitMask;

// Compression of image data as the device takes it.
enum ImageCompression : uint32_t
{
    CompressionNone = 0,
    CompressionDxt1 = 1,
    CompressionDxt3 = 2,
    CompressionDxt5 = 3,
};

// Pixels of one image on their way into a texture: opened from a stream,
// then read once into the locked texture levels. Uncompressed pixels are
// 32-bit ARGB words; compressed data is handed over as stored.
class ImageData
{
public:
    ImageData();
    virtual ~ImageData();

    ImageData(const ImageData&) = delete;
    ImageData& operator=(const ImageData&) = delete;

    // Reads what is needed to know the size; the stream is not owned and
    // must stay open until Read.
    virtual BWResultEnum Open(base::Stream* stream, const wchar_t* extension) = 0;
    // Writes one level, rows pitch bytes apart, to bits. Level 0 also fills
    // the hit mask (sized width x height by the caller) when one is given.
    virtual BWResultEnum Read(uint32_t pitch, uint32_t level, void* bits, HitMask* mask, uint32_t unused) = 0;
    // width x height x 4.
    virtual uint32_t GetSize() const;

    int32_t GetWidth() const { return mWidth; }
    int32_t GetHeight() const { return mHeight; }
    uint32_t GetBytesPerPixel() const { return mBytesPerPixel; }
    uint32_t GetLevelCount() const { return mLevelCount; }
    uint32_t GetCompression() const { return mCompression; }

protected:
    int32_t mWidth;
    int32_t mHeight;
    uint32_t mBytesPerPixel;
    uint32_t mLevelCount;
    uint32_t mCompression;
};

} // namespace render
