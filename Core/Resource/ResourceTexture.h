#pragma once

#include "Core/Base/ImageInfo.h"
#include "Core/Resource/Resource.h"
#include "Core/Resource/ResourceHandle.h"
#include "Core/Resource/ResourceManager.h"

#include <cstdint>
#include <string>

namespace file
{
class Container;
}

namespace render
{
class Render;
class Texture;
} // namespace render

namespace resource
{

// A named image loaded into a device texture: found in the file system by
// trying the extension table, or read from an image container's entry, or a
// reference into a shared atlas texture. Shared through counted handles; the
// last one hands it back to the texture map.
class ResourceTexture : public Resource, public base::ImageInfo
{
public:
    ResourceTexture();
    // Lets go of the atlas.
    ~ResourceTexture() override;

    // Destroy, as the resource base names it.
    BWResultEnum Release() override;
    // Leaves the texture map and deletes itself, unloading first; an unload
    // error is returned and the entry stays.
    BWResultEnum Destroy();
    BWResultEnum DoLoad() override;
    // Deletes the device texture; the atlas handle stays until destruction.
    BWResultEnum DoUnLoad() override;

    BWResultEnum SetRender(render::Render* render);
    // Later loads read that container entry instead of searching the files.
    // The container must outlive the loads.
    BWResultEnum SetSource(file::Container* container, const std::wstring& entry);

    // "", ".dds", ".jpg", ".gif", ".png", ".tga", tried in that order.
    static const wchar_t* const* GetExtensions();
    static uint32_t GetExtensionCount();

    // The resource manager's texture map.
    static ResourceManager::CountedMap& GetMap();
    // The named texture with one more share; a new one is named and entered
    // with one share. The empty handle when none can be made.
    static ResourceHandle Get(const std::wstring& name);

    render::Texture* GetTexture() const { return mTexture; }
    render::Render* GetRender() const { return mRender; }
    const ResourceHandle& GetAtlas() const { return mAtlasHandle; }
    // The atlas this image lies in, followed to its root; this one when it
    // has none.
    const ResourceTexture* GetAtlasRoot() const;

private:
    BWResultEnum LoadAtlas();

    ResourceHandle mAtlasHandle;
    render::Render* mRender;
    render::Texture* mTexture;
    file::Container* mContainer;
    std::wstring mEntry;
};

} // namespace resource
