#include "tests/Platform/Audio/NoSoundOutput.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <unistd.h>

using testing_support::UseAudioDriver;

namespace
{

std::vector<uint8_t> ShortWav()
{
    return MakeWav(MakeSine(440.0, 44100, 100, 0.5f), 1, 44100, WavSample::S16);
}

TEST(AudioCalls, EveryCallBeforeInitFailsWithTheInitErrorAndStillClosesTheFile)
{
    ASSERT_EQ(audio::GetOutputMixer(), nullptr);
    EXPECT_FALSE(BASS_Start());
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
    EXPECT_FALSE(BASS_Pause());
    EXPECT_FALSE(BASS_Free());
    EXPECT_FALSE(BASS_ChannelPlay(1, FALSE));
    EXPECT_EQ(BASS_ChannelIsActive(1), (DWORD)BASS_ACTIVE_STOPPED);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);

    MemoryFile file;
    file.bytes = ShortWav();
    EXPECT_EQ(BASS_StreamCreateFileUser(STREAMFILE_NOBUFFER, 0, &MemoryFile::kProcs, &file), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
    EXPECT_EQ(file.closes, 1);
}

TEST(AudioCalls, InitRefusesUnknownDevicesAndRatesOutOfRange)
{
    EXPECT_FALSE(BASS_Init(7, 44100, 0, nullptr, nullptr));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_DEVICE);
    EXPECT_FALSE(BASS_Init(0, 4000, 0, nullptr, nullptr));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
    EXPECT_EQ(audio::GetOutputMixer(), nullptr);

    ASSERT_TRUE(BASS_Init(0, 0, 0, nullptr, nullptr));
    EXPECT_EQ(audio::GetOutputMixer()->GetRate(), 44100u);
    EXPECT_FALSE(BASS_Init(0, 22050, 0, nullptr, nullptr));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ALREADY);
    EXPECT_TRUE(BASS_Free());
}

TEST_F(NoSoundOutput, FreedHandlesFailWithTheHandleErrorAndAreNeverHandedOutAgain)
{
    MemoryFile& file = AddFile(ShortWav());
    HSTREAM stream = Open(file);
    ASSERT_NE(stream, 0u);
    ASSERT_TRUE(BASS_StreamFree(stream));
    EXPECT_EQ(file.closes, 1);
    HSTREAM next = Play(ShortWav());
    EXPECT_NE(next, stream);

    auto refused = [](bool failed, const char* call) {
        EXPECT_TRUE(failed) << call;
        EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE) << call;
    };
    float volume;
    refused(!BASS_StreamFree(stream), "free");
    refused(!BASS_ChannelPlay(stream, FALSE), "play");
    refused(!BASS_ChannelStop(0), "stop");
    refused(BASS_ChannelIsActive(stream) == BASS_ACTIVE_STOPPED, "is active");
    refused(!BASS_ChannelGetAttribute(stream, BASS_ATTRIB_VOL, &volume), "get attribute");
    EXPECT_EQ(file.closes, 1);

    // A stale handle names nothing in the next output either, and freeing
    // the output closes every stream once.
    ASSERT_TRUE(BASS_Free());
    EXPECT_EQ(mFiles[1]->closes, 1);
    EXPECT_EQ(audio::GetOutputMixer(), nullptr);
    ASSERT_TRUE(BASS_Init(0, kRate, 0, nullptr, nullptr));
    HSTREAM fresh = Play(ShortWav());
    EXPECT_NE(fresh, stream);
    EXPECT_NE(fresh, next);
    EXPECT_FALSE(BASS_ChannelPlay(next, FALSE));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
}

