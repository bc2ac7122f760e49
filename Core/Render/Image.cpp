#include "Core/Render/Image.h"

#include "Core/Render/Render.h"
#include "Core/Render/Texture.h"

#include <new>

namespace render
{

Image::Image(Texture* texture, bool makeProjection) : mTargetRect{0.0f, 0.0f, 1.0f, 1.0f}
{
    mTexture = texture;
    if (!texture)
        return;
    mWidth = static_cast<int32_t>(texture->GetWidth());
    mHeight = static_cast<int32_t>(texture->GetHeight());
    if (makeProjection && texture->GetRender())
        texture->GetRender()->MakeOrthoProjection(static_cast<float>(mWidth), static_cast<float>(mHeight), 1.0f,
                                                  &mMatrix);
}

Image::~Image()
{
    if (mTexture && mTexture->GetRender())
        mTexture->GetRender()->ForgetShaderValue(&mMatrix);
}

BWResultEnum Render::CreateRenderTargetImage(uint32_t width, uint32_t height, Image** out, bool makeProjection)
{
    if (out)
        *out = nullptr;
    Texture* texture = nullptr;
    BWResultEnum result = CreateTexture(&texture);
    if (result != BW_OK)
    {
        delete texture;
        return result;
    }
    if (!texture)
        return BW_FAIL;
    result = texture->CreateRenderTarget(width, height);
    if (result != BW_OK)
    {
        delete texture;
        return result;
    }
    Image* image = new (std::nothrow) Image(texture, makeProjection);
    if (!image)
    {
        delete texture;
        return BW_FAIL;
    }
    if (out)
        *out = image;
    else
        delete image;
    return BW_OK;
}

} // namespace render
