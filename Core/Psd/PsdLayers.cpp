#include "Core/Psd/PsdReader.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

// --- Teardown ----------------------------------------------------------------

static void FreeBlock(int32_t kind, void* payload)
{
    switch (kind)
    {
    case kPsdInfoLevels:
        PsdFreeLevels(payload);
        break;
    case kPsdInfoCurves:
        PsdFreeCurves(payload);
        break;
    case kPsdInfoGradientMap:
        PsdFreeGradientMap(payload);
        break;
    case kPsdInfoTypeTool:
        PsdFreeTypeTool(payload);
        break;
    case kPsdInfoLayerEffects:
    case kPsdInfoObjectEffects:
        PsdFreeLayerEffects(payload);
        break;
    case kPsdInfoGradientFill:
        PsdFreeGradientFill(payload);
        break;
    case kPsdInfoPatternFill:
        PsdFreePatternFill(payload);
        break;
    default:
        PsdFreeIfSet(payload);
        break;
    }
}

void PsdFreeLayerRecord(PsdLayerRecord* record)
{
    for (int32_t i = 0; i < record->blockCount; ++i)
    {
        FreeBlock(record->blockKinds[i], record->blocks[i]);
        record->blocks[i] = nullptr;
    }
    record->blockCount = 0;
    void** owned[] = {
        reinterpret_cast<void**>(&record->channels),
        reinterpret_cast<void**>(&record->unicodeName),
        reinterpret_cast<void**>(&record->pixels),
        reinterpret_cast<void**>(&record->maskPixels),
        reinterpret_cast<void**>(&record->sourceBlackRanges),
        reinterpret_cast<void**>(&record->sourceWhiteRanges),
        reinterpret_cast<void**>(&record->destinationBlackRanges),
        reinterpret_cast<void**>(&record->destinationWhiteRanges),
    };
    for (void** pointer : owned)
    {
        PsdFreeIfSet(*pointer);
        *pointer = nullptr;
    }
}

// The budgeted bytes of a record's pixel, mask, channel and range arrays.
static uint64_t RecordBytes(const PsdLayerRecord* record)
{
    uint64_t bytes = uint64_t(std::max<int16_t>(record->channelCount, 0)) * sizeof(PsdChannelInfo) +
                     uint64_t(record->channelRangeCount) * 4 * sizeof(uint16_t);
    if (record->pixels)
        bytes += uint64_t(record->width) * uint64_t(record->height) * sizeof(uint32_t);
    if (record->maskPixels)
        bytes += uint64_t(record->maskWidth) * uint64_t(record->maskHeight);
    return bytes;
}

void PsdFreeLayers(PsdContext* context)
{
    for (int32_t i = 0; context->layers && i < context->layerCount; ++i)
    {
        PsdReleaseMemory(context, RecordBytes(&context->layers[i]) + sizeof(PsdLayerRecord));
        PsdFreeLayerRecord(&context->layers[i]);
    }
    PsdFreeIfSet(context->layers);
    context->layers = nullptr;
    context->layerCount = 0;
}

// --- Layer records -------------------------------------------------------------

static void SetRecordDefaults(PsdLayerRecord* record)
{
    record->opacity = 255;
    record->visible = true;
    record->maskDefaultColor = 255;
    record->maskDisabled = true;
    record->fillOpacity = 255;
    record->blendClipped = 1;
    record->transparencyShapes = 1;
    record->sectionBlendMode = 23;
}

// The status to give when a read fell short, else `fallback`.
static PsdStatus ReadFailure(const PsdContext* context, PsdStatus fallback)
{
    return context->readStatus != kPsdOk ? context->readStatus : fallback;
}

// Width and height of a rectangle read from the file; false when too large.
// An inverted or empty one (Photoshop writes (0, 0, -1, 0) for some fill
// layers) is 0 by 0.
static bool RectangleSides(int32_t top, int32_t left, int32_t bottom, int32_t right,
                           int32_t* width, int32_t* height)
{
    const int64_t w = int64_t(right) - int64_t(left);
    const int64_t h = int64_t(bottom) - int64_t(top);
    if (w > kPsdMaxLayerSide || h > kPsdMaxLayerSide)
        return false;
    const bool empty = w <= 0 || h <= 0;
    *width = empty ? 0 : int32_t(w);
    *height = empty ? 0 : int32_t(h);
    return true;
}

