#pragma once

#include "Platform/Audio/FileReader.h"

#include <cstdint>
#include <memory>

namespace audio
{

// Turns a file into float frames, interleaved, in the file's own rate and
// one or two channels.
class Decoder
{
public:
    virtual ~Decoder();

    uint32_t GetRate() const { return mRate; }
    uint32_t GetChannels() const { return mChannels; }

    // Up to frames frames into out (frames * GetChannels() floats). Fewer
    // only at the end; 0 at the end or once the file turned out to be
    // broken.
    virtual uint32_t Read(float* out, uint32_t frames) = 0;
    // Back to the first frame; false when the file cannot go there.
    virtual bool Rewind() = 0;

    // Accepted rates; anything else is taken for a broken header.
    static const uint32_t kMinRate = 1000;
    static const uint32_t kMaxRate = 384000;

protected:
    uint32_t mRate = 0;
    uint32_t mChannels = 0;
};

// Picks the decoder by the file's first bytes ("OggS" or "RIFF....WAVE").
// The reader stays the caller's and must outlive the decoder. On failure
// returns null and sets error to a BASS_ERROR_* code.
std::unique_ptr<Decoder> OpenDecoder(FileReader& reader, int& error);

} // namespace audio
