#include "Core/Render/VertexFormat.h"

#include "Core/Render/BufferDoubleCache.h"
#include "Core/Render/Vertex.h"

#include <cstddef>
#include <memory>

namespace render
{
namespace
{

// Flexible-vertex-format bits of Direct3D 9.
constexpr uint32_t kFvfXyz = 0x002;
constexpr uint32_t kFvfXyzw = 0x4002;
constexpr uint32_t kFvfNormal = 0x010;
constexpr uint32_t kFvfDiffuse = 0x040;
constexpr uint32_t kFvfSpecular = 0x080;
constexpr uint32_t kFvfTexCountShift = 8;

struct Registry
{
    uint32_t nextId = 0;
    std::vector<VertexFormat> formats;
    std::vector<std::unique_ptr<BufferDoubleCacheCreator>> creators;
};

// The lists themselves, without the built-in declarations (Register adds to
// them while those run).
Registry& RawRegistry()
{
    static Registry registry;
    return registry;
}

template <class V>
void Declare(uint32_t cacheCapacity, uint32_t overflowCapacity,
             void (*addElements)(VertexFormat&, uint32_t& texSet))
{
    VertexFormat format;
    format.mId = VertexFormat::NextId();
    format.mCacheCapacity = cacheCapacity;
    format.mOverflowCapacity = overflowCapacity;
    format.mStride = sizeof(V);
    uint32_t texSets = 0;
    addElements(format, texSets);
    format.mPosition = format.mElements.front();
    if (texSets > 0)
        format.mFvf |= texSets << kFvfTexCountShift;
    format.Register(new BufferDoubleCacheCreatorConcrete<V>());
}

// Out of line, so that every lookup does not pay for its frame.
[[gnu::noinline]] bool DeclareBuiltinFormats()
{
    Declare<SVertex2D>(40960, 10240, [](VertexFormat& f, uint32_t& texSet) {
        f.AddElement("pos", offsetof(SVertex2D, x), 16, Position4, texSet, 4);
        f.AddElement("diff", offsetof(SVertex2D, diffuse), 4, Diffuse, texSet, 4);
        f.AddElement("spec", offsetof(SVertex2D, specular), 4, Specular, texSet, 4);
        f.AddElement("tutv", offsetof(SVertex2D, tu), 8, TexCoord, texSet, 2);
    });
    Declare<SVertexGeom>(5120, 1024, [](VertexFormat& f, uint32_t& texSet) {
        f.AddElement("pos", offsetof(SVertexGeom, x), 12, Position3, texSet, 3);
        f.AddElement("diff", offsetof(SVertexGeom, diffuse), 4, Diffuse, texSet, 4);
    });
    Declare<SVertexRT>(0, 0, [](VertexFormat& f, uint32_t& texSet) {
        f.AddElement("pos", offsetof(SVertexRT, x), 16, Position4, texSet, 4);
        f.AddElement("tutv", offsetof(SVertexRT, tu), 8, TexCoord, texSet, 2);
    });
    return true;
}

Registry& DeclaredRegistry()
{
    static const bool declared = DeclareBuiltinFormats();
    (void)declared;
    return RawRegistry();
}

} // namespace

void VertexFormat::AddElement(const char* name, uint32_t offset, uint32_t size, VertexSemantic kind,
                              uint32_t& texSet, uint32_t components)
{
    VertexElement element;
    element.mName = name;
    element.mComponents = components;
    element.mSize = size;
    element.mOffset = offset;
    mElements.push_back(element);

    switch (kind)
    {
    case Position3: mFvf |= kFvfXyz; break;
    case Position4: mFvf |= kFvfXyzw; break;
    case Normal: mFvf |= kFvfNormal; break;
    case Diffuse: mFvf |= kFvfDiffuse; break;
    case Specular: mFvf |= kFvfSpecular; break;
    case TexCoord:
    {
        // D3DFVF_TEXCOORDSIZEn: 2 floats are the default (0).
        static const uint32_t kSizeBits[5] = {0, 3, 0, 1, 2};
        uint32_t set = texSet++;
        if (components >= 1 && components <= 4 && set < 8)
            mFvf |= kSizeBits[components] << (16 + 2 * set);
        mTexCoordSets.emplace_back(components, offset);
        break;
    }
    default: break;
    }
}

void VertexFormat::Register(BufferDoubleCacheCreator* creator) const
{
    Registry& registry = RawRegistry();
    if (registry.formats.size() <= mId)
    {
        registry.formats.resize(mId + 1);
        registry.creators.resize(mId + 1);
    }
    registry.formats[mId] = *this;
    registry.creators[mId].reset(creator);
}

uint32_t VertexFormat::NextId()
{
    return RawRegistry().nextId++;
}

uint32_t VertexFormat::GetRegisteredCount()
{
    return static_cast<uint32_t>(DeclaredRegistry().formats.size());
}

const VertexFormat* VertexFormat::Find(uint32_t id)
{
    Registry& registry = DeclaredRegistry();
    if (id >= registry.formats.size() || !registry.creators[id])
        return nullptr;
    return &registry.formats[id];
}

BufferDoubleCacheCreator* VertexFormat::FindCreator(uint32_t id)
{
    Registry& registry = DeclaredRegistry();
    if (id >= registry.creators.size())
        return nullptr;
    return registry.creators[id].get();
}

} // namespace render
