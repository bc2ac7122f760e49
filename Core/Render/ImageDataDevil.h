#pragma once

#include "Core/Render/ImageData.h"

#include <string>

namespace render
{

// BMP, GIF, JPEG, PNG and TGA images decoded by DevIL. The decoded image
// stays in the library between Open and Read; the library is initialised for
// as long as any such image is held.
class ImageDataDevil : public ImageData
{
public:
    ImageDataDevil();
    // Gives the library image back when Read never ran.
    ~ImageDataDevil() override;

    BWResultEnum Open(base::Stream* stream, const wchar_t* extension) override;
    BWResultEnum Read(uint32_t pitch, uint32_t level, void* bits, HitMask* mask, uint32_t unused) override;

    bool IsFlipped() const { return mFlip != 0; }
    // DevIL images this process holds now, for leak checks.
    static int GetLiveImageCount();

private:
    void DeleteImage();

    base::Stream* mStream;
    std::wstring mExtension;
    uint8_t mFlip;
    const uint8_t* mPixels;
    uint32_t mImageName;
    uint8_t mHoldsImage;
};

} // namespace render
