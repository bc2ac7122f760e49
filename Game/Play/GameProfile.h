#pragma once

#include <string>

namespace file
{
class Profiles;
} // namespace file

namespace tinyxml2
{
class XMLElement;
} // namespace tinyxml2

// The per-player record: the "GameProfile" element inside the current
// "Profile" of the profile store. Every change is saved at once. Without a
// current profile the getters answer their defaults and the setters do nothing.
class GameProfile
{
public:
    explicit GameProfile(file::Profiles* profiles);

    // The current profile's record; created when create is set and it is missing.
    tinyxml2::XMLElement* GetElement(bool create);

    // Flags are "1" or "true" (base::ParseBool); missing values give the default.
    bool GetBool(const char* name, bool defaultValue);
    int GetInt(const char* name, int defaultValue);
    float GetFloat(const char* name, float defaultValue);
    std::wstring GetString(const char* name, const std::wstring& defaultValue);

    void SetBool(const char* name, bool value);
    void SetInt(const char* name, int value);
    void SetFloat(const char* name, float value);
    void SetString(const char* name, const std::wstring& value);

    // Window mode: only the exact text "1" means windowed.
    bool IsWindowed();
    void SetWindowed(bool windowed);
    float GetSoundsVolume();
    void SetSoundsVolume(float volume);
    float GetMusicVolume();
    void SetMusicVolume(float volume);

private:
    const char* GetText(const char* name);
    void SetText(const char* name, const char* text);

    file::Profiles* mProfiles;
};
