#include "Core/Psd/PsdReader.h"

#include <bitset>
#include <cstring>

// The adjustment and type blocks of a layer record. Each reader appends its
// block to the record's list first, so that what it allocates is released
// with the record whatever happens later.

namespace
{

template <typename T>
PsdStatus AppendPayload(PsdContext* context, PsdLayerRecord* record, int32_t kind, T** payload)
{
    return PsdAppendLayerBlock(context, record, kind, sizeof(T), reinterpret_cast<void**>(payload));
}

// Whether count entries of `each` bytes fit in what the block has left; the
// answer to a count that does not.
PsdStatus CheckRoom(const PsdContext* context, uint64_t count, uint64_t each)
{
    const int64_t left = PsdBytesLeft(context);
    if (left >= 0 && count * each <= uint64_t(left))
        return kPsdOk;
    return context->limit >= context->fileSize ? kPsdShortRead : kPsdBlockOverrun;
}

// What a reader returns at its end: a short read inside the block explains
// any other failure, so it comes first.
PsdStatus Finish(PsdContext* context, PsdLayerRecord* record, PsdStatus status, bool adjustment)
{
    if (context->readStatus != kPsdOk)
        status = context->readStatus;
    if (status == kPsdOk && adjustment)
        record->adjustmentValid = true;
    return status;
}

void ReadLevelRecord(PsdContext* context, PsdLevelRecord* level)
{
    level->inputFloor = PsdReadU16(context);
    level->inputCeiling = PsdReadU16(context);
    level->outputFloor = PsdReadU16(context);
    level->outputCeiling = PsdReadU16(context);
    level->gamma = PsdReadU16(context) / 100.0f;
}

// Reads a Pascal string of up to 255 bytes into a 256-byte field.
void ReadPascal(PsdContext* context, char (&text)[256])
{
    const uint8_t n = PsdReadU8(context);
    std::memset(text, 0, sizeof text);
    PsdReadBytes(context, text, n);
}

} // namespace

PsdStatus PsdAppendLayerBlock(PsdContext* context, PsdLayerRecord* record, int32_t kind,
                              size_t size, void** payload)
{
    if (record->blockCount >= kPsdMaxLayerBlocks)
        return kPsdListFull;
    void* data = nullptr;
    if (size > 0)
    {
        const PsdStatus status = PsdAllocArray(context, 1, size, &data);
        if (status != kPsdOk)
            return status;
    }
    record->blockKinds[record->blockCount] = kind;
    record->blocks[record->blockCount] = data;
    ++record->blockCount;
    if (payload)
        *payload = data;
    return kPsdOk;
}

// --- Levels and curves ----------------------------------------------------------

PsdStatus PsdReadLevels(PsdContext* context, PsdLayerRecord* record, uint32_t length)
{
    const int64_t start = context->consumed;
    PsdLevels* levels = nullptr;
    PsdStatus status = AppendPayload(context, record, kPsdInfoLevels, &levels);
    if (status != kPsdOk)
        return status;
    record->kind = kPsdLayerLevels;
    if (PsdReadU16(context) != 2)
        return Finish(context, record, kPsdBadLevelsVersion, false);
    for (PsdLevelRecord& level : levels->records)
        ReadLevelRecord(context, &level);
    if (context->consumed - start < int64_t(length) - 4)
    {
        if (PsdReadU32(context) != PsdKey("Lvls"))
            return Finish(context, record, kPsdMissingLevelsExtension, false);
        if (PsdReadU16(context) != 3)
            return Finish(context, record, kPsdBadLevelsExtensionVersion, false);
        // The total counts the 29 records already read.
        const int32_t total = PsdReadU16(context);
        const int32_t extra = total > 29 ? total - 29 : 0;
        status = CheckRoom(context, uint64_t(extra), 10);
        if (status == kPsdOk && extra > 0)
            status = PsdAllocArray(context, uint64_t(extra), sizeof(PsdLevelRecord),
                                   reinterpret_cast<void**>(&levels->extra));
        if (status != kPsdOk)
            return Finish(context, record, status, false);
        levels->extraCount = extra;
        for (int32_t i = 0; i < extra; ++i)
            ReadLevelRecord(context, &levels->extra[i]);
    }
    if (context->readStatus == kPsdOk && context->consumed - start != int64_t(length))
        return Finish(context, record, kPsdLevelsLengthMismatch, false);
    return Finish(context, record, kPsdOk, true);
}

