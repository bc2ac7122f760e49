// Documents written by ImageMagick, GIMP, ag-psd and the tests' own writer, read by
// this reader and compared with what psd-tools read from the same files
// (scripts/psd-expected.py wrote the .expected files beside them).

#include "tests/Core/Psd/PsdTesting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdarg>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include <zlib.h>

using namespace psdtest;

namespace
{

const std::string kFixtures = std::string(BW_SOURCE_DIR) + "/tests/Core/Psd/fixtures";

std::vector<std::string> FixtureNames()
{
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(kFixtures, error))
        if (entry.path().extension() == ".psd")
            names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string Crc(const void* data, size_t size)
{
    if (!data || size == 0)
        return "-";
    char text[16];
    std::snprintf(text, sizeof text, "%08lx",
                  crc32(0, static_cast<const Bytef*>(data), uInt(size)) & 0xFFFFFFFFul);
    return text;
}

std::string Hex(const char* text)
{
    std::string out;
    char digits[4];
    for (const char* p = text; *p; ++p)
    {
        std::snprintf(digits, sizeof digits, "%02x", uint8_t(*p));
        out += digits;
    }
    return out.empty() ? "-" : out;
}

// One "layer" line of an expected file: its words after "layer <index>" as
// name -> value, and the mask's words.
struct ExpectedLayer
{
    std::map<std::string, std::string> fields;
    std::vector<std::string> rect, mask;
};

struct Expected
{
    std::vector<int> header;
    int alpha = 0;
    int layers = 0;
    std::vector<ExpectedLayer> records;
    std::string composite;
    // Effects, fills and patterns, line by line as written.
    std::vector<std::string> extras;
};

bool IsExtraLine(const std::string& word)
{
    return word == "effects" || word == "effect" || word == "fill" || word == "pattern";
}

Expected ReadExpected(const std::string& path)
{
    Expected expected;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line))
    {
        std::istringstream words(line);
        std::string word;
        words >> word;
        if (word == "header")
        {
            int value;
            while (words >> value)
                expected.header.push_back(value);
        }
        else if (word == "alpha")
            words >> expected.alpha;
        else if (word == "layers")
            words >> expected.layers;
        else if (word == "composite")
            words >> expected.composite;
        else if (IsExtraLine(word))
            expected.extras.push_back(line);
        else if (word == "layer")
        {
            ExpectedLayer layer;
            int index;
            words >> index;
            std::string key;
            while (words >> key)
            {
                if (key == "rect")
                {
                    layer.rect.resize(4);
                    for (auto& v : layer.rect)
                        words >> v;
                }
                else if (key == "mask")
                {
                    std::string first;
                    words >> first;
                    layer.mask.push_back(first);
                    if (first != "-")
                        for (int i = 0; i < 5; ++i)
                        {
                            std::string v;
                            words >> v;
                            layer.mask.push_back(v);
                        }
                }
                else
                {
                    words >> layer.fields[key];
                }
            }
            expected.records.push_back(layer);
        }
    }
    return expected;
}

// --- Effects, fills and patterns, described as scripts/psd-expected.py does ---------

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...)
{
    char text[512];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    return text;
}

std::string UnitsHex(const uint16_t* units, uint32_t count)
{
    std::string out;
    for (uint32_t i = 0; units && i < count; ++i)
        out += Format("%04x", units[i]);
    return out.empty() ? "-" : out;
}

std::string GradientToken(const PsdGradient& g)
{
    std::string colors, alphas;
    for (int i = 0; i < g.colorStopCount; ++i)
    {
        const PsdColorStop& c = g.colorStops[i];
        colors += Format("%s%08x:%d:%u:%u", i ? ";" : "", c.color, c.type, c.location, c.midpoint);
    }
    for (int i = 0; i < g.transparencyStopCount; ++i)
    {
        const PsdTransparencyStop& a = g.transparencyStops[i];
        alphas += Format("%s%u:%u:%u", i ? ";" : "", a.opacity, a.location, a.midpoint);
    }
    return UnitsHex(g.name, g.nameLength) + Format("/%d/", g.smoothness) + colors + "/" + alphas;
}

std::string PatternToken(const PsdPatternRef& p)
{
    return UnitsHex(p.name, p.nameLength) + "/" + Hex(p.identifier);
}

// Fields in the script's order: name, value.
using Fields = std::vector<std::pair<const char*, std::string>>;

std::string Int(int64_t v) { return std::to_string(v); }
std::string Color(uint32_t v) { return Format("%08x", v); }
std::string Table(const PsdContour& t) { return Crc(t, 256); }

