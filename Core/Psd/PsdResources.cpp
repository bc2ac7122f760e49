#include "Core/Psd/PsdReader.h"

#include <algorithm>
#include <cstring>

// --- File header -----------------------------------------------------------

static uint16_t BigEndian16(const uint8_t* bytes)
{
    return uint16_t(bytes[0] << 8 | bytes[1]);
}

static uint32_t BigEndian32(const uint8_t* bytes)
{
    return uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 |
           uint32_t(bytes[3]);
}

// The fewest channels a document of the mode can be made of.
static int MinimumChannels(int32_t mode)
{
    switch (mode)
    {
    case kPsdModeRgb:
    case kPsdModeLab:
        return 3;
    case kPsdModeCmyk:
        return 4;
    default:
        return 1;
    }
}

PsdStatus PsdReadFileHeader(PsdContext* context)
{
    uint8_t header[26];
    if (PsdReadBytes(context, header, sizeof header) != int64_t(sizeof header))
        return kPsdShortRead;
    if (BigEndian32(header) != PsdKey("8BPS"))
        return kPsdBadSignature;
    if (BigEndian16(header + 4) != 1)
        return kPsdBadVersion;
    context->channelCount = BigEndian16(header + 12);
    context->colorChannelCount = context->channelCount;
    context->height = BigEndian32(header + 14);
    context->width = BigEndian32(header + 18);
    context->depth = BigEndian16(header + 22);
    context->colorMode = BigEndian16(header + 24);
    if (context->depth != 1 && context->depth != 8 && context->depth != 16)
        return kPsdBadDepth;
    switch (context->colorMode)
    {
    case kPsdModeBitmap:
    case kPsdModeGrayscale:
    case kPsdModeIndexed:
    case kPsdModeRgb:
    case kPsdModeCmyk:
    case kPsdModeMultichannel:
    case kPsdModeDuotone:
    case kPsdModeLab:
        break;
    default:
        return kPsdBadColorMode;
    }
    if (context->width < 1 || context->width > kPsdMaxImageSide || context->height < 1 ||
        context->height > kPsdMaxImageSide)
        return kPsdLimitExceeded;
    // Converters index the mode's channels; a document short of them is broken.
    if (context->channelCount < MinimumChannels(context->colorMode) ||
        context->channelCount > kPsdMaxChannels)
        return kPsdLimitExceeded;
    return kPsdOk;
}

// --- Colour-mode data --------------------------------------------------------

void PsdFreePalette(PsdContext* context)
{
    PsdFreeIfSet(context->palette);
    context->palette = nullptr;
    context->paletteCount = 0;
}

PsdStatus PsdReadColorModeData(PsdContext* context)
{
    const uint32_t length = PsdReadU32(context);
    if (length < 1)
        return context->readStatus;
    PsdBlock block;
    PsdBeginBlock(context, length, 0, &block);
    PsdStatus status = kPsdOk;
    // Only indexed documents keep a palette here; duotone data and the like
    // are skipped whole.
    if (context->colorMode == kPsdModeIndexed && context->readStatus == kPsdOk)
    {
        const uint32_t count = std::min<uint32_t>(length / 3, 256);
        uint8_t bytes[768];
        void* palette = nullptr;
        status = PsdAllocArray(context, count, sizeof(uint32_t), &palette);
        if (status == kPsdOk)
        {
            context->palette = static_cast<uint32_t*>(palette);
            context->paletteCount = count;
            PsdFillArgb(context->palette, 0xFFFEFEFE, count);
            if (PsdReadBytes(context, bytes, int64_t(count) * 3) == int64_t(count) * 3)
            {
                // All reds, then all greens, then all blues.
                for (uint32_t i = 0; i < count; ++i)
                    context->palette[i] =
                        PsdMakeRgb(bytes[i], bytes[count + i], bytes[2 * count + i]);
            }
        }
    }
    PsdEndBlock(context, &block);
    return status != kPsdOk ? status : context->readStatus;
}

// --- Image resources ---------------------------------------------------------

void PsdFreeResourceData(PsdContext* context)
{
    PsdFreeIfSet(context->layerGroups);
    context->layerGroups = nullptr;
    context->layerGroupCount = 0;
    PsdFreeIfSet(context->thumbnailPixels);
    context->thumbnailPixels = nullptr;
    PsdFreeIfSet(context->writerName);
    context->writerName = nullptr;
    context->writerNameLength = 0;
    PsdFreeIfSet(context->readerName);
    context->readerName = nullptr;
    context->readerNameLength = 0;
}

