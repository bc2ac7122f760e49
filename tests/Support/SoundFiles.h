#pragma once

// Sound files for the audio tests (the fixtures are made by
// scripts/make-sound-fixtures.py), and a file behind the audio layer's
// user-file callbacks that counts what was asked of it.

#include "Platform/Audio/Audio.h"

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support
{

// frames frames of a sine, interleaved: channel 0 carries the sine, further
// channels the sine scaled by channelScale.
std::vector<float> MakeSine(double frequency, uint32_t rate, uint32_t frames, float amplitude, uint32_t channels = 1,
                            float channelScale = 1.0f);

// A mono 32-bit float WAVE file of the samples.
std::vector<uint8_t> FloatWav(const std::vector<float>& samples, uint32_t rate);

// The bytes of tests/Platform/Audio/fixtures/<name>.
std::vector<uint8_t> SoundFixture(const std::string& name);

// Makes the next audio initialisation use the SDL audio driver of that name
// ("dummy", or a missing one to see a machine without sound).
void UseAudioDriver(const char* name);

// In-memory file for BASS_StreamCreateFileUser.
struct MemoryFile
{
    std::vector<uint8_t> bytes;
    uint64_t position = 0;
    // A read that reaches this offset fails ((DWORD)-1); ~0 never.
    uint64_t failReadsAt = ~0ull;
    int closes = 0;
    bool seekPastEnd = false; // a seek asked for more than the length

    static const BASS_FILEPROCS kProcs;
};

} // namespace testing_support
