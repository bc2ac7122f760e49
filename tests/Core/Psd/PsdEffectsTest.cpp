// Layer effects in both forms, read through whole documents. What psd-tools
// reads from w_effects.psd and ag_effects.psd (every field of every effect in
// both forms, defaults among them) is checked by PsdInteropTest; these are the
// cases those files do not hold.

#include "tests/Core/Psd/PsdTesting.h"

#include <gtest/gtest.h>

using namespace psdtest;
using namespace psdtest::desc;

namespace
{

const PsdLayerEffects* Binary(const Loaded& loaded) { return Payload<PsdLayerEffects>(loaded, kPsdInfoLayerEffects); }
const PsdLayerEffects* ObjectEffectsOf(const Loaded& loaded)
{
    return Payload<PsdLayerEffects>(loaded, kPsdInfoObjectEffects);
}
Loaded LoadBinary(const std::vector<Bytes>& entries) { return LoadBlock("lrFX", fx::Block(entries)); }
Loaded LoadObject(const std::vector<Item>& items) { return LoadBlock("lfx2", ObjectEffects(items)); }

// --- "lrFX" ----------------------------------------------------------------------------------

TEST(PsdBinaryEffects, CountsVersionsFractionsAndLongEffects)
{
    Loaded none = LoadBinary({});
    ASSERT_EQ(none.status, kPsdOk);
    ASSERT_NE(Binary(none), nullptr);
    EXPECT_EQ(Binary(none)->effectCount, 0);
    for (int i = 0; i < kPsdEffectCount; ++i)
        EXPECT_FALSE(Binary(none)->present[i]);

    // Version 0 has no native colours: the defaults stay.
    fx::Shadow shadow;
    shadow.version = 0;
    shadow.r = 255;
    fx::Glow glow;
    glow.version = 0;
    fx::Bevel bevel;
    bevel.version = 0;
    Loaded old = LoadBinary({fx::Entry("dsdw", fx::ShadowBody(shadow)), fx::Entry("iglw", fx::GlowBody(glow, true)),
                             fx::Entry("bevl", fx::BevelBody(bevel))});
    ASSERT_EQ(old.status, kPsdOk);
    EXPECT_EQ(Binary(old)->dropShadow.color, 0xFFFF0000u);
    EXPECT_EQ(Binary(old)->dropShadow.nativeColor, 0xFF000000u);
    EXPECT_EQ(Binary(old)->innerGlow.source, 1);
    EXPECT_EQ(Binary(old)->bevel.highlightNativeColor, 0xFFFFFFFFu);

    // Fixed-point fractions are dropped: blur 5 + 0x8000 / 65536, angle 120 + 0xC000 / 65536.
    Bytes body = fx::ShadowBody(fx::Shadow());
    body[6] = 0x80;
    body[14] = 0xC0;
    Loaded fixed = LoadBinary({fx::Entry("dsdw", body)});
    ASSERT_EQ(fixed.status, kPsdOk);
    EXPECT_EQ(Binary(fixed)->dropShadow.size, 5);
    EXPECT_EQ(Binary(fixed)->dropShadow.angle, 120);

    // An effect longer than its fields is skipped to its end.
    Bytes longer = fx::GlowBody(fx::Glow(), false);
    longer.insert(longer.end(), {1, 2, 3, 4, 5});
    Loaded skipped = LoadBinary({fx::Entry("oglw", longer), fx::Entry("cmnS", fx::CommonState(false))});
    ASSERT_EQ(skipped.status, kPsdOk);
    EXPECT_TRUE(Binary(skipped)->present[kPsdEffectOuterGlow]);
    EXPECT_EQ(Binary(skipped)->masterEnabled, 0);
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
    EXPECT_EQ(LoadBlock(GetParam().key, GetParam().block).status, GetParam().status);
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
        // The shadow read before it is released with the failed document (LeakSanitizer).
        EffectsFailure{"unknownKey", "lrFX", fx::Block({fx::Entry("dsdw", fx::ShadowBody({})), fx::Entry("what", {})}),
                       kPsdUnknownEffect},
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

TEST(PsdObjectEffects, TheStrokeScaleLandsByTheFillType)
{
    const struct
    {
        const char* fill;
        int32_t fillType, gradientScale, patternScale;
    } cases[] = {{"SClr", 0, 100, 100}, {"GrFl", 1, 40, 100}, {"Ptrn", 2, 100, 40}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.fill);
        Loaded loaded = LoadObject({{"FrFX", Object({{"PntT", Enum("FrFl", c.fill)}, {"Scl ", Percent(40)},
                                                     {"Styl", Enum("FStl", "CtrF")}, {"Lnkd", Bool(false)}})}});
        ASSERT_EQ(loaded.status, kPsdOk);
        const PsdStrokeEffect& s = ObjectEffectsOf(loaded)->stroke;
        EXPECT_EQ(std::vector<int32_t>({s.fillType, s.gradientScale, s.patternScale, s.position}),
                  std::vector<int32_t>({c.fillType, c.gradientScale, c.patternScale, 2}));
        EXPECT_FALSE(s.linked);
    }
}

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
