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
// texture holds, is refused here. Bytes after the end a format marks are
// not handed on: DevIL reads on past it.
class ImageFileCheck
{
public:
    // Widest and tallest image accepted; no texture is larger.
    static const uint32_t kMaxExtent = 8192;

    // How many leading bytes make a sound file (what follows a GIF's trailer
    // or a PNG's end chunk is left out); 0 when the file is not sound.
    static size_t SoundLength(ImageFileKind kind, const uint8_t* data, size_t size);

    static size_t SoundLengthBmp(const uint8_t* data, size_t size);
    static size_t SoundLengthGif(const uint8_t* data, size_t size);
    static size_t SoundLengthJpg(const uint8_t* data, size_t size);
    static size_t SoundLengthPng(const uint8_t* data, size_t size);
    static size_t SoundLengthTga(const uint8_t* data, size_t size);
};

} // namespace render
