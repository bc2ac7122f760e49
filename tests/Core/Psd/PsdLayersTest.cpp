// Layer records, their blocks and adjustments. Records, masks and folder
// links of the fixtures are compared with psd-tools by PsdInteropTest.

#include "tests/Core/Psd/PsdTesting.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace psdtest;

namespace
{

// --- Block builders ----------------------------------------------------------------------------

Bytes Levels(uint16_t version, bool extension, uint16_t total, uint32_t extraBytes = 0)
{
    Writer w;
    w.U16(version);
    for (int i = 0; i < 29; ++i)
        w.U16(0).U16(255).U16(0).U16(255).U16(150);
    if (extension)
    {
        w.Key("Lvls").U16(3).U16(total);
        for (int i = 29; i < total; ++i)
            w.U16(1).U16(2).U16(3).U16(4).U16(250);
    }
    w.Zeros(extraBytes);
    return w.out;
}

Bytes Curves(uint16_t version, uint32_t mask, uint16_t points, bool extension, uint32_t extensionCount,
             bool changePoint = false)
{
    Writer w;
    w.U8(0).U16(version).U32(mask);
    int curves = 0;
    for (int bit = 0; bit < 32; ++bit)
    {
        if (!(mask >> bit & 1))
            continue;
        ++curves;
        w.U16(points);
        for (int p = 0; p < points; ++p)
            w.U16(p * 10).U16(p * 12);
    }
    if (extension)
    {
        w.Key("Crv ").U16(4).U32(extensionCount);
        for (int c = 0; c < curves; ++c)
        {
            w.U16(100 + c).U16(points);
            for (int p = 0; p < points; ++p)
                w.U16(changePoint && c == 0 && p == 0 ? 1 : p * 10).U16(p * 12);
        }
    }
    return w.out;
}

Bytes GradientMap(uint16_t colorStops, uint16_t expansionLength)
{
    Writer w;
    w.U16(1).U8(1).U8(0).Unicode(u"grad");
    w.U16(colorStops);
    for (int i = 0; i < colorStops; ++i)
        w.U32(uint32_t(i) * 100).U32(50).U16(0).U16(0xFF00).U16(0).U16(0).U16(0).U16(0);
    w.U16(1).U32(0).U32(50).U16(255);
    w.U16(1).U16(0).U16(expansionLength);
    if (expansionLength >= 32)
        w.U16(1).U32(7).U16(1).U16(0).U32(2048).U16(0)
            .U16(0xFF00).U16(0).U16(0).U16(0).U16(0).U16(0).U16(0xFF00).U16(0);
    w.U16(0);
    return w.out;
}

Bytes TypeTool(uint16_t faces, uint32_t axes)
{
    Writer w;
    w.U16(1);
    for (int i = 0; i < 6; ++i)
        w.F64(i * 0.5);
    w.U16(6).U16(faces);
    for (int f = 0; f < faces; ++f)
    {
        w.U16(uint16_t(f)).U32(1).Pascal("Font", 1).Pascal("Family", 1).Pascal("Bold", 1).U16(0);
        w.U32(axes);
        for (uint32_t a = 0; a < std::min<uint32_t>(axes, 4); ++a)
            w.U32(a);
    }
    w.U16(1).U16(1).U16(0).U32(12).U32(0).U32(0).U32(0).U32(0).U8(1).U8(0).U8(0);
    w.U16(0).U32(1).U32(5).U32(0).U32(0).U32(0).U32(5).U16(1);
    w.U32(5).U16(0).U16(1).U16(0).U16(1);
    w.U16(0).U16(0xFF00).U16(0xFF00).U16(0xFF00).U16(0).U8(1);
    return w.out;
}

Layer WithBlock(const char* key, const Bytes& data) { return Named("with block", {Block(key, data)}); }

// Header 26, colour data 4, resources 4: where the layer section's length is.
constexpr size_t kSectionAt = 26 + 4 + 4;

// --- Layer info and records -----------------------------------------------------------------

TEST(PsdLayerInfo, MostNegativeCountDoesNotOverflow)
{
    Document doc = SmallRgb();
    doc.negativeLayerCount = true;
    doc.layers.assign(32768, Named(""));
    Loaded loaded = LoadDocument(doc);
    ASSERT_EQ(loaded.status, kPsdOk);
    EXPECT_EQ(loaded->layerCount, 32768);
}

TEST(PsdLayerInfo, CorruptCountAndRecordSignatureFail)
{
    Document doc = SmallRgb();
    doc.layers = {Named("a")};
    const Bytes data = WriteDocument(doc);
    // After the section and info lengths: the count (2), bounds (16), channel count (2) and "8BIM".
    const size_t count = kSectionAt + 4 + 4;
    EXPECT_EQ(LoadBytes(Patched(data, count, 0x7F)).status, kPsdBlockOverrun);
    EXPECT_EQ(LoadBytes(Patched(data, count + 2 + 16 + 2, 'X')).status, kPsdBadLayerSignature);
}

TEST(PsdLayerInfo, OddLengthIsRoundedUpWhenSkipped)
{
    // A layer info of odd length 1 + its pad byte, then a global mask of length 0.
    Document doc = SmallRgb();
    doc.layerSection = false;
    Bytes data = WriteDocument(doc);
    Writer layers;
    layers.U32(4 + 2 + 4).U32(1).U8(0).U8(0).U32(0);
    data.erase(data.begin() + long(kSectionAt), data.begin() + long(kSectionAt) + 4);
    data.insert(data.begin() + long(kSectionAt), layers.out.begin(), layers.out.end());
    Loaded loaded = LoadBytes(data);
    ASSERT_EQ(loaded.status, kPsdOk);
    EXPECT_EQ(loaded->layerCount, 1); // the merged-image layer
}

TEST(PsdLayerRecord, NegativeBoundsFlagBitsAndMasksOfTwentyAndThirtySixBytes)
{
    Layer fields = PatternLayer(-2, -3, 4, 5, {0, 1, 2}, 8, 0, "fields");
    fields.flags = 1 | 2 | 4 | 8 | 16;
    fields.mask = MaskBlock(1, 2, 4, 7, 200, 2 | 4);
    Layer thirtySix = Named("36");
    Writer mask;
    mask.I32(1).I32(2).I32(4).I32(7).U8(10).U8(0).U8(1).U8(30).I32(0).I32(0).I32(9).I32(9).U16(0);
    thirtySix.mask = mask.out;
    Loaded loaded = LoadLayers({fields, thirtySix});
    ASSERT_EQ(loaded.status, kPsdOk);
    const PsdLayerRecord& a = loaded.Layer(1);
    EXPECT_EQ(a.width, 8);
    EXPECT_EQ(a.height, 6);
    EXPECT_TRUE(a.transparencyProtected && a.obsolete && a.pixelDataIrrelevant);
    EXPECT_FALSE(a.visible);
    EXPECT_EQ(a.maskWidth, 5);
    EXPECT_EQ(a.maskHeight, 3);
    EXPECT_TRUE(a.maskDisabled && a.maskInvert);
    EXPECT_FALSE(a.hasRealMask);
    const PsdLayerRecord& b = loaded.Layer(2);
    EXPECT_EQ(b.maskWidth, 5);
    EXPECT_EQ(b.maskDefaultColor, 10);
    EXPECT_TRUE(b.hasRealMask);
    EXPECT_EQ(b.realMaskDefaultColor, 30);
    EXPECT_EQ(b.realMaskBottom, 9);
}

TEST(PsdLayerRecord, BlendingRangesOfAnyLengthAreReadAsWholeRanges)
{
    const std::pair<uint32_t, uint32_t> cases[] = {{0, 0}, {8, 0}, {12, 0}, {40, 4}, {44, 4}, {45, 4}};
    for (const auto& [length, ranges] : cases)
    {
        SCOPED_TRACE(length);
        Layer layer = Named("ranged", {Block("lyid", Bytes{0, 0, 0, 7})});
        Writer w;
        for (uint32_t i = 0; i < length / 2; ++i)
            w.U16(i);
        layer.blendingRanges = w.Zeros(length % 2).out;
        Loaded loaded = LoadLayers({layer});
        ASSERT_EQ(loaded.status, kPsdOk);
        const PsdLayerRecord& r = loaded.Layer(1);
        EXPECT_EQ(r.channelRangeCount, ranges);
        EXPECT_EQ(r.layerId, 7u);
        EXPECT_TRUE(length < 8 || r.compositeGrayRanges[3] == 3);
        EXPECT_TRUE(ranges == 0 ||
                    (r.sourceBlackRanges[0] == 4 && r.destinationWhiteRanges[0] == 7 && r.sourceBlackRanges[1] == 8));
    }
}

TEST(PsdLayerRecord, NamesFillMultiplesOfFourBytesWithoutTheirPadding)
{
    std::vector<Layer> layers;
    for (uint8_t n : {0, 3, 4, 255})
        layers.push_back(Named(std::string(n, 'n'), {Block("lyid", Bytes{0, 0, 0, n})}));
    Loaded loaded = LoadLayers(layers);
    ASSERT_EQ(loaded.status, kPsdOk);
    for (int i = 1; i <= 4; ++i)
        EXPECT_EQ(std::string(loaded.Layer(i).name), std::string(loaded.Layer(i).layerId, 'n'));

    // A dirty pad byte after "ab" is not part of the name.
    Document doc = SmallRgb();
    doc.layers = {Named("ab")};
    Bytes data = WriteDocument(doc);
    for (size_t i = 0; i + 3 < data.size(); ++i)
        if (data[i] == 2 && data[i + 1] == 'a' && data[i + 2] == 'b')
            data[i + 3] = 'Z';
    Loaded dirty = LoadBytes(data);
    ASSERT_EQ(dirty.status, kPsdOk);
    EXPECT_STREQ(dirty.Layer(0).name, "ab");
}

TEST(PsdFolders, SectionDividersOfEveryLength)
{
    const struct
    {
        const char* key;
        Bytes data;
        int32_t kind, blendMode;
    } cases[] = {{"lsct", SectionDivider(1), kPsdLayerFolder, 23},
                 {"lsct", SectionDivider(2, "diss"), kPsdLayerFolder, 1},
                 {"lsct", SectionDivider(2, "diss", true), kPsdLayerFolder, 1},
                 {"lsdk", SectionDivider(1, "mul "), kPsdLayerFolder, 3},
                 {"lsdk", SectionDivider(3), kPsdLayerFolderEnd, 23},
                 {"lsct", SectionDivider(0), kPsdLayerNormal, 23}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.data.size());
        Loaded loaded = LoadBlock(c.key, c.data);
        ASSERT_EQ(loaded.status, kPsdOk);
        EXPECT_EQ(loaded.Layer(1).kind, c.kind);
        EXPECT_EQ(loaded.Layer(1).sectionBlendMode, c.blendMode);
    }
}

