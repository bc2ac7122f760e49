#include "Platform/Audio/WavDecoder.h"

#include <algorithm>
#include <cstring>

namespace audio
{
namespace
{

const uint16_t kFormatPcm = 1;
const uint16_t kFormatFloat = 3;
const uint16_t kFormatExtensible = 0xFFFE;
const uint32_t kChunkFrames = 4096;

uint16_t U16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

uint32_t U32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

} // namespace

std::unique_ptr<Decoder> WavDecoder::Open(FileReader& reader, int& error)
{
    std::unique_ptr<WavDecoder> decoder(new WavDecoder(reader));
    error = decoder->ReadHeader();
    if (error != BASS_OK)
        return nullptr;
    return decoder;
}

int WavDecoder::ReadHeader()
{
    uint8_t header[12];
    if (!mReader.SeekTo(0) || !mReader.ReadExact(header, sizeof(header)))
        return BASS_ERROR_FILEFORM;

    bool haveFormat = false;
    for (;;)
    {
        uint8_t chunk[8];
        if (!mReader.ReadExact(chunk, sizeof(chunk)))
            return BASS_ERROR_FILEFORM; // ran out before the data chunk
        const uint32_t size = U32(chunk + 4);
        const uint64_t body = mReader.Tell();

        if (std::memcmp(chunk, "fmt ", 4) == 0)
        {
            uint8_t fmt[40] = {};
            const uint32_t want = std::min<uint32_t>(size, sizeof(fmt));
            if (!mReader.ReadExact(fmt, want))
                return BASS_ERROR_FILEFORM;
            int result = ParseFormat(fmt, size);
            if (result != BASS_OK)
                return result;
            haveFormat = true;
        }
        else if (std::memcmp(chunk, "data", 4) == 0)
        {
            if (!haveFormat)
                return BASS_ERROR_FILEFORM;
            mDataStart = body;
            mDataSize = std::min<uint64_t>(size, mReader.GetLength() - body);
            mDataSize -= mDataSize % mBlockAlign;
            return BASS_OK;
        }

        // Chunks are padded to an even size.
        if (!mReader.SeekTo(body + size + (size & 1)))
            return BASS_ERROR_FILEFORM;
    }
}

int WavDecoder::ParseFormat(const uint8_t* fmt, uint32_t size)
{
    if (size < 16)
        return BASS_ERROR_FILEFORM;
    uint16_t tag = U16(fmt);
    const uint16_t channels = U16(fmt + 2);
    const uint32_t rate = U32(fmt + 4);
    const uint16_t blockAlign = U16(fmt + 12);
    const uint16_t bits = U16(fmt + 14);
    if (tag == kFormatExtensible)
    {
        if (size < 40)
            return BASS_ERROR_FILEFORM;
        tag = U16(fmt + 24); // the sub-format's leading word is the plain tag
    }

    if (channels == 0 || rate == 0 || bits == 0)
        return BASS_ERROR_FILEFORM;
    if (channels > 2 || rate < kMinRate || rate > kMaxRate)
        return BASS_ERROR_FORMAT;
    if (tag == kFormatPcm && bits == 8)
        mType = SampleType::U8;
    else if (tag == kFormatPcm && bits == 16)
        mType = SampleType::S16;
    else if (tag == kFormatPcm && bits == 24)
        mType = SampleType::S24;
    else if (tag == kFormatPcm && bits == 32)
        mType = SampleType::S32;
    else if (tag == kFormatFloat && bits == 32)
        mType = SampleType::F32;
    else
        return BASS_ERROR_FORMAT;
    if (blockAlign != channels * (bits / 8))
        return BASS_ERROR_FILEFORM;

    mChannels = channels;
    mRate = rate;
    mBlockAlign = blockAlign;
    return BASS_OK;
}

uint32_t WavDecoder::Read(float* out, uint32_t frames)
{
    uint32_t done = 0;
    while (done < frames && mDataRead < mDataSize)
    {
        const uint64_t left = (mDataSize - mDataRead) / mBlockAlign;
        const uint32_t chunk = static_cast<uint32_t>(std::min<uint64_t>({frames - done, kChunkFrames, left}));
        mRaw.resize(static_cast<size_t>(chunk) * mBlockAlign);
        const uint32_t bytes = mReader.Read(mRaw.data(), static_cast<uint32_t>(mRaw.size()));
        const uint32_t whole = bytes / mBlockAlign;
        Convert(mRaw.data(), out + static_cast<size_t>(done) * mChannels, whole * mChannels);
        done += whole;
        mDataRead += static_cast<uint64_t>(whole) * mBlockAlign;
        if (bytes != mRaw.size())
            mDataSize = mDataRead; // the file ended early or failed: that is the end
    }
    return done;
}

bool WavDecoder::Rewind()
{
    if (!mReader.SeekTo(mDataStart))
        return false;
    mDataRead = 0;
    return true;
}

void WavDecoder::Convert(const uint8_t* raw, float* out, uint32_t samples) const
{
    for (uint32_t i = 0; i < samples; ++i)
    {
        switch (mType)
        {
        case SampleType::U8:
            out[i] = (static_cast<int>(raw[i]) - 128) / 128.0f;
            break;
        case SampleType::S16:
            out[i] = static_cast<int16_t>(U16(raw + 2 * i)) / 32768.0f;
            break;
        case SampleType::S24:
        {
            const uint8_t* p = raw + 3 * i;
            // Shift into the top of a 32-bit word so the sign comes along.
            int32_t v = static_cast<int32_t>(static_cast<uint32_t>(p[0]) << 8 | static_cast<uint32_t>(p[1]) << 16 |
                                             static_cast<uint32_t>(p[2]) << 24);
            out[i] = static_cast<float>(v / 256) / 8388608.0f;
            break;
        }
        case SampleType::S32:
            out[i] = static_cast<float>(static_cast<int32_t>(U32(raw + 4 * i)) / 2147483648.0);
            break;
        case SampleType::F32:
        {
            uint32_t bits = U32(raw + 4 * i);
            float v;
            std::memcpy(&v, &bits, sizeof(v));
            out[i] = v; // not-a-number and overloud values are tamed by the mixer
            break;
        }
        }
    }
}

} // namespace audio
