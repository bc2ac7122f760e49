#pragma once

// Descriptions of the vertex layouts and the process-wide registry that numbers
// them. The registry is built on first use, in a fixed order (SVertex2D 0,
// SVertexGeom 1, SVertexRT 2), so no static-initialisation order matters.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace render
{

class BufferDoubleCacheCreator;

enum VertexSemantic : uint32_t
{
    Position3 = 0,
    Position4 = 1,
    Normal = 2,
    Diffuse = 3,
    Specular = 4,
    TexCoord = 5,
};

struct VertexElement
{
    std::string mName;
    uint32_t mComponents = 0;
    uint32_t mSize = 0;
    uint32_t mOffset = 0;
};

class VertexFormat
{
public:
    uint32_t mId = 0;
    uint32_t mCacheCapacity = 0;
    uint32_t mOverflowCapacity = 0;
    uint32_t mStride = 0;
    uint32_t mFvf = 0;
    VertexElement mPosition;
    std::vector<VertexElement> mElements;
    // (component count, byte offset) per "tutv" element.
    std::vector<std::pair<uint32_t, uint32_t>> mTexCoordSets;

    // Appends an element and ORs its flexible-vertex-format bits into mFvf;
    // a TexCoord element takes set number texSet and advances it.
    void AddElement(const char* name, uint32_t offset, uint32_t size, VertexSemantic kind, uint32_t& texSet,
                    uint32_t components);

    // Stores this record at mId and takes ownership of the creator of its
    // cache kind, growing both lists as needed.
    void Register(BufferDoubleCacheCreator* creator) const;

    // Takes the next id from the process-wide counter.
    static uint32_t NextId();

    // Number of ids the lists hold.
    static uint32_t GetRegisteredCount();
    // Null for an id under which nothing was registered.
    static const VertexFormat* Find(uint32_t id);
    static BufferDoubleCacheCreator* FindCreator(uint32_t id);
};

// The registered record of a vertex type (SVertex2D, SVertexGeom, SVertexRT).
template <class V>
const VertexFormat& VertexFormatOf()
{
    return *VertexFormat::Find(V::kFormatId);
}

} // namespace render