// The alpha-channel array is sized by the first of the resources that name
// the alpha channels, and never so large that the mode's colour channels
// would be counted as alpha.
static PsdStatus SetAlphaChannelCount(PsdContext* context, uint32_t count)
{
    const uint32_t room = uint32_t(context->channelCount - MinimumChannels(context->colorMode));
    count = std::min(count, room);
    if (count == 0)
        return kPsdOk;
    void* channels = nullptr;
    const PsdStatus status = PsdAllocArray(context, count, sizeof(PsdAlphaChannel), &channels);
    if (status != kPsdOk)
        return status;
    context->alphaChannels = static_cast<PsdAlphaChannel*>(channels);
    context->alphaChannelCount = uint16_t(count);
    context->colorChannelCount = uint16_t(context->channelCount - count);
    return kPsdOk;
}

// Counts the Pascal strings of an alpha-names resource without reading them:
// the data is small, so it is read once into a scratch copy.
static PsdStatus ReadAlphaNames(PsdContext* context, uint32_t length)
{
    uint8_t* data = nullptr;
    PsdStatus status = PsdAllocArray(context, length, 1, reinterpret_cast<void**>(&data));
    if (status != kPsdOk)
        return status;
    const uint32_t got = uint32_t(PsdReadBytes(context, data, length));
    uint32_t count = 0;
    for (uint32_t at = 0; at < got; at += 1 + data[at])
        ++count;
    if (context->alphaChannelCount == 0)
        status = SetAlphaChannelCount(context, count);
    uint32_t at = 0;
    for (uint32_t i = 0; status == kPsdOk && i < context->alphaChannelCount && at < got; ++i)
    {
        const uint32_t n = std::min<uint32_t>(data[at], got - at - 1);
        std::memcpy(context->alphaChannels[i].name, data + at + 1, n);
        context->alphaChannels[i].name[n] = 0;
        at += 1 + data[at];
    }
    PsdFreeArray(context, data, length);
    context->hasAlphaChannels = true;
    return status;
}

static PsdStatus ReadUnicodeAlphaNames(PsdContext* context, uint32_t length)
{
    uint8_t* data = nullptr;
    PsdStatus status = PsdAllocArray(context, length, 1, reinterpret_cast<void**>(&data));
    if (status != kPsdOk)
        return status;
    const uint32_t got = uint32_t(PsdReadBytes(context, data, length));
    // Each entry: a unit count, then two bytes per unit.
    auto unitsAt = [&](uint32_t at) { return BigEndian32(data + at); };
    uint32_t count = 0;
    for (uint32_t at = 0; got >= 4 && at <= got - 4;)
    {
        const uint64_t next = uint64_t(at) + 4 + uint64_t(unitsAt(at)) * 2;
        if (next > got)
            break;
        ++count;
        at = uint32_t(next);
    }
    if (context->alphaChannelCount == 0)
        status = SetAlphaChannelCount(context, count);
    uint32_t at = 0;
    for (uint32_t i = 0; status == kPsdOk && i < std::min<uint32_t>(count, context->alphaChannelCount);
         ++i)
    {
        const uint32_t units = unitsAt(at);
        PsdAlphaChannel& channel = context->alphaChannels[i];
        PsdFreeIfSet(channel.unicodeName);
        channel.unicodeName = nullptr;
        channel.unicodeNameLength = 0;
        status = PsdAllocArray(context, units, 2, reinterpret_cast<void**>(&channel.unicodeName));
        if (status != kPsdOk)
            break;
        channel.unicodeNameLength = units;
        for (uint32_t u = 0; u < units; ++u)
            channel.unicodeName[u] = BigEndian16(data + at + 4 + 2 * u);
        at += 4 + units * 2;
    }
    PsdFreeArray(context, data, length);
    context->hasAlphaChannels = true;
    return status;
}

static PsdStatus ReadAlphaIdentifiers(PsdContext* context, uint32_t length)
{
    PsdStatus status = kPsdOk;
    if (context->alphaChannelCount == 0)
        status = SetAlphaChannelCount(context, length / 4);
    for (uint32_t i = 0; status == kPsdOk && i < std::min<uint32_t>(length / 4, context->alphaChannelCount);
         ++i)
        context->alphaChannels[i].identifier = PsdReadU32(context);
    context->hasAlphaChannels = true;
    return status;
}

