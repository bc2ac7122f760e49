#include "Core/Render/ImageRect.h"

#include "Core/Base/ImageInfo.h"
#include "Core/File/Container.h"
#include "Core/Render/Render.h"
#include "Core/Render/Texture.h"
#include "Core/Render/VertexFormat.h"
#include "Core/Resource/ResourceTexture.h"

#include <cstring>
#include <new>

namespace render
{

namespace
{

const resource::ResourceTexture* TextureResourceOf(const resource::ResourceHandle& handle)
{
    return static_cast<const resource::ResourceTexture*>(handle.Get());
}

} // namespace

ImageRect::ImageRect() : mTexture(nullptr), mWidth(0), mHeight(0), mX(0), mY(0), mScaleX(1.0f), mScaleY(1.0f)
{
}

ImageRect::~ImageRect()
{
    if (!mResource.Get())
        delete mTexture;
    mTexture = nullptr;
    mResource.Reset();
}

void ImageRect::SetTexture(const resource::ResourceHandle& handle)
{
    // Take the new share first: the old and new handle may be the same.
    resource::ResourceHandle share(handle);
    mResource.Reset();
    mResource = share;
    share.Reset();

    const resource::ResourceTexture* resource = TextureResourceOf(mResource);
    mTexture = nullptr;
    mWidth = 0;
    mHeight = 0;
    mX = 0;
    mY = 0;
    mScaleX = 1.0f;
    mScaleY = 1.0f;
    if (!resource)
        return;
    mTexture = resource->GetAtlasRoot()->GetTexture();
    mWidth = resource->mWidth;
    mHeight = resource->mHeight;
    if (!mTexture)
        return;
    const float textureWidth = static_cast<float>(mTexture->GetWidth());
    const float textureHeight = static_cast<float>(mTexture->GetHeight());
    mX = static_cast<int32_t>(resource->mTexOffset[0] * textureWidth + 0.5f);
    mY = static_cast<int32_t>(resource->mTexOffset[1] * textureHeight + 0.5f);
    const float spanX = textureWidth * resource->mTexScale[0];
    const float spanY = textureHeight * resource->mTexScale[1];
    mScaleX = spanX != 0.0f ? static_cast<float>(mWidth) / spanX : 1.0f;
    mScaleY = spanY != 0.0f ? static_cast<float>(mHeight) / spanY : 1.0f;
}

BWResultEnum ImageRect::MapAtlasCoordinates(void* vertices, uint32_t count, uint32_t set,
                                            const VertexFormat& format) const
{
    const resource::ResourceTexture* resource = TextureResourceOf(mResource);
    if (!resource || !resource->mAtlas)
        return BW_OK;
    if (set >= format.mTexCoordSets.size() || format.mTexCoordSets[set].first < 2)
        return BW_FAIL;
    const uint32_t offset = format.mTexCoordSets[set].second;
    uint8_t* vertex = static_cast<uint8_t*>(vertices);
    for (uint32_t i = 0; i < count; ++i, vertex += format.mStride)
    {
        float uv[2];
        std::memcpy(uv, vertex + offset, sizeof(uv));
        uv[0] = uv[0] * resource->mTexScale[0] + resource->mTexOffset[0];
        uv[1] = uv[1] * resource->mTexScale[1] + resource->mTexOffset[1];
        std::memcpy(vertex + offset, uv, sizeof(uv));
    }
    return BW_OK;
}

bool ImageRect::GetPixel(int32_t x, int32_t y) const
{
    if (x < 0 || y < 0 || x >= mWidth || y >= mHeight || !mTexture)
        return false;
    if (mResource.Get())
    {
        x = static_cast<int32_t>(mScaleX * static_cast<float>(x) + static_cast<float>(mX) + 0.5f);
        y = static_cast<int32_t>(mScaleY * static_cast<float>(y) + static_cast<float>(mY) + 0.5f);
    }
    return mTexture->GetPixel(x, y);
}

BWResultEnum Render::CreateImage(const std::wstring& name, file::Container* container, ImageRect** out,
                                 base::ImageInfo* info)
{
    if (out)
        *out = nullptr;
    const std::wstring textureName = container ? container->GetRootPath() + name : name;
    resource::ResourceHandle share = resource::ResourceTexture::Get(textureName);
    resource::ResourceTexture* texture = static_cast<resource::ResourceTexture*>(share.Get());
    if (!texture)
        return BW_FAIL;
    texture->SetRender(this);
    if (container)
        texture->SetSource(container, name);
    if (!texture->IsLoaded())
    {
        const BWResultEnum result = texture->Load();
        if (result != BW_OK)
            return result; // the share goes with the handle
    }
    ImageRect* image = new (std::nothrow) ImageRect;
    if (!image)
        return BW_FAIL;
    image->SetTexture(share);
    if (info)
        *info = *texture;
    if (out)
        *out = image;
    else
        delete image;
    return BW_OK;
}

} // namespace render