static PsdStatus ReadMaskData(PsdContext* context, PsdLayerRecord* record)
{
    const uint32_t length = PsdReadU32(context);
    if (length == 0)
        return context->readStatus;
    PsdBlock block;
    PsdBeginBlock(context, length, 0, &block);
    record->maskTop = int32_t(PsdReadU32(context));
    record->maskLeft = int32_t(PsdReadU32(context));
    record->maskBottom = int32_t(PsdReadU32(context));
    record->maskRight = int32_t(PsdReadU32(context));
    record->maskDefaultColor = PsdReadU8(context);
    const uint8_t flags = PsdReadU8(context);
    record->maskRelative = flags & 1;
    record->maskDisabled = flags & 2;
    record->maskInvert = flags & 4;
    // Blocks of 36 bytes and more describe the real user mask (channel -3)
    // as well; the layer mask keeps its own rectangle.
    if (length >= 36)
    {
        record->hasRealMask = true;
        record->realMaskFlags = PsdReadU8(context);
        record->realMaskDefaultColor = PsdReadU8(context);
        record->realMaskTop = int32_t(PsdReadU32(context));
        record->realMaskLeft = int32_t(PsdReadU32(context));
        record->realMaskBottom = int32_t(PsdReadU32(context));
        record->realMaskRight = int32_t(PsdReadU32(context));
    }
    // Mask parameters and padding are skipped with the rest of the block.
    PsdEndBlock(context, &block);
    if (context->readStatus != kPsdOk)
        return context->readStatus;
    if (!RectangleSides(record->maskTop, record->maskLeft, record->maskBottom, record->maskRight,
                        &record->maskWidth, &record->maskHeight))
        return kPsdLimitExceeded;
    return kPsdOk;
}

static PsdStatus ReadBlendingRanges(PsdContext* context, PsdLayerRecord* record)
{
    // Writers give any length, 0 among them: only whole ranges are read.
    const uint32_t length = PsdReadU32(context);
    if (length == 0)
        return context->readStatus;
    PsdBlock block;
    PsdBeginBlock(context, length, 0, &block);
    PsdStatus status = kPsdOk;
    if (length >= 8 && context->readStatus == kPsdOk)
    {
        for (uint16_t& value : record->compositeGrayRanges)
            value = PsdReadU16(context);
        const uint32_t ranges = (length - 8) / 8;
        uint16_t** arrays[] = {&record->sourceBlackRanges, &record->sourceWhiteRanges,
                               &record->destinationBlackRanges, &record->destinationWhiteRanges};
        for (uint16_t** array : arrays)
        {
            if (ranges > 0 && status == kPsdOk)
                status = PsdAllocArray(context, ranges, sizeof(uint16_t),
                                       reinterpret_cast<void**>(array));
        }
        if (status == kPsdOk)
        {
            record->channelRangeCount = ranges;
            for (uint32_t i = 0; i < ranges; ++i)
                for (uint16_t** array : arrays)
                    (*array)[i] = PsdReadU16(context);
        }
    }
    PsdEndBlock(context, &block);
    return status != kPsdOk ? status : context->readStatus;
}

static PsdStatus ReadName(PsdContext* context, PsdLayerRecord* record)
{
    const uint8_t n = PsdReadU8(context);
    // The length byte and the name together fill a multiple of 4 bytes.
    const int64_t stored = ((n + 4) & ~3) - 1;
    PsdReadBytes(context, record->name, stored);
    std::memset(record->name + n, 0, sizeof record->name - n);
    return context->readStatus;
}

// Reads a single-value block: a byte, then padding skipped with the block.
static uint8_t ReadFlagByte(PsdContext* context)
{
    return PsdReadU8(context);
}

