#include "Core/Psd/PsdReader.h"

#include <algorithm>
#include <cstring>

// The patterns of the layer section's "Patt" and "Pat2" blocks: each a small
// image stored as a list of compressed channels, converted here to ARGB.

namespace
{

bool AcceptedMode(uint32_t mode)
{
    switch (mode)
    {
    case kPsdModeBitmap:
    case kPsdModeGrayscale:
    case kPsdModeIndexed:
    case kPsdModeRgb:
    case kPsdModeCmyk:
    case kPsdModeMultichannel:
    case kPsdModeDuotone:
    case kPsdModeLab:
        return true;
    default:
        return false;
    }
}

// Channels a pattern of the mode decodes at most: its colours and, where the
// mode has one, the transparency after them.
int FullChannelCount(int32_t mode)
{
    switch (mode)
    {
    case kPsdModeRgb:
    case kPsdModeLab:
    case kPsdModeMultichannel:
        return 4;
    case kPsdModeGrayscale:
    case kPsdModeDuotone:
        return 2;
    case kPsdModeCmyk:
        return 5;
    default:
        return 1;
    }
}

bool HasTransparency(int32_t mode)
{
    return mode != kPsdModeMultichannel && FullChannelCount(mode) > 1;
}

// Whether the converters know the mode at that sample depth.
bool Convertible(int32_t mode, int depth)
{
    switch (mode)
    {
    case kPsdModeBitmap:
        return depth == 1;
    case kPsdModeIndexed:
    case kPsdModeMultichannel:
        return depth == 8;
    default:
        return depth == 8 || depth == 16;
    }
}

struct PatternChannels
{
    uint8_t* data = nullptr; // FullChannelCount slots of `slot` bytes, zero-filled
    uint64_t slot = 0;
    int decoded = 0;
};

PsdStatus DecodeChannel(PsdContext* context, PsdPattern* pattern, PatternChannels* channels,
                        int compression, uint32_t length)
{
    uint8_t* input = nullptr;
    PsdStatus status =
        PsdAllocArray(context, length, 1, reinterpret_cast<void**>(&input));
    if (status != kPsdOk)
        return status;
    if (PsdReadBytes(context, input, length) != int64_t(length))
    {
        PsdFreeArray(context, input, length);
        return context->readStatus;
    }
    uint8_t* slot = channels->data + size_t(channels->slot) * size_t(channels->decoded);
    const size_t slotBytes = size_t(channels->slot);
    const int depth = pattern->depth;
    switch (compression)
    {
    case 0:
        // Raw data shorter than its channel cannot be what it claims.
        if (length < slotBytes)
            status = kPsdCorruptData;
        else
            std::memcpy(slot, input, slotBytes);
        break;
    case 1:
        status = PsdUnpackRows(input, length, pattern->height, slot, slotBytes);
        break;
    case 2:
        status = PsdInflate(input, length, slot, slotBytes);
        break;
    default:
        status = PsdInflateWithPrediction(
            input, length, slot, slotBytes,
            depth == 1 ? size_t(PsdChannelBytes(pattern->width, 1, 1)) : pattern->width, depth);
        break;
    }
    PsdFreeArray(context, input, length);
    return status;
}

// One entry of the pattern's channel list; written channels are decoded in
// order until the mode has all it uses.
PsdStatus ReadChannel(PsdContext* context, PsdPattern* pattern, PatternChannels* channels)
{
    const uint32_t written = PsdReadU32(context);
    if (written == 0)
        return kPsdOk; // nothing follows an unwritten entry
    const uint32_t length = PsdReadU32(context);
    if (length == 0 || context->readStatus != kPsdOk)
        return context->readStatus;
    PsdBlock block;
    PsdBeginBlock(context, length, 0, &block);
    PsdStatus status = kPsdOk;
    // The depth, rectangle, depth again and compression take 23 bytes.
    const bool wanted = (written & 0xFF) == 1 && length >= 23 &&
                        channels->decoded < FullChannelCount(pattern->imageMode);
    if (wanted && context->readStatus == kPsdOk)
    {
        const int32_t depth = int32_t(PsdReadU32(context));
        PsdSkipBytes(context, 18);
        const int compression = PsdReadU8(context);
        if (context->readStatus != kPsdOk)
            status = context->readStatus;
        else if (depth != 1 && depth != 8 && depth != 16)
            status = kPsdBadDepth;
        else if (channels->decoded > 0 && depth != pattern->depth)
            status = kPsdCorruptData; // one image, one sample depth
        else if (compression > 3)
            status = kPsdBadCompression;
        // The data must be able to fill the channel before it is worth
        // allocating for.
        const uint64_t slot = PsdChannelBytes(pattern->width, pattern->height, depth);
        if (status == kPsdOk && !PsdPlausibleOutput(compression, length - 23, slot))
            status = kPsdCorruptData;
        if (status == kPsdOk && !channels->data)
        {
            pattern->depth = depth;
            channels->slot = slot;
            status = PsdAllocArray(context,
                                   channels->slot * uint64_t(FullChannelCount(pattern->imageMode)),
                                   1, reinterpret_cast<void**>(&channels->data));
        }
        if (status == kPsdOk && length > 23)
            status = DecodeChannel(context, pattern, channels, compression, length - 23);
        if (status == kPsdOk)
            ++channels->decoded;
    }
    PsdEndBlock(context, &block);
    return status != kPsdOk ? status : context->readStatus;
}

PsdStatus ConvertPattern(PsdContext* context, PsdPattern* pattern, const PatternChannels* channels,
                         const uint32_t* palette)
{
    const uint64_t pixels = uint64_t(pattern->width) * pattern->height;
    if (pixels == 0)
        return kPsdOk;
    const PsdStatus status =
        PsdAllocArray(context, pixels, sizeof(uint32_t), reinterpret_cast<void**>(&pattern->pixels));
    if (status != kPsdOk)
        return status;
    pattern->channelsDecoded = channels->decoded;
    // Without data, or in a form the converters do not know, the pattern
    // stays transparent.
    if (channels->decoded == 0 || !Convertible(pattern->imageMode, pattern->depth))
        return kPsdOk;

    const int mode = pattern->imageMode;
    const int full = FullChannelCount(mode);
    const int colors = HasTransparency(mode) ? full - 1 : full;
    PsdPlanes planes = {};
    for (int c = 0; c < std::min({colors, channels->decoded, 4}); ++c)
        planes.color[c] = channels->data + size_t(channels->slot) * size_t(c);
    // With every channel there, the transparency follows the colours.
    if (HasTransparency(mode) && channels->decoded == full)
        planes.alpha = channels->data + size_t(channels->slot) * size_t(colors);

    PsdPlaneFormat format;
    format.mode = mode;
    format.depth = pattern->depth;
    format.palette = palette;
    format.indexedCount = palette ? 256 : 0;
    format.transparentIndex = -1;
    PsdConvertPlanesAs(&format, &planes, pattern->width, pattern->height, true, pattern->pixels);
    return kPsdOk;
}

void FreePattern(PsdPattern* pattern)
{
    PsdFreeIfSet(pattern->name);
    PsdFreeIfSet(pattern->pixels);
    std::memset(pattern, 0, sizeof *pattern);
}

PsdStatus GrowPatterns(PsdContext* context)
{
    if (context->patternCount < context->patternCapacity)
        return kPsdOk;
    const int32_t capacity = std::max(context->patternCapacity * 2, 4);
    size_t bytes = 0;
    PsdStatus status = PsdReserveMemory(context, uint64_t(capacity), sizeof(PsdPattern), &bytes);
    if (status != kPsdOk)
        return status;
    void* grown = PsdRealloc(context->patterns, bytes);
    if (!grown)
        return kPsdNoMemory;
    PsdReleaseMemory(context, uint64_t(context->patternCapacity) * sizeof(PsdPattern));
    context->patterns = static_cast<PsdPattern*>(grown);
    std::memset(context->patterns + context->patternCapacity, 0,
                sizeof(PsdPattern) * size_t(capacity - context->patternCapacity));
    context->patternCapacity = capacity;
    return kPsdOk;
}

PsdStatus ReadPatternBody(PsdContext* context, PsdPattern* pattern, uint32_t** palette)
{
    if (PsdReadU32(context) != 1)
        return context->readStatus != kPsdOk ? context->readStatus : kPsdBadPatternVersion;
    PsdStatus status = GrowPatterns(context);
    if (status != kPsdOk)
        return status;
    const uint32_t mode = PsdReadU32(context);
    if (context->readStatus != kPsdOk)
        return context->readStatus;
    if (!AcceptedMode(mode))
        return kPsdBadColorMode;
    pattern->imageMode = int32_t(mode);
    pattern->height = PsdReadU16(context);
    pattern->width = PsdReadU16(context);
    // No pattern can be larger than its compressed data can fill.
    if (!PsdPlausibleOutput(2, uint64_t(std::max<int64_t>(PsdBytesLeft(context), 0)),
                            uint64_t(pattern->width) * pattern->height))
        return context->readStatus != kPsdOk ? context->readStatus : kPsdCorruptData;
    const uint32_t nameLength = PsdReadU32(context);
    status = PsdReadUnicodeUnits(context, nameLength, &pattern->name);
    if (status != kPsdOk)
        return status;
    pattern->nameLength = nameLength;
    const uint8_t idLength = PsdReadU8(context);
    PsdReadBytes(context, pattern->identifier, idLength);

    if (mode == kPsdModeIndexed)
    {
        status = PsdAllocArray(context, 256, sizeof(uint32_t), reinterpret_cast<void**>(palette));
        if (status != kPsdOk)
            return status;
        // What a short read leaves out reads as black.
        uint8_t table[768] = {};
        PsdReadBytes(context, table, sizeof table);
        for (int i = 0; i < 256; ++i)
            (*palette)[i] = PsdMakeRgb(table[3 * i], table[3 * i + 1], table[3 * i + 2]);
        // Writers put 4 more bytes after the table.
        PsdSkipBytes(context, 4);
    }

    pattern->arrayVersion = PsdReadU32(context);
    const uint32_t arrayLength = PsdReadU32(context);
    if (context->readStatus != kPsdOk)
        return context->readStatus;
    PsdBlock array;
    PsdBeginBlock(context, arrayLength, 0, &array);
    pattern->top = uint16_t(PsdReadU32(context));
    pattern->left = uint16_t(PsdReadU32(context));
    pattern->bottom = uint16_t(PsdReadU32(context));
    pattern->right = uint16_t(PsdReadU32(context));
    const uint32_t channelCount = PsdReadU32(context);
    // The colour channels, then a user mask and a sheet mask.
    PatternChannels channels;
    for (uint64_t i = 0; i < uint64_t(channelCount) + 2 && status == kPsdOk &&
                         context->readStatus == kPsdOk && PsdBytesLeft(context) >= 4;
         ++i)
        status = ReadChannel(context, pattern, &channels);
    PsdEndBlock(context, &array);
    if (status == kPsdOk)
        status = context->readStatus;
    if (status == kPsdOk)
        status = ConvertPattern(context, pattern, &channels, *palette);
    PsdFreeArray(context, channels.data,
                 channels.slot * uint64_t(FullChannelCount(pattern->imageMode)));
    return status;
}

} // namespace

