#pragma once

// Documents of the tests' own writer that are also committed as fixtures
// (w_*.psd), so that psd-tools can read them too.

#include "tests/Core/Psd/PsdTesting.h"

#include <utility>

namespace psdtest
{

// Colour planes of a merged image with content that compresses like real art.
inline std::vector<Bytes> MergedPlanes(const Document& doc)
{
    std::vector<Bytes> planes;
    for (int c = 0; c < doc.channels; ++c)
        planes.push_back(MakePlane(doc.width, doc.height, doc.depth, [c](size_t x, size_t y) {
            return x < 6 ? 40 * c + 30 : (x * 13 + y * 29 + size_t(c) * 71) & 0xFF;
        }));
    return planes;
}

inline Channel MaskChannel(int16_t id, const Bytes& samples)
{
    Channel channel;
    channel.id = id, channel.compression = 1, channel.samples = samples;
    return channel;
}

inline Document MakeDocument(uint16_t mode, uint16_t depth, uint16_t channels, uint32_t width,
                             uint32_t height, int compression)
{
    Document doc;
    doc.mode = mode, doc.depth = depth, doc.channels = channels, doc.width = width, doc.height = height;
    doc.compression = compression;
    doc.composite = MergedPlanes(doc);
    return doc;
}

inline std::vector<std::pair<std::string, Document>> WriterFixtures()
{
    std::vector<std::pair<std::string, Document>> all;

    {
        Document doc = MakeDocument(3, 8, 3, 16, 12, 3);
        doc.layers.push_back(PatternLayer(0, 0, 12, 16, {0, 1, 2}, 8, 0, "bg"));
        Layer play = PatternLayer(2, 3, 9, 13, {-1, 0, 1, 2}, 8, 3, "play");
        play.mask = MaskBlock(3, 4, 8, 10, 255, 0);
        play.channels.push_back(MaskChannel(-2, MakePlane(6, 5, 8, [](size_t x, size_t y) { return (x + y) % 2 ? 255 : 0; })));
        play.channels.back().compression = 3;
        play.opacity = 200;
        play.blendKey = "scrn";
        doc.layers.push_back(play);
        doc.layers.push_back(PatternLayer(5, 1, 8, 6, {-1, 0, 1, 2}, 8, 1, "logo|box"));
        all.emplace_back("w_rgb8_zippred", doc);
    }
    // A background and a layer with transparency above it: mode, depth,
    // channels, size, the compressions of the merged image, the background
    // and the layer, the layer's rectangle and name.
    const struct
    {
        const char* file;
        uint16_t mode, depth, channels;
        uint32_t width, height;
        int merged, background, layer;
        int32_t top, left, bottom, right;
        const char* name;
    } simple[] = {{"w_rgb16_lr16", 3, 16, 3, 10, 8, 2, 3, 3, 1, 2, 7, 9, "deep"},
                  {"w_rgb16_rle", 3, 16, 3, 10, 8, 1, 1, 2, 1, 2, 7, 9, "zip"},
                  {"w_gray16_zip", 1, 16, 1, 9, 7, 2, 0, 1, 2, 2, 6, 7, "grey"},
                  {"w_cmyk8_alpha", 4, 8, 5, 9, 7, 1, 1, 2, 1, 1, 6, 8, "ink"},
                  {"w_cmyk16", 4, 16, 4, 8, 6, 0, 0, 3, 1, 1, 5, 7, "ink"},
                  {"w_lab8", 9, 8, 3, 8, 6, 1, 1, 2, 1, 2, 5, 7, "lab"},
                  {"w_lab16", 9, 16, 3, 8, 6, 1, 1, 2, 1, 2, 5, 7, "lab"},
                  {"w_multichannel", 7, 8, 3, 8, 6, 0, 0, 1, 1, 1, 4, 5, "inks"}};
    for (const auto& f : simple)
    {
        Document doc = MakeDocument(f.mode, f.depth, f.channels, f.width, f.height, f.merged);
        std::vector<int16_t> ids = {0, 1, 2, 3};
        ids.resize(f.mode == 4 ? 4 : f.mode == 1 ? 1 : 3);
        doc.layers.push_back(PatternLayer(0, 0, int32_t(f.height), int32_t(f.width), ids, f.depth, f.background, "bg"));
        ids.insert(ids.begin(), -1);
        doc.layers.push_back(PatternLayer(f.top, f.left, f.bottom, f.right, ids, f.depth, f.layer, f.name));
        doc.layersInLr16 = f.file == std::string("w_rgb16_lr16");
        doc.negativeLayerCount = f.file == std::string("w_cmyk8_alpha");
        all.emplace_back(f.file, doc);
    }
    {
        Document doc = MakeDocument(2, 8, 1, 12, 8, 1);
        Bytes palette(768);
        for (int i = 0; i < 256; ++i)
        {
            palette[size_t(i)] = uint8_t(i);
            palette[size_t(256 + i)] = uint8_t(255 - i);
            palette[size_t(512 + i)] = uint8_t(i * 7);
        }
        doc.colorModeData = palette;
        doc.resources = {{1046, "", {0, 200}}, {1047, "", {0, 5}}};
        doc.composite[0] = MakePlane(12, 8, 8, [](size_t x, size_t y) { return (x * 23 + y * 5) & 0xFF; });
        doc.layers.push_back(PatternLayer(0, 0, 8, 12, {0}, 8, 1, "bg"));
        doc.layers.push_back(PatternLayer(2, 2, 6, 9, {0}, 8, 0, "index"));
        all.emplace_back("w_indexed", doc);
    }
    {
        // Duotone data of an odd length; no layers.
        Document doc = MakeDocument(8, 8, 1, 10, 6, 2);
        doc.colorModeData = Bytes{1, 2, 3, 4, 5};
        doc.layerSection = false;
        all.emplace_back("w_duotone", doc);
    }
    {
        // Both masks: the layer mask (-2) and the real user mask (-3) with
        // their own rectangles, and mask parameters after them.
        Document doc = MakeDocument(3, 8, 3, 16, 12, 1);
        doc.layers.push_back(PatternLayer(0, 0, 12, 16, {0, 1, 2}, 8, 1, "bg"));
        Layer masked = PatternLayer(1, 1, 11, 15, {-1, 0, 1, 2}, 8, 1, "masked");
        // Flags 16: parameters follow, here the density, then padding.
        masked.mask = Writer().I32(2).I32(2).I32(6).I32(9).U8(0).U8(16).U8(0).U8(255).I32(0).I32(0).I32(12).I32(16)
                          .U8(1).U8(128).U16(0).out;
        masked.channels.push_back(MaskChannel(-2, MakePlane(7, 4, 8, [](size_t x, size_t) { return x * 30; })));
        masked.channels.push_back(MaskChannel(-3, MakePlane(16, 12, 8, [](size_t, size_t y) { return y * 20; })));
        doc.layers.push_back(masked);
        all.emplace_back("w_masks36", doc);
    }
    {
        // Groups in every form: "lsct" of 4, 12 and 16 bytes, "lsdk", and
        // Unicode names; a hidden and a clipped layer.
        Document doc = MakeDocument(3, 8, 3, 12, 10, 1);
        doc.layers.push_back(PatternLayer(0, 0, 10, 12, {0, 1, 2}, 8, 1, "bg"));
        doc.layers.push_back(Named("</Layer group>", {Block("lsct", SectionDivider(3))}));
        Layer low = PatternLayer(1, 1, 3, 3, {0, 1, 2}, 8, 1, "low");
        low.flags = 2; // hidden
        doc.layers.push_back(low);
        doc.layers.push_back(Named("</Layer group>", {Block("lsdk", SectionDivider(3))}));
        Layer clip = PatternLayer(2, 2, 5, 5, {-1, 0, 1, 2}, 8, 2, "clip");
        clip.clipping = 1;
        clip.blocks.push_back(Block("luni", UnicodeName(u"clip\u00e9")));
        doc.layers.push_back(clip);
        doc.layers.push_back(Named("inner", {Block("lsdk", SectionDivider(1, "mul "))}));
        doc.layers.push_back(Named("outer", {Block("lsct", SectionDivider(2, "norm", true))}));
        doc.layers.push_back(PatternLayer(6, 6, 9, 11, {0, 1, 2}, 8, 1, "top"));
        all.emplace_back("w_groups", doc);
    }
    {
        // Two named alpha channels after the colour channels.
        Document doc = MakeDocument(3, 8, 5, 8, 6, 1);
        doc.resources.push_back(Resource{1006, "", Writer().Pascal("A", 1).Pascal("Bee", 1).out});
        doc.layers.push_back(PatternLayer(0, 0, 6, 8, {0, 1, 2}, 8, 1, "bg"));
        all.emplace_back("w_alpha_channels", doc);
    }
    {
        // A flattened RGBA document: the merged transparency after the colours.
        Document doc = MakeDocument(3, 8, 4, 9, 5, 0);
        doc.layerSection = false;
        all.emplace_back("w_rgba_flat", doc);
    }
    {
        // A 1-bit document with a layer.
        // (Widths of whole bytes: psd-tools reads no others at depth 1.)
        Document doc = MakeDocument(0, 1, 1, 24, 9, 1);
        doc.layers.push_back(PatternLayer(0, 0, 9, 24, {0}, 1, 1, "bits"));
        doc.layers.push_back(PatternLayer(2, 3, 7, 19, {0}, 1, 0, "raw"));
        all.emplace_back("w_bitmap", doc);
    }
    {
        // Image resources around a JPEG thumbnail.
        Document doc = MakeDocument(3, 8, 3, 16, 12, 1);
        doc.resources = {{1005, "", Writer().U32(72 << 16).U16(1).U16(1).U32(72 << 16).U16(1).U16(1).out},
                         {1037, "", {0, 0, 0, 45}},
                         {1049, "", {0, 0, 0, 60}},
                         {1057, "", Writer().U32(1).U8(1).Unicode(u"Test writer").Unicode(u"Test reader").U32(1).out},
                         ThumbnailResource(16, 12, MakeJpeg(16, 12, 3))};
        doc.layers.push_back(PatternLayer(0, 0, 12, 16, {0, 1, 2}, 8, 1, "bg"));
        all.emplace_back("w_resources", doc);
    }
    {
        // Layer effects: the binary form on one layer, the descriptor form on
        // another, both on a third.
        using namespace desc;
        Document doc = MakeDocument(3, 8, 3, 12, 10, 1);
        doc.layers.push_back(PatternLayer(0, 0, 10, 12, {0, 1, 2}, 8, 1, "bg"));

        // Version, blur, intensity, angle, distance, colour, blend, enabled, global light, opacity.
        const fx::Shadow drop{2, 7, 12, -60, 5, 20, 40, 200, "mul ", true, true, 150};
        const fx::Shadow inner{2, 5, 0, 120, 5, 0, 0, 0, "lbrn", true, false, 191};
        // Version, blur, intensity, colour, blend, enabled, opacity, invert.
        const fx::Glow outer{2, 9, 4, 255, 255, 190, "scrn", true, 191, false};
        const fx::Glow innerGlow{2, 5, 0, 10, 255, 190, "scrn", true, 191, true};
        // Version, angle, strength, blur, blends, style, opacities, enabled, global light, direction.
        const fx::Bevel bevel{2, 135, 300, 6, "scrn", "mul ", 2, 191, 191, true, true, 1};
        Layer binary = PatternLayer(1, 1, 6, 7, {-1, 0, 1, 2}, 8, 1, "binary");
        binary.blocks.push_back(Block(
            "lrFX", fx::Block({fx::Entry("cmnS", fx::CommonState(true)), fx::Entry("dsdw", fx::ShadowBody(drop)),
                               fx::Entry("isdw", fx::ShadowBody(inner)), fx::Entry("oglw", fx::GlowBody(outer, false)),
                               fx::Entry("iglw", fx::GlowBody(innerGlow, true)),
                               fx::Entry("bevl", fx::BevelBody(bevel)),
                               fx::Entry("sofi", fx::SolidFillBody(250, 128, 0, 200, true, "over"))})));
        doc.layers.push_back(binary);

        const Bytes gradient = Gradient(u"Glow", {{255, 255, 0, 0, 50}, {255, 0, 0, 4096, 30, "FrgC"}},
                                        {{100, 0, 50}, {0, 4096, 50}});
        const Bytes checks = PatternRef(u"Checks", u"check-1");
        const Item enabled = {"enab", Bool(true)};
        Layer object = PatternLayer(2, 3, 8, 10, {-1, 0, 1, 2}, 8, 1, "object");
        object.blocks.push_back(Block(
            "lfx2",
            ObjectEffects(
                {{"Scl ", Percent(100)},
                 {"masterFXSwitch", Bool(true)},
                 {"DrSh", Object({enabled, {"Md  ", BlendMode("Mltp")}, {"Clr ", Color(10, 20, 30)},
                                  {"Opct", Percent(60)}, {"uglg", Bool(true)}, {"lagl", Angle(30)},
                                  {"Dstn", Pixels(8)}, {"Ckmt", Pixels(10)}, {"blur", Pixels(4)},
                                  {"Nose", Percent(0)}, {"AntA", Bool(false)},
                                  {"TrnS", Contour({{0, 0}, {128, 200, true}, {255, 40}}, u"Peak")},
                                  {"layerConceals", Bool(true)}})},
                 {"IrSh", Object({{"enab", Bool(false)}, {"Md  ", BlendMode("linearBurn")}})},
                 {"OrGl", Object({enabled, {"Md  ", BlendMode("Scrn")}, {"Grad", gradient}, {"Opct", Percent(75)},
                                  {"GlwT", Enum("BETE", "PrBL")}, {"Ckmt", Pixels(3)}, {"blur", Pixels(12)},
                                  {"ShdN", Percent(5)}, {"Inpr", Percent(45)}})},
                 {"IrGl", Object({enabled, {"Clr ", Color(255, 255, 190)}, {"glwS", Enum("IGSr", "SrcC")}})},
                 {"ebbl", Object({enabled, {"hglM", BlendMode("Scrn")}, {"hglC", Color(255, 250, 240)},
                                  {"hglO", Percent(80)}, {"sdwM", BlendMode("Mltp")}, {"sdwC", Color(5, 5, 60)},
                                  {"sdwO", Percent(40)}, {"bvlT", Enum("bvlT", "SfBL")},
                                  {"bvlS", Enum("BESl", "PlEb")}, {"uglg", Bool(false)}, {"lagl", Angle(100)},
                                  {"Lald", Angle(45)}, {"srgR", Percent(250)}, {"blur", Pixels(7)},
                                  {"bvlD", Enum("BESs", "Out ")}, {"TrnS", Contour({{0, 30}, {255, 255}})},
                                  {"antialiasGloss", Bool(true)}, {"Sftn", Pixels(2)}, {"useShape", Bool(true)},
                                  {"MpgS", Contour({{0, 0}, {64, 128}, {255, 255}})}, {"AntA", Bool(true)},
                                  {"Inpr", Percent(60)}, {"useTexture", Bool(true)}, {"Ptrn", checks},
                                  {"Scl ", Percent(150)}, {"textureDepth", Percent(-50)}, {"InvT", Bool(true)},
                                  {"Algn", Bool(false)}, {"phase", Point(4, 5)}})},
                 {"ChFX", Object({enabled, {"Md  ", BlendMode("Ovrl")}, {"Clr ", Color(90, 0, 90)},
                                  {"AntA", Bool(true)}, {"Invr", Bool(false)}, {"Opct", Percent(35)},
                                  {"lagl", Angle(-45)}, {"Dstn", Pixels(6)}, {"blur", Pixels(9)},
                                  {"MpgS", Contour({{0, 255}, {255, 0}})}})},
                 {"SoFi", Object({enabled, {"Md  ", BlendMode("Nrml")}, {"Clr ", Color(0, 128, 255)},
                                  {"Opct", Percent(50)}})},
                 {"GrFl", Object({enabled, {"Md  ", BlendMode("Dslv")}, {"Opct", Percent(90)}, {"Grad", gradient},
                                  {"Angl", Angle(45)}, {"Type", Enum("GrdT", "Rflc")}, {"Rvrs", Bool(true)},
                                  {"Algn", Bool(true)}, {"Scl ", Percent(80)}, {"Ofst", Point(-5, 7)}})},
                 {"patternFill", Object({enabled, {"Md  ", BlendMode("Mltp")}, {"Opct", Percent(100)},
                                         {"Ptrn", checks}, {"Scl ", Percent(200)}, {"Algn", Bool(true)},
                                         {"phase", Point(1, 2)}})},
                 {"FrFX", Object({enabled, {"Styl", Enum("FStl", "InsF")}, {"PntT", Enum("FrFl", "GrFl")},
                                  {"Md  ", BlendMode("Nrml")}, {"Opct", Percent(100)}, {"Sz  ", Pixels(2)},
                                  {"Clr ", Color(0, 0, 0)}, {"Grad", gradient}, {"Angl", Angle(-90)},
                                  {"Type", Enum("GrdT", "Rdl ")}, {"Rvrs", Bool(false)}, {"Algn", Bool(true)},
                                  {"Scl ", Percent(110)}, {"Ofst", Point(0, 0)}})}})));
        doc.layers.push_back(object);

        Layer both = PatternLayer(4, 4, 9, 11, {0, 1, 2}, 8, 1, "both");
        both.blocks.push_back(Block("lrFX", fx::Block({fx::Entry("cmnS", fx::CommonState(true)),
                                                       fx::Entry("dsdw", fx::ShadowBody(fx::Shadow()))})));
        both.blocks.push_back(
            Block("lfx2", ObjectEffects({{"masterFXSwitch", Bool(false)},
                                         {"Scl ", Percent(100)},
                                         {"DrSh", Object({enabled, {"Clr ", Color(1, 2, 3)}})}})));
        doc.layers.push_back(both);
        all.emplace_back("w_effects", doc);
    }
    {
        // Patterns in several modes and compressions, and the three fill layers.
        using namespace desc;
        Document doc = MakeDocument(3, 8, 3, 8, 6, 1);
        doc.layers.push_back(PatternLayer(0, 0, 6, 8, {0, 1, 2}, 8, 1, "bg"));
        // Each channel a plane of its own seed; a seed for the transparency, or -1.
        auto pattern = [](uint32_t mode, uint16_t w, uint16_t h, const std::u16string& name, const std::string& id,
                          int compression, int depth, std::vector<int> seeds, int alphaSeed) {
            auto plane = [&](int seed) {
                return MakePlane(w, h, depth,
                                 [seed](size_t x, size_t y) { return (x * 29 + y * 13 + size_t(seed) * 50) & 0xFF; });
            };
            PatternImage p;
            p.mode = mode, p.width = w, p.height = h, p.name = name, p.id = id, p.compression = compression;
            p.depth = depth;
            for (int seed : seeds)
                p.channels.push_back(plane(seed));
            if (alphaSeed >= 0)
                p.alpha = plane(alphaSeed);
            return p;
        };
        std::vector<PatternImage> patterns = {pattern(3, 5, 4, u"Checks", "check-1", 1, 8, {0, 1, 2}, 3),
                                              pattern(1, 4, 3, u"Grey", "grey-2", 2, 16, {4}, -1),
                                              pattern(2, 3, 3, u"Indexed", "idx", 0, 8, {5}, -1),
                                              pattern(4, 2, 2, u"Inks", "cmyk", 0, 8, {6, 7, 8, 9}, -1),
                                              pattern(9, 3, 2, u"Lab", "lab", 2, 8, {10, 11, 12}, 13)};
        for (int i = 0; i < 768; ++i)
            patterns[2].palette.push_back(uint8_t(i * 7));
        doc.sectionBlocks.push_back(TaggedBlock{"Patt", PatternRecords(patterns), true});

        doc.layers.push_back(Named("solid", {Block("SoCo", Versioned({{"Clr ", Color(200, 100, 25)}}))}));
        doc.layers.push_back(Named(
            "ramp", {Block("GdFl", Versioned({{"Grad", Gradient(u"Ramp", {{0, 0, 0, 0, 50}, {255, 255, 255, 4096, 50}},
                                                                {{100, 0, 50}, {50, 4096, 50}})},
                                              {"Angl", Angle(30)}, {"Type", Enum("GrdT", "Dmnd")}, {"Rvrs", Bool(true)},
                                              {"Dthr", Bool(true)}, {"Algn", Bool(false)}, {"Scl ", Percent(65)}}))}));
        doc.layers.push_back(Named(
            "tiles", {Block("PtFl", Versioned({{"Ptrn", PatternRef(u"Checks", u"check-1")}, {"Scl ", Percent(125)}}))}));
        all.emplace_back("w_patterns_fills", doc);
    }
    {
        // What Photoshop writes that the readers' published forms leave out:
        // a one-byte copyright flag, a fill layer of (0, 0, -1, 0), levels
        // padded past their records, gradient map version 3, photo filter
        // version 2, and a pattern of 32-bit samples before a readable one.
        using namespace desc;
        Document doc = MakeDocument(3, 8, 3, 8, 6, 1);
        doc.resources.push_back(Resource{1034, "", {1}});
        doc.layers.push_back(PatternLayer(0, 0, 6, 8, {0, 1, 2}, 8, 1, "bg"));
        Layer fill = Named("fill", {Block("SoCo", Versioned({{"Clr ", Color(200, 100, 25)}}))});
        fill.bottom = -1;
        fill.channels.resize(4);
        for (int16_t id : {-1, 0, 1, 2})
            fill.channels[size_t(id + 1)].id = id;
        doc.layers.push_back(fill);
        Writer levels, map, filter;
        levels.U16(2);
        for (uint32_t i = 0; i < 62; ++i)
        {
            if (i == 29)
                levels.Key("Lvls").U16(3).U16(62);
            levels.U16(i).U16(255).U16(0).U16(255).U16(100);
        }
        levels.Zeros(2); // to a multiple of 4
        map.U16(3).U8(0).U8(1).Key("Gcls").Unicode(u"Ramp").U16(2);
        for (uint32_t i = 0; i < 2; ++i)
            map.U32(i * 4096).U32(50).U16(0).U16(i * 0xFFFF).U16(0).U16(0).U16(0).U16(0);
        map.U16(1).U32(0).U32(50).U16(255).U16(2).U16(0).U16(32).U16(0).U32(7).U16(0).U16(0).U32(2048).U16(0);
        map.Zeros(16 + 2 + 2);
        filter.U16(2).U16(0).U16(0xFFFF).U16(0x8000).U16(0).U16(0).U32(25).U8(1);
        doc.layers.push_back(Named("levels", {Block("levl", levels.out)}));
        doc.layers.push_back(Named("gradient map", {Block("grdm", map.out)}));
        doc.layers.push_back(Named("photo filter", {Block("phfl", filter.out)}));
        doc.layers.push_back(PatternLayer(1, 2, 5, 7, {-1, 0, 1, 2}, 8, 1, "top"));
        PatternImage deep, plain;
        deep.depth = 32, deep.id = "deep", plain.id = "plain";
        deep.channels.assign(3, Bytes(4, 9));
        plain.channels = {Bytes{10}, Bytes{20}, Bytes{30}};
        doc.sectionBlocks.push_back(TaggedBlock{"Patt", PatternRecords({deep, plain}), true});
        all.emplace_back("w_photoshop_forms", doc);
    }
    return all;
}

} // namespace psdtest