// --- Additional blocks ---------------------------------------------------------------------------

TEST(PsdBlocks, UnknownOddAndUnpaddedBlocksAreSkipped)
{
    Layer odd = Named("odd", {Block("zzzz", Bytes{1, 2, 3, 4, 5}), Block("lyid", Bytes{0, 0, 0, 9})});
    Layer padded = Named("padded", {Block("lyid", Bytes{0, 0, 0, 3})});
    padded.extraTail = Bytes(6, 0);
    Layer unpadded = Named("unpadded", {TaggedBlock{"zzzz", Bytes{1, 2, 3}, false}});
    Loaded loaded = LoadLayers({odd, padded, unpadded, Named("next")});
    ASSERT_EQ(loaded.status, kPsdOk);
    EXPECT_EQ(loaded.Layer(1).layerId, 9u);
    EXPECT_STREQ(loaded.Layer(4).name, "next");
}

TEST(PsdBlocks, SingleValueBlocks)
{
    Writer fxrp;
    fxrp.F64(12.9).F64(std::nan(""));
    Layer layer = PatternLayer(0, 0, 1, 1, {-1, 0, 1, 2}, 8, 0);
    layer.blocks = {
        Block("lnsr", Bytes{0, 0, 0, 1}),  Block("lyid", Bytes{0, 0, 0, 2}), Block("lyvr", Bytes{0, 0, 0, 3}),
        Block("lspf", Bytes{0, 0, 0, 5}),  Block("fxrp", fxrp.out),          Block("clbl", Bytes{0, 0, 0, 0}),
        Block("infx", Bytes{1, 0, 0, 0}),  Block("knko", Bytes{1, 0, 0, 0}), Block("iOpa", Bytes{99, 0, 0, 0}),
        Block("tsly", Bytes{0, 0, 0, 0}),  Block("lmgm", Bytes{1, 0, 0, 0}), Block("vmgm", Bytes{1, 0, 0, 0}),
        Block("lclr", Bytes{10, 20, 30, 0, 0, 0, 0, 0}), Block("luni", UnicodeName(u"n\u00e4me")),
        // Blending restrictions name channels -1 and 1 (9 is none).
        Block("brst", Bytes{0, 0, 0, 1, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 9}),
    };
    Loaded loaded = LoadLayers({layer});
    ASSERT_EQ(loaded.status, kPsdOk);
    const PsdLayerRecord& r = loaded.Layer(1);
    EXPECT_EQ(r.nameSource, 1u);
    EXPECT_EQ(r.layerId, 2u);
    EXPECT_EQ(r.layerVersion, 3u);
    EXPECT_TRUE(r.transparencyLocked && r.positionLocked);
    EXPECT_FALSE(r.compositeLocked);
    EXPECT_EQ(r.referenceX, 12);
    EXPECT_EQ(r.referenceY, 0);
    EXPECT_EQ(std::vector<int>({r.blendClipped, r.blendInterior, r.knockout, r.fillOpacity, r.transparencyShapes,
                                r.layerMaskAsGlobal, r.vectorMaskAsGlobal}),
              std::vector<int>({0, 1, 1, 99, 0, 1, 1}));
    EXPECT_EQ(r.sheetColor, 0xFF0A141Eu);
    ASSERT_EQ(r.unicodeNameLength, 4u);
    EXPECT_EQ(r.unicodeName[1], 0xE4);
    EXPECT_EQ(std::vector<int>({r.channels[0].restricted, r.channels[1].restricted, r.channels[2].restricted}),
              std::vector<int>({1, 0, 1}));
}