// Reads one additional-information block's content (its key and length
// already read), confined to the block.
static PsdStatus ReadLayerBlock(PsdContext* context, PsdLayerRecord* record, uint32_t key,
                                uint32_t length)
{
    switch (key)
    {
    case PsdKey("luni"):
        return PsdReadUnicodeName(context, record);
    case PsdKey("lsct"):
    case PsdKey("lsdk"): // nested dividers, written deep inside groups
        return PsdReadSectionDivider(context, record, length);
    case PsdKey("lclr"):
        return PsdReadSheetColor(context, record);
    case PsdKey("brst"):
        return PsdReadBlendingRestrictions(context, length, record);
    case PsdKey("lnsr"):
        record->nameSource = PsdReadU32(context);
        return kPsdOk;
    case PsdKey("lyid"):
        record->layerId = PsdReadU32(context);
        return kPsdOk;
    case PsdKey("lyvr"):
        record->layerVersion = PsdReadU32(context);
        return kPsdOk;
    case PsdKey("lspf"):
    {
        const uint32_t flags = PsdReadU32(context);
        record->transparencyLocked = flags & 1;
        record->compositeLocked = flags & 2;
        record->positionLocked = flags & 4;
        return kPsdOk;
    }
    case PsdKey("fxrp"):
        record->referenceX = PsdDoubleToInt(PsdReadF64(context));
        record->referenceY = PsdDoubleToInt(PsdReadF64(context));
        return kPsdOk;
    case PsdKey("clbl"):
        record->blendClipped = ReadFlagByte(context) != 0;
        return kPsdOk;
    case PsdKey("infx"):
        record->blendInterior = ReadFlagByte(context) != 0;
        return kPsdOk;
    case PsdKey("knko"):
        record->knockout = ReadFlagByte(context) != 0;
        return kPsdOk;
    case PsdKey("iOpa"):
        record->fillOpacity = ReadFlagByte(context);
        return kPsdOk;
    case PsdKey("tsly"):
        record->transparencyShapes = ReadFlagByte(context) != 0;
        return kPsdOk;
    case PsdKey("lmgm"):
        record->layerMaskAsGlobal = ReadFlagByte(context) != 0;
        return kPsdOk;
    case PsdKey("vmgm"):
        record->vectorMaskAsGlobal = ReadFlagByte(context) != 0;
        return kPsdOk;
    case PsdKey("levl"):
        return PsdReadLevels(context, record, length);
    case PsdKey("curv"):
        return PsdReadCurves(context, record, length);
    case PsdKey("brit"):
        return PsdReadBrightnessContrast(context, record);
    case PsdKey("blnc"):
        return PsdReadColorBalance(context, record);
    case PsdKey("hue2"):
        return PsdReadHueSaturation(context, record);
    case PsdKey("selc"):
        return PsdReadSelectiveColor(context, record);
    case PsdKey("thrs"):
        return PsdReadThreshold(context, record);
    case PsdKey("nvrt"):
        return PsdReadInvert(context, record);
    case PsdKey("post"):
        return PsdReadPosterize(context, record);
    case PsdKey("mixr"):
        return PsdReadChannelMixer(context, record);
    case PsdKey("grdm"):
        return PsdReadGradientMap(context, record);
    case PsdKey("phfl"):
        return PsdReadPhotoFilter(context, record);
    case PsdKey("tySh"):
        return PsdReadTypeTool(context, record);
    case PsdKey("SoCo"):
        return PsdReadSolidColorFill(context, record);
    case PsdKey("GdFl"):
        return PsdReadGradientFill(context, record);
    case PsdKey("PtFl"):
        return PsdReadPatternFill(context, record);
    case PsdKey("lrFX"):
        return PsdReadLayerEffects(context, record);
    case PsdKey("lfx2"):
        return PsdReadObjectEffects(context, record);
    default:
        return kPsdOk;
    }
}

// What a block that lies within the file but could not be read costs, its
// end being known. An adjustment in a form its reader does not know keeps
// its layer and kind, marked not valid with the reason. A descriptor with an
// item that cannot be skipped loses its block's payload. Anything else,
// running past the block's own end among them, is damage.
static PsdStatus SettleBlock(PsdContext* context, PsdLayerRecord* record, int32_t blocksBefore,
                             PsdStatus status)
{
    if (context->readStatus == kPsdBadDescriptor)
    {
        context->readStatus = kPsdOk;
        for (int32_t i = blocksBefore; i < record->blockCount; ++i)
        {
            FreeBlock(record->blockKinds[i], record->blocks[i]);
            record->blocks[i] = nullptr;
        }
        record->blockCount = blocksBefore;
        return kPsdOk;
    }
    if (context->readStatus == kPsdOk && status <= kPsdBadLevelsVersion &&
        status >= kPsdBadGradientMapVersion)
    {
        record->adjustmentValid = false;
        record->adjustmentStatus = status;
        return kPsdOk;
    }
    return status;
}

