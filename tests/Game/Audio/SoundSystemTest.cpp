#include "Game/Audio/SoundSystem.h"

#include "Core/File/FileManager.h"
#include "Core/File/PackBuilder.h"
#include "Core/Resource/ResourceManager.h"
#include "Game/Audio/MusicStream.h"
#include "Platform/Audio/AudioOutput.h"
#include "Platform/Audio/Mixer.h"
#include "tests/Support/LogCapture.h"
#include "tests/Support/SoundFiles.h"
#include "tests/Support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>
#include <unistd.h>

using testing_support::UseAudioDriver;

namespace
{

// A sound system on a machine without an audio device: it falls back to the
// no-sound output, which only moves when the test pulls it, frame by frame.
class SilentSoundSystem : public ::testing::Test
{
protected:
    SilentSoundSystem()
    {
        UseAudioDriver("no-such-driver");
        mSound.reset(new SoundSystem);
    }
    ~SilentSoundSystem() override
    {
        mSound.reset();
        UseAudioDriver("dummy");
    }

    // The left channel of frames output frames.
    static std::vector<float> Pull(uint32_t frames)
    {
        std::vector<float> stereo(static_cast<size_t>(frames) * 2), left;
        audio::GetOutputMixer()->Mix(stereo.data(), frames);
        for (size_t i = 0; i < stereo.size(); i += 2)
            left.push_back(stereo[i]);
        return left;
    }

    // The bytes as "data/music/<name>".
    void Write(const char* name, const std::vector<uint8_t>& bytes)
    {
        mFolder.Write(std::string("data/music/") + name, std::string(bytes.begin(), bytes.end()));
    }

    testing_support::TempFolder mFolder{true};
    testing_support::LogCapture mLog;
    std::unique_ptr<SoundSystem> mSound;
};

TEST_F(SilentSoundSystem, MusicStreamsFromTheMountedPackAndLoops)
{
    mFolder.Write("data/other.txt", "beside the music, so the entry lies inside the pack");
    Write("loop.ogg", testing_support::SoundFixture("sine440.ogg")); // one second
    ASSERT_EQ(file::BuildPack(L"data", L"data.dat"), BW_OK);
    ASSERT_EQ(std::remove((mFolder.Path() + "data/music/loop.ogg").c_str()), 0);

    file::FileManager::MountTable& mounts = file::FileManager::Instance()->GetMountTable();
    mounts[L"data/"] = L"data.dat";
    std::unique_ptr<MusicStream> music(mSound->OpenMusic(L"data/music/loop.ogg", true));
    mounts.erase(L"data/");
    ASSERT_NE(music, nullptr);
    ASSERT_EQ(music->Play(), BW_OK);
    std::vector<float> first = Pull(44100);
    EXPECT_EQ(Pull(44100), first); // the loop went back to the start of the entry
    EXPECT_NEAR(*std::max_element(first.begin(), first.end()), 0.5, 0.05);
    EXPECT_TRUE(music->IsPlaying());
}

TEST_F(SilentSoundSystem, WithoutADeviceItPlaysOnSilentlyAtTheMusicVolumeRefusesBadMusicAndLetsGoWhatOutlivesIt)
{
    EXPECT_FALSE(mSound->HasOutput());
    EXPECT_TRUE(mLog.Contains(L"No audio output"));
    Write("a.wav", testing_support::FloatWav(std::vector<float>(1000, 0.5f), 44100));
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

    EXPECT_EQ(mSound->OpenMusic(L"data/music/none.ogg", false), nullptr);
    EXPECT_TRUE(mLog.Contains(L"Music file 'data/music/none.ogg' not found."));
    mFolder.Write("data/music/text.ogg", "OggS, but nothing after it");
    EXPECT_EQ(mSound->OpenMusic(L"data/music/text.ogg", false), nullptr);
    EXPECT_TRUE(mLog.Contains(L"Music file 'data/music/text.ogg' cannot be played"));

    // Music kept past the sound system is let go harmlessly.
    mSound.reset(); // frees the output and closes the files
    EXPECT_EQ(second->GetHandle(), 0u);
    EXPECT_FALSE(second->IsPlaying());
    EXPECT_EQ(second->Play(), BW_FAIL);
}

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

TEST(SoundSystemExit, TearsDownWhileMusicPlaysBeforeTheResourceManagerGoes)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(PlayMusicAndExit(), ::testing::ExitedWithCode(3), "");
}

} // namespace
