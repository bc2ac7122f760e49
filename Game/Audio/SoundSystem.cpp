#include "Game/Audio/SoundSystem.h"

#include "Core/Base/Log.h"
#include "Core/Base/Stream.h"
#include "Core/File/FileInfo.h"
#include "Core/File/FileManager.h"
#include "Core/Resource/ResourceManager.h"
#include "Game/Audio/MusicStream.h"
#include "Platform/Audio/Audio.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>

namespace
{

const DWORD kOutputRate = 44100;

// A music file's engine stream, handed to the audio layer, which reads it on
// the output thread and deletes it through the close callback.
void CALLBACK CloseMusicFile(void* user)
{
    delete static_cast<base::Stream*>(user);
}

QWORD CALLBACK MusicFileLength(void* user)
{
    return static_cast<base::Stream*>(user)->GetSize();
}

DWORD CALLBACK ReadMusicFile(void* buffer, DWORD length, void* user)
{
    return static_cast<base::Stream*>(user)->Read(buffer, length);
}

BOOL CALLBACK SeekMusicFile(QWORD offset, void* user)
{
    if (offset > INT32_MAX)
        return FALSE;
    base::Stream* stream = static_cast<base::Stream*>(user);
    return stream->Seek(static_cast<int32_t>(offset), 0) == offset ? TRUE : FALSE;
}

const BASS_FILEPROCS kMusicFileProcs = {CloseMusicFile, MusicFileLength, ReadMusicFile, SeekMusicFile};

} // namespace

SoundSystem::SoundSystem()
{
    mHasOutput = BASS_Init(-1, kOutputRate, 0, nullptr, nullptr) != FALSE;
    if (!mHasOutput)
    {
        BW_LOG(L"No audio output (audio error %d): the game runs without sound.\n")
            % static_cast<uint32_t>(BASS_ErrorGetCode());
        // The no-sound device keeps every later audio call working.
        BASS_Init(0, kOutputRate, 0, nullptr, nullptr);
    }
}

SoundSystem::~SoundSystem()
{
    for (MusicStream* music : mMusic)
        music->Detach();
    mMusic.clear();
    BASS_Free();
}

std::vector<base::SingletoneBase*> SoundSystem::GetDependencies()
{
    base::SingletoneBase* resources = resource::ResourceManager::Instance();
    if (!resources)
        return {};
    return {resources};
}

void SoundSystem::Pause()
{
    BASS_Pause();
    mPaused = true;
}

void SoundSystem::Resume()
{
    BASS_Start();
    mPaused = false;
}

MusicStream* SoundSystem::OpenMusic(const std::wstring& path, bool loop)
{
    file::FileManager* files = file::FileManager::Instance();
    std::unique_ptr<file::FileInfo> info(files ? files->GetFileInfo(path) : nullptr);
    if (!info)
    {
        BW_LOG(L"Music file '%s' not found.\n") % path;
        return nullptr;
    }
    base::Stream* stream = info->Open();
    if (!stream)
    {
        BW_LOG(L"Music file '%s' cannot be opened.\n") % path;
        return nullptr;
    }
    // The audio layer owns the stream from here and closes it, also when it
    // refuses the file.
    HSTREAM handle = BASS_StreamCreateFileUser(STREAMFILE_NOBUFFER, loop ? BASS_SAMPLE_LOOP : 0, &kMusicFileProcs,
                                               stream);
    if (!handle)
    {
        BW_LOG(L"Music file '%s' cannot be played (audio error %d).\n") % path
            % static_cast<uint32_t>(BASS_ErrorGetCode());
        return nullptr;
    }
    MusicStream* music = new MusicStream(this, path, handle);
    music->ApplyVolume(mMusicVolume);
    mMusic.push_back(music);
    return music;
}

void SoundSystem::SetMusicVolume(float volume)
{
    if (std::isnan(volume))
        return;
    mMusicVolume = std::clamp(volume, 0.0f, 1.0f);
    for (MusicStream* music : mMusic)
        music->ApplyVolume(mMusicVolume);
}

void SoundSystem::Forget(MusicStream* stream)
{
    mMusic.erase(std::remove(mMusic.begin(), mMusic.end(), stream), mMusic.end());
}
