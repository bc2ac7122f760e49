#include "fuzz/Support/AudioStreamFuzzing.h"

#include "Platform/Audio/Audio.h"
#include "Platform/Audio/AudioOutput.h"
#include "Platform/Audio/Mixer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace
{

struct File
{
    const uint8_t* data;
    uint64_t size;
    uint64_t position;
    int closes;
};

void CALLBACK Close(void* user)
{
    ++static_cast<File*>(user)->closes;
}

QWORD CALLBACK Length(void* user)
{
    return static_cast<File*>(user)->size;
}

DWORD CALLBACK Read(void* buffer, DWORD length, void* user)
{
    File& file = *static_cast<File*>(user);
    if (file.position > file.size)
        std::abort();
    DWORD n = static_cast<DWORD>(std::min<uint64_t>(length, file.size - file.position));
    if (n)
        std::memcpy(buffer, file.data + file.position, n);
    file.position += n;
    return n;
}

BOOL CALLBACK Seek(QWORD offset, void* user)
{
    File& file = *static_cast<File*>(user);
    if (offset > file.size)
        std::abort(); // the reader checks offsets before asking
    file.position = offset;
    return TRUE;
}

const BASS_FILEPROCS kProcs = {Close, Length, Read, Seek};
const uint32_t kPullFrames = 4096;
const int kMaxPulls = 16;

bool PullWhilePlaying(HSTREAM stream)
{
    std::vector<float> out(kPullFrames * 2);
    for (int i = 0; i < kMaxPulls && BASS_ChannelIsActive(stream) == BASS_ACTIVE_PLAYING; ++i)
    {
        audio::GetOutputMixer()->Mix(out.data(), kPullFrames);
        for (float v : out)
            if (!(v >= -1.0f && v <= 1.0f))
                return false;
    }
    return true;
}

} // namespace

void FuzzAudioStream(const uint8_t* data, size_t size)
{
    static bool initialised = BASS_Init(0, 44100, 0, nullptr, nullptr) != FALSE;
    if (!initialised)
        std::abort();

    File file = {data, size, 0, 0};
    HSTREAM stream = BASS_StreamCreateFileUser(STREAMFILE_NOBUFFER, 0, &kProcs, &file);
    if (stream)
    {
        BASS_ChannelSetAttribute(stream, BASS_ATTRIB_VOL, 0.8f);
        BASS_ChannelPlay(stream, FALSE);
        if (!PullWhilePlaying(stream))
            std::abort();
        BASS_ChannelPlay(stream, TRUE);
        if (!PullWhilePlaying(stream))
            std::abort();
        if (!BASS_StreamFree(stream))
            std::abort();
    }
    else if (BASS_ErrorGetCode() == BASS_OK)
    {
        std::abort(); // a refusal must say why
    }
    if (file.closes != 1)
        std::abort();
}
