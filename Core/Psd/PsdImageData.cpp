#include "Core/Psd/PsdReader.h"

#include <algorithm>
#include <cstring>

void PsdFreeImageData(PsdContext* context)
{
    PsdFreeIfSet(context->composite);
    context->composite = nullptr;
    PsdFreeIfSet(context->imageChannels);
    context->imageChannels = nullptr;
}

static void FreeChannels(PsdContext* context)
{
    PsdFreeArray(context, context->imageChannels,
                 uint64_t(context->channelLength) * context->channelCount);
    context->imageChannels = nullptr;
}

// --- Converters ----------------------------------------------------------------

// The merged image's planes: the colour channels first, then, when there is
// one more colour channel than the mode has, the transparency.
static void CombineMerged(PsdContext* context)
{
    const int modeColors = PsdModeColorCount(context->colorMode, context->colorChannelCount);
    const int colorCount = std::min<int>(context->colorChannelCount, 4);
    PsdPlanes planes = {};
    for (int i = 0; i < std::min(modeColors, colorCount); ++i)
        planes.color[i] = context->imageChannels + context->channelLength * size_t(i);
    if (context->colorMode != kPsdModeMultichannel && context->colorChannelCount > modeColors)
        planes.alpha = context->imageChannels + context->channelLength * size_t(modeColors);
    // Multichannel takes a fourth ink only from exactly four colour channels.
    if (context->colorMode == kPsdModeMultichannel && context->colorChannelCount != 4)
        planes.color[3] = nullptr;
    PsdConvertPlanes(context, &planes, context->width, context->height, true, context->composite);
}

PsdStatus PsdCombineBitmap(PsdContext* context)
{
    CombineMerged(context);
    return kPsdOk;
}

PsdStatus PsdCombineGray8(PsdContext* context)
{
    CombineMerged(context);
    return kPsdOk;
}

PsdStatus PsdCombineGray16(PsdContext* context)
{
    CombineMerged(context);
    return kPsdOk;
}

PsdStatus PsdCombineIndexed(PsdContext* context)
{
    CombineMerged(context);
    return kPsdOk;
}

PsdStatus PsdCombineRgb8(PsdContext* context)
{
    CombineMerged(context);
    return kPsdOk;
}

PsdStatus PsdCombineRgb16(PsdContext* context)
{
    CombineMerged(context);
    return kPsdOk;
}

PsdStatus PsdCombineCmyk8(PsdContext* context)
{
    CombineMerged(context);
    return kPsdOk;
}

PsdStatus PsdCombineCmyk16(PsdContext* context)
{
    CombineMerged(context);
    return kPsdOk;
}

PsdStatus PsdCombineMultichannel(PsdContext* context)
{
    CombineMerged(context);
    return kPsdOk;
}

PsdStatus PsdCombineLab8(PsdContext* context)
{
    CombineMerged(context);
    return kPsdOk;
}

PsdStatus PsdCombineLab16(PsdContext* context)
{
    CombineMerged(context);
    return kPsdOk;
}

// Every mode converts at every depth the header accepts; the named
// converters cover the usual pairs and the rest share their rules.
static PsdStatus Combine(PsdContext* context)
{
    const bool deep = context->depth == 16;
    switch (context->colorMode)
    {
    case kPsdModeBitmap:
        return PsdCombineBitmap(context);
    case kPsdModeGrayscale:
    case kPsdModeDuotone:
        return deep ? PsdCombineGray16(context) : PsdCombineGray8(context);
    case kPsdModeIndexed:
        return PsdCombineIndexed(context);
    case kPsdModeRgb:
        return deep ? PsdCombineRgb16(context) : PsdCombineRgb8(context);
    case kPsdModeCmyk:
        return deep ? PsdCombineCmyk16(context) : PsdCombineCmyk8(context);
    case kPsdModeMultichannel:
        return PsdCombineMultichannel(context);
    default:
        return deep ? PsdCombineLab16(context) : PsdCombineLab8(context);
    }
}

// --- Stage -------------------------------------------------------------------------

static PsdStatus DecodeChannels(PsdContext* context, int compression, uint64_t total)
{
    if (compression == 0)
    {
        if (PsdReadBytes(context, context->imageChannels, int64_t(total)) != int64_t(total))
            return context->readStatus;
        return kPsdOk;
    }
    // The compressed image runs to the end of the file.
    const int64_t rest = std::max<int64_t>(PsdBytesLeft(context), 0);
    uint8_t* input = nullptr;
    PsdStatus status = PsdAllocArray(context, uint64_t(rest), 1, reinterpret_cast<void**>(&input));
    if (status != kPsdOk)
        return status;
    if (PsdReadBytes(context, input, rest) != rest)
        status = context->readStatus;
    else if (compression == 1)
        status = PsdUnpackRows(input, size_t(rest), size_t(context->channelCount) * context->height,
                               context->imageChannels, size_t(total));
    else if (compression == 2)
        status = PsdInflate(input, size_t(rest), context->imageChannels, size_t(total));
    else
        status = PsdInflateWithPrediction(
            input, size_t(rest), context->imageChannels, size_t(total),
            context->depth == 1 ? size_t(PsdChannelBytes(context->width, 1, 1)) : context->width,
            context->depth);
    PsdFreeArray(context, input, uint64_t(rest));
    return status;
}

