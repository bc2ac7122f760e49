#include "Platform/Audio/OggDecoder.h"

#define OV_EXCLUDE_STATIC_CALLBACKS
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace audio
{

struct OggDecoder::State
{
    FileReader& reader;
    OggVorbis_File file{};
    bool open = false;

    explicit State(FileReader& r) : reader(r) {}
    ~State()
    {
        if (open)
            ov_clear(&file);
    }
};

namespace
{

size_t ReadCallback(void* buffer, size_t size, size_t count, void* source)
{
    FileReader& reader = *static_cast<FileReader*>(source);
    if (size == 0 || count == 0)
        return 0;
    const size_t bytes = count > UINT32_MAX / size ? UINT32_MAX / size * size : size * count;
    return reader.Read(buffer, static_cast<uint32_t>(bytes)) / size;
}

int SeekCallback(void* source, ogg_int64_t offset, int whence)
{
    FileReader& reader = *static_cast<FileReader*>(source);
    int64_t base = 0;
    if (whence == SEEK_CUR)
        base = static_cast<int64_t>(reader.Tell());
    else if (whence == SEEK_END)
        base = static_cast<int64_t>(reader.GetLength());
    else if (whence != SEEK_SET)
        return -1;
    if ((offset < 0 && -offset > base) || (offset > 0 && offset > INT64_MAX - base))
        return -1;
    return reader.SeekTo(static_cast<uint64_t>(base + offset)) ? 0 : -1;
}

long TellCallback(void* source)
{
    return static_cast<long>(static_cast<FileReader*>(source)->Tell());
}

} // namespace

OggDecoder::OggDecoder(FileReader& reader) : mState(new State(reader))
{
}

OggDecoder::~OggDecoder() = default;

std::unique_ptr<Decoder> OggDecoder::Open(FileReader& reader, int& error)
{
    std::unique_ptr<OggDecoder> decoder(new OggDecoder(reader));
    State& state = *decoder->mState;
    ov_callbacks callbacks = {ReadCallback, SeekCallback, nullptr, TellCallback};
    if (!reader.SeekTo(0) || ov_open_callbacks(&reader, &state.file, nullptr, 0, callbacks) != 0)
    {
        error = BASS_ERROR_FILEFORM;
        return nullptr;
    }
    state.open = true;

    const vorbis_info* info = ov_info(&state.file, -1);
    if (!info || info->channels < 1 || info->rate <= 0)
    {
        error = BASS_ERROR_FILEFORM;
        return nullptr;
    }
    if (info->channels > 2 || info->rate < static_cast<long>(kMinRate) || info->rate > static_cast<long>(kMaxRate))
    {
        error = BASS_ERROR_FORMAT;
        return nullptr;
    }
    decoder->mChannels = static_cast<uint32_t>(info->channels);
    decoder->mRate = static_cast<uint32_t>(info->rate);
    error = BASS_OK;
    return decoder;
}

uint32_t OggDecoder::Read(float* out, uint32_t frames)
{
    uint32_t done = 0;
    while (!mEnded && done < frames)
    {
        float** pcm = nullptr;
        int link = 0;
        const int want = static_cast<int>(std::min<uint32_t>(frames - done, 4096));
        const long got = ov_read_float(&mState->file, &pcm, want, &link);
        if (got == OV_HOLE)
            continue; // a gap in the data; decoding goes on after it
        if (got <= 0 || got > want)
        {
            mEnded = true; // the end, or data that cannot be decoded
            break;
        }
        const vorbis_info* info = ov_info(&mState->file, link);
        if (!info || static_cast<uint32_t>(info->channels) != mChannels || static_cast<uint32_t>(info->rate) != mRate)
        {
            mEnded = true;
            break;
        }
        float* dst = out + static_cast<size_t>(done) * mChannels;
        for (long i = 0; i < got; ++i)
            for (uint32_t c = 0; c < mChannels; ++c)
                *dst++ = pcm[c][i];
        done += static_cast<uint32_t>(got);
    }
    return done;
}

bool OggDecoder::Rewind()
{
    if (ov_pcm_seek(&mState->file, 0) != 0)
        return false;
    mEnded = false;
    return true;
}

} // namespace audio
