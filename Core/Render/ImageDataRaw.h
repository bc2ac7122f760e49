#pragma once

#include "Core/Base/ImageInfo.h"
#include "Core/Render/ImageData.h"

namespace render
{

// A layer's pixels as raw 32-bit ARGB words, rows from the top, no header;
// the size comes from the layer's description.
class ImageDataRaw : public ImageData
{
public:
    explicit ImageDataRaw(const base::ImageInfo& info);

    BWResultEnum Open(base::Stream* stream, const wchar_t* extension) override;
    BWResultEnum Read(uint32_t pitch, uint32_t level, void* bits, HitMask* mask, uint32_t unused) override;

    const base::ImageInfo& GetInfo() const { return mInfo; }

private:
    base::ImageInfo mInfo;
    base::Stream* mStream;
};

} // namespace render
