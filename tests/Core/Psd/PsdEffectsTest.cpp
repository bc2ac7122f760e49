// Layer effects in both forms, read through whole documents. What psd-tools
// reads from w_effects.psd and ag_effects.psd (every field of every effect in
// both forms, defaults among them) is checked by PsdInteropTest; these are the
// cases those files do not hold.

#include "tests/Core/Psd/PsdDocuments.h"

#include <gtest/gtest.h>

using namespace psdtest;
using namespace psdtest::desc;

namespace
{

// A document whose second layer carries the given block.
Loaded LoadWithBlock(const char* key, const Bytes& data)
{
    Document doc = SmallRgb();
    doc.layers.push_back(PatternLayer(0, 0, 1, 1, {0, 1, 2}, 8, 0, "bg"));
    Layer layer;
    layer.name = "fx";
    layer.blocks.push_back(Block(key, data));
    doc.layers.push_back(layer);
    return LoadDocument(doc);
}

const PsdLayerEffects* Effects(const Loaded& loaded, int32_t kind)
{
    if (!loaded.context || loaded->layerCount < 2)
        return nullptr;
    const PsdLayerRecord& record = loaded.Layer(1);
    for (int32_t i = 0; i < record.blockCount; ++i)
        if (record.blockKinds[i] == kind)
            return static_cast<const PsdLayerEffects*>(record.blocks[i]);
    return nullptr;
}

// --- "lrFX" ----------------------------------------------------------------------------------

Loaded LoadBinary(const std::vector<Bytes>& entries)
{
    return LoadWithBlock("lrFX", fx::Block(entries));
}

TEST(PsdBinaryEffects, ACountOfZeroGivesOnlyTheCount)
{
    Loaded loaded = LoadBinary({});
    ASSERT_EQ(loaded.status, kPsdOk);
    const PsdLayerEffects* effects = Effects(loaded, kPsdInfoLayerEffects);
    ASSERT_NE(effects, nullptr);
    EXPECT_EQ(effects->effectCount, 0);
    for (int i = 0; i < kPsdEffectCount; ++i)
        EXPECT_FALSE(effects->present[i]);
}

TEST(PsdBinaryEffects, VersionZeroHasNoNativeColours)
{
    fx::Shadow shadow;
    shadow.version = 0;
    shadow.r = 255;
    fx::Glow glow;
    glow.version = 0;
    fx::Bevel bevel;
    bevel.version = 0;
    Loaded loaded = LoadBinary({fx::Entry("dsdw", fx::ShadowBody(shadow)),
                                fx::Entry("iglw", fx::GlowBody(glow, true)),
                                fx::Entry("bevl", fx::BevelBody(bevel))});
    ASSERT_EQ(loaded.status, kPsdOk);
    const PsdLayerEffects* e = Effects(loaded, kPsdInfoLayerEffects);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->dropShadow.color, 0xFFFF0000u);
    EXPECT_EQ(e->dropShadow.nativeColor, 0xFF000000u) << "the default stays";
    EXPECT_EQ(e->innerGlow.source, 1);
    EXPECT_EQ(e->bevel.highlightNativeColor, 0xFFFFFFFFu);
}

TEST(PsdBinaryEffects, FixedPointFractionsAreDropped)
{
    Bytes body = fx::ShadowBody(fx::Shadow());
    body[6] = 0x80;  // blur 5 + 0x8000 / 65536
    body[14] = 0xC0; // angle 120 + 0xC000 / 65536
    Loaded loaded = LoadBinary({fx::Entry("dsdw", body)});
    ASSERT_EQ(loaded.status, kPsdOk);
    const PsdLayerEffects* e = Effects(loaded, kPsdInfoLayerEffects);
    EXPECT_EQ(e->dropShadow.size, 5);
    EXPECT_EQ(e->dropShadow.angle, 120);
}

TEST(PsdBinaryEffects, AnEffectLongerThanItsFieldsIsSkippedToItsEnd)
{
    Bytes body = fx::GlowBody(fx::Glow(), false);
    body.insert(body.end(), {1, 2, 3, 4, 5});
    Loaded loaded = LoadBinary({fx::Entry("oglw", body), fx::Entry("cmnS", fx::CommonState(false))});
    ASSERT_EQ(loaded.status, kPsdOk);
    const PsdLayerEffects* e = Effects(loaded, kPsdInfoLayerEffects);
    EXPECT_TRUE(e->present[kPsdEffectOuterGlow]);
    EXPECT_EQ(e->masterEnabled, 0);
}

TEST(PsdBinaryEffects, AFailedBlockStaysInTheListAndIsReleased)
{
    // The suite runs under LeakSanitizer: the record of a failed block must
    // be released with the document.
    Loaded loaded = LoadBinary({fx::Entry("dsdw", fx::ShadowBody({})), fx::Entry("what", {})});
    EXPECT_EQ(loaded.status, kPsdUnknownEffect);
    EXPECT_EQ(loaded.context, nullptr);
}

// --- Refusals of both forms ---------------------------------------------------------------------

