#include "tests/Support/SoundFiles.h"
#include "tests/Support/TempFolder.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace testing_support
{
namespace
{

MemoryFile& File(void* user)
{
    return *static_cast<MemoryFile*>(user);
}

DWORD CALLBACK Read(void* buffer, DWORD length, void* user)
{
    MemoryFile& file = File(user);
    if (file.position + length > file.failReadsAt)
        return static_cast<DWORD>(-1);
    const uint64_t at = std::min<uint64_t>(file.position, file.bytes.size());
    const DWORD n = static_cast<DWORD>(std::min<uint64_t>(length, file.bytes.size() - at));
    std::copy_n(file.bytes.begin() + static_cast<long>(at), n, static_cast<uint8_t*>(buffer));
    file.position += n;
    return n;
}

BOOL CALLBACK Seek(QWORD offset, void* user)
{
    MemoryFile& file = File(user);
    file.seekPastEnd = file.seekPastEnd || offset > file.bytes.size();
    file.position = std::min<QWORD>(offset, file.bytes.size());
    return offset <= file.bytes.size();
}

} // namespace

const BASS_FILEPROCS MemoryFile::kProcs = {[](void* user) { ++File(user).closes; },
                                           [](void* user) -> QWORD { return File(user).bytes.size(); }, Read, Seek};

void UseAudioDriver(const char* name)
{
    // The driver is picked when SDL's audio starts.
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    setenv("SDL_AUDIODRIVER", name, 1);
}

std::vector<float> MakeSine(double frequency, uint32_t rate, uint32_t frames, float amplitude, uint32_t channels,
                            float channelScale)
{
    std::vector<float> out;
    for (uint32_t i = 0; i < frames; ++i)
    {
        const float v = static_cast<float>(amplitude * std::sin(2.0 * M_PI * frequency * i / rate));
        out.push_back(v);
        out.insert(out.end(), channels - 1, v * channelScale);
    }
    return out;
}

std::vector<uint8_t> FloatWav(const std::vector<float>& samples, uint32_t rate)
{
    const uint32_t bytes = static_cast<uint32_t>(samples.size() * 4);
    // RIFF, size, WAVE, "fmt ", 16, float tag and one channel, rate, bytes a
    // second, 4-byte frames of 32 bits, "data", size: little-endian words.
    const uint32_t header[] = {0x46464952, 36 + bytes, 0x45564157, 0x20746D66, 16,         0x00010003,
                               rate,       rate * 4,   0x00200004, 0x61746164, bytes};
    std::vector<uint8_t> out(sizeof(header) + bytes);
    std::memcpy(out.data(), header, sizeof(header));
    if (bytes)
        std::memcpy(out.data() + sizeof(header), samples.data(), bytes);
    return out;
}

std::vector<uint8_t> SoundFixture(const std::string& name)
{
    const std::string bytes = ReadFile(BW_SOURCE_DIR "/tests/Platform/Audio/fixtures/" + name);
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

} // namespace testing_support
