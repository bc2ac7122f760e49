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

inline Bytes SectionDivider(uint32_t type, const char* blend = nullptr, bool subType = false)
{
    Writer w;
    w.U32(type);
    if (blend)
        w.Key("8BIM").Key(blend);
    if (subType)
        w.U32(1);
    return w.out;
}

inline TaggedBlock Block(const char* key, const Bytes& data)
{
    return TaggedBlock{key, data, true};
}

inline Layer FolderLayer(const std::string& name, uint32_t type, const char* key = "lsct",
                         const char* blend = "pass")
{
    Layer layer;
    layer.name = name;
    layer.blocks.push_back(Block(key, SectionDivider(type, blend)));
    return layer;
}

inline Bytes UnicodeName(const std::u16string& text)
{
    Writer w;
    w.Unicode(text);
    return w.out;
}

inline Document MakeDocument(uint16_t mode, uint16_t depth, uint16_t channels, uint32_t width,
                             uint32_t height, int compression)
{
    Document doc;
    doc.mode = mode;
    doc.depth = depth;
    doc.channels = channels;
    doc.width = width;
    doc.height = height;
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
        Channel mask;
        mask.id = -2;
        mask.compression = 3;
        mask.samples = MakePlane(6, 5, 8, [](size_t x, size_t y) { return (x + y) % 2 ? 255 : 0; });
        play.channels.push_back(mask);
        play.opacity = 200;
        play.blendKey = "scrn";
        doc.layers.push_back(play);
        doc.layers.push_back(PatternLayer(5, 1, 8, 6, {-1, 0, 1, 2}, 8, 1, "logo|box"));
        all.emplace_back("w_rgb8_zippred", doc);
    }
    {
        Document doc = MakeDocument(3, 16, 3, 10, 8, 2);
        doc.layersInLr16 = true;
        doc.layers.push_back(PatternLayer(0, 0, 8, 10, {0, 1, 2}, 16, 3, "bg"));
        doc.layers.push_back(PatternLayer(1, 2, 7, 9, {-1, 0, 1, 2}, 16, 3, "deep"));
        all.emplace_back("w_rgb16_lr16", doc);
    }
    {
        Document doc = MakeDocument(3, 16, 3, 10, 8, 1);
        doc.layers.push_back(PatternLayer(0, 0, 8, 10, {0, 1, 2}, 16, 1, "bg"));
        doc.layers.push_back(PatternLayer(1, 2, 7, 9, {-1, 0, 1, 2}, 16, 2, "zip"));
        all.emplace_back("w_rgb16_rle", doc);
    }
    {
        Document doc = MakeDocument(1, 16, 1, 9, 7, 2);
        doc.layers.push_back(PatternLayer(0, 0, 7, 9, {0}, 16, 0, "bg"));
        doc.layers.push_back(PatternLayer(2, 2, 6, 7, {-1, 0}, 16, 1, "grey"));
        all.emplace_back("w_gray16_zip", doc);
    }
    {
        Document doc = MakeDocument(4, 8, 5, 9, 7, 1);
        doc.negativeLayerCount = true;
        doc.layers.push_back(PatternLayer(0, 0, 7, 9, {0, 1, 2, 3}, 8, 1, "bg"));
        doc.layers.push_back(PatternLayer(1, 1, 6, 8, {-1, 0, 1, 2, 3}, 8, 2, "ink"));
        all.emplace_back("w_cmyk8_alpha", doc);
    }
    {
        Document doc = MakeDocument(4, 16, 4, 8, 6, 0);
        doc.layers.push_back(PatternLayer(0, 0, 6, 8, {0, 1, 2, 3}, 16, 0, "bg"));
        doc.layers.push_back(PatternLayer(1, 1, 5, 7, {-1, 0, 1, 2, 3}, 16, 3, "ink"));
        all.emplace_back("w_cmyk16", doc);
    }
    for (uint16_t depth : {8, 16})
    {
        Document doc = MakeDocument(9, depth, 3, 8, 6, 1);
        doc.layers.push_back(PatternLayer(0, 0, 6, 8, {0, 1, 2}, depth, 1, "bg"));
        doc.layers.push_back(PatternLayer(1, 2, 5, 7, {-1, 0, 1, 2}, depth, 2, "lab"));
        all.emplace_back(depth == 8 ? "w_lab8" : "w_lab16", doc);
    }
    {
        Document doc = MakeDocument(7, 8, 3, 8, 6, 0);
        doc.layers.push_back(PatternLayer(0, 0, 6, 8, {0, 1, 2}, 8, 0, "bg"));
        doc.layers.push_back(PatternLayer(1, 1, 4, 5, {-1, 0, 1, 2}, 8, 1, "inks"));
        all.emplace_back("w_multichannel", doc);
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
        Writer count, transparent;
        count.U16(200);
        transparent.U16(5);
        doc.resources.push_back(Resource{1046, "", count.out});
        doc.resources.push_back(Resource{1047, "", transparent.out});
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
        Writer mask;
        mask.I32(2).I32(2).I32(6).I32(9).U8(0).U8(16); // flags: parameters follow
        mask.U8(0).U8(255).I32(0).I32(0).I32(12).I32(16);
        mask.U8(1).U8(128).U16(0); // density parameter and padding
        masked.mask = mask.out;
        Channel layerMask;
        layerMask.id = -2;
        layerMask.compression = 1;
        layerMask.samples = MakePlane(7, 4, 8, [](size_t x, size_t) { return x * 30; });
        Channel realMask;
        realMask.id = -3;
        realMask.compression = 1;
        realMask.samples = MakePlane(16, 12, 8, [](size_t, size_t y) { return y * 20; });
        masked.channels.push_back(layerMask);
        masked.channels.push_back(realMask);
        doc.layers.push_back(masked);
        all.emplace_back("w_masks36", doc);
    }
    {
        // Groups in every form: "lsct" of 4, 12 and 16 bytes, "lsdk", and
        // Unicode names; a hidden and a clipped layer.
        Document doc = MakeDocument(3, 8, 3, 12, 10, 1);
        doc.layers.push_back(PatternLayer(0, 0, 10, 12, {0, 1, 2}, 8, 1, "bg"));
        Layer end1;
        end1.name = "</Layer group>";
        end1.blocks.push_back(Block("lsct", SectionDivider(3)));
        doc.layers.push_back(end1);
        Layer low = PatternLayer(1, 1, 3, 3, {0, 1, 2}, 8, 1, "low");
        low.flags = 2; // hidden
        doc.layers.push_back(low);
        Layer end2;
        end2.name = "</Layer group>";
        end2.blocks.push_back(Block("lsdk", SectionDivider(3)));
        doc.layers.push_back(end2);
        Layer clip = PatternLayer(2, 2, 5, 5, {-1, 0, 1, 2}, 8, 2, "clip");
        clip.clipping = 1;
        clip.blocks.push_back(Block("luni", UnicodeName(u"clip\u00e9")));
        doc.layers.push_back(clip);
        Layer inner = FolderLayer("inner", 1, "lsdk", "mul ");
        doc.layers.push_back(inner);
        Layer outer;
        outer.name = "outer";
        outer.blocks.push_back(Block("lsct", SectionDivider(2, "norm", true)));
        doc.layers.push_back(outer);
        doc.layers.push_back(PatternLayer(6, 6, 9, 11, {0, 1, 2}, 8, 1, "top"));
        all.emplace_back("w_groups", doc);
    }
    {
        // Two named alpha channels after the colour channels.
        Document doc = MakeDocument(3, 8, 5, 8, 6, 1);
        Writer names;
        names.Pascal("A", 1).Pascal("Bee", 1);
        doc.resources.push_back(Resource{1006, "", names.out});
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
        Writer resolution, angle, altitude, version;
        resolution.U32(72 << 16).U16(1).U16(1).U32(72 << 16).U16(1).U16(1);
        angle.U32(45);
        altitude.U32(60);
        version.U32(1).U8(1).Unicode(u"Test writer").Unicode(u"Test reader").U32(1);
        doc.resources.push_back(Resource{1005, "", resolution.out});
        doc.resources.push_back(Resource{1037, "", angle.out});
        doc.resources.push_back(Resource{1049, "", altitude.out});
        doc.resources.push_back(Resource{1057, "", version.out});
        doc.resources.push_back(ThumbnailResource(16, 12, MakeJpeg(16, 12, 3)));
        doc.layers.push_back(PatternLayer(0, 0, 12, 16, {0, 1, 2}, 8, 1, "bg"));
        all.emplace_back("w_resources", doc);
    }
    return all;
}

} // namespace psdtest
