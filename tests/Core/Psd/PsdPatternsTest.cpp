// Patterns of the layer section and the fill layers that refer to them.

#include "tests/Core/Psd/PsdDocuments.h"

#include <gtest/gtest.h>

using namespace psdtest;
using namespace psdtest::desc;

namespace
{

Loaded LoadPatterns(const std::vector<PatternImage>& patterns, const char* key = "Patt")
{
    Document doc = SmallRgb();
    doc.layers.push_back(PatternLayer(0, 0, 1, 1, {0, 1, 2}, 8, 0, "bg"));
    Bytes block;
    for (const PatternImage& pattern : patterns)
    {
        const Bytes record = PatternRecord(pattern);
        block.insert(block.end(), record.begin(), record.end());
    }
    doc.sectionBlocks.push_back(TaggedBlock{key, block, true});
    return LoadDocument(doc);
}

Bytes Plane(uint16_t width, uint16_t height, int depth, uint8_t base)
{
    return MakePlane(width, height, depth, [base](size_t x, size_t y) { return base + x * 10 + y; });
}

PatternImage RgbPattern(int compression, bool alpha, int depth = 8)
{
    PatternImage p;
    p.mode = 3;
    p.width = 3;
    p.height = 2;
    p.name = u"Dots";
    p.id = "dots-1";
    p.depth = depth;
    p.compression = compression;
    p.channels = {Plane(3, 2, depth, 100), Plane(3, 2, depth, 50), Plane(3, 2, depth, 0)};
    if (alpha)
        p.alpha = Plane(3, 2, depth, 200);
    return p;
}

class PsdPatternCompression : public ::testing::TestWithParam<int>
{
};

TEST_P(PsdPatternCompression, DecodesRgbWithTransparencyAfterTheColours)
{
    for (int depth : {8, 16})
    {
        Loaded loaded = LoadPatterns({RgbPattern(GetParam(), true, depth)});
        ASSERT_EQ(loaded.status, kPsdOk) << depth;
        ASSERT_EQ(loaded->patternCount, 1);
        const PsdPattern& p = loaded->patterns[0];
        EXPECT_EQ(p.imageMode, 3);
        EXPECT_EQ(p.width, 3);
        EXPECT_EQ(p.height, 2);
        EXPECT_EQ(p.depth, depth);
        EXPECT_EQ(p.channelsDecoded, 4);
        EXPECT_EQ(std::u16string(p.name, p.name + p.nameLength), u"Dots");
        EXPECT_STREQ(p.identifier, "dots-1");
        EXPECT_EQ(p.arrayVersion, 3u);
        EXPECT_EQ(p.bottom, 2);
        EXPECT_EQ(p.right, 3);
        // x = 2, y = 1: red 121, green 71, blue 21, alpha 221.
        EXPECT_EQ(p.pixels[5], PsdMakeArgb(221, 121, 71, 21));
        EXPECT_EQ(p.pixels[0], PsdMakeArgb(200, 100, 50, 0));
    }
}

INSTANTIATE_TEST_SUITE_P(Methods, PsdPatternCompression, ::testing::Values(0, 1, 2, 3));

TEST(PsdPatterns, WithoutTransparencyThePatternIsOpaque)
{
    Loaded loaded = LoadPatterns({RgbPattern(1, false)});
    ASSERT_EQ(loaded.status, kPsdOk);
    EXPECT_EQ(loaded->patterns[0].channelsDecoded, 3);
    EXPECT_EQ(loaded->patterns[0].pixels[5], PsdMakeArgb(255, 121, 71, 21));
}

TEST(PsdPatterns, SeveralPatternsGrowTheArrayFromFour)
{
    std::vector<PatternImage> patterns(5, RgbPattern(0, false));
    patterns[4].id = "fifth";
    Loaded loaded = LoadPatterns(patterns, "Pat2");
    ASSERT_EQ(loaded.status, kPsdOk);
    EXPECT_EQ(loaded->patternCount, 5);
    EXPECT_EQ(loaded->patternCapacity, 8);
    EXPECT_STREQ(loaded->patterns[4].identifier, "fifth");

    Loaded two = LoadPatterns({RgbPattern(0, false), RgbPattern(2, true)});
    ASSERT_EQ(two.status, kPsdOk);
    EXPECT_EQ(two->patternCount, 2);
    EXPECT_EQ(two->patternCapacity, 4);
}

TEST(PsdPatterns, GreyIndexedCmykAndLabConvertByTheirModes)
{
    PatternImage grey;
    grey.mode = 1;
    grey.width = 2;
    grey.height = 2;
    grey.channels = {Plane(2, 2, 8, 30)};
    grey.alpha = Plane(2, 2, 8, 90);

    PatternImage indexed;
    indexed.mode = 2;
    indexed.width = 2;
    indexed.height = 1;
    indexed.channels = {Bytes{3, 255}};
    indexed.palette.assign(768, 0);
    indexed.palette[9] = 11; // entry 3
    indexed.palette[10] = 22;
    indexed.palette[11] = 33;
    indexed.palette[765] = 1;

    PatternImage cmyk;
    cmyk.mode = 4;
    cmyk.width = 1;
    cmyk.height = 1;
    cmyk.compression = 2;
    cmyk.channels = {Bytes{255}, Bytes{255}, Bytes{255}, Bytes{0}}; // all black ink

    PatternImage lab;
    lab.mode = 9;
    lab.width = 1;
    lab.height = 1;
    lab.channels = {Bytes{255}, Bytes{128}, Bytes{128}};

    Loaded loaded = LoadPatterns({grey, indexed, cmyk, lab});
    ASSERT_EQ(loaded.status, kPsdOk);
    ASSERT_EQ(loaded->patternCount, 4);
    EXPECT_EQ(loaded->patterns[0].pixels[3], PsdMakeArgb(101, 41, 41, 41));
    EXPECT_EQ(loaded->patterns[1].pixels[0], 0xFF0B1621u);
    EXPECT_EQ(loaded->patterns[1].pixels[1], 0xFF010000u);
    EXPECT_EQ(loaded->patterns[2].pixels[0], 0xFF000000u);
    EXPECT_EQ(loaded->patterns[3].pixels[0] >> 24, 255u);
    EXPECT_GT(loaded->patterns[3].pixels[0] & 0xFF, 240u) << "L of 100 is nearly white";
}

TEST(PsdPatterns, AMultichannelPatternTakesFourInks)
{
    PatternImage inks;
    inks.mode = 7;
    inks.width = 1;
    inks.height = 1;
    inks.channels = {Bytes{255}, Bytes{255}, Bytes{255}, Bytes{0}};
    Loaded loaded = LoadPatterns({inks});
    ASSERT_EQ(loaded.status, kPsdOk);
    EXPECT_EQ(loaded->patterns[0].pixels[0], PsdCmykToArgb(0, 0, 0, 255));
}

TEST(PsdPatterns, AnUnconvertibleDepthLeavesThePatternTransparent)
{
    PatternImage indexed16;
    indexed16.mode = 2;
    indexed16.width = 2;
    indexed16.height = 1;
    indexed16.depth = 16;
    indexed16.channels = {Plane(2, 1, 16, 1)};
    indexed16.palette.assign(768, 200);
    Loaded loaded = LoadPatterns({indexed16});
    ASSERT_EQ(loaded.status, kPsdOk);
    EXPECT_EQ(loaded->patterns[0].pixels[0], 0u);
    EXPECT_EQ(loaded->patterns[0].pixels[1], 0u);
}

struct PatternFailure
{
    const char* name;
    PsdStatus status;
    void (*change)(Bytes& record);
};

class PsdPatternFailure : public ::testing::TestWithParam<PatternFailure>
{
};

TEST_P(PsdPatternFailure, FailsTheLoadAndKeepsNoPattern)
{
    Bytes record = PatternRecord(RgbPattern(1, true));
    GetParam().change(record);
    Document doc = SmallRgb();
    doc.sectionBlocks.push_back(TaggedBlock{"Patt", record, true});
    Loaded loaded = LoadDocument(doc);
    EXPECT_EQ(loaded.status, GetParam().status);
}

// Offsets in a record of RgbPattern: length 0, version 4, mode 8, size 12,
// name 16 (4 + 8 bytes), identifier 28 (1 + 6), array version 35, array
// length 39, rectangle 43, channel count 59, first channel 63: written,
// length 67, depth 71, rectangle 75, depth 91, compression 93.
INSTANTIATE_TEST_SUITE_P(
    Codes, PsdPatternFailure,
    ::testing::Values(
        PatternFailure{"version", kPsdBadPatternVersion, [](Bytes& r) { r[7] = 2; }},
        PatternFailure{"mode", kPsdBadColorMode, [](Bytes& r) { r[11] = 5; }},
        PatternFailure{"compression", kPsdBadCompression, [](Bytes& r) { r[93] = 9; }},
        PatternFailure{"depth", kPsdBadDepth, [](Bytes& r) { r[74] = 12; }},
        PatternFailure{"nameLength", kPsdBlockOverrun, [](Bytes& r) { r[17] = 0x40; }},
        PatternFailure{"channelLength", kPsdBlockOverrun, [](Bytes& r) { r[68] = 0x10; }},
        PatternFailure{"rowTable", kPsdCorruptData, [](Bytes& r) { r[94] = 0x7F; }},
        PatternFailure{"recordLength", kPsdBlockOverrun, [](Bytes& r) { r[1] = 0x10; }},
        PatternFailure{"sizePastItsData", kPsdCorruptData, [](Bytes& r) { r[12] = r[14] = 0xFF; }}),
    [](const ::testing::TestParamInfo<PatternFailure>& info) { return std::string(info.param.name); });

TEST(PsdPatterns, PatternsSurviveADocumentWithoutLayers)
{
    Document doc = SmallRgb();
    doc.sectionBlocks.push_back(TaggedBlock{"Patt", PatternRecord(RgbPattern(0, false)), true});
    Loaded loaded = LoadDocument(doc);
    ASSERT_EQ(loaded.status, kPsdOk);
    EXPECT_EQ(loaded->layerCount, 1) << "the merged image's layer";
    EXPECT_EQ(loaded->patternCount, 1);
}

// --- Fill layers ----------------------------------------------------------------------------

Loaded LoadFill(const char* key, const Bytes& data)
{
    Document doc = SmallRgb();
    doc.layers.push_back(PatternLayer(0, 0, 1, 1, {0, 1, 2}, 8, 0, "bg"));
    Layer layer;
    layer.name = "fill";
    layer.blocks.push_back(Block(key, data));
    doc.layers.push_back(layer);
    return LoadDocument(doc);
}

template <typename T> const T* Fill(const Loaded& loaded, int32_t kind)
{
    const PsdLayerRecord& record = loaded.Layer(1);
    for (int32_t i = 0; i < record.blockCount; ++i)
        if (record.blockKinds[i] == kind)
            return static_cast<const T*>(record.blocks[i]);
    return nullptr;
}

TEST(PsdFills, SolidColourKeepsItsClassAndColour)
{
    Loaded loaded = LoadFill("SoCo", Versioned({{"Clr ", Color(12, 34, 56)}}));
    ASSERT_EQ(loaded.status, kPsdOk);
    EXPECT_EQ(loaded.Layer(1).kind, kPsdLayerSolidColorFill);
    const PsdSolidColorFill* fill = Fill<PsdSolidColorFill>(loaded, kPsdInfoSolidColorFill);
    ASSERT_NE(fill, nullptr);
    EXPECT_EQ(fill->classId, PsdKey("null"));
    EXPECT_EQ(fill->color, 0xFF0C2238u);
    EXPECT_FALSE(loaded.Layer(1).adjustmentValid);
}

TEST(PsdFills, GradientFillReadsItsItemsOverTheDefaults)
{
    Loaded defaults = LoadFill("GdFl", Versioned({}));
    ASSERT_EQ(defaults.status, kPsdOk);
    const PsdGradientFill* plain = Fill<PsdGradientFill>(defaults, kPsdInfoGradientFill);
    EXPECT_EQ(plain->scale, 100);
    EXPECT_TRUE(plain->align);
    EXPECT_FALSE(plain->reversed);

    Loaded loaded = LoadFill(
        "GdFl", Versioned({{"Grad", desc::Gradient(u"fill", {{0, 0, 255, 0, 50}, {255, 0, 0, 4096, 50}},
                                                   {{100, 0, 50}})},
                           {"Algn", Bool(false)},
                           {"Angl", Angle(-37.5)},
                           {"Dthr", Bool(true)},
                           {"Rvrs", Bool(true)},
                           {"Scl ", Percent(75.9)},
                           {"Type", Enum("GrdT", "Angl")},
                           {"Ofst", Point(1, 1)}}));
    ASSERT_EQ(loaded.status, kPsdOk);
    EXPECT_EQ(loaded.Layer(1).kind, kPsdLayerGradientFill);
    const PsdGradientFill* fill = Fill<PsdGradientFill>(loaded, kPsdInfoGradientFill);
    EXPECT_EQ(fill->gradient.colorStopCount, 2);
    EXPECT_EQ(fill->gradient.colorStops[1].color, 0xFFFF0000u);
    EXPECT_FALSE(fill->align);
    EXPECT_DOUBLE_EQ(fill->angle, -37.5);
    EXPECT_TRUE(fill->dithered);
    EXPECT_TRUE(fill->reversed);
    EXPECT_EQ(fill->scale, 75);
    EXPECT_EQ(fill->style, 2);
}

TEST(PsdFills, PatternFillRefersToItsPattern)
{
    Loaded loaded =
        LoadFill("PtFl", Versioned({{"Ptrn", PatternRef(u"Bricks", u"b-1")}, {"Scl ", Percent(200)}}));
    ASSERT_EQ(loaded.status, kPsdOk);
    EXPECT_EQ(loaded.Layer(1).kind, kPsdLayerPatternFill);
    const PsdPatternFill* fill = Fill<PsdPatternFill>(loaded, kPsdInfoPatternFill);
    EXPECT_STREQ(fill->pattern.identifier, "b-1");
    EXPECT_EQ(fill->pattern.nameLength, 6u);
    EXPECT_EQ(fill->scale, 200);
}

TEST(PsdFills, WrongDescriptorVersionsFailWithTheirCodes)
{
    const std::pair<const char*, PsdStatus> cases[] = {{"SoCo", kPsdBadSolidColorFillVersion},
                                                       {"GdFl", kPsdBadGradientFillVersion},
                                                       {"PtFl", kPsdBadPatternFillVersion}};
    for (const auto& [key, status] : cases)
    {
        Bytes data = Versioned({});
        data[3] = 15;
        EXPECT_EQ(LoadFill(key, data).status, status) << key;
    }
}

} // namespace
