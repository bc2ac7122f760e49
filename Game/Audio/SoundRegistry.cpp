#include "Game/Audio/SoundRegistry.h"

#include "Core/Base/Log.h"
#include "Core/Base/Stream.h"
#include "Core/File/FileInfo.h"
#include "Core/File/FileManager.h"
#include "Game/Audio/SoundsIni.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

const wchar_t* const SoundRegistry::kPath = L"data/sounds.ini";
const wchar_t* const SoundRegistry::kFolder = L"data/sound/";

namespace
{

// The whole file through the file manager (the loose folder or the pack);
// false when it is missing, unreadable or larger than limit.
bool ReadWholeFile(const std::wstring& path, uint32_t limit, std::vector<uint8_t>* bytes, const wchar_t** why)
{
    file::FileManager* files = file::FileManager::Instance();
    std::unique_ptr<file::FileInfo> info(files ? files->GetFileInfo(path) : nullptr);
    if (!info)
    {
        *why = L"is missing";
        return false;
    }
    std::unique_ptr<base::Stream> stream(info->Open());
    if (!stream)
    {
        *why = L"cannot be opened";
        return false;
    }
    const uint32_t size = stream->GetSize();
    if (size > limit)
    {
        *why = L"is too large";
        return false;
    }
    bytes->resize(size);
    if (size != 0 && stream->Read(bytes->data(), size) != size)
    {
        *why = L"cannot be read";
        return false;
    }
    return true;
}

} // namespace

SoundRegistry::~SoundRegistry()
{
    Clear();
}

void SoundRegistry::Clear()
{
    for (auto& entry : mSounds)
        BASS_SampleFree(entry.second.sample);
    mSounds.clear();
}

BWResultEnum SoundRegistry::Load(const std::wstring& path)
{
    Clear();
    std::vector<uint8_t> bytes;
    const wchar_t* why = L"";
    if (!ReadWholeFile(path, SoundsIni::kMaxFileSize, &bytes, &why))
    {
        BW_LOG(L"The sounds file '%s' %s.\n") % path % why;
        return BW_FAIL;
    }
    SoundsIni ini;
    if (!ini.Parse(std::string(bytes.begin(), bytes.end()), path))
    {
        BW_LOG(L"The sounds file '%s' is refused.\n") % path;
        return BW_FAIL;
    }
    for (const SoundsIni::Entry& entry : ini.GetEntries())
    {
        HSAMPLE sample = 0;
        const std::wstring file = kFolder + std::wstring(entry.file.begin(), entry.file.end());
        if (LoadSample(file, entry.channels, &sample))
        {
            BW_LOG(L"The sound '%s' of '%s' (line %d) cannot be loaded.\n")
                % std::wstring(entry.name.begin(), entry.name.end()) % path % entry.line;
            Clear();
            return BW_FAIL;
        }
        mSounds[entry.name] = Sound{sample, entry.cooldown, 0.0f};
    }
    return BW_OK;
}

BWResultEnum SoundRegistry::LoadSample(const std::wstring& path, uint32_t channels, HSAMPLE* out)
{
    std::vector<uint8_t> bytes;
    const wchar_t* why = L"";
    if (!ReadWholeFile(path, kMaxFileSize, &bytes, &why))
    {
        BW_LOG(L"The sound file '%s' %s.\n") % path % why;
        return BW_FAIL;
    }
    *out = bytes.empty() ? 0 : BASS_SampleLoad(TRUE, bytes.data(), 0, static_cast<DWORD>(bytes.size()), channels,
                                              BASS_SAMPLE_OVER_POS);
    if (!*out)
    {
        BW_LOG(L"The sound file '%s' cannot be decoded (audio error %d).\n") % path
            % static_cast<uint32_t>(BASS_ErrorGetCode());
        return BW_FAIL;
    }
    return BW_OK;
}

bool SoundRegistry::Play(const std::string& name)
{
    auto it = mSounds.find(name);
    if (it == mSounds.end() || it->second.rest > 0.0f)
        return false;
    const HCHANNEL channel = BASS_SampleGetChannel(it->second.sample, FALSE);
    if (!channel)
        return false;
    BASS_ChannelSetAttribute(channel, BASS_ATTRIB_VOL, mVolume);
    if (!BASS_ChannelPlay(channel, FALSE))
        return false;
    it->second.rest = it->second.cooldown;
    return true;
}

void SoundRegistry::Tick(float dt)
{
    if (!(dt > 0.0f))
        return;
    for (auto& entry : mSounds)
        entry.second.rest = std::max(0.0f, entry.second.rest - dt);
}

void SoundRegistry::SetVolume(float volume)
{
    if (!std::isnan(volume))
        mVolume = std::clamp(volume, 0.0f, 1.0f);
}

HSAMPLE SoundRegistry::GetSample(const std::string& name) const
{
    auto it = mSounds.find(name);
    return it == mSounds.end() ? 0 : it->second.sample;
}

float SoundRegistry::GetRest(const std::string& name) const
{
    auto it = mSounds.find(name);
    return it == mSounds.end() ? 0.0f : it->second.rest;
}