struct EffectsFailure
{
    const char* name;
    const char* key;
    Bytes block;
    PsdStatus status;
};

void PrintTo(const EffectsFailure& c, std::ostream* os) { *os << c.name; }

class PsdEffectsFailure : public ::testing::TestWithParam<EffectsFailure>
{
};

TEST_P(PsdEffectsFailure, FailsTheLoadWithItsCode)
{
    EXPECT_EQ(LoadWithBlock(GetParam().key, GetParam().block).status, GetParam().status);
}

Bytes Patched(Bytes bytes, size_t at, uint8_t value)
{
    bytes[at] = value;
    return bytes;
}

Bytes BinaryWithVersion(const char* key, const Bytes& body, uint8_t version)
{
    return fx::Block({fx::Entry(key, Patched(body, 3, version))});
}

Bytes NestedObject(int depth)
{
    Bytes nested = Long(1);
    for (int i = 0; i < depth; ++i)
        nested = Object({{"in", nested}});
    return nested;
}

INSTANTIATE_TEST_SUITE_P(
    Codes, PsdEffectsFailure,
    ::testing::Values(
        EffectsFailure{"blockVersion", "lrFX", Patched(fx::Block({}), 1, 1), kPsdBadEffectsVersion},
        EffectsFailure{"effectSignature", "lrFX",
                       Patched(fx::Block({fx::Entry("cmnS", fx::CommonState(true))}), 4, 'X'),
                       kPsdBadEffectSignature},
        EffectsFailure{"unknownKey", "lrFX", fx::Block({fx::Entry("what", Bytes(8, 0))}), kPsdUnknownEffect},
        EffectsFailure{"commonState", "lrFX", BinaryWithVersion("cmnS", fx::CommonState(true), 1),
                       kPsdBadCommonStateVersion},
        EffectsFailure{"shadow", "lrFX", BinaryWithVersion("isdw", fx::ShadowBody({}), 1), kPsdBadShadowVersion},
        EffectsFailure{"outerGlow", "lrFX", BinaryWithVersion("oglw", fx::GlowBody({}, false), 3),
                       kPsdBadOuterGlowVersion},
        EffectsFailure{"innerGlow", "lrFX", BinaryWithVersion("iglw", fx::GlowBody({}, true), 1),
                       kPsdBadInnerGlowVersion},
        EffectsFailure{"bevel", "lrFX", BinaryWithVersion("bevl", fx::BevelBody({}), 1), kPsdBadBevelVersion},
        EffectsFailure{"solidFill", "lrFX", BinaryWithVersion("sofi", fx::SolidFillBody(1, 2, 3, 4, true), 0),
                       kPsdBadSolidFillVersion},
        EffectsFailure{"blendSignature", "lrFX",
                       fx::Block({fx::Entry("dsdw", Patched(fx::ShadowBody({}), 30, 'X'))}), kPsdBadLayerSignature},
        EffectsFailure{"bevelBlendSignature", "lrFX",
                       fx::Block({fx::Entry("bevl", Patched(fx::BevelBody({}), 16, 'X'))}), kPsdBadLayerSignature},
        EffectsFailure{"sizePastTheBlock", "lrFX",
                       Patched(fx::Block({fx::Entry("cmnS", fx::CommonState(true))}), 15, 200), kPsdBlockOverrun},
        EffectsFailure{"versionsCut", "lfx2", Bytes(4, 0), kPsdBlockOverrun},
        EffectsFailure{"objectVersion", "lfx2", Patched(ObjectEffects({}), 3, 1), kPsdBadEffectsVersion},
        EffectsFailure{"descriptorVersion", "lfx2", Patched(ObjectEffects({}), 7, 15), kPsdBadEffectsVersion},
        EffectsFailure{"deepNesting", "lfx2", ObjectEffects({{"DrSh", Object({{"deep", NestedObject(200)}})}}),
                       kPsdBadDescriptor},
        EffectsFailure{"unknownType", "lfx2",
                       ObjectEffects({{"DrSh", Object({{"odd", Bytes{'w', 'h', 'a', 't', 0, 0, 0, 0}}})}}),
                       kPsdBadDescriptor},
        // The last item's type cut short, its value gone.
        EffectsFailure{"pastTheBlock", "lfx2", [] {
                           Bytes block = ObjectEffects({{"DrSh", Object({{"enab", Bool(true)}})}});
                           block.resize(block.size() - 4);
                           return block;
                       }(), kPsdBlockOverrun}),
    [](const ::testing::TestParamInfo<EffectsFailure>& info) { return std::string(info.param.name); });

// --- "lfx2" ----------------------------------------------------------------------------------

Loaded LoadObject(const std::vector<Item>& items)
{
    return LoadWithBlock("lfx2", ObjectEffects(items));
}

const PsdLayerEffects* ObjectEffectsOf(const Loaded& loaded)
{
    return Effects(loaded, kPsdInfoObjectEffects);
}

