// Documents written by ImageMagick, GIMP, ag-psd and the tests' own writer, read by
// this reader and compared with what psd-tools read from the same files
// (scripts/psd-expected.py wrote the .expected files beside them).

#include "tests/Core/Psd/PsdDocuments.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdarg>
#include <cstdlib>
#include <filesystem>
#include <fstream>

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

std::string Crc(const void* data, size_t size)
{
    return data && size ? Format("%08lx", crc32(0, static_cast<const Bytef*>(data), uInt(size)) & 0xFFFFFFFFul) : "-";
}

// --- Our reading in the lines scripts/psd-expected.py writes --------------------------

std::string Hex(const char* text)
{
    std::string out;
    for (const char* p = text; *p; ++p)
        out += Format("%02x", uint8_t(*p));
    return out.empty() ? "-" : out;
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
    return {{"enabled", Int(e.enabled)}, {"blend", Int(e.blendMode)}, {"color", Color(e.color)},
            {"native", Color(e.nativeColor)}, {"opacity", Int(e.opacity)}, {"angle", Int(e.angle)},
            {"global", Int(e.useGlobalLight)}, {"distance", Int(e.distance)}, {"choke", Int(e.choke)},
            {"size", Int(e.size)}, {"contour", Table(e.contour)}, {"aa", Int(e.antiAlias)}, {"noise", Int(e.noise)},
            {"knockout", Int(e.layerKnocksOut)}};
}

Fields GlowFields(const PsdGlowEffect& e)
{
    return {{"enabled", Int(e.enabled)}, {"blend", Int(e.blendMode)}, {"opacity", Int(e.opacity)},
            {"noise", Int(e.noise)}, {"fill", Int(e.fillType)}, {"color", Color(e.color)},
            {"native", Color(e.nativeColor)}, {"gradient", GradientToken(e.gradient)},
            {"technique", Int(e.technique)}, {"source", Int(e.source)}, {"spread", Int(e.spread)},
            {"size", Int(e.size)}, {"contour", Table(e.contour)}, {"aa", Int(e.antiAlias)}, {"range", Int(e.range)},
            {"jitter", Int(e.jitter)}};
}