static PsdStatus ReadThumbnail(PsdContext* context, uint16_t id)
{
    context->thumbnailFormat = PsdReadU32(context);
    context->thumbnailWidth = PsdReadU32(context);
    context->thumbnailHeight = PsdReadU32(context);
    context->thumbnailRowBytes = PsdReadU32(context);
    context->thumbnailTotalSize = PsdReadU32(context);
    context->thumbnailCompressedSize = PsdReadU32(context);
    context->thumbnailBitsPerPixel = PsdReadU16(context);
    context->thumbnailPlanes = PsdReadU16(context);
    context->hasThumbnail = true;
    if (context->readStatus != kPsdOk)
        return context->readStatus;
    PsdFreeIfSet(context->thumbnailPixels);
    context->thumbnailPixels = nullptr;
    if (context->thumbnailFormat == 0)
        return PsdSkipThumbnailRaw(&context->thumbnailPixels, context->thumbnailCompressedSize,
                                   context);
    // The thumbnail is a convenience nobody needs to open the document: one
    // that cannot be decoded is left out.
    const PsdStatus status =
        PsdReadThumbnailJpeg(&context->thumbnailPixels, context->thumbnailCompressedSize, context);
    if (status == kPsdNoMemory || status == kPsdLimitExceeded)
        return status;
    // The old resource 1033 holds its thumbnail in blue, green, red order.
    if (id == 1033 && context->thumbnailPixels)
    {
        const uint64_t count = uint64_t(context->thumbnailWidth) * context->thumbnailHeight;
        for (uint64_t i = 0; i < count; ++i)
        {
            const uint32_t p = context->thumbnailPixels[i];
            context->thumbnailPixels[i] =
                (p & 0xFF00FF00) | (p & 0xFF) << 16 | (p >> 16 & 0xFF);
        }
    }
    return kPsdOk;
}

static PsdStatus ReadVersionInfo(PsdContext* context)
{
    // A repeated resource replaces the first.
    PsdFreeIfSet(context->writerName);
    PsdFreeIfSet(context->readerName);
    context->writerName = context->readerName = nullptr;
    context->writerNameLength = context->readerNameLength = 0;
    context->version = PsdReadU32(context);
    context->hasRealMergedData = PsdReadBool(context);
    PsdStatus status = kPsdOk;
    const uint32_t writerLength = PsdReadU32(context);
    status = PsdReadUnicodeUnits(context, writerLength, &context->writerName);
    if (status != kPsdOk)
        return status;
    context->writerNameLength = writerLength;
    const uint32_t readerLength = PsdReadU32(context);
    status = PsdReadUnicodeUnits(context, readerLength, &context->readerName);
    if (status != kPsdOk)
        return status;
    context->readerNameLength = readerLength;
    context->fileVersion = PsdReadU32(context);
    context->hasVersionInfo = true;
    return kPsdOk;
}

static bool ResourceWanted(int32_t loadOption, uint16_t id)
{
    switch (loadOption)
    {
    case 3:
        return id == 1006 || id == 1045 || id == 1053;
    case 4:
        return id == 1033 || id == 1036;
    case 5:
        return false;
    case 2:
        return id != 1033 && id != 1036;
    default:
        return true;
    }
}

