#pragma once

#include "Core/Render/ImageData.h"

#include <string>
#include <vector>

namespace render
{

// GIF, JPEG and PNG images decoded by DevIL, BMP and TGA images decoded by
// the engine (DevIL leaves pixels of some of their forms unwritten and reads
// others wrongly). A DevIL image stays in the library between Open and Read;
// the library is initialised for as long as any such image is held.
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
    // Blocks the library allocates from now on are filled with byte (-1:
    // left as they come), so tests can show that no pixel comes from memory
    // the file did not write.
    static void FillLibraryBlocks(int byte);

private:
    BWResultEnum OpenDecoded(bool bmp, const std::vector<uint8_t>& file);
    void DeleteImage();

    base::Stream* mStream;
    std::wstring mExtension;
    uint8_t mFlip;
    const uint8_t* mPixels;
    uint32_t mImageName;
    uint8_t mHoldsImage;
    std::vector<uint8_t> mDecoded; // RGBA rows of a BMP or TGA, from the top
};

} // namespace render
