// The game's own start, run in the test's process: the fonts, particle
// effects and sound effects it loads before the first screen and lets go at
// exit, the profile's volumes, start-up ended by a missing or bad file, and
// the sound effects' rest while the game is paused.

#include "Core/Render/BMFont.h"
#include "Core/Render/ParticleEmitter.h"
#include "Core/Render/ParticleSystem.h"
#include "Core/Resource/ResourceManager.h"
#include "Game/Audio/SoundSystem.h"
#include "Framework/GameWindow.h"
#include "Platform/D3D9/D3D9TestHooks.h"
#include "tests/Support/InjectedInput.h"
#include "tests/Support/LogCapture.h"
#include "tests/Support/PrivateDisplay.h"
#include "tests/Support/ScriptedGame.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

using bwtest::GameRun;
using bwtest::ScriptedGame;

namespace
{

class GameStart : public ::testing::Test
{
protected:
    void SetUp() override { d3d9::test::ResetHooks(); }
    void TearDown() override { d3d9::test::ResetHooks(); }
};

void StopAtFirstFrame(GameRun& run)
{
    run.Game().mOnFrame = [](ScriptedGame& g, int) { g.Stop(); };
}

TEST_F(GameStart, LoadsTheThreeFontsAndTheParticleEffectsAndLetsThemGoAtExit)
{
    resource::ResourceManager::CountedMap& fonts = resource::ResourceManager::Instance()->GetBMFontMap();
    render::ParticleSystem* particles = render::ParticleSystem::Instance();
    const wchar_t* const paths[] = {L"data/font/24", L"data/font/32", L"data/font/42"};
    {
        GameRun run({L"--data_path", bwtest::SourceDir()});
        StopAtFirstFrame(run);
        ASSERT_EQ(run.Run(), 0);
        ScriptedGame& game = run.Game();

        for (size_t i = 0; i < Game::kFontCount; ++i)
        {
            SCOPED_TRACE(i);
            render::BMFont* font = game.GetFont(i);
            ASSERT_NE(font, nullptr);
            EXPECT_TRUE(font->IsLoaded());
            EXPECT_EQ(font->mRender, game.GetRender());
            ASSERT_EQ(fonts.count(paths[i]), 1u);
            EXPECT_EQ(fonts.at(paths[i]).resource, font);
        }
        EXPECT_EQ(game.GetFont(Game::kFontCount), nullptr);

        EXPECT_EQ(particles->mFolder, "data/fx/");
        std::unique_ptr<render::ParticleEmitter> sparkle(particles->CreateEmitter("sparkle"));
        EXPECT_NE(sparkle, nullptr);
        ASSERT_FALSE(particles->mAtlasImages.empty());
    }
    // Both were let go while the renderer they came from still ran.
    for (const wchar_t* path : paths)
        EXPECT_EQ(fonts.count(path), 0u);
    EXPECT_TRUE(particles->mAtlasImages.empty());
}

struct VolumeCase
{
    const char* name;
    const char* attributes; // of the profile's record
    float sounds;
    float music;
};

void PrintTo(const VolumeCase& c, std::ostream* out)
{
    *out << c.name;
}

class GameVolumes : public GameStart, public ::testing::WithParamInterface<VolumeCase>
{
};

TEST_P(GameVolumes, ComeFromTheProfile)
{
    const VolumeCase& c = GetParam();
    GameRun run({L"--data_path", bwtest::SourceDir()});
    run.WriteProfiles(std::string("<?xml version=\"1.0\"?><Profiles currentProfile=\"P\"><Profile name=\"P\">"
                                  "<GameProfile is_windowed=\"1\" ") +
                      c.attributes + "/></Profile></Profiles>");
    StopAtFirstFrame(run);
    ASSERT_EQ(run.Run(), 0);
    EXPECT_EQ(run.Game().GetSoundsVolume(), c.sounds);
    EXPECT_EQ(run.Game().GetSounds().GetVolume(), c.sounds);
    EXPECT_EQ(SoundSystem::Instance()->GetMusicVolume(), c.music);
}

INSTANTIATE_TEST_SUITE_P(
    Profiles, GameVolumes,
    ::testing::Values(VolumeCase{"Given", "sounds_volume=\"0.25\" music_volume=\"0.75\"", 0.25f, 0.75f},
                      VolumeCase{"Absent", "", 0.5f, 0.5f}),
    [](const ::testing::TestParamInfo<VolumeCase>& info) { return std::string(info.param.name); });

// The bundled data, linked file by file into a folder of its own, with one
// file replaced (or removed when content is null).
class DataCopy
{
public:
    DataCopy(const char* path, const char* content)
    {
        namespace fs = std::filesystem;
        const fs::path source = fs::path(BW_SOURCE_DIR) / "data";
        for (const auto& entry : fs::recursive_directory_iterator(source))
        {
            if (!entry.is_regular_file())
                continue;
            const fs::path target = fs::path(mRoot.Path()) / "data" / fs::relative(entry.path(), source);
            fs::create_directories(target.parent_path());
            fs::create_symlink(entry.path(), target);
        }
        fs::remove(fs::path(mRoot.Path()) / path);
        if (content)
            mRoot.Write(path, content);
    }
    std::wstring Path() const { return mRoot.WidePath(); }

private:
    testing_support::TempFolder mRoot;
};

struct BrokenStart
{
    const char* name;
    const char* path;
    const char* content;
    const wchar_t* logged;
};

void PrintTo(const BrokenStart& c, std::ostream* out)
{
    *out << c.name;
}

class GameBrokenStart : public GameStart, public ::testing::WithParamInterface<BrokenStart>
{
};

TEST_P(GameBrokenStart, EndsWithANonZeroCodeAndALogRecordNamingTheFile)
{
    const BrokenStart& c = GetParam();
    DataCopy data(c.path, c.content);
    testing_support::LogCapture log;
    GameRun run({L"--data_path", data.Path()});
    StopAtFirstFrame(run);
    EXPECT_NE(run.Run(), 0);
    EXPECT_TRUE(run.Game().WasInitGameCalled());
    EXPECT_TRUE(log.Contains(c.logged)) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Files, GameBrokenStart,
    ::testing::Values(BrokenStart{"NoSoundsFile", "data/sounds.ini", nullptr, L"'data/sounds.ini' is missing"},
                      BrokenStart{"BadSoundsFile", "data/sounds.ini", "click = click.wav\n",
                                  L"'data/sounds.ini', line 1"},
                      BrokenStart{"NoSoundFile", "data/sound/type.wav", nullptr, L"'data/sound/type.wav' is missing"},
                      BrokenStart{"BadSoundFile", "data/sound/click.wav", "RIFF....WAVEjunk",
                                  L"'data/sound/click.wav' cannot be decoded"},
                      BrokenStart{"NoCursor", "data/gui/cursor.png", nullptr, L"'data/gui/cursor.png'"},
                      BrokenStart{"BadCursor", "data/gui/cursor.png", "not a picture", L"'data/gui/cursor.png'"}),
    [](const ::testing::TestParamInfo<BrokenStart>& info) { return std::string(info.param.name); });

TEST_F(GameStart, SoundEffectsRestOnlyWhileTheGameRunsAndTheWindowsActivationPausesAndResumesIt)
{
    // Only this test's window may come and go from the front.
    if (!bwtest::UsePrivateDisplay(1366, 768))
        GTEST_SKIP() << "no private display";
    GameRun run({L"--data_path", bwtest::SourceDir()});
    float restWhenPaused = -1.0f;
    int pausedAt = 0;
    run.Game().mOnFrame = [&](ScriptedGame& g, int frame) {
        HWND window = g.GetWindow()->GetHandle();
        SoundRegistry& sounds = g.GetSounds();
        if (frame == 3)
        {
            // Twice within the cooldown: one sound.
            EXPECT_TRUE(g.PlaySound("refuse"));
            EXPECT_FALSE(g.PlaySound("refuse"));
            EXPECT_EQ(BASS_SampleGetChannels(sounds.GetSample("refuse"), nullptr), 1u);
            bwtest::PushWindowEvent(window, bwtest::WindowEvent::FocusLost);
        }
        else if (pausedAt == 0 && g.IsPaused())
        {
            pausedAt = frame;
            restWhenPaused = sounds.GetRest("refuse");
            EXPECT_GT(restWhenPaused, 0.0f);
            EXPECT_TRUE(SoundSystem::Instance()->IsPaused());
        }
        else if (pausedAt && frame == pausedAt + 30)
        {
            EXPECT_EQ(sounds.GetRest("refuse"), restWhenPaused);
            EXPECT_FALSE(g.PlaySound("refuse"));
            bwtest::PushWindowEvent(window, bwtest::WindowEvent::FocusGained);
        }
        else if (pausedAt && frame > pausedAt + 30 && !g.IsPaused() && sounds.GetRest("refuse") == 0.0f)
        {
            EXPECT_FALSE(SoundSystem::Instance()->IsPaused());
            EXPECT_TRUE(g.PlaySound("refuse"));
            g.Stop();
        }
    };
    ASSERT_EQ(run.Run(), 0);
    EXPECT_GT(pausedAt, 0);
}

} // namespace
