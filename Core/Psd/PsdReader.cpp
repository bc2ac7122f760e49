#include "Core/Psd/PsdReader.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

// --- Memory ----------------------------------------------------------------

void* PsdAlloc(size_t size)
{
    return std::malloc(size ? size : 1);
}

void* PsdAllocZeroed(size_t size)
{
    return std::calloc(size ? size : 1, 1);
}

void* PsdRealloc(void* pointer, size_t size)
{
    return std::realloc(pointer, size ? size : 1);
}

void PsdFreeMemory(void* pointer)
{
    std::free(pointer);
}

void PsdFreeIfSet(void* pointer)
{
    if (pointer)
        PsdFreeMemory(pointer);
}

PsdStatus PsdReserveMemory(PsdContext* context, uint64_t count, uint64_t size, size_t* bytes)
{
    if (size != 0 && count > kPsdMemoryBudget / size)
        return kPsdLimitExceeded;
    const uint64_t total = count * size;
    if (total > kPsdMemoryBudget - context->allocated)
        return kPsdLimitExceeded;
    context->allocated += total;
    *bytes = size_t(total);
    return kPsdOk;
}

PsdStatus PsdAllocArray(PsdContext* context, uint64_t count, uint64_t size, void** out)
{
    size_t bytes = 0;
    const PsdStatus status = PsdReserveMemory(context, count, size, &bytes);
    if (status != kPsdOk)
        return status;
    *out = PsdAllocZeroed(bytes);
    return *out ? kPsdOk : kPsdNoMemory;
}

void PsdReleaseMemory(PsdContext* context, uint64_t bytes)
{
    context->allocated -= std::min(bytes, context->allocated);
}

void PsdFreeArray(PsdContext* context, void* pointer, uint64_t bytes)
{
    if (!pointer)
        return;
    PsdFreeMemory(pointer);
    PsdReleaseMemory(context, bytes);
}

// --- File access -----------------------------------------------------------

FILE* PsdOpenFile(const char* name)
{
    return std::fopen(name, "rb");
}

int64_t PsdGetFileSize(FILE* file)
{
    const off_t position = ftello(file);
    if (position < 0 || fseeko(file, 0, SEEK_END) != 0)
        return -1;
    const off_t size = ftello(file);
    fseeko(file, 0, SEEK_SET);
    fseeko(file, position, SEEK_CUR);
    return size;
}

size_t PsdReadFile(void* destination, size_t count, FILE* file)
{
    return std::fread(destination, 1, count, file);
}

int PsdSeekFile(FILE* file, int64_t count)
{
    return fseeko(file, off_t(count), SEEK_CUR);
}

void PsdCloseFile(FILE* file)
{
    std::fclose(file);
}

void PsdCloseInput(PsdContext* context)
{
    if (context->file)
        PsdCloseFile(context->file);
    context->file = nullptr;
    PsdFreeIfSet(context->buffer);
    context->buffer = nullptr;
    context->bufferFill = 0;
    context->bufferPos = 0;
    // The name was the caller's, needed only to open the file.
    context->fileName = nullptr;
}

// --- Bounded buffered reader -----------------------------------------------

void PsdSetReadStatus(PsdContext* context, PsdStatus status)
{
    if (context->readStatus == kPsdOk)
        context->readStatus = status;
}

int64_t PsdBytesLeft(const PsdContext* context)
{
    return context->limit - context->consumed;
}

bool PsdBlockFailureSkippable(PsdStatus status)
{
    return status != kPsdNoMemory && status != kPsdLimitExceeded && status != kPsdShortRead &&
           status != kPsdBlockOverrun;
}

// Cuts a request to the innermost block and says why when it had to.
static int64_t AllowedCount(PsdContext* context, int64_t count)
{
    if (count < 0)
    {
        PsdSetReadStatus(context, kPsdShortRead);
        return 0;
    }
    const int64_t left = PsdBytesLeft(context);
    if (count <= left)
        return count;
    PsdSetReadStatus(context,
                     context->limit >= context->fileSize ? kPsdShortRead : kPsdBlockOverrun);
    return std::max<int64_t>(left, 0);
}