TEST_F(NoSoundOutput, IncompleteCallbackTablesAndUnknownKindsAreRefusedAndClosed)
{
    EXPECT_EQ(BASS_StreamCreateFileUser(STREAMFILE_NOBUFFER, 0, nullptr, nullptr), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);

    MemoryFile& file = AddFile(ShortWav());
    BASS_FILEPROCS noSeek = MemoryFile::kProcs;
    noSeek.seek = nullptr;
    EXPECT_EQ(BASS_StreamCreateFileUser(STREAMFILE_NOBUFFER, 0, &noSeek, &file), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
    EXPECT_EQ(file.closes, 1);
    EXPECT_EQ(BASS_StreamCreateFileUser(1, 0, &MemoryFile::kProcs, &file), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
    EXPECT_EQ(file.closes, 2);

    for (std::string text : {std::string(), std::string("ID3\x03 not a wave"),
                             std::string("RIFF\x10\0\0\0AVI LIST", 16), std::string("OggS")})
    {
        SCOPED_TRACE(text);
        ExpectRefused(std::vector<uint8_t>(text.begin(), text.end()), BASS_ERROR_FILEFORM);
    }
}

// The output through a real SDL driver. Each test picks its driver afresh.
class AudioDevice : public NoSoundOutput
{
protected:
    void SetUp() override {}
    void TearDown() override
    {
        BASS_Free();
        UseAudioDriver("dummy");
    }

    HSTREAM PlayLoop(float level)
    {
        return Play(MakeWav(std::vector<float>(4410, level), 1, 44100, WavSample::F32), BASS_SAMPLE_LOOP);
    }

    // Waits up to twenty seconds for the condition.
    template <class Condition>
    static bool WaitFor(Condition condition)
    {
        for (int i = 0; i < 2000 && !condition(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return condition();
    }
};

TEST_F(AudioDevice, MissingDriverFailsInitCleanlyWhileTheDefaultOutputPullsOnItsOwnThread)
{
    UseAudioDriver("no-such-driver");
    EXPECT_FALSE(BASS_Init(-1, 44100, 0, nullptr, nullptr));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_DRIVER);
    EXPECT_EQ(audio::GetOutputMixer(), nullptr);

    UseAudioDriver("dummy");
    ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr, nullptr)) << BASS_ErrorGetCode();
    PlayLoop(0.5f);
    MemoryFile& file = *mFiles.back();
    const int reads = file.reads;
    EXPECT_TRUE(WaitFor([&] { return file.reads > reads + 2; }));
    ASSERT_TRUE(BASS_Free());
    EXPECT_EQ(file.closes, 1);
}

TEST_F(AudioDevice, DiskDriverRecordsTheMixSilenceWhilePausedAndTheMixAgainOnceResumed)
{
    char path[] = "/tmp/bw-audio-XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    UseAudioDriver("disk");
    setenv("SDL_DISKAUDIOFILE", path, 1);
    setenv("SDL_DISKAUDIODELAY", "1", 1);
    auto fileSize = [&] {
        std::ifstream in(path, std::ios::binary | std::ios::ate);
        return in ? static_cast<long>(in.tellg()) : 0L;
    };

    ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr, nullptr)) << BASS_ErrorGetCode();
    PlayLoop(0.25f);
    ASSERT_TRUE(WaitFor([&] { return fileSize() > 256 * 1024; }));
    ASSERT_TRUE(BASS_Pause());
    const long paused = fileSize();
    ASSERT_TRUE(WaitFor([&] { return fileSize() > paused + 64 * 1024; }));
    ASSERT_TRUE(BASS_Start());
    const long resumed = fileSize();
    ASSERT_TRUE(WaitFor([&] { return fileSize() > resumed + 64 * 1024; }));
    ASSERT_TRUE(BASS_Free());

    std::vector<float> samples(static_cast<size_t>(fileSize()) / sizeof(float));
    std::ifstream(path, std::ios::binary).read(reinterpret_cast<char*>(samples.data()),
                                               static_cast<std::streamsize>(samples.size() * sizeof(float)));
    std::remove(path);

    // Silence until the stream started, the stream's level without a gap,
    // silence while paused, then the level again.
    size_t i = 0;
    auto skip = [&](float value) {
        while (i < samples.size() && samples[i] == value)
            ++i;
        return i;
    };
    const size_t start = skip(0.0f), stop = skip(0.25f), again = skip(0.0f), end = skip(0.25f);
    EXPECT_EQ(end, samples.size()) << "unexpected sample " << samples[i] << " at " << i;
    EXPECT_GT(stop - start, 44100u);
    EXPECT_GT(again - stop, 8192u);
    EXPECT_GT(end - again, 8192u);
}

} // namespace
