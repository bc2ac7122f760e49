#include "fuzz/Support/AudioStreamFuzzing.h"

// Ogg Vorbis files from outside, through libvorbisfile and our callbacks.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzAudioStream(data, size);
    return 0;
}
