#pragma once

// The PSD reader: plain functions over one document context. Every function
// returns a signed status (0 success, negative failure) and never logs; the
// caller decides what to report.

#include <cstddef>
#include <cstdint>
#include <cstdio>

typedef int32_t PsdStatus;

enum : PsdStatus
{
    kPsdOk = 0,
    kPsdNullArgument = -1,
    kPsdCannotOpen = -2,
    kPsdBadStage = -3,
    kPsdNoMemory = -4,
    kPsdShortRead = -5,
    kPsdHeaderStageFailed = -10,
    kPsdColorModeStageFailed = -11,
    kPsdResourcesStageFailed = -12,
    kPsdLayersStageFailed = -13,
    kPsdImageDataStageFailed = -14,
    kPsdUnknownColorSpace = -15,
    kPsdBadDepth = -18,
    kPsdBadColorMode = -19,
    kPsdBadCompression = -20,
    kPsdInflateFailed = -101,
    kPsdBadSignature = -200,
    kPsdBadVersion = -201,
    kPsdBadResourceSignature = -400,
    kPsdBadThumbnail = -401,
    kPsdBadLayerSignature = -500,
    kPsdBadLevelsVersion = -503,
    kPsdMissingLevelsExtension = -505,
    kPsdLevelsLengthMismatch = -506,
    kPsdBadLevelsExtensionVersion = -507,
    kPsdBadCurvesVersion = -508,
    kPsdMissingCurvesExtension = -509,
    kPsdBadCurvesExtensionVersion = -510,
    kPsdBadHueSaturationVersion = -511,
    kPsdBadSelectiveColorVersion = -512,
    kPsdBadChannelMixerVersion = -513,
    kPsdBadPhotoFilterVersion = -514,
    kPsdBadGradientMapVersion = -515,
    kPsdBadEffectsVersion = -516,
    kPsdBadEffectSignature = -517,
    kPsdUnknownEffect = -518,
    kPsdBadCommonStateVersion = -519,
    kPsdBadShadowVersion = -520,
    kPsdBadOuterGlowVersion = -521,
    kPsdBadInnerGlowVersion = -522,
    kPsdBadBevelVersion = -523,
    kPsdBadSolidFillVersion = -524,
    kPsdBadSolidColorFillVersion = -525,
    kPsdBadGradientFillVersion = -526,
    kPsdBadBlockSignature = -528,
    kPsdBadSectionSignature = -529,
    kPsdBadPatternFillVersion = -530,
    kPsdBadPatternVersion = -531,
    // Refusals of input that the format allows in principle but that no sane
    // document holds: sizes past the limits below, or past the memory budget.
    kPsdLimitExceeded = -600,
    // A structure claims more bytes than its enclosing block declares.
    kPsdBlockOverrun = -601,
    // More entries than a fixed list of the record holds.
    kPsdListFull = -602,
    // Compressed data that cannot be what it claims (row tables or runs past
    // their input, output past its channel).
    kPsdCorruptData = -603,
    // A descriptor nested deeper than kPsdMaxDescriptorDepth, or an item of a
    // type no descriptor has.
    kPsdBadDescriptor = -604,
};

// Limits of what a document may ask for.
constexpr uint32_t kPsdMaxImageSide = 30000;      // the format's own limit
constexpr uint32_t kPsdMaxChannels = 56;          // likewise
constexpr int64_t kPsdMaxLayerSide = 65535;       // layers may reach past the canvas
constexpr uint64_t kPsdMemoryBudget = 1ull << 30; // bytes a document may allocate
constexpr uint32_t kPsdMaxThumbnailSide = 1024;     // thumbnails are 160 pixels or so
// Most bytes one compressed byte can stand for: zlib reaches 1032, PackBits
// 64. Data that claims more output than its input can give is corrupt; the
// slack lets tiny streams fill small channels.
constexpr uint64_t kPsdMaxZipRatio = 1100;
constexpr uint64_t kPsdMaxRleRatio = 64;
constexpr uint64_t kPsdRatioSlack = 65536;

