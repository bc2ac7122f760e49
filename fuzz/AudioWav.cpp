#include "fuzz/Support/AudioStreamFuzzing.h"

#include <cstring>
#include <vector>

// WAV headers and data from outside: the "RIFF....WAVE" opening is supplied,
// so every input reaches the chunk reader.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> file(12);
    std::memcpy(file.data(), "RIFF\0\0\0\0WAVE", 12);
    if (size >= 12 && std::memcmp(data, "RIFF", 4) == 0 && std::memcmp(data + 8, "WAVE", 4) == 0)
        file.clear(); // a whole file from the corpus
    file.insert(file.end(), data, data + size);
    FuzzAudioStream(file.data(), file.size());
    return 0;
}
