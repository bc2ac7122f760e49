#include "Platform/D3D9/Texture.h"

#include "Platform/D3D9/Device.h"
#include "Platform/D3D9/Formats.h"

#include <new>

namespace d3d9
{

using test::Arg;
using test::Call;

Surface::Surface(Device* device, Texture* container, UINT level, UINT width, UINT height, D3DFORMAT format,
                 bool renderTarget)
    : DeviceChild(device, 0), mContainer(container), mLevel(level), mWidth(width), mHeight(height), mFormat(format),
      mRenderTarget(renderTarget)
{
    (void)mLevel;
}

void Surface::Resize(UINT width, UINT height, D3DFORMAT format)
{
    mWidth = width;
    mHeight = height;
    mFormat = format;
}

TargetRef Surface::Target() const
{
    TargetRef target;
    target.texture = mContainer ? mContainer->Backend() : nullptr;
    target.width = mWidth;
    target.height = mHeight;
    return target;
}

void Surface::Revived()
{
    if (mContainer)
        mContainer->Hold();
}

void Surface::Dead()
{
    // The texture, or the device for the back buffer, owns the memory.
    if (mContainer)
        mContainer->Unhold();
}

Texture::Texture(Device* device, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool)
    : DeviceChild(device, 1), mWidth(width), mHeight(height), mLevels(levels), mUsage(usage), mFormat(format),
      mPool(pool), mLocked(levels, false)
{
    mSurfaces.resize(levels);
}

Texture::~Texture()
{
    mDevice->Forget(this);
}

HRESULT Texture::Init()
{
    if (!IsLockable())
        return D3D_OK;
    try
    {
        mLevelData.resize(mLevels);
        for (UINT level = 0; level < mLevels; ++level)
            mLevelData[level].assign(static_cast<size_t>(LevelPitch(mFormat, LevelExtent(mWidth, level))) *
                                         LevelRows(mFormat, LevelExtent(mHeight, level)),
                                     0);
    }
    catch (const std::bad_alloc&)
    {
        return E_OUTOFMEMORY;
    }
    return D3D_OK;
}

bool Texture::HeldByCaller() const
{
    if (References() > 0)
        return true;
    for (const auto& surface : mSurfaces)
        if (surface && surface->References() > 0)
            return true;
    return false;
}

HRESULT Texture::LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags)
{
    hooks::CallTrace trace(Call::TextureLockRect, this,
                           {Arg::U(level), Arg::P(lockedRect), Arg::P(rect), Arg::U(flags)});
    if (lockedRect)
    {
        lockedRect->pBits = nullptr;
        lockedRect->Pitch = 0;
    }
    if (trace.Fails())
        return trace.Forced();
    if (!lockedRect || level >= mLevels || !IsLockable() || mLocked[level])
        return trace.Finish(D3DERR_INVALIDCALL);

    const UINT width = LevelExtent(mWidth, level);
    const UINT height = LevelExtent(mHeight, level);
    const UINT pitch = LevelPitch(mFormat, width);
    size_t offset = 0;
    if (rect)
    {
        if (rect->left < 0 || rect->top < 0 || rect->left >= rect->right || rect->top >= rect->bottom ||
            static_cast<UINT>(rect->right) > width || static_cast<UINT>(rect->bottom) > height)
            return trace.Finish(D3DERR_INVALIDCALL);
        if (IsCompressedFormat(mFormat))
        {
            if ((rect->left | rect->top) & 3)
                return trace.Finish(D3DERR_INVALIDCALL);
            offset = static_cast<size_t>(rect->top / 4) * pitch + (rect->left / 4) * (pitch / ((width + 3) / 4));
        }
        else
            offset = static_cast<size_t>(rect->top) * pitch + rect->left * 4;
    }
    mLocked[level] = true;
    lockedRect->Pitch = static_cast<INT>(pitch);
    lockedRect->pBits = mLevelData[level].data() + offset;
    return trace.Finish(D3D_OK);
}

HRESULT Texture::UnlockRect(UINT level)
{
    hooks::CallTrace trace(Call::TextureUnlockRect, this, {Arg::U(level)});
    if (trace.Fails())
        return trace.Forced();
    if (level >= mLevels || !mLocked[level])
        return trace.Finish(D3DERR_INVALIDCALL);
    mLocked[level] = false;
    mDevice->UploadTextureLevel(this, level, mLevelData[level]);
    return trace.Finish(D3D_OK);
}

HRESULT Texture::GetSurfaceLevel(UINT level, IDirect3DSurface9** surface)
{
    hooks::CallTrace trace(Call::TextureGetSurfaceLevel, this, {Arg::U(level), Arg::P(surface)});
    if (surface)
        *surface = nullptr;
    if (trace.Fails())
        return trace.Forced();
    if (!surface || level >= mLevels)
        return trace.Finish(D3DERR_INVALIDCALL);
    if (!mSurfaces[level])
        mSurfaces[level].reset(new Surface(mDevice, this, level, LevelExtent(mWidth, level),
                                           LevelExtent(mHeight, level), mFormat, IsRenderTarget() && level == 0));
    Surface* s = mSurfaces[level].get();
    s->AddRef();
    *surface = s;
    return trace.Finish(D3D_OK, s);
}

} // namespace d3d9
