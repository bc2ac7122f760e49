#pragma once

#include "Core/Render/DrawParam.h"
#include "Core/Render/GraphicsFriend.h"

#include <cstdint>

namespace render
{

class IndexBufferImpl;
class Shader;
class VertexBufferImpl;

// Geometry the caller has already written into the transient caches, drawn
// with a shader of its choice.
class DrawCustomParam : public GraphicsFriend
{
public:
    DrawCustomParam();

    // Too few vertices (or indices) for one primitive of the type draws
    // nothing.
    BWResultEnum Draw(DrawParam* owner);

    // The primitive count for n vertices (or indices) of a type; 0 when n is
    // too few for one primitive.
    static uint32_t PrimitiveCountFor(uint32_t type, uint32_t n);

    uint32_t mType;
    void* mVertices;
    // The registry's record of the vertices' layout.
    const VertexFormat* mFormat;
    uint32_t mFirstVertex;
    uint32_t mVertexCount;
    VertexBufferImpl* mVertexBuffer;
    uint32_t mFirstIndex;
    uint32_t mIndexCount;
    IndexBufferImpl* mIndexBuffer;
    Shader* mShader;
    // 0: worked out when drawing.
    uint32_t mPrimitiveCount;
};

} // namespace render