constexpr int kPsdMaxLayerBlocks = 20;
constexpr int kPsdMaxCurvePoints = 19;
constexpr int kPsdMaxDescriptorDepth = 32;
constexpr int kPsdMaxContourPoints = 256;
constexpr int kPsdReadBufferSize = 4096;

enum PsdColorMode
{
    kPsdModeBitmap = 0,
    kPsdModeGrayscale = 1,
    kPsdModeIndexed = 2,
    kPsdModeRgb = 3,
    kPsdModeCmyk = 4,
    kPsdModeMultichannel = 7,
    kPsdModeDuotone = 8,
    kPsdModeLab = 9,
};

enum PsdLayerKind
{
    kPsdLayerNormal = 0,
    kPsdLayerFolderEnd = 1,
    kPsdLayerFolder = 2,
    kPsdLayerSolidColorFill = 3,
    kPsdLayerGradientFill = 4,
    kPsdLayerLevels = 6,
    kPsdLayerCurves = 7,
    kPsdLayerBrightnessContrast = 8,
    kPsdLayerColorBalance = 9,
    kPsdLayerHueSaturation = 10,
    kPsdLayerSelectiveColor = 11,
    kPsdLayerThreshold = 12,
    kPsdLayerInvert = 13,
    kPsdLayerPosterize = 14,
    kPsdLayerChannelMixer = 15,
    kPsdLayerGradientMap = 16,
    kPsdLayerPhotoFilter = 17,
    kPsdLayerPatternFill = 19,
};

enum PsdLayerInfoKind
{
    kPsdInfoLevels = 1,
    kPsdInfoCurves = 2,
    kPsdInfoBrightnessContrast = 3,
    kPsdInfoColorBalance = 4,
    kPsdInfoHueSaturation = 5,
    kPsdInfoSelectiveColor = 6,
    kPsdInfoThreshold = 7,
    kPsdInfoInvert = 8,
    kPsdInfoPosterize = 9,
    kPsdInfoChannelMixer = 10,
    kPsdInfoGradientMap = 11,
    kPsdInfoPhotoFilter = 12,
    kPsdInfoTypeTool = 13,
    kPsdInfoLayerEffects = 15,
    kPsdInfoObjectEffects = 16,
    kPsdInfoSolidColorFill = 17,
    kPsdInfoGradientFill = 18,
    kPsdInfoPatternFill = 19,
};

// --- Adjustment payloads (owned by the layer record's block list) ---------

struct PsdLevelRecord
{
    uint16_t inputFloor, inputCeiling, outputFloor, outputCeiling;
    float gamma;
};

struct PsdLevels
{
    PsdLevelRecord records[29];
    int32_t extraCount;
    PsdLevelRecord* extra;
};

struct PsdCurve
{
    uint16_t channel;
    uint16_t pointCount;
    uint16_t outputs[kPsdMaxCurvePoints];
    uint16_t inputs[kPsdMaxCurvePoints];
};

struct PsdCurves
{
    int32_t count;
    PsdCurve* curves;
};

struct PsdBrightnessContrast
{
    uint16_t brightness, contrast, mean;
    uint8_t labOnly;
};

struct PsdColorBalance
{
    int16_t shadows[3], midtones[3], highlights[3];
    uint8_t preserveLuminosity;
};

struct PsdHueSaturation
{
    uint8_t colorize;
    uint16_t colorizeHue, colorizeSaturation, colorizeLightness;
    uint16_t masterHue, masterSaturation, masterLightness;
    uint16_t ranges[6][4];
    uint16_t settings[6][3];
};

struct PsdSelectiveColor
{
    uint16_t method;
    int16_t cyan[10], magenta[10], yellow[10], black[10];
};

struct PsdThreshold
{
    uint16_t level;
};

struct PsdPosterize
{
    uint16_t levels;
};

struct PsdChannelMixer
{
    uint8_t monochrome;
    // values[field][record]: four records (red, green, blue output and one
    // more) of five fields each.
    int16_t values[5][4];
};

struct PsdColorStop
{
    uint32_t location, midpoint;
    uint32_t color;
    int32_t type;
};

struct PsdTransparencyStop
{
    uint32_t location, midpoint;
    uint16_t opacity;
};