// Reads one resource's data, confined to its length.
static PsdStatus ReadResource(PsdContext* context, uint16_t id, uint32_t length)
{
    switch (id)
    {
    case 1005:
        context->horizontalResolution = float(PsdReadU32(context) * (1.0 / 65536));
        context->horizontalResolutionUnit = PsdReadU16(context);
        context->widthUnit = PsdReadU16(context);
        context->verticalResolution = float(PsdReadU32(context) * (1.0 / 65536));
        context->verticalResolutionUnit = PsdReadU16(context);
        context->heightUnit = PsdReadU16(context);
        context->hasResolution = true;
        return kPsdOk;
    case 1006:
        return ReadAlphaNames(context, length);
    case 1007:
        context->displayColor = PsdReadColor(context);
        context->displayOpacity = PsdReadU16(context);
        context->displayKind = PsdReadU8(context);
        context->hasDisplayInfo = true;
        return kPsdOk;
    case 1008:
    {
        const uint8_t n = PsdReadU8(context);
        std::memset(context->caption, 0, sizeof context->caption);
        PsdReadBytes(context, context->caption, n);
        return kPsdOk;
    }
    case 1024:
        context->targetLayer = PsdReadU16(context);
        return kPsdOk;
    case 1026:
    {
        PsdFreeArray(context, context->layerGroups, uint64_t(context->layerGroupCount) * 2);
        context->layerGroups = nullptr;
        context->layerGroupCount = 0;
        void* groups = nullptr;
        const PsdStatus status = PsdAllocArray(context, length / 2, 2, &groups);
        if (status != kPsdOk)
            return status;
        context->layerGroups = static_cast<uint16_t*>(groups);
        context->layerGroupCount = length / 2;
        for (uint32_t i = 0; i < length / 2; ++i)
            context->layerGroups[i] = PsdReadU16(context);
        context->hasLayerGroups = true;
        return kPsdOk;
    }
    case 1033:
    case 1036:
        return ReadThumbnail(context, id);
    case 1034:
        // Photoshop writes the flag as one byte.
        context->protectedDocument = length == 1 ? PsdReadU8(context) : PsdReadU16(context);
        return kPsdOk;
    case 1037:
        context->globalAngle = int32_t(PsdReadU32(context));
        return kPsdOk;
    case 1042:
        context->resource1042 = PsdReadU16(context);
        return kPsdOk;
    case 1045:
        return ReadUnicodeAlphaNames(context, length);
    case 1046:
        context->indexedColorCount = int16_t(PsdReadU16(context));
        context->hasIndexedColorCount = true;
        return kPsdOk;
    case 1047:
        context->transparencyIndex = int16_t(PsdReadU16(context));
        context->hasTransparencyIndex = true;
        return kPsdOk;
    case 1049:
        context->globalAltitude = int32_t(PsdReadU32(context));
        return kPsdOk;
    case 1053:
        return ReadAlphaIdentifiers(context, length);
    case 1057:
        return ReadVersionInfo(context);
    default:
        return kPsdOk;
    }
}

PsdStatus PsdReadImageResources(PsdContext* context)
{
    const uint32_t length = PsdReadU32(context);
    if (length < 1)
        return context->readStatus;
    context->globalAngle = 30;
    context->globalAltitude = 30;
    PsdBlock section;
    PsdBeginBlock(context, length, 0, &section);
    PsdStatus status = kPsdOk;
    // Fewer bytes than a resource header at the end are padding.
    while (status == kPsdOk && context->readStatus == kPsdOk && PsdBytesLeft(context) >= 12)
    {
        const uint32_t signature = PsdReadU32(context);
        const uint16_t id = PsdReadU16(context);
        const uint8_t nameLength = PsdReadU8(context);
        // The name with its length byte fills an even number of bytes.
        PsdSkipBytes(context, nameLength % 2 == 0 ? nameLength + 1 : nameLength);
        const uint32_t dataLength = PsdReadU32(context);
        if (context->readStatus != kPsdOk)
            break;
        if (signature != PsdKey("8BIM"))
        {
            status = kPsdBadResourceSignature;
            break;
        }
        PsdBlock data;
        PsdBeginBlock(context, dataLength, dataLength % 2, &data);
        if (context->readStatus == kPsdOk && dataLength >= 1 && id >= 1005 && id <= 1057 && ResourceWanted(context->loadOption, id))
        {
            // Reads stop at the data's own length, not at its padding.
            PsdBlock exact;
            PsdBeginBlock(context, dataLength, 0, &exact);
            status = ReadResource(context, id, dataLength);
            // The data lies within the file, so a read that fell short met
            // the resource's own end: a resource shorter than the fields its
            // reader wants gives the fields it holds, the rest 0.
            if (status == kPsdShortRead || status == kPsdBlockOverrun)
                status = kPsdOk;
            if (context->readStatus == kPsdShortRead || context->readStatus == kPsdBlockOverrun)
                context->readStatus = kPsdOk;
            PsdEndBlock(context, &exact);
        }
        PsdEndBlock(context, &data);
    }
    PsdEndBlock(context, &section);
    return status != kPsdOk ? status : context->readStatus;
}

// --- Alpha channels ----------------------------------------------------------

void PsdFreeAlphaChannels(PsdContext* context)
{
    for (uint32_t i = 0; context->alphaChannels && i < context->alphaChannelCount; ++i)
    {
        PsdFreeIfSet(context->alphaChannels[i].data);
        PsdFreeIfSet(context->alphaChannels[i].unicodeName);
    }
    PsdFreeIfSet(context->alphaChannels);
    context->alphaChannels = nullptr;
    context->alphaChannelCount = 0;
}
