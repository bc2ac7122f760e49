#pragma once

#include "Core/Base/ImageInfo.h"
#include "Core/File/FileInfo.h"

namespace file
{

class ImageContainer;

// One layer described as a file of its image container: opening it opens the
// layer's stream, and the image part is a copy of the layer.
class ImageFileInfo : public FileInfo, public base::ImageInfo
{
public:
    ImageFileInfo(const std::wstring& name, const std::wstring& fullPath, ImageContainer* container, uint8_t flag,
                  const base::ImageInfo& layer);
    ~ImageFileInfo() override;
};

} // namespace file
