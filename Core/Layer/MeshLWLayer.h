#pragma once

#include "Core/Layer/Layer.h"
#include "Core/Render/GraphicsFriend.h"
#include "Core/Render/Mesh.h"
#include "Core/Resource/ResourceHandle.h"

#include <cstddef>
#include <string>

namespace render
{
class Render;
}

namespace lightwave
{
class MeshLibrary;
}

namespace layer
{

// A layer that shows one mesh of a mesh library, in the library's texture and
// the layer's opacity, placed by the layer's transform.
class MeshLWLayer : public Layer, public render::GraphicsFriend
{
public:
    MeshLWLayer();
    // Lets go of its share of the library.
    ~MeshLWLayer() override;

    // Takes a share of the named library (loaded through render when it is
    // not yet) and shows its mesh of that name. A failure is logged and
    // leaves the layer showing nothing.
    BWResultEnum SetMesh(render::Render* render, const std::wstring& library, const std::string& mesh);
    // Null while there is nothing to show (also while the library is unloaded).
    const render::Mesh2D* GetMesh() const;
    lightwave::MeshLibrary* GetLibrary() const;

    BWResultEnum DrawSelf(render::Graphics* graphics) override;

private:
    resource::ResourceHandle mLibrary;
    // An index, not a pointer: it stays right when the library is reloaded.
    size_t mMeshIndex = 0;
};

} // namespace layer
