#include "tests/Platform/Audio/NoSoundOutput.h"

#include <cmath>

namespace
{

// Float WAVs, so the output can be compared exactly.
using Mixing = NoSoundOutput;

// Scaling itself is the music volume's test; here the bounds and the sum.
TEST_F(Mixing, StreamsAddUpAtVolumesClampedToZeroToOneAndTheSumIsClipped)
{
    HSTREAM loud = Play(FloatWav(std::vector<float>(100, 0.5f), kRate));
    ASSERT_TRUE(BASS_ChannelSetAttribute(loud, BASS_ATTRIB_VOL, 3.0f));
    HSTREAM silenced = Play(FloatWav(std::vector<float>(100, 0.5f), kRate));
    ASSERT_TRUE(BASS_ChannelSetAttribute(silenced, BASS_ATTRIB_VOL, -2.0f));
    Play(FloatWav(std::vector<float>(100, 0.25f), kRate));
    EXPECT_EQ(Left(Pull(10)), std::vector<float>(10, 0.75f));
    Play(FloatWav(std::vector<float>(100, 0.5f), kRate));
    EXPECT_EQ(Left(Pull(10)), std::vector<float>(10, 1.0f));
    Play(FloatWav(std::vector<float>(100, -0.75f), kRate));
    EXPECT_EQ(Left(Pull(10)), std::vector<float>(10, 0.5f));

    EXPECT_FALSE(BASS_ChannelSetAttribute(loud, BASS_ATTRIB_VOL, std::nanf("")));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
    EXPECT_FALSE(BASS_ChannelSetAttribute(loud, 99, 0.5f));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLTYPE);
}

TEST_F(Mixing, PauseResumesWhereItWasStopKeepsThePositionRestartAndTheEndGoBackToTheStart)
{
    // 0, 1/1024, 2/1024, ...: each frame tells its own index.
    std::vector<float> ramp(300);
    for (size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = static_cast<float>(i) / 1024.0f;
    HSTREAM stream = Play(FloatWav(ramp, kRate));
    EXPECT_EQ(Left(Pull(50)).back(), 49.0f / 1024);
    ASSERT_TRUE(BASS_Pause());
    EXPECT_EQ(BASS_ChannelIsActive(stream), (DWORD)BASS_ACTIVE_PAUSED_DEVICE);
    EXPECT_EQ(AudibleFrames(Pull(500)), 0u);
    ASSERT_TRUE(BASS_Start());
    EXPECT_EQ(BASS_ChannelIsActive(stream), (DWORD)BASS_ACTIVE_PLAYING);
    EXPECT_EQ(Left(Pull(50))[0], 50.0f / 1024);

    ASSERT_TRUE(BASS_ChannelStop(stream));
    EXPECT_TRUE(Stopped(stream));
    EXPECT_EQ(AudibleFrames(Pull(20)), 0u);
    ASSERT_TRUE(BASS_ChannelPlay(stream, FALSE));
    EXPECT_EQ(Left(Pull(1))[0], 100.0f / 1024);
    ASSERT_TRUE(BASS_ChannelPlay(stream, TRUE));
    EXPECT_EQ(Left(Pull(2))[1], 1.0f / 1024);
    Pull(400); // runs out
    EXPECT_TRUE(Stopped(stream));
    ASSERT_TRUE(BASS_ChannelPlay(stream, FALSE));
    EXPECT_EQ(Left(Pull(2))[1], 1.0f / 1024);
}

TEST_F(Mixing, SourcesAreResampledAndLoopedFrameByFrame)
{
    struct Case
    {
        const char* name;
        std::vector<float> source;
        uint32_t rate;
        DWORD flags;
        std::vector<float> heard;
        bool stopped;
    };
    const Case cases[] = {
        {"half rate interpolates", {0.0f, 0.25f, 0.5f}, kRate / 2, 0,
         {0.0f, 0.125f, 0.25f, 0.375f, 0.5f, 0.5f, 0.0f, 0.0f}, true},
        {"double rate skips frames", {0.0f, 0.125f, 0.25f, 0.375f, 0.5f, 0.625f}, kRate * 2, 0,
         {0.0f, 0.25f, 0.5f, 0.0f}, true},
        {"loop wraps without a gap", {0.25f, 0.5f, 0.75f}, kRate, BASS_SAMPLE_LOOP,
         {0.25f, 0.5f, 0.75f, 0.25f, 0.5f, 0.75f, 0.25f}, false},
        {"empty loop stops instead of spinning", {}, kRate, BASS_SAMPLE_LOOP, std::vector<float>(100, 0.0f), true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        HSTREAM stream = Play(FloatWav(c.source, c.rate), c.flags);
        EXPECT_EQ(Left(Pull(static_cast<uint32_t>(c.heard.size()))), c.heard);
        EXPECT_EQ(Stopped(stream), c.stopped);
        BASS_StreamFree(stream);
    }
}

} // namespace
