#pragma once

#include "Core/Base/BWResult.h"
#include "Core/Lightwave/MeshLibraryFile.h"
#include "Core/Resource/Resource.h"

#include <string>
#include <vector>

namespace render
{
class ImageRect;
class Render;
} // namespace render

namespace lightwave
{

// A named set of meshes with the texture they sample, read from
// "<name>.lib" (MeshLibraryFile.h) through the file manager, so from the pack
// when one is mounted. Made empty and named by
// resource::ResourceManager::GetMeshLibrary; shared through counted handles.
class MeshLibrary : public resource::Resource
{
public:
    static const wchar_t* const kExtension;

    MeshLibrary();
    // Deletes the texture image still held, as when destroyed loaded.
    ~MeshLibrary() override;

    // Leaves the mesh-library map, unloading and deleting itself; nothing
    // when the map does not hold it.
    BWResultEnum Release() override;
    // Reads the file and makes its texture through mRender. A missing or
    // bad file or texture fails with a log record and leaves nothing.
    BWResultEnum DoLoad() override;
    // Frees the meshes and the texture.
    BWResultEnum DoUnLoad() override;

    // Null when the library has no mesh of that name.
    const render::Mesh2D* FindMesh(const std::string& name) const;
    const std::vector<MeshEntry>& GetMeshes() const { return mMeshes; }
    render::ImageRect* GetImage() const { return mImage; }

    // Set before loading: the texture is made through it.
    render::Render* mRender;

private:
    std::vector<MeshEntry> mMeshes;
    render::ImageRect* mImage;
};

} // namespace lightwave
