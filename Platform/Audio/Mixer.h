#pragma once

#include "Platform/Audio/Decoder.h"
#include "Platform/Audio/FileReader.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

namespace audio
{

// The software mixer behind the output: live streams by handle, each
// decoded, converted to the output rate (linear interpolation) and to two
// channels, scaled by its volume and added up. The output thread pulls with
// Mix; everything else comes from the main thread. One lock guards it all, so
// a stream's file callbacks run on one thread at a time.
//
// Operations that name a handle return a BASS_ERROR_* code (BASS_OK when
// done).
class Mixer
{
public:
    static const uint32_t kOutputChannels = 2;

    explicit Mixer(uint32_t rate);
    // Frees every stream.
    ~Mixer();
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;

    uint32_t GetRate() const { return mRate; }

    // A new stopped stream; the handle is never 0 and never handed out twice
    // in the process, not even by another mixer after a re-initialisation.
    DWORD AddStream(std::unique_ptr<FileReader> reader, std::unique_ptr<Decoder> decoder, bool loop);
    // The stream is destroyed (closing its file) outside the lock.
    int Remove(DWORD handle);
    void RemoveAll();

    // From the start when restart is set or the stream had ended.
    int Play(DWORD handle, bool restart);
    int Stop(DWORD handle);
    // BASS_ACTIVE_*; BASS_ACTIVE_STOPPED for an unknown handle.
    DWORD GetState(DWORD handle);
    bool IsLive(DWORD handle);
    int SetVolume(DWORD handle, float volume);
    int GetVolume(DWORD handle, float& volume);

    // While paused, Mix gives silence and no stream moves on.
    void SetPaused(bool paused);
    bool IsPaused();

    // Fills frames interleaved stereo frames, every sample within -1 to 1.
    void Mix(float* out, uint32_t frames);

private:
    class Stream;

    Stream* Find(DWORD handle);

    const uint32_t mRate;
    std::mutex mMutex;
    std::map<DWORD, std::unique_ptr<Stream>> mStreams;
    bool mPaused = false;
    static std::atomic<DWORD> sNextHandle;
};

} // namespace audio
