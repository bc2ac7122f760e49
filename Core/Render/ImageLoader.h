#pragma once

#include "Core/Base/Singletone.h"

namespace base
{
class ImageInfo;
class Stream;
} // namespace base

namespace render
{

class ImageData;

// Picks the decoder for an image by its extension, or the raw reader for a
// layer that comes as raw pixels.
class ImageLoader : public base::Singletone<ImageLoader>
{
public:
    // An opened image-data object owned by the caller; null for no or an
    // unknown extension, and null when the data cannot be opened.
    ImageData* CreateImageData(base::Stream* stream, const wchar_t* extension, const base::ImageInfo* layer);
};

} // namespace render
