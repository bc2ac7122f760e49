#include "Core/Render/DX9/TextureDX9.h"

#include "Core/Render/DX9/ReleaseCom.h"
#include "Core/Render/DX9/RenderDX9.h"
#include "Core/Render/ImageData.h"

namespace render
{

namespace
{

D3DFORMAT FormatOf(uint32_t compression)
{
    switch (compression)
    {
    case CompressionDxt1:
        return D3DFMT_DXT1;
    case CompressionDxt3:
        return D3DFMT_DXT3;
    case CompressionDxt5:
        return D3DFMT_DXT5;
    default:
        return D3DFMT_A8R8G8B8;
    }
}

} // namespace

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
    ReleaseCom(mSurface);
    ReleaseCom(mDeviceTexture);
}

BWResultEnum TextureDX9::Load(ImageData* image)
{
    // A second load replaces the first: nothing of the old one is kept.
    ReleaseDeviceObjects();
    mHitMask.Clear();
    mRenderTarget = 0;
    mDynamic = 0;
    mWidth = 0;
    mHeight = 0;
    IDirect3DDevice9* device = Device();
    if (!image || !device || image->GetWidth() <= 0 || image->GetHeight() <= 0)
        return BW_FAIL;
    mWidth = static_cast<uint32_t>(image->GetWidth());
    mHeight = static_cast<uint32_t>(image->GetHeight());
    const uint32_t levels = image->GetLevelCount() ? image->GetLevelCount() : 1;
    if (device->CreateTexture(mWidth, mHeight, levels, 0, FormatOf(image->GetCompression()), D3DPOOL_MANAGED,
                              &mDeviceTexture, nullptr) != D3D_OK)
    {
        mDeviceTexture = nullptr;
        return BW_FAIL;
    }
    const BWResultEnum result = FillLevels(image, levels);
    if (result != BW_OK)
    {
        ReleaseDeviceObjects();
        mHitMask.Clear();
    }
    return result;
}

BWResultEnum TextureDX9::FillLevels(ImageData* image, uint32_t levels)
{
    for (uint32_t level = 0; level < levels; ++level)
    {
        D3DLOCKED_RECT locked = {0, nullptr};
        if (mDeviceTexture->LockRect(level, &locked, nullptr, 0) != D3D_OK || !locked.pBits || locked.Pitch <= 0)
            return BW_FAIL;
        HitMask* mask = nullptr;
        if (level == 0)
        {
            if (!mHitMask.Resize(mWidth, mHeight))
            {
                mDeviceTexture->UnlockRect(level);
                return BW_FAIL;
            }
            mask = &mHitMask;
        }
        const BWResultEnum read = image->Read(static_cast<uint32_t>(locked.Pitch), level, locked.pBits, mask, 0);
        if (mDeviceTexture->UnlockRect(level) != D3D_OK)
            return BW_FAIL;
        if (read != BW_OK)
            return read;
    }
    return BW_OK;
}

BWResultEnum TextureDX9::CreateDefaultPool(uint32_t width, uint32_t height, DWORD usage)
{
    ReleaseDeviceObjects();
    IDirect3DDevice9* device = Device();
    if (!device)
        return BW_FAIL;
    if (device->CreateTexture(width, height, 1, usage, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &mDeviceTexture, nullptr) !=
        D3D_OK)
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
    mHitMask.Clear();
    return CreateDefaultPool(width, height, D3DUSAGE_RENDERTARGET);
}

BWResultEnum TextureDX9::CreateDynamic(uint32_t width, uint32_t height)
{
    mWidth = width;
    mHeight = height;
    mRenderTarget = 0;
    mDynamic = 1;
    mHitMask.Clear();
    return CreateDefaultPool(width, height, D3DUSAGE_DYNAMIC);
}

bool TextureDX9::GetPixel(int x, int y)
{
    return mHitMask.GetPixel(x, y);
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

bool TextureDX9::IsAvailable()
{
    return true;
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

BWResultEnum TextureDX9::Execute(uint32_t argument)
{
    (void)argument;
    return BW_FAIL;
}

IDirect3DSurface9* TextureDX9::GetSurface()
{
    if (!mSurface && mDeviceTexture && mDeviceTexture->GetSurfaceLevel(0, &mSurface) != D3D_OK)
        mSurface = nullptr;
    return mSurface;
}

} // namespace render