Fields ShadowFields(const PsdShadowEffect& e)
{
    return {{"enabled", Int(e.enabled)},   {"blend", Int(e.blendMode)},
            {"color", Color(e.color)},     {"native", Color(e.nativeColor)},
            {"opacity", Int(e.opacity)},   {"angle", Int(e.angle)},
            {"global", Int(e.useGlobalLight)}, {"distance", Int(e.distance)},
            {"choke", Int(e.choke)},       {"size", Int(e.size)},
            {"contour", Table(e.contour)}, {"aa", Int(e.antiAlias)},
            {"noise", Int(e.noise)},       {"knockout", Int(e.layerKnocksOut)}};
}

Fields GlowFields(const PsdGlowEffect& e)
{
    return {{"enabled", Int(e.enabled)},     {"blend", Int(e.blendMode)},
            {"opacity", Int(e.opacity)},     {"noise", Int(e.noise)},
            {"fill", Int(e.fillType)},       {"color", Color(e.color)},
            {"native", Color(e.nativeColor)}, {"gradient", GradientToken(e.gradient)},
            {"technique", Int(e.technique)}, {"source", Int(e.source)},
            {"spread", Int(e.spread)},       {"size", Int(e.size)},
            {"contour", Table(e.contour)},   {"aa", Int(e.antiAlias)},
            {"range", Int(e.range)},         {"jitter", Int(e.jitter)}};
}

Fields BevelFields(const PsdBevelEffect& e)
{
    return {{"enabled", Int(e.enabled)},
            {"style", Int(e.style)},
            {"technique", Int(e.technique)},
            {"depth", Int(e.depth)},
            {"direction", Int(e.direction)},
            {"size", Int(e.size)},
            {"soften", Int(e.soften)},
            {"angle", Int(e.angle)},
            {"global", Int(e.useGlobalLight)},
            {"altitude", Int(e.altitude)},
            {"gloss", Table(e.glossContour)},
            {"aaGloss", Int(e.antiAliasGloss)},
            {"hBlend", Int(e.highlightBlendMode)},
            {"hColor", Color(e.highlightColor)},
            {"hNative", Color(e.highlightNativeColor)},
            {"hOpacity", Int(e.highlightOpacity)},
            {"sBlend", Int(e.shadowBlendMode)},
            {"sColor", Color(e.shadowColor)},
            {"sNative", Color(e.shadowNativeColor)},
            {"sOpacity", Int(e.shadowOpacity)},
            {"useShape", Int(e.useShape)},
            {"contour", Table(e.contour)},
            {"aa", Int(e.antiAlias)},
            {"range", Int(e.range)},
            {"useTexture", Int(e.useTexture)},
            {"pattern", PatternToken(e.pattern)},
            {"scale", Int(e.scale)},
            {"textureDepth", Int(e.textureDepth)},
            {"invertTexture", Int(e.invertTexture)},
            {"align", Int(e.alignWithLayer)},
            {"phaseX", Int(e.phaseX)},
            {"phaseY", Int(e.phaseY)}};
}