static PsdStatus ReadExtraData(PsdContext* context, PsdLayerRecord* record)
{
    PsdStatus status = ReadMaskData(context, record);
    if (status == kPsdOk)
        status = ReadBlendingRanges(context, record);
    if (status == kPsdOk)
        status = ReadName(context, record);
    // Additional blocks fill the rest; fewer bytes than a block header are padding.
    while (status == kPsdOk && PsdBytesLeft(context) >= 12)
    {
        const uint32_t signature = PsdReadU32(context);
        const uint32_t key = PsdReadU32(context);
        const uint32_t length = PsdReadU32(context);
        if (context->readStatus != kPsdOk)
            return context->readStatus;
        if (signature != PsdKey("8BIM"))
            return kPsdBadBlockSignature;
        PsdBlock block;
        PsdBeginBlock(context, length, length % 2, &block);
        if (context->readStatus == kPsdOk)
        {
            const int32_t blocksBefore = record->blockCount;
            status = SettleBlock(context, record, blocksBefore,
                                 ReadLayerBlock(context, record, key, length));
        }
        PsdEndBlock(context, &block);
        if (status == kPsdOk)
            status = context->readStatus;
    }
    return status;
}

static PsdStatus ReadLayerRecord(PsdContext* context, PsdLayerRecord* record)
{
    record->top = int32_t(PsdReadU32(context));
    record->left = int32_t(PsdReadU32(context));
    record->bottom = int32_t(PsdReadU32(context));
    record->right = int32_t(PsdReadU32(context));
    const int16_t channels = int16_t(PsdReadU16(context));
    if (context->readStatus != kPsdOk)
        return context->readStatus;
    if (!RectangleSides(record->top, record->left, record->bottom, record->right, &record->width,
                        &record->height) ||
        channels < 0)
        return kPsdLimitExceeded;
    // Each channel entry takes 6 bytes.
    if (int64_t(channels) * 6 > PsdBytesLeft(context))
        return ReadFailure(context, kPsdBlockOverrun);
    if (channels > 0)
    {
        const PsdStatus status = PsdAllocArray(context, uint64_t(channels), sizeof(PsdChannelInfo),
                                               reinterpret_cast<void**>(&record->channels));
        if (status != kPsdOk)
            return status;
    }
    record->channelCount = channels;
    for (int i = 0; i < channels; ++i)
    {
        record->channels[i].id = int16_t(PsdReadU16(context));
        record->channels[i].length = PsdReadU32(context);
    }
    if (PsdReadU32(context) != PsdKey("8BIM"))
        return ReadFailure(context, kPsdBadLayerSignature);
    record->blendMode = PsdReadBlendModeKey(context);
    record->opacity = PsdReadU8(context);
    record->clipping = PsdReadU8(context) != 0;
    const uint8_t flags = PsdReadU8(context);
    record->transparencyProtected = flags & 1;
    record->visible = !(flags & 2);
    record->obsolete = flags & 4;
    record->pixelDataIrrelevant = (flags & 8) && (flags & 16);
    PsdReadU8(context); // filler

    const uint32_t extraLength = PsdReadU32(context);
    if (context->readStatus != kPsdOk)
        return context->readStatus;
    PsdBlock extra;
    PsdBeginBlock(context, extraLength, 0, &extra);
    PsdStatus status = context->readStatus;
    if (status == kPsdOk)
        status = ReadExtraData(context, record);
    PsdEndBlock(context, &extra);
    return status != kPsdOk ? status : context->readStatus;
}

// Walks from the top layer down: a folder opens, its end record closes.
static void LinkFolders(PsdContext* context)
{
    PsdLayerRecord* folder = nullptr;
    for (int32_t i = context->layerCount - 1; i >= 0; --i)
    {
        PsdLayerRecord* record = &context->layers[i];
        record->folder = nullptr;
        switch (record->kind)
        {
        case kPsdLayerFolder:
            folder = record;
            break;
        case kPsdLayerFolderEnd:
            folder = nullptr;
            break;
        case kPsdLayerNormal:
            record->folder = folder;
            break;
        default:
            break;
        }
    }
}

