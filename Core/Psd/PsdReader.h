#pragma once

// The reader's inside: the bounded buffered reader every stage reads through,
// the primitive readers, memory and file wrappers, and the stage functions.

#include "Core/Psd/Psd.h"

// --- Memory ----------------------------------------------------------------

void* PsdAlloc(size_t size);
void* PsdAllocZeroed(size_t size);
void* PsdRealloc(void* pointer, size_t size);
void PsdFreeMemory(void* pointer);
void PsdFreeIfSet(void* pointer);

// Charges count * size bytes against the document's memory budget before an
// allocation: kPsdLimitExceeded when the product overflows or the budget is
// spent, else 0 with the byte count in *bytes.
PsdStatus PsdReserveMemory(PsdContext* context, uint64_t count, uint64_t size, size_t* bytes);
// Reserves and allocates zero-filled memory: 0, kPsdLimitExceeded or kPsdNoMemory.
PsdStatus PsdAllocArray(PsdContext* context, uint64_t count, uint64_t size, void** out);
// Credits bytes back to the budget once their memory is freed, so that it
// counts only what is alive at once.
void PsdReleaseMemory(PsdContext* context, uint64_t bytes);
// Frees an array of `bytes` bytes charged to the budget, if set, and credits it.
void PsdFreeArray(PsdContext* context, void* pointer, uint64_t bytes);

// --- File access -----------------------------------------------------------

FILE* PsdOpenFile(const char* name);
int64_t PsdGetFileSize(FILE* file);
size_t PsdReadFile(void* destination, size_t count, FILE* file);
int PsdSeekFile(FILE* file, int64_t count);
void PsdCloseFile(FILE* file);
void PsdCloseInput(PsdContext* context);

// --- Bounded buffered reader -----------------------------------------------

// Both deliver at most up to the innermost block's end; asking for more marks
// the sticky read status (kPsdShortRead at the end of the file,
// kPsdBlockOverrun at the end of a block) and delivers what there is.
int64_t PsdReadBytes(PsdContext* context, void* destination, int64_t count);
int64_t PsdSkipBytes(PsdContext* context, int64_t count);

// Bytes between the read position and the innermost block's end.
int64_t PsdBytesLeft(const PsdContext* context);
// Whether a failure inside a block may be dropped with the block, reading
// going on after its known end: anything but a read past the block or the
// file (damage) and running out of memory or budget.
bool PsdBlockFailureSkippable(PsdStatus status);
// Marks the sticky read status unless it is already marked.
void PsdSetReadStatus(PsdContext* context, PsdStatus status);

// A length-prefixed structure: while it is open, reads stop at its end;
// closing it skips to its end whatever was read. A block that reaches past
// its enclosing one marks the read status and is cut to the enclosing end;
// `pad` bytes of rounding may be missing at the end without complaint.
struct PsdBlock
{
    int64_t end;
    int64_t outerLimit;
};
void PsdBeginBlock(PsdContext* context, int64_t length, int64_t pad, PsdBlock* block);
void PsdEndBlock(PsdContext* context, const PsdBlock* block);

uint8_t PsdReadU8(PsdContext* context);
bool PsdReadBool(PsdContext* context);
uint16_t PsdReadU16(PsdContext* context);
uint32_t PsdReadU32(PsdContext* context);
double PsdReadF64(PsdContext* context);
uint32_t PsdReadColor(PsdContext* context);
int32_t PsdReadBlendModeKey(PsdContext* context);
int32_t PsdBlendModeFromKey(uint32_t key);

// Reads n UTF-16 units (big-endian in the file) into a new host-order array;
// n must fit in the bytes left.
PsdStatus PsdReadUnicodeUnits(PsdContext* context, uint32_t count, uint16_t** out);

// A double from the file as an integer: truncated toward zero, NaN as 0,
// clamped to the int32 range.
int32_t PsdDoubleToInt(double value);