static PsdStatus CopyAlphaChannels(PsdContext* context)
{
    const uint32_t width = context->width;
    const uint32_t height = context->height;
    for (int channel = context->colorChannelCount; channel < context->channelCount; ++channel)
    {
        const int index = channel - context->colorChannelCount;
        if (index >= context->alphaChannelCount)
            break;
        PsdAlphaChannel& alpha = context->alphaChannels[index];
        PsdFreeIfSet(alpha.data);
        alpha.data = nullptr;
        const PsdStatus status = PsdAllocArray(context, uint64_t(width) * height, 1,
                                               reinterpret_cast<void**>(&alpha.data));
        if (status != kPsdOk)
            return status;
        // The same byte rules as the colour channels: the high byte of 16-bit
        // samples, and bits widened to bytes.
        const uint8_t* plane = context->imageChannels + context->channelLength * size_t(channel);
        const size_t rowBytes = size_t(PsdChannelBytes(width, 1, context->depth));
        for (uint32_t y = 0; y < height; ++y)
        {
            const uint8_t* row = plane + rowBytes * y;
            uint8_t* out = alpha.data + size_t(width) * y;
            for (uint32_t x = 0; x < width; ++x)
            {
                if (context->depth == 16)
                    out[x] = row[2 * size_t(x)];
                else if (context->depth == 1)
                    out[x] = (row[x >> 3] >> (7 - (x & 7)) & 1) ? 0 : 255;
                else
                    out[x] = row[x];
            }
        }
    }
    return kPsdOk;
}

// A flattened document gets one layer that stands for the whole image.
static PsdStatus MakePseudoLayer(PsdContext* context)
{
    PsdFreeLayers(context);
    PsdLayerRecord* record = nullptr;
    PsdStatus status =
        PsdAllocArray(context, 1, sizeof(PsdLayerRecord), reinterpret_cast<void**>(&record));
    if (status != kPsdOk)
        return status;
    context->layers = record;
    context->layerCount = 1;
    record->kind = kPsdLayerNormal;
    record->bottom = int32_t(context->height);
    record->right = int32_t(context->width);
    record->width = int32_t(context->width);
    record->height = int32_t(context->height);
    record->blendMode = 0;
    record->visible = true;
    record->opacity = 255;
    record->maskDefaultColor = 255;
    record->maskDisabled = true;
    record->fillOpacity = 255;
    record->blendClipped = 1;
    record->transparencyShapes = 1;
    record->sectionBlendMode = 23;

    // Numbered as the merged image takes them: the colours, then the
    // transparency when there is a channel more than the mode's colours.
    const int channels = context->colorChannelCount;
    const int alphaIndex = PsdModeColorCount(context->colorMode, context->colorChannelCount);
    if (channels > 0)
    {
        status = PsdAllocArray(context, uint64_t(channels), sizeof(PsdChannelInfo),
                               reinterpret_cast<void**>(&record->channels));
        if (status != kPsdOk)
            return status;
        record->channelCount = int16_t(channels);
        for (int i = 0; i < channels; ++i)
            record->channels[i].id = int16_t(i == alphaIndex ? -1 : i);

        uint16_t** arrays[] = {&record->sourceBlackRanges, &record->sourceWhiteRanges,
                               &record->destinationBlackRanges, &record->destinationWhiteRanges};
        for (uint16_t** array : arrays)
        {
            status = PsdAllocArray(context, uint64_t(channels), sizeof(uint16_t),
                                   reinterpret_cast<void**>(array));
            if (status != kPsdOk)
                return status;
        }
        record->channelRangeCount = uint32_t(channels);
        for (int i = 0; i < channels; ++i)
        {
            record->sourceWhiteRanges[i] = 65535;
            record->destinationWhiteRanges[i] = 65535;
        }
    }
    record->compositeGrayRanges[1] = 65535;
    record->compositeGrayRanges[3] = 65535;

    const uint64_t pixels = uint64_t(context->width) * context->height;
    status = PsdAllocArray(context, pixels, sizeof(uint32_t),
                           reinterpret_cast<void**>(&record->pixels));
    if (status != kPsdOk)
        return status;
    std::memcpy(record->pixels, context->composite, size_t(pixels) * sizeof(uint32_t));
    return kPsdOk;
}

PsdStatus PsdReadImageData(PsdContext* context)
{
    if (context->loadOption == 4 || context->loadOption == 5 ||
        (context->loadOption == 2 && context->layerCount > 0))
        return kPsdOk;

    const uint64_t channelLength =
        PsdChannelBytes(context->width, context->height, context->depth);
    const uint64_t total = channelLength * context->channelCount;
    context->channelLength = size_t(channelLength);
    const int compression = PsdReadU16(context);
    if (context->readStatus != kPsdOk)
        return context->readStatus;
    if (compression > 3)
        return kPsdBadCompression;
    // The data must be in the file, and able to give what it claims, before
    // it is worth allocating for.
    const uint64_t rest = uint64_t(std::max<int64_t>(PsdBytesLeft(context), 0));
    if (compression == 0 && total > rest)
        return kPsdShortRead;
    if (!PsdPlausibleOutput(compression, rest, total))
        return kPsdCorruptData;
    // Zero-filled, so that what a short stream leaves out reads as 0.
    PsdStatus status = PsdAllocArray(context, total, 1,
                                     reinterpret_cast<void**>(&context->imageChannels));
    if (status == kPsdOk)
        status = DecodeChannels(context, compression, total);
    if (status == kPsdOk)
        status = PsdAllocArray(context, uint64_t(context->width) * context->height,
                               sizeof(uint32_t), reinterpret_cast<void**>(&context->composite));
    if (status == kPsdOk)
        status = Combine(context);
    if (status == kPsdOk)
        status = CopyAlphaChannels(context);
    FreeChannels(context);
    if (status != kPsdOk)
        return status;
    if (context->layerCount > 0)
        return kPsdOk;
    return MakePseudoLayer(context);
}