void PsdFreeLevels(void* payload)
{
    if (!payload)
        return;
    PsdFreeIfSet(static_cast<PsdLevels*>(payload)->extra);
    PsdFreeMemory(payload);
}

PsdStatus PsdReadCurves(PsdContext* context, PsdLayerRecord* record, uint32_t length)
{
    const int64_t start = context->consumed;
    PsdCurves* curves = nullptr;
    PsdStatus status = AppendPayload(context, record, kPsdInfoCurves, &curves);
    if (status != kPsdOk)
        return status;
    record->kind = kPsdLayerCurves;
    PsdReadU8(context);
    const uint16_t version = PsdReadU16(context);
    if (version != 1 && version != 4)
        return Finish(context, record, kPsdBadCurvesVersion, false);
    const uint32_t mask = PsdReadU32(context);
    const int32_t count = int32_t(std::bitset<32>(mask).count());
    if (count > 0)
    {
        status = PsdAllocArray(context, uint64_t(count), sizeof(PsdCurve),
                               reinterpret_cast<void**>(&curves->curves));
        if (status != kPsdOk)
            return Finish(context, record, status, false);
    }
    curves->count = count;
    int32_t index = 0;
    for (int bit = 0; bit < 32; ++bit)
    {
        if (!(mask >> bit & 1))
            continue;
        PsdCurve& curve = curves->curves[index++];
        curve.channel = uint16_t(bit);
        curve.pointCount = PsdReadU16(context);
        if (curve.pointCount > kPsdMaxCurvePoints)
            return Finish(context, record, kPsdListFull, false);
        for (int p = 0; p < curve.pointCount; ++p)
        {
            curve.outputs[p] = PsdReadU16(context);
            curve.inputs[p] = PsdReadU16(context);
        }
    }
    if (context->consumed - start < int64_t(length) - 4)
    {
        if (PsdReadU32(context) != PsdKey("Crv "))
            return Finish(context, record, kPsdMissingCurvesExtension, false);
        if (PsdReadU16(context) != 4)
            return Finish(context, record, kPsdBadCurvesExtensionVersion, false);
        // The extension repeats the curves; where it disagrees it is ignored.
        if (int32_t(PsdReadU32(context)) != count)
            return Finish(context, record, kPsdOk, true);
        for (int32_t i = 0; i < count; ++i)
        {
            PsdCurve& curve = curves->curves[i];
            curve.channel = PsdReadU16(context);
            if (PsdReadU16(context) != curve.pointCount)
                return Finish(context, record, kPsdOk, true);
            for (int p = 0; p < curve.pointCount; ++p)
            {
                const uint16_t output = PsdReadU16(context);
                const uint16_t input = PsdReadU16(context);
                if (output != curve.outputs[p] || input != curve.inputs[p])
                    return Finish(context, record, kPsdOk, true);
            }
        }
    }
    return Finish(context, record, kPsdOk, true);
}

void PsdFreeCurves(void* payload)
{
    if (!payload)
        return;
    PsdFreeIfSet(static_cast<PsdCurves*>(payload)->curves);
    PsdFreeMemory(payload);
}

// --- Fixed-layout adjustments --------------------------------------------------

PsdStatus PsdReadBrightnessContrast(PsdContext* context, PsdLayerRecord* record)
{
    PsdBrightnessContrast* payload = nullptr;
    const PsdStatus status =
        AppendPayload(context, record, kPsdInfoBrightnessContrast, &payload);
    if (status != kPsdOk)
        return status;
    record->kind = kPsdLayerBrightnessContrast;
    payload->brightness = PsdReadU16(context);
    payload->contrast = PsdReadU16(context);
    payload->mean = PsdReadU16(context);
    payload->labOnly = PsdReadU8(context);
    return Finish(context, record, kPsdOk, true);
}

PsdStatus PsdReadColorBalance(PsdContext* context, PsdLayerRecord* record)
{
    PsdColorBalance* payload = nullptr;
    const PsdStatus status = AppendPayload(context, record, kPsdInfoColorBalance, &payload);
    if (status != kPsdOk)
        return status;
    record->kind = kPsdLayerColorBalance;
    for (int16_t* range : {payload->shadows, payload->midtones, payload->highlights})
        for (int i = 0; i < 3; ++i)
            range[i] = int16_t(PsdReadU16(context));
    payload->preserveLuminosity = uint8_t(PsdReadU16(context) & 0xFF);
    return Finish(context, record, kPsdOk, true);
}

