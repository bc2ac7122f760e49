#include "Platform/Audio/Mixer.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace audio
{
namespace
{

const uint32_t kDecodeFrames = 1024;

} // namespace

class Mixer::Stream
{
public:
    Stream(std::unique_ptr<FileReader> reader, std::unique_ptr<Decoder> decoder, bool loop, uint32_t outputRate)
        : mReader(std::move(reader))
        , mDecoder(std::move(decoder))
        , mLoop(loop)
        , mStep(static_cast<double>(mDecoder->GetRate()) / outputRate)
        , mBuffer(static_cast<size_t>(kDecodeFrames) * mDecoder->GetChannels())
    {
    }

    bool Rewind()
    {
        mBufferFrames = 0;
        mBufferPos = 0;
        mPrimed = false;
        mEnded = false;
        return mDecoder->Rewind();
    }

    // Adds up to frames frames into out; fewer when the stream ends.
    uint32_t Render(float* out, uint32_t frames)
    {
        if (!mPrimed)
        {
            if (!NextFrame(mCurrent))
            {
                mEnded = true;
                return 0;
            }
            mHaveNext = NextFrame(mNext);
            mFraction = 0.0;
            mPrimed = true;
        }
        for (uint32_t i = 0; i < frames; ++i)
        {
            const float t = static_cast<float>(mFraction);
            out[2 * i] += (mCurrent[0] + (mNext[0] - mCurrent[0]) * t) * mVolume;
            out[2 * i + 1] += (mCurrent[1] + (mNext[1] - mCurrent[1]) * t) * mVolume;
            mFraction += mStep;
            while (mFraction >= 1.0)
            {
                mFraction -= 1.0;
                if (!mHaveNext)
                {
                    mEnded = true;
                    return i + 1;
                }
                mCurrent[0] = mNext[0];
                mCurrent[1] = mNext[1];
                mHaveNext = NextFrame(mNext);
            }
        }
        return frames;
    }

    bool mPlaying = false;
    bool mEnded = false;
    float mVolume = 1.0f;

private:
    // The next source frame in two channels; false at the end. A looping
    // stream starts again, unless even the start has nothing to give.
    bool NextFrame(float* frame)
    {
        if (mBufferPos == mBufferFrames && !Refill())
        {
            frame[0] = mCurrent[0]; // hold the last frame while it fades out
            frame[1] = mCurrent[1];
            return false;
        }
        const float* src = &mBuffer[static_cast<size_t>(mBufferPos) * mDecoder->GetChannels()];
        frame[0] = src[0];
        frame[1] = mDecoder->GetChannels() == 2 ? src[1] : src[0];
        ++mBufferPos;
        return true;
    }

    bool Refill()
    {
        mBufferPos = 0;
        mBufferFrames = mDecoder->Read(mBuffer.data(), kDecodeFrames);
        if (mBufferFrames == 0 && mLoop && mDecoder->Rewind())
            mBufferFrames = mDecoder->Read(mBuffer.data(), kDecodeFrames);
        return mBufferFrames != 0;
    }

    // The reader goes last: the decoder reads through it until its end.
    std::unique_ptr<FileReader> mReader;
    std::unique_ptr<Decoder> mDecoder;
    const bool mLoop;
    const double mStep; // source frames per output frame
    std::vector<float> mBuffer;
    uint32_t mBufferFrames = 0;
    uint32_t mBufferPos = 0;
    bool mPrimed = false;
    bool mHaveNext = false;
    double mFraction = 0.0;
    float mCurrent[2] = {0.0f, 0.0f};
    float mNext[2] = {0.0f, 0.0f};
};

std::atomic<DWORD> Mixer::sNextHandle{1};

Mixer::Mixer(uint32_t rate) : mRate(rate)
{
}

Mixer::~Mixer()
{
    RemoveAll();
}

DWORD Mixer::AddStream(std::unique_ptr<FileReader> reader, std::unique_ptr<Decoder> decoder, bool loop)
{
    std::unique_ptr<Stream> stream(new Stream(std::move(reader), std::move(decoder), loop, mRate));
    std::lock_guard<std::mutex> lock(mMutex);
    DWORD handle = sNextHandle++;
    mStreams[handle] = std::move(stream);
    return handle;
}

int Mixer::Remove(DWORD handle)
{
    std::unique_ptr<Stream> gone;
    {
        std::lock_guard<std::mutex> lock(mMutex);
        auto it = mStreams.find(handle);
        if (it == mStreams.end())
            return BASS_ERROR_HANDLE;
        gone = std::move(it->second);
        mStreams.erase(it);
    }
    return BASS_OK;
}

void Mixer::RemoveAll()
{
    std::map<DWORD, std::unique_ptr<Stream>> gone;
    {
        std::lock_guard<std::mutex> lock(mMutex);
        gone.swap(mStreams);
    }
}

Mixer::Stream* Mixer::Find(DWORD handle)
{
    auto it = mStreams.find(handle);
    return it == mStreams.end() ? nullptr : it->second.get();
}

int Mixer::Play(DWORD handle, bool restart)
{
    std::lock_guard<std::mutex> lock(mMutex);
    Stream* stream = Find(handle);
    if (!stream)
        return BASS_ERROR_HANDLE;
    if ((restart || stream->mEnded) && !stream->Rewind())
        return BASS_ERROR_FILEOPEN;
    stream->mPlaying = true;
    return BASS_OK;
}

int Mixer::Stop(DWORD handle)
{
    std::lock_guard<std::mutex> lock(mMutex);
    Stream* stream = Find(handle);
    if (!stream)
        return BASS_ERROR_HANDLE;
    stream->mPlaying = false;
    return BASS_OK;
}

DWORD Mixer::GetState(DWORD handle)
{
    std::lock_guard<std::mutex> lock(mMutex);
    Stream* stream = Find(handle);
    if (!stream || !stream->mPlaying)
        return BASS_ACTIVE_STOPPED;
    return mPaused ? BASS_ACTIVE_PAUSED_DEVICE : BASS_ACTIVE_PLAYING;
}

bool Mixer::IsLive(DWORD handle)
{
    std::lock_guard<std::mutex> lock(mMutex);
    return Find(handle) != nullptr;
}

int Mixer::SetVolume(DWORD handle, float volume)
{
    if (std::isnan(volume))
        return BASS_ERROR_ILLPARAM;
    std::lock_guard<std::mutex> lock(mMutex);
    Stream* stream = Find(handle);
    if (!stream)
        return BASS_ERROR_HANDLE;
    stream->mVolume = std::clamp(volume, 0.0f, 1.0f);
    return BASS_OK;
}

int Mixer::GetVolume(DWORD handle, float& volume)
{
    std::lock_guard<std::mutex> lock(mMutex);
    Stream* stream = Find(handle);
    if (!stream)
        return BASS_ERROR_HANDLE;
    volume = stream->mVolume;
    return BASS_OK;
}

void Mixer::SetPaused(bool paused)
{
    std::lock_guard<std::mutex> lock(mMutex);
    mPaused = paused;
}

bool Mixer::IsPaused()
{
    std::lock_guard<std::mutex> lock(mMutex);
    return mPaused;
}

void Mixer::Mix(float* out, uint32_t frames)
{
    std::fill(out, out + static_cast<size_t>(frames) * kOutputChannels, 0.0f);
    std::lock_guard<std::mutex> lock(mMutex);
    if (mPaused)
        return;
    for (auto& entry : mStreams)
    {
        Stream& stream = *entry.second;
        if (!stream.mPlaying)
            continue;
        stream.Render(out, frames);
        if (stream.mEnded)
            stream.mPlaying = false;
    }
    // Broken files may carry not-a-number or huge samples; the device gets
    // neither.
    for (size_t i = 0; i < static_cast<size_t>(frames) * kOutputChannels; ++i)
    {
        float v = out[i];
        out[i] = std::isnan(v) ? 0.0f : std::clamp(v, -1.0f, 1.0f);
    }
}

} // namespace audio