TEST(PsdBlocks, TwentyStoredBlocksFitAndMoreAreRefused)
{
    Layer layer = Named("many", std::vector<TaggedBlock>(21, Block("nvrt", {})));
    EXPECT_EQ(LoadLayers({layer}).status, kPsdListFull);
    layer.blocks.pop_back();
    Loaded loaded = LoadLayers({layer});
    ASSERT_EQ(loaded.status, kPsdOk);
    EXPECT_EQ(loaded.Layer(1).blockCount, 20);
}

// --- Adjustments -------------------------------------------------------------------------------

TEST(PsdAdjustments, LevelsAndCurvesWithAndWithoutTheirExtensions)
{
    Loaded plain = LoadBlock("levl", Levels(2, false, 0));
    ASSERT_EQ(plain.status, kPsdOk);
    EXPECT_EQ(plain.Layer(1).kind, kPsdLayerLevels);
    EXPECT_TRUE(plain.Layer(1).adjustmentValid);
    EXPECT_FLOAT_EQ(Payload<PsdLevels>(plain)->records[28].gamma, 1.5f);
    Loaded extended = LoadBlock("levl", Levels(2, true, 31));
    ASSERT_EQ(extended.status, kPsdOk);
    ASSERT_EQ(Payload<PsdLevels>(extended)->extraCount, 2);
    EXPECT_EQ(Payload<PsdLevels>(extended)->extra[1].outputCeiling, 4);
    // A total below the 29 records of the block itself adds none.
    Loaded fewer = LoadBlock("levl", Levels(2, true, 20));
    ASSERT_EQ(fewer.status, kPsdOk);
    EXPECT_EQ(Payload<PsdLevels>(fewer)->extraCount, 0);

    Loaded curves = LoadBlock("curv", Curves(1, 0b101, 3, true, 2));
    ASSERT_EQ(curves.status, kPsdOk);
    ASSERT_EQ(Payload<PsdCurves>(curves)->count, 2);
    EXPECT_EQ(Payload<PsdCurves>(curves)->curves[1].channel, 101); // replaced by the extension
    EXPECT_EQ(Payload<PsdCurves>(curves)->curves[1].inputs[2], 24);
    // An extension that disagrees stops the reader with what it had.
    Loaded other = LoadBlock("curv", Curves(4, 0b11, 2, true, 5));
    ASSERT_EQ(other.status, kPsdOk);
    EXPECT_EQ(Payload<PsdCurves>(other)->curves[0].channel, 0);
    Loaded changed = LoadBlock("curv", Curves(4, 0b11, 2, true, 2, true));
    ASSERT_EQ(changed.status, kPsdOk);
    EXPECT_TRUE(changed.Layer(1).adjustmentValid);
}

