#pragma once

#include "Core/Base/BWResult.h"
#include "Core/Resource/ResourceHandle.h"

#include <cstdint>

namespace render
{

class Texture;
class VertexFormat;

// The part of every image that drawing and hit tests use: a rectangle of
// pixels inside a device texture, which may be an atlas shared with others.
class ImageRect
{
public:
    ImageRect();
    // Deletes a texture it holds without a resource (render targets are
    // owned by their image), then lets go of the resource.
    ~ImageRect();

    ImageRect(const ImageRect&) = delete;
    ImageRect& operator=(const ImageRect&) = delete;

    // Takes a share of a texture resource and places the image inside its
    // texture (the atlas root's, for an atlas entry).
    void SetTexture(const resource::ResourceHandle& handle);
    // Maps texture coordinates of one set into the atlas; nothing for an
    // image that is not an atlas entry. 1 for a set the format lacks.
    BWResultEnum MapAtlasCoordinates(void* vertices, uint32_t count, uint32_t set, const VertexFormat& format) const;
    // Hit test in image pixels; false outside the image.
    bool GetPixel(int32_t x, int32_t y) const;

    Texture* GetTexture() const { return mTexture; }
    const resource::ResourceHandle& GetResource() const { return mResource; }
    int32_t GetWidth() const { return mWidth; }
    int32_t GetHeight() const { return mHeight; }

    resource::ResourceHandle mResource;
    Texture* mTexture;
    int32_t mWidth;
    int32_t mHeight;
    int32_t mX;
    int32_t mY;
    float mScaleX;
    float mScaleY;
    // A draw without pixels was reported: it is logged once, not each frame.
    uint8_t mEmptyReported = 0;
};

} // namespace render