PsdStatus PsdReadPattern(PsdContext* context)
{
    const uint32_t length = PsdReadU32(context);
    if (context->readStatus != kPsdOk)
        return context->readStatus;
    PsdBlock block;
    PsdBeginBlock(context, length, (4 - length % 4) % 4, &block);
    PsdPattern pattern = {};
    uint32_t* palette = nullptr;
    PsdStatus status = context->readStatus;
    if (status == kPsdOk)
        status = ReadPatternBody(context, &pattern, &palette);
    PsdFreeArray(context, palette, 256 * sizeof(uint32_t));
    if (status == kPsdOk)
        status = context->readStatus;
    if (status != kPsdOk)
    {
        FreePattern(&pattern);
        // Its end is known: a pattern that cannot be read is left out and
        // the next one read. One that runs past its end is damage.
        if (context->readStatus == kPsdOk && PsdBlockFailureSkippable(status))
            status = kPsdOk;
    }
    else
    {
        context->patterns[context->patternCount++] = pattern;
    }
    PsdEndBlock(context, &block);
    return status != kPsdOk ? status : context->readStatus;
}

void PsdFreePatterns(PsdContext* context)
{
    for (int32_t i = 0; context->patterns && i < context->patternCount; ++i)
        FreePattern(&context->patterns[i]);
    PsdFreeIfSet(context->patterns);
    context->patterns = nullptr;
    context->patternCount = 0;
    context->patternCapacity = 0;
}