PsdStatus PsdReadHueSaturation(PsdContext* context, PsdLayerRecord* record)
{
    PsdHueSaturation* payload = nullptr;
    const PsdStatus status = AppendPayload(context, record, kPsdInfoHueSaturation, &payload);
    if (status != kPsdOk)
        return status;
    record->kind = kPsdLayerHueSaturation;
    if (PsdReadU16(context) != 2)
        return Finish(context, record, kPsdBadHueSaturationVersion, false);
    payload->colorize = PsdReadU8(context);
    PsdReadU8(context);
    payload->colorizeHue = PsdReadU16(context);
    payload->colorizeSaturation = PsdReadU16(context);
    payload->colorizeLightness = PsdReadU16(context);
    payload->masterHue = PsdReadU16(context);
    payload->masterSaturation = PsdReadU16(context);
    payload->masterLightness = PsdReadU16(context);
    for (int r = 0; r < 6; ++r)
    {
        for (uint16_t& value : payload->ranges[r])
            value = PsdReadU16(context);
        for (uint16_t& value : payload->settings[r])
            value = PsdReadU16(context);
    }
    return Finish(context, record, kPsdOk, true);
}

PsdStatus PsdReadSelectiveColor(PsdContext* context, PsdLayerRecord* record)
{
    PsdSelectiveColor* payload = nullptr;
    const PsdStatus status = AppendPayload(context, record, kPsdInfoSelectiveColor, &payload);
    if (status != kPsdOk)
        return status;
    record->kind = kPsdLayerSelectiveColor;
    if (PsdReadU16(context) != 1)
        return Finish(context, record, kPsdBadSelectiveColorVersion, false);
    payload->method = PsdReadU16(context);
    for (int i = 0; i < 10; ++i)
    {
        payload->cyan[i] = int16_t(PsdReadU16(context));
        payload->magenta[i] = int16_t(PsdReadU16(context));
        payload->yellow[i] = int16_t(PsdReadU16(context));
        payload->black[i] = int16_t(PsdReadU16(context));
    }
    return Finish(context, record, kPsdOk, true);
}

PsdStatus PsdReadThreshold(PsdContext* context, PsdLayerRecord* record)
{
    PsdThreshold* payload = nullptr;
    const PsdStatus status = AppendPayload(context, record, kPsdInfoThreshold, &payload);
    if (status != kPsdOk)
        return status;
    record->kind = kPsdLayerThreshold;
    payload->level = PsdReadU16(context);
    PsdReadU16(context);
    return Finish(context, record, kPsdOk, true);
}

PsdStatus PsdReadInvert(PsdContext* context, PsdLayerRecord* record)
{
    const PsdStatus status = PsdAppendLayerBlock(context, record, kPsdInfoInvert, 0, nullptr);
    if (status != kPsdOk)
        return status;
    record->kind = kPsdLayerInvert;
    return Finish(context, record, kPsdOk, true);
}

PsdStatus PsdReadPosterize(PsdContext* context, PsdLayerRecord* record)
{
    PsdPosterize* payload = nullptr;
    const PsdStatus status = AppendPayload(context, record, kPsdInfoPosterize, &payload);
    if (status != kPsdOk)
        return status;
    record->kind = kPsdLayerPosterize;
    payload->levels = PsdReadU16(context);
    PsdReadU16(context);
    return Finish(context, record, kPsdOk, true);
}

PsdStatus PsdReadChannelMixer(PsdContext* context, PsdLayerRecord* record)
{
    PsdChannelMixer* payload = nullptr;
    const PsdStatus status = AppendPayload(context, record, kPsdInfoChannelMixer, &payload);
    if (status != kPsdOk)
        return status;
    record->kind = kPsdLayerChannelMixer;
    if (PsdReadU16(context) != 1)
        return Finish(context, record, kPsdBadChannelMixerVersion, false);
    payload->monochrome = uint8_t(PsdReadU16(context) & 0xFF);
    for (int r = 0; r < 4; ++r)
        for (int field = 0; field < 5; ++field)
            payload->values[field][r] = int16_t(PsdReadU16(context));
    return Finish(context, record, kPsdOk, true);
}

PsdStatus PsdReadPhotoFilter(PsdContext* context, PsdLayerRecord* record)
{
    PsdPhotoFilter* payload = nullptr;
    const PsdStatus status = AppendPayload(context, record, kPsdInfoPhotoFilter, &payload);
    if (status != kPsdOk)
        return status;
    record->kind = kPsdLayerPhotoFilter;
    if (PsdReadU16(context) != 3)
        return Finish(context, record, kPsdBadPhotoFilterVersion, false);
    for (int32_t& component : payload->color)
        component = int32_t(PsdReadU32(context) >> 8);
    payload->density = PsdReadU32(context);
    payload->preserveLuminosity = PsdReadBool(context);
    PsdReadU8(context);
    return Finish(context, record, kPsdOk, true);
}

