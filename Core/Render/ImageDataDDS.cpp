#include "Core/Render/ImageDataDDS.h"

#include "Core/Base/Log.h"
#include "Core/Base/Stream.h"
#include "Core/Render/HitMask.h"
#include "Core/Render/ImageBytes.h"

#include <cstring>
#include <utility>

namespace render
{

namespace
{

const uint32_t kAlphaPixelsFlag = 0x1;
const uint32_t kFourCcFlag = 0x4;
const uint32_t kRgbFlag = 0x40;
const uint8_t kAlphaThreshold = 10; // above it a pixel is opaque for hit tests

uint32_t BlockBytes(uint32_t compression)
{
    return compression == CompressionDxt1 ? 8 : 16;
}

// Levels of a full chain down to 1x1.
uint32_t FullChainLength(uint32_t width, uint32_t height)
{
    uint32_t extent = width > height ? width : height;
    uint32_t levels = 1;
    while (extent > 1)
    {
        extent >>= 1;
        ++levels;
    }
    return levels;
}

} // namespace

ImageDataDDS::ImageDataDDS() : mStream(nullptr), mDataSize(0), mSwapRedBlue(0), mOpaque(0)
{
}

uint32_t ImageDataDDS::LevelExtent(uint32_t extent, uint32_t level)
{
    const uint32_t e = level < 32 ? extent >> level : 0;
    return e ? e : 1;
}

uint64_t ImageDataDDS::GetRowBytes(uint32_t level) const
{
    const uint64_t width = LevelExtent(static_cast<uint32_t>(mWidth), level);
    if (mCompression == CompressionNone)
        return width * 4;
    return (width + 3) / 4 * BlockBytes(mCompression);
}

uint32_t ImageDataDDS::GetRowCount(uint32_t level) const
{
    const uint32_t height = LevelExtent(static_cast<uint32_t>(mHeight), level);
    return mCompression == CompressionNone ? height : (height + 3) / 4;
}

BWResultEnum ImageDataDDS::Open(base::Stream* stream, const wchar_t* extension)
{
    (void)extension;
    mStream = stream;
    mSwapRedBlue = 0;
    mOpaque = 0;
    if (!stream)
        return BW_FAIL;
    uint8_t header[kHeaderSize];
    if (stream->Read(header, 4) != 4 || std::memcmp(header, "DDS ", 4) != 0)
        return BW_FAIL;
    if (stream->Read(header + 4, kHeaderSize - 4) != kHeaderSize - 4)
        return BW_FAIL;

    const uint32_t height = Le32(header + 12);
    const uint32_t width = Le32(header + 16);
    const uint32_t levels = Le32(header + 28);
    const uint32_t formatFlags = Le32(header + 80);
    uint32_t compression = CompressionNone;
    if (formatFlags & kFourCcFlag)
    {
        const uint8_t* fourCc = header + 84;
        if (std::memcmp(fourCc, "DXT1", 4) == 0)
            compression = CompressionDxt1;
        else if (std::memcmp(fourCc, "DXT3", 4) == 0)
            compression = CompressionDxt3;
        else if (std::memcmp(fourCc, "DXT5", 4) == 0)
            compression = CompressionDxt5;
        else
            return BW_FAIL;
    }
    else
    {
        // Uncompressed: 32-bit pixels with red and blue at either end, with
        // or without alpha.
        const uint32_t bitCount = Le32(header + 88);
        const uint32_t red = Le32(header + 92), green = Le32(header + 96), blue = Le32(header + 100);
        const uint32_t alpha = Le32(header + 104);
        const bool argb = red == 0x00FF0000u && green == 0x0000FF00u && blue == 0x000000FFu;
        const bool abgr = red == 0x000000FFu && green == 0x0000FF00u && blue == 0x00FF0000u;
        const bool hasAlpha = (formatFlags & kAlphaPixelsFlag) != 0;
        if (!(formatFlags & kRgbFlag) || bitCount != 32 || (!argb && !abgr) || (hasAlpha && alpha != 0xFF000000u))
        {
            BW_LOG(L"Can't read a DDS of %d-bit pixels with masks R %08X G %08X B %08X A %08X\n") % bitCount % red %
                green % blue % (hasAlpha ? alpha : 0u);
            return BW_FAIL;
        }
        mSwapRedBlue = abgr ? 1 : 0;
        mOpaque = hasAlpha ? 0 : 1;
    }
    if (width == 0 || height == 0 || width > 0x7FFFFFFFu || height > 0x7FFFFFFFu)
        return BW_FAIL;
    const uint32_t levelCount = levels ? levels : 1;
    if (levelCount > FullChainLength(width, height))
        return BW_FAIL;

    const uint32_t size = stream->GetSize();
    mWidth = static_cast<int32_t>(width);
    mHeight = static_cast<int32_t>(height);
    mBytesPerPixel = 4;
    mLevelCount = levelCount;
    mCompression = compression;
    mDataSize = size > kHeaderSize ? size - kHeaderSize : 0;

    // Every announced level must be there; a longer file is fine.
    uint64_t needed = 0;
    for (uint32_t level = 0; level < mLevelCount; ++level)
        needed += GetLevelBytes(level);
    if (needed > mDataSize)
    {
        mWidth = 0;
        mHeight = 0;
        return BW_FAIL;
    }
    return BW_OK;
}

BWResultEnum ImageDataDDS::Read(uint32_t pitch, uint32_t level, void* bits, HitMask* mask, uint32_t unused)
{
    (void)unused;
    if (!mStream || !bits || mWidth <= 0 || mHeight <= 0 || level >= mLevelCount)
        return BW_FAIL;
    const uint64_t rowBytes = GetRowBytes(level);
    const uint32_t rows = GetRowCount(level);
    if (pitch < rowBytes)
        return BW_FAIL;

    uint64_t offset = kHeaderSize;
    for (uint32_t l = 0; l < level; ++l)
        offset += GetLevelBytes(l);
    if (offset > 0x7FFFFFFFu || mStream->Seek(static_cast<int32_t>(offset), 0) != offset)
        return BW_FAIL;

    uint8_t* row = static_cast<uint8_t*>(bits);
    for (uint32_t y = 0; y < rows; ++y, row += pitch)
    {
        if (mStream->Read(row, static_cast<uint32_t>(rowBytes)) != rowBytes)
            return BW_FAIL;
        if (mSwapRedBlue || mOpaque)
            ToArgb(row, static_cast<uint32_t>(rowBytes / 4));
    }
    if (level == 0 && mask)
        FillHitMask(static_cast<const uint8_t*>(bits), pitch, mask);
    return BW_OK;
}

void ImageDataDDS::ToArgb(uint8_t* pixels, uint32_t count) const
{
    for (uint32_t i = 0; i < count; ++i, pixels += 4)
    {
        if (mSwapRedBlue)
            std::swap(pixels[0], pixels[2]);
        if (mOpaque)
            pixels[3] = 255;
    }
}

void ImageDataDDS::FillHitMask(const uint8_t* bits, uint32_t pitch, HitMask* mask) const
{
    const uint32_t width = static_cast<uint32_t>(mWidth);
    const uint32_t height = static_cast<uint32_t>(mHeight);
    if (mask->GetWidth() != width || mask->GetHeight() != height)
        return;
    if (mCompression == CompressionNone)
    {
        for (uint32_t y = 0; y < height; ++y)
        {
            const uint8_t* row = bits + static_cast<size_t>(y) * pitch;
            for (uint32_t x = 0; x < width; ++x)
                mask->Set(x + static_cast<uint64_t>(width) * y, row[4 * x + 3] > kAlphaThreshold);
        }
        return;
    }
    // Rows of ceil(width / 4) blocks, as stored; pixels of the edge blocks
    // that lie outside the image are skipped.
    const uint32_t blockBytes = BlockBytes(mCompression);
    const uint32_t blocksWide = (width + 3) / 4;
    const uint32_t blocksHigh = (height + 3) / 4;
    uint8_t alpha[16];
    for (uint32_t by = 0; by < blocksHigh; ++by)
    {
        const uint8_t* block = bits + static_cast<size_t>(by) * pitch;
        for (uint32_t bx = 0; bx < blocksWide; ++bx, block += blockBytes)
        {
            DecodeBlockAlpha(mCompression, block, alpha);
            for (uint32_t py = 0; py < 4 && 4 * by + py < height; ++py)
            {
                for (uint32_t px = 0; px < 4 && 4 * bx + px < width; ++px)
                {
                    const uint64_t bit = (4 * bx + px) + static_cast<uint64_t>(width) * (4 * by + py);
                    mask->Set(bit, alpha[4 * py + px] > kAlphaThreshold);
                }
            }
        }
    }
}

void ImageDataDDS::DecodeBlockAlpha(uint32_t compression, const uint8_t* block, uint8_t alpha[16])
{
    if (compression == CompressionDxt1)
    {
        // Only the three-colour mode (first endpoint not greater) has a
        // transparent entry: index 3.
        const uint32_t c0 = block[0] | block[1] << 8;
        const uint32_t c1 = block[2] | block[3] << 8;
        const uint32_t indices = Le32(block + 4);
        for (int i = 0; i < 16; ++i)
            alpha[i] = (c0 <= c1 && ((indices >> (2 * i)) & 3) == 3) ? 0 : 255;
        return;
    }
    if (compression == CompressionDxt3)
    {
        for (int i = 0; i < 16; ++i)
        {
            const uint32_t nibble = (block[i / 2] >> (4 * (i & 1))) & 0xF;
            alpha[i] = static_cast<uint8_t>(nibble * 17);
        }
        return;
    }
    // DXT5: two endpoints and 3-bit codes.
    const uint32_t a0 = block[0];
    const uint32_t a1 = block[1];
    uint8_t palette[8];
    palette[0] = static_cast<uint8_t>(a0);
    palette[1] = static_cast<uint8_t>(a1);
    if (a0 > a1)
    {
        for (uint32_t i = 2; i < 8; ++i)
            palette[i] = static_cast<uint8_t>(((8 - i) * a0 + (i - 1) * a1 + 3) / 7);
    }
    else
    {
        for (uint32_t i = 2; i < 6; ++i)
            palette[i] = static_cast<uint8_t>(((6 - i) * a0 + (i - 1) * a1 + 2) / 5);
        palette[6] = 0;
        palette[7] = 255;
    }
    uint64_t codes = 0;
    for (int i = 0; i < 6; ++i)
        codes |= static_cast<uint64_t>(block[2 + i]) << (8 * i);
    for (int i = 0; i < 16; ++i)
        alpha[i] = palette[(codes >> (3 * i)) & 7];
}

} // namespace render