static bool EnsureBuffer(PsdContext* context)
{
    if (!context->buffer)
        context->buffer = static_cast<uint8_t*>(PsdAlloc(kPsdReadBufferSize));
    return context->buffer != nullptr;
}

int64_t PsdReadBytes(PsdContext* context, void* destination, int64_t count)
{
    count = AllowedCount(context, count);
    if (!destination || count == 0 || !context->file)
        return 0;
    if (!EnsureBuffer(context))
    {
        PsdSetReadStatus(context, kPsdNoMemory);
        return 0;
    }
    uint8_t* out = static_cast<uint8_t*>(destination);
    int64_t delivered = 0;
    // What the buffer still holds comes first.
    const int64_t buffered = context->bufferFill - context->bufferPos;
    if (buffered > 0)
    {
        const int64_t take = std::min(buffered, count);
        std::memcpy(out, context->buffer + context->bufferPos, size_t(take));
        context->bufferPos += int32_t(take);
        delivered = take;
    }
    const int64_t rest = count - delivered;
    if (rest > kPsdReadBufferSize)
    {
        // Large reads bypass the buffer.
        delivered += int64_t(PsdReadFile(out + delivered, size_t(rest), context->file));
    }
    else if (rest > 0)
    {
        context->bufferFill =
            int32_t(PsdReadFile(context->buffer, kPsdReadBufferSize, context->file));
        const int64_t take = std::min<int64_t>(rest, context->bufferFill);
        std::memcpy(out + delivered, context->buffer, size_t(take));
        context->bufferPos = int32_t(take);
        delivered += take;
    }
    context->consumed += delivered;
    if (delivered < count)
        PsdSetReadStatus(context, kPsdShortRead); // the file shrank or failed
    return delivered;
}

int64_t PsdSkipBytes(PsdContext* context, int64_t count)
{
    count = AllowedCount(context, count);
    if (count == 0 || !context->file)
        return 0;
    int64_t skipped = 0;
    const int64_t buffered = context->bufferFill - context->bufferPos;
    if (buffered > 0)
    {
        const int64_t take = std::min(buffered, count);
        context->bufferPos += int32_t(take);
        skipped = take;
    }
    const int64_t rest = count - skipped;
    if (rest > kPsdReadBufferSize)
    {
        // The block limit never lies past the end of the file, so the seek
        // lands inside it.
        if (PsdSeekFile(context->file, rest) == 0)
            skipped += rest;
        context->bufferFill = 0;
        context->bufferPos = 0;
    }
    else if (rest > 0)
    {
        if (!EnsureBuffer(context))
        {
            PsdSetReadStatus(context, kPsdNoMemory);
            return 0;
        }
        context->bufferFill =
            int32_t(PsdReadFile(context->buffer, kPsdReadBufferSize, context->file));
        const int64_t take = std::min<int64_t>(rest, context->bufferFill);
        context->bufferPos = int32_t(take);
        skipped += take;
    }
    context->consumed += skipped;
    if (skipped < count)
        PsdSetReadStatus(context, kPsdShortRead);
    return skipped;
}

void PsdBeginBlock(PsdContext* context, int64_t length, int64_t pad, PsdBlock* block)
{
    block->outerLimit = context->limit;
    int64_t end = context->consumed + std::max<int64_t>(length, 0);
    if (end > context->limit)
    {
        PsdSetReadStatus(context,
                         context->limit >= context->fileSize ? kPsdShortRead : kPsdBlockOverrun);
        end = context->limit;
    }
    else
    {
        end = std::min(end + pad, context->limit);
    }
    block->end = end;
    context->limit = end;
}

void PsdEndBlock(PsdContext* context, const PsdBlock* block)
{
    if (context->consumed < block->end)
        PsdSkipBytes(context, block->end - context->consumed);
    context->limit = block->outerLimit;
}

// --- Primitive readers -----------------------------------------------------

uint8_t PsdReadU8(PsdContext* context)
{
    uint8_t value = 0;
    return PsdReadBytes(context, &value, 1) == 1 ? value : 0;
}

bool PsdReadBool(PsdContext* context)
{
    return PsdReadU8(context) != 0;
}

uint16_t PsdReadU16(PsdContext* context)
{
    uint8_t bytes[2];
    if (PsdReadBytes(context, bytes, 2) != 2)
        return 0;
    return uint16_t(bytes[0] << 8 | bytes[1]);
}