constexpr uint32_t PsdKey(const char (&text)[5])
{
    return uint32_t(uint8_t(text[0])) << 24 | uint32_t(uint8_t(text[1])) << 16 |
           uint32_t(uint8_t(text[2])) << 8 | uint32_t(uint8_t(text[3]));
}

// --- Block readers of the layer records ------------------------------------

PsdStatus PsdReadUnicodeName(PsdContext* context, PsdLayerRecord* record);
PsdStatus PsdReadSheetColor(PsdContext* context, PsdLayerRecord* record);
PsdStatus PsdReadSectionDivider(PsdContext* context, PsdLayerRecord* record, uint32_t length);
PsdStatus PsdReadBlendingRestrictions(PsdContext* context, uint32_t length, PsdLayerRecord* record);
PsdStatus PsdReadGlobalLayerMask(PsdContext* context);

// --- Stages ------------------------------------------------------------------

PsdStatus PsdRunStages(PsdContext* context);
PsdStatus PsdReadFileHeader(PsdContext* context);
PsdStatus PsdReadColorModeData(PsdContext* context);
PsdStatus PsdReadImageResources(PsdContext* context);
PsdStatus PsdReadLayerAndMaskSection(PsdContext* context);
PsdStatus PsdReadLayerRecords(PsdContext* context);
PsdStatus PsdReadChannelImageData(PsdContext* context, PsdLayerRecord* record);
PsdStatus PsdReadImageData(PsdContext* context);

// Decodes a JPEG thumbnail of compressedSize bytes at the read position into
// a new ARGB array of the context's thumbnail size.
PsdStatus PsdReadThumbnailJpeg(uint32_t** pixels, uint32_t compressedSize, PsdContext* context);
PsdStatus PsdSkipThumbnailRaw(uint32_t** pixels, uint32_t compressedSize, PsdContext* context);

// --- Adjustment readers ("levl" ... "tySh") ----------------------------------

PsdStatus PsdReadLevels(PsdContext* context, PsdLayerRecord* record, uint32_t length);
PsdStatus PsdReadCurves(PsdContext* context, PsdLayerRecord* record, uint32_t length);
PsdStatus PsdReadBrightnessContrast(PsdContext* context, PsdLayerRecord* record);
PsdStatus PsdReadColorBalance(PsdContext* context, PsdLayerRecord* record);
PsdStatus PsdReadHueSaturation(PsdContext* context, PsdLayerRecord* record);
PsdStatus PsdReadSelectiveColor(PsdContext* context, PsdLayerRecord* record);
PsdStatus PsdReadThreshold(PsdContext* context, PsdLayerRecord* record);
PsdStatus PsdReadInvert(PsdContext* context, PsdLayerRecord* record);
PsdStatus PsdReadPosterize(PsdContext* context, PsdLayerRecord* record);
PsdStatus PsdReadChannelMixer(PsdContext* context, PsdLayerRecord* record);
PsdStatus PsdReadGradientMap(PsdContext* context, PsdLayerRecord* record);
PsdStatus PsdReadPhotoFilter(PsdContext* context, PsdLayerRecord* record);
PsdStatus PsdReadTypeTool(PsdContext* context, PsdLayerRecord* record);

// Appends a block of `kind` with a zero-filled payload of `size` bytes (none
// for 0) to the record's list, so that the payload is released with the
// record whatever happens later: kPsdListFull when the list is full.
PsdStatus PsdAppendLayerBlock(PsdContext* context, PsdLayerRecord* record, int32_t kind,
                              size_t size, void** payload);

// --- Fill layers ("SoCo", "GdFl", "PtFl") -------------------------------------

PsdStatus PsdReadSolidColorFill(PsdContext* context, PsdLayerRecord* record);
PsdStatus PsdReadGradientFill(PsdContext* context, PsdLayerRecord* record);
PsdStatus PsdReadPatternFill(PsdContext* context, PsdLayerRecord* record);

// --- Layer effects ("lrFX", "lfx2") -------------------------------------------

