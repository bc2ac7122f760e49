#pragma once

// Textures and their surfaces. Lockable textures (MANAGED pool, or DYNAMIC
// usage) keep each level in memory the caller locks; unlocking sends the
// level to the back end. Render targets live in the back end only.

#include "Platform/D3D9/DeviceChild.h"
#include "Platform/D3D9/ExecutionBackend.h"

#include <memory>
#include <vector>

namespace d3d9
{

class Texture;

// A texture level or the back buffer. Owned by its texture (or device); the
// caller's references keep the texture alive.
class Surface final : public DeviceChild<IDirect3DSurface9>
{
public:
    Surface(Device* device, Texture* container, UINT level, UINT width, UINT height, D3DFORMAT format,
            bool renderTarget);

    D3DRESOURCETYPE GetType() override { return D3DRTYPE_SURFACE; }

    Texture* Container() const { return mContainer; }
    UINT Width() const { return mWidth; }
    UINT Height() const { return mHeight; }
    bool IsRenderTarget() const { return mRenderTarget; }
    void Resize(UINT width, UINT height, D3DFORMAT format);
    TargetRef Target() const;

private:
    void Revived() override;
    void Dead() override;

    Texture* mContainer;
    UINT mLevel;
    UINT mWidth;
    UINT mHeight;
    D3DFORMAT mFormat;
    bool mRenderTarget;
};

class Texture final : public DeviceChild<IDirect3DTexture9>
{
public:
    Texture(Device* device, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool);
    ~Texture() override;

    // Level memory for lockable textures; E_OUTOFMEMORY when it cannot.
    HRESULT Init();

    D3DRESOURCETYPE GetType() override { return D3DRTYPE_TEXTURE; }
    DWORD GetLevelCount() override { return mLevels; }
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect(UINT level) override;
    HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) override;

    UINT Width() const { return mWidth; }
    UINT Height() const { return mHeight; }
    D3DFORMAT Format() const { return mFormat; }
    D3DPOOL Pool() const { return mPool; }
    bool IsRenderTarget() const { return (mUsage & D3DUSAGE_RENDERTARGET) != 0; }
    bool IsLockable() const { return !IsRenderTarget() && (mPool != D3DPOOL_DEFAULT || (mUsage & D3DUSAGE_DYNAMIC)); }
    // The caller holds it, directly or through a surface.
    bool HeldByCaller() const;

    BackendTexture* Backend() const { return mBackend.get(); }
    void SetBackend(std::unique_ptr<BackendTexture> backend) { mBackend = std::move(backend); }

private:
    UINT mWidth;
    UINT mHeight;
    UINT mLevels;
    DWORD mUsage;
    D3DFORMAT mFormat;
    D3DPOOL mPool;
    std::vector<std::vector<uint8_t>> mLevelData;
    std::vector<bool> mLocked;
    std::vector<std::unique_ptr<Surface>> mSurfaces;
    std::unique_ptr<BackendTexture> mBackend;
    hooks::LiveToken mLive;
};

} // namespace d3d9
