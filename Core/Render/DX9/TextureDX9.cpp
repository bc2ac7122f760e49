#include "Core/Render/DX9/TextureDX9.h"

#include "Core/Render/DX9/RenderDX9.h"

namespace render
{

TextureDX9::TextureDX9(RenderDX9* render) : Texture(render), mRenderDX9(render)
{
}

TextureDX9::~TextureDX9()
{
    ReleaseDeviceObjects();
}

IDirect3DDevice9* TextureDX9::Device() const
{
    return mRender && mRenderDX9 ? mRenderDX9->GetDevice() : nullptr;
}

void TextureDX9::ReleaseDeviceObjects()
{
    if (mSurface)
    {
        mSurface->Release();
        mSurface = nullptr;
    }
    if (mDeviceTexture)
    {
        mDeviceTexture->Release();
        mDeviceTexture = nullptr;
    }
}

BWResultEnum TextureDX9::Load(const ImageData* image)
{
    // Image data is decoded by the image loader, which fills textures itself
    // once it exists; until then nothing can be loaded here.
    (void)image;
    return BW_FAIL;
}

BWResultEnum TextureDX9::CreateDefaultPool(uint32_t width, uint32_t height, DWORD usage)
{
    IDirect3DDevice9* device = Device();
    if (!device)
        return BW_FAIL;
    ReleaseDeviceObjects();
    HRESULT hr = device->CreateTexture(width, height, 1, usage, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &mDeviceTexture,
                                       nullptr);
    if (hr != D3D_OK)
    {
        mDeviceTexture = nullptr;
        return BW_FAIL;
    }
    return BW_OK;
}

BWResultEnum TextureDX9::CreateRenderTarget(uint32_t width, uint32_t height)
{
    mWidth = width;
    mHeight = height;
    mRenderTarget = 1;
    mDynamic = 0;
    return CreateDefaultPool(width, height, D3DUSAGE_RENDERTARGET);
}

BWResultEnum TextureDX9::CreateDynamic(uint32_t width, uint32_t height)
{
    mWidth = width;
    mHeight = height;
    mRenderTarget = 0;
    mDynamic = 1;
    return CreateDefaultPool(width, height, D3DUSAGE_DYNAMIC);
}

bool TextureDX9::GetPixel(int x, int y)
{
    // Only loaded textures carry a hit mask.
    (void)x;
    (void)y;
    return false;
}

BWResultEnum TextureDX9::Restore()
{
    if (mDeviceTexture)
        return BW_OK;
    if (mRenderTarget)
        return CreateRenderTarget(mWidth, mHeight);
    if (mDynamic)
        return CreateDynamic(mWidth, mHeight);
    return BW_OK;
}

BWResultEnum TextureDX9::Release()
{
    if (mRenderTarget || mDynamic)
        ReleaseDeviceObjects();
    return BW_OK;
}

BWResultEnum TextureDX9::Lock(uint32_t* size, uint32_t* pitch, void** bits)
{
    if (!mDynamic || !mDeviceTexture)
        return BW_FAIL;
    D3DLOCKED_RECT locked = {0, nullptr};
    if (mDeviceTexture->LockRect(0, &locked, nullptr, D3DLOCK_DISCARD) != D3D_OK)
        return BW_FAIL;
    *pitch = static_cast<uint32_t>(locked.Pitch);
    *size = mHeight * static_cast<uint32_t>(locked.Pitch) / 4;
    *bits = locked.pBits;
    return BW_OK;
}

BWResultEnum TextureDX9::Unlock()
{
    if (!mDynamic || !mDeviceTexture)
        return BW_FAIL;
    return mDeviceTexture->UnlockRect(0) == D3D_OK ? BW_OK : BW_FAIL;
}

IDirect3DSurface9* TextureDX9::GetSurface()
{
    if (!mSurface && mDeviceTexture && mDeviceTexture->GetSurfaceLevel(0, &mSurface) != D3D_OK)
        mSurface = nullptr;
    return mSurface;
}

} // namespace render
