#include "tests/Core/Psd/PsdDocuments.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace psdtest;

namespace
{

Layer Empty(const std::string& name)
{
    Layer layer;
    layer.name = name;
    return layer;
}

// A document of a background and the given layers above it.
Loaded LoadLayers(std::vector<Layer> layers)
{
    Document doc = SmallRgb();
    layers.insert(layers.begin(), PatternLayer(0, 0, 1, 1, {0, 1, 2}, 8, 0, "bg"));
    doc.layers = layers;
    return LoadDocument(doc);
}

// One layer carrying one tagged block.
Loaded LoadBlock(const char* key, const Bytes& data, bool padToEven = true)
{
    Layer layer = Empty("with block");
    layer.blocks.push_back(TaggedBlock{key, data, padToEven});
    return LoadLayers({layer});
}

// --- Layer info -----------------------------------------------------------------------

TEST(PsdLayerInfo, NegativeCountGivesThatManyLayers)
{
    Document doc = SmallRgb();
    doc.negativeLayerCount = true;
    doc.layers = {Empty("a"), Empty("b"), Empty("c")};
    Loaded loaded = LoadDocument(doc);
    ASSERT_EQ(loaded.status, kPsdOk);
    ASSERT_EQ(loaded->layerCount, 3);
    EXPECT_STREQ(loaded.Layer(2).name, "c");
}

TEST(PsdLayerInfo, MostNegativeCountDoesNotOverflow)
{
    Document doc = SmallRgb();
    doc.negativeLayerCount = true;
    doc.layers.assign(32768, Empty(""));
    Loaded loaded = LoadDocument(doc);
    ASSERT_EQ(loaded.status, kPsdOk);
    EXPECT_EQ(loaded->layerCount, 32768);
}

TEST(PsdLayerInfo, CountBeyondTheDataIsAnOverrun)
{
    Document doc = SmallRgb();
    doc.layers = {Empty("a")};
    Bytes data = WriteDocument(doc);
    // Layer section: header 26, colour data 4, resources 4, section length 4,
    // info length 4, then the count.
    data[26 + 4 + 4 + 4 + 4] = 0x7F;
    EXPECT_EQ(LoadBytes(data).status, kPsdBlockOverrun);
}

TEST(PsdLayerInfo, EmptyLayerInfoLeavesOnlyTheMergedImageLayer)
{
    Document doc = SmallRgb();
    Loaded loaded = LoadDocument(doc);
    ASSERT_EQ(loaded.status, kPsdOk);
    ASSERT_EQ(loaded->layerCount, 1);
    EXPECT_STREQ(loaded.Layer(0).name, "");
}

TEST(PsdLayerInfo, OddLengthIsRoundedUpWhenSkipped)
{
    // Written by hand: a layer info of odd length 1 + its pad byte, then a
    // global mask of length 0.
    Document doc = SmallRgb();
    doc.layerSection = false;
    Bytes data = WriteDocument(doc);
    const size_t section = 26 + 4 + 4;
    Writer layers;
    layers.U32(4 + 2 + 4).U32(1).U8(0).U8(0).U32(0);
    data.erase(data.begin() + long(section), data.begin() + long(section) + 4);
    data.insert(data.begin() + long(section), layers.out.begin(), layers.out.end());
    Loaded loaded = LoadBytes(data);
    ASSERT_EQ(loaded.status, kPsdOk);
    EXPECT_EQ(loaded->layerCount, 1); // the merged-image layer
}

TEST(PsdLayerInfo, RecordWithoutItsSignatureFails)
{
    Document doc = SmallRgb();
    doc.layers = {Empty("a")};
    doc.layers[0].blendKey = "norm";
    Bytes data = WriteDocument(doc);
    // After count (2), bounds (16) and channel count (2) comes "8BIM".
    data[26 + 4 + 4 + 4 + 4 + 2 + 16 + 2] = 'X';
    EXPECT_EQ(LoadBytes(data).status, kPsdBadLayerSignature);
}

TEST(PsdLayerInfo, RecordFieldsAreRead)
{
    Layer layer = PatternLayer(-2, -3, 4, 5, {0, 1, 2}, 8, 0, "fields");
    layer.blendKey = "diff";
    layer.opacity = 77;
    layer.clipping = 1;
    layer.flags = 1 | 2 | 4 | 8 | 16;
    Loaded loaded = LoadLayers({layer});
    ASSERT_EQ(loaded.status, kPsdOk);
    const PsdLayerRecord& record = loaded.Layer(1);
    EXPECT_EQ(record.top, -2);
    EXPECT_EQ(record.left, -3);
    EXPECT_EQ(record.width, 8);
    EXPECT_EQ(record.height, 6);
    EXPECT_EQ(record.blendMode, 17);
    EXPECT_EQ(record.opacity, 77);
    EXPECT_TRUE(record.clipping);
    EXPECT_TRUE(record.transparencyProtected);
    EXPECT_FALSE(record.visible);
    EXPECT_TRUE(record.obsolete);
    EXPECT_TRUE(record.pixelDataIrrelevant);
    EXPECT_EQ(record.channelCount, 3);
    EXPECT_EQ(record.fillOpacity, 255);
    EXPECT_EQ(record.sectionBlendMode, 23);
}

// --- Masks, blending ranges, names ----------------------------------------------------------

TEST(PsdLayerRecord, MaskOfTwentyBytesKeepsItsRectangle)
{
    Layer layer = Empty("masked");
    layer.mask = MaskBlock(1, 2, 4, 7, 200, 2 | 4);
    Loaded loaded = LoadLayers({layer});
    ASSERT_EQ(loaded.status, kPsdOk);
    const PsdLayerRecord& record = loaded.Layer(1);
    EXPECT_EQ(record.maskWidth, 5);
    EXPECT_EQ(record.maskHeight, 3);
    EXPECT_EQ(record.maskDefaultColor, 200);
    EXPECT_TRUE(record.maskDisabled);
    EXPECT_TRUE(record.maskInvert);
    EXPECT_FALSE(record.hasRealMask);
}

TEST(PsdLayerRecord, MaskOfThirtySixBytesAddsTheRealMaskAndKeepsBoth)
{
    Layer layer = Empty("masked");
    Writer mask;
    mask.I32(1).I32(2).I32(4).I32(7).U8(10).U8(0);
    mask.U8(1).U8(30).I32(0).I32(0).I32(9).I32(9);
    mask.U16(0);
    layer.mask = mask.out;
    Loaded loaded = LoadLayers({layer});
    ASSERT_EQ(loaded.status, kPsdOk);
    const PsdLayerRecord& record = loaded.Layer(1);
    EXPECT_EQ(record.maskWidth, 5);
    EXPECT_EQ(record.maskDefaultColor, 10);
    EXPECT_TRUE(record.hasRealMask);
    EXPECT_EQ(record.realMaskDefaultColor, 30);
    EXPECT_EQ(record.realMaskBottom, 9);
}

TEST(PsdLayerRecord, MaskParametersAreSkippedWithTheBlock)
{
    Layer layer = Empty("masked");
    Writer mask;
    mask.I32(0).I32(0).I32(2).I32(2).U8(0).U8(16).U8(3).U8(128).F64(1.5).U16(0);
    layer.mask = mask.out;
    layer.blocks.push_back(Block("lyid", Bytes{0, 0, 0, 42}));
    Loaded loaded = LoadLayers({layer});
    ASSERT_EQ(loaded.status, kPsdOk);
    EXPECT_EQ(loaded.Layer(1).layerId, 42u);
}

TEST(PsdLayerRecord, InvertedMaskRectangleIsRefused)
{
    Layer layer = Empty("masked");
    layer.mask = MaskBlock(5, 0, 1, 3);
    EXPECT_EQ(LoadLayers({layer}).status, kPsdLimitExceeded);
}

TEST(PsdLayerRecord, MaskShorterThanItsFieldsIsAnOverrun)
{
    Layer layer = Empty("masked");
    layer.mask = Bytes(10, 0);
    EXPECT_EQ(LoadLayers({layer}).status, kPsdBlockOverrun);
}

struct RangesCase
{
    uint32_t length;
    uint32_t ranges;
};

class PsdBlendingRanges : public testing::TestWithParam<RangesCase>
{
};

TEST_P(PsdBlendingRanges, AnyLengthIsReadAsWholeRanges)
{
    Layer layer = Empty("ranged");
    Writer ranges;
    for (uint32_t i = 0; i < GetParam().length / 2; ++i)
        ranges.U16(i);
    ranges.Zeros(GetParam().length % 2);
    layer.blendingRanges = ranges.out;
    layer.blocks.push_back(Block("lyid", Bytes{0, 0, 0, 7}));
    Loaded loaded = LoadLayers({layer});
    ASSERT_EQ(loaded.status, kPsdOk);
    const PsdLayerRecord& record = loaded.Layer(1);
    EXPECT_EQ(record.channelRangeCount, GetParam().ranges);
    EXPECT_EQ(record.layerId, 7u);
    if (GetParam().length >= 8)
    {
        EXPECT_EQ(record.compositeGrayRanges[3], 3);
    }
    if (GetParam().ranges > 0)
    {
        EXPECT_EQ(record.sourceBlackRanges[0], 4);
        EXPECT_EQ(record.destinationWhiteRanges[0], 7);
        EXPECT_EQ(record.sourceBlackRanges[1], 8);
    }
}

INSTANTIATE_TEST_SUITE_P(Lengths, PsdBlendingRanges,
                         testing::Values(RangesCase{0, 0}, RangesCase{8, 0}, RangesCase{12, 0},
                                         RangesCase{40, 4}, RangesCase{44, 4},
                                         RangesCase{45, 4}));

TEST(PsdLayerRecord, NamesFillMultiplesOfFourBytes)
{
    std::vector<Layer> layers;
    for (size_t n : {0, 3, 4, 255})
    {
        Layer layer = Empty(std::string(n, 'n'));
        layer.blocks.push_back(Block("lyid", Bytes{0, 0, 0, uint8_t(n)}));
        layers.push_back(layer);
    }
    Loaded loaded = LoadLayers(layers);
    ASSERT_EQ(loaded.status, kPsdOk);
    for (int i = 0; i < 4; ++i)
    {
        const PsdLayerRecord& record = loaded.Layer(i + 1);
        EXPECT_EQ(std::string(record.name), std::string(record.layerId, 'n'));
    }
}

TEST(PsdLayerRecord, NamePaddingIsNotPartOfTheName)
{
    Layer layer = Empty("ab");
    Loaded loaded = LoadLayers({layer});
    Document doc = SmallRgb();
    doc.layers = {layer};
    Bytes data = WriteDocument(doc);
    // The pad byte after "ab": find the name and dirty it.
    for (size_t i = 0; i + 3 < data.size(); ++i)
        if (data[i] == 2 && data[i + 1] == 'a' && data[i + 2] == 'b')
            data[i + 3] = 'Z';
    Loaded dirty = LoadBytes(data);
    ASSERT_EQ(dirty.status, kPsdOk);
    EXPECT_STREQ(dirty.Layer(0).name, "ab");
}

// --- Folders ---------------------------------------------------------------------------------

TEST(PsdFolders, LayersBetweenAFolderAndItsEndBelongToIt)
{
    // Bottom to top: end, A, folder F, B.
    Loaded loaded = LoadLayers({FolderLayer("</Layer group>", 3, "lsct", nullptr), Empty("A"),
                                FolderLayer("F", 1), Empty("B")});
    ASSERT_EQ(loaded.status, kPsdOk);
    const PsdLayerRecord* records = loaded->layers;
    EXPECT_EQ(records[1].kind, kPsdLayerFolderEnd);
    EXPECT_EQ(records[3].kind, kPsdLayerFolder);
    EXPECT_EQ(records[2].folder, &records[3]);
    EXPECT_EQ(records[4].folder, nullptr);
    EXPECT_EQ(records[3].folder, nullptr);
    EXPECT_EQ(records[1].folder, nullptr);
    EXPECT_EQ(records[3].sectionBlendMode, 23);
}

TEST(PsdFolders, LayerBetweenAnInnerEndAndTheOuterEndHasNoFolder)
{
    // Bottom to top: outer end, X, inner end, Y, inner, outer.
    Loaded loaded = LoadLayers({FolderLayer("end", 3, "lsct", nullptr), Empty("X"),
                                FolderLayer("end", 3, "lsdk", nullptr), Empty("Y"),
                                FolderLayer("inner", 2, "lsdk", "mul "),
                                FolderLayer("outer", 1, "lsct", "scrn")});
    ASSERT_EQ(loaded.status, kPsdOk);
    const PsdLayerRecord* records = loaded->layers;
    EXPECT_EQ(records[4].folder, &records[5]);
    EXPECT_EQ(records[2].folder, nullptr);
    EXPECT_EQ(records[3].kind, kPsdLayerFolderEnd);
    EXPECT_EQ(records[5].sectionBlendMode, 3);
    EXPECT_EQ(records[6].sectionBlendMode, 7);
}

TEST(PsdFolders, SectionDividerLengths)
{
    Loaded four = LoadBlock("lsct", SectionDivider(1));
    ASSERT_EQ(four.status, kPsdOk);
    EXPECT_EQ(four.Layer(1).kind, kPsdLayerFolder);
    EXPECT_EQ(four.Layer(1).sectionBlendMode, 23);

    Loaded sixteen = LoadBlock("lsct", SectionDivider(2, "diss", true));
    ASSERT_EQ(sixteen.status, kPsdOk);
    EXPECT_EQ(sixteen.Layer(1).sectionBlendMode, 1);

    Writer bad;
    bad.U32(1).Key("8BIX").Key("norm");
    EXPECT_EQ(LoadBlock("lsct", bad.out).status, kPsdBadSectionSignature);

    Loaded other = LoadBlock("lsct", SectionDivider(0));
    ASSERT_EQ(other.status, kPsdOk);
    EXPECT_EQ(other.Layer(1).kind, kPsdLayerNormal);
}

// --- Additional blocks ---------------------------------------------------------------------------

TEST(PsdBlocks, UnknownAndOddBlocksAreSkippedToTheirPaddedEnd)
{
    Layer layer = Empty("blocks");
    layer.blocks.push_back(Block("zzzz", Bytes{1, 2, 3, 4, 5}));
    layer.blocks.push_back(Block("lyid", Bytes{0, 0, 0, 9}));
    Loaded loaded = LoadLayers({layer});
    ASSERT_EQ(loaded.status, kPsdOk);
    EXPECT_EQ(loaded.Layer(1).layerId, 9u);
}

TEST(PsdBlocks, OddBlockWithoutItsPadAtTheEndIsAccepted)
{
    Layer layer = Empty("blocks");
    layer.blocks.push_back(TaggedBlock{"zzzz", Bytes{1, 2, 3}, false});
    EXPECT_EQ(LoadLayers({layer}).status, kPsdOk);
}

TEST(PsdBlocks, PaddingAfterTheLastBlockIsSkipped)
{
    Layer layer = Empty("padded");
    layer.blocks.push_back(Block("lyid", Bytes{0, 0, 0, 3}));
    layer.extraTail = Bytes(6, 0);
    Loaded loaded = LoadLayers({layer, Empty("next")});
    ASSERT_EQ(loaded.status, kPsdOk);
    EXPECT_STREQ(loaded.Layer(2).name, "next");
}

TEST(PsdBlocks, BlockWithoutSignatureFails)
{
    Layer layer = Empty("blocks");
    layer.extraTail = Bytes{'X', 'B', 'I', 'M', 'l', 'y', 'i', 'd', 0, 0, 0, 4, 0, 0, 0, 1};
    EXPECT_EQ(LoadLayers({layer}).status, kPsdBadBlockSignature);
}

TEST(PsdBlocks, BlockReachingPastTheRecordIsAnOverrun)
{
    Layer layer = Empty("blocks");
    layer.extraTail = Bytes{'8', 'B', 'I', 'M', 'l', 'y', 'i', 'd', 0, 0, 1, 0, 0, 0, 0, 1};
    EXPECT_EQ(LoadLayers({layer}).status, kPsdBlockOverrun);
}

TEST(PsdBlocks, SingleValueBlocks)
{
    Layer layer = Empty("values");
    Writer fxrp;
    fxrp.F64(12.9).F64(std::nan(""));
    layer.blocks = {
        Block("lnsr", Bytes{0, 0, 0, 1}), Block("lyid", Bytes{0, 0, 0, 2}),
        Block("lyvr", Bytes{0, 0, 0, 3}), Block("lspf", Bytes{0, 0, 0, 5}),
        Block("fxrp", fxrp.out),          Block("clbl", Bytes{0, 0, 0, 0}),
        Block("infx", Bytes{1, 0, 0, 0}), Block("knko", Bytes{1, 0, 0, 0}),
        Block("iOpa", Bytes{99, 0, 0, 0}), Block("tsly", Bytes{0, 0, 0, 0}),
        Block("lmgm", Bytes{1, 0, 0, 0}), Block("vmgm", Bytes{1, 0, 0, 0}),
        Block("lclr", Bytes{10, 20, 30, 0, 0, 0, 0, 0}),
        Block("luni", UnicodeName(u"n\u00e4me")),
    };
    Loaded loaded = LoadLayers({layer});
    ASSERT_EQ(loaded.status, kPsdOk);
    const PsdLayerRecord& r = loaded.Layer(1);
    EXPECT_EQ(r.nameSource, 1u);
    EXPECT_EQ(r.layerId, 2u);
    EXPECT_EQ(r.layerVersion, 3u);
    EXPECT_TRUE(r.transparencyLocked);
    EXPECT_FALSE(r.compositeLocked);
    EXPECT_TRUE(r.positionLocked);
    EXPECT_EQ(r.referenceX, 12);
    EXPECT_EQ(r.referenceY, 0);
    EXPECT_EQ(r.blendClipped, 0);
    EXPECT_EQ(r.blendInterior, 1);
    EXPECT_EQ(r.knockout, 1);
    EXPECT_EQ(r.fillOpacity, 99);
    EXPECT_EQ(r.transparencyShapes, 0);
    EXPECT_EQ(r.layerMaskAsGlobal, 1);
    EXPECT_EQ(r.vectorMaskAsGlobal, 1);
    EXPECT_EQ(r.sheetColor, 0xFF0A141Eu);
    ASSERT_EQ(r.unicodeNameLength, 4u);
    EXPECT_EQ(r.unicodeName[1], 0xE4);
}

TEST(PsdBlocks, BlendingRestrictionsMarkTheirChannels)
{
    Layer layer = PatternLayer(0, 0, 1, 1, {-1, 0, 1, 2}, 8, 0);
    Writer ids;
    ids.U32(1).U32(uint32_t(-1)).U32(9);
    layer.blocks.push_back(Block("brst", ids.out));
    Loaded loaded = LoadLayers({layer});
    ASSERT_EQ(loaded.status, kPsdOk);
    const PsdLayerRecord& r = loaded.Layer(1);
    EXPECT_EQ(r.channels[0].restricted, 1); // -1
    EXPECT_EQ(r.channels[1].restricted, 0);
    EXPECT_EQ(r.channels[2].restricted, 1); // 1
}

TEST(PsdBlocks, MoreThanTwentyStoredBlocksAreRefused)
{
    Layer layer = Empty("many");
    for (int i = 0; i < 21; ++i)
        layer.blocks.push_back(Block("nvrt", {}));
    EXPECT_EQ(LoadLayers({layer}).status, kPsdListFull);
    layer.blocks.pop_back();
    Loaded loaded = LoadLayers({layer});
    ASSERT_EQ(loaded.status, kPsdOk);
    EXPECT_EQ(loaded.Layer(1).blockCount, 20);
}

// --- Adjustments -------------------------------------------------------------------------------

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

TEST(PsdAdjustments, LevelsWithAndWithoutTheirExtension)
{
    Loaded plain = LoadBlock("levl", Levels(2, false, 0));
    ASSERT_EQ(plain.status, kPsdOk);
    const PsdLayerRecord& r = plain.Layer(1);
    EXPECT_EQ(r.kind, kPsdLayerLevels);
    EXPECT_TRUE(r.adjustmentValid);
    ASSERT_EQ(r.blockCount, 1);
    const PsdLevels* levels = static_cast<const PsdLevels*>(r.blocks[0]);
    EXPECT_FLOAT_EQ(levels->records[28].gamma, 1.5f);

    Loaded extended = LoadBlock("levl", Levels(2, true, 31));
    ASSERT_EQ(extended.status, kPsdOk);
    const PsdLevels* more = static_cast<const PsdLevels*>(extended.Layer(1).blocks[0]);
    ASSERT_EQ(more->extraCount, 2);
    EXPECT_EQ(more->extra[1].outputCeiling, 4);

    Loaded fewer = LoadBlock("levl", Levels(2, true, 20));
    ASSERT_EQ(fewer.status, kPsdOk);
    EXPECT_EQ(static_cast<const PsdLevels*>(fewer.Layer(1).blocks[0])->extraCount, 0);
}

TEST(PsdAdjustments, LevelsRefusals)
{
    EXPECT_EQ(LoadBlock("levl", Levels(1, false, 0)).status, kPsdBadLevelsVersion);
    EXPECT_EQ(LoadBlock("levl", Levels(2, false, 0, 2)).status, kPsdLevelsLengthMismatch);
    Bytes noMarker = Levels(2, true, 29);
    noMarker[292] = 'X';
    EXPECT_EQ(LoadBlock("levl", noMarker).status, kPsdMissingLevelsExtension);
    Bytes badVersion = Levels(2, true, 29);
    badVersion[297] = 4;
    EXPECT_EQ(LoadBlock("levl", badVersion).status, kPsdBadLevelsExtensionVersion);
    // A count that needs more bytes than the block holds.
    EXPECT_EQ(LoadBlock("levl", Levels(2, true, 29, 0)).status, kPsdOk);
    Bytes huge = Levels(2, true, 29);
    huge[298] = 0xFF;
    EXPECT_EQ(LoadBlock("levl", huge).status, kPsdBlockOverrun);
}

Bytes Curves(uint16_t version, uint32_t mask, uint16_t points, bool extension,
             uint32_t extensionCount, bool changePoint = false)
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

TEST(PsdAdjustments, CurvesAndTheirExtension)
{
    Loaded loaded = LoadBlock("curv", Curves(1, 0b101, 3, true, 2));
    ASSERT_EQ(loaded.status, kPsdOk);
    const PsdCurves* curves = static_cast<const PsdCurves*>(loaded.Layer(1).blocks[0]);
    ASSERT_EQ(curves->count, 2);
    EXPECT_EQ(curves->curves[1].channel, 101); // replaced by the extension
    EXPECT_EQ(curves->curves[1].inputs[2], 24);

    // An extension that disagrees stops the reader with what it had.
    Loaded other = LoadBlock("curv", Curves(4, 0b11, 2, true, 5));
    ASSERT_EQ(other.status, kPsdOk);
    EXPECT_EQ(static_cast<const PsdCurves*>(other.Layer(1).blocks[0])->curves[0].channel, 0);
    Loaded changed = LoadBlock("curv", Curves(4, 0b11, 2, true, 2, true));
    ASSERT_EQ(changed.status, kPsdOk);
    EXPECT_TRUE(changed.Layer(1).adjustmentValid);
}

TEST(PsdAdjustments, CurvesRefusals)
{
    EXPECT_EQ(LoadBlock("curv", Curves(2, 1, 2, false, 0)).status, kPsdBadCurvesVersion);
    EXPECT_EQ(LoadBlock("curv", Curves(1, 1, 20, false, 0)).status, kPsdListFull);
    Bytes noMarker = Curves(1, 1, 2, true, 1);
    noMarker[7 + 2 + 8] = 'X';
    EXPECT_EQ(LoadBlock("curv", noMarker).status, kPsdMissingCurvesExtension);
    Bytes badVersion = Curves(1, 1, 2, true, 1);
    badVersion[7 + 2 + 8 + 5] = 3;
    EXPECT_EQ(LoadBlock("curv", badVersion).status, kPsdBadCurvesExtensionVersion);
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
        {"brit", brit.out}, {"blnc", blnc.out}, {"hue2", hue.out}, {"selc", selc.out},
        {"thrs", thrs.out}, {"nvrt", {}},       {"post", post.out}, {"mixr", mixr.out},
        {"phfl", phfl.out},
    };
    const int32_t kinds[] = {8, 9, 10, 11, 12, 13, 14, 15, 17};
    for (size_t i = 0; i < 9; ++i)
    {
        Loaded loaded = LoadBlock(blocks[i].first, blocks[i].second);
        ASSERT_EQ(loaded.status, kPsdOk) << blocks[i].first;
        EXPECT_EQ(loaded.Layer(1).kind, kinds[i]) << blocks[i].first;
        EXPECT_TRUE(loaded.Layer(1).adjustmentValid) << blocks[i].first;
        const void* payload = loaded.Layer(1).blocks[0];
        switch (i)
        {
        case 0:
            EXPECT_EQ(static_cast<const PsdBrightnessContrast*>(payload)->mean, 30);
            break;
        case 1:
            EXPECT_EQ(static_cast<const PsdColorBalance*>(payload)->highlights[2], -8);
            EXPECT_EQ(static_cast<const PsdColorBalance*>(payload)->preserveLuminosity, 1);
            break;
        case 2:
            EXPECT_EQ(static_cast<const PsdHueSaturation*>(payload)->masterLightness, 5);
            EXPECT_EQ(static_cast<const PsdHueSaturation*>(payload)->ranges[1][0], 13);
            EXPECT_EQ(static_cast<const PsdHueSaturation*>(payload)->settings[5][2], 47);
            break;
        case 3:
            EXPECT_EQ(static_cast<const PsdSelectiveColor*>(payload)->black[9], 19);
            break;
        case 5:
            EXPECT_EQ(payload, nullptr);
            break;
        case 7:
            EXPECT_EQ(static_cast<const PsdChannelMixer*>(payload)->values[4][3], 19);
            break;
        case 8:
            EXPECT_EQ(static_cast<const PsdPhotoFilter*>(payload)->color[2], 0x56);
            EXPECT_TRUE(static_cast<const PsdPhotoFilter*>(payload)->preserveLuminosity);
            break;
        default:
            break;
        }
    }
}