TEST(PsdObjectEffects, TheMasterSwitchIsFoundWhereverItStands)
{
    for (bool scaleFirst : {true, false})
    {
        std::vector<Item> items = {{"Scl ", Percent(100)}, {"masterFXSwitch", Bool(true)}};
        if (!scaleFirst)
            std::swap(items[0], items[1]);
        items.push_back({"DrSh", Object({{"enab", Bool(true)}})});
        items.push_back({"unknownThing", Long(4)});
        Loaded loaded = LoadObject(items);
        ASSERT_EQ(loaded.status, kPsdOk);
        const PsdLayerEffects* e = ObjectEffectsOf(loaded);
        EXPECT_EQ(e->masterEnabled, 1);
        EXPECT_EQ(e->effectCount, 1) << "only the effect counts";
        EXPECT_TRUE(e->dropShadow.enabled);
    }
}

TEST(PsdObjectEffects, GlowsTakeTheirFillFromTheLastColourOrGradient)
{
    Loaded loaded = LoadObject(
        {{"OrGl", Object({{"Clr ", Color(0, 0, 255)},
                          {"Grad", desc::Gradient(u"g", {{1, 1, 1, 0, 50}, {2, 2, 2, 4096, 50}}, {})}})},
         {"IrGl", Object({{"Grad", desc::Gradient(u"h", {{1, 1, 1, 0, 50}}, {})}, {"Clr ", Color(0, 255, 0)}})}});
    ASSERT_EQ(loaded.status, kPsdOk);
    const PsdLayerEffects* e = ObjectEffectsOf(loaded);
    EXPECT_EQ(e->outerGlow.fillType, 1);
    EXPECT_EQ(e->outerGlow.color, 0xFF0000FFu);
    EXPECT_EQ(e->outerGlow.gradient.colorStopCount, 2);
    EXPECT_EQ(e->innerGlow.fillType, 0);
    EXPECT_EQ(e->innerGlow.color, 0xFF00FF00u);
}

struct StrokeScaleCase
{
    const char* fill;
    int32_t fillType, gradientScale, patternScale;
};

void PrintTo(const StrokeScaleCase& c, std::ostream* os) { *os << c.fill; }

class PsdStrokeScale : public ::testing::TestWithParam<StrokeScaleCase>
{
};

TEST_P(PsdStrokeScale, LandsByTheFillType)
{
    Loaded loaded = LoadObject({{"FrFX", Object({{"PntT", Enum("FrFl", GetParam().fill)},
                                                 {"Scl ", Percent(40)},
                                                 {"Styl", Enum("FStl", "CtrF")},
                                                 {"Lnkd", Bool(false)}})}});
    ASSERT_EQ(loaded.status, kPsdOk);
    const PsdStrokeEffect& s = ObjectEffectsOf(loaded)->stroke;
    EXPECT_EQ(s.fillType, GetParam().fillType);
    EXPECT_EQ(s.gradientScale, GetParam().gradientScale);
    EXPECT_EQ(s.patternScale, GetParam().patternScale);
    EXPECT_EQ(s.position, 2);
    EXPECT_FALSE(s.linked);
}

INSTANTIATE_TEST_SUITE_P(FillTypes, PsdStrokeScale,
                         ::testing::Values(StrokeScaleCase{"SClr", 0, 100, 100}, StrokeScaleCase{"GrFl", 1, 40, 100},
                                           StrokeScaleCase{"Ptrn", 2, 100, 40}));

TEST(PsdObjectEffects, SkippedItemsAndItemsOfTheWrongTypeAreNotCounted)
{
    Loaded loaded = LoadObject({{"DrSh", Long(3)},
                                {"Xyzw", Object({{"enab", Bool(true)}})},
                                {"dropShadowMulti", List({Object({{"enab", Bool(true)}})})},
                                {"DrSh", Object({{"enab", Text(u"yes")}, {"Opct", Percent(10)}})}});
    ASSERT_EQ(loaded.status, kPsdOk);
    const PsdLayerEffects* e = ObjectEffectsOf(loaded);
    EXPECT_EQ(e->effectCount, 1);
    EXPECT_FALSE(e->dropShadow.enabled) << "a text is no bool";
    EXPECT_EQ(e->dropShadow.opacity, 26);
}

TEST(PsdObjectEffects, ARepeatedEffectStartsAgainFromItsDefaults)
{
    const Bytes stroke = Object({{"PntT", Enum("FrFl", "GrFl")},
                                 {"Grad", desc::Gradient(u"a", {{1, 1, 1, 0, 50}}, {})},
                                 {"Ptrn", PatternRef(u"p", u"q")}});
    Loaded loaded = LoadObject({{"FrFX", stroke}, {"FrFX", Object({{"Sz  ", Pixels(1)}})}});
    ASSERT_EQ(loaded.status, kPsdOk);
    const PsdStrokeEffect& s = ObjectEffectsOf(loaded)->stroke;
    EXPECT_EQ(s.fillType, 0);
    EXPECT_EQ(s.gradient.colorStopCount, 0);
    EXPECT_EQ(s.pattern.name, nullptr);
    EXPECT_EQ(s.size, 1);
    EXPECT_EQ(ObjectEffectsOf(loaded)->effectCount, 2);
}

} // namespace