struct PsdGradientMap
{
    bool reversed, dithered;
    uint32_t nameLength;
    uint16_t* name;
    uint16_t colorStopCount;
    PsdColorStop* colorStops;
    uint16_t transparencyStopCount;
    PsdTransparencyStop* transparencyStops;
    uint16_t expansionCount, interpolation, length, mode;
    uint32_t randomSeed;
    uint16_t showTransparency, useVectorColor;
    uint32_t roughness;
    uint16_t colorModel;
    uint32_t minimumColor, maximumColor;
};

struct PsdPhotoFilter
{
    int32_t color[3];
    uint32_t density;
    bool preserveLuminosity;
};

struct PsdTypeFace
{
    uint16_t mark;
    uint32_t fontType;
    char fontName[256], familyName[256], styleName[256];
    uint16_t script;
    uint32_t designAxisCount;
    uint32_t* designValues;
};

struct PsdTypeStyle
{
    uint16_t mark, faceMark;
    uint32_t size, tracking, kerning, leading, baseShift;
    bool autoKern, rotate;
};

struct PsdTypeLine
{
    uint32_t characterCount;
    uint16_t orientation, alignment, actualCharacter, style;
};

struct PsdTypeTool
{
    uint16_t version;
    double transform[6];
    uint16_t fontVersion;
    uint16_t faceCount;
    PsdTypeFace* faces;
    uint16_t styleCount;
    PsdTypeStyle* styles;
    uint16_t textType;
    uint32_t scalingFactor, characterCount, horizontalPlacement, verticalPlacement, selectStart,
        selectEnd;
    uint16_t lineCount;
    PsdTypeLine* lines;
    uint32_t color;
    bool antiAlias;
};

// --- Descriptor structures (gradients, pattern references, fills) ---------

struct PsdGradient
{
    int32_t smoothness;
    uint32_t nameLength;
    uint16_t* name;
    uint16_t colorStopCount;
    PsdColorStop* colorStops; // stop types: 0 foreground, 1 background, 2 user colour
    uint16_t transparencyStopCount;
    PsdTransparencyStop* transparencyStops;
};

struct PsdPatternRef
{
    uint32_t nameLength;
    uint16_t* name;
    char identifier[256]; // one byte per identifier unit, terminated
};

// "SoCo"
struct PsdSolidColorFill
{
    uint32_t classId;
    uint32_t color;
};

// "GdFl"
struct PsdGradientFill
{
    uint32_t classId;
    PsdGradient gradient;
    bool align, dithered, reversed;
    double angle;
    int32_t scale;
    int32_t style; // 0 linear, 1 radial, 2 angle, 3 reflected, 4 diamond
};

// "PtFl"
struct PsdPatternFill
{
    uint32_t classId;
    PsdPatternRef pattern;
    int32_t scale;
};

// A pattern of the "Patt" and "Pat2" blocks, converted to ARGB.
struct PsdPattern
{
    int32_t imageMode; // as the header's colour modes
    uint16_t height, width;
    uint32_t nameLength;
    uint16_t* name;
    char identifier[256];
    uint32_t arrayVersion;
    uint16_t top, left, bottom, right;
    int32_t depth; // bits per sample of the decoded channels
    int32_t channelsDecoded;
    uint32_t* pixels; // width * height ARGB, rows top to bottom
};

// --- Layer effects ("lrFX", "lfx2") -------------------------------------------

// Indices of the effects' present and visible flags.
enum PsdEffectIndex
{
    kPsdEffectDropShadow = 0,
    kPsdEffectInnerShadow = 1,
    kPsdEffectOuterGlow = 2,
    kPsdEffectInnerGlow = 3,
    kPsdEffectSatin = 4,
    kPsdEffectColorOverlay = 5,
    kPsdEffectGradientOverlay = 6,
    kPsdEffectPatternOverlay = 7,
    kPsdEffectStroke = 8,
    kPsdEffectBevel = 9,
    kPsdEffectCount = 10,
};

// A contour maps an input level to an output level; identity by default.
typedef uint8_t PsdContour[256];

