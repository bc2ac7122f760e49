#pragma once

#include "Core/Base/Singletone.h"

#include <string>
#include <vector>

class MusicStream;

// The game's audio output: paused and resumed with the window's activation,
// and music streamed from the data files (the loose folder or the pack).
// Without a usable audio device the game goes on silently: everything works
// and nothing is heard.
class SoundSystem : public base::Singletone<SoundSystem>
{
public:
    SoundSystem();
    // Detaches the music streams still open, then frees the output.
    ~SoundSystem() override;

    // The resource manager, created when missing: the sound resources it
    // holds are freed after the output they play on is gone.
    std::vector<base::SingletoneBase*> GetDependencies() override;

    // False when no audio device could be opened.
    bool HasOutput() const { return mHasOutput; }

    // The whole output; streams keep their positions.
    void Pause();
    void Resume();
    bool IsPaused() const { return mPaused; }

    // Opens a music file through the file manager for streaming; the caller
    // owns the result. Null, with a log record, when the file is missing or
    // cannot be decoded.
    MusicStream* OpenMusic(const std::wstring& path, bool loop);

    // 0 to 1; applies to open music streams and to those opened later.
    void SetMusicVolume(float volume);
    float GetMusicVolume() const { return mMusicVolume; }

private:
    friend class MusicStream;
    void Forget(MusicStream* stream);

    bool mHasOutput = false;
    bool mPaused = false;
    float mMusicVolume = 1.0f;
    std::vector<MusicStream*> mMusic;
};