TEST(PsdAdjustments, FixedLayoutBlocks)
{
    Writer brit, blnc, hue, selc, thrs, post, mixr, phfl;
    brit.U16(10).U16(20).U16(30).U8(1);
    for (int i = 0; i < 9; ++i)
        blnc.U16(uint16_t(-i));
    blnc.U16(0x0101);
    hue.U16(2).U8(1).U8(0);
    for (int i = 0; i < 6 + 6 * 7; ++i)
        hue.U16(i);
    selc.U16(1).U16(2);
    for (int i = 0; i < 40; ++i)
        selc.U16(uint16_t(i - 20));
    thrs.U16(128).U16(0);
    post.U16(4).U16(0);
    mixr.U16(1).U16(1);
    for (int i = 0; i < 20; ++i)
        mixr.U16(i);
    phfl.U16(3).U32(0x1200).U32(0x3400).U32(0x5600).U32(25).U8(1).U8(0);

    const std::pair<const char*, Bytes> blocks[] = {
        {"brit", brit.out}, {"blnc", blnc.out}, {"hue2", hue.out}, {"selc", selc.out}, {"thrs", thrs.out},
        {"nvrt", {}},       {"post", post.out}, {"mixr", mixr.out}, {"phfl", phfl.out},
    };
    const int32_t kinds[] = {8, 9, 10, 11, 12, 13, 14, 15, 17};
    std::vector<Loaded> loaded;
    for (size_t i = 0; i < 9; ++i)
    {
        SCOPED_TRACE(blocks[i].first);
        loaded.push_back(LoadBlock(blocks[i].first, blocks[i].second));
        ASSERT_EQ(loaded[i].status, kPsdOk);
        EXPECT_EQ(loaded[i].Layer(1).kind, kinds[i]);
        EXPECT_TRUE(loaded[i].Layer(1).adjustmentValid);
    }
    EXPECT_EQ(Payload<PsdBrightnessContrast>(loaded[0])->mean, 30);
    EXPECT_EQ(Payload<PsdColorBalance>(loaded[1])->highlights[2], -8);
    EXPECT_EQ(Payload<PsdColorBalance>(loaded[1])->preserveLuminosity, 1);
    EXPECT_EQ(Payload<PsdHueSaturation>(loaded[2])->masterLightness, 5);
    EXPECT_EQ(Payload<PsdHueSaturation>(loaded[2])->ranges[1][0], 13);
    EXPECT_EQ(Payload<PsdHueSaturation>(loaded[2])->settings[5][2], 47);
    EXPECT_EQ(Payload<PsdSelectiveColor>(loaded[3])->black[9], 19);
    EXPECT_EQ(loaded[5].Layer(1).blocks[0], nullptr);
    EXPECT_EQ(Payload<PsdChannelMixer>(loaded[7])->values[4][3], 19);
    EXPECT_EQ(Payload<PsdPhotoFilter>(loaded[8])->color[2], 0x56);
    EXPECT_TRUE(Payload<PsdPhotoFilter>(loaded[8])->preserveLuminosity);
}

