#include "Game/Audio/SoundSystem.h"

#include "Core/File/FileManager.h"
#include "Core/File/PackBuilder.h"
#include "Core/Resource/ResourceManager.h"
#include "Game/Audio/MusicStream.h"
#include "Platform/Audio/Audio.h"
#include "Platform/Audio/AudioOutput.h"
#include "Platform/Audio/Mixer.h"
#include "tests/Support/LogCapture.h"
#include "tests/Support/SoundFiles.h"
#include "tests/Support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

using testing_support::LogCapture;
using testing_support::MakeOgg;
using testing_support::MakeSine;
using testing_support::MakeWav;
using testing_support::TempFolder;
using testing_support::UseAudioDriver;
using testing_support::WavSample;

namespace
{

std::string Bytes(const std::vector<uint8_t>& v)
{
    return std::string(v.begin(), v.end());
}

// Each frame tells its own index.
std::vector<float> Ramp(uint32_t frames)
{
    std::vector<float> v(frames);
    for (uint32_t i = 0; i < frames; ++i)
        v[i] = static_cast<float>(i % 1000) / 1000.0f;
    return v;
}

// A sound system on a machine without an audio device: it falls back to the
// no-sound output, which only moves when the test pulls it, frame by frame.
class SilentSoundSystem : public ::testing::Test
{
protected:
    void SetUp() override
    {
        UseAudioDriver("no-such-driver");
        mFolder.reset(new TempFolder(true));
        mSound.reset(new SoundSystem);
    }
    void TearDown() override
    {
        mSound.reset();
        mFolder.reset();
        UseAudioDriver("dummy");
    }

    // The left channel of frames output frames.
    static std::vector<float> Pull(uint32_t frames)
    {
        std::vector<float> stereo(static_cast<size_t>(frames) * 2);
        audio::GetOutputMixer()->Mix(stereo.data(), frames);
        std::vector<float> left;
        for (size_t i = 0; i < stereo.size(); i += 2)
            left.push_back(stereo[i]);
        return left;
    }

