#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace render
{

// The file kinds DevIL decodes for us.
enum class ImageFileKind
{
    Gif,
    Jpg,
    Png,
};

// Pixels the engine decodes itself: RGBA bytes, rows from the top.
struct ImageFilePixels
{
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> rgba;
};

// A channel value of `bits` bits (1 to 8) on the full 0..255 scale: the
// bits repeated, so the largest value is 255 and not 248.
inline uint8_t ScaleChannel(uint32_t value, uint32_t bits)
{
    uint32_t scaled = 0;
    for (int shift = 8 - static_cast<int>(bits); shift > -static_cast<int>(bits); shift -= static_cast<int>(bits))
        scaled |= shift >= 0 ? value << shift : value >> -shift;
    return static_cast<uint8_t>(scaled);
}

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

    // How many leading bytes make a sound file: a GIF up to the end of its
    // first image (the caller closes it with a trailer), a PNG up to its end
    // chunk; 0 when the file is not sound.
    static size_t SoundLength(ImageFileKind kind, const uint8_t* data, size_t size);

    static size_t SoundLengthGif(const uint8_t* data, size_t size);
    static size_t SoundLengthJpg(const uint8_t* data, size_t size);
    static size_t SoundLengthPng(const uint8_t* data, size_t size);
};

} // namespace render
