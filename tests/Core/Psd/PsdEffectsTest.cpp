// Layer effects in both forms, read through whole documents.

#include "tests/Core/Psd/PsdDocuments.h"

#include <gtest/gtest.h>

using namespace psdtest;
using namespace psdtest::desc;

namespace
{

// A document whose second layer carries the given blocks.
Loaded LoadWithBlocks(const std::vector<TaggedBlock>& blocks)
{
    Document doc = SmallRgb();
    doc.layers.push_back(PatternLayer(0, 0, 1, 1, {0, 1, 2}, 8, 0, "bg"));
    Layer layer;
    layer.name = "fx";
    layer.blocks = blocks;
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

bool IsIdentity(const PsdContour& contour)
{
    for (int i = 0; i < 256; ++i)
        if (contour[i] != i)
            return false;
    return true;
}

// --- "lrFX" ----------------------------------------------------------------------------------

Loaded LoadBinary(const std::vector<Bytes>& entries)
{
    return LoadWithBlocks({Block("lrFX", fx::Block(entries))});
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

TEST(PsdBinaryEffects, ReadsEveryEffectOfVersionTwo)
{
    fx::Shadow drop;
    drop.blur = 7;
    drop.intensity = 10;
    drop.angle = -45;
    drop.distance = 9;
    drop.r = 10;
    drop.g = 20;
    drop.b = 30;
    drop.opacity = 128;
    drop.globalLight = false;
    fx::Shadow inner;
    inner.blend = "scrn";
    fx::Glow outer;
    outer.blur = 12;
    outer.intensity = 3;
    fx::Glow innerGlow;
    innerGlow.invert = true;
    fx::Bevel bevel;
    bevel.angle = 90;
    bevel.strength = 250;
    bevel.blur = 8;
    bevel.style = 3;
    bevel.direction = 1;
    Loaded loaded = LoadBinary({fx::Entry("cmnS", fx::CommonState(true)),
                                fx::Entry("dsdw", fx::ShadowBody(drop)),
                                fx::Entry("isdw", fx::ShadowBody(inner)),
                                fx::Entry("oglw", fx::GlowBody(outer, false)),
                                fx::Entry("iglw", fx::GlowBody(innerGlow, true)),
                                fx::Entry("bevl", fx::BevelBody(bevel)),
                                fx::Entry("sofi", fx::SolidFillBody(0, 255, 0, 200, true, "over"))});
    ASSERT_EQ(loaded.status, kPsdOk);
    const PsdLayerEffects* e = Effects(loaded, kPsdInfoLayerEffects);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->effectCount, 7);
    EXPECT_EQ(e->masterEnabled, 1);

    EXPECT_TRUE(e->present[kPsdEffectDropShadow] && e->visible[kPsdEffectDropShadow]);
    EXPECT_TRUE(e->dropShadow.enabled);
    EXPECT_EQ(e->dropShadow.size, 7);
    EXPECT_EQ(e->dropShadow.choke, 10);
    EXPECT_EQ(e->dropShadow.angle, -45);
    EXPECT_EQ(e->dropShadow.distance, 9);
    EXPECT_EQ(e->dropShadow.color, 0xFF0A141Eu);
    EXPECT_EQ(e->dropShadow.nativeColor, 0xFF0A141Eu);
    EXPECT_EQ(e->dropShadow.blendMode, 3);
    EXPECT_FALSE(e->dropShadow.useGlobalLight);
    EXPECT_EQ(e->dropShadow.opacity, 128);
    EXPECT_TRUE(IsIdentity(e->dropShadow.contour));

    EXPECT_TRUE(e->present[kPsdEffectInnerShadow]);
    EXPECT_EQ(e->innerShadow.blendMode, 7);

    EXPECT_TRUE(e->present[kPsdEffectOuterGlow]);
    EXPECT_EQ(e->outerGlow.size, 12);
    EXPECT_EQ(e->outerGlow.spread, 3);
    EXPECT_EQ(e->outerGlow.color, 0xFFFFFFBEu);
    EXPECT_EQ(e->outerGlow.blendMode, 7);
    EXPECT_EQ(e->outerGlow.range, 50);

    EXPECT_TRUE(e->present[kPsdEffectInnerGlow]);
    EXPECT_EQ(e->innerGlow.source, 0) << "the invert flag makes the glow come from the centre";

    EXPECT_TRUE(e->present[kPsdEffectBevel]);
    EXPECT_EQ(e->bevel.angle, 90);
    EXPECT_EQ(e->bevel.depth, 250);
    EXPECT_EQ(e->bevel.size, 8);
    EXPECT_EQ(e->bevel.style, 3);
    EXPECT_EQ(e->bevel.direction, 1);
    EXPECT_EQ(e->bevel.highlightBlendMode, 7);
    EXPECT_EQ(e->bevel.shadowBlendMode, 3);
    EXPECT_EQ(e->bevel.highlightColor, 0xFFFFFFFFu);
    EXPECT_EQ(e->bevel.shadowNativeColor, 0xFF000000u);

    EXPECT_TRUE(e->present[kPsdEffectColorOverlay]);
    EXPECT_EQ(e->colorOverlay.color, 0xFF00FF00u);
    EXPECT_EQ(e->colorOverlay.opacity, 200);
    EXPECT_EQ(e->colorOverlay.blendMode, 10);
    EXPECT_TRUE(e->colorOverlay.enabled);

    for (int i : {kPsdEffectSatin, kPsdEffectGradientOverlay, kPsdEffectPatternOverlay,
                  kPsdEffectStroke})
        EXPECT_FALSE(e->present[i]);
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
    // 5.5 pixels of blur, 120.75 degrees.
    fx::Shadow shadow;
    Bytes body = fx::ShadowBody(shadow);
    body[6] = 0x80; // blur 5 + 0x8000 / 65536
    body[14] = 0xC0; // angle 120 + 0xC000 / 65536
    Loaded loaded = LoadBinary({fx::Entry("dsdw", body)});
    ASSERT_EQ(loaded.status, kPsdOk);
    const PsdLayerEffects* e = Effects(loaded, kPsdInfoLayerEffects);
    EXPECT_EQ(e->dropShadow.size, 5);
    EXPECT_EQ(e->dropShadow.angle, 120);
    EXPECT_EQ(e->dropShadow.distance, 5);
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

struct BinaryFailure
{
    const char* name;
    Bytes block;
    PsdStatus status;
};

class PsdBinaryEffectFailure : public ::testing::TestWithParam<BinaryFailure>
{
};

TEST_P(PsdBinaryEffectFailure, FailsTheLoadWithItsCode)
{
    EXPECT_EQ(LoadWithBlocks({Block("lrFX", GetParam().block)}).status, GetParam().status);
}

Bytes WithVersion(const Bytes& body, uint32_t version)
{
    Bytes out = body;
    out[0] = uint8_t(version >> 24);
    out[1] = uint8_t(version >> 16);
    out[2] = uint8_t(version >> 8);
    out[3] = uint8_t(version);
    return out;
}

Bytes WithoutBlendSignature(const Bytes& body, size_t at)
{
    Bytes out = body;
    out[at] = 'X';
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    Codes, PsdBinaryEffectFailure,
    ::testing::Values(
        BinaryFailure{"blockVersion", [] {
                          Bytes b = fx::Block({});
                          b[1] = 1;
                          return b;
                      }(), kPsdBadEffectsVersion},
        BinaryFailure{"effectSignature", [] {
                          Bytes b = fx::Block({fx::Entry("cmnS", fx::CommonState(true))});
                          b[4] = 'X';
                          return b;
                      }(), kPsdBadEffectSignature},
        BinaryFailure{"unknownKey", fx::Block({fx::Entry("what", Bytes(8, 0))}), kPsdUnknownEffect},
        BinaryFailure{"commonState", fx::Block({fx::Entry("cmnS", WithVersion(fx::CommonState(true), 1))}),
                      kPsdBadCommonStateVersion},
        BinaryFailure{"shadow", fx::Block({fx::Entry("isdw", WithVersion(fx::ShadowBody({}), 1))}),
                      kPsdBadShadowVersion},
        BinaryFailure{"outerGlow", fx::Block({fx::Entry("oglw", WithVersion(fx::GlowBody({}, false), 3))}),
                      kPsdBadOuterGlowVersion},
        BinaryFailure{"innerGlow", fx::Block({fx::Entry("iglw", WithVersion(fx::GlowBody({}, true), 1))}),
                      kPsdBadInnerGlowVersion},
        BinaryFailure{"bevel", fx::Block({fx::Entry("bevl", WithVersion(fx::BevelBody({}), 1))}),
                      kPsdBadBevelVersion},
        BinaryFailure{"solidFill",
                      fx::Block({fx::Entry("sofi", WithVersion(fx::SolidFillBody(1, 2, 3, 4, true), 0))}),
                      kPsdBadSolidFillVersion},
        BinaryFailure{"blendSignature",
                      fx::Block({fx::Entry("dsdw", WithoutBlendSignature(fx::ShadowBody({}), 30))}),
                      kPsdBadLayerSignature},
        BinaryFailure{"sizePastTheBlock", [] {
                          Bytes b = fx::Block({fx::Entry("cmnS", fx::CommonState(true))});
                          b[15] = 200; // the effect's size
                          return b;
                      }(), kPsdBlockOverrun}),
    [](const ::testing::TestParamInfo<BinaryFailure>& info) { return std::string(info.param.name); });

TEST(PsdBinaryEffects, AFailedBlockStaysInTheListAndIsReleased)
{
    // The suite runs under LeakSanitizer: the record of a failed block must
    // be released with the document.
    Loaded loaded = LoadBinary({fx::Entry("dsdw", fx::ShadowBody({})), fx::Entry("what", {})});
    EXPECT_EQ(loaded.status, kPsdUnknownEffect);
    EXPECT_EQ(loaded.context, nullptr);
}

// --- "lfx2" ----------------------------------------------------------------------------------

Loaded LoadObject(const std::vector<Item>& items)
{
    return LoadWithBlocks({Block("lfx2", ObjectEffects(items))});
}

const PsdLayerEffects* ObjectEffectsOf(const Loaded& loaded)
{
    return Effects(loaded, kPsdInfoObjectEffects);
}

TEST(PsdObjectEffects, AShadowNamingOnlySomeSettingsKeepsTheDefaults)
{
    Loaded loaded = LoadObject({{"DrSh", Object({{"enab", Bool(true)}, {"Clr ", Color(1, 2, 3)}})}});
    ASSERT_EQ(loaded.status, kPsdOk);
    const PsdLayerEffects* e = ObjectEffectsOf(loaded);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->effectCount, 1);
    EXPECT_TRUE(e->present[kPsdEffectDropShadow]);
    EXPECT_TRUE(e->dropShadow.enabled);
    EXPECT_EQ(e->dropShadow.color, 0xFF010203u);
    EXPECT_EQ(e->dropShadow.nativeColor, 0xFF010203u);
    EXPECT_EQ(e->dropShadow.opacity, 191);
    EXPECT_EQ(e->dropShadow.angle, 120);
    EXPECT_EQ(e->dropShadow.distance, 5);
    EXPECT_EQ(e->dropShadow.size, 5);
    EXPECT_EQ(e->dropShadow.blendMode, 3);
    EXPECT_TRUE(IsIdentity(e->dropShadow.contour));
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

Item ShadowItem()
{
    return {"IrSh",
            Object({{"enab", Bool(true)},
                    {"Md  ", BlendMode("linearBurn")},
                    {"Clr ", Color(200, 100, 50)},
                    {"Opct", Percent(75)},
                    {"uglg", Bool(false)},
                    {"lagl", Angle(-30)},
                    {"Dstn", Pixels(12.8)},
                    {"Ckmt", Percent(20)},
                    {"blur", Pixels(9)},
                    {"Nose", Percent(3)},
                    {"AntA", Bool(true)},
                    {"TrnS", Contour({{0, 255}, {255, 0}})}})};
}

TEST(PsdObjectEffects, ReadsEveryShadowSetting)
{
    Loaded loaded = LoadObject({ShadowItem()});
    ASSERT_EQ(loaded.status, kPsdOk);
    const PsdShadowEffect& s = ObjectEffectsOf(loaded)->innerShadow;
    EXPECT_TRUE(s.enabled);
    EXPECT_EQ(s.blendMode, 5);
    EXPECT_EQ(s.color, 0xFFC86432u);
    EXPECT_EQ(s.opacity, 191);
    EXPECT_FALSE(s.useGlobalLight);
    EXPECT_EQ(s.angle, -30);
    EXPECT_EQ(s.distance, 12);
    EXPECT_EQ(s.choke, 20);
    EXPECT_EQ(s.size, 9);
    EXPECT_EQ(s.noise, 3);
    EXPECT_TRUE(s.antiAlias);
    EXPECT_NEAR(s.contour[0], 255, 1);
    EXPECT_NEAR(s.contour[255], 0, 1);
}

TEST(PsdObjectEffects, GlowsTakeTheirFillFromTheLastColourOrGradient)
{
    Loaded loaded = LoadObject(
        {{"OrGl", Object({{"Clr ", Color(0, 0, 255)},
                          {"Grad", desc::Gradient(u"g", {{1, 1, 1, 0, 50}, {2, 2, 2, 4096, 50}}, {})},
                          {"GlwT", Enum("BETE", "PrBL")},
                          {"Ckmt", Percent(40)},
                          {"Inpr", Percent(60)},
                          {"ShdN", Percent(7)}})},
         {"IrGl", Object({{"Grad", desc::Gradient(u"h", {{1, 1, 1, 0, 50}}, {})},
                          {"Clr ", Color(0, 255, 0)},
                          {"glwS", Enum("IGSr", "SrcC")}})}});
    ASSERT_EQ(loaded.status, kPsdOk);
    const PsdLayerEffects* e = ObjectEffectsOf(loaded);
    EXPECT_EQ(e->effectCount, 2);
    EXPECT_EQ(e->outerGlow.fillType, 1);
    EXPECT_EQ(e->outerGlow.color, 0xFF0000FFu);
    EXPECT_EQ(e->outerGlow.gradient.colorStopCount, 2);
    EXPECT_EQ(e->outerGlow.technique, 1);
    EXPECT_EQ(e->outerGlow.spread, 40);
    EXPECT_EQ(e->outerGlow.range, 60);
    EXPECT_EQ(e->outerGlow.jitter, 7);
    EXPECT_EQ(e->outerGlow.source, 0) << "outer glows have no source";
    EXPECT_EQ(e->innerGlow.fillType, 0);
    EXPECT_EQ(e->innerGlow.color, 0xFF00FF00u);
    EXPECT_EQ(e->innerGlow.source, 0);
}

TEST(PsdObjectEffects, ReadsTheBevelWithItsTwoContoursAndTexture)
{
    Loaded loaded = LoadObject({{"ebbl", Object({{"enab", Bool(true)},
                                                 {"hglM", BlendMode("Ovrl")},
                                                 {"hglC", Color(255, 255, 0)},
                                                 {"hglO", Percent(50)},
                                                 {"sdwM", BlendMode("Mltp")},
                                                 {"sdwC", Color(0, 0, 64)},
                                                 {"sdwO", Percent(100)},
                                                 {"bvlT", Enum("bvlT", "PrBL")},
                                                 {"bvlS", Enum("BESl", "strokeEmboss")},
                                                 {"uglg", Bool(false)},
                                                 {"lagl", Angle(45)},
                                                 {"Lald", Angle(60)},
                                                 {"srgR", Percent(300)},
                                                 {"blur", Pixels(11)},
                                                 {"bvlD", Enum("BESs", "Out ")},
                                                 {"TrnS", Contour({{0, 255}, {255, 255}})},
                                                 {"antialiasGloss", Bool(true)},
                                                 {"Sftn", Pixels(2)},
                                                 {"useShape", Bool(true)},
                                                 {"MpgS", Contour({{0, 0}, {255, 128}})},
                                                 {"AntA", Bool(true)},
                                                 {"Inpr", Percent(70)},
                                                 {"useTexture", Bool(true)},
                                                 {"InvT", Bool(true)},
                                                 {"Algn", Bool(false)},
                                                 {"Scl ", Percent(250)},
                                                 {"textureDepth", Percent(-80)},
                                                 {"Ptrn", PatternRef(u"Noise", u"id-1")},
                                                 {"phase", Point(3, 4)}})}});
    ASSERT_EQ(loaded.status, kPsdOk);
    const PsdBevelEffect& b = ObjectEffectsOf(loaded)->bevel;
    EXPECT_TRUE(ObjectEffectsOf(loaded)->present[kPsdEffectBevel]);
    EXPECT_EQ(b.highlightBlendMode, 10);
    EXPECT_EQ(b.highlightColor, 0xFFFFFF00u);
    EXPECT_EQ(b.highlightNativeColor, 0xFFFFFF00u);
    EXPECT_EQ(b.highlightOpacity, 127) << "50 * 2.55 falls just short of 127.5";
    EXPECT_EQ(b.shadowBlendMode, 3);
    EXPECT_EQ(b.shadowColor, 0xFF000040u);
    EXPECT_EQ(b.shadowOpacity, 255);
    EXPECT_EQ(b.technique, 1);
    EXPECT_EQ(b.style, 4);
    EXPECT_FALSE(b.useGlobalLight);
    EXPECT_EQ(b.angle, 45);
    EXPECT_EQ(b.altitude, 60);
    EXPECT_EQ(b.depth, 300);
    EXPECT_EQ(b.size, 11);
    EXPECT_EQ(b.direction, 1);
    EXPECT_EQ(b.glossContour[0], 255);
    EXPECT_TRUE(b.antiAliasGloss);
    EXPECT_EQ(b.soften, 2);
    EXPECT_TRUE(b.useShape);
    EXPECT_NEAR(b.contour[255], 128, 1);
    EXPECT_TRUE(b.antiAlias);
    EXPECT_EQ(b.range, 70);
    EXPECT_TRUE(b.useTexture);
    EXPECT_TRUE(b.invertTexture);
    EXPECT_FALSE(b.alignWithLayer);
    EXPECT_EQ(b.scale, 250);
    EXPECT_EQ(b.textureDepth, -80);
    EXPECT_STREQ(b.pattern.identifier, "id-1");
    EXPECT_EQ(b.pattern.nameLength, 5u);
    EXPECT_EQ(b.phaseX, 3);
    EXPECT_EQ(b.phaseY, 4);
}

TEST(PsdObjectEffects, ReadsSatinAndTheOverlays)
{
    Loaded loaded = LoadObject(
        {{"ChFX", Object({{"Invr", Bool(false)}, {"lagl", Angle(33)}, {"MpgS", Contour({{0, 9}})}})},
         {"SoFi", Object({{"Md  ", BlendMode("Scrn")}, {"Clr ", Color(9, 8, 7)}, {"Opct", Percent(10)}})},
         {"GrFl", Object({{"Grad", desc::Gradient(u"ov", {{0, 0, 0, 0, 50}}, {{100, 0, 50}})},
                          {"Rvrs", Bool(true)},
                          {"Type", Enum("GrdT", "Rdl ")},
                          {"Algn", Bool(false)},
                          {"Angl", Angle(-90)},
                          {"Scl ", Percent(120)},
                          {"Ofst", Point(-10, 20)}})},
         {"patternFill", Object({{"Ptrn", PatternRef(u"Tile", u"t")},
                                 {"Scl ", Percent(50)},
                                 {"Algn", Bool(true)},
                                 {"phase", Point(1, 2)},
                                 {"Opct", Percent(100)}})}});
    ASSERT_EQ(loaded.status, kPsdOk);
    const PsdLayerEffects* e = ObjectEffectsOf(loaded);
    EXPECT_EQ(e->effectCount, 4);
    EXPECT_FALSE(e->satin.invert);
    EXPECT_EQ(e->satin.angle, 33);
    EXPECT_EQ(e->satin.distance, 11);
    EXPECT_EQ(e->satin.opacity, 128);
    EXPECT_EQ(e->satin.contour[200], 9);
    EXPECT_EQ(e->colorOverlay.blendMode, 7);
    EXPECT_EQ(e->colorOverlay.color, 0xFF090807u);
    EXPECT_EQ(e->colorOverlay.nativeColor, 0xFF090807u);
    EXPECT_EQ(e->colorOverlay.opacity, 26);
    EXPECT_TRUE(e->gradientOverlay.reverse);
    EXPECT_EQ(e->gradientOverlay.style, 1);
    EXPECT_FALSE(e->gradientOverlay.alignWithLayer);
    EXPECT_EQ(e->gradientOverlay.angle, -90);
    EXPECT_EQ(e->gradientOverlay.scale, 120);
    EXPECT_EQ(e->gradientOverlay.offsetX, -10);
    EXPECT_EQ(e->gradientOverlay.offsetY, 20);
    EXPECT_EQ(e->gradientOverlay.gradient.transparencyStopCount, 1);
    EXPECT_TRUE(e->present[kPsdEffectPatternOverlay]);
    EXPECT_STREQ(e->patternOverlay.pattern.identifier, "t");
    EXPECT_EQ(e->patternOverlay.scale, 50);
    EXPECT_TRUE(e->patternOverlay.alignWithLayer);
    EXPECT_EQ(e->patternOverlay.phaseY, 2);
    EXPECT_EQ(e->patternOverlay.opacity, 255);
}

struct StrokeScaleCase
{
    const char* fill;
    int32_t fillType, gradientScale, patternScale;
};

class PsdStrokeScale : public ::testing::TestWithParam<StrokeScaleCase>
{
};

TEST_P(PsdStrokeScale, LandsByTheFillType)
{
    Loaded loaded = LoadObject({{"FrFX", Object({{"PntT", Enum("FrFl", GetParam().fill)},
                                                 {"Scl ", Percent(40)},
                                                 {"Styl", Enum("FStl", "CtrF")},
                                                 {"Sz  ", Pixels(6)},
                                                 {"Lnkd", Bool(false)}})}});
    ASSERT_EQ(loaded.status, kPsdOk);
    const PsdStrokeEffect& s = ObjectEffectsOf(loaded)->stroke;
    EXPECT_EQ(s.fillType, GetParam().fillType);
    EXPECT_EQ(s.gradientScale, GetParam().gradientScale);
    EXPECT_EQ(s.patternScale, GetParam().patternScale);
    EXPECT_EQ(s.position, 2);
    EXPECT_EQ(s.size, 6);
    EXPECT_FALSE(s.linked);
    EXPECT_EQ(s.color, 0xFFFF0000u);
    EXPECT_EQ(s.angle, 90);
}

INSTANTIATE_TEST_SUITE_P(FillTypes, PsdStrokeScale,
                         ::testing::Values(StrokeScaleCase{"SClr", 0, 100, 100},
                                           StrokeScaleCase{"GrFl", 1, 40, 100},
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

TEST(PsdObjectEffects, WrongVersionsFail)
{
    Bytes block = ObjectEffects({});
    block[3] = 1;
    EXPECT_EQ(LoadWithBlocks({Block("lfx2", block)}).status, kPsdBadEffectsVersion);
    block = ObjectEffects({});
    block[7] = 15;
    EXPECT_EQ(LoadWithBlocks({Block("lfx2", block)}).status, kPsdBadEffectsVersion);
}

TEST(PsdObjectEffects, DeepNestingAndUnknownTypesFailTheLoad)
{
    Bytes nested = Long(1);
    for (int i = 0; i < 200; ++i)
        nested = Object({{"in", nested}});
    EXPECT_EQ(LoadObject({{"DrSh", Object({{"deep", nested}})}}).status, kPsdBadDescriptor);
    Writer odd;
    odd.Key("what").U32(0);
    EXPECT_EQ(LoadObject({{"DrSh", Object({{"odd", odd.out}})}}).status, kPsdBadDescriptor);
}

TEST(PsdObjectEffects, ADescriptorPastItsBlockIsAnOverrun)
{
    // The last item's type cut short, its value gone.
    Bytes block = ObjectEffects({{"DrSh", Object({{"enab", Bool(true)}})}});
    block.resize(block.size() - 4);
    EXPECT_EQ(LoadWithBlocks({Block("lfx2", block)}).status, kPsdBlockOverrun);
}

TEST(PsdObjectEffects, BothFormsOnOneLayerAreKeptApart)
{
    Loaded loaded = LoadWithBlocks(
        {Block("lrFX", fx::Block({fx::Entry("dsdw", fx::ShadowBody({}))})),
         Block("lfx2", ObjectEffects({{"masterFXSwitch", Bool(true)}, {"ChFX", Object({})}}))});
    ASSERT_EQ(loaded.status, kPsdOk);
    EXPECT_EQ(loaded.Layer(1).blockCount, 2);
    EXPECT_TRUE(Effects(loaded, kPsdInfoLayerEffects)->present[kPsdEffectDropShadow]);
    EXPECT_TRUE(ObjectEffectsOf(loaded)->present[kPsdEffectSatin]);
    EXPECT_FALSE(ObjectEffectsOf(loaded)->present[kPsdEffectDropShadow]);
}

} // namespace
