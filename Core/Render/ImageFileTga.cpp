#include "Core/Render/ImageFileTga.h"

#include "Core/Render/ImageBytes.h"

#include <cstring>

namespace render
{

namespace
{

// How one stored pixel (or colour-map entry) becomes RGBA.
struct PixelForm
{
    uint32_t bits = 0;
    bool grey = false;
    bool alphaBit = false; // 16 bits: the top bit is alpha
    // A colour-mapped image: indices into map, from entry `first` on.
    const std::vector<uint32_t>* map = nullptr;
    uint32_t first = 0;

    uint32_t Bytes() const { return (bits + 7) / 8; }

    bool Convert(const uint8_t* p, uint8_t* rgba) const
    {
        if (map)
        {
            const uint32_t index = p[0];
            if (index < first || index - first >= map->size())
                return false;
            std::memcpy(rgba, &(*map)[index - first], 4);
            return true;
        }
        if (grey)
        {
            rgba[0] = rgba[1] = rgba[2] = p[0];
            rgba[3] = bits == 16 ? p[1] : 255;
            return true;
        }
        switch (bits)
        {
        case 15:
        case 16:
        {
            const uint32_t v = Le16(p);
            rgba[0] = ScaleChannel((v >> 10) & 31, 5);
            rgba[1] = ScaleChannel((v >> 5) & 31, 5);
            rgba[2] = ScaleChannel(v & 31, 5);
            rgba[3] = (alphaBit && bits == 16 && !(v & 0x8000)) ? 0 : 255;
            return true;
        }
        case 24:
        case 32:
            rgba[0] = p[2];
            rgba[1] = p[1];
            rgba[2] = p[0];
            rgba[3] = bits == 32 ? p[3] : 255;
            return true;
        default:
            return false;
        }
    }
};

} // namespace

bool ImageFileTga::Decode(const uint8_t* data, size_t size, ImageFilePixels* out)
{
    if (!data || size < 18)
        return false;
    const uint32_t idLength = data[0];
    const uint32_t mapType = data[1];
    const uint32_t imageType = data[2];
    const uint32_t mapFirst = Le16(data + 3);
    const uint32_t mapLength = Le16(data + 5);
    const uint32_t mapBits = data[7];
    const uint32_t width = Le16(data + 12), height = Le16(data + 14);
    const uint32_t bits = data[16];
    const uint32_t descriptor = data[17];
    if (mapType > 1 || width < 1 || height < 1 || width > ImageFileCheck::kMaxExtent ||
        height > ImageFileCheck::kMaxExtent)
        return false;
    const bool mapped = imageType == 1 || imageType == 9;
    const bool colour = imageType == 2 || imageType == 10;
    const bool grey = imageType == 3 || imageType == 11;
    const bool alphaBit = (descriptor & 0xF) != 0;
    if (!mapped && !colour && !grey)
        return false;
    if (mapped && (mapType != 1 || bits != 8 || mapLength == 0))
        return false;
    if (colour && bits != 15 && bits != 16 && bits != 24 && bits != 32)
        return false;
    if (grey && bits != 8 && bits != 16)
        return false;

    size_t at = 18 + idLength;
    std::vector<uint32_t> map;
    if (mapType == 1)
    {
        if (mapBits != 15 && mapBits != 16 && mapBits != 24 && mapBits != 32)
            return false;
        PixelForm entry;
        entry.bits = mapBits;
        entry.alphaBit = alphaBit;
        const size_t mapBytes = static_cast<size_t>(mapLength) * entry.Bytes();
        if (at + mapBytes > size)
            return false;
        if (mapped)
        {
            map.resize(mapLength);
            for (uint32_t i = 0; i < mapLength; ++i)
                entry.Convert(data + at + i * entry.Bytes(), reinterpret_cast<uint8_t*>(&map[i]));
        }
        at += mapBytes;
    }

    PixelForm form;
    form.bits = bits;
    form.grey = grey;
    form.alphaBit = alphaBit;
    if (mapped)
    {
        form.map = &map;
        form.first = mapFirst;
    }
    const size_t bytes = form.Bytes();
    const size_t count = static_cast<size_t>(width) * height;
    const bool runLength = imageType >= 9;
    if (!runLength && at + count * bytes > size)
        return false;

    out->width = width;
    out->height = height;
    out->rgba.assign(count * 4, 0);
    const bool rightToLeft = (descriptor & 0x10) != 0;
    const bool topDown = (descriptor & 0x20) != 0;
    // Pixels in file order: rows from the bottom unless the header says
    // otherwise, each from the left unless it says otherwise.
    size_t x = 0, y = 0;
    auto next = [&]() {
        uint8_t* dest = out->rgba.data() +
                        ((topDown ? y : height - 1 - y) * width + (rightToLeft ? width - 1 - x : x)) * 4;
        if (++x == width)
        {
            x = 0;
            ++y;
        }
        return dest;
    };
    size_t done = 0;
    while (done < count)
    {
        size_t run = count - done;
        bool repeat = false;
        if (runLength)
        {
            if (at >= size)
                break; // the rest stays transparent black
            run = (data[at] & 0x7Fu) + 1;
            repeat = (data[at] & 0x80) != 0;
            ++at;
            if (run > count - done)
                run = count - done;
        }
        if (at + (repeat ? 1 : run) * bytes > size)
        {
            if (!runLength)
                return false;
            break;
        }
        if (repeat)
        {
            uint8_t rgba[4];
            if (!form.Convert(data + at, rgba))
                return false;
            at += bytes;
            for (size_t k = 0; k < run; ++k)
                std::memcpy(next(), rgba, 4);
        }
        else
        {
            for (size_t k = 0; k < run; ++k, at += bytes)
            {
                if (!form.Convert(data + at, next()))
                    return false;
            }
        }
        done += run;
    }
    return true;
}

} // namespace render
