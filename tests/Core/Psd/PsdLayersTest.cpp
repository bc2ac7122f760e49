// Layer records, their blocks and adjustments. Records, masks and folder
// links of the fixtures are compared with psd-tools by PsdInteropTest.

#include "tests/Core/Psd/PsdTesting.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace psdtest;

namespace
{

Bytes Levels(uint16_t version, bool extension, uint16_t total, uint32_t extraBytes = 0)
{
    Writer w;
    w.U16(version);
    for (int i = 0; i < 29; ++i)
        w.U16(0).U16(255).U16(0).U16(255).U16(150);
    if (extension)
        w.Key("Lvls").U16(3).U16(total);
    for (int i = 29; extension && i < total; ++i)
        w.U16(1).U16(2).U16(3).U16(4).U16(250);
    return w.Zeros(extraBytes).out;
}

// Curves of `points` points for each bit of `mask`, and the extension's copy
// of them (its first point changed on request).
Bytes Curves(uint16_t version, uint32_t mask, uint16_t points, bool extension, uint32_t extensionCount,
             bool changePoint = false)
{
    Writer w, more;
    w.U8(0).U16(version).U32(mask);
    more.Key("Crv ").U16(4).U32(extensionCount);
    for (int bit = 0, c = 0; bit < 32; ++bit)
    {
        if (!(mask >> bit & 1))
            continue;
        w.U16(points);
        more.U16(100 + c).U16(points);
        for (int p = 0; p < points; ++p)
        {
            w.U16(p * 10).U16(p * 12);
            more.U16(changePoint && c == 0 && p == 0 ? 1 : p * 10).U16(p * 12);
        }
        ++c;
    }
    return extension ? w.Raw(more.out).out : w.out;
}

Bytes GradientMap(uint16_t colorStops, uint16_t expansionLength)
{
    Writer w;
    w.U16(1).U8(1).U8(0).Unicode(u"grad").U16(colorStops);
    for (int i = 0; i < colorStops; ++i)
        w.U32(uint32_t(i) * 100).U32(50).U16(0).U16(0xFF00).U16(0).U16(0).U16(0).U16(0);
    w.U16(1).U32(0).U32(50).U16(255).U16(1).U16(0).U16(expansionLength);
    if (expansionLength >= 32)
        w.U16(1).U32(7).U16(1).U16(0).U32(2048).U16(0).U16(0xFF00).Zeros(10).U16(0xFF00).U16(0);
    return w.U16(0).out;
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
        w.U16(uint16_t(f)).U32(1).Pascal("Font", 1).Pascal("Family", 1).Pascal("Bold", 1).U16(0).U32(axes);
        for (uint32_t a = 0; a < std::min<uint32_t>(axes, 4); ++a)
            w.U32(a);
    }
    w.U16(1).U16(1).U16(0).U32(12).U32(0).U32(0).U32(0).U32(0).U8(1).U8(0).U8(0);
    w.U16(0).U32(1).U32(5).U32(0).U32(0).U32(0).U32(5).U16(1).U32(5).U16(0).U16(1).U16(0).U16(1);
    return w.U16(0).U16(0xFF00).U16(0xFF00).U16(0xFF00).U16(0).U8(1).out;
}

Layer WithBlock(const char* key, const Bytes& data) { return Named("with block", {Block(key, data)}); }

// Header 26, colour data 4, resources 4: where the layer section's length is.
constexpr size_t kSectionAt = 26 + 4 + 4;

// --- Layer info and records -----------------------------------------------------------------

