// The game's sound effects by name: loading them from the data folder, the
// cooldown that keeps a burst to one sound, and every missing or bad file
// refused with a log record naming it.

#include "Game/Audio/SoundRegistry.h"

#include "Game/Audio/SoundSystem.h"
#include "tests/Support/LogCapture.h"
#include "tests/Support/SoundFiles.h"
#include "tests/Support/TempFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using testing_support::LogCapture;
using testing_support::TempFolder;

namespace
{

std::string Blip(uint32_t frames = 4410)
{
    const std::vector<uint8_t> wav = testing_support::MakeWav(testing_support::MakeSine(440.0, 44100, frames, 0.5f),
                                                              1, 44100, testing_support::WavSample::S16);
    return std::string(wav.begin(), wav.end());
}

// A data folder as the current directory, on the no-sound output, which
// nothing pulls: what plays keeps playing.
class SoundRegistryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        testing_support::UseAudioDriver("no-such-driver");
        mFolder.reset(new TempFolder(true));
        mSound.reset(new SoundSystem);
        mFolder->Write("data/sound/click.wav", Blip());
        mFolder->Write("data/sound/deep/boom.wav", Blip());
        mFolder->Write("data/sounds.ini", "click = click.wav, 0.5, 4\nboom = deep/boom.wav, 0, 1\n");
    }
    void TearDown() override
    {
        mRegistry.reset();
        mSound.reset();
        mFolder.reset();
        testing_support::UseAudioDriver("dummy");
    }

    static DWORD Channels(HSAMPLE sample) { return BASS_SampleGetChannels(sample, nullptr); }

    std::unique_ptr<TempFolder> mFolder;
    std::unique_ptr<SoundSystem> mSound;
    std::unique_ptr<SoundRegistry> mRegistry{new SoundRegistry};
};

TEST_F(SoundRegistryTest, AnEffectPlaysOnceWithinItsCooldownAtTheEffectsVolume)
{
    ASSERT_EQ(mRegistry->Load(), BW_OK);
    mRegistry->SetVolume(0.25f);
    const HSAMPLE click = mRegistry->GetSample("click");
    ASSERT_NE(click, 0u);

    EXPECT_TRUE(mRegistry->Play("click"));
    EXPECT_FALSE(mRegistry->Play("click"));
    ASSERT_EQ(Channels(click), 1u);
    HCHANNEL channel = 0;
    BASS_SampleGetChannels(click, &channel);
    float volume = 0;
    EXPECT_TRUE(BASS_ChannelGetAttribute(channel, BASS_ATTRIB_VOL, &volume));
    EXPECT_EQ(volume, 0.25f);

    mRegistry->Tick(0.3f);
    EXPECT_FALSE(mRegistry->Play("click"));
    mRegistry->Tick(0.2f);
    EXPECT_TRUE(mRegistry->Play("click"));
    EXPECT_EQ(Channels(click), 2u);

    // Without a cooldown every call plays, as far as the channels go.
    EXPECT_TRUE(mRegistry->Play("boom"));
    EXPECT_TRUE(mRegistry->Play("boom"));
    EXPECT_EQ(Channels(mRegistry->GetSample("boom")), 1u);
    EXPECT_FALSE(mRegistry->Play("unknown"));

    // Freed with the registry.
    mRegistry.reset();
    EXPECT_EQ(Channels(click), static_cast<DWORD>(-1));
}

struct BrokenFile
{
    const char* name;
    const char* path;    // replaced, or removed when content is null
    const char* content;
    const wchar_t* logged;
};

void PrintTo(const BrokenFile& c, std::ostream* out)
{
    *out << c.name;
}

class SoundRegistryBroken : public SoundRegistryTest, public ::testing::WithParamInterface<BrokenFile>
{
};

TEST_P(SoundRegistryBroken, RefusesEverythingAndNamesTheFile)
{
    const BrokenFile& c = GetParam();
    if (c.content)
        mFolder->Write(c.path, c.content);
    else
        ASSERT_EQ(std::remove((mFolder->Path() + c.path).c_str()), 0);
    LogCapture log;
    EXPECT_EQ(mRegistry->Load(), BW_FAIL);
    EXPECT_FALSE(mRegistry->Has("click"));
    EXPECT_TRUE(log.Contains(c.logged)) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Files, SoundRegistryBroken,
    ::testing::Values(
        BrokenFile{"NoSoundsFile", "data/sounds.ini", nullptr, L"The sounds file 'data/sounds.ini' is missing"},
        BrokenFile{"BadLine", "data/sounds.ini", "click = click.wav, 0.5, 4\nboom: deep/boom.wav\n",
                   L"'data/sounds.ini', line 2"},
        BrokenFile{"NoSoundFile", "data/sound/deep/boom.wav", nullptr,
                   L"The sound file 'data/sound/deep/boom.wav' is missing"},
        BrokenFile{"UndecodableSoundFile", "data/sound/deep/boom.wav", "RIFF not really",
                   L"The sound file 'data/sound/deep/boom.wav' cannot be decoded"},
        BrokenFile{"EmptySoundFile", "data/sound/click.wav", "", L"'data/sound/click.wav' cannot be decoded"}),
    [](const ::testing::TestParamInfo<BrokenFile>& info) { return std::string(info.param.name); });

} // namespace