Fields BevelFields(const PsdBevelEffect& e)
{
    return {{"enabled", Int(e.enabled)}, {"style", Int(e.style)}, {"technique", Int(e.technique)},
            {"depth", Int(e.depth)}, {"direction", Int(e.direction)}, {"size", Int(e.size)},
            {"soften", Int(e.soften)}, {"angle", Int(e.angle)}, {"global", Int(e.useGlobalLight)},
            {"altitude", Int(e.altitude)}, {"gloss", Table(e.glossContour)}, {"aaGloss", Int(e.antiAliasGloss)},
            {"hBlend", Int(e.highlightBlendMode)}, {"hColor", Color(e.highlightColor)},
            {"hNative", Color(e.highlightNativeColor)}, {"hOpacity", Int(e.highlightOpacity)},
            {"sBlend", Int(e.shadowBlendMode)}, {"sColor", Color(e.shadowColor)},
            {"sNative", Color(e.shadowNativeColor)}, {"sOpacity", Int(e.shadowOpacity)},
            {"useShape", Int(e.useShape)}, {"contour", Table(e.contour)}, {"aa", Int(e.antiAlias)},
            {"range", Int(e.range)}, {"useTexture", Int(e.useTexture)}, {"pattern", PatternToken(e.pattern)},
            {"scale", Int(e.scale)}, {"textureDepth", Int(e.textureDepth)}, {"invertTexture", Int(e.invertTexture)},
            {"align", Int(e.alignWithLayer)}, {"phaseX", Int(e.phaseX)}, {"phaseY", Int(e.phaseY)}};
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
                {"color", Color(e.satin.color)}, {"opacity", Int(e.satin.opacity)}, {"angle", Int(e.satin.angle)},
                {"distance", Int(e.satin.distance)}, {"size", Int(e.satin.size)},
                {"contour", Table(e.satin.contour)}, {"aa", Int(e.satin.antiAlias)}, {"invert", Int(e.satin.invert)}};
    case kPsdEffectColorOverlay:
        return {{"enabled", Int(e.colorOverlay.enabled)}, {"blend", Int(e.colorOverlay.blendMode)},
                {"color", Color(e.colorOverlay.color)}, {"opacity", Int(e.colorOverlay.opacity)},
                {"native", Color(e.colorOverlay.nativeColor)}};
    case kPsdEffectGradientOverlay:
    {
        const PsdGradientOverlayEffect& g = e.gradientOverlay;
        return {{"enabled", Int(g.enabled)}, {"blend", Int(g.blendMode)}, {"opacity", Int(g.opacity)},
                {"gradient", GradientToken(g.gradient)}, {"reverse", Int(g.reverse)}, {"style", Int(g.style)},
                {"align", Int(g.alignWithLayer)}, {"angle", Int(g.angle)}, {"scale", Int(g.scale)},
                {"offsetX", Int(g.offsetX)}, {"offsetY", Int(g.offsetY)}};
    }
    case kPsdEffectPatternOverlay:
    {
        const PsdPatternOverlayEffect& p = e.patternOverlay;
        return {{"enabled", Int(p.enabled)}, {"blend", Int(p.blendMode)}, {"opacity", Int(p.opacity)},
                {"pattern", PatternToken(p.pattern)}, {"scale", Int(p.scale)}, {"align", Int(p.alignWithLayer)},
                {"phaseX", Int(p.phaseX)}, {"phaseY", Int(p.phaseY)}};
    }
    case kPsdEffectStroke:
    {
        const PsdStrokeEffect& s = e.stroke;
        return {{"enabled", Int(s.enabled)}, {"size", Int(s.size)}, {"position", Int(s.position)},
                {"blend", Int(s.blendMode)}, {"opacity", Int(s.opacity)}, {"fill", Int(s.fillType)},
                {"color", Color(s.color)}, {"gradient", GradientToken(s.gradient)}, {"reverse", Int(s.reverse)},
                {"gradientStyle", Int(s.gradientStyle)}, {"align", Int(s.align)}, {"angle", Int(s.angle)},
                {"gradientScale", Int(s.gradientScale)}, {"offsetX", Int(s.offsetX)}, {"offsetY", Int(s.offsetY)},
                {"pattern", PatternToken(s.pattern)}, {"patternScale", Int(s.patternScale)},
                {"linked", Int(s.linked)}, {"phaseX", Int(s.phaseX)}, {"phaseY", Int(s.phaseY)}};
    }
    default:
        return BevelFields(e.bevel);
    }
}

// The effects and fills of record i.
void DescribeBlocks(const PsdLayerRecord& record, int i, std::vector<std::string>& lines)
{
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
            lines.push_back(Format("effects %d %d count %d master %d present %s", i, kind, e.effectCount,
                                   e.masterEnabled, present.c_str()));
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
            lines.push_back(Format("fill %d 18 class %08x gradient %s align %d angle %.6f dither %d reverse %d "
                                   "scale %d style %d",
                                   i, f.classId, GradientToken(f.gradient).c_str(), f.align, f.angle, f.dithered,
                                   f.reversed, f.scale, f.style));
        }
        else if (kind == kPsdInfoPatternFill)
        {
            const PsdPatternFill& f = *static_cast<const PsdPatternFill*>(block);
            lines.push_back(Format("fill %d 19 class %08x pattern %s scale %d", i, f.classId,
                                   PatternToken(f.pattern).c_str(), f.scale));
        }
    }
}

