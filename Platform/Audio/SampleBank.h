#pragma once

#include "Platform/Audio/Audio.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

namespace audio
{

class Mixer;

// A decoded sample: interleaved float frames in the file's rate and channels.
struct SamplePcm
{
    uint32_t rate = 0;
    uint32_t channels = 0;
    std::vector<float> frames;
};

// The samples of one output: each a whole decoded file, shared read-only by
// the mixer streams that play it (its channels). Main thread only; the
// channels themselves live in the mixer.
//
// Operations return a BASS_ERROR_* code (BASS_OK when done).
class SampleBank
{
public:
    // The longest sample taken, in seconds of its own rate.
    static const uint32_t kMaxSeconds = 60;
    static const DWORD kMaxChannels = 65535;

    explicit SampleBank(Mixer& mixer) : mMixer(mixer) {}
    // Frees every sample's channels.
    ~SampleBank();
    SampleBank(const SampleBank&) = delete;
    SampleBank& operator=(const SampleBank&) = delete;

    // Decodes bytes (a WAV or Ogg Vorbis file) into a new sample.
    int Load(const uint8_t* bytes, uint64_t size, DWORD max, DWORD flags, HSAMPLE* out);
    int Free(HSAMPLE handle);
    int GetChannel(HSAMPLE handle, bool onlyNew, HCHANNEL* out);
    // The count of the sample's channels, handles copied when out is given.
    int GetChannels(HSAMPLE handle, HCHANNEL* out, DWORD* count);

private:
    struct Sample
    {
        std::shared_ptr<const SamplePcm> pcm;
        DWORD max;
        DWORD flags;
        // Oldest first.
        std::vector<HCHANNEL> channels;
    };

    HCHANNEL NewChannel(const Sample& sample);

    Mixer& mMixer;
    std::map<HSAMPLE, Sample> mSamples;
    // Apart from the mixer's stream handles, so that a sample handle is
    // never taken for a channel.
    static std::atomic<DWORD> sNextHandle;
};

} // namespace audio
