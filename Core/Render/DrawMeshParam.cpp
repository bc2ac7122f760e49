#include "Core/Render/DrawMeshParam.h"

#include "Core/Base/Log.h"
#include "Core/Render/BufferDoubleCache.h"
#include "Core/Render/Color.h"
#include "Core/Render/Graphics.h"
#include "Core/Render/ImageRect.h"
#include "Core/Render/Render.h"

#include <algorithm>
#include <cstring>

namespace render
{

namespace
{

template <class Cache>
uint32_t LargestBuffer(const Cache* cache)
{
    if (!cache || !cache->GetPrimary())
        return 0;
    return std::max(cache->GetPrimary()->GetImpl()->GetCapacity(), cache->GetOverflowCapacity());
}

// Channel by channel: c * tint / 255, so that white gives the tint exactly.
uint32_t MultiplyArgb(uint32_t c, uint32_t tint)
{
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8)
        out |= ((((c >> shift) & 0xFFu) * ((tint >> shift) & 0xFFu)) / 255u) << shift;
    return out;
}

} // namespace

void MeshCacheLimits(Render* render, uint32_t* vertices, uint32_t* indices)
{
    *vertices = render ? LargestBuffer(render->GetVertexCache<SVertex2D>()) : 0;
    *indices = render ? LargestBuffer(render->GetIndexCache16()) : 0;
    // 16-bit indices reach no further.
    *vertices = std::min(*vertices, 65536u);
}

template <class M>
BWResultEnum DrawMeshParam<M>::Draw(DrawParam* owner)
{
    static_assert(sizeof(typename M::IndexType) == 2, "meshes are drawn with the 16-bit index cache");
    if (!mGraphics || !mRender)
        return BW_FAIL;
    if (!mMesh || mMesh->mVertices.empty() || mMesh->mIndices.size() < 3 || mMesh->mIndices.size() % 3 != 0)
    {
        BW_LOG(L"Can't draw a mesh without whole triangles\n");
        return BW_FAIL;
    }
    if (!mImage || !mImage->GetTexture() || mImage->GetWidth() <= 0 || mImage->GetHeight() <= 0)
    {
        BW_LOG(L"Can't draw a mesh without a texture\n");
        return BW_FAIL;
    }
    const uint32_t vertexCount = static_cast<uint32_t>(std::min<size_t>(mMesh->mVertices.size(), 0xFFFFFFFFu));
    const uint32_t indexCount = static_cast<uint32_t>(std::min<size_t>(mMesh->mIndices.size(), 0xFFFFFFFFu));

    // 1. Refused whole when it can never fit, rather than drawn in part.
    uint32_t maxVertices = 0, maxIndices = 0;
    MeshCacheLimits(mRender, &maxVertices, &maxIndices);
    if (vertexCount > maxVertices || indexCount > maxIndices)
    {
        BW_LOG(L"Mesh of %u vertices and %u indices is larger than the transient caches\n") % vertexCount %
            indexCount;
        return BW_FAIL;
    }
    for (uint32_t i = 0; i < indexCount; ++i)
    {
        if (mMesh->mIndices[i] >= vertexCount)
        {
            BW_LOG(L"Mesh index %u points past its %u vertices\n") % i % vertexCount;
            return BW_FAIL;
        }
    }

    // 2. Room in the transient caches.
    VertexCache2D* vertexCache = mRender->GetVertexCache<SVertex2D>();
    IndexCache16* indexCache = mRender->GetIndexCache16();
    SVertex2D* vertices = nullptr;
    VertexCache2D::Allocation vertexPlace;
    uint16_t* indices = nullptr;
    IndexCache16::Allocation indexPlace;
    BWResultEnum result = vertexCache->Allocate(vertexCount, &vertices, &vertexPlace);
    if (result == BW_OK && vertices)
        result = indexCache->Allocate(indexCount, &indices, &indexPlace);
    if (result != BW_OK || !vertices || !indices || vertexPlace.mFirst + vertexCount > 65536u)
    {
        // Larger than an overflow buffer and the primary one is full.
        BW_LOG(L"No room in the transient caches for a mesh of %u vertices and %u indices\n") % vertexCount %
            indexCount;
        return result != BW_OK ? result : BW_FAIL;
    }

    // 3. The mesh, in the Graphics' colour and tint, in the image's atlas page.
    std::memcpy(vertices, mMesh->mVertices.data(), sizeof(SVertex2D) * vertexCount);
    const uint32_t color = ColorToArgb(mGraphics->mColor);
    float tint = mGraphics->mTint;
    tint = tint > 0.0f ? (tint < 1.0f ? tint : 1.0f) : 0.0f;
    const uint32_t t = static_cast<uint32_t>(tint * 255.0f) & 0xFFu;
    const uint32_t specular = (t << 8) | (255u - t);
    for (uint32_t i = 0; i < vertexCount; ++i)
    {
        vertices[i].diffuse = color == 0xFFFFFFFFu ? vertices[i].diffuse : MultiplyArgb(vertices[i].diffuse, color);
        vertices[i].specular = specular;
    }
    for (uint32_t i = 0; i < indexCount; ++i)
        indices[i] = static_cast<uint16_t>(mMesh->mIndices[i] + vertexPlace.mFirst);
    const VertexFormat& format = VertexFormatOf<SVertex2D>();
    if ((result = mImage->MapAtlasCoordinates(vertices, vertexCount, 0, format)) != BW_OK)
        return result;

    // 4. Transforms, state, texture and projection.
    if ((result = PrepareTexturedDraw(owner, vertices, format, vertexCount, vertexPlace.mBuffer, indexPlace.mBuffer,
                                      mImage->GetTexture())) != BW_OK)
        return result;

    // 5. One indexed triangle list.
    return mRender->DrawIndexedPrimitive(TriangleList, indexPlace.mFirst, indexCount / 3, vertexPlace.mFirst,
                                         vertexCount);
}

template class DrawMeshParam<Mesh2D>;

} // namespace render
