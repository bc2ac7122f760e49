#pragma once

// Shared by the reader's tests: loading written documents from memory.

#include "Core/Psd/PsdReader.h"
#include "tests/Support/PsdWriter.h"

#include <algorithm>
#include <memory>
#include <string>
#include <utility>

#include <sys/mman.h>
#include <unistd.h>

namespace psdtest
{

// A file that lives in memory but opens by path like any other.
class MemoryFile
{
public:
    explicit MemoryFile(const Bytes& data) : mFd(memfd_create("psd", 0)), mPath("/proc/self/fd/" + std::to_string(mFd))
    {
        for (ssize_t done = 0, n = 0; mFd >= 0 && size_t(done) < data.size() && n >= 0; done += n)
            n = write(mFd, data.data() + done, data.size() - size_t(done));
    }
    ~MemoryFile() { close(mFd); }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;
    const char* Path() const { return mPath.c_str(); }

private:
    int mFd;
    std::string mPath;
};

struct FreeDocument
{
    void operator()(PsdContext* context) const { PsdFreeDocument(context); }
};

// A loaded document, freed when it goes.
struct Loaded
{
    PsdStatus status = kPsdOk;
    std::unique_ptr<PsdContext, FreeDocument> context;
    PsdContext* operator->() const { return context.get(); }
    const PsdLayerRecord& Layer(int i) const { return context->layers[i]; }
};

inline Loaded LoadBytes(const Bytes& data, int32_t option = 0)
{
    MemoryFile file(data);
    PsdContext* context = nullptr;
    const PsdStatus status = PsdOpenDocument(file.Path(), option, &context);
    return Loaded{status, std::unique_ptr<PsdContext, FreeDocument>(context)};
}

inline Loaded LoadDocument(const Document& doc, int32_t option = 0) { return LoadBytes(WriteDocument(doc), option); }

// A small RGB document, 8-bit, 4 x 3 pixels, no layers.
inline Document SmallRgb()
{
    Document doc;
    doc.width = 4;
    doc.height = 3;
    return doc;
}

// The sample a PatternLayer's channel of `id` holds at (x, y).
inline uint8_t PatternSample(int16_t id, size_t x, size_t y)
{
    return uint8_t((x * 37 + y * 11 + size_t(id + 3) * 50) & 0xFF);
}

// A layer with one channel per id, each filled by its own pattern.
inline Layer PatternLayer(int32_t top, int32_t left, int32_t bottom, int32_t right, std::vector<int16_t> ids, int depth,
                          int compression, const std::string& name = "layer")
{
    Layer layer;
    layer.top = top, layer.left = left, layer.bottom = bottom, layer.right = right;
    layer.name = name;
    for (int16_t id : ids)
    {
        layer.channels.emplace_back().id = id;
        layer.channels.back().compression = compression;
        layer.channels.back().samples = MakePlane(size_t(right - left), size_t(bottom - top), depth,
                                                  [id](size_t x, size_t y) { return PatternSample(id, x, y); });
    }
    return layer;
}

inline TaggedBlock Block(const char* key, const Bytes& data) { return TaggedBlock{key, data}; }

inline Layer Named(const std::string& name, std::vector<TaggedBlock> blocks = {})
{
    Layer layer;
    layer.name = name;
    layer.blocks = std::move(blocks);
    return layer;
}

inline Bytes Patched(Bytes bytes, size_t at, uint8_t value)
{
    bytes[at] = value;
    return bytes;
}

inline Bytes SectionDivider(uint32_t type, const char* blend = nullptr, bool subType = false)
{
    Writer w;
    w.U32(type);
    if (blend)
        w.Key("8BIM").Key(blend);
    return subType ? w.U32(1).out : w.out;
}

// Overwrites a big-endian u32.
inline void PutU32(Bytes& data, size_t at, uint32_t value)
{
    for (size_t i = 0; i < 4; ++i)
        data[at + i] = uint8_t(value >> (24 - 8 * i));
}

inline Bytes UnicodeName(const std::u16string& text) { return Writer().Unicode(text).out; }

// A small RGB document of a one-pixel background and the given layers above it.
inline Loaded LoadLayers(std::vector<Layer> layers)
{
    Document doc = SmallRgb();
    layers.insert(layers.begin(), PatternLayer(0, 0, 1, 1, {0, 1, 2}, 8, 0, "bg"));
    doc.layers = std::move(layers);
    return LoadDocument(doc);
}

inline Loaded LoadBlock(const char* key, const Bytes& data) { return LoadLayers({Named("block", {Block(key, data)})}); }

// The first block (of the given kind) on the layer above the background.
template <typename T> const T* Payload(const Loaded& loaded, int32_t kind = -1)
{
    if (!loaded.context || loaded->layerCount < 2)
        return nullptr;
    const PsdLayerRecord& record = loaded.Layer(1);
    for (int32_t i = 0; i < record.blockCount; ++i)
        if (kind < 0 || record.blockKinds[i] == kind)
            return static_cast<const T*>(record.blocks[i]);
    return nullptr;
}

// A bare reader over some bytes, for the reader's own functions.
struct OpenReader
{
    MemoryFile file;
    PsdContext* context = static_cast<PsdContext*>(PsdAllocZeroed(sizeof(PsdContext)));

    explicit OpenReader(const Bytes& data) : file(data)
    {
        context->file = PsdOpenFile(file.Path());
        context->limit = context->fileSize = PsdGetFileSize(context->file);
    }
    ~OpenReader() { PsdFreeDocument(context); }
    PsdContext* operator->() { return context; }
    PsdContext* get() { return context; }
};

// A committed fixture file's bytes, and a document of cases/ loaded
// (scripts/make-psd-writer-fixtures.py writes them).
inline Bytes Fixture(const std::string& name)
{
    return LoadFile(std::string(BW_SOURCE_DIR) + "/tests/Core/Psd/fixtures/" + name);
}
inline Loaded LoadCase(const std::string& name) { return LoadBytes(Fixture("cases/" + name + ".psd")); }

// The thumbnail resource (1036 or the old 1033) around JPEG bytes.
inline Resource ThumbnailResource(uint32_t width, uint32_t height, const Bytes& jpeg, uint16_t id = 1036,
                                  uint32_t format = 1)
{
    const uint32_t stride = (width * 24 + 31) / 32 * 4;
    return Resource{id, "", Writer().U32(format).U32(width).U32(height).U32(stride).U32(stride * height)
                                .U32(uint32_t(jpeg.size())).U16(24).U16(1).Raw(jpeg).out};
}

} // namespace psdtest
