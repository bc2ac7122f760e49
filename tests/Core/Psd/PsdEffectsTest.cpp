// Layer effects in both forms, patterns and fill layers, read through whole
// documents. What psd-tools reads from w_effects.psd, ag_effects.psd and
// w_patterns_fills.psd (every field of every effect in both forms, patterns of
// every mode, the three fills) is checked by PsdInteropTest; these are the
// cases those files do not hold.

#include "tests/Core/Psd/PsdTesting.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace psdtest;
using namespace psdtest::desc;

namespace
{

const PsdLayerEffects* ObjectEffectsOf(const Loaded& l) { return Payload<PsdLayerEffects>(l, kPsdInfoObjectEffects); }

// w_effects.psd with bytes changed, each counted from the first "8BIM" of a
// tagged block or binary effect (those of its "binary" layer): the block's
// data or the effect's body begin 12 bytes on.
Bytes EffectsWith(const std::vector<std::tuple<const char*, size_t, uint8_t>>& changes)
{
    Bytes data = Fixture("w_effects.psd");
    for (const auto& [key, at, value] : changes)
    {
        const std::string tag = std::string("8BIM") + key;
        data[size_t(std::search(data.begin(), data.end(), tag.begin(), tag.end()) - data.begin()) + at] = value;
    }
    return data;
}

// --- "lrFX" ----------------------------------------------------------------------------------

TEST(PsdBinaryEffects, CountsVersionsFractionsAndLongEffects)
{
    // A count of 0 reads nothing, and the block is skipped to its end.
    Loaded none = LoadBytes(EffectsWith({{"lrFX", 15, 0}}));
    ASSERT_EQ(none.status, kPsdOk);
    const PsdLayerEffects* n = Payload<PsdLayerEffects>(none, kPsdInfoLayerEffects);
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->effectCount, 0);
    EXPECT_EQ(std::count(n->present, n->present + kPsdEffectCount, true), 0);

    // Version 0 has no native colours, so the defaults stay, and the rest of
    // a longer body is skipped. Fixed-point fractions are dropped: blur
    // 5 + 0x8000 / 65536, angle 120 + 0xC000 / 65536.
    Loaded old = LoadBytes(EffectsWith(
        {{"dsdw", 15, 0}, {"iglw", 15, 0}, {"bevl", 15, 0}, {"isdw", 18, 0x80}, {"isdw", 26, 0xC0}, {"cmnS", 16, 0}}));
    ASSERT_EQ(old.status, kPsdOk);
    const PsdLayerEffects& e = *Payload<PsdLayerEffects>(old, kPsdInfoLayerEffects);
    EXPECT_EQ(std::vector<uint32_t>({e.dropShadow.color, e.dropShadow.nativeColor, e.bevel.highlightNativeColor}),
              std::vector<uint32_t>({0xFF1428C8u, 0xFF000000u, 0xFFFFFFFFu}));
    EXPECT_EQ(std::vector<int>({e.innerGlow.source, e.innerShadow.size, e.innerShadow.angle, e.masterEnabled}),
              std::vector<int>({1, 5, 120, 0}));
    EXPECT_TRUE(e.present[kPsdEffectOuterGlow]);
}

// --- Refusals of both forms ---------------------------------------------------------------------