TEST(PsdAdjustments, VersionRefusals)
{
    EXPECT_EQ(LoadBlock("hue2", Bytes{0, 1}).status, kPsdBadHueSaturationVersion);
    EXPECT_EQ(LoadBlock("selc", Bytes{0, 2}).status, kPsdBadSelectiveColorVersion);
    EXPECT_EQ(LoadBlock("mixr", Bytes{0, 2}).status, kPsdBadChannelMixerVersion);
    EXPECT_EQ(LoadBlock("phfl", Bytes{0, 2}).status, kPsdBadPhotoFilterVersion);
    EXPECT_EQ(LoadBlock("grdm", Bytes{0, 2}).status, kPsdBadGradientMapVersion);
    // A block shorter than its structure is an overrun, whatever the version.
    EXPECT_EQ(LoadBlock("hue2", Bytes{0, 2, 0, 0}).status, kPsdBlockOverrun);
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

TEST(PsdAdjustments, GradientMap)
{
    Loaded loaded = LoadBlock("grdm", GradientMap(2, 32));
    ASSERT_EQ(loaded.status, kPsdOk);
    const PsdGradientMap* map = static_cast<const PsdGradientMap*>(loaded.Layer(1).blocks[0]);
    EXPECT_EQ(loaded.Layer(1).kind, kPsdLayerGradientMap);
    EXPECT_TRUE(map->reversed);
    ASSERT_EQ(map->nameLength, 4u);
    EXPECT_EQ(map->name[3], u'd');
    ASSERT_EQ(map->colorStopCount, 2);
    EXPECT_EQ(map->colorStops[1].location, 100u);
    EXPECT_EQ(map->colorStops[0].color, 0xFFFF0000u);
    EXPECT_EQ(map->colorStops[0].type, 2);
    EXPECT_EQ(map->transparencyStops[0].opacity, 255);
    EXPECT_EQ(map->randomSeed, 7u);
    EXPECT_EQ(map->minimumColor, 0xFFFF0000u);
    EXPECT_EQ(map->maximumColor, 0xFF0000FFu);

    // A stop count the block cannot hold.
    Bytes many = GradientMap(2, 0);
    many[16] = 0xFF;
    many[17] = 0xFF;
    EXPECT_EQ(LoadBlock("grdm", many).status, kPsdBlockOverrun);
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

TEST(PsdAdjustments, TypeTool)
{
    Loaded loaded = LoadBlock("tySh", TypeTool(2, 2));
    ASSERT_EQ(loaded.status, kPsdOk);
    const PsdTypeTool* type = static_cast<const PsdTypeTool*>(loaded.Layer(1).blocks[0]);
    EXPECT_EQ(loaded.Layer(1).kind, kPsdLayerNormal);
    EXPECT_FALSE(loaded.Layer(1).adjustmentValid);
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

    EXPECT_EQ(LoadBlock("tySh", TypeTool(1, 0x40000000)).status, kPsdBlockOverrun);
}

// --- "Lr16" ---------------------------------------------------------------------------------------------

TEST(PsdLr16, LayersOfDeepDocumentsLiveThere)
{
    Document doc = SmallRgb();
    doc.depth = 16;
    doc.layersInLr16 = true;
    doc.layers = {PatternLayer(0, 0, 2, 2, {0, 1, 2}, 16, 1, "deep")};
    Loaded loaded = LoadDocument(doc);
    ASSERT_EQ(loaded.status, kPsdOk);
    ASSERT_EQ(loaded->layerCount, 1);
    EXPECT_STREQ(loaded.Layer(0).name, "deep");
    EXPECT_NE(loaded.Layer(0).pixels, nullptr);
}

TEST(PsdLr16, ReplacesTheRecordsReadBefore)
{
    Document doc = SmallRgb();
    doc.layers = {PatternLayer(0, 0, 2, 2, {0, 1, 2}, 8, 1, "first")};
    Document later = doc;
    later.layers = {Empty("a"), Empty("b")};
    later.layerSection = true;
    Writer lr16;
    lr16.Block(EncodeLayerInfo(later, false));
    doc.sectionBlocks.push_back(TaggedBlock{"Lr16", lr16.out, true});
    // The writer adds a length before section blocks; "Lr16" has its own.
    Bytes data = WriteDocument(doc);
    const Bytes key = {'L', 'r', '1', '6'};
    auto at = std::search(data.begin(), data.end(), key.begin(), key.end());
    ASSERT_NE(at, data.end());
    data.erase(at + 4, at + 8);
    // Fix the section length for the 4 removed bytes.
    const size_t sectionAt = 26 + 4 + 4;
    uint32_t length = uint32_t(data[sectionAt]) << 24 | uint32_t(data[sectionAt + 1]) << 16 |
                      uint32_t(data[sectionAt + 2]) << 8 | data[sectionAt + 3];
    length -= 4;
    for (int i = 0; i < 4; ++i)
        data[sectionAt + size_t(i)] = uint8_t(length >> (24 - 8 * i));
    Loaded loaded = LoadBytes(data);
    ASSERT_EQ(loaded.status, kPsdOk);
    ASSERT_EQ(loaded->layerCount, 2);
    EXPECT_STREQ(loaded.Layer(1).name, "b");
}

TEST(PsdLr16, FailureFailsTheLoadEvenWithBlocksAfterIt)
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
    doc.layers = {Empty("only")};
    Bytes data = WriteDocument(doc);
    // Drop the global mask length (4 zero bytes) and shorten the section.
    Document flat = doc;
    const Bytes info = EncodeLayerInfo(doc, false);
    const size_t sectionAt = 26 + 4 + 4;
    const size_t globalAt = sectionAt + 4 + 4 + info.size();
    data.erase(data.begin() + long(globalAt), data.begin() + long(globalAt) + 4);
    const uint32_t length = uint32_t(4 + info.size());
    for (int i = 0; i < 4; ++i)
        data[sectionAt + size_t(i)] = uint8_t(length >> (24 - 8 * i));
    Loaded loaded = LoadBytes(data);
    ASSERT_EQ(loaded.status, kPsdOk);
    EXPECT_STREQ(loaded.Layer(0).name, "only");
}

TEST(PsdLayerSection, GlobalMaskIsRead)
{
    Document doc = SmallRgb();
    doc.layers = {Empty("x")};
    doc.globalMask = true;
    Writer mask;
    mask.U16(0).U16(0).U16(0xFF00).U16(0).U16(0).U16(80).U8(128).Zeros(3);
    doc.globalMaskData = mask.out;
    Loaded loaded = LoadDocument(doc);
    ASSERT_EQ(loaded.status, kPsdOk);
    EXPECT_EQ(loaded->globalMaskColor, 0xFF00FF00u);
    EXPECT_EQ(loaded->globalMaskOpacity, 80);
    EXPECT_EQ(loaded->globalMaskKind, 128);
}

TEST(PsdLayerSection, LoadOptionsThreeToFiveSkipTheLayers)
{
    Document doc = SmallRgb();
    doc.layers = {Empty("a"), Empty("b")};
    Loaded loaded = LoadDocument(doc, 3);
    ASSERT_EQ(loaded.status, kPsdOk);
    EXPECT_EQ(loaded->layerCount, 1); // the merged image only
}

} // namespace
