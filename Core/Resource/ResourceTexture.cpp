#include "Core/Resource/ResourceTexture.h"

#include "Core/Base/Stream.h"
#include "Core/File/FileInfo.h"
#include "Core/File/FileManager.h"
#include "Core/Render/ImageData.h"
#include "Core/Render/ImageLoader.h"
#include "Core/Render/Render.h"
#include "Core/Render/Texture.h"

#include <memory>

namespace resource
{

namespace
{

const wchar_t* const kExtensions[] = {L"", L".dds", L".jpg", L".gif", L".png", L".tga"};
const uint32_t kExtensionCount = sizeof(kExtensions) / sizeof(kExtensions[0]);

// The extension of a name given whole: from its last '.' after the last
// folder separator; empty without one.
std::wstring ExtensionOf(const std::wstring& name)
{
    const size_t dot = name.rfind(L'.');
    const size_t slash = name.find_last_of(L"/\\");
    if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash))
        return std::wstring();
    return name.substr(dot);
}

} // namespace

ResourceTexture::ResourceTexture() : mRender(nullptr), mTexture(nullptr), mContainer(nullptr)
{
}

ResourceTexture::~ResourceTexture()
{
    delete mTexture;
    mTexture = nullptr;
    mAtlasHandle.Reset();
}

const wchar_t* const* ResourceTexture::GetExtensions()
{
    return kExtensions;
}

uint32_t ResourceTexture::GetExtensionCount()
{
    return kExtensionCount;
}

ResourceManager::CountedMap& ResourceTexture::GetMap()
{
    return ResourceManager::Instance()->GetMap<ResourceTexture, CountedResource>();
}

ResourceHandle ResourceTexture::Get(const std::wstring& name)
{
    ResourceManager* manager = ResourceManager::Instance();
    if (!manager)
        return ResourceHandle();
    return manager->GetCounted<ResourceTexture>(GetMap(), name);
}

BWResultEnum ResourceTexture::Release()
{
    return Destroy();
}

BWResultEnum ResourceTexture::Destroy()
{
    ResourceManager* manager = ResourceManager::Instance();
    return manager ? manager->ReleaseCounted(GetMap(), this) : BW_OK;
}

BWResultEnum ResourceTexture::SetRender(render::Render* render)
{
    mRender = render;
    return BW_OK;
}

BWResultEnum ResourceTexture::SetSource(file::Container* container, const std::wstring& entry)
{
    mContainer = container;
    mEntry = entry;
    return BW_OK;
}

const ResourceTexture* ResourceTexture::GetAtlasRoot() const
{
    const ResourceTexture* root = this;
    // Bounded: a chain that loops back on itself ends somewhere.
    for (int depth = 0; depth < 64; ++depth)
    {
        const ResourceTexture* next = static_cast<const ResourceTexture*>(root->mAtlasHandle.Get());
        if (!next)
            return root;
        root = next;
    }
    return root;
}

BWResultEnum ResourceTexture::LoadAtlas()
{
    // A reload must not take a second share of the atlas.
    mAtlasHandle.Reset();
    if (mAtlasPath == GetName())
        return BW_FAIL;
    mAtlasHandle = Get(mAtlasPath);
    ResourceTexture* atlas = static_cast<ResourceTexture*>(mAtlasHandle.Get());
    if (!atlas)
        return BW_FAIL;
    atlas->SetRender(mRender);
    if (!atlas->IsLoaded())
        return atlas->Load();
    return BW_OK;
}

BWResultEnum ResourceTexture::DoLoad()
{
    // 1. Find the image.
    uint32_t index = 0;
    std::unique_ptr<file::FileInfo> info;
    const base::ImageInfo* entryInfo = nullptr;
    if (mContainer)
    {
        info.reset(mContainer->GetFileInfo(mEntry, kExtensions, kExtensionCount, &index));
        // Layout containers describe the entry as a layer as well.
        entryInfo = dynamic_cast<const base::ImageInfo*>(info.get());
        if (entryInfo)
        {
            base::ImageInfo::operator=(*entryInfo);
            // 2. An atlas entry shows part of the atlas texture and has no
            // pixels of its own.
            if (mAtlas)
                return LoadAtlas();
        }
    }
    else
    {
        file::FileManager* files = file::FileManager::Instance();
        if (files)
            info.reset(files->GetFileInfo(GetName(), kExtensions, kExtensionCount, &index));
    }
    if (!info || index >= kExtensionCount)
        return BW_FAIL;

    // 3. Its data.
    std::unique_ptr<base::Stream> stream(info->Open());
    if (!stream)
        return BW_FAIL;

    // 4, 5. Decoded by the table entry that matched, or by the name's own
    // extension when the name was given whole; a layer may come as raw pixels.
    const std::wstring extension = index == 0 ? ExtensionOf(GetName()) : kExtensions[index];
    render::ImageLoader* loader = render::ImageLoader::Instance();
    if (!loader)
        return BW_FAIL;
    std::unique_ptr<render::ImageData> image(
        loader->CreateImageData(stream.get(), extension.c_str(), entryInfo ? this : nullptr));
    if (!image)
        return BW_FAIL;

    // 6. A file gives its own size.
    if (!entryInfo)
    {
        mWidth = image->GetWidth();
        mHeight = image->GetHeight();
    }

    // 7. The device texture; one that fails to load is not kept.
    if (!mRender)
        return BW_FAIL;
    delete mTexture;
    mTexture = nullptr;
    render::Texture* texture = nullptr;
    const BWResultEnum created = mRender->CreateTexture(&texture);
    if (created != BW_OK)
    {
        delete texture;
        return created;
    }
    if (!texture)
        return BW_FAIL;
    const BWResultEnum loaded = texture->Load(image.get());
    if (loaded != BW_OK)
    {
        delete texture;
        return loaded;
    }
    mTexture = texture;
    return BW_OK;
}

BWResultEnum ResourceTexture::DoUnLoad()
{
    delete mTexture;
    mTexture = nullptr;
    return BW_OK;
}

} // namespace resource
