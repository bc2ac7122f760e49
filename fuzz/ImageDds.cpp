#include "Core/Base/MemoryStream.h"
#include "Core/Render/HitMask.h"
#include "Core/Render/ImageData.h"
#include "Core/Render/ImageDataDDS.h"
#include "Core/Render/ImageLoader.h"

#include <memory>
#include <vector>

// A DDS file opened and every level read into a buffer of exactly the
// level's size, as a device would lock it; a read past it is caught by ASan.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 0xFFFFFFFFu)
        return 0;
    base::MemoryStream stream(data, static_cast<uint32_t>(size));
    std::unique_ptr<render::ImageData> image(
        render::ImageLoader::Instance()->CreateImageData(&stream, L".dds", nullptr));
    auto* dds = dynamic_cast<render::ImageDataDDS*>(image.get());
    if (!dds)
        return 0;
    // The data holds every level, so the buffers are bounded by the input.
    render::HitMask mask;
    if (static_cast<uint64_t>(dds->GetWidth()) * static_cast<uint64_t>(dds->GetHeight()) > (1u << 26) ||
        !mask.Resize(static_cast<uint32_t>(dds->GetWidth()), static_cast<uint32_t>(dds->GetHeight())))
        return 0;
    for (uint32_t level = 0; level < dds->GetLevelCount(); ++level)
    {
        std::vector<uint8_t> bits(static_cast<size_t>(dds->GetLevelBytes(level)));
        dds->Read(static_cast<uint32_t>(dds->GetRowBytes(level)), level, bits.data(), level == 0 ? &mask : nullptr, 0);
    }
    return 0;
}