TEST(PsdAdjustments, GradientMapAndTypeTool)
{
    Loaded loaded = LoadBlock("grdm", GradientMap(2, 32));
    ASSERT_EQ(loaded.status, kPsdOk);
    const PsdGradientMap* map = Payload<PsdGradientMap>(loaded);
    EXPECT_EQ(loaded.Layer(1).kind, kPsdLayerGradientMap);
    EXPECT_TRUE(map->reversed);
    ASSERT_EQ(map->nameLength, 4u);
    EXPECT_EQ(map->name[3], u'd');
    ASSERT_EQ(map->colorStopCount, 2);
    EXPECT_EQ(map->colorStops[1].location, 100u);
    EXPECT_EQ(map->colorStops[0].color, 0xFFFF0000u);
    EXPECT_EQ(map->transparencyStops[0].opacity, 255);
    EXPECT_EQ(map->randomSeed, 7u);
    EXPECT_EQ(map->minimumColor, 0xFFFF0000u);
    EXPECT_EQ(map->maximumColor, 0xFF0000FFu);

    Loaded text = LoadBlock("tySh", TypeTool(2, 2));
    ASSERT_EQ(text.status, kPsdOk);
    const PsdTypeTool* type = Payload<PsdTypeTool>(text);
    EXPECT_EQ(text.Layer(1).kind, kPsdLayerNormal);
    EXPECT_FALSE(text.Layer(1).adjustmentValid);
    EXPECT_DOUBLE_EQ(type->transform[5], 2.5);
    ASSERT_EQ(type->faceCount, 2);
    EXPECT_STREQ(type->faces[1].familyName, "Family");
    EXPECT_EQ(type->faces[1].designValues[1], 1u);
    ASSERT_EQ(type->styleCount, 1);
    EXPECT_EQ(type->styles[0].size, 12u);
    ASSERT_EQ(type->lineCount, 1);
    EXPECT_EQ(type->lines[0].characterCount, 5u);
    EXPECT_EQ(type->color, 0xFFFFFFFFu);
    EXPECT_TRUE(type->antiAlias);
}

