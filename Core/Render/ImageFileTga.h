#pragma once

#include "Core/Render/ImageFileCheck.h"

namespace render
{

// TGA files decoded by the engine: colour-mapped (8-bit indices into a map of
// 15, 16, 24 or 32-bit entries), true colour of 15, 16, 24 or 32 bits and
// grey of 8 bits or 16 (grey and alpha), each plain or run-length coded.
// 16-bit colours carry their top bit as alpha when the header announces an
// alpha bit. Pixels after run-length data that ends early are transparent
// black.
class ImageFileTga
{
public:
    // False when the file is not a sound TGA.
    static bool Decode(const uint8_t* data, size_t size, ImageFilePixels* out);
};

} // namespace render
