#pragma once

#include "Platform/Audio/Decoder.h"

#include <memory>

namespace audio
{

// Ogg Vorbis through libvorbisfile, read through the file reader. A chained
// file plays on while its links keep the first link's rate and channels; a
// link that changes them, or data that cannot be decoded, ends the stream.
class OggDecoder : public Decoder
{
public:
    static std::unique_ptr<Decoder> Open(FileReader& reader, int& error);
    ~OggDecoder() override;

    uint32_t Read(float* out, uint32_t frames) override;
    bool Rewind() override;

private:
    struct State;

    explicit OggDecoder(FileReader& reader);

    std::unique_ptr<State> mState;
    bool mEnded = false;
};

} // namespace audio
