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

ImageInfo::~ImageInfo() = default;

} // namespace base
