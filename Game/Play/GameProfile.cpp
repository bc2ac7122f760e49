#include "Game/Play/GameProfile.h"

#include "Core/Base/ParseText.h"
#include "Core/Data/XmlText.h"
#include "Core/File/Profiles.h"

#include <cstdio>
#include <cstring>
#include <tinyxml2.h>

namespace
{

const float kDefaultVolume = 0.5f;

} // namespace

GameProfile::GameProfile(file::Profiles* profiles) : mProfiles(profiles)
{
}

tinyxml2::XMLElement* GameProfile::GetElement(bool create)
{
    tinyxml2::XMLElement* profile = mProfiles ? mProfiles->GetCurrentProfile() : nullptr;
    if (!profile)
        return nullptr;
    tinyxml2::XMLElement* record = profile->FirstChildElement("GameProfile");
    if (!record && create)
    {
        record = profile->GetDocument()->NewElement("GameProfile");
        profile->InsertEndChild(record);
    }
    return record;
}

const char* GameProfile::GetText(const char* name)
{
    tinyxml2::XMLElement* record = GetElement(false);
    const char* text = record ? record->Attribute(name) : nullptr;
    std::wstring decoded;
    return text && data::DecodeXmlText(text, &decoded) ? text : nullptr;
}

void GameProfile::SetText(const char* name, const char* text)
{
    tinyxml2::XMLElement* record = GetElement(true);
    if (!record)
        return;
    record->SetAttribute(name, text);
    mProfiles->Save();
}

bool GameProfile::GetBool(const char* name, bool defaultValue)
{
    const char* text = GetText(name);
    if (!text)
        return defaultValue;
    bool value = false;
    base::ParseBool(text, value);
    return value;
}

int GameProfile::GetInt(const char* name, int defaultValue)
{
    const char* text = GetText(name);
    return text ? base::ParseInt(text) : defaultValue;
}

float GameProfile::GetFloat(const char* name, float defaultValue)
{
    const char* text = GetText(name);
    return text ? static_cast<float>(base::ParseDouble(text)) : defaultValue;
}

std::wstring GameProfile::GetString(const char* name, const std::wstring& defaultValue)
{
    std::wstring value;
    const char* text = GetText(name);
    return text && data::DecodeXmlText(text, &value) ? value : defaultValue;
}

void GameProfile::SetBool(const char* name, bool value)
{
    SetText(name, value ? "1" : "0");
}

void GameProfile::SetInt(const char* name, int value)
{
    SetText(name, std::to_string(value).c_str());
}

void GameProfile::SetFloat(const char* name, float value)
{
    // Nine significant digits read back as the same float; data files use '.'.
    char text[32];
    std::snprintf(text, sizeof(text), "%.9g", static_cast<double>(value));
    if (char* comma = std::strchr(text, ','))
        *comma = '.';
    SetText(name, text);
}

void GameProfile::SetString(const char* name, const std::wstring& value)
{
    std::string text;
    if (data::EncodeXmlText(value, &text))
        SetText(name, text.c_str());
}

bool GameProfile::IsWindowed()
{
    const char* text = GetText("is_windowed");
    return text && std::strcmp(text, "1") == 0;
}

void GameProfile::SetWindowed(bool windowed)
{
    SetBool("is_windowed", windowed);
}

float GameProfile::GetSoundsVolume()
{
    return GetFloat("sounds_volume", kDefaultVolume);
}

void GameProfile::SetSoundsVolume(float volume)
{
    SetFloat("sounds_volume", volume);
}

float GameProfile::GetMusicVolume()
{
    return GetFloat("music_volume", kDefaultVolume);
}

void GameProfile::SetMusicVolume(float volume)
{
    SetFloat("music_volume", volume);
}
