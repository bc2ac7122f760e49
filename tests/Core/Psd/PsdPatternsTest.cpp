// Patterns of the layer section and the fill layers that refer to them. The
// patterns of every mode and the three fills of w_patterns_fills.psd are
// compared with psd-tools by PsdInteropTest; these are the other cases.

#include "tests/Core/Psd/PsdTesting.h"

#include <gtest/gtest.h>

using namespace psdtest;
using namespace psdtest::desc;

namespace
{

Loaded LoadPatterns(const std::vector<PatternImage>& patterns, const char* key = "Patt", bool layers = true)
{
    Document doc = SmallRgb();
    if (layers)
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

TEST(PsdPatterns, EveryCompressionDecodesRgbWithTransparencyAfterTheColours)
{
    for (int compression = 0; compression < 4; ++compression)
    {
        for (int depth : {8, 16})
        {
            SCOPED_TRACE(compression * 100 + depth);
            Loaded loaded = LoadPatterns({RgbPattern(compression, true, depth)}, depth == 8 ? "Patt" : "Pat2");
            ASSERT_EQ(loaded.status, kPsdOk);
            ASSERT_EQ(loaded->patternCount, 1);
            const PsdPattern& p = loaded->patterns[0];
            EXPECT_EQ(p.depth, depth);
            EXPECT_EQ(p.channelsDecoded, 4);
            // x = 2, y = 1: red 121, green 71, blue 21, alpha 221.
            EXPECT_EQ(p.pixels[5], PsdMakeArgb(221, 121, 71, 21));
            EXPECT_EQ(p.pixels[0], PsdMakeArgb(200, 100, 50, 0));
        }
    }
}


TEST(PsdPatterns, InksUnconvertibleDepthsAndDocumentsWithoutLayers)
{
    PatternImage inks;
    inks.mode = 7;
    inks.channels = {Bytes{255}, Bytes{255}, Bytes{255}, Bytes{0}};
    Loaded multichannel = LoadPatterns({inks});
    ASSERT_EQ(multichannel.status, kPsdOk);
    EXPECT_EQ(multichannel->patterns[0].pixels[0], PsdCmykToArgb(0, 0, 0, 255));

    // Indexed at 16 bits has no converter: the pattern stays transparent.
    PatternImage indexed16;
    indexed16.mode = 2;
    indexed16.width = 2;
    indexed16.depth = 16;
    indexed16.channels = {Plane(2, 1, 16, 1)};
    indexed16.palette.assign(768, 200);
    Loaded indexed = LoadPatterns({indexed16});
    ASSERT_EQ(indexed.status, kPsdOk);
    EXPECT_EQ(indexed->patterns[0].pixels[0], 0u);
    EXPECT_EQ(indexed->patterns[0].pixels[1], 0u);

    Loaded flat = LoadPatterns({RgbPattern(0, false)}, "Patt", false);
    ASSERT_EQ(flat.status, kPsdOk);
    EXPECT_EQ(flat->layerCount, 1) << "the merged image's layer";
    EXPECT_EQ(flat->patternCount, 1);
}

struct PatternFailure
{
    const char* name;
    PsdStatus status;
    void (*change)(Bytes& record);
};

void PrintTo(const PatternFailure& c, std::ostream* os) { *os << c.name; }

class PsdPatternFailure : public ::testing::TestWithParam<PatternFailure>
{
};

TEST_P(PsdPatternFailure, FailsTheLoadAndKeepsNoPattern)
{
    Bytes record = PatternRecord(RgbPattern(1, true));
    GetParam().change(record);
    Document doc = SmallRgb();
    doc.sectionBlocks.push_back(TaggedBlock{"Patt", record, true});
    EXPECT_EQ(LoadDocument(doc).status, GetParam().status);
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
        PatternFailure{"recordOfTheVersionOnly", kPsdBlockOverrun, [](Bytes& r) { r[2] = 0; r[3] = 4; }},
        PatternFailure{"sizePastItsData", kPsdCorruptData, [](Bytes& r) { r[12] = r[14] = 0xFF; }}),
    [](const ::testing::TestParamInfo<PatternFailure>& info) { return std::string(info.param.name); });

// --- Fill layers ----------------------------------------------------------------------------

TEST(PsdFills, AGradientFillOfUnknownItemsKeepsItsDefaults)
{
    Loaded loaded = LoadBlock("GdFl", Versioned({{"Ofst", Point(1, 1)}}));
    ASSERT_EQ(loaded.status, kPsdOk);
    EXPECT_EQ(loaded.Layer(1).kind, kPsdLayerGradientFill);
    const PsdGradientFill* fill = Payload<PsdGradientFill>(loaded, kPsdInfoGradientFill);
    ASSERT_NE(fill, nullptr);
    EXPECT_EQ(fill->scale, 100);
    EXPECT_TRUE(fill->align);
    EXPECT_FALSE(fill->reversed);
    EXPECT_FALSE(loaded.Layer(1).adjustmentValid);
}

TEST(PsdFills, WrongDescriptorVersionsFailWithTheirCodes)
{
    const std::pair<const char*, PsdStatus> cases[] = {{"SoCo", kPsdBadSolidColorFillVersion},
                                                       {"GdFl", kPsdBadGradientFillVersion},
                                                       {"PtFl", kPsdBadPatternFillVersion}};
    for (const auto& [key, status] : cases)
        EXPECT_EQ(LoadBlock(key, Patched(Versioned({}), 3, 15)).status, status) << key;
}

} // namespace
