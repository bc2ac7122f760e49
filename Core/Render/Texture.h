#pragma once

// A device texture as the renderer sees it: loaded from image data (managed,
// survives device loss), a render target or a dynamic texture (both released
// when the device is lost and re-created empty after a reset). The back end
// provides the implementation (render::TextureDX9).

#include "Core/Base/BWResult.h"

#include <cstdint>

namespace render
{

class Render;
class ImageData;

class Texture
{
public:
    // Registers with the renderer, which walks its textures on device loss.
    explicit Texture(Render* render);
    virtual ~Texture();

    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    // Fills every level from the image data and builds the hit mask.
    virtual BWResultEnum Load(ImageData* image) = 0;
    virtual BWResultEnum CreateRenderTarget(uint32_t width, uint32_t height) = 0;
    virtual BWResultEnum CreateDynamic(uint32_t width, uint32_t height) = 0;
    // Hit-test opacity of a pixel; false outside the texture or without a mask.
    virtual bool GetPixel(int x, int y) = 0;
    virtual BWResultEnum Restore() = 0;
    virtual BWResultEnum Release() = 0;
    // Whether the texture can be used now.
    virtual bool IsAvailable() = 0;
    // Dynamic textures only: size in 32-bit words, pitch in bytes.
    virtual BWResultEnum Lock(uint32_t* size, uint32_t* pitch, void** bits) = 0;
    virtual BWResultEnum Unlock() = 0;
    // Not supported by any back end: answers 1.
    virtual BWResultEnum Execute(uint32_t argument) = 0;

    Render* GetRender() const { return mRender; }
    uint32_t GetWidth() const { return mWidth; }
    uint32_t GetHeight() const { return mHeight; }

    // The renderer is being destroyed.
    void Detach() { mRender = nullptr; }

protected:
    Render* mRender;
    uint32_t mWidth = 0;
    uint32_t mHeight = 0;
};

} // namespace render