Fields EffectFields(const PsdLayerEffects& e, int index)
{
    switch (index)
    {
    case kPsdEffectDropShadow:
        return ShadowFields(e.dropShadow);
    case kPsdEffectInnerShadow:
        return ShadowFields(e.innerShadow);
    case kPsdEffectOuterGlow:
        return GlowFields(e.outerGlow);
    case kPsdEffectInnerGlow:
        return GlowFields(e.innerGlow);
    case kPsdEffectSatin:
        return {{"enabled", Int(e.satin.enabled)}, {"blend", Int(e.satin.blendMode)},
                {"color", Color(e.satin.color)},   {"opacity", Int(e.satin.opacity)},
                {"angle", Int(e.satin.angle)},     {"distance", Int(e.satin.distance)},
                {"size", Int(e.satin.size)},       {"contour", Table(e.satin.contour)},
                {"aa", Int(e.satin.antiAlias)},    {"invert", Int(e.satin.invert)}};
    case kPsdEffectColorOverlay:
        return {{"enabled", Int(e.colorOverlay.enabled)}, {"blend", Int(e.colorOverlay.blendMode)},
                {"color", Color(e.colorOverlay.color)},   {"opacity", Int(e.colorOverlay.opacity)},
                {"native", Color(e.colorOverlay.nativeColor)}};
    case kPsdEffectGradientOverlay:
    {
        const PsdGradientOverlayEffect& g = e.gradientOverlay;
        return {{"enabled", Int(g.enabled)},   {"blend", Int(g.blendMode)},
                {"opacity", Int(g.opacity)},   {"gradient", GradientToken(g.gradient)},
                {"reverse", Int(g.reverse)},   {"style", Int(g.style)},
                {"align", Int(g.alignWithLayer)}, {"angle", Int(g.angle)},
                {"scale", Int(g.scale)},       {"offsetX", Int(g.offsetX)},
                {"offsetY", Int(g.offsetY)}};
    }
    case kPsdEffectPatternOverlay:
    {
        const PsdPatternOverlayEffect& p = e.patternOverlay;
        return {{"enabled", Int(p.enabled)}, {"blend", Int(p.blendMode)},
                {"opacity", Int(p.opacity)}, {"pattern", PatternToken(p.pattern)},
                {"scale", Int(p.scale)},     {"align", Int(p.alignWithLayer)},
                {"phaseX", Int(p.phaseX)},   {"phaseY", Int(p.phaseY)}};
    }
    case kPsdEffectStroke:
    {
        const PsdStrokeEffect& s = e.stroke;
        return {{"enabled", Int(s.enabled)},
                {"size", Int(s.size)},
                {"position", Int(s.position)},
                {"blend", Int(s.blendMode)},
                {"opacity", Int(s.opacity)},
                {"fill", Int(s.fillType)},
                {"color", Color(s.color)},
                {"gradient", GradientToken(s.gradient)},
                {"reverse", Int(s.reverse)},
                {"gradientStyle", Int(s.gradientStyle)},
                {"align", Int(s.align)},
                {"angle", Int(s.angle)},
                {"gradientScale", Int(s.gradientScale)},
                {"offsetX", Int(s.offsetX)},
                {"offsetY", Int(s.offsetY)},
                {"pattern", PatternToken(s.pattern)},
                {"patternScale", Int(s.patternScale)},
                {"linked", Int(s.linked)},
                {"phaseX", Int(s.phaseX)},
                {"phaseY", Int(s.phaseY)}};
    }
    default:
        return BevelFields(e.bevel);
    }
}

std::vector<std::string> DescribeExtras(const PsdContext* context)
{
    std::vector<std::string> lines;
    for (int i = 0; i < context->layerCount; ++i)
    {
        const PsdLayerRecord& record = context->layers[i];
        for (int b = 0; b < record.blockCount; ++b)
        {
            const int kind = record.blockKinds[b];
            const void* block = record.blocks[b];
            if (kind == kPsdInfoLayerEffects || kind == kPsdInfoObjectEffects)
            {
                const PsdLayerEffects& e = *static_cast<const PsdLayerEffects*>(block);
                std::string present;
                for (bool flag : e.present)
                    present += flag ? "1" : "0";
                lines.push_back(Format("effects %d %d count %d master %d present %s", i, kind,
                                       e.effectCount, e.masterEnabled, present.c_str()));
                for (int index = 0; index < kPsdEffectCount; ++index)
                {
                    if (!e.present[index])
                        continue;
                    std::string line = Format("effect %d %d %d", i, kind, index);
                    for (const auto& [name, value] : EffectFields(e, index))
                        line += std::string(" ") + name + "=" + value;
                    lines.push_back(line);
                }
            }
            else if (kind == kPsdInfoSolidColorFill)
            {
                const PsdSolidColorFill& f = *static_cast<const PsdSolidColorFill*>(block);
                lines.push_back(Format("fill %d 17 class %08x color %08x", i, f.classId, f.color));
            }
            else if (kind == kPsdInfoGradientFill)
            {
                const PsdGradientFill& f = *static_cast<const PsdGradientFill*>(block);
                lines.push_back(Format("fill %d 18 class %08x gradient %s align %d angle %.6f "
                                       "dither %d reverse %d scale %d style %d",
                                       i, f.classId, GradientToken(f.gradient).c_str(), f.align,
                                       f.angle, f.dithered, f.reversed, f.scale, f.style));
            }
            else if (kind == kPsdInfoPatternFill)
            {
                const PsdPatternFill& f = *static_cast<const PsdPatternFill*>(block);
                lines.push_back(Format("fill %d 19 class %08x pattern %s scale %d", i, f.classId,
                                       PatternToken(f.pattern).c_str(), f.scale));
            }
        }
    }
    for (int i = 0; i < context->patternCount; ++i)
    {
        const PsdPattern& p = context->patterns[i];
        lines.push_back(Format("pattern %d mode %d size %d %d depth %d decoded %d name %s id %s "
                               "pixels %s",
                               i, p.imageMode, p.width, p.height, p.depth, p.channelsDecoded,
                               UnitsHex(p.name, p.nameLength).c_str(), Hex(p.identifier).c_str(),
                               Crc(p.pixels, size_t(p.width) * p.height * 4).c_str()));
    }
    return lines;
}