TEST(PsdEffectsFailure, FailsTheLoadWithItsCode)
{
    // The last item's type cut short, its value gone.
    const Bytes cut = ObjectEffects({{"DrSh", Object({{"enab", Bool(true)}})}});
    const struct { const char* name; const char* key; size_t at; uint8_t value; PsdStatus status; } changes[] = {
        {"blockVersion", "lrFX", 13, 1, kPsdBadEffectsVersion},
        {"effectSignature", "cmnS", 0, 'X', kPsdBadEffectSignature},
        // The shadow read before it is released with the failed document (LeakSanitizer).
        {"unknownKey", "isdw", 4, 'w', kPsdUnknownEffect},
        {"commonState", "cmnS", 15, 1, kPsdBadCommonStateVersion},
        {"shadow", "isdw", 15, 1, kPsdBadShadowVersion},
        {"outerGlow", "oglw", 15, 3, kPsdBadOuterGlowVersion},
        {"innerGlow", "iglw", 15, 1, kPsdBadInnerGlowVersion},
        {"bevel", "bevl", 15, 1, kPsdBadBevelVersion},
        {"solidFill", "sofi", 15, 0, kPsdBadSolidFillVersion},
        {"blendSignature", "dsdw", 12 + 30, 'X', kPsdBadLayerSignature},
        {"bevelBlendSignature", "bevl", 12 + 16, 'X', kPsdBadLayerSignature},
        {"sizePastTheBlock", "cmnS", 8, 0x10, kPsdBlockOverrun},
    };
    for (const auto& c : changes)
        EXPECT_EQ(LoadBytes(EffectsWith({{c.key, c.at, c.value}})).status, c.status) << c.name;
    const struct { const char* name; const char* key; Bytes block; PsdStatus status; } cases[] = {
        {"versionsCut", "lfx2", Bytes(4, 0), kPsdBlockOverrun},
        {"objectVersion", "lfx2", Patched(ObjectEffects({}), 3, 1), kPsdBadEffectsVersion},
        {"descriptorVersion", "lfx2", Patched(ObjectEffects({}), 7, 15), kPsdBadEffectsVersion},
        {"pastTheBlock", "lfx2", Bytes(cut.begin(), cut.end() - 4), kPsdBlockOverrun},
        {"solidColorFill", "SoCo", Patched(Versioned({}), 3, 15), kPsdBadSolidColorFillVersion},
        {"gradientFill", "GdFl", Patched(Versioned({}), 3, 15), kPsdBadGradientFillVersion},
        {"patternFill", "PtFl", Patched(Versioned({}), 3, 15), kPsdBadPatternFillVersion},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LoadBlock(c.key, c.block).status, c.status) << c.name;
}

// An item the descriptor readers cannot skip (an unknown type, nesting past
// the limit) loses its tagged block, whose length is known; the layer, its
// kind, its other blocks and the layers above it stay.
TEST(PsdObjectEffects, AnItemThatCannotBeSkippedDropsItsBlock)
{
    for (const std::string key : {"odd", "deep", "fill"})
    {
        Loaded loaded = LoadCase("undecodable_" + key);
        ASSERT_EQ(loaded.status, kPsdOk) << key;
        const PsdLayerRecord& r = loaded.Layer(1);
        EXPECT_EQ(r.blockCount, 0);
        EXPECT_EQ(r.layerId, 7u);
        EXPECT_EQ(r.kind, key == "fill" ? kPsdLayerSolidColorFill : kPsdLayerNormal);
        EXPECT_STREQ(loaded.Layer(2).name, "above");
    }
}

// Glows take their fill from the last colour or gradient; items skipped or of
// the wrong type are not counted; a repeated effect starts again from its defaults.
TEST(PsdObjectEffects, ItemsAreTakenInOrderAndOnlyOfTheirType)
{
    Loaded loaded = LoadCase("effect_items");
    ASSERT_EQ(loaded.status, kPsdOk);
    const PsdLayerEffects& e = *ObjectEffectsOf(loaded);
    EXPECT_EQ(std::vector<uint32_t>({uint32_t(e.outerGlow.fillType), e.outerGlow.color,
                                     uint32_t(e.outerGlow.gradient.colorStopCount), uint32_t(e.innerGlow.fillType),
                                     e.innerGlow.color}),
              std::vector<uint32_t>({1, 0xFF0000FFu, 2, 0, 0xFF00FF00u}));
    EXPECT_FALSE(e.dropShadow.enabled) << "a text is no bool";
    EXPECT_EQ(e.dropShadow.opacity, 26);
    EXPECT_EQ(std::vector<int>({e.stroke.fillType, e.stroke.gradient.colorStopCount, e.stroke.size}),
              std::vector<int>({0, 0, 1}));
    EXPECT_EQ(e.stroke.pattern.name, nullptr);
    EXPECT_EQ(e.effectCount, 5);
}

// --- Patterns of the layer section and the fill layers that refer to them ------------------

Loaded LoadPatterns(const std::vector<PatternImage>& patterns, const char* key)
{
    Document doc = SmallRgb();
    doc.layers.push_back(PatternLayer(0, 0, 1, 1, {0, 1, 2}, 8, 0, "bg"));
    doc.sectionBlocks.push_back(TaggedBlock{key, PatternRecords(patterns)});
    return LoadDocument(doc);
}

Bytes Plane(uint16_t width, uint16_t height, int depth, uint8_t base)
{
    return MakePlane(width, height, depth, [base](size_t x, size_t y) { return base + x * 10 + y; });
}

PatternImage RgbPattern(int compression, bool alpha, int depth = 8)
{
    PatternImage p;
    p.width = 3, p.height = 2, p.name = u"Dots", p.id = "dots-1", p.depth = depth, p.compression = compression;
    p.channels = {Plane(3, 2, depth, 100), Plane(3, 2, depth, 50), Plane(3, 2, depth, 0)};
    p.alpha = alpha ? Plane(3, 2, depth, 200) : Bytes();
    return p;
}

