#pragma once

// Sound files made in memory for the audio tests, and a file behind the
// audio layer's user-file callbacks that counts what was asked of it.

#include "Platform/Audio/Audio.h"

#include <cstdint>
#include <vector>

namespace testing_support
{

// frames frames of a sine, interleaved: channel 0 carries the sine, further
// channels the sine scaled by channelScale.
std::vector<float> MakeSine(double frequency, uint32_t rate, uint32_t frames, float amplitude, uint32_t channels = 1,
                            float channelScale = 1.0f);

enum class WavSample { U8, S16, S24, S32, F32, S16Extensible };

// A RIFF WAVE file of the interleaved samples (clipped to -1..1 for the
// integer types). extraChunk, when given, is a whole chunk placed before
// "fmt ".
std::vector<uint8_t> MakeWav(const std::vector<float>& samples, uint32_t channels, uint32_t rate, WavSample type,
                             const std::vector<uint8_t>& extraChunk = {});

// An Ogg Vorbis file of the interleaved samples (variable bit rate).
std::vector<uint8_t> MakeOgg(const std::vector<float>& samples, uint32_t channels, uint32_t rate);

// Makes the next audio initialisation use the SDL audio driver of that name
// ("dummy", "disk", or a missing one to see a machine without sound).
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
