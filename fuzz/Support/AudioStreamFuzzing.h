#pragma once

#include <cstddef>
#include <cstdint>

// Opens the bytes as a stream on the no-sound output, plays a bounded
// stretch of it (with one restart) and frees it. Aborts when a sample leaves
// -1..1, when the file is not closed exactly once, or when a callback is
// asked for an offset past the end.
void FuzzAudioStream(const uint8_t* data, size_t size);
