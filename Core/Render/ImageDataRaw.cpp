#include "Core/Render/ImageDataRaw.h"

#include "Core/Base/Stream.h"
#include "Core/Render/HitMask.h"

#include <cstring>

namespace render
{

namespace
{

const uint32_t kAlphaThreshold = 10; // at or above it a pixel is opaque for hit tests

} // namespace

ImageDataRaw::ImageDataRaw(const base::ImageInfo& info) : mInfo(info), mStream(nullptr)
{
}

BWResultEnum ImageDataRaw::Open(base::Stream* stream, const wchar_t* extension)
{
    (void)extension;
    mStream = stream;
    mBytesPerPixel = 4;
    if (!stream || mInfo.mWidth <= 0 || mInfo.mHeight <= 0)
        return BW_FAIL;
    mWidth = mInfo.mWidth;
    mHeight = mInfo.mHeight;
    return BW_OK;
}

BWResultEnum ImageDataRaw::Read(uint32_t pitch, uint32_t level, void* bits, HitMask* mask, uint32_t unused)
{
    (void)unused;
    const uint64_t rowBytes = static_cast<uint64_t>(mWidth) * 4;
    if (!mStream || !bits || level != 0 || mWidth <= 0 || mHeight <= 0 || pitch < rowBytes)
        return BW_FAIL;
    const uint32_t width = static_cast<uint32_t>(mWidth);
    const uint32_t height = static_cast<uint32_t>(mHeight);
    const bool fillMask = mask && mask->GetWidth() == width && mask->GetHeight() == height;
    uint8_t* row = static_cast<uint8_t*>(bits);
    for (uint32_t y = 0; y < height; ++y, row += pitch)
    {
        // The words are in the machine's byte order, as the device wants them.
        if (mStream->Read(row, static_cast<uint32_t>(rowBytes)) != rowBytes)
            return BW_FAIL;
        if (!fillMask)
            continue;
        for (uint32_t x = 0; x < width; ++x)
        {
            uint32_t argb;
            std::memcpy(&argb, row + 4 * static_cast<size_t>(x), 4);
            mask->Set(x + static_cast<uint64_t>(width) * y, (argb >> 24) >= kAlphaThreshold);
        }
    }
    return BW_OK;
}

} // namespace render
