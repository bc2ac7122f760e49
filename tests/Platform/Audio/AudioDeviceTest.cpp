#include "Platform/Audio/Audio.h"
#include "Platform/Audio/AudioOutput.h"
#include "tests/Support/SoundFiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <thread>
#include <unistd.h>

using testing_support::MakeWav;
using testing_support::MemoryFile;
using testing_support::UseAudioDriver;
using testing_support::WavSample;

namespace
{

// The output through a real SDL driver. Each test picks its driver afresh.
class AudioDevice : public ::testing::Test
{
protected:
    void TearDown() override
    {
        BASS_Free();
        UseAudioDriver("dummy");
    }

    HSTREAM PlayLoop(float level)
    {
        mFile.bytes = MakeWav(std::vector<float>(4410, level), 1, 44100, WavSample::F32);
        HSTREAM stream = BASS_StreamCreateFileUser(STREAMFILE_NOBUFFER, BASS_SAMPLE_LOOP, &MemoryFile::kProcs, &mFile);
        EXPECT_NE(stream, 0u) << BASS_ErrorGetCode();
        EXPECT_TRUE(BASS_ChannelPlay(stream, FALSE));
        return stream;
    }

    // Waits up to twenty seconds for the condition.
    template <class Condition>
    static bool WaitFor(Condition condition)
    {
        for (int i = 0; i < 2000 && !condition(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return condition();
    }

    MemoryFile mFile;
};

TEST_F(AudioDevice, MissingDriverFailsInitCleanlyWhileTheDefaultOutputPullsOnItsOwnThread)
{
    UseAudioDriver("no-such-driver");
    EXPECT_FALSE(BASS_Init(-1, 44100, 0, nullptr, nullptr));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_DRIVER);
    EXPECT_EQ(audio::GetOutputMixer(), nullptr);

    UseAudioDriver("dummy");
    ASSERT_TRUE(BASS_Init(-1, 44100, 0, nullptr, nullptr)) << BASS_ErrorGetCode();
    HSTREAM stream = PlayLoop(0.5f);
    const int reads = mFile.reads;
    EXPECT_TRUE(WaitFor([&] { return mFile.reads > reads + 2; }));
    ASSERT_TRUE(BASS_Pause());
    EXPECT_EQ(BASS_ChannelIsActive(stream), (DWORD)BASS_ACTIVE_PAUSED_DEVICE);
    ASSERT_TRUE(BASS_Start());
    EXPECT_EQ(BASS_ChannelIsActive(stream), (DWORD)BASS_ACTIVE_PLAYING);
    ASSERT_TRUE(BASS_Free());
    EXPECT_EQ(mFile.closes, 1);
}

TEST_F(AudioDevice, DiskDriverRecordsTheMixThenSilenceOncePaused)
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
    ASSERT_TRUE(BASS_Free());

    std::vector<float> samples(static_cast<size_t>(fileSize()) / sizeof(float));
    std::ifstream(path, std::ios::binary).read(reinterpret_cast<char*>(samples.data()),
                                               static_cast<std::streamsize>(samples.size() * sizeof(float)));
    std::remove(path);

    // Silence until the stream started, the stream's level without a gap,
    // then silence from the pause on.
    size_t i = 0;
    while (i < samples.size() && samples[i] == 0.0f)
        ++i;
    const size_t start = i;
    while (i < samples.size() && samples[i] == 0.25f)
        ++i;
    const size_t stop = i;
    while (i < samples.size() && samples[i] == 0.0f)
        ++i;
    EXPECT_EQ(i, samples.size()) << "unexpected sample " << samples[i] << " at " << i;
    EXPECT_GT(stop - start, 44100u);
    EXPECT_GT(samples.size() - stop, 8192u);
}

} // namespace
