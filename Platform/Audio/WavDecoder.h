#pragma once

#include "Platform/Audio/Decoder.h"

#include <vector>

namespace audio
{

// RIFF WAVE: PCM of 8 (unsigned), 16, 24 or 32 bits, or 32-bit float, also
// in the extensible header; one or two channels. The "fmt " chunk must come
// before "data"; a data chunk longer than the file is cut to the file.
class WavDecoder : public Decoder
{
public:
    static std::unique_ptr<Decoder> Open(FileReader& reader, int& error);

    uint32_t Read(float* out, uint32_t frames) override;
    bool Rewind() override;

private:
    enum class SampleType
    {
        U8,
        S16,
        S24,
        S32,
        F32,
    };

    explicit WavDecoder(FileReader& reader) : mReader(reader) {}
    int ReadHeader();
    int ParseFormat(const uint8_t* fmt, uint32_t size);
    void Convert(const uint8_t* raw, float* out, uint32_t samples) const;

    FileReader& mReader;
    SampleType mType = SampleType::S16;
    uint32_t mBlockAlign = 0;
    uint64_t mDataStart = 0;
    uint64_t mDataSize = 0;
    uint64_t mDataRead = 0;
    std::vector<uint8_t> mRaw;
};

} // namespace audio
