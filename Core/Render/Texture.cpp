#include "Core/Render/Texture.h"

#include "Core/Render/Render.h"

namespace render
{

Texture::Texture(Render* render) : mRender(render)
{
    if (mRender)
        mRender->AddTexture(this);
}

Texture::~Texture()
{
    if (mRender)
        mRender->RemoveTexture(this);
}

} // namespace render