// The whole document as psd-expected.py describes it. psd-tools makes no
// layer of a flattened document's merged image, and gives a mask only where
// the file has one (`masked`).
std::vector<std::string> Describe(const PsdContext* c, bool flat, const std::vector<bool>& masked)
{
    std::vector<std::string> lines;
    lines.push_back(Format("header %u %u %d %d %d", c->width, c->height, c->channelCount, c->depth, c->colorMode));
    lines.push_back(Format("alpha %d", c->alphaChannelCount));
    lines.push_back(Format("layers %d", flat ? 0 : c->layerCount));
    for (int i = 0; !flat && i < c->layerCount; ++i)
    {
        const PsdLayerRecord& r = c->layers[i];
        const std::string mask =
            size_t(i) < masked.size() && masked[size_t(i)]
                ? Format("%d %d %d %d %d %s", r.maskTop, r.maskLeft, r.maskBottom, r.maskRight, r.maskDefaultColor,
                         Crc(r.maskPixels, size_t(r.maskWidth) * r.maskHeight).c_str())
                : "-";
        lines.push_back(Format("layer %d kind %d folder %d rect %d %d %d %d opacity %d blend %d visible %d "
                               "clipping %d pixels %s mask %s name %s",
                               i, r.kind, r.folder ? int(r.folder - c->layers) : -1, r.top, r.left, r.bottom,
                               r.right, r.opacity, r.blendMode, r.visible ? 1 : 0, r.clipping ? 1 : 0,
                               Crc(r.pixels, size_t(r.width) * r.height * 4).c_str(), mask.c_str(),
                               Hex(r.name).c_str()));
        DescribeBlocks(r, i, lines);
    }
    for (int i = 0; i < c->patternCount; ++i)
    {
        const PsdPattern& p = c->patterns[i];
        lines.push_back(Format("pattern %d mode %d size %d %d depth %d decoded %d name %s id %s pixels %s", i,
                               p.imageMode, p.width, p.height, p.depth, p.channelsDecoded,
                               UnitsHex(p.name, p.nameLength).c_str(), Hex(p.identifier).c_str(),
                               Crc(p.pixels, size_t(p.width) * p.height * 4).c_str()));
    }
    lines.push_back("composite " + Crc(c->composite, size_t(c->width) * c->height * 4));
    return lines;
}

class PsdInterop : public testing::TestWithParam<std::string>
{
};

TEST_P(PsdInterop, ReadsWhatPsdToolsReads)
{
    const std::string base = kFixtures + "/" + GetParam();
    std::vector<std::string> expected;
    std::vector<bool> masked;
    std::ifstream in(base + ".expected");
    for (std::string line; std::getline(in, line);)
    {
        if (line.rfind("#", 0) == 0)
            continue;
        expected.push_back(line);
        if (line.rfind("layer ", 0) == 0)
            masked.push_back(line.find(" mask - ") == std::string::npos);
    }
    ASSERT_GT(expected.size(), 3u) << "no expected values for " << GetParam();

    PsdContext* context = nullptr;
    ASSERT_EQ(PsdLoadDocument((base + ".psd").c_str(), &context), kPsdOk);
    const std::unique_ptr<PsdContext, FreeDocument> loaded(context);

    const bool flat = expected[2] == "layers 0";
    const std::vector<std::string> ours = Describe(context, flat, masked);
    EXPECT_EQ(ours.size(), expected.size());
    for (size_t i = 0; i < std::min(ours.size(), expected.size()); ++i)
        EXPECT_EQ(ours[i], expected[i]);
    if (flat)
    {
        // A flattened document reads as one layer holding the merged image.
        ASSERT_EQ(context->layerCount, 1);
        const size_t bytes = size_t(context->width) * context->height * 4;
        EXPECT_EQ(Crc(context->layers[0].pixels, bytes), Crc(context->composite, bytes));
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

// The committed w_*.psd are what the tests' writer makes today; with
// BW_WRITE_PSD_FIXTURES set (scripts/make-psd-fixtures.sh) it writes them there.
TEST(PsdFixtures, WriterFixturesAreTheCommittedFiles)
{
    const char* folder = std::getenv("BW_WRITE_PSD_FIXTURES");
    for (const auto& [name, doc] : WriterFixtures())
    {
        if (folder)
            ASSERT_TRUE(SaveFile(std::string(folder) + "/" + name + ".psd", WriteDocument(doc)));
        else
            EXPECT_TRUE(WriteDocument(doc) == LoadFile(kFixtures + "/" + name + ".psd")) << name;
    }
}

} // namespace
