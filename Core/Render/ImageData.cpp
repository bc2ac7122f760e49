#include "Core/Render/ImageData.h"

namespace render
{

ImageData::ImageData() : mWidth(0), mHeight(0), mBytesPerPixel(0), mLevelCount(1), mCompression(CompressionNone)
{
}

ImageData::~ImageData() = default;

uint32_t ImageData::GetSize() const
{
    return static_cast<uint32_t>(mWidth) * static_cast<uint32_t>(mHeight) * 4u;
}

} // namespace render
