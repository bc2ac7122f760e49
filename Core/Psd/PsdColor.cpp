#include "Core/Psd/PsdReader.h"

#include <algorithm>
#include <cmath>
#include <cstring>

// --- Colour conversions ----------------------------------------------------

// Components past 0..255 come from colour records whose high bytes were taken
// with their sign; keeping the low byte gives back the colour meant.
uint32_t PsdMakeArgb(int a, int r, int g, int b)
{
    return uint32_t(a & 0xFF) << 24 | uint32_t(r & 0xFF) << 16 | uint32_t(g & 0xFF) << 8 |
           uint32_t(b & 0xFF);
}

uint32_t PsdMakeRgb(int r, int g, int b)
{
    return PsdMakeArgb(255, r, g, b);
}

void PsdFillArgb(uint32_t* array, uint32_t value, size_t count)
{
    if (count == 0)
        return;
    array[0] = value;
    // Double the filled run until the array is full.
    size_t filled = 1;
    while (filled < count)
    {
        const size_t take = std::min(filled, count - filled);
        std::memcpy(array + filled, array, take * sizeof(uint32_t));
        filled += take;
    }
}

// A computed channel value as a byte: truncated toward zero, clamped, NaN as 0.
static int ClampChannel(double value)
{
    if (!(value > 0.0))
        return 0;
    if (value >= 255.0)
        return 255;
    return int(value);
}

uint32_t PsdCmykaToArgb(int a, int c, int m, int y, int k)
{
    auto channel = [k](int v) { return (65535 - (v * (255 - k) + 256 * k)) >> 8; };
    return PsdMakeArgb(a, std::clamp(channel(c), 0, 255), std::clamp(channel(m), 0, 255),
                       std::clamp(channel(y), 0, 255));
}

uint32_t PsdCmykToArgb(int c, int m, int y, int k)
{
    return PsdCmykaToArgb(255, c, m, y, k);
}

uint32_t PsdCmykFloatToRgb(double c, double m, double y, double k)
{
    auto channel = [k](double v) { return ClampChannel(255.0 * (1.0 - (v * (1.0 - k) + k))); };
    return PsdMakeRgb(channel(c), channel(m), channel(y));
}

uint8_t PsdHueToChannel(int hue, double m1, double m2)
{
    hue %= 360;
    if (hue < 0)
        hue += 360;
    double value;
    if (hue < 60)
        value = m1 + (m2 - m1) * hue / 60.0;
    else if (hue < 180)
        value = m2;
    else if (hue < 240)
        value = m1 + (m2 - m1) * (240 - hue) / 60.0;
    else
        value = m1;
    return uint8_t(ClampChannel(value * 255.0));
}

uint32_t PsdHslToArgb(int a, int hue, double s, double l)
{
    if (s == 0.0)
    {
        const int v = ClampChannel(l * 255.0);
        return PsdMakeArgb(a, v, v, v);
    }
    const double m2 = l <= 0.5 ? l * (1.0 + s) : l + s - l * s;
    const double m1 = 2.0 * l - m2;
    // Hues far outside a circle are wrapped, not overflowed.
    const int h = hue % 360;
    return PsdMakeArgb(a, PsdHueToChannel(h + 120, m1, m2), PsdHueToChannel(h, m1, m2),
                       PsdHueToChannel(h - 120, m1, m2));
}

uint32_t PsdXyzToArgb(int a, double x, double y, double z)
{
    x /= 100.0;
    y /= 100.0;
    z /= 100.0;
    const double linear[3] = {
        3.2406 * x - 1.5372 * y - 0.4986 * z,
        -0.9689 * x + 1.8758 * y + 0.0415 * z,
        0.0557 * x - 0.2040 * y + 1.0570 * z,
    };
    int rgb[3];
    for (int i = 0; i < 3; ++i)
    {
        const double v = linear[i];
        const double encoded = v > 0.0031308 ? 1.055 * std::pow(v, 1.0 / 2.4) - 0.055 : 12.92 * v;
        rgb[i] = ClampChannel(encoded * 256.0);
    }
    return PsdMakeArgb(a, rgb[0], rgb[1], rgb[2]);
}

uint32_t PsdLabToArgb(int a, double l, double aa, double bb)
{
    double fy = (l + 16.0) / 116.0;
    double fx = fy + aa / 500.0;
    double fz = fy - bb / 200.0;
    for (double* f : {&fx, &fy, &fz})
    {
        const double cube = *f * *f * *f;
        *f = cube > 0.008856 ? cube : (*f - 16.0 / 116.0) / 7.787;
    }
    return PsdXyzToArgb(a, 95.047 * fx, 100.0 * fy, 108.883 * fz);
}

uint32_t PsdLabToRgb(double l, double a, double b)
{
    return PsdLabToArgb(255, l, a, b);
}

PsdStatus PsdColorToArgb(uint32_t* out, int space, const int16_t components[4])
{
    switch (space)
    {
    case 0:
        *out = PsdMakeRgb(components[0], components[1], components[2]);
        return kPsdOk;
    case 1:
        *out = PsdHslToArgb(255, components[0], components[1] / 100.0, components[2] / 100.0);
        return kPsdOk;
    case 2:
        *out = PsdCmykFloatToRgb(components[0] / 100.0, components[1] / 100.0,
                                 components[2] / 100.0, components[3] / 100.0);
        return kPsdOk;
    case 7:
        *out = PsdLabToRgb(components[0], components[1], components[2]);
        return kPsdOk;
    default:
        *out = 0x00FFFFFF;
        return kPsdUnknownColorSpace;
    }
}