// --- Blocks that fail the load, and adjustments of forms the readers do not know ----------------

struct LayerFailure
{
    const char* name;
    Layer layer;
    PsdStatus status;
};

void PrintTo(const LayerFailure& c, std::ostream* os) { *os << c.name; }

class PsdLayerFailure : public testing::TestWithParam<LayerFailure>
{
};

bool AdjustmentCode(PsdStatus status)
{
    return status <= kPsdBadLevelsVersion && status >= kPsdBadGradientMapVersion;
}

// Damage fails the load with its status. An adjustment the reader cannot
// interpret keeps its layer, not valid and with the code, and the layers
// above it.
TEST_P(PsdLayerFailure, RefusesDamageAndKeepsAdjustmentsItCannotInterpret)
{
    Loaded loaded = LoadLayers({GetParam().layer, Named("above")});
    if (!AdjustmentCode(GetParam().status))
    {
        EXPECT_EQ(loaded.status, GetParam().status);
        return;
    }
    ASSERT_EQ(loaded.status, kPsdOk);
    ASSERT_EQ(loaded->layerCount, 3);
    const PsdLayerRecord& r = loaded.Layer(1);
    EXPECT_GE(r.kind, kPsdLayerLevels);
    EXPECT_STREQ(r.name, "with block");
    EXPECT_FALSE(r.adjustmentValid);
    EXPECT_EQ(r.adjustmentStatus, GetParam().status);
    EXPECT_STREQ(loaded.Layer(2).name, "above");
}

