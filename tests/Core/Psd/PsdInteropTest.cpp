// Documents written by ImageMagick, GIMP, ag-psd and the tests' own writer, read by
// this reader and compared with what psd-tools read from the same files
// (scripts/psd-expected.py wrote the .expected files beside them).

#include "tests/Core/Psd/PsdTesting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdarg>
#include <filesystem>
#include <fstream>
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

std::string I(int64_t v) { return std::to_string(v); }
std::string C(uint32_t v) { return Format("%08x", v); }
std::string T(const PsdContour& t) { return Crc(t, 256); }

// " name=value" for each of the space-separated names, in the script's order.
std::string Fields(const char* names, const std::vector<std::string>& values)
{
    std::istringstream in(names);
    std::string line, name;
    for (const std::string& value : values)
        if (in >> name)
            line += " " + name + "=" + value;
    return line;
}

std::string ShadowFields(const PsdShadowEffect& e)
{
    return Fields("enabled blend color native opacity angle global distance choke size contour aa noise knockout",
                  {I(e.enabled), I(e.blendMode), C(e.color), C(e.nativeColor), I(e.opacity), I(e.angle),
                   I(e.useGlobalLight), I(e.distance), I(e.choke), I(e.size), T(e.contour), I(e.antiAlias),
                   I(e.noise), I(e.layerKnocksOut)});
}

std::string GlowFields(const PsdGlowEffect& e)
{
    return Fields("enabled blend opacity noise fill color native gradient technique source spread size contour aa "
                  "range jitter",
                  {I(e.enabled), I(e.blendMode), I(e.opacity), I(e.noise), I(e.fillType), C(e.color),
                   C(e.nativeColor), GradientToken(e.gradient), I(e.technique), I(e.source), I(e.spread), I(e.size),
                   T(e.contour), I(e.antiAlias), I(e.range), I(e.jitter)});
}

std::string EffectFields(const PsdLayerEffects& e, int index)
{
    const PsdSatinEffect& a = e.satin;
    const PsdColorOverlayEffect& o = e.colorOverlay;
    const PsdGradientOverlayEffect& g = e.gradientOverlay;
    const PsdPatternOverlayEffect& p = e.patternOverlay;
    const PsdStrokeEffect& s = e.stroke;
    const PsdBevelEffect& b = e.bevel;
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
        return Fields("enabled blend color opacity angle distance size contour aa invert",
                      {I(a.enabled), I(a.blendMode), C(a.color), I(a.opacity), I(a.angle), I(a.distance), I(a.size),
                       T(a.contour), I(a.antiAlias), I(a.invert)});
    case kPsdEffectColorOverlay:
        return Fields("enabled blend color opacity native",
                      {I(o.enabled), I(o.blendMode), C(o.color), I(o.opacity), C(o.nativeColor)});
    case kPsdEffectGradientOverlay:
        return Fields("enabled blend opacity gradient reverse style align angle scale offsetX offsetY",
                      {I(g.enabled), I(g.blendMode), I(g.opacity), GradientToken(g.gradient), I(g.reverse),
                       I(g.style), I(g.alignWithLayer), I(g.angle), I(g.scale), I(g.offsetX), I(g.offsetY)});
    case kPsdEffectPatternOverlay:
        return Fields("enabled blend opacity pattern scale align phaseX phaseY",
                      {I(p.enabled), I(p.blendMode), I(p.opacity), PatternToken(p.pattern), I(p.scale),
                       I(p.alignWithLayer), I(p.phaseX), I(p.phaseY)});
    case kPsdEffectStroke:
        return Fields("enabled size position blend opacity fill color gradient reverse gradientStyle align angle "
                      "gradientScale offsetX offsetY pattern patternScale linked phaseX phaseY",
                      {I(s.enabled), I(s.size), I(s.position), I(s.blendMode), I(s.opacity), I(s.fillType),
                       C(s.color), GradientToken(s.gradient), I(s.reverse), I(s.gradientStyle), I(s.align),
                       I(s.angle), I(s.gradientScale), I(s.offsetX), I(s.offsetY), PatternToken(s.pattern),
                       I(s.patternScale), I(s.linked), I(s.phaseX), I(s.phaseY)});
    default:
        return Fields("enabled style technique depth direction size soften angle global altitude gloss aaGloss "
                      "hBlend hColor hNative hOpacity sBlend sColor sNative sOpacity useShape contour aa range "
                      "useTexture pattern scale textureDepth invertTexture align phaseX phaseY",
                      {I(b.enabled), I(b.style), I(b.technique), I(b.depth), I(b.direction), I(b.size),
                       I(b.soften), I(b.angle), I(b.useGlobalLight), I(b.altitude), T(b.glossContour),
                       I(b.antiAliasGloss), I(b.highlightBlendMode), C(b.highlightColor),
                       C(b.highlightNativeColor), I(b.highlightOpacity), I(b.shadowBlendMode), C(b.shadowColor),
                       C(b.shadowNativeColor), I(b.shadowOpacity), I(b.useShape), T(b.contour), I(b.antiAlias),
                       I(b.range), I(b.useTexture), PatternToken(b.pattern), I(b.scale), I(b.textureDepth),
                       I(b.invertTexture), I(b.alignWithLayer), I(b.phaseX), I(b.phaseY)});
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
                lines.push_back(Format("effect %d %d %d", i, kind, index) + EffectFields(e, index));
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

} // namespace