PsdStatus PsdReadLayerEffects(PsdContext* context, PsdLayerRecord* record);
PsdStatus PsdReadObjectEffects(PsdContext* context, PsdLayerRecord* record);

// --- Descriptors -------------------------------------------------------------------
//
// The descriptor readers report nothing themselves: what cannot be read marks
// the sticky read status (a short read, an overrun, kPsdBadDescriptor for an
// unknown item type or nesting past kPsdMaxDescriptorDepth, kPsdListFull, an
// allocation failure), and every loop stops once it is marked.

// A key: text of `length` bytes (the first 255 kept, terminated), or a
// four-character code, kept as its four characters with length 4.
struct PsdDescriptorKey
{
    uint32_t length;
    char text[256];
};
void PsdReadDescriptorKey(PsdContext* context, PsdDescriptorKey* key);
bool PsdKeyIs(const PsdDescriptorKey* key, const char* text);

// Reads a descriptor's class name and class id (*classId is the four-character
// id, 0 for a text id) and returns its item count.
uint32_t PsdReadDescriptorHead(PsdContext* context, uint32_t* classId);
// Whether a loop over a descriptor's or list's items may go on.
bool PsdDescriptorGoesOn(const PsdContext* context);

// Reads a descriptor's head (see PsdReadDescriptorHead) and hands each item's
// key and type to read(key, type), which reads or skips the item's value. Stops
// at the first failed read.
template <typename Read> void PsdForEachDescriptorItem(PsdContext* context, uint32_t* classId, Read read)
{
    const uint32_t count = PsdReadDescriptorHead(context, classId);
    for (uint32_t i = 0; i < count && PsdDescriptorGoesOn(context); ++i)
    {
        PsdDescriptorKey key;
        PsdReadDescriptorKey(context, &key);
        const uint32_t type = PsdReadU32(context);
        read(key, type);
    }
}

void PsdSkipDescriptorItem(uint32_t type, PsdContext* context);
void PsdSkipDescriptor(PsdContext* context);
void PsdSkipList(PsdContext* context);
void PsdSkipReference(PsdContext* context);
void PsdSkipEnum(PsdContext* context);
void PsdSkipClass(PsdContext* context);

// Item values: each reads the value when the item has the type its key calls
// for, else skips it by its type and leaves the target as it was; true when
// the target was set.
bool PsdReadBoolItem(PsdContext* context, uint32_t type, bool* out);
bool PsdReadNumberItem(PsdContext* context, uint32_t type, double* out);
bool PsdReadIntegerItem(PsdContext* context, uint32_t type, int32_t* out);
// A percentage as an 8-bit opacity: p * 2.55 + 0.5, clamped.
bool PsdReadOpacityItem(PsdContext* context, uint32_t type, uint8_t* out);
// An enumeration's value key (its type id skipped).
bool PsdReadEnumItem(PsdContext* context, uint32_t type, PsdDescriptorKey* value);
bool PsdReadColorItem(PsdContext* context, uint32_t type, uint32_t* out);
bool PsdReadBlendModeItem(PsdContext* context, uint32_t type, int32_t* out);
bool PsdReadTechniqueItem(PsdContext* context, uint32_t type, int32_t* out);
bool PsdReadGradientStyleItem(PsdContext* context, uint32_t type, int32_t* out);
bool PsdReadGradientItem(PsdContext* context, uint32_t type, PsdGradient* out);
bool PsdReadPatternRefItem(PsdContext* context, uint32_t type, PsdPatternRef* out);
bool PsdReadPointItem(PsdContext* context, uint32_t type, int32_t* x, int32_t* y);
bool PsdReadContourItem(PsdContext* context, uint32_t type, uint8_t* table);