class PsdInterop : public testing::TestWithParam<std::string>
{
};

TEST_P(PsdInterop, ReadsWhatPsdToolsReads)
{
    const std::string base = kFixtures + "/" + GetParam();
    const Expected expected = ReadExpected(base + ".expected");
    ASSERT_EQ(expected.header.size(), 5u) << "no expected values for " << GetParam();

    PsdContext* context = nullptr;
    ASSERT_EQ(PsdLoadDocument((base + ".psd").c_str(), &context), kPsdOk);
    Loaded loaded;
    loaded.context = context;

    EXPECT_EQ(int(context->width), expected.header[0]);
    EXPECT_EQ(int(context->height), expected.header[1]);
    EXPECT_EQ(int(context->channelCount), expected.header[2]);
    EXPECT_EQ(int(context->depth), expected.header[3]);
    EXPECT_EQ(int(context->colorMode), expected.header[4]);
    EXPECT_EQ(int(context->alphaChannelCount), expected.alpha);

    const size_t pixels = size_t(context->width) * context->height;
    EXPECT_EQ(Crc(context->composite, pixels * 4), expected.composite);

    // Effects, fills and patterns: psd-tools parsed them from the file, the
    // reader's documented rules turned them into what the reader keeps.
    const std::vector<std::string> extras = DescribeExtras(context);
    EXPECT_EQ(extras.size(), expected.extras.size());
    for (size_t i = 0; i < std::min(extras.size(), expected.extras.size()); ++i)
        EXPECT_EQ(extras[i], expected.extras[i]);

    if (expected.layers == 0)
    {
        // A flattened document reads as one layer holding the merged image.
        ASSERT_EQ(context->layerCount, 1);
        EXPECT_EQ(Crc(context->layers[0].pixels, pixels * 4), expected.composite);
        return;
    }
    ASSERT_EQ(context->layerCount, expected.layers);
    for (int i = 0; i < context->layerCount; ++i)
    {
        SCOPED_TRACE("layer " + std::to_string(i));
        const PsdLayerRecord& record = context->layers[i];
        const ExpectedLayer& want = expected.records[size_t(i)];
        auto field = [&](const char* key) { return want.fields.at(key); };
        EXPECT_EQ(std::to_string(record.kind), field("kind"));
        const int folder = record.folder ? int(record.folder - context->layers) : -1;
        EXPECT_EQ(std::to_string(folder), field("folder"));
        EXPECT_EQ(std::to_string(record.top), want.rect[0]);
        EXPECT_EQ(std::to_string(record.left), want.rect[1]);
        EXPECT_EQ(std::to_string(record.bottom), want.rect[2]);
        EXPECT_EQ(std::to_string(record.right), want.rect[3]);
        EXPECT_EQ(std::to_string(record.opacity), field("opacity"));
        EXPECT_EQ(std::to_string(record.blendMode), field("blend"));
        EXPECT_EQ(record.visible ? "1" : "0", field("visible"));
        EXPECT_EQ(record.clipping ? "1" : "0", field("clipping"));
        EXPECT_EQ(Hex(record.name), field("name"));
        EXPECT_EQ(Crc(record.pixels, size_t(record.width) * record.height * 4), field("pixels"));
        if (want.mask[0] == "-")
            continue;
        EXPECT_EQ(std::to_string(record.maskTop), want.mask[0]);
        EXPECT_EQ(std::to_string(record.maskLeft), want.mask[1]);
        EXPECT_EQ(std::to_string(record.maskBottom), want.mask[2]);
        EXPECT_EQ(std::to_string(record.maskRight), want.mask[3]);
        EXPECT_EQ(std::to_string(record.maskDefaultColor), want.mask[4]);
        EXPECT_EQ(Crc(record.maskPixels, size_t(record.maskWidth) * record.maskHeight), want.mask[5]);
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, PsdInterop, testing::ValuesIn(FixtureNames()),
                         [](const testing::TestParamInfo<std::string>& info) { return info.param; });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(PsdInterop);

TEST(PsdInterop, FixturesFromFourWritersArePresent)
{
    const std::vector<std::string> names = FixtureNames();
    for (const char* prefix : {"im_", "gimp_", "ag_", "w_"})
        EXPECT_TRUE(std::any_of(names.begin(), names.end(),
                                [&](const std::string& n) { return n.rfind(prefix, 0) == 0; }))
            << "no fixture from " << prefix;
}

} // namespace
