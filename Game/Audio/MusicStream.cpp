#include "Game/Audio/MusicStream.h"

#include "Core/Base/Log.h"
#include "Game/Audio/SoundSystem.h"
#include "Platform/Audio/Audio.h"

MusicStream::MusicStream(SoundSystem* system, const std::wstring& path, uint32_t handle)
    : mSystem(system)
    , mPath(path)
    , mHandle(handle)
{
}

MusicStream::~MusicStream()
{
    if (!mSystem)
        return; // the sound system freed the audio stream already
    BASS_StreamFree(mHandle);
    mSystem->Forget(this);
}

BWResultEnum MusicStream::Play(bool restart)
{
    if (mSystem && BASS_ChannelPlay(mHandle, restart ? TRUE : FALSE))
        return BW_OK;
    BW_LOG(L"Music '%s' cannot be played.\n") % mPath;
    return BW_FAIL;
}

void MusicStream::Stop()
{
    if (mSystem)
        BASS_ChannelStop(mHandle);
}

bool MusicStream::IsPlaying() const
{
    return mSystem && BASS_ChannelIsActive(mHandle) != BASS_ACTIVE_STOPPED;
}

void MusicStream::ApplyVolume(float volume)
{
    BASS_ChannelSetAttribute(mHandle, BASS_ATTRIB_VOL, volume);
}

void MusicStream::Detach()
{
    mSystem = nullptr;
    mHandle = 0;
}
