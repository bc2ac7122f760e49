#include "Platform/Audio/SampleBank.h"

#include "Platform/Audio/Decoder.h"
#include "Platform/Audio/FileReader.h"
#include "Platform/Audio/Mixer.h"

#include <algorithm>
#include <cstring>

namespace audio
{
namespace
{

const uint32_t kDecodeFrames = 4096;
// Whatever the rate, a sample stays within 32 MiB of stereo frames.
const size_t kMaxFrames = size_t(1) << 22;

// The bytes of a sample file behind the file callbacks the decoders read.
struct MemoryFile
{
    const uint8_t* bytes;
    uint64_t size;
    uint64_t position;
};

QWORD CALLBACK MemoryLength(void* user)
{
    return static_cast<MemoryFile*>(user)->size;
}

DWORD CALLBACK MemoryRead(void* buffer, DWORD length, void* user)
{
    MemoryFile* file = static_cast<MemoryFile*>(user);
    const DWORD count = static_cast<DWORD>(std::min<uint64_t>(length, file->size - file->position));
    std::memcpy(buffer, file->bytes + file->position, count);
    file->position += count;
    return count;
}

BOOL CALLBACK MemorySeek(QWORD offset, void* user)
{
    MemoryFile* file = static_cast<MemoryFile*>(user);
    if (offset > file->size)
        return FALSE;
    file->position = offset;
    return TRUE;
}

const BASS_FILEPROCS kMemoryProcs = {nullptr, MemoryLength, MemoryRead, MemorySeek};

// A channel's decoder: the sample's frames from the start. The frames are
// shared with the other channels and never change.
class PcmDecoder : public Decoder
{
public:
    explicit PcmDecoder(std::shared_ptr<const SamplePcm> pcm) : mPcm(std::move(pcm))
    {
        mRate = mPcm->rate;
        mChannels = mPcm->channels;
    }

    uint32_t Read(float* out, uint32_t frames) override
    {
        const size_t total = mPcm->frames.size() / mChannels;
        const uint32_t count = static_cast<uint32_t>(std::min<size_t>(frames, total - mFrame));
        std::copy_n(mPcm->frames.begin() + static_cast<std::ptrdiff_t>(mFrame * mChannels),
                    static_cast<size_t>(count) * mChannels, out);
        mFrame += count;
        return count;
    }

    bool Rewind() override
    {
        mFrame = 0;
        return true;
    }

private:
    std::shared_ptr<const SamplePcm> mPcm;
    size_t mFrame = 0;
};

} // namespace

std::atomic<DWORD> SampleBank::sNextHandle{0x80000001u};

SampleBank::~SampleBank()
{
    for (auto& entry : mSamples)
        for (HCHANNEL channel : entry.second.channels)
            mMixer.Remove(channel);
}

int SampleBank::Load(const uint8_t* bytes, uint64_t size, DWORD max, DWORD flags, HSAMPLE* out)
{
    if (!bytes || max < 1 || max > kMaxChannels)
        return BASS_ERROR_ILLPARAM;
    MemoryFile file = {bytes, size, 0};
    FileReader reader(kMemoryProcs, &file);
    int error = BASS_OK;
    std::unique_ptr<Decoder> decoder = OpenDecoder(reader, error);
    if (!decoder)
        return error;

    auto pcm = std::make_shared<SamplePcm>();
    pcm->rate = decoder->GetRate();
    pcm->channels = decoder->GetChannels();
    const size_t limit = std::min<size_t>(static_cast<size_t>(kMaxSeconds) * pcm->rate, kMaxFrames);
    std::vector<float> block(static_cast<size_t>(kDecodeFrames) * pcm->channels);
    size_t frames = 0;
    while (uint32_t got = decoder->Read(block.data(), kDecodeFrames))
    {
        frames += got;
        if (frames > limit)
            return BASS_ERROR_MEM;
        pcm->frames.insert(pcm->frames.end(), block.begin(), block.begin() + static_cast<std::ptrdiff_t>(got) * pcm->channels);
    }
    if (frames == 0)
        return BASS_ERROR_FILEFORM;
    const HSAMPLE handle = sNextHandle++;
    mSamples[handle] = Sample{std::move(pcm), max, flags, {}};
    *out = handle;
    return BASS_OK;
}

int SampleBank::Free(HSAMPLE handle)
{
    auto it = mSamples.find(handle);
    if (it == mSamples.end())
        return BASS_ERROR_HANDLE;
    for (HCHANNEL channel : it->second.channels)
        mMixer.Remove(channel);
    mSamples.erase(it);
    return BASS_OK;
}

HCHANNEL SampleBank::NewChannel(const Sample& sample)
{
    return mMixer.AddStream(nullptr, std::unique_ptr<Decoder>(new PcmDecoder(sample.pcm)),
                            (sample.flags & BASS_SAMPLE_LOOP) != 0);
}

int SampleBank::GetChannel(HSAMPLE handle, bool onlyNew, HCHANNEL* out)
{
    auto it = mSamples.find(handle);
    if (it == mSamples.end())
        return BASS_ERROR_HANDLE;
    Sample& sample = it->second;
    // Channels that ended or were stopped make room.
    std::vector<HCHANNEL> playing;
    for (HCHANNEL channel : sample.channels)
    {
        if (mMixer.GetState(channel) == BASS_ACTIVE_STOPPED)
            mMixer.Remove(channel);
        else
            playing.push_back(channel);
    }
    sample.channels.swap(playing);
    if (sample.channels.size() >= sample.max)
    {
        if (onlyNew || !(sample.flags & BASS_SAMPLE_OVER_POS))
            return BASS_ERROR_NOCHAN;
        mMixer.Remove(sample.channels.front());
        sample.channels.erase(sample.channels.begin());
    }
    const HCHANNEL channel = NewChannel(sample);
    sample.channels.push_back(channel);
    *out = channel;
    return BASS_OK;
}

int SampleBank::GetChannels(HSAMPLE handle, HCHANNEL* out, DWORD* count)
{
    auto it = mSamples.find(handle);
    if (it == mSamples.end())
        return BASS_ERROR_HANDLE;
    const std::vector<HCHANNEL>& channels = it->second.channels;
    if (out)
        std::copy(channels.begin(), channels.end(), out);
    *count = static_cast<DWORD>(channels.size());
    return BASS_OK;
}

} // namespace audio