    std::unique_ptr<TempFolder> mFolder;
    std::unique_ptr<SoundSystem> mSound;
};

TEST_F(SilentSoundSystem, DependsOnTheResourceManagerAndIsDestroyedBeforeIt)
{
    std::vector<base::SingletoneBase*> dependencies = mSound->GetDependencies();
    ASSERT_EQ(dependencies.size(), 1u);
    ASSERT_NE(resource::ResourceManager::GetInstance(), nullptr);
    EXPECT_EQ(dependencies[0], resource::ResourceManager::GetInstance());

    // The resource manager stands before the sound system when it was made
    // first; the ordering puts the sound system ahead of it.
    base::SingletonRegistry& registry = base::SingletonRegistry::Get();
    registry.SortByDependencies();
    const auto& live = registry.GetSingletons();
    auto at = [&](base::SingletoneBase* s) { return std::find(live.begin(), live.end(), s) - live.begin(); };
    EXPECT_LT(at(mSound.get()), at(resource::ResourceManager::GetInstance()));
}

TEST_F(SilentSoundSystem, WithoutAnAudioDeviceItSaysSoAndPlaysOnSilently)
{
    LogCapture log;
    mSound.reset();
    mSound.reset(new SoundSystem);
    EXPECT_FALSE(mSound->HasOutput());
    EXPECT_TRUE(log.Contains(L"No audio output"));

    mFolder->Write("data/music/a.wav", Bytes(MakeWav(Ramp(100), 1, 44100, WavSample::F32)));
    std::unique_ptr<MusicStream> music(mSound->OpenMusic(L"data/music/a.wav", false));
    ASSERT_NE(music, nullptr);
    EXPECT_EQ(music->Play(), BW_OK);
    EXPECT_TRUE(music->IsPlaying());
}

TEST_F(SilentSoundSystem, MusicStreamsFromTheDataFolderPausesAndPlaysAgainFromTheStart)
{
    std::vector<float> samples = Ramp(3000);
    mFolder->Write("data/music/a.wav", Bytes(MakeWav(samples, 1, 44100, WavSample::F32)));
    std::unique_ptr<MusicStream> music(mSound->OpenMusic(L"data/music/a.wav", false));
    ASSERT_NE(music, nullptr);
    ASSERT_EQ(music->Play(), BW_OK);
    Pull(100);
    mSound->Pause();
    EXPECT_TRUE(music->IsPlaying());
    EXPECT_EQ(Pull(200), std::vector<float>(200, 0.0f));
    mSound->Resume();
    EXPECT_FALSE(mSound->IsPaused());
    EXPECT_EQ(Pull(2900), std::vector<float>(samples.begin() + 100, samples.end())) << "on where it stopped";
    EXPECT_FALSE(music->IsPlaying());

    // Played again: the file is sought back through its stream.
    ASSERT_EQ(music->Play(), BW_OK);
    EXPECT_EQ(Pull(3000), samples);
}

TEST_F(SilentSoundSystem, MusicStreamsFromTheMountedPackAndLoops)
{
    std::vector<float> sine = MakeSine(440.0, 44100, 8000, 0.5f);
    mFolder->Write("data/music/loop.ogg", Bytes(MakeOgg(sine, 1, 44100)));
    mFolder->Write("data/other.txt", "beside the music, so the entry lies inside the pack");
    ASSERT_EQ(file::BuildPack(L"data", L"data.dat"), BW_OK);
    ASSERT_EQ(std::remove((mFolder->Path() + "data/music/loop.ogg").c_str()), 0);

    file::FileManager::MountTable& mounts = file::FileManager::Instance()->GetMountTable();
    mounts[L"data/"] = L"data.dat";
    std::unique_ptr<MusicStream> music(mSound->OpenMusic(L"data/music/loop.ogg", true));
    mounts.erase(L"data/");
    ASSERT_NE(music, nullptr);
    ASSERT_EQ(music->Play(), BW_OK);

    std::vector<float> first = Pull(8000);
    std::vector<float> second = Pull(8000);
    EXPECT_EQ(first, second); // the loop went back to the start of the entry
    double peak = 0.0;
    for (float v : first)
        peak = std::max(peak, static_cast<double>(std::abs(v)));
    EXPECT_NEAR(peak, 0.5, 0.05);
    EXPECT_TRUE(music->IsPlaying());
}

TEST_F(SilentSoundSystem, MissingOrUndecodableMusicIsRefusedWithALogRecord)
{
    LogCapture log;
    EXPECT_EQ(mSound->OpenMusic(L"data/music/none.ogg", false), nullptr);
    EXPECT_TRUE(log.Contains(L"Music file 'data/music/none.ogg' not found."));

    mFolder->Write("data/music/text.ogg", "OggS, but nothing after it");
    EXPECT_EQ(mSound->OpenMusic(L"data/music/text.ogg", false), nullptr);
    EXPECT_TRUE(log.Contains(L"Music file 'data/music/text.ogg' cannot be played"));
}

TEST_F(SilentSoundSystem, MusicVolumeAppliesToOpenAndLaterStreams)
{
    mFolder->Write("data/music/a.wav", Bytes(MakeWav(std::vector<float>(1000, 0.5f), 1, 44100, WavSample::F32)));
    std::unique_ptr<MusicStream> first(mSound->OpenMusic(L"data/music/a.wav", false));
    ASSERT_NE(first, nullptr);
    first->Play();
    mSound->SetMusicVolume(0.5f);
    EXPECT_EQ(Pull(10), std::vector<float>(10, 0.25f));

    std::unique_ptr<MusicStream> second(mSound->OpenMusic(L"data/music/a.wav", false));
    ASSERT_NE(second, nullptr);
    second->Play();
    EXPECT_EQ(Pull(10), std::vector<float>(10, 0.5f));

    mSound->SetMusicVolume(3.0f);
    EXPECT_EQ(mSound->GetMusicVolume(), 1.0f);
    first->Stop();
    EXPECT_EQ(Pull(10), std::vector<float>(10, 0.5f));
}

TEST_F(SilentSoundSystem, MusicKeptPastTheSoundSystemIsLetGoHarmlessly)
{
    mFolder->Write("data/music/a.wav", Bytes(MakeWav(Ramp(100), 1, 44100, WavSample::F32)));
    std::unique_ptr<MusicStream> music(mSound->OpenMusic(L"data/music/a.wav", false));
    ASSERT_NE(music, nullptr);
    music->Play();
    mSound.reset(); // frees the output and closes the file
    EXPECT_EQ(music->GetHandle(), 0u);
    EXPECT_FALSE(music->IsPlaying());
    EXPECT_EQ(music->Play(), BW_FAIL);
    music.reset();
}

} // namespace

namespace
{

// The game quits while the output thread reads the music file.
void PlayMusicAndExit()
{
    UseAudioDriver("dummy");
    if (chdir(BW_SOURCE_DIR) != 0)
        std::exit(1);
    resource::ResourceManager::Instance(); // made first, as the game does
    SoundSystem* sound = SoundSystem::Instance();
    MusicStream* music = sound->OpenMusic(L"data/music/track01.ogg", true);
    if (!sound->HasOutput() || !music || music->Play() != BW_OK)
        std::exit(2);
    sound->Pause(); // the machine's device pauses and resumes
    sound->Resume();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    std::exit(sound->IsPaused() ? 4 : 3);
}

} // namespace

TEST(SoundSystemExit, TearsDownWhileMusicPlaysBeforeTheResourceManagerGoes)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(PlayMusicAndExit(), ::testing::ExitedWithCode(3), "");
}
