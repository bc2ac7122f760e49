#pragma once

// The game's sound effects by name: read from "data/sounds.ini" (its format
// is described in SoundsIni.h), each file of "data/sound/" loaded as an
// audio sample. An effect plays at the sound-effects volume and then rests
// for its cooldown, so that a burst of the same event sounds once; the game
// ticks the cooldowns while it runs.

#include "Core/Base/BWResult.h"
#include "Platform/Audio/Audio.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class SoundRegistry
{
public:
    static const wchar_t* const kPath;
    static const wchar_t* const kFolder;
    // The largest sound file taken.
    static const uint32_t kMaxFileSize = 4 * 1024 * 1024;

    SoundRegistry() = default;
    // Frees the samples.
    ~SoundRegistry();
    SoundRegistry(const SoundRegistry&) = delete;
    SoundRegistry& operator=(const SoundRegistry&) = delete;

    // Replaces the effects with those of the file. 1, with a log record
    // naming the file, when it or one of its sound files is missing or bad;
    // nothing is kept then. The audio output must be initialised.
    BWResultEnum Load(const std::wstring& path = kPath);
    void Clear();

    // False when the name is unknown, the effect is resting or none of its
    // channels is free.
    bool Play(const std::string& name);
    // Seconds pass for every resting effect.
    void Tick(float dt);

    // 0 to 1, for the effects played from now on.
    void SetVolume(float volume);
    float GetVolume() const { return mVolume; }

    bool Has(const std::string& name) const { return mSounds.count(name) != 0; }
    // The effect's audio sample; 0 for an unknown name.
    HSAMPLE GetSample(const std::string& name) const;
    // Seconds until the effect may play again.
    float GetRest(const std::string& name) const;

private:
    struct Sound
    {
        HSAMPLE sample;
        float cooldown;
        float rest;
    };

    BWResultEnum LoadSample(const std::wstring& path, uint32_t channels, HSAMPLE* out);

    std::map<std::string, Sound> mSounds;
    float mVolume = 1.0f;
};
