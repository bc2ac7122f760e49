#pragma once

// A small PSD writer for tests and benchmarks: it lays out documents field by
// field so that fixtures can hold every mode, depth, compression, mask form
// and tagged block the reader meets, valid or deliberately broken.

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <zlib.h>

namespace psdtest
{

using Bytes = std::vector<uint8_t>;

// Big-endian byte sink.
struct Writer
{
    Bytes out;

    Writer& U8(uint32_t v) { out.push_back(uint8_t(v)); return *this; }
    Writer& U16(uint32_t v) { return U8(v >> 8).U8(v); }
    Writer& U32(uint32_t v) { return U16(v >> 16).U16(v); }
    Writer& I32(int32_t v) { return U32(uint32_t(v)); }
    Writer& Key(const char* key) { return Raw(key, 4); }
    Writer& Raw(const void* data, size_t size)
    {
        const uint8_t* p = static_cast<const uint8_t*>(data);
        out.insert(out.end(), p, p + size);
        return *this;
    }
    Writer& Raw(const Bytes& data) { return Raw(data.data(), data.size()); }
    Writer& Zeros(size_t n) { out.insert(out.end(), n, 0); return *this; }
    Writer& F64(double value)
    {
        uint64_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        return U32(uint32_t(bits >> 32)).U32(uint32_t(bits));
    }
    // A u32 length, then the data.
    Writer& Block(const Bytes& data) { return U32(uint32_t(data.size())).Raw(data); }
    // A Pascal string padded so that it and its length byte fill a multiple of `align`.
    Writer& Pascal(const std::string& text, size_t align)
    {
        U8(uint32_t(text.size())).Raw(text.data(), text.size());
        return Zeros((align - (text.size() + 1) % align) % align);
    }
    Writer& Unicode(const std::u16string& text)
    {
        U32(uint32_t(text.size()));
        for (char16_t c : text)
            U16(c);
        return *this;
    }
};

// --- Encoders ------------------------------------------------------------------

inline Bytes PackBitsRow(const uint8_t* row, size_t n)
{
    Bytes out;
    for (size_t i = 0; i < n;)
    {
        size_t run = 1;
        while (i + run < n && run < 128 && row[i + run] == row[i])
            ++run;
        if (run >= 2)
        {
            out.insert(out.end(), {uint8_t(257 - run), row[i]});
            i += run;
            continue;
        }
        size_t literal = 1;
        while (i + literal < n && literal < 128 && !(i + literal + 1 < n && row[i + literal] == row[i + literal + 1]))
            ++literal;
        out.push_back(uint8_t(literal - 1));
        out.insert(out.end(), row + i, row + i + literal);
        i += literal;
    }
    return out;
}

inline size_t RowBytes(size_t width, int depth) { return depth == 1 ? (width + 7) / 8 : width * (depth == 16 ? 2 : 1); }

inline Bytes Deflate(const Bytes& data)
{
    uLongf size = compressBound(uLong(data.size()));
    Bytes out(size);
    compress2(out.data(), &size, data.data(), uLong(data.size()), 6);
    out.resize(size);
    return out;
}

// Planes compressed one after the other (without the compression word): RLE
// row tables all first, ZIP with prediction as deltas of rows of samples.
inline Bytes EncodePlanes(const std::vector<Bytes>& planes, int compression, size_t width, size_t rows, int depth)
{
    Bytes joined;
    for (const Bytes& plane : planes)
        joined.insert(joined.end(), plane.begin(), plane.end());
    if (compression == 0)
        return joined;
    if (compression == 1)
    {
        Writer table;
        Bytes data;
        const size_t rowBytes = RowBytes(width, depth);
        for (const Bytes& plane : planes)
            for (size_t y = 0; y < rows; ++y)
            {
                const Bytes row = PackBitsRow(plane.data() + y * rowBytes, rowBytes);
                table.U16(uint32_t(row.size()));
                data.insert(data.end(), row.begin(), row.end());
            }
        return table.Raw(data).out;
    }
    if (compression >= 3)
    {
        const size_t sample = depth == 16 ? 2 : 1, rowBytes = depth == 1 ? RowBytes(width, 1) : width * sample;
        for (size_t row = 0; row + rowBytes <= joined.size(); row += rowBytes)
            for (size_t at = row + rowBytes - sample; at >= row + sample; at -= sample)
            {
                if (sample == 1)
                {
                    joined[at] = uint8_t(joined[at] - joined[at - 1]);
                    continue;
                }
                const unsigned current = joined[at] << 8 | joined[at + 1];
                const unsigned delta = (current - (joined[at - 2] << 8 | joined[at - 1])) & 0xFFFF;
                joined[at] = uint8_t(delta >> 8);
                joined[at + 1] = uint8_t(delta);
            }
    }
    return Deflate(joined);
}

// --- Document model --------------------------------------------------------------

struct Channel
{
    int16_t id = 0;
    Bytes samples; // the plane, raw, at the document's depth
    int compression = 0;
    bool useEncoded = false; // write `encoded` instead of encoding the samples
    Bytes encoded;
    bool overrideLength = false;
    uint32_t length = 0; // written as the channel's data length when overridden
};

struct TaggedBlock { std::string key; Bytes data; };

struct Layer
{
    int32_t top = 0, left = 0, bottom = 0, right = 0;
    std::vector<Channel> channels;
    std::string blendKey = "norm";
    uint8_t opacity = 255, clipping = 0, flags = 0;
    Bytes mask, blendingRanges; // the blocks' contents, without their lengths
    std::string name;
    std::vector<TaggedBlock> blocks;
    Bytes extraTail; // appended to the extra data after the blocks
};

struct Resource { uint16_t id = 0; std::string name; Bytes data; };

struct Document
{
    uint16_t channels = 3;
    uint32_t width = 1, height = 1;
    uint16_t depth = 8, mode = 3;
    Bytes colorModeData;
    std::vector<Resource> resources;
    bool layerSection = true; // write a layer info at all
    std::vector<Layer> layers;
    bool negativeLayerCount = false;
    std::vector<TaggedBlock> sectionBlocks; // after the global mask
    int compression = 0;
    std::vector<Bytes> composite; // one plane per channel; empty planes are zero-filled
};

inline Bytes EncodeLayerInfo(const Document& doc)
{
    Writer info;
    const int16_t count = int16_t(doc.layers.size());
    info.U16(uint16_t(doc.negativeLayerCount ? -count : count));
    Bytes data;
    for (const Layer& layer : doc.layers)
    {
        // A mask channel takes the rectangle at the start of the mask block.
        auto side = [&](size_t i) {
            const Bytes& m = layer.mask;
            auto at = [&](size_t j) {
                return int32_t(uint32_t(m[j]) << 24 | m[j + 1] << 16 | m[j + 2] << 8 | m[j + 3]);
            };
            return m.size() < 16 ? 0 : size_t(at(i + 8) - at(i));
        };
        info.I32(layer.top).I32(layer.left).I32(layer.bottom).I32(layer.right).U16(uint32_t(layer.channels.size()));
        for (const Channel& channel : layer.channels)
        {
            const bool mask = channel.id == -2;
            Writer encoded;
            encoded.U16(uint32_t(channel.compression));
            if (channel.useEncoded)
                encoded.Raw(channel.encoded);
            else if (!channel.samples.empty())
                encoded.Raw(EncodePlanes({channel.samples}, channel.compression,
                                         mask ? side(4) : size_t(layer.right - layer.left),
                                         mask ? side(0) : size_t(layer.bottom - layer.top), doc.depth));
            info.U16(uint16_t(channel.id)).U32(channel.overrideLength ? channel.length : uint32_t(encoded.out.size()));
            data.insert(data.end(), encoded.out.begin(), encoded.out.end());
        }
        info.Key("8BIM").Raw(layer.blendKey.data(), 4).U8(layer.opacity).U8(layer.clipping).U8(layer.flags).U8(0);
        Writer extra;
        extra.Block(layer.mask).Block(layer.blendingRanges).Pascal(layer.name, 4);
        for (const TaggedBlock& block : layer.blocks)
        {
            extra.Key("8BIM").Raw(block.key.data(), 4).Block(block.data);
            if (block.data.size() % 2)
                extra.U8(0);
        }
        info.Block(extra.Raw(layer.extraTail).out);
    }
    info.Raw(data);
    if (info.out.size() % 2)
        info.U8(0);
    return info.out;
}

inline Bytes WriteDocument(const Document& doc)
{
    Writer w;
    w.Key("8BPS").U16(1).Zeros(6).U16(doc.channels).U32(doc.height).U32(doc.width).U16(doc.depth).U16(doc.mode);
    w.Block(doc.colorModeData);
    Writer resources;
    for (const Resource& resource : doc.resources)
    {
        resources.Key("8BIM").U16(resource.id).Pascal(resource.name, 2).Block(resource.data);
        if (resource.data.size() % 2)
            resources.U8(0);
    }
    w.Block(resources.out);
    Writer section;
    if (doc.layerSection)
    {
        section.Block(EncodeLayerInfo(doc)).U32(0); // no global layer mask
        for (const TaggedBlock& block : doc.sectionBlocks)
            section.Key("8BIM").Raw(block.key.data(), 4).Block(block.data);
    }
    w.Block(section.out);
    std::vector<Bytes> planes;
    for (size_t c = 0; c < doc.channels; ++c)
    {
        planes.push_back(c < doc.composite.size() ? doc.composite[c] : Bytes());
        planes.back().resize(RowBytes(doc.width, doc.depth) * doc.height, 0);
    }
    w.U16(uint32_t(doc.compression));
    return w.Raw(EncodePlanes(planes, doc.compression, doc.width, doc.height, doc.depth)).out;
}

// --- Descriptors -----------------------------------------------------------------------

// Action descriptors: items of a key, a type code and a value.
namespace desc
{

// Four-character keys are written as codes (length 0), others as text.
inline Bytes Key(const std::string& key)
{
    return Writer().U32(key.size() == 4 ? 0 : uint32_t(key.size())).Raw(key.data(), key.size()).out;
}

struct Item
{
    std::string key;
    Bytes value; // the type code and what it holds
};

inline Bytes Body(const std::vector<Item>& items, const std::string& classId = "null", const std::u16string& name = u"")
{
    Writer w;
    w.Unicode(name).Raw(Key(classId)).U32(uint32_t(items.size()));
    for (const Item& item : items)
        w.Raw(Key(item.key)).Raw(item.value);
    return w.out;
}

inline Bytes Object(const std::vector<Item>& items, const std::string& classId = "null")
{
    return Writer().Key("Objc").Raw(Body(items, classId)).out;
}
inline Bytes Bool(bool value) { return Writer().Key("bool").U8(value ? 1 : 0).out; }
inline Bytes Long(int32_t value) { return Writer().Key("long").I32(value).out; }
inline Bytes Double(double value) { return Writer().Key("doub").F64(value).out; }
inline Bytes UnitFloat(const char* unit, double value) { return Writer().Key("UntF").Key(unit).F64(value).out; }
inline Bytes Percent(double value) { return UnitFloat("#Prc", value); }
inline Bytes Pixels(double value) { return UnitFloat("#Pxl", value); }
inline Bytes Text(const std::u16string& text) { return Writer().Key("TEXT").Unicode(text).out; }
inline Bytes Enum(const std::string& type, const std::string& value)
{
    return Writer().Key("enum").Raw(Key(type)).Raw(Key(value)).out;
}

inline Bytes List(const std::vector<Bytes>& values)
{
    Writer w;
    w.Key("VlLs").U32(uint32_t(values.size()));
    for (const Bytes& value : values)
        w.Raw(value);
    return w.out;
}

inline Bytes Color(double r, double g, double b)
{
    return Object({{"Rd  ", Double(r)}, {"Grn ", Double(g)}, {"Bl  ", Double(b)}}, "RGBC");
}
inline Bytes Point(double x, double y) { return Object({{"Hrzn", Pixels(x)}, {"Vrtc", Pixels(y)}}, "Pnt "); }

struct ContourPoint { double input, output; bool corner = false; };

inline Bytes Contour(const std::vector<ContourPoint>& points, const std::u16string& name = u"")
{
    std::vector<Bytes> list;
    for (const ContourPoint& p : points)
        list.push_back(
            Object({{"Hrzn", Double(p.input)}, {"Vrtc", Double(p.output)}, {"Cnty", Bool(!p.corner)}}, "CrPt"));
    return Object({{"Nm  ", Text(name)}, {"Crv ", List(list)}}, "ShpC");
}

struct Stop { double r, g, b; int32_t location, midpoint; std::string type = "UsrS"; };

struct AlphaStop { double opacity; int32_t location, midpoint; };

inline Bytes Gradient(const std::u16string& name, const std::vector<Stop>& stops, const std::vector<AlphaStop>& alphas,
                      double smoothness = 4096)
{
    std::vector<Bytes> colors, transparencies;
    for (const Stop& s : stops)
        colors.push_back(Object({{"Clr ", Color(s.r, s.g, s.b)}, {"Type", Enum("Clry", s.type)},
                                 {"Lctn", Long(s.location)}, {"Mdpn", Long(s.midpoint)}},
                                "Clrt"));
    for (const AlphaStop& a : alphas)
        transparencies.push_back(
            Object({{"Opct", Percent(a.opacity)}, {"Lctn", Long(a.location)}, {"Mdpn", Long(a.midpoint)}}, "TrnS"));
    return Object({{"Nm  ", Text(name)}, {"GrdF", Enum("GrdF", "CstS")}, {"Intr", Double(smoothness)},
                   {"Clrs", List(colors)}, {"Trns", List(transparencies)}},
                  "Grdn");
}

inline Bytes PatternRef(const std::u16string& name, const std::u16string& id)
{
    return Object({{"Nm  ", Text(name)}, {"Idnt", Text(id)}}, "Ptrn");
}

// An "lfx2" block: the object effects version, the descriptor version, then the descriptor.
inline Bytes ObjectEffects(const std::vector<Item>& items) { return Writer().U32(0).U32(16).Raw(Body(items)).out; }

// A fill layer's block: the descriptor version, then the descriptor.
inline Bytes Versioned(const std::vector<Item>& items) { return Writer().U32(16).Raw(Body(items)).out; }

} // namespace desc

// --- Patterns ----------------------------------------------------------------------------

struct PatternImage
{
    uint32_t mode = 3;
    uint16_t width = 1, height = 1;
    std::u16string name;
    std::string id;
    int depth = 8, compression = 0;
    std::vector<Bytes> channels; // the colour channels in order, each a plane
    Bytes alpha;                 // written as the user mask when not empty
    Bytes palette;               // 768 bytes for indexed patterns
};

// One pattern record, its length first, padded to a multiple of 4.
inline Bytes PatternRecord(const PatternImage& p)
{
    Writer body, array;
    body.U32(1).U32(p.mode).U16(p.height).U16(p.width).Unicode(p.name);
    body.U8(uint32_t(p.id.size())).Raw(p.id.data(), p.id.size());
    if (p.mode == 2)
        body.Raw(p.palette).Zeros(4);
    array.U32(0).U32(0).U32(p.height).U32(p.width).U32(24);
    auto written = [&](const Bytes& plane) {
        Writer channel;
        channel.U32(uint32_t(p.depth)).U32(0).U32(0).U32(p.height).U32(p.width);
        channel.U16(uint32_t(p.depth)).U8(uint32_t(p.compression));
        array.U32(1).Block(channel.Raw(EncodePlanes({plane}, p.compression, p.width, p.height, p.depth)).out);
    };
    // 24 channel entries, then the user mask and the sheet mask.
    for (size_t i = 0; i < 24; ++i)
        i < p.channels.size() ? written(p.channels[i]) : void(array.U32(0));
    p.alpha.empty() ? void(array.U32(0)) : written(p.alpha);
    Writer w;
    w.Block(body.U32(3).Block(array.U32(0).out).out);
    return w.Zeros((4 - w.out.size() % 4) % 4).out;
}

// A "Patt" block's content: the records one after the other.
inline Bytes PatternRecords(const std::vector<PatternImage>& patterns)
{
    Writer w;
    for (const PatternImage& p : patterns)
        w.Raw(PatternRecord(p));
    return w.out;
}

// --- Sample helpers ------------------------------------------------------------------

// A plane of width * height samples at a depth from a function of (x, y)
// giving a byte; 16-bit samples repeat it in both bytes, 1-bit ones are set
// for values below 128.
template <typename F> Bytes MakePlane(size_t width, size_t height, int depth, F value)
{
    Bytes plane(RowBytes(width, depth) * height, 0);
    for (size_t y = 0; y < height; ++y)
        for (size_t x = 0; x < width; ++x)
        {
            const uint8_t v = uint8_t(value(x, y));
            uint8_t* row = plane.data() + y * RowBytes(width, depth);
            if (depth == 16)
                row[2 * x] = v, row[2 * x + 1] = uint8_t(v ^ 0x5A);
            else if (depth != 1)
                row[x] = v;
            else if (v < 128)
                row[x / 8] |= uint8_t(0x80 >> (x % 8));
        }
    return plane;
}

inline Bytes LoadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

} // namespace psdtest
