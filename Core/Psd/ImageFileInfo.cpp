#include "Core/Psd/ImageFileInfo.h"

#include "Core/Psd/ImageContainer.h"

namespace file
{

ImageFileInfo::ImageFileInfo(const std::wstring& name, const std::wstring& fullPath, ImageContainer* container,
                             uint8_t flag, const base::ImageInfo& layer)
    : FileInfo(name, fullPath, container, flag), base::ImageInfo(layer)
{
}

ImageFileInfo::~ImageFileInfo() = default;

} // namespace file
