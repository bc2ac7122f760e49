#include "Core/Base/MemoryStream.h"
#include "Core/Render/HitMask.h"
#include "Core/Render/ImageData.h"
#include "Core/Render/ImageLoader.h"

#include <memory>
#include <vector>

// BMP, GIF, JPEG, PNG and TGA images through the engine's loader (DevIL, or
// the engine's own BMP and TGA decoders): the first byte picks the extension,
// the rest is the file. A decoded image is read into a buffer of exactly its
// size.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const wchar_t* const kExtensions[] = {L".bmp", L".gif", L".jpg", L".png", L".tga"};
    if (size < 1 || size > 0xFFFFFFFFu)
        return 0;
    const wchar_t* extension = kExtensions[data[0] % 5];
    base::MemoryStream stream(data + 1, static_cast<uint32_t>(size - 1));
    std::unique_ptr<render::ImageData> image(
        render::ImageLoader::Instance()->CreateImageData(&stream, extension, nullptr));
    if (!image)
        return 0;
    const uint64_t pixels = static_cast<uint64_t>(image->GetWidth()) * static_cast<uint64_t>(image->GetHeight());
    render::HitMask mask;
    if (pixels > (1u << 24) ||
        !mask.Resize(static_cast<uint32_t>(image->GetWidth()), static_cast<uint32_t>(image->GetHeight())))
        return 0;
    std::vector<uint32_t> bits(static_cast<size_t>(pixels));
    image->Read(static_cast<uint32_t>(image->GetWidth()) * 4, 0, bits.data(), &mask, 0);
    return 0;
}
