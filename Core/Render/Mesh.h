#pragma once

#include "Core/Render/Vertex.h"

#include <vector>

namespace render
{

// Indexed triangle-list geometry kept on the CPU and copied into the transient
// caches each time it is drawn. Positions are in the owner's space; every
// index is below the vertex count.
template <class V, class I>
class Mesh
{
public:
    typedef V VertexType;
    typedef I IndexType;

    std::vector<V> mVertices;
    // Three per triangle.
    std::vector<I> mIndices;
};

typedef Mesh<SVertex2D, unsigned short> Mesh2D;

} // namespace render
