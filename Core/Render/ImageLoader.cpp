#include "Core/Render/ImageLoader.h"

#include "Core/Base/ImageInfo.h"
#include "Core/Render/ImageDataDDS.h"
#include "Core/Render/ImageDataDevil.h"
#include "Core/Render/ImageDataRaw.h"

#include <cwchar>
#include <new>

namespace render
{

namespace
{

// Only the three characters after the dot count, and only in lower case.
bool HasType(const wchar_t* extension, const wchar_t* type)
{
    return std::wcsncmp(extension + 1, type, 3) == 0;
}

} // namespace

ImageData* ImageLoader::CreateImageData(base::Stream* stream, const wchar_t* extension, const base::ImageInfo* layer)
{
    if (!extension)
        return nullptr;
    ImageData* data = nullptr;
    if (layer && layer->mRawPixels)
        data = new (std::nothrow) ImageDataRaw(*layer);
    else if (extension[0] != L'.')
        return nullptr;
    else if (HasType(extension, L"bmp") || HasType(extension, L"gif") || HasType(extension, L"jpg") ||
             HasType(extension, L"png") || HasType(extension, L"tga"))
        data = new (std::nothrow) ImageDataDevil;
    else if (HasType(extension, L"dds"))
        data = new (std::nothrow) ImageDataDDS;
    if (!data)
        return nullptr;
    // Data that cannot be opened is refused here, never read as something else.
    if (data->Open(stream, extension) != BW_OK)
    {
        delete data;
        return nullptr;
    }
    return data;
}

} // namespace render
