#pragma once

#include <cstddef>
#include <cstdint>

namespace render
{

// The file kinds DevIL decodes for us.
enum class ImageFileKind
{
    Bmp,
    Gif,
    Jpg,
    Png,
    Tga,
};

// A walk over an image file's structure before DevIL sees it. DevIL trusts
// what a file declares: sizes it allocates at once, offsets it reads at,
// frames it writes into a canvas, chunks it reads to their end. A file whose
// structure does not hold together, or that declares more pixels than any
// texture holds, is refused here.
class ImageFileCheck
{
public:
    // Widest and tallest image accepted; no texture is larger.
    static const uint32_t kMaxExtent = 8192;

    static bool IsSound(ImageFileKind kind, const uint8_t* data, size_t size);

    static bool IsSoundBmp(const uint8_t* data, size_t size);
    static bool IsSoundGif(const uint8_t* data, size_t size);
    static bool IsSoundJpg(const uint8_t* data, size_t size);
    static bool IsSoundPng(const uint8_t* data, size_t size);
    static bool IsSoundTga(const uint8_t* data, size_t size);
};

} // namespace render
