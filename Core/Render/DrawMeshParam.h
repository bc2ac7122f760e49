#pragma once

#include "Core/Render/DrawParam.h"
#include "Core/Render/GraphicsFriend.h"
#include "Core/Render/Mesh.h"

#include <cstdint>

namespace render
{

class ImageRect;

// One mesh sampling one image, drawn as a single indexed triangle list in the
// Graphics' colour (which multiplies each vertex's own) and tint. Made for
// Mesh2D; used as DrawUntransformedParam<DrawMeshParam<Mesh2D>>.
template <class M>
class DrawMeshParam : public GraphicsFriend
{
public:
    DrawMeshParam() : mMesh(nullptr), mImage(nullptr) {}
    DrawMeshParam(Graphics* graphics, const M* mesh, ImageRect* image) : mMesh(mesh), mImage(image)
    {
        Bind(graphics);
    }

    // A mesh with no triangles, indices past its vertices or more vertices or
    // indices than the caches can give at once is refused with a log record
    // and nothing drawn.
    BWResultEnum Draw(DrawParam* owner);

    const M* mMesh;
    // The mesh's texture coordinates run 0 to 1 over this image and are
    // mapped into its atlas page.
    ImageRect* mImage;
};

// The most vertices and indices of one draw: what the largest buffer of
// each cache holds. 0 without a renderer or caches.
void MeshCacheLimits(Render* render, uint32_t* vertices, uint32_t* indices);

} // namespace render