Layer With(Bytes Layer::*field, const Bytes& value)
{
    Layer layer = Named("field");
    layer.*field = value;
    return layer;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PsdLayerFailure,
    testing::Values(
        LayerFailure{"maskShorterThanItsFields", With(&Layer::mask, Bytes(10, 0)), kPsdBlockOverrun},
        LayerFailure{"blockWithoutSignature",
                     With(&Layer::extraTail, {'X', 'B', 'I', 'M', 'l', 'y', 'i', 'd', 0, 0, 0, 4, 0, 0, 0, 1}),
                     kPsdBadBlockSignature},
        LayerFailure{"blockPastTheRecord",
                     With(&Layer::extraTail, {'8', 'B', 'I', 'M', 'l', 'y', 'i', 'd', 0, 0, 1, 0, 0, 0, 0, 1}),
                     kPsdBlockOverrun},
        LayerFailure{"sectionSignature", WithBlock("lsct", Patched(SectionDivider(1, "norm"), 7, 'X')),
                     kPsdBadSectionSignature},
        LayerFailure{"levelsVersion", WithBlock("levl", Levels(1, false, 0)), kPsdBadLevelsVersion},
        // Photoshop pads its levels blocks past their records.
        LayerFailure{"levelsPadded", WithBlock("levl", Levels(2, true, 62, 2)), kPsdLevelsLengthMismatch},
        LayerFailure{"levelsMarker", WithBlock("levl", Patched(Levels(2, true, 29), 292, 'X')),
                     kPsdMissingLevelsExtension},
        LayerFailure{"levelsExtensionVersion", WithBlock("levl", Patched(Levels(2, true, 29), 297, 4)),
                     kPsdBadLevelsExtensionVersion},
        LayerFailure{"levelsCountPastTheBlock", WithBlock("levl", Patched(Levels(2, true, 29), 298, 0xFF)),
                     kPsdBlockOverrun},
        LayerFailure{"curvesVersion", WithBlock("curv", Curves(2, 1, 2, false, 0)), kPsdBadCurvesVersion},
        LayerFailure{"curvesOfTwentyPointsAreRefused", WithBlock("curv", Curves(1, 1, 20, false, 0)), kPsdListFull},
        LayerFailure{"curvesMarker", WithBlock("curv", Patched(Curves(1, 1, 2, true, 1), 7 + 2 + 8, 'X')),
                     kPsdMissingCurvesExtension},
        LayerFailure{"curvesExtensionVersion", WithBlock("curv", Patched(Curves(1, 1, 2, true, 1), 7 + 2 + 8 + 5, 3)),
                     kPsdBadCurvesExtensionVersion},
        LayerFailure{"hueVersion", WithBlock("hue2", Bytes{0, 1}), kPsdBadHueSaturationVersion},
        LayerFailure{"selectiveColorVersion", WithBlock("selc", Bytes{0, 2}), kPsdBadSelectiveColorVersion},
        LayerFailure{"mixerVersion", WithBlock("mixr", Bytes{0, 2}), kPsdBadChannelMixerVersion},
        LayerFailure{"photoFilterVersion2", WithBlock("phfl", Bytes{0, 2, 0, 0, 0, 1, 0, 2, 0, 3, 0, 4, 0, 0, 0, 25, 1, 0}),
                     kPsdBadPhotoFilterVersion},
        LayerFailure{"gradientMapVersion3", WithBlock("grdm", Patched(GradientMap(2, 32), 1, 3)),
                     kPsdBadGradientMapVersion},
        // A block shorter than its structure is an overrun, whatever the version.
        LayerFailure{"shortHue", WithBlock("hue2", Bytes{0, 2, 0, 0}), kPsdBlockOverrun},
        LayerFailure{"gradientMapStopsPastTheBlock",
                     WithBlock("grdm", Patched(Patched(GradientMap(2, 0), 16, 0xFF), 17, 0xFF)), kPsdBlockOverrun},
        LayerFailure{"typeToolAxesPastTheBlock", WithBlock("tySh", TypeTool(1, 0x40000000)), kPsdBlockOverrun}),
    [](const testing::TestParamInfo<LayerFailure>& info) { return std::string(info.param.name); });

