#pragma once

#include "Core/Base/BWResult.h"
#include "Core/Base/NoCopy.h"

#include <cstdint>
#include <string>

class SoundSystem;

// One music file streamed by the sound system, read from its engine stream
// on the output thread as it plays. Made by SoundSystem::OpenMusic.
class MusicStream : private base::NoCopy
{
public:
    // Frees the audio stream, which closes the file.
    ~MusicStream();

    // From the current position, or from the start when restart is set or
    // the music had ended.
    BWResultEnum Play(bool restart = false);
    void Stop();
    // True while playing, also while the output is paused.
    bool IsPlaying() const;

    const std::wstring& GetPath() const { return mPath; }
    // The audio layer's handle; 0 once the sound system is gone.
    uint32_t GetHandle() const { return mHandle; }

private:
    friend class SoundSystem;
    MusicStream(SoundSystem* system, const std::wstring& path, uint32_t handle);
    void ApplyVolume(float volume);
    void Detach();

    SoundSystem* mSystem;
    std::wstring mPath;
    uint32_t mHandle;
};
