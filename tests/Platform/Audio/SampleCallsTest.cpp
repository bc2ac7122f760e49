// Samples: whole files decoded once, played on channels of their own, as
// many at once as the sample allows.

#include "tests/Platform/Audio/NoSoundOutput.h"
#include "tests/Support/TempFolder.h"

#include <string>

namespace
{

// 100 frames of a 441 Hz sine at the output rate: one period.
const std::vector<uint8_t> kBlip = SoundFixture("blip.wav");

HSAMPLE Load(const std::vector<uint8_t>& bytes, DWORD max, DWORD flags = 0)
{
    return BASS_SampleLoad(TRUE, bytes.data(), 0, static_cast<DWORD>(bytes.size()), max, flags);
}

std::vector<HCHANNEL> Channels(HSAMPLE sample)
{
    std::vector<HCHANNEL> channels(8);
    const DWORD count = BASS_SampleGetChannels(sample, channels.data());
    channels.resize(count == static_cast<DWORD>(-1) ? 0 : count);
    return channels;
}

HCHANNEL Start(HSAMPLE sample)
{
    HCHANNEL channel = BASS_SampleGetChannel(sample, FALSE);
    EXPECT_NE(channel, 0u) << BASS_ErrorGetCode();
    EXPECT_TRUE(BASS_ChannelPlay(channel, FALSE));
    return channel;
}

using Samples = NoSoundOutput;

TEST_F(Samples, ChannelsPlayTheWholeSampleAddUpAndWhenBusyRefuseOrMakeWayAsTheFlagsSay)
{
    HSAMPLE refusing = Load(kBlip, 2);
    HSAMPLE overriding = Load(kBlip, 2, BASS_SAMPLE_OVER_POS);
    ASSERT_NE(refusing, 0u) << BASS_ErrorGetCode();
    HCHANNEL first = Start(refusing);
    const std::vector<float> once = Pull(300);
    EXPECT_EQ(AudibleFrames(once), 100u);
    EXPECT_NEAR(Left(once)[25], 0.5f, 0.01f); // a quarter period in
    EXPECT_TRUE(Stopped(first));

    Start(refusing);
    Start(refusing);
    EXPECT_NEAR(Left(Pull(50))[25], 1.0f, 0.02f) << "two at once add up";
    // A sample handle is never a channel, not even one that plays.
    EXPECT_FALSE(BASS_ChannelPlay(refusing, FALSE) || BASS_ChannelPlay(overriding, FALSE));
    Start(overriding);
    Start(overriding);
    const std::vector<HCHANNEL> before = Channels(overriding);
    ASSERT_EQ(before.size(), 2u);
    EXPECT_EQ(BASS_SampleGetChannel(refusing, FALSE), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_NOCHAN);
    EXPECT_EQ(BASS_SampleGetChannel(overriding, TRUE), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_NOCHAN);

    // The one that played longest makes way.
    HCHANNEL newest = BASS_SampleGetChannel(overriding, FALSE);
    ASSERT_NE(newest, 0u);
    EXPECT_EQ(Channels(overriding), (std::vector<HCHANNEL>{before[1], newest}));
    EXPECT_EQ(BASS_ChannelIsActive(before[0]), (DWORD)BASS_ACTIVE_STOPPED);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);

    // A stopped channel leaves room.
    EXPECT_TRUE(BASS_ChannelStop(Channels(refusing)[0]));
    EXPECT_NE(BASS_SampleGetChannel(refusing, TRUE), 0u);
    EXPECT_EQ(Channels(refusing).size(), 2u);

    // Freeing the sample frees its channels; its handle is gone.
    EXPECT_TRUE(BASS_SampleFree(overriding));
    EXPECT_EQ(BASS_ChannelIsActive(newest), (DWORD)BASS_ACTIVE_STOPPED);
    EXPECT_EQ(BASS_SampleGetChannels(overriding, nullptr), static_cast<DWORD>(-1));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    EXPECT_FALSE(BASS_SampleFree(overriding));
}

TEST_F(Samples, LoadsFromAFileFromAnOffsetAndRefusesWhatItCannotTake)
{
    testing_support::TempFolder folder;
    folder.Write("blip.bin", "head" + std::string(kBlip.begin(), kBlip.end()));
    const std::string path = folder.Path() + "blip.bin";
    HSAMPLE fromFile = BASS_SampleLoad(FALSE, path.c_str(), 4, 0, 1, 0);
    ASSERT_NE(fromFile, 0u) << BASS_ErrorGetCode();
    Start(fromFile);
    EXPECT_EQ(AudibleFrames(Pull(300)), 100u);

    const std::string missing = folder.Path() + "missing.wav";
    ExpectFailed(!BASS_SampleLoad(FALSE, missing.c_str(), 0, 0, 1, 0), BASS_ERROR_FILEOPEN, "missing");
    ExpectFailed(!BASS_SampleLoad(FALSE, path.c_str(), 5000, 0, 1, 0), BASS_ERROR_FILEOPEN, "past the end");
    ExpectFailed(!Load({'R', 'I', 'F', 'F', 1, 2, 3}, 1), BASS_ERROR_FILEFORM, "garbage");
    ExpectFailed(!Load(kBlip, 0), BASS_ERROR_ILLPARAM, "no channels");
    ExpectFailed(!Load(SoundFixture("long.wav"), 1), BASS_ERROR_MEM, "61 seconds at 1000 Hz");
}

} // namespace