// --- Gradient map ----------------------------------------------------------------

PsdStatus PsdReadGradientMap(PsdContext* context, PsdLayerRecord* record)
{
    PsdGradientMap* map = nullptr;
    PsdStatus status = AppendPayload(context, record, kPsdInfoGradientMap, &map);
    if (status != kPsdOk)
        return status;
    record->kind = kPsdLayerGradientMap;
    if (PsdReadU16(context) != 1)
        return Finish(context, record, kPsdBadGradientMapVersion, false);
    map->reversed = PsdReadBool(context);
    map->dithered = PsdReadBool(context);
    const uint32_t nameLength = PsdReadU32(context);
    status = PsdReadUnicodeUnits(context, nameLength, &map->name);
    if (status != kPsdOk)
        return Finish(context, record, status, false);
    map->nameLength = nameLength;

    const uint16_t colorStops = PsdReadU16(context);
    status = CheckRoom(context, colorStops, 20);
    if (status == kPsdOk && colorStops > 0)
        status = PsdAllocArray(context, colorStops, sizeof(PsdColorStop),
                               reinterpret_cast<void**>(&map->colorStops));
    if (status != kPsdOk)
        return Finish(context, record, status, false);
    map->colorStopCount = colorStops;
    for (uint16_t i = 0; i < colorStops; ++i)
    {
        PsdColorStop& stop = map->colorStops[i];
        stop.location = PsdReadU32(context);
        stop.midpoint = PsdReadU32(context);
        stop.color = PsdReadColor(context);
        PsdReadU16(context);
        stop.type = 2; // user colour
    }

    const uint16_t transparencyStops = PsdReadU16(context);
    status = CheckRoom(context, transparencyStops, 10);
    if (status == kPsdOk && transparencyStops > 0)
        status = PsdAllocArray(context, transparencyStops, sizeof(PsdTransparencyStop),
                               reinterpret_cast<void**>(&map->transparencyStops));
    if (status != kPsdOk)
        return Finish(context, record, status, false);
    map->transparencyStopCount = transparencyStops;
    for (uint16_t i = 0; i < transparencyStops; ++i)
    {
        PsdTransparencyStop& stop = map->transparencyStops[i];
        stop.location = PsdReadU32(context);
        stop.midpoint = PsdReadU32(context);
        stop.opacity = PsdReadU16(context);
    }

    map->expansionCount = PsdReadU16(context);
    if (map->expansionCount > 0)
    {
        map->interpolation = PsdReadU16(context);
        map->length = PsdReadU16(context);
        if (map->length >= 32)
        {
            map->mode = PsdReadU16(context);
            map->randomSeed = PsdReadU32(context);
            map->showTransparency = PsdReadU16(context);
            map->useVectorColor = PsdReadU16(context);
            map->roughness = PsdReadU32(context);
            map->colorModel = PsdReadU16(context);
            int16_t minimum[4], maximum[4];
            for (int16_t& component : minimum)
                component = int16_t(PsdReadU16(context) >> 8);
            for (int16_t& component : maximum)
                component = int16_t(PsdReadU16(context) >> 8);
            PsdColorToArgb(&map->minimumColor, map->colorModel, minimum);
            PsdColorToArgb(&map->maximumColor, map->colorModel, maximum);
        }
    }
    PsdReadU16(context);
    return Finish(context, record, kPsdOk, true);
}

void PsdFreeGradientMap(void* payload)
{
    if (!payload)
        return;
    PsdGradientMap* map = static_cast<PsdGradientMap*>(payload);
    PsdFreeIfSet(map->name);
    PsdFreeIfSet(map->colorStops);
    PsdFreeIfSet(map->transparencyStops);
    PsdFreeMemory(payload);
}

// --- Type tool (legacy "tySh") ---------------------------------------------------