TEST(PsdLayerInfo, CountsLengthsAndSignatures)
{
    Document doc = SmallRgb();
    doc.negativeLayerCount = true;
    doc.layers.assign(32768, Named(""));
    Loaded most = LoadDocument(doc);
    ASSERT_EQ(most.status, kPsdOk);
    EXPECT_EQ(most->layerCount, 32768);

    doc = SmallRgb();
    doc.layers = {Named("a")};
    const Bytes data = WriteDocument(doc);
    // After the section and info lengths: the count (2), bounds (16), channel count (2) and "8BIM".
    const size_t count = kSectionAt + 4 + 4;
    EXPECT_EQ(LoadBytes(Patched(data, count, 0x7F)).status, kPsdBlockOverrun);
    EXPECT_EQ(LoadBytes(Patched(data, count + 2 + 16 + 2, 'X')).status, kPsdBadLayerSignature);

    // A layer info of odd length 1 + its pad byte, then a global mask of length 0.
    doc.layerSection = false;
    Bytes odd = WriteDocument(doc);
    const Bytes layers = Writer().U32(4 + 2 + 4).U32(1).U8(0).U8(0).U32(0).out;
    odd.erase(odd.begin() + long(kSectionAt), odd.begin() + long(kSectionAt) + 4);
    odd.insert(odd.begin() + long(kSectionAt), layers.begin(), layers.end());
    Loaded loaded = LoadBytes(odd);
    ASSERT_EQ(loaded.status, kPsdOk);
    EXPECT_EQ(loaded->layerCount, 1); // the merged-image layer
}

