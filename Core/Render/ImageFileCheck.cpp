#include "Core/Render/ImageFileCheck.h"

#include "Core/Render/ImageBytes.h"

#include <zlib.h>

#include <cstring>

namespace render
{

namespace
{

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
    case ImageFileKind::Gif:
        return SoundLengthGif(data, size);
    case ImageFileKind::Jpg:
        return SoundLengthJpg(data, size);
    case ImageFileKind::Png:
        return SoundLengthPng(data, size);
    }
    return 0;
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
    while (at < size)
    {
        const uint8_t block = data[at++];
        if (block == 0x3B) // a trailer before any image
            return 0;
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
        // A texture takes the first image; DevIL refuses some animations.
        return at;
    }
    return 0;
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
        // libpng refuses a critical chunk (upper-case first letter) with a
        // bad CRC, and DevIL then keeps some of its buffers.
        const bool critical = (type[0] & 0x20) == 0;
        if (critical && crc32(crc32(0, nullptr, 0), type, static_cast<uInt>(length + 4)) !=
                            Be32(data + at + 8 + static_cast<size_t>(length)))
            return 0;
        if (std::memcmp(type, "IDAT", 4) == 0)
            hasData = true;
        if (std::memcmp(type, "IEND", 4) == 0)
            return hasData ? at + 12 + static_cast<size_t>(length) : 0;
        at += 12 + static_cast<size_t>(length);
    }
    return 0;
}

} // namespace render