// --- "Lr16" and the section around the layer info ----------------------------------------------------

TEST(PsdLayerSection, Lr16ReplacesTheRecordsReadBefore)
{
    Document doc = SmallRgb();
    doc.layers = {PatternLayer(0, 0, 2, 2, {0, 1, 2}, 8, 1, "first")};
    Document later = doc;
    later.layers = {Named("a"), Named("b")};
    // "Lr16" has its own length: drop the one the writer adds before section blocks.
    doc.sectionBlocks.push_back(TaggedBlock{"Lr16", Writer().Block(EncodeLayerInfo(later, false)).out, true});
    Bytes data = WriteDocument(doc);
    const Bytes key = {'L', 'r', '1', '6'};
    auto at = std::search(data.begin(), data.end(), key.begin(), key.end());
    ASSERT_NE(at, data.end());
    data.erase(at + 4, at + 8);
    const uint32_t length = uint32_t(data[kSectionAt]) << 24 | uint32_t(data[kSectionAt + 1]) << 16 |
                            uint32_t(data[kSectionAt + 2]) << 8 | data[kSectionAt + 3];
    PutU32(data, kSectionAt, length - 4);
    Loaded loaded = LoadBytes(data);
    ASSERT_EQ(loaded.status, kPsdOk);
    ASSERT_EQ(loaded->layerCount, 2);
    EXPECT_STREQ(loaded.Layer(1).name, "b");
}

TEST(PsdLayerSection, Lr16FailureFailsTheLoadEvenWithBlocksAfterIt)
{
    Document doc = SmallRgb();
    doc.depth = 16;
    doc.layersInLr16 = true;
    Layer bad = PatternLayer(0, 0, 2, 2, {0, 1, 2}, 16, 2);
    bad.channels[0].useEncoded = true;
    bad.channels[0].encoded = Bytes(8, 0x42);
    doc.layers = {bad};
    // A tagged block after it must not turn the failure into success.
    doc.sectionBlocks.push_back(TaggedBlock{"Patt", Bytes(8, 0), true});
    EXPECT_EQ(LoadDocument(doc).status, kPsdInflateFailed);
}

TEST(PsdLayerSection, SectionEndingAfterTheLayerInfoHasNoGlobalMask)
{
    Document doc = SmallRgb();
    doc.layers = {Named("only")};
    Bytes data = WriteDocument(doc);
    const Bytes info = EncodeLayerInfo(doc, false);
    const size_t globalAt = kSectionAt + 4 + 4 + info.size();
    data.erase(data.begin() + long(globalAt), data.begin() + long(globalAt) + 4);
    PutU32(data, kSectionAt, uint32_t(4 + info.size()));
    Loaded loaded = LoadBytes(data);
    ASSERT_EQ(loaded.status, kPsdOk);
    EXPECT_STREQ(loaded.Layer(0).name, "only");
}

TEST(PsdLayerSection, LoadOptionsThreeToFiveSkipTheLayers)
{
    Document doc = SmallRgb();
    doc.layers = {Named("a"), Named("b")};
    Loaded loaded = LoadDocument(doc, 3);
    ASSERT_EQ(loaded.status, kPsdOk);
    EXPECT_EQ(loaded->layerCount, 1); // the merged image only
}

} // namespace
