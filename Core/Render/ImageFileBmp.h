#pragma once

#include "Core/Render/ImageFileCheck.h"

namespace render
{

// BMP files decoded by the engine: core, V3, V4 and V5 headers; 1, 4 and
// 8-bit palettes, plain or run-length coded; 16 and 32 bits with or without
// bit-field masks; 24 bits. Channels narrower than 8 bits are scaled to the
// full range. Pixels that run-length data skips (delta jumps, lines or a file
// that end early) are transparent black.
class ImageFileBmp
{
public:
    // False when the file is not a sound BMP.
    static bool Decode(const uint8_t* data, size_t size, ImageFilePixels* out);
};

} // namespace render
