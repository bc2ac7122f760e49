#include "Core/Render/ImageFileBmp.h"

#include "Core/Render/ImageBytes.h"

#include <climits>
#include <cstring>

namespace render
{

namespace
{

const uint32_t kRgb = 0;
const uint32_t kRle8 = 1;
const uint32_t kRle4 = 2;
const uint32_t kBitFields = 3;
const uint32_t kAlphaBitFields = 6;

// One channel of a bit-field pixel.
struct Channel
{
    uint32_t mask = 0;
    uint32_t shift = 0;
    uint32_t bits = 0;

    // Only one run of set bits makes a channel.
    bool Set(uint32_t m)
    {
        mask = m;
        shift = 0;
        bits = 0;
        if (m == 0)
            return true;
        while (!(m & 1))
        {
            m >>= 1;
            ++shift;
        }
        while (m & 1)
        {
            m >>= 1;
            ++bits;
        }
        return m == 0;
    }

    uint8_t Read(uint32_t pixel, uint8_t absent) const
    {
        if (bits == 0)
            return absent;
        const uint32_t value = (pixel & mask) >> shift;
        return bits >= 8 ? static_cast<uint8_t>(value >> (bits - 8)) : ScaleChannel(value, bits);
    }
};

struct Header
{
    uint64_t dataOffset = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    bool topDown = false;
    uint32_t bitCount = 0;
    uint32_t compression = kRgb;
    uint32_t coloursUsed = 0;
    uint64_t paletteAt = 0;
    uint32_t paletteEntryBytes = 4;
    Channel channels[4]; // red, green, blue, alpha
};

bool ReadHeader(const uint8_t* data, size_t size, Header* h)
{
    if (size < 26 || data[0] != 'B' || data[1] != 'M')
        return false;
    h->dataOffset = Le32(data + 10);
    const uint32_t headerSize = Le32(data + 14);
    if (headerSize == 12)
    {
        h->width = Le16(data + 18);
        h->height = Le16(data + 20);
        if (Le16(data + 22) != 1)
            return false;
        h->bitCount = Le16(data + 24);
        h->paletteEntryBytes = 3;
    }
    else
    {
        // V3, the OS/2 and V4/V5 headers share the first 40 bytes.
        if (headerSize < 40 || size < 14 + static_cast<uint64_t>(headerSize))
            return false;
        const int32_t w = static_cast<int32_t>(Le32(data + 18));
        const int32_t hh = static_cast<int32_t>(Le32(data + 22));
        if (w <= 0 || hh == 0 || hh == INT32_MIN)
            return false;
        h->width = static_cast<uint32_t>(w);
        h->topDown = hh < 0;
        h->height = static_cast<uint32_t>(hh < 0 ? -static_cast<int64_t>(hh) : hh);
        if (Le16(data + 26) != 1)
            return false;
        h->bitCount = Le16(data + 28);
        h->compression = Le32(data + 30);
        h->coloursUsed = Le32(data + 46);
    }
    h->paletteAt = 14 + static_cast<uint64_t>(headerSize);
    if (h->width < 1 || h->height < 1 || h->width > ImageFileCheck::kMaxExtent ||
        h->height > ImageFileCheck::kMaxExtent)
        return false;
    const uint32_t bits = h->bitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return false;
    switch (h->compression)
    {
    case kRgb:
        break;
    case kRle8:
    case kRle4:
        // Run-length data is stored bottom-up only.
        if (bits != (h->compression == kRle8 ? 8u : 4u) || h->topDown)
            return false;
        break;
    case kBitFields:
    case kAlphaBitFields:
    {
        if (bits != 16 && bits != 32)
            return false;
        // The masks close a V3 header, or lie inside the longer ones.
        const bool alpha = h->compression == kAlphaBitFields || headerSize >= 56;
        const uint32_t maskBytes = alpha ? 16 : 12;
        if (headerSize == 40)
        {
            // ImageMagick 6 writes some such files without their masks:
            // then the pixels hold the plain layout.
            if (h->dataOffset < 54 + maskBytes)
                break;
            h->paletteAt += maskBytes;
        }
        if (54 + static_cast<uint64_t>(maskBytes) > size)
            return false;
        for (uint32_t i = 0; i < maskBytes / 4; ++i)
        {
            const uint32_t mask = Le32(data + 54 + 4 * i);
            if ((bits == 16 && mask > 0xFFFF) || !h->channels[i].Set(mask))
                return false;
        }
        break;
    }
    default:
        return false;
    }
    if (bits == 16 && h->channels[0].mask == 0 && h->channels[1].mask == 0 && h->channels[2].mask == 0)
    {
        h->channels[0].Set(0x7C00);
        h->channels[1].Set(0x03E0);
        h->channels[2].Set(0x001F);
    }
    return h->dataOffset >= 14 + static_cast<uint64_t>(headerSize) && h->dataOffset < size;
}

// Colours of a palette image as RGBA words in memory order; count entries.
bool ReadPalette(const uint8_t* data, const Header& h, uint32_t palette[256], uint32_t* count)
{
    uint64_t entries = 1u << h.bitCount;
    if (h.coloursUsed != 0 && h.coloursUsed < entries)
        entries = h.coloursUsed;
    // The palette ends where the pixels begin.
    const uint64_t room = h.dataOffset > h.paletteAt ? (h.dataOffset - h.paletteAt) / h.paletteEntryBytes : 0;
    if (entries > room)
        entries = room;
    if (entries == 0)
        return false;
    for (uint64_t i = 0; i < entries; ++i)
    {
        const uint8_t* e = data + h.paletteAt + i * h.paletteEntryBytes;
        const uint8_t rgba[4] = {e[2], e[1], e[0], 255};
        std::memcpy(&palette[i], rgba, 4);
    }
    *count = static_cast<uint32_t>(entries);
    return true;
}

// Index of pixel x in a row of 1, 4 or 8-bit indices.
uint32_t IndexAt(const uint8_t* row, uint32_t x, uint32_t bits)
{
    if (bits == 8)
        return row[x];
    if (bits == 4)
        return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF;
    return (row[x >> 3] >> (7 - (x & 7))) & 1;
}

bool DecodeRows(const uint8_t* data, size_t size, const Header& h, const uint32_t* palette, uint32_t colours,
                ImageFilePixels* out)
{
    const uint64_t rowBytes = (static_cast<uint64_t>(h.width) * h.bitCount + 31) / 32 * 4;
    if (h.dataOffset + rowBytes * h.height > size)
        return false;
    for (uint32_t r = 0; r < h.height; ++r)
    {
        const uint8_t* row = data + h.dataOffset + rowBytes * r;
        uint8_t* dest = out->rgba.data() + static_cast<size_t>(h.topDown ? r : h.height - 1 - r) * h.width * 4;
        for (uint32_t x = 0; x < h.width; ++x, dest += 4)
        {
            switch (h.bitCount)
            {
            case 24:
                dest[0] = row[3 * x + 2];
                dest[1] = row[3 * x + 1];
                dest[2] = row[3 * x];
                dest[3] = 255;
                break;
            case 16:
            case 32:
            {
                const uint32_t pixel = h.bitCount == 16 ? Le16(row + 2 * x) : Le32(row + 4 * x);
                if (h.bitCount == 32 && h.channels[2].mask == 0 && h.channels[1].mask == 0)
                {
                    // The fourth byte of a plain 32-bit BMP is unused.
                    dest[0] = static_cast<uint8_t>(pixel >> 16);
                    dest[1] = static_cast<uint8_t>(pixel >> 8);
                    dest[2] = static_cast<uint8_t>(pixel);
                    dest[3] = 255;
                    break;
                }
                for (int c = 0; c < 4; ++c)
                    dest[c] = h.channels[c].Read(pixel, c == 3 ? 255 : 0);
                break;
            }
            default:
            {
                const uint32_t index = IndexAt(row, x, h.bitCount);
                if (index >= colours)
                    return false;
                std::memcpy(dest, &palette[index], 4);
            }
            }
        }
    }
    return true;
}

// Run-length data, rows from the bottom. Pixels it does not reach keep the
// transparent black the image starts as; so does all that follows data that
// ends early.
bool DecodeRunLength(const uint8_t* data, size_t size, const Header& h, const uint32_t* palette, uint32_t colours,
                     ImageFilePixels* out)
{
    const bool four = h.compression == kRle4;
    uint64_t x = 0, y = 0;
    auto put = [&](uint32_t index) {
        if (index >= colours)
            return false;
        if (x < h.width && y < h.height)
            std::memcpy(out->rgba.data() + ((h.height - 1 - y) * h.width + x) * 4, &palette[index], 4);
        ++x;
        return true;
    };
    size_t at = static_cast<size_t>(h.dataOffset);
    while (at + 2 <= size && y < h.height)
    {
        const uint32_t count = data[at], value = data[at + 1];
        at += 2;
        if (count > 0)
        {
            // A run of one index, or of two alternating nibbles.
            for (uint32_t i = 0; i < count; ++i)
            {
                if (!put(four ? ((i & 1) ? value & 0xF : value >> 4) : value))
                    return false;
            }
            continue;
        }
        if (value == 0) // end of line
        {
            x = 0;
            ++y;
        }
        else if (value == 1) // end of bitmap
        {
            break;
        }
        else if (value == 2) // delta: the pixels jumped over are not given
        {
            if (at + 2 > size)
                break;
            x += data[at];
            y += data[at + 1];
            at += 2;
        }
        else // literal indices, padded to a 16-bit boundary
        {
            const size_t bytes = four ? (value + 1) / 2 : value;
            if (at + bytes > size)
                break;
            for (uint32_t i = 0; i < value; ++i)
            {
                if (!put(four ? ((i & 1) ? data[at + i / 2] & 0xF : data[at + i / 2] >> 4) : data[at + i]))
                    return false;
            }
            at += (bytes + 1) & ~static_cast<size_t>(1);
        }
    }
    return true;
}

} // namespace

bool ImageFileBmp::Decode(const uint8_t* data, size_t size, ImageFilePixels* out)
{
    Header h;
    if (!data || !ReadHeader(data, size, &h))
        return false;
    uint32_t palette[256];
    uint32_t colours = 0;
    if (h.bitCount <= 8 && !ReadPalette(data, h, palette, &colours))
        return false;
    out->width = h.width;
    out->height = h.height;
    out->rgba.assign(static_cast<size_t>(h.width) * h.height * 4, 0);
    const bool runLength = h.compression == kRle8 || h.compression == kRle4;
    return runLength ? DecodeRunLength(data, size, h, palette, colours, out)
                     : DecodeRows(data, size, h, palette, colours, out);
}

} // namespace render