TEST(PsdLayerRecord, NegativeBoundsFlagBitsAndMasksOfTwentyAndThirtySixBytes)
{
    Loaded loaded = LoadCase("records");
    ASSERT_EQ(loaded.status, kPsdOk);
    const PsdLayerRecord& a = loaded.Layer(1);
    EXPECT_EQ(std::vector<int>({a.width, a.height, a.maskWidth, a.maskHeight}), std::vector<int>({8, 6, 5, 3}));
    EXPECT_TRUE(a.transparencyProtected && a.obsolete && a.pixelDataIrrelevant && a.maskDisabled && a.maskInvert);
    EXPECT_FALSE(a.visible || a.hasRealMask);
    const PsdLayerRecord& b = loaded.Layer(2);
    EXPECT_EQ(
        std::vector<int>({b.maskWidth, b.maskDefaultColor, b.hasRealMask, b.realMaskDefaultColor, b.realMaskBottom}),
              std::vector<int>({5, 10, 1, 30, 9}));
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

TEST(PsdFolders, SectionDividersOfEveryLength)
{
    const struct { const char* key; Bytes data; int32_t kind, blendMode; } cases[] = {
        {"lsct", SectionDivider(1), kPsdLayerFolder, 23},
        {"lsct", SectionDivider(2, "diss"), kPsdLayerFolder, 1},
        {"lsct", SectionDivider(2, "diss", true), kPsdLayerFolder, 1},
        {"lsdk", SectionDivider(1, "mul "), kPsdLayerFolder, 3},
        {"lsdk", SectionDivider(3), kPsdLayerFolderEnd, 23},
        {"lsct", SectionDivider(0), kPsdLayerNormal, 23}};
    for (const auto& c : cases)
    {
        Loaded loaded = LoadBlock(c.key, c.data);
        ASSERT_EQ(loaded.status, kPsdOk);
        EXPECT_EQ(std::vector<int>({loaded.Layer(1).kind, loaded.Layer(1).sectionBlendMode}),
                  std::vector<int>({c.kind, c.blendMode}))
            << c.key << " " << c.data.size();
    }
}

// --- Additional blocks ---------------------------------------------------------------------------

TEST(PsdBlocks, UnknownOddAndUnpaddedBlocksAreSkippedAndTwentyAreStored)
{
    Loaded loaded = LoadCase("blocks");
    ASSERT_EQ(loaded.status, kPsdOk);
    EXPECT_EQ(loaded.Layer(1).layerId, 9u);
    EXPECT_STREQ(loaded.Layer(4).name, "next");

    Layer many = Named("many", std::vector<TaggedBlock>(21, Block("nvrt", {})));
    EXPECT_EQ(LoadLayers({many}).status, kPsdListFull);
    many.blocks.pop_back();
    Loaded twenty = LoadLayers({many});
    ASSERT_EQ(twenty.status, kPsdOk);
    EXPECT_EQ(twenty.Layer(1).blockCount, 20);
}

TEST(PsdBlocks, SingleValueBlocks)
{
    // fxrp holds 12.9 and NaN; blending restrictions name channels -1 and 1.
    Loaded loaded = LoadCase("records");
    ASSERT_EQ(loaded.status, kPsdOk);
    const PsdLayerRecord& r = loaded.Layer(3);
    EXPECT_EQ(std::vector<int>({r.transparencyLocked, r.positionLocked, r.compositeLocked, r.referenceX, r.referenceY,
                                r.blendInterior, r.fillOpacity}),
              std::vector<int>({1, 1, 0, 12, 0, 1, 99}));
    EXPECT_EQ(r.sheetColor, 0xFF0A141Eu);
    ASSERT_EQ(r.unicodeNameLength, 4u);
    EXPECT_EQ(r.unicodeName[1], 0xE4);
    EXPECT_EQ(std::vector<int>({r.channels[0].restricted, r.channels[1].restricted, r.channels[2].restricted}),
              std::vector<int>({1, 0, 1}));
}

// --- Adjustments -------------------------------------------------------------------------------

TEST(PsdAdjustments, LevelsAndCurvesWithAndWithoutTheirExtensions)
{
    // A total below the 29 records of the levels block itself adds none.
    Loaded plain = LoadBlock("levl", Levels(2, false, 0)), extended = LoadBlock("levl", Levels(2, true, 31)),
           fewer = LoadBlock("levl", Levels(2, true, 20));
    ASSERT_TRUE(plain.status == kPsdOk && extended.status == kPsdOk && fewer.status == kPsdOk);
    EXPECT_FLOAT_EQ(Payload<PsdLevels>(plain)->records[28].gamma, 1.5f);
    ASSERT_EQ(Payload<PsdLevels>(extended)->extraCount, 2);
    EXPECT_EQ(Payload<PsdLevels>(extended)->extra[1].outputCeiling, 4);
    EXPECT_EQ(Payload<PsdLevels>(fewer)->extraCount, 0);

    // The extension replaces the curves read before; one that disagrees stops
    // the reader with what it had.
    Loaded curves = LoadBlock("curv", Curves(1, 0b101, 3, true, 2)),
           other = LoadBlock("curv", Curves(4, 0b11, 2, true, 5)),
           changed = LoadBlock("curv", Curves(4, 0b11, 2, true, 2, true));
    ASSERT_TRUE(curves.status == kPsdOk && other.status == kPsdOk && changed.status == kPsdOk);
    ASSERT_EQ(Payload<PsdCurves>(curves)->count, 2);
    EXPECT_EQ(Payload<PsdCurves>(curves)->curves[1].channel, 101);
    EXPECT_EQ(Payload<PsdCurves>(curves)->curves[1].inputs[2], 24);
    EXPECT_EQ(Payload<PsdCurves>(other)->curves[0].channel, 0);
    EXPECT_TRUE(changed.Layer(1).adjustmentValid);
}

// `n` big-endian words from `first` on by `step`, after `head`.
Bytes Words(Writer head, int n, int first, int step = 1)
{
    for (int i = 0; i < n; ++i)
        head.U16(uint16_t(first + i * step));
    return head.out;
}

TEST(PsdAdjustments, FixedLayoutBlocksGradientMapAndTypeTool)
{
    const std::pair<const char*, Bytes> blocks[] = {
        {"brit", Writer().U16(10).U16(20).U16(30).U8(1).out},
        {"blnc", Writer{Words({}, 9, 0, -1)}.U16(0x0101).out},
        {"hue2", Words(Writer().U16(2).U8(1).U8(0), 6 + 6 * 7, 0)},
        {"selc", Words(Writer().U16(1).U16(2), 40, -20)},
        {"thrs", Writer().U16(128).U16(0).out},
        {"nvrt", {}},
        {"post", Writer().U16(4).U16(0).out},
        {"mixr", Words(Writer().U16(1).U16(1), 20, 0)},
        {"phfl", Writer().U16(3).U32(0x1200).U32(0x3400).U32(0x5600).U32(25).U8(1).U8(0).out},
        {"grdm", GradientMap(2, 32)},
    };
    const int32_t kinds[] = {8, 9, 10, 11, 12, 13, 14, 15, 17, kPsdLayerGradientMap};
    std::vector<Loaded> loaded;
    for (size_t i = 0; i < std::size(blocks); ++i)
    {
        loaded.push_back(LoadBlock(blocks[i].first, blocks[i].second));
        ASSERT_EQ(loaded[i].status, kPsdOk) << blocks[i].first;
        EXPECT_EQ(loaded[i].Layer(1).kind, kinds[i]) << blocks[i].first;
        EXPECT_TRUE(loaded[i].Layer(1).adjustmentValid) << blocks[i].first;
    }
    EXPECT_EQ(Payload<PsdHueSaturation>(loaded[2])->settings[5][2], 47);
    EXPECT_EQ(Payload<PsdSelectiveColor>(loaded[3])->black[9], 19);
    EXPECT_EQ(loaded[5].Layer(1).blocks[0], nullptr);
    EXPECT_EQ(Payload<PsdGradientMap>(loaded[9])->maximumColor, 0xFF0000FFu);

    Loaded text = LoadBlock("tySh", TypeTool(2, 2));
    ASSERT_EQ(text.status, kPsdOk);
    const PsdTypeTool* type = Payload<PsdTypeTool>(text);
    ASSERT_EQ(type->faceCount, 2);
    EXPECT_STREQ(type->faces[1].familyName, "Family");
    ASSERT_EQ(type->lineCount, 1);
    EXPECT_EQ(type->lines[0].characterCount, 5u);
}

// --- Blocks that fail the load, and adjustments of forms the readers do not know ----------------

Layer With(Bytes Layer::*field, const Bytes& value)
{
    Layer layer = Named("field");
    layer.*field = value;
    return layer;
}

// Damage fails the load with its status. An adjustment the reader cannot
// interpret keeps its layer, not valid and with the code, and the layers
// above it.
TEST(PsdLayerFailure, RefusesDamageAndKeepsAdjustmentsItCannotInterpret)
{
    const Bytes levels = Levels(2, true, 29), curves = Curves(1, 1, 2, true, 1), ids = {0, 0, 0, 4, 0, 0, 0, 1};
    const Bytes map = GradientMap(2, 32), phfl = {0, 2, 0, 0, 0, 1, 0, 2, 0, 3, 0, 4, 0, 0, 0, 25, 1, 0};
    struct Case { const char* name; Layer layer; PsdStatus status; };
    const Case cases[] = {
        {"mask shorter than its fields", With(&Layer::mask, Bytes(10, 0)), kPsdBlockOverrun},
        {"block without signature", With(&Layer::extraTail, Writer().Key("XBIM").Key("lyid").Raw(ids).out),
         kPsdBadBlockSignature},
        {"block past the record", With(&Layer::extraTail, Writer().Key("8BIM").Key("lyid").U32(256).U32(1).out),
         kPsdBlockOverrun},
        {"section signature", WithBlock("lsct", Patched(SectionDivider(1, "norm"), 7, 'X')), kPsdBadSectionSignature},
        {"levels version", WithBlock("levl", Levels(1, false, 0)), kPsdBadLevelsVersion},
        // Photoshop pads its levels blocks past their records.
        {"levels padded", WithBlock("levl", Levels(2, true, 62, 2)), kPsdLevelsLengthMismatch},
        {"levels marker", WithBlock("levl", Patched(levels, 292, 'X')), kPsdMissingLevelsExtension},
        {"levels extension version", WithBlock("levl", Patched(levels, 297, 4)), kPsdBadLevelsExtensionVersion},
        {"levels count past the block", WithBlock("levl", Patched(levels, 298, 0xFF)), kPsdBlockOverrun},
        {"curves version", WithBlock("curv", Curves(2, 1, 2, false, 0)), kPsdBadCurvesVersion},
        {"curves of twenty points", WithBlock("curv", Curves(1, 1, 20, false, 0)), kPsdListFull},
        {"curves marker", WithBlock("curv", Patched(curves, 7 + 2 + 8, 'X')), kPsdMissingCurvesExtension},
        {"curves extension version", WithBlock("curv", Patched(curves, 7 + 2 + 8 + 5, 3)),
         kPsdBadCurvesExtensionVersion},
        {"hue version", WithBlock("hue2", Bytes{0, 1}), kPsdBadHueSaturationVersion},
        {"selective colour version", WithBlock("selc", Bytes{0, 2}), kPsdBadSelectiveColorVersion},
        {"mixer version", WithBlock("mixr", Bytes{0, 2}), kPsdBadChannelMixerVersion},
        {"photo filter version 2", WithBlock("phfl", phfl), kPsdBadPhotoFilterVersion},
        {"gradient map version 3", WithBlock("grdm", Patched(map, 1, 3)), kPsdBadGradientMapVersion},
        // A block shorter than its structure is an overrun, whatever the version.
        {"short hue", WithBlock("hue2", Bytes{0, 2, 0, 0}), kPsdBlockOverrun},
        {"gradient map stops past the block",
         WithBlock("grdm", Patched(Patched(GradientMap(2, 0), 16, 0xFF), 17, 0xFF)),
         kPsdBlockOverrun},
        {"type tool axes past the block", WithBlock("tySh", TypeTool(1, 0x40000000)), kPsdBlockOverrun},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        Loaded loaded = LoadLayers({c.layer, Named("above")});
        if (c.status > kPsdBadLevelsVersion || c.status < kPsdBadGradientMapVersion)
        {
            EXPECT_EQ(loaded.status, c.status);
            continue;
        }
        ASSERT_EQ(loaded.status, kPsdOk);
        ASSERT_EQ(loaded->layerCount, 3);
        const PsdLayerRecord& r = loaded.Layer(1);
        EXPECT_GE(r.kind, kPsdLayerLevels);
        EXPECT_STREQ(r.name, "with block");
        EXPECT_FALSE(r.adjustmentValid);
        EXPECT_EQ(r.adjustmentStatus, c.status);
        EXPECT_STREQ(loaded.Layer(2).name, "above");
    }
}

// --- "Lr16" and the section around the layer info ----------------------------------------------------

TEST(PsdLayerSection, Lr16ReplacesTheRecordsReadBeforeAndItsFailureFailsTheLoad)
{
    Loaded loaded = LoadCase("lr16_replaces");
    ASSERT_EQ(loaded.status, kPsdOk);
    ASSERT_EQ(loaded->layerCount, 2);
    EXPECT_STREQ(loaded.Layer(1).name, "b");
    // A tagged block after the failing one must not turn the failure into success.
    EXPECT_EQ(LoadCase("lr16_fails").status, kPsdInflateFailed);
}

TEST(PsdLayerSection, SectionEndingAfterTheLayerInfoHasNoGlobalMask)
{
    Document doc = SmallRgb();
    doc.layers = {Named("only")};
    Bytes data = WriteDocument(doc);
    const Bytes info = EncodeLayerInfo(doc);
    const size_t globalAt = kSectionAt + 4 + 4 + info.size();
    data.erase(data.begin() + long(globalAt), data.begin() + long(globalAt) + 4);
    PutU32(data, kSectionAt, uint32_t(4 + info.size()));
    Loaded loaded = LoadBytes(data);
    ASSERT_EQ(loaded.status, kPsdOk);
    EXPECT_STREQ(loaded.Layer(0).name, "only");
}

} // namespace
