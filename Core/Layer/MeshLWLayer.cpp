#include "Core/Layer/MeshLWLayer.h"

#include "Core/Base/Encoding.h"
#include "Core/Base/Log.h"
#include "Core/Lightwave/MeshLibrary.h"
#include "Core/Render/DrawMeshParam.h"
#include "Core/Render/Graphics.h"
#include "Core/Resource/ResourceManager.h"

namespace layer
{

MeshLWLayer::MeshLWLayer() = default;

MeshLWLayer::~MeshLWLayer() = default;

BWResultEnum MeshLWLayer::SetMesh(render::Render* render, const std::wstring& library, const std::string& mesh)
{
    mLibrary.Reset();
    mMeshIndex = 0;
    resource::ResourceManager* manager = resource::ResourceManager::Instance();
    if (!manager)
        return BW_FAIL; // past teardown
    resource::ResourceHandle share = manager->GetMeshLibrary(library);
    auto* loaded = static_cast<lightwave::MeshLibrary*>(share.Get());
    if (!loaded)
        return BW_FAIL;
    if (!loaded->IsLoaded())
    {
        loaded->mRender = render;
        if (BWResultEnum result = loaded->Load())
            return result; // the share goes with the handle
    }
    const std::vector<lightwave::MeshEntry>& meshes = loaded->GetMeshes();
    for (size_t i = 0; i < meshes.size(); ++i)
    {
        if (meshes[i].name == mesh)
        {
            mLibrary = share;
            mMeshIndex = i;
            return BW_OK;
        }
    }
    BW_LOG(L"Mesh library '%s' has no mesh '%s'.\n") % library % base::ToWideString(mesh, base::EncodingAnsi);
    return BW_FAIL;
}

lightwave::MeshLibrary* MeshLWLayer::GetLibrary() const
{
    return static_cast<lightwave::MeshLibrary*>(mLibrary.Get());
}

const render::Mesh2D* MeshLWLayer::GetMesh() const
{
    const lightwave::MeshLibrary* library = GetLibrary();
    if (!library || !library->IsLoaded() || mMeshIndex >= library->GetMeshes().size())
        return nullptr;
    return &library->GetMeshes()[mMeshIndex].mesh;
}

BWResultEnum MeshLWLayer::DrawSelf(render::Graphics* graphics)
{
    const render::Mesh2D* mesh = GetMesh();
    if (!mesh || !graphics)
        return BW_OK;
    const float opacity = GetAbsoluteOpacity();
    if (opacity <= 0.0f)
        return BW_OK;
    Bind(graphics);
    const float color[4] = {1.0f, 1.0f, 1.0f, opacity};
    mGraphics->SetColor(color);
    // At the origin: the layer's placement moves it (Layer::Draw).
    render::DrawUntransformedParam<render::DrawMeshParam<render::Mesh2D>> draw(
        render::DrawMeshParam<render::Mesh2D>(mGraphics, mesh, GetLibrary()->GetImage()));
    return draw.DrawNow();
}

} // namespace layer
