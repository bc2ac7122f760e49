#include "Platform/Audio/AudioOutput.h"

#include "Platform/Audio/Audio.h"
#include "Platform/Audio/Decoder.h"
#include "Platform/Audio/FileReader.h"
#include "Platform/Audio/Mixer.h"
#include "Platform/Audio/SampleBank.h"
#include "Platform/Win32/SdlGlue.h"

#include <SDL.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace
{

const DWORD kDefaultRate = 44100;
const DWORD kMinRate = 8000;
const DWORD kMaxRate = 192000;
const Uint16 kDeviceFrames = 1024;

// The output, touched by the audio calls on the main thread; the output
// thread only sees the mixer, through the callback's user pointer.
struct Output
{
    std::unique_ptr<audio::Mixer> mixer;
    std::unique_ptr<audio::SampleBank> samples;
    SDL_AudioDeviceID device = 0;
};

Output gOutput;
thread_local int gError = BASS_OK;

BOOL Done(int error)
{
    gError = error;
    return error == BASS_OK ? TRUE : FALSE;
}

void SDLCALL PullFrames(void* user, Uint8* stream, int bytes)
{
    const uint32_t frames = static_cast<uint32_t>(bytes) / (sizeof(float) * audio::Mixer::kOutputChannels);
    static_cast<audio::Mixer*>(user)->Mix(reinterpret_cast<float*>(stream), frames);
}

// The caller hands the file over with the call, so a refused call still closes it.
HSTREAM Refuse(int error, const BASS_FILEPROCS* procs, void* user)
{
    if (procs && procs->close)
        procs->close(user);
    gError = error;
    return 0;
}

} // namespace

namespace audio
{

Mixer* GetOutputMixer()
{
    return gOutput.mixer.get();
}

} // namespace audio

BOOL BASS_Init(int device, DWORD freq, DWORD, HWND, const void*)
{
    if (gOutput.mixer)
        return Done(BASS_ERROR_ALREADY);
    if (freq == 0)
        freq = kDefaultRate;
    if (freq < kMinRate || freq > kMaxRate)
        return Done(BASS_ERROR_ILLPARAM);
    if (device != -1 && device != 0 && device != 1)
        return Done(BASS_ERROR_DEVICE);

    std::unique_ptr<audio::Mixer> mixer(new audio::Mixer(freq));
    SDL_AudioDeviceID id = 0;
    if (device != 0)
    {
        if (!win32::EnsureSdl(SDL_INIT_AUDIO))
            return Done(BASS_ERROR_DRIVER);
        SDL_AudioSpec want = {};
        want.freq = static_cast<int>(freq);
        want.format = AUDIO_F32SYS;
        want.channels = audio::Mixer::kOutputChannels;
        want.samples = kDeviceFrames;
        want.callback = PullFrames;
        want.userdata = mixer.get();
        SDL_AudioSpec have = {};
        // No changes allowed: SDL converts to whatever the device takes.
        id = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (id == 0)
            return Done(BASS_ERROR_DEVICE);
        SDL_PauseAudioDevice(id, 0);
    }
    gOutput.mixer = std::move(mixer);
    gOutput.samples.reset(new audio::SampleBank(*gOutput.mixer));
    gOutput.device = id;
    return Done(BASS_OK);
}

BOOL BASS_Free()
{
    if (!gOutput.mixer)
        return Done(BASS_ERROR_INIT);
    if (gOutput.device != 0)
        SDL_CloseAudioDevice(gOutput.device); // returns once the callback is done
    gOutput.device = 0;
    gOutput.samples.reset();
    gOutput.mixer.reset();
    return Done(BASS_OK);
}

BOOL BASS_Start()
{
    if (!gOutput.mixer)
        return Done(BASS_ERROR_INIT);
    gOutput.mixer->SetPaused(false);
    if (gOutput.device != 0)
        SDL_PauseAudioDevice(gOutput.device, 0);
    return Done(BASS_OK);
}

BOOL BASS_Pause()
{
    if (!gOutput.mixer)
        return Done(BASS_ERROR_INIT);
    if (gOutput.device != 0)
        SDL_PauseAudioDevice(gOutput.device, 1);
    gOutput.mixer->SetPaused(true);
    return Done(BASS_OK);
}

int BASS_ErrorGetCode()
{
    return gError;
}

HSTREAM BASS_StreamCreateFileUser(DWORD system, DWORD flags, const BASS_FILEPROCS* procs, void* user)
{
    if (!procs)
        return Refuse(BASS_ERROR_ILLPARAM, procs, user);
    if (!gOutput.mixer)
        return Refuse(BASS_ERROR_INIT, procs, user);
    if (system != STREAMFILE_NOBUFFER || !procs->length || !procs->read || !procs->seek)
        return Refuse(BASS_ERROR_ILLPARAM, procs, user);

    // From here the reader owns the file and closes it.
    std::unique_ptr<audio::FileReader> reader(new audio::FileReader(*procs, user));
    int error = BASS_OK;
    std::unique_ptr<audio::Decoder> decoder = audio::OpenDecoder(*reader, error);
    if (!decoder)
    {
        gError = error;
        return 0;
    }
    HSTREAM handle = gOutput.mixer->AddStream(std::move(reader), std::move(decoder), (flags & BASS_SAMPLE_LOOP) != 0);
    gError = BASS_OK;
    return handle;
}

