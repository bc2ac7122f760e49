#pragma once

// A texture on a Direct3D 9 device. Loaded textures live in the managed pool
// and keep a hit mask; render targets and dynamic textures live in the
// default pool and come back empty after a device reset.

#include "Core/Render/HitMask.h"
#include "Core/Render/Texture.h"
#include "Platform/D3D9/D3D9.h"

namespace render
{

class RenderDX9;

class TextureDX9 : public Texture
{
public:
    explicit TextureDX9(RenderDX9* render);
    ~TextureDX9() override;

    BWResultEnum Load(ImageData* image) override;
    BWResultEnum CreateRenderTarget(uint32_t width, uint32_t height) override;
    BWResultEnum CreateDynamic(uint32_t width, uint32_t height) override;
    bool GetPixel(int x, int y) override;
    BWResultEnum Restore() override;
    BWResultEnum Release() override;
    bool IsAvailable() override;
    BWResultEnum Lock(uint32_t* size, uint32_t* pitch, void** bits) override;
    BWResultEnum Unlock() override;
    BWResultEnum Execute(uint32_t argument) override;

    // Level 0, fetched on first use; null when that fails.
    IDirect3DSurface9* GetSurface();
    IDirect3DTexture9* GetDeviceTexture() const { return mDeviceTexture; }
    const HitMask& GetHitMask() const { return mHitMask; }
    bool IsRenderTarget() const { return mRenderTarget != 0; }
    bool IsDynamic() const { return mDynamic != 0; }

private:
    IDirect3DDevice9* Device() const;
    BWResultEnum CreateDefaultPool(uint32_t width, uint32_t height, DWORD usage);
    // Copies the image into every level of the new texture.
    BWResultEnum FillLevels(ImageData* image, uint32_t levels);
    void ReleaseDeviceObjects();

    IDirect3DTexture9* mDeviceTexture = nullptr;
    IDirect3DSurface9* mSurface = nullptr;
    RenderDX9* mRenderDX9;
    HitMask mHitMask;
    uint8_t mRenderTarget = 0;
    uint8_t mDynamic = 0;
};

} // namespace render
