#include "Core/Base/ImageInfo.h"

#include "Core/Math/MathFunctions.h"

namespace base
{

ImageInfo::ImageInfo()
    : mOpacity(255), mExtra(0), mHasImage(1), mRawPixels(0), mAtlas(0), mTexOffset{0.0f, 0.0f},
      mTexScale{1.0f, 1.0f}, mScaleFactor(1.0f), mX(0), mY(0), mWidth(0), mHeight(0)
{
}

ImageInfo::ImageInfo(const std::wstring& name, const int32_t rect[4], uint32_t opacity, uint32_t extra,
                     uint8_t hasImage, uint8_t rawPixels, float scaleFactor)
    : ImageInfo()
{
    mName = name;
    mOpacity = opacity;
    mExtra = extra;
    mHasImage = hasImage;
    mRawPixels = rawPixels;
    mScaleFactor = scaleFactor;
    mX = math::ScaleToward0(rect[0], scaleFactor);
    mY = math::ScaleToward0(rect[1], scaleFactor);
    mWidth = math::ScaleToward0(rect[2], scaleFactor);
    mHeight = math::ScaleToward0(rect[3], scaleFactor);
}

ImageInfo& ImageInfo::operator=(const ImageInfo& other)
{
    if (this == &other)
        return *this;
    mName = other.mName;
    mX = other.mX;
    mY = other.mY;
    mWidth = other.mWidth;
    mHeight = other.mHeight;
    mOpacity = other.mOpacity;
    mExtra = other.mExtra;
    mHasImage = other.mHasImage;
    mRawPixels = other.mRawPixels;
    mAtlas = other.mAtlas;
    mAtlasPath = other.mAtlasPath;
    mTexOffset[0] = other.mTexOffset[0];
    mTexOffset[1] = other.mTexOffset[1];
    mTexScale[0] = other.mTexScale[0];
    mTexScale[1] = other.mTexScale[1];
    mScaleFactor = other.mScaleFactor;
    return *this;
}

ImageInfo::~ImageInfo() = default;

} // namespace base
