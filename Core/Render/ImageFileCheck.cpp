#include "Core/Render/ImageFileCheck.h"

#include <cstring>

namespace render
{

namespace
{

uint32_t Le16(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8;
}

uint32_t Le32(const uint8_t* p)
{
    return Le16(p) | Le16(p + 2) << 16;
}

uint32_t Be16(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) << 8 | p[1];
}

uint32_t Be32(const uint8_t* p)
{
    return Be16(p) << 16 | Be16(p + 2);
}

bool ExtentOk(uint64_t width, uint64_t height)
{
    return width >= 1 && height >= 1 && width <= ImageFileCheck::kMaxExtent && height <= ImageFileCheck::kMaxExtent;
}

// GIF data sub-blocks from at: each a length byte and that many bytes, ended
// by a zero length. The position after them, or 0 when they run off the end.
size_t SkipSubBlocks(const uint8_t* data, size_t size, size_t at)
{
    while (at < size)
    {
        const size_t length = data[at];
        ++at;
        if (length == 0)
            return at;
        at += length;
    }
    return 0;
}

// JPEG entropy-coded data from at: any bytes, where 0xFF is followed by a
// stuffed 0x00, a restart marker or more 0xFF fill. The position of the next
// marker, or size when the data runs off the end.
size_t SkipEntropyCodedData(const uint8_t* data, size_t size, size_t at)
{
    while (at + 1 < size)
    {
        if (data[at] == 0xFF)
        {
            const uint8_t next = data[at + 1];
            if (next != 0x00 && next != 0xFF && !(next >= 0xD0 && next <= 0xD7))
                return at;
            at += next == 0xFF ? 1 : 2;
            continue;
        }
        ++at;
    }
    return size;
}

} // namespace

size_t ImageFileCheck::SoundLength(ImageFileKind kind, const uint8_t* data, size_t size)
{
    if (!data)
        return 0;
    switch (kind)
    {
    case ImageFileKind::Bmp:
        return SoundLengthBmp(data, size);
    case ImageFileKind::Gif:
        return SoundLengthGif(data, size);
    case ImageFileKind::Jpg:
        return SoundLengthJpg(data, size);
    case ImageFileKind::Png:
        return SoundLengthPng(data, size);
    case ImageFileKind::Tga:
        return SoundLengthTga(data, size);
    }
    return 0;
}

size_t ImageFileCheck::SoundLengthBmp(const uint8_t* data, size_t size)
{
    if (size < 26 || data[0] != 'B' || data[1] != 'M')
        return 0;
    const uint64_t dataOffset = Le32(data + 10);
    const uint32_t headerSize = Le32(data + 14);
    uint64_t width, height;
    uint32_t bitCount, compression = 0, coloursUsed = 0;
    if (headerSize == 12)
    {
        width = Le16(data + 18);
        height = Le16(data + 20);
        if (Le16(data + 22) != 1)
            return 0;
        bitCount = Le16(data + 24);
    }
    else
    {
        if (headerSize < 40 || size < 14 + static_cast<uint64_t>(headerSize))
            return 0;
        const int32_t w = static_cast<int32_t>(Le32(data + 18));
        const int32_t h = static_cast<int32_t>(Le32(data + 22));
        if (w <= 0 || h == 0 || h == INT32_MIN)
            return 0;
        width = static_cast<uint64_t>(w);
        height = static_cast<uint64_t>(h < 0 ? -static_cast<int64_t>(h) : h);
        if (Le16(data + 26) != 1)
            return 0;
        bitCount = Le16(data + 28);
        compression = Le32(data + 30);
        coloursUsed = Le32(data + 46);
    }
    if (!ExtentOk(width, height))
        return 0;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        return 0;
    if (coloursUsed > 256)
        return 0;
    // The palette lies between the headers and the pixels.
    if (dataOffset < 14 + static_cast<uint64_t>(headerSize) || dataOffset >= size)
        return 0;
    const uint64_t rowBytes = (width * bitCount + 31) / 32 * 4;
    switch (compression)
    {
    case 0: // plain rows
    case 3: // bit fields
        if (compression == 3 && bitCount != 16 && bitCount != 32)
            return 0;
        return dataOffset + rowBytes * height <= size ? size : 0;
    case 1: // run-length, 8 bits
        return bitCount == 8 ? size : 0;
    case 2: // run-length, 4 bits
        return bitCount == 4 ? size : 0;
    default:
        return 0;
    }
}

size_t ImageFileCheck::SoundLengthGif(const uint8_t* data, size_t size)
{
    if (size < 13 || (std::memcmp(data, "GIF87a", 6) != 0 && std::memcmp(data, "GIF89a", 6) != 0))
        return 0;
    const uint32_t screenWidth = Le16(data + 6);
    const uint32_t screenHeight = Le16(data + 8);
    if (!ExtentOk(screenWidth, screenHeight))
        return 0;
    size_t at = 13;
    if (data[10] & 0x80)
        at += 3u << ((data[10] & 7) + 1);
    bool hasImage = false;
    while (at < size)
    {
        const uint8_t block = data[at++];
        if (block == 0x3B) // trailer
            return hasImage ? at : 0;
        if (block == 0x21) // extension: label, then sub-blocks
        {
            if (at >= size)
                return 0;
            at = SkipSubBlocks(data, size, at + 1);
            if (at == 0)
                return 0;
            continue;
        }
        if (block != 0x2C || at + 9 > size)
            return 0;
        // Every frame must lie inside the canvas it is drawn into.
        const uint32_t left = Le16(data + at), top = Le16(data + at + 2);
        const uint32_t width = Le16(data + at + 4), height = Le16(data + at + 6);
        const uint8_t flags = data[at + 8];
        if (width == 0 || height == 0 || left + width > screenWidth || top + height > screenHeight)
            return 0;
        at += 9;
        if (flags & 0x80)
            at += 3u << ((flags & 7) + 1);
        if (at >= size)
            return 0;
        const uint8_t codeSize = data[at++];
        if (codeSize < 2 || codeSize > 8)
            return 0;
        at = SkipSubBlocks(data, size, at);
        if (at == 0)
            return 0;
        hasImage = true;
    }
    // Without a trailer: sound when the last image ended cleanly.
    return hasImage ? size : 0;
}