// The smallest record: bounds, channel count, signature, blend key, four
// bytes of opacity and flags, the extra-data length.
constexpr int64_t kMinimumRecordBytes = 16 + 2 + 4 + 4 + 4 + 4;

PsdStatus PsdReadLayerRecords(PsdContext* context)
{
    uint32_t length = PsdReadU32(context);
    if (context->readStatus != kPsdOk)
        return context->readStatus;
    const uint32_t pad = length % 2;
    if (length < 1)
        return kPsdOk;
    PsdBlock info;
    PsdBeginBlock(context, length, pad, &info);
    if (context->readStatus != kPsdOk)
    {
        PsdEndBlock(context, &info);
        return context->readStatus;
    }

    // A negative count says the merged image has transparency.
    const int32_t count = std::abs(int32_t(int16_t(PsdReadU16(context))));
    PsdStatus status = context->readStatus;
    if (status == kPsdOk && count * kMinimumRecordBytes > PsdBytesLeft(context))
        status = kPsdBlockOverrun;
    if (status == kPsdOk)
    {
        // A later layer info ("Lr16") replaces the records read before.
        PsdFreeLayers(context);
        PsdLayerRecord* records = nullptr;
        if (count > 0)
            status = PsdAllocArray(context, uint64_t(count), sizeof(PsdLayerRecord),
                                   reinterpret_cast<void**>(&records));
        if (status == kPsdOk && count > 0)
        {
            context->layers = records;
            context->layerCount = count;
            for (int32_t i = 0; i < count; ++i)
                SetRecordDefaults(&records[i]);
        }
    }
    for (int32_t i = 0; status == kPsdOk && i < context->layerCount; ++i)
        status = ReadLayerRecord(context, &context->layers[i]);
    for (int32_t i = 0; status == kPsdOk && i < context->layerCount; ++i)
        status = PsdReadChannelImageData(context, &context->layers[i]);
    PsdEndBlock(context, &info);
    if (status == kPsdOk)
        status = context->readStatus;
    if (status != kPsdOk)
    {
        // No record may stay without the pixels its size promises.
        PsdFreeLayers(context);
        return status;
    }
    LinkFolders(context);
    return kPsdOk;
}

// --- The layer and mask section -----------------------------------------------

PsdStatus PsdReadLayerAndMaskSection(PsdContext* context)
{
    const uint32_t length = PsdReadU32(context);
    if (length < 1)
        return context->readStatus;
    PsdBlock section;
    PsdBeginBlock(context, length, 0, &section);
    if (context->loadOption >= 3 && context->loadOption <= 5)
    {
        PsdEndBlock(context, &section);
        return context->readStatus;
    }
    PsdStatus status = PsdReadLayerRecords(context);
    PsdFreeDecodeBuffers(context);
    // Some writers end the section after the layer info.
    if (status == kPsdOk && PsdBytesLeft(context) >= 4)
        status = PsdReadGlobalLayerMask(context);
    while (status == kPsdOk && context->readStatus == kPsdOk && PsdBytesLeft(context) > 12)
    {
        const uint32_t signature = PsdReadU32(context);
        if (signature != PsdKey("8BIM"))
            break;
        const uint32_t key = PsdReadU32(context);
        if (key == PsdKey("Lr16"))
        {
            // The layers of 16-bit documents live here; a failure fails the
            // stage rather than leave records without pixels.
            status = PsdReadLayerRecords(context);
            PsdFreeDecodeBuffers(context);
            continue;
        }
        // Of the other tagged blocks only the patterns are read.
        const uint32_t blockLength = PsdReadU32(context);
        PsdBlock block;
        PsdBeginBlock(context, blockLength, 0, &block);
        if (key == PsdKey("Patt") || key == PsdKey("Pat2"))
        {
            while (status == kPsdOk && context->readStatus == kPsdOk && PsdBytesLeft(context) >= 4)
                status = PsdReadPattern(context);
        }
        PsdEndBlock(context, &block);
    }
    PsdEndBlock(context, &section);
    if (status != kPsdOk)
        PsdFreeLayers(context);
    return status != kPsdOk ? status : context->readStatus;
}