uint32_t PsdReadU32(PsdContext* context)
{
    uint8_t bytes[4];
    if (PsdReadBytes(context, bytes, 4) != 4)
        return 0;
    return uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 |
           uint32_t(bytes[3]);
}

double PsdReadF64(PsdContext* context)
{
    uint8_t bytes[8];
    if (PsdReadBytes(context, bytes, 8) != 8)
        return 0.0;
    uint64_t bits = 0;
    for (uint8_t byte : bytes)
        bits = bits << 8 | byte;
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

uint32_t PsdReadColor(PsdContext* context)
{
    const int space = int16_t(PsdReadU16(context));
    int16_t components[4];
    // Only the high byte of each component counts, taken with its sign.
    for (int16_t& component : components)
        component = int16_t(int16_t(PsdReadU16(context)) >> 8);
    uint32_t color = 0;
    if (PsdColorToArgb(&color, space, components) != kPsdOk)
        return 0x00FFFFFF;
    return color;
}

int32_t PsdBlendModeFromKey(uint32_t key)
{
    static const uint32_t keys[] = {
        PsdKey("norm"), PsdKey("diss"), PsdKey("dark"), PsdKey("mul "), PsdKey("idiv"),
        PsdKey("lbrn"), PsdKey("lite"), PsdKey("scrn"), PsdKey("div "), PsdKey("lddg"),
        PsdKey("over"), PsdKey("sLit"), PsdKey("hLit"), PsdKey("vLit"), PsdKey("lLit"),
        PsdKey("pLit"), PsdKey("hMix"), PsdKey("diff"), PsdKey("smud"), PsdKey("hue "),
        PsdKey("sat "), PsdKey("colr"), PsdKey("lum "), PsdKey("pass"),
    };
    for (int32_t i = 0; i < int32_t(sizeof keys / sizeof keys[0]); ++i)
        if (keys[i] == key)
            return i;
    return 0;
}

int32_t PsdReadBlendModeKey(PsdContext* context)
{
    return PsdBlendModeFromKey(PsdReadU32(context));
}

int32_t PsdDoubleToInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= double(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    if (value <= double(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    return int32_t(value);
}

PsdStatus PsdReadUnicodeUnits(PsdContext* context, uint32_t count, uint16_t** out)
{
    *out = nullptr;
    if (uint64_t(count) * 2 > uint64_t(std::max<int64_t>(PsdBytesLeft(context), 0)))
        return context->limit >= context->fileSize ? kPsdShortRead : kPsdBlockOverrun;
    void* units = nullptr;
    const PsdStatus status = PsdAllocArray(context, count, 2, &units);
    if (status != kPsdOk)
        return status;
    uint16_t* text = static_cast<uint16_t*>(units);
    for (uint32_t i = 0; i < count; ++i)
        text[i] = PsdReadU16(context);
    *out = text;
    return kPsdOk;
}

// --- Block readers ---------------------------------------------------------

PsdStatus PsdReadUnicodeName(PsdContext* context, PsdLayerRecord* record)
{
    const uint32_t count = PsdReadU32(context);
    PsdFreeIfSet(record->unicodeName);
    record->unicodeName = nullptr;
    record->unicodeNameLength = 0;
    const PsdStatus status = PsdReadUnicodeUnits(context, count, &record->unicodeName);
    if (status == kPsdOk)
        record->unicodeNameLength = count;
    return status;
}

PsdStatus PsdReadSheetColor(PsdContext* context, PsdLayerRecord* record)
{
    int16_t components[4];
    for (int16_t& component : components)
        component = PsdReadU8(context);
    PsdColorToArgb(&record->sheetColor, 0, components);
    PsdSkipBytes(context, 4);
    return kPsdOk;
}

PsdStatus PsdReadSectionDivider(PsdContext* context, PsdLayerRecord* record, uint32_t length)
{
    record->sectionType = PsdReadU32(context);
    if (record->sectionType == 1 || record->sectionType == 2)
        record->kind = kPsdLayerFolder;
    else if (record->sectionType == 3)
        record->kind = kPsdLayerFolderEnd;
    // Blocks of 16 bytes add a sub-type after the blend key; the key is there
    // all the same.
    if (length >= 12)
    {
        if (PsdReadU32(context) != PsdKey("8BIM"))
            return context->readStatus != kPsdOk ? context->readStatus : kPsdBadSectionSignature;
        record->sectionBlendMode = PsdReadBlendModeKey(context);
    }
    return kPsdOk;
}

PsdStatus PsdReadBlendingRestrictions(PsdContext* context, uint32_t length, PsdLayerRecord* record)
{
    for (uint32_t i = 0; i < length / 4 && context->readStatus == kPsdOk; ++i)
    {
        const int32_t id = int32_t(PsdReadU32(context));
        for (int c = 0; c < record->channelCount; ++c)
        {
            if (record->channels[c].id == id)
            {
                record->channels[c].restricted = 1;
                break;
            }
        }
    }
    return kPsdOk;
}

PsdStatus PsdReadGlobalLayerMask(PsdContext* context)
{
    const uint32_t length = PsdReadU32(context);
    if (length == 0)
        return kPsdOk;
    PsdBlock block;
    PsdBeginBlock(context, length, 0, &block);
    context->globalMaskColor = PsdReadColor(context);
    context->globalMaskOpacity = PsdReadU16(context);
    context->globalMaskKind = PsdReadU8(context);
    PsdEndBlock(context, &block);
    return kPsdOk;
}

// --- Stage loop and the public entry points ---------------------------------

PsdStatus PsdRunStages(PsdContext* context)
{
    for (;;)
    {
        if (context->fileSize < 1)
            return kPsdShortRead;
        PsdStatus status = kPsdOk;
        int32_t next = 0;
        switch (context->stage)
        {
        case 0:
            status = PsdReadFileHeader(context);
            next = context->loadOption == 1 ? 5 : 1;
            break;
        case 1:
            status = PsdReadColorModeData(context);
            next = 2;
            break;
        case 2:
            status = PsdReadImageResources(context);
            next = 3;
            break;
        case 3:
            status = PsdReadLayerAndMaskSection(context);
            next = 4;
            break;
        case 4:
            status = PsdReadImageData(context);
            next = 5;
            break;
        case 5:
            return kPsdOk;
        default:
            return kPsdBadStage;
        }
        // A stage that read past its data fails with that, whatever else it
        // concluded.
        if (status == kPsdOk)
            status = context->readStatus;
        if (status == kPsdBadStage)
            return kPsdHeaderStageFailed - context->stage;
        if (status != kPsdOk)
            return status;
        context->stage = next;
    }
}

PsdStatus PsdOpenDocument(const char* fileName, int32_t loadOption, PsdContext** out)
{
    if (!out)
        return kPsdNullArgument;
    if (!fileName)
        return kPsdCannotOpen;
    PsdContext* context = static_cast<PsdContext*>(PsdAllocZeroed(sizeof(PsdContext)));
    if (!context)
        return kPsdNoMemory;
    context->fileName = fileName;
    context->file = PsdOpenFile(fileName);
    if (!context->file)
    {
        PsdFreeMemory(context);
        return kPsdCannotOpen;
    }
    context->stage = 0;
    context->fileSize = PsdGetFileSize(context->file);
    context->limit = std::max<int64_t>(context->fileSize, 0);
    context->loadOption = loadOption;
    context->allocated = sizeof(PsdContext);

    const PsdStatus status = PsdRunStages(context);
    if (status != kPsdOk)
    {
        PsdFreeDocument(context);
        *out = nullptr;
        return status;
    }
    PsdCloseInput(context);
    *out = context;
    return kPsdOk;
}

PsdStatus PsdLoadDocument(const char* fileName, PsdContext** out)
{
    return PsdOpenDocument(fileName, 0, out);
}

PsdStatus PsdFreeDocument(PsdContext* context)
{
    if (!context)
        return kPsdNullArgument;
    PsdFreePalette(context);
    PsdFreeResourceData(context);
    PsdFreeAlphaChannels(context);
    PsdFreeLayers(context);
    PsdFreePatterns(context);
    PsdFreeDecodeBuffers(context);
    PsdFreeImageData(context);
    PsdCloseInput(context);
    PsdFreeMemory(context);
    return kPsdOk;
}