BOOL BASS_StreamFree(HSTREAM handle)
{
    if (!gOutput.mixer)
        return Done(BASS_ERROR_INIT);
    return Done(gOutput.mixer->Remove(handle));
}

BOOL BASS_ChannelPlay(DWORD handle, BOOL restart)
{
    if (!gOutput.mixer)
        return Done(BASS_ERROR_INIT);
    return Done(gOutput.mixer->Play(handle, restart != FALSE));
}

BOOL BASS_ChannelStop(DWORD handle)
{
    if (!gOutput.mixer)
        return Done(BASS_ERROR_INIT);
    return Done(gOutput.mixer->Stop(handle));
}

DWORD BASS_ChannelIsActive(DWORD handle)
{
    if (!gOutput.mixer)
    {
        gError = BASS_ERROR_INIT;
        return BASS_ACTIVE_STOPPED;
    }
    gError = gOutput.mixer->IsLive(handle) ? BASS_OK : BASS_ERROR_HANDLE;
    return gOutput.mixer->GetState(handle);
}

BOOL BASS_ChannelSetAttribute(DWORD handle, DWORD attrib, float value)
{
    if (!gOutput.mixer)
        return Done(BASS_ERROR_INIT);
    if (!gOutput.mixer->IsLive(handle))
        return Done(BASS_ERROR_HANDLE);
    if (attrib != BASS_ATTRIB_VOL)
        return Done(BASS_ERROR_ILLTYPE);
    return Done(gOutput.mixer->SetVolume(handle, value));
}

BOOL BASS_ChannelGetAttribute(DWORD handle, DWORD attrib, float* value)
{
    if (!gOutput.mixer)
        return Done(BASS_ERROR_INIT);
    if (!gOutput.mixer->IsLive(handle))
        return Done(BASS_ERROR_HANDLE);
    if (attrib != BASS_ATTRIB_VOL)
        return Done(BASS_ERROR_ILLTYPE);
    if (!value)
        return Done(BASS_ERROR_ILLPARAM);
    return Done(gOutput.mixer->GetVolume(handle, *value));
}

namespace
{

// The part of a sample file from offset on (length 0: to its end); false
// when the file cannot be read that far.
bool ReadSampleFile(const char* path, QWORD offset, DWORD length, std::vector<uint8_t>* bytes)
{
    FILE* file = std::fopen(path, "rb");
    if (!file)
        return false;
    bool read = std::fseek(file, 0, SEEK_END) == 0;
    const long size = read ? std::ftell(file) : -1;
    read = size >= 0 && offset <= static_cast<QWORD>(size) &&
           (length == 0 || length <= static_cast<QWORD>(size) - offset) &&
           std::fseek(file, static_cast<long>(offset), SEEK_SET) == 0;
    if (read)
    {
        bytes->resize(length ? length : static_cast<size_t>(static_cast<QWORD>(size) - offset));
        read = std::fread(bytes->data(), 1, bytes->size(), file) == bytes->size();
    }
    std::fclose(file);
    return read;
}

} // namespace

HSAMPLE BASS_SampleLoad(BOOL mem, const void* file, QWORD offset, DWORD length, DWORD max, DWORD flags)
{
    if (!gOutput.samples)
        return Done(BASS_ERROR_INIT);
    if (!file)
        return Done(BASS_ERROR_ILLPARAM);
    std::vector<uint8_t> bytes;
    const uint8_t* start = static_cast<const uint8_t*>(file) + offset;
    uint64_t size = length;
    if (!mem)
    {
        if (!ReadSampleFile(static_cast<const char*>(file), offset, length, &bytes))
            return Done(BASS_ERROR_FILEOPEN);
        start = bytes.data();
        size = bytes.size();
    }
    HSAMPLE handle = 0;
    if (!Done(gOutput.samples->Load(start, size, max, flags, &handle)))
        return 0;
    return handle;
}

BOOL BASS_SampleFree(HSAMPLE handle)
{
    if (!gOutput.samples)
        return Done(BASS_ERROR_INIT);
    return Done(gOutput.samples->Free(handle));
}

HCHANNEL BASS_SampleGetChannel(HSAMPLE handle, BOOL onlynew)
{
    if (!gOutput.samples)
        return Done(BASS_ERROR_INIT);
    HCHANNEL channel = 0;
    if (!Done(gOutput.samples->GetChannel(handle, onlynew != FALSE, &channel)))
        return 0;
    return channel;
}

DWORD BASS_SampleGetChannels(HSAMPLE handle, HCHANNEL* channels)
{
    DWORD count = 0;
    if (!gOutput.samples)
    {
        gError = BASS_ERROR_INIT;
        return static_cast<DWORD>(-1);
    }
    if (!Done(gOutput.samples->GetChannels(handle, channels, &count)))
        return static_cast<DWORD>(-1);
    return count;
}