// Drop shadow and inner shadow.
struct PsdShadowEffect
{
    bool enabled;
    int32_t blendMode;
    uint32_t color, nativeColor;
    uint8_t opacity;
    int32_t angle;
    bool useGlobalLight;
    int32_t distance, choke, size;
    PsdContour contour;
    bool antiAlias;
    int32_t noise;
    bool layerKnocksOut; // drop shadow only
};

// Outer glow and inner glow.
struct PsdGlowEffect
{
    bool enabled;
    int32_t blendMode;
    uint8_t opacity;
    int32_t noise;
    int32_t fillType; // 0 colour, 1 gradient
    uint32_t color, nativeColor;
    PsdGradient gradient;
    int32_t technique; // 0 softer, 1 precise, 2 slope limit
    int32_t source;    // inner glow only: 0 centre, 1 edge
    int32_t spread, size;
    PsdContour contour;
    bool antiAlias;
    int32_t range, jitter;
};

struct PsdBevelEffect
{
    bool enabled;
    int32_t style; // 0 outer bevel, 1 inner bevel, 2 emboss, 3 pillow emboss, 4 stroke emboss
    int32_t technique;
    int32_t depth;
    int32_t direction; // 0 up, 1 down
    int32_t size, soften, angle;
    bool useGlobalLight;
    int32_t altitude;
    PsdContour glossContour;
    bool antiAliasGloss;
    int32_t highlightBlendMode;
    uint32_t highlightColor, highlightNativeColor;
    uint8_t highlightOpacity;
    int32_t shadowBlendMode;
    uint32_t shadowColor, shadowNativeColor;
    uint8_t shadowOpacity;
    bool useShape;
    PsdContour contour;
    bool antiAlias;
    int32_t range;
    bool useTexture;
    PsdPatternRef pattern;
    int32_t scale, textureDepth;
    bool invertTexture, alignWithLayer;
    int32_t phaseX, phaseY;
};

struct PsdSatinEffect
{
    bool enabled;
    int32_t blendMode;
    uint32_t color;
    uint8_t opacity;
    int32_t angle, distance, size;
    PsdContour contour;
    bool antiAlias;
    bool invert;
};

struct PsdColorOverlayEffect
{
    bool enabled;
    int32_t blendMode;
    uint32_t color;
    uint8_t opacity;
    uint32_t nativeColor;
};

struct PsdGradientOverlayEffect
{
    bool enabled;
    int32_t blendMode;
    uint8_t opacity;
    PsdGradient gradient;
    bool reverse;
    int32_t style;
    bool alignWithLayer;
    int32_t angle, scale;
    int32_t offsetX, offsetY;
};

struct PsdPatternOverlayEffect
{
    bool enabled;
    int32_t blendMode;
    uint8_t opacity;
    PsdPatternRef pattern;
    int32_t scale;
    bool alignWithLayer;
    int32_t phaseX, phaseY;
};

struct PsdStrokeEffect
{
    bool enabled;
    int32_t size;
    int32_t position; // 0 outside, 1 inside, 2 centre
    int32_t blendMode;
    uint8_t opacity;
    int32_t fillType; // 0 colour, 1 gradient, 2 pattern
    uint32_t color;
    PsdGradient gradient;
    bool reverse;
    int32_t gradientStyle;
    bool align;
    int32_t angle, gradientScale;
    int32_t offsetX, offsetY;
    PsdPatternRef pattern;
    int32_t patternScale;
    bool linked;
    int32_t phaseX, phaseY;
};

// One effects block of a layer (info kind 15 for "lrFX", 16 for "lfx2").
struct PsdLayerEffects
{
    int16_t effectCount;
    uint8_t masterEnabled;
    PsdShadowEffect dropShadow, innerShadow;
    PsdGlowEffect outerGlow, innerGlow;
    PsdBevelEffect bevel;
    PsdSatinEffect satin;
    PsdColorOverlayEffect colorOverlay;
    PsdGradientOverlayEffect gradientOverlay;
    PsdPatternOverlayEffect patternOverlay;
    PsdStrokeEffect stroke;
    bool present[kPsdEffectCount]; // by PsdEffectIndex
    bool visible[kPsdEffectCount];
};

// --- Layer records ---------------------------------------------------------

struct PsdChannelInfo
{
    int16_t id; // 0.. colour channels, -1 transparency, -2 layer mask, -3 real user mask
    uint32_t length; // of the channel's data in the file, compression word included
    uint8_t restricted;
};