// --- Plane conversion --------------------------------------------------------

uint64_t PsdChannelBytes(uint64_t width, uint64_t height, int depth)
{
    if (depth == 1)
        return (width + 7) / 8 * height;
    return width * height * (depth == 16 ? 2 : 1);
}

int PsdModeColorCount(int32_t mode, uint16_t colorChannelCount)
{
    switch (mode)
    {
    case kPsdModeRgb:
    case kPsdModeLab:
        return 3;
    case kPsdModeCmyk:
        return 4;
    case kPsdModeMultichannel:
        return colorChannelCount;
    default:
        return 1;
    }
}

namespace
{

// One row of samples of a depth, read as bytes: the high byte of 16-bit
// samples; at depth 1 a set bit is black (0) and a clear one white (255).
template <int Depth> struct Row
{
    const uint8_t* data;
    uint8_t fallback;

    Row(const uint8_t* plane, uint32_t width, uint32_t y, uint8_t missing) : fallback(missing)
    {
        data = plane ? plane + size_t(PsdChannelBytes(width, 1, Depth)) * y : nullptr;
    }

    uint8_t operator[](uint32_t x) const
    {
        if (!data)
            return fallback;
        if (Depth == 16)
            return data[2 * size_t(x)];
        if (Depth == 1)
            return (data[x >> 3] >> (7 - (x & 7)) & 1) ? 0 : 255;
        return data[x];
    }
};

template <int Depth>
void ConvertRows(const PsdPlaneFormat* format, const PsdPlanes* planes, uint32_t width,
                 uint32_t height, bool merged, uint32_t* out)
{
    const int mode = format->mode;
    const int64_t indexedCount = format->indexedCount;
    const int transparentIndex = format->transparentIndex;

    for (uint32_t y = 0; y < height; ++y)
    {
        const Row<Depth> a(planes->alpha, width, y, 255);
        const Row<Depth> c0(planes->color[0], width, y, 0);
        const Row<Depth> c1(planes->color[1], width, y, 0);
        const Row<Depth> c2(planes->color[2], width, y, 0);
        const Row<Depth> c3(planes->color[3], width, y, 0);
        uint32_t* line = out + size_t(y) * width;
        switch (mode)
        {
        case kPsdModeIndexed:
            for (uint32_t x = 0; x < width; ++x)
            {
                const int i = c0[x];
                line[x] = i < indexedCount && i != transparentIndex ? format->palette[i]
                                                                    : 0x00FFFFFF;
            }
            break;
        case kPsdModeRgb:
            for (uint32_t x = 0; x < width; ++x)
                line[x] = PsdMakeArgb(a[x], c0[x], c1[x], c2[x]);
            break;
        case kPsdModeCmyk:
            // The file stores inverted inks.
            for (uint32_t x = 0; x < width; ++x)
                line[x] = PsdCmykaToArgb(a[x], 255 - c0[x], 255 - c1[x], 255 - c2[x], 255 - c3[x]);
            break;
        case kPsdModeMultichannel:
        {
            // Three inks and a fourth: the merged image's fourth channel, or a
            // layer's transparency. Always opaque.
            const uint8_t* fourthPlane = merged ? planes->color[3] : planes->alpha;
            const Row<Depth> fourth(fourthPlane, width, y, 255);
            for (uint32_t x = 0; x < width; ++x)
                line[x] = PsdCmykToArgb(255 - c0[x], 255 - c1[x], 255 - c2[x], 255 - fourth[x]);
            break;
        }
        case kPsdModeLab:
            for (uint32_t x = 0; x < width; ++x)
                line[x] = PsdLabToArgb(a[x], c0[x] * 100 / 256, c1[x] - 128, c2[x] - 128);
            break;
        default: // bitmap, grayscale, duotone
            for (uint32_t x = 0; x < width; ++x)
                line[x] = PsdMakeArgb(a[x], c0[x], c0[x], c0[x]);
            break;
        }
    }
}

} // namespace

void PsdConvertPlanesAs(const PsdPlaneFormat* format, const PsdPlanes* planes, uint32_t width,
                        uint32_t height, bool merged, uint32_t* out)
{
    switch (format->depth)
    {
    case 1:
        ConvertRows<1>(format, planes, width, height, merged, out);
        break;
    case 16:
        ConvertRows<16>(format, planes, width, height, merged, out);
        break;
    default:
        ConvertRows<8>(format, planes, width, height, merged, out);
        break;
    }
}

void PsdConvertPlanes(const PsdContext* context, const PsdPlanes* planes, uint32_t width,
                      uint32_t height, bool merged, uint32_t* out)
{
    PsdPlaneFormat format;
    format.mode = context->colorMode;
    format.depth = context->depth;
    format.palette = context->palette;
    // Indexed colours past the count or the palette are no colour.
    format.indexedCount = std::min<int64_t>(context->hasIndexedColorCount
                                                ? context->indexedColorCount
                                                : int64_t(context->paletteCount),
                                            context->paletteCount);
    format.transparentIndex = context->hasTransparencyIndex ? context->transparencyIndex : -1;
    PsdConvertPlanesAs(&format, planes, width, height, merged, out);
}