// The structures, read once the item's key and type are consumed.
uint32_t PsdReadColorDescriptor(PsdContext* context);
// The enumerations' value keys, read once the caller consumed the type id.
int32_t PsdReadBlendModeEnum(PsdContext* context);
int32_t PsdReadTechniqueEnum(PsdContext* context);
int32_t PsdReadGradientStyleEnum(PsdContext* context);
int32_t PsdBlendModeFromEnum(const PsdDescriptorKey* key);
void PsdReadGradient(PsdGradient* gradient, PsdContext* context);
void PsdReadPatternRef(PsdPatternRef* pattern, PsdContext* context);
void PsdReadPoint(int32_t* x, int32_t* y, PsdContext* context);
void PsdReadContour(uint8_t* table, PsdContext* context);
void PsdIdentityContour(uint8_t* table);

// --- Patterns ("Patt", "Pat2") ---------------------------------------------------

// Reads one pattern record and appends it to the context's patterns; one
// that cannot be read within its length is left out.
PsdStatus PsdReadPattern(PsdContext* context);

// --- Merged image converters -------------------------------------------------

PsdStatus PsdCombineBitmap(PsdContext* context);
PsdStatus PsdCombineGray8(PsdContext* context);
PsdStatus PsdCombineGray16(PsdContext* context);
PsdStatus PsdCombineIndexed(PsdContext* context);
PsdStatus PsdCombineRgb8(PsdContext* context);
PsdStatus PsdCombineRgb16(PsdContext* context);
PsdStatus PsdCombineCmyk8(PsdContext* context);
PsdStatus PsdCombineCmyk16(PsdContext* context);
PsdStatus PsdCombineMultichannel(PsdContext* context);
PsdStatus PsdCombineLab8(PsdContext* context);
PsdStatus PsdCombineLab16(PsdContext* context);

// The planes one image converts from: the colour channels in the mode's
// order and the transparency, each null when missing (read as 0 for colour
// and 255 for transparency).
struct PsdPlanes
{
    const uint8_t* color[4];
    const uint8_t* alpha;
};
// Converts width * height samples of the given depth by colour mode into ARGB.
// `merged` selects the merged image's multichannel rule (fourth ink from the
// fourth plane) over the layers' (from the transparency).
void PsdConvertPlanes(const PsdContext* context, const PsdPlanes* planes, uint32_t width,
                      uint32_t height, bool merged, uint32_t* out);
// What a conversion needs to know of its image besides the planes.
struct PsdPlaneFormat
{
    int32_t mode;
    int depth;
    const uint32_t* palette;
    int64_t indexedCount;   // palette entries in use
    int transparentIndex;   // -1 for none
};
void PsdConvertPlanesAs(const PsdPlaneFormat* format, const PsdPlanes* planes, uint32_t width,
                        uint32_t height, bool merged, uint32_t* out);
// Whether `input` compressed bytes can decode to `output` bytes by the
// compression method (0 raw, 1 PackBits, 2 and 3 zlib).
bool PsdPlausibleOutput(int compression, uint64_t input, uint64_t output);
// Bytes of one channel of width * height samples at the depth.
uint64_t PsdChannelBytes(uint64_t width, uint64_t height, int depth);
// The colour channels of a mode, not counting transparency.
int PsdModeColorCount(int32_t mode, uint16_t colorChannelCount);

// --- Teardown ----------------------------------------------------------------

void PsdFreeLayerRecord(PsdLayerRecord* record);
void PsdFreeLayers(PsdContext* context);
void PsdFreeDecodeBuffers(PsdContext* context);
void PsdFreeImageData(PsdContext* context);
void PsdFreeAlphaChannels(PsdContext* context);
void PsdFreeResourceData(PsdContext* context);
void PsdFreePalette(PsdContext* context);
void PsdFreeLevels(void* payload);
void PsdFreeCurves(void* payload);
void PsdFreeGradientMap(void* payload);
void PsdFreeTypeTool(void* payload);
void PsdFreeGradientFill(void* payload);
void PsdFreePatternFill(void* payload);
void PsdFreeLayerEffects(void* payload);
void PsdFreeGradient(PsdGradient* gradient);
void PsdFreePatternRef(PsdPatternRef* pattern);
void PsdFreePatterns(PsdContext* context);