struct PsdLayerRecord
{
    int32_t kind;
    int32_t top, left, bottom, right;
    int32_t width, height;
    int16_t channelCount;
    PsdChannelInfo* channels;
    int32_t blendMode;
    uint8_t opacity;
    bool clipping;
    bool transparencyProtected, visible, obsolete, pixelDataIrrelevant;

    // The layer mask (channel -2).
    int32_t maskTop, maskLeft, maskBottom, maskRight;
    int32_t maskWidth, maskHeight;
    uint8_t maskDefaultColor;
    bool maskRelative, maskDisabled, maskInvert;
    uint8_t* maskPixels;
    // The real user mask (channel -3), present in mask blocks of 36 bytes or more.
    bool hasRealMask;
    uint8_t realMaskFlags;
    uint8_t realMaskDefaultColor;
    int32_t realMaskTop, realMaskLeft, realMaskBottom, realMaskRight;

    uint16_t compositeGrayRanges[4];
    uint32_t channelRangeCount;
    uint16_t* sourceBlackRanges;
    uint16_t* sourceWhiteRanges;
    uint16_t* destinationBlackRanges;
    uint16_t* destinationWhiteRanges;

    char name[256];
    uint32_t* pixels; // width * height ARGB, rows top to bottom

    int32_t blockCount;
    int32_t blockKinds[kPsdMaxLayerBlocks];
    void* blocks[kPsdMaxLayerBlocks];
    bool adjustmentValid;
    // Why an adjustment block of a form its reader does not know (version,
    // layout) was left not valid; 0 otherwise.
    PsdStatus adjustmentStatus;

    uint8_t fillOpacity;
    uint32_t unicodeNameLength;
    uint16_t* unicodeName;
    uint32_t nameSource, layerId, layerVersion;
    uint8_t blendClipped, blendInterior, knockout;
    bool transparencyLocked, compositeLocked, positionLocked;
    uint32_t sheetColor;
    int32_t referenceX, referenceY;
    uint8_t transparencyShapes, layerMaskAsGlobal, vectorMaskAsGlobal;
    uint32_t sectionType;
    int32_t sectionBlendMode;
    PsdLayerRecord* folder;
};

struct PsdAlphaChannel
{
    char name[256];
    uint32_t unicodeNameLength;
    uint16_t* unicodeName;
    uint32_t identifier;
    uint8_t* data; // width * height bytes of the merged image
};

struct PsdContext
{
    // Input, alive only while loading.
    const char* fileName;
    FILE* file;
    uint8_t* buffer;
    int32_t bufferFill;
    int32_t bufferPos;
    int64_t fileSize;
    int64_t consumed; // equals the file offset of the next unread byte
    int64_t limit;    // reads stop here: the end of the innermost open block
    PsdStatus readStatus; // sticky: the first short read or block overrun
    uint64_t allocated;   // bytes charged against kPsdMemoryBudget
    int32_t stage;
    int32_t loadOption;

    // File header.
    uint32_t width, height;
    uint16_t channelCount;
    uint16_t depth;
    int32_t colorMode;
    uint16_t colorChannelCount;

    // Colour-mode data.
    uint32_t paletteCount;
    uint32_t* palette;

    // Image resources.
    bool hasResolution;
    float horizontalResolution, verticalResolution;
    uint16_t horizontalResolutionUnit, widthUnit, verticalResolutionUnit, heightUnit;
    bool hasDisplayInfo;
    uint32_t displayColor;
    uint16_t displayOpacity;
    uint8_t displayKind;
    char caption[256];
    uint16_t targetLayer;
    bool hasLayerGroups;
    uint32_t layerGroupCount;
    uint16_t* layerGroups;
    bool hasThumbnail;
    uint32_t thumbnailFormat, thumbnailWidth, thumbnailHeight, thumbnailRowBytes,
        thumbnailTotalSize, thumbnailCompressedSize;
    uint16_t thumbnailBitsPerPixel, thumbnailPlanes;
    uint32_t* thumbnailPixels; // thumbnailWidth * thumbnailHeight ARGB, or null
    uint16_t protectedDocument;
    int32_t globalAngle, globalAltitude;
    uint16_t resource1042;
    bool hasIndexedColorCount;
    int16_t indexedColorCount;
    bool hasTransparencyIndex;
    int16_t transparencyIndex;
    bool hasAlphaChannels;
    uint16_t alphaChannelCount;
    PsdAlphaChannel* alphaChannels;
    bool hasVersionInfo;
    uint32_t version;
    bool hasRealMergedData;
    uint32_t writerNameLength;
    uint16_t* writerName;
    uint32_t readerNameLength;
    uint16_t* readerName;
    uint32_t fileVersion;