TEST(PsdPatterns, EveryCompressionDecodesRgbWithTransparencyAfterTheColours)
{
    for (int depth : {8, 16})
    {
        std::vector<PatternImage> patterns;
        for (int compression = 0; compression < 4; ++compression)
            patterns.push_back(RgbPattern(compression, true, depth));
        Loaded loaded = LoadPatterns(patterns, depth == 8 ? "Patt" : "Pat2");
        ASSERT_EQ(loaded.status, kPsdOk);
        ASSERT_EQ(loaded->patternCount, 4);
        for (int i = 0; i < 4; ++i)
        {
            const PsdPattern& p = loaded->patterns[i];
            EXPECT_EQ(std::vector<int>({p.depth, p.channelsDecoded}), std::vector<int>({depth, 4})) << i;
            // x = 2, y = 1: red 121, green 71, blue 21, alpha 221.
            EXPECT_EQ(p.pixels[5], PsdMakeArgb(221, 121, 71, 21)) << i;
            EXPECT_EQ(p.pixels[0], PsdMakeArgb(200, 100, 50, 0)) << i;
        }
    }
}

TEST(PsdPatterns, InksUnconvertibleDepthsAndDocumentsWithoutLayers)
{
    // Indexed at 16 bits has no converter: the pattern stays transparent.
    Loaded loaded = LoadCase("patterns_inks");
    ASSERT_EQ(loaded.status, kPsdOk);
    ASSERT_EQ(loaded->patternCount, 2);
    EXPECT_EQ(loaded->patterns[0].pixels[0], PsdCmykToArgb(0, 0, 0, 255));
    EXPECT_EQ(std::vector<uint32_t>(loaded->patterns[1].pixels, loaded->patterns[1].pixels + 2),
              std::vector<uint32_t>({0, 0}));

    Loaded flat = LoadCase("patterns_flat");
    ASSERT_EQ(flat.status, kPsdOk);
    EXPECT_EQ(flat->layerCount, 1) << "the merged image's layer";
    EXPECT_EQ(flat->patternCount, 1);
}

// A pattern that cannot be read within its length is left out, the next one
// read; one that runs past its length or its block is damage.
// A pattern that cannot be read within its length is left out, the next one
// read; one that runs past its length or its block is damage. Offsets in a
// record of RgbPattern: length 0, version 4, mode 8, size 12, name 16 (4 + 8
// bytes), identifier 28 (1 + 6), array version 35, array length 39, rectangle
// 43, channel count 59, first channel 63: written, length 67, depth 71,
// rectangle 75, depth 91, compression 93.
TEST(PsdPatternFailure, SkipsThePatternOrRefusesDamage)
{
    // `status` is the whole load's.
    const struct { const char* name; PsdStatus status; void (*change)(Bytes& record); } cases[] = {
        {"version", kPsdOk, [](Bytes& r) { r[7] = 2; }},
        {"mode", kPsdOk, [](Bytes& r) { r[11] = 5; }},
        {"compression", kPsdOk, [](Bytes& r) { r[93] = 9; }},
        {"depth32", kPsdOk, [](Bytes& r) { r[74] = 32; }},
        {"rowTable", kPsdOk, [](Bytes& r) { r[94] = 0x7F; }},
        {"sizePastItsData", kPsdOk, [](Bytes& r) { r[12] = r[14] = 0xFF; }},
        {"nameLength", kPsdBlockOverrun, [](Bytes& r) { r[17] = 0x40; }},
        {"channelLength", kPsdBlockOverrun, [](Bytes& r) { r[68] = 0x10; }},
        {"recordLength", kPsdBlockOverrun, [](Bytes& r) { r[1] = 0x10; }},
        {"recordOfTheVersionOnly", kPsdBlockOverrun, [](Bytes& r) { r[2] = 0, r[3] = 4; }},
    };
    for (const auto& c : cases)
    {
        Bytes records = PatternRecord(RgbPattern(1, true));
        c.change(records);
        records = Writer{records}.Raw(PatternRecord(RgbPattern(0, false))).out;
        Document doc = SmallRgb();
        doc.sectionBlocks.push_back(TaggedBlock{"Patt", records});
        Loaded loaded = LoadDocument(doc);
        ASSERT_EQ(loaded.status, c.status) << c.name;
        EXPECT_TRUE(loaded.status != kPsdOk || loaded->patternCount == 1) << c.name;
    }
}

} // namespace
