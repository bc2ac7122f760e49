#pragma once

#include <cstdint>
#include <string>

namespace base
{

// One layer or image as the containers and the renderer describe it: its
// name, where its pixels lie and, for atlas entries, where they lie inside the
// shared atlas texture.
class ImageInfo
{
public:
    ImageInfo();
    // rect is x, y, width, height before scaling; each is multiplied by the
    // scale factor and truncated toward zero.
    ImageInfo(const std::wstring& name, const int32_t rect[4], uint32_t opacity, uint32_t extra, uint8_t hasImage,
              uint8_t rawPixels, float scaleFactor);
    ImageInfo(const ImageInfo& other) = default;
    ImageInfo& operator=(const ImageInfo& other) = default;
    virtual ~ImageInfo();

    std::wstring mName;
    uint32_t mOpacity;
    uint32_t mExtra;
    uint8_t mHasImage;
    // The pixels come as raw 32-bit ARGB words, not as an encoded image file.
    uint8_t mRawPixels;
    uint8_t mAtlas;
    std::wstring mAtlasPath;
    // Texture coordinates inside the atlas: (u, v) maps to (u * scale + offset).
    float mTexOffset[2];
    float mTexScale[2];
    float mScaleFactor;
    int32_t mX;
    int32_t mY;
    int32_t mWidth;
    int32_t mHeight;
};

} // namespace base