    // Global layer mask.
    uint32_t globalMaskColor;
    uint16_t globalMaskOpacity;
    uint8_t globalMaskKind;

    // Layer records, bottom layer first.
    int32_t layerCount;
    PsdLayerRecord* layers;

    // Patterns of the layer section's "Patt" and "Pat2" blocks.
    int32_t patternCount;
    int32_t patternCapacity;
    PsdPattern* patterns;

    // How deep the descriptor being skipped is nested.
    int32_t descriptorDepth;

    // Channel decoding, shared by all layers and released after the layer info.
    uint8_t* channelBuffer;
    size_t channelCapacity;
    uint8_t* compressedBuffer;
    size_t compressedCapacity;

    // Merged image.
    uint32_t* composite; // width * height ARGB
    size_t channelLength;
    uint8_t* imageChannels;
};

// --- Public entry points ---------------------------------------------------

// Loads the whole document at the UTF-8 path. On success *out owns a new
// context; on failure *out is null (left untouched for -1 and -2).
PsdStatus PsdLoadDocument(const char* fileName, PsdContext** out);
PsdStatus PsdFreeDocument(PsdContext* context);

// As PsdLoadDocument with a load option: 0 everything, 1 header only, 2 no
// thumbnails and no merged image when layers exist, 3 alpha-channel resources
// and merged image only, 4 thumbnails only, 5 header, palette and nothing else.
PsdStatus PsdOpenDocument(const char* fileName, int32_t loadOption, PsdContext** out);

// --- Colour conversions ----------------------------------------------------

uint32_t PsdMakeArgb(int a, int r, int g, int b);
uint32_t PsdMakeRgb(int r, int g, int b);
void PsdFillArgb(uint32_t* array, uint32_t value, size_t count);
uint32_t PsdCmykToArgb(int c, int m, int y, int k);
uint32_t PsdCmykaToArgb(int a, int c, int m, int y, int k);
uint32_t PsdCmykFloatToRgb(double c, double m, double y, double k);
uint8_t PsdHueToChannel(int hue, double m1, double m2);
uint32_t PsdHslToArgb(int a, int hue, double s, double l);
uint32_t PsdXyzToArgb(int a, double x, double y, double z);
uint32_t PsdLabToArgb(int a, double l, double aa, double bb);
uint32_t PsdLabToRgb(double l, double a, double b);
PsdStatus PsdColorToArgb(uint32_t* out, int space, const int16_t components[4]);

// --- Decoders --------------------------------------------------------------

PsdStatus PsdInflate(const uint8_t* input, size_t inputLength, uint8_t* output,
                     size_t outputLength);
PsdStatus PsdInflateWithPrediction(const uint8_t* input, size_t inputLength, uint8_t* output,
                                   size_t outputLength, size_t rowWidth, int depth);
// Decodes PackBits rows: a table of rowCount big-endian byte counts at the
// start of the input, then the rows. Output runs on through the rows and stops
// at outputLength; what is not written keeps its value.
PsdStatus PsdUnpackRows(const uint8_t* input, size_t inputLength, size_t rowCount,
                        uint8_t* output, size_t outputLength);

// --- Contours ----------------------------------------------------------------

// Fills the 256-entry table from `count` points (inputs and outputs, levels
// clamped to 0..255) by Catmull-Rom segments; a corner point ends the curve's
// smoothness on its side. No points leave the table as it is.
void PsdBuildContourTable(const int32_t* outputs, uint8_t* table, int32_t count,
                          const int32_t* inputs, const bool* corners);