size_t ImageFileCheck::SoundLengthJpg(const uint8_t* data, size_t size)
{
    if (size < 4 || data[0] != 0xFF || data[1] != 0xD8)
        return 0;
    size_t at = 2;
    bool hasFrame = false;
    bool hasScan = false;
    while (at + 1 < size)
    {
        if (data[at] != 0xFF)
            return 0;
        uint8_t marker = data[at + 1];
        at += 2;
        if (marker == 0xFF) // fill byte
        {
            --at;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue;
        // The image ends at its end marker; DevIL's reader must never run
        // out of data while libjpeg still looks for one (it loops for ever).
        if (marker == 0xD9)
            return hasScan ? at : 0;
        if (marker == 0xD8)
            return 0;
        if (at + 2 > size)
            return 0;
        const size_t length = Be16(data + at);
        if (length < 2 || at + length > size)
            return 0;
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame)
        {
            if (length < 8)
                return 0;
            const uint32_t height = Be16(data + at + 3);
            const uint32_t width = Be16(data + at + 5);
            const uint32_t components = data[at + 7];
            if (!ExtentOk(width, height) || components < 1 || components > 4 || length < 8 + 3 * components)
                return 0;
            hasFrame = true;
        }
        at += length;
        if (marker == 0xDA) // start of scan: the coded data follows
        {
            if (!hasFrame)
                return 0;
            hasScan = true;
            at = SkipEntropyCodedData(data, size, at);
        }
    }
    return 0;
}

size_t ImageFileCheck::SoundLengthPng(const uint8_t* data, size_t size)
{
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (size < 8 + 25 || std::memcmp(data, kSignature, 8) != 0)
        return 0;
    // IHDR first.
    if (Be32(data + 8) != 13 || std::memcmp(data + 12, "IHDR", 4) != 0)
        return 0;
    const uint32_t width = Be32(data + 16), height = Be32(data + 20);
    const uint8_t depth = data[24], colour = data[25], interlace = data[28];
    if (!ExtentOk(width, height) || interlace > 1)
        return 0;
    if (depth != 1 && depth != 2 && depth != 4 && depth != 8 && depth != 16)
        return 0;
    if (colour != 0 && colour != 2 && colour != 3 && colour != 4 && colour != 6)
        return 0;
    // Every chunk within the file, up to IEND.
    size_t at = 8;
    bool hasData = false;
    while (at + 12 <= size)
    {
        const uint64_t length = Be32(data + at);
        if (length > size - at - 12)
            return 0;
        const uint8_t* type = data + at + 4;
        if (std::memcmp(type, "IDAT", 4) == 0)
            hasData = true;
        if (std::memcmp(type, "IEND", 4) == 0)
            return hasData ? at + 12 + static_cast<size_t>(length) : 0;
        at += 12 + static_cast<size_t>(length);
    }
    return 0;
}

size_t ImageFileCheck::SoundLengthTga(const uint8_t* data, size_t size)
{
    if (size < 18)
        return 0;
    const uint32_t idLength = data[0];
    const uint32_t mapType = data[1];
    const uint32_t imageType = data[2];
    const uint32_t mapLength = Le16(data + 5);
    const uint32_t mapEntryBits = data[7];
    const uint32_t width = Le16(data + 12), height = Le16(data + 14);
    const uint32_t bits = data[16];
    if (mapType > 1 || !ExtentOk(width, height))
        return 0;
    const bool mapped = imageType == 1 || imageType == 9;
    const bool colour = imageType == 2 || imageType == 10;
    const bool grey = imageType == 3 || imageType == 11;
    if (!mapped && !colour && !grey)
        return 0;
    if (mapped && (mapType != 1 || bits != 8 || mapLength == 0 || mapLength > 256))
        return 0;
    if (colour && bits != 15 && bits != 16 && bits != 24 && bits != 32)
        return 0;
    if (grey && bits != 8 && bits != 16)
        return 0;
    uint64_t mapBytes = 0;
    if (mapType == 1)
    {
        if (mapEntryBits != 15 && mapEntryBits != 16 && mapEntryBits != 24 && mapEntryBits != 32)
            return 0;
        mapBytes = static_cast<uint64_t>(mapLength) * ((mapEntryBits + 7) / 8);
    }
    const uint64_t pixelsAt = 18 + static_cast<uint64_t>(idLength) + mapBytes;
    if (pixelsAt > size)
        return 0;
    const uint64_t pixelBytes = static_cast<uint64_t>(width) * height * ((bits + 7) / 8);
    if (imageType < 9)
        return pixelsAt + pixelBytes <= size ? size : 0;
    return pixelsAt < size ? size : 0;
}

} // namespace render