static PsdStatus ReadTypeFaces(PsdContext* context, PsdTypeTool* type)
{
    const uint16_t count = PsdReadU16(context);
    // A face takes at least its mark, type, three empty names, script and axis count.
    PsdStatus status = CheckRoom(context, count, 15);
    if (status == kPsdOk && count > 0)
        status = PsdAllocArray(context, count, sizeof(PsdTypeFace),
                               reinterpret_cast<void**>(&type->faces));
    if (status != kPsdOk)
        return status;
    type->faceCount = count;
    for (uint16_t i = 0; i < count && context->readStatus == kPsdOk; ++i)
    {
        PsdTypeFace& face = type->faces[i];
        face.mark = PsdReadU16(context);
        face.fontType = PsdReadU32(context);
        ReadPascal(context, face.fontName);
        ReadPascal(context, face.familyName);
        ReadPascal(context, face.styleName);
        face.script = PsdReadU16(context);
        const uint32_t axes = PsdReadU32(context);
        status = CheckRoom(context, axes, 4);
        if (status == kPsdOk && axes > 0)
            status = PsdAllocArray(context, axes, sizeof(uint32_t),
                                   reinterpret_cast<void**>(&face.designValues));
        if (status != kPsdOk)
            return status;
        face.designAxisCount = axes;
        for (uint32_t a = 0; a < axes; ++a)
            face.designValues[a] = PsdReadU32(context);
    }
    return context->readStatus;
}

static PsdStatus ReadTypeStyles(PsdContext* context, PsdTypeTool* type)
{
    const uint16_t count = PsdReadU16(context);
    PsdStatus status = CheckRoom(context, count, 27);
    if (status == kPsdOk && count > 0)
        status = PsdAllocArray(context, count, sizeof(PsdTypeStyle),
                               reinterpret_cast<void**>(&type->styles));
    if (status != kPsdOk)
        return status;
    type->styleCount = count;
    for (uint16_t i = 0; i < count; ++i)
    {
        PsdTypeStyle& style = type->styles[i];
        style.mark = PsdReadU16(context);
        style.faceMark = PsdReadU16(context);
        style.size = PsdReadU32(context);
        style.tracking = PsdReadU32(context);
        style.kerning = PsdReadU32(context);
        style.leading = PsdReadU32(context);
        style.baseShift = PsdReadU32(context);
        style.autoKern = PsdReadBool(context);
        PsdReadU8(context);
        style.rotate = PsdReadBool(context);
    }
    return context->readStatus;
}

static PsdStatus ReadTypeLines(PsdContext* context, PsdTypeTool* type)
{
    type->textType = PsdReadU16(context);
    type->scalingFactor = PsdReadU32(context);
    type->characterCount = PsdReadU32(context);
    type->horizontalPlacement = PsdReadU32(context);
    type->verticalPlacement = PsdReadU32(context);
    type->selectStart = PsdReadU32(context);
    type->selectEnd = PsdReadU32(context);
    const uint16_t count = PsdReadU16(context);
    PsdStatus status = CheckRoom(context, count, 12);
    if (status == kPsdOk && count > 0)
        status = PsdAllocArray(context, count, sizeof(PsdTypeLine),
                               reinterpret_cast<void**>(&type->lines));
    if (status != kPsdOk)
        return status;
    type->lineCount = count;
    for (uint16_t i = 0; i < count; ++i)
    {
        PsdTypeLine& line = type->lines[i];
        line.characterCount = PsdReadU32(context);
        line.orientation = PsdReadU16(context);
        line.alignment = PsdReadU16(context);
        line.actualCharacter = PsdReadU16(context);
        line.style = PsdReadU16(context);
    }
    return context->readStatus;
}

PsdStatus PsdReadTypeTool(PsdContext* context, PsdLayerRecord* record)
{
    PsdTypeTool* type = nullptr;
    PsdStatus status = AppendPayload(context, record, kPsdInfoTypeTool, &type);
    if (status != kPsdOk)
        return status;
    type->version = PsdReadU16(context);
    for (double& value : type->transform)
        value = PsdReadF64(context);
    type->fontVersion = PsdReadU16(context);
    status = ReadTypeFaces(context, type);
    if (status == kPsdOk)
        status = ReadTypeStyles(context, type);
    if (status == kPsdOk)
        status = ReadTypeLines(context, type);
    if (status == kPsdOk)
    {
        type->color = PsdReadColor(context);
        type->antiAlias = PsdReadBool(context);
    }
    return Finish(context, record, status, false);
}

void PsdFreeTypeTool(void* payload)
{
    if (!payload)
        return;
    PsdTypeTool* type = static_cast<PsdTypeTool*>(payload);
    for (uint16_t i = 0; type->faces && i < type->faceCount; ++i)
        PsdFreeIfSet(type->faces[i].designValues);
    PsdFreeIfSet(type->faces);
    PsdFreeIfSet(type->styles);
    PsdFreeIfSet(type->lines);
    PsdFreeMemory(payload);
}
