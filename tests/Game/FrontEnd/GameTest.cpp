// The game's own start, run in the test's process: the fonts and particle
// effects it loads before the first screen and lets go at exit, and the
// profile's volumes.

#include "Core/Render/BMFont.h"
#include "Core/Render/ParticleEmitter.h"
#include "Core/Render/ParticleSystem.h"
#include "Core/Resource/ResourceManager.h"
#include "Game/Audio/SoundSystem.h"
#include "Platform/D3D9/D3D9TestHooks.h"
#include "tests/Support/ScriptedGame.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(SoundSystem::Instance()->GetMusicVolume(), c.music);
}

INSTANTIATE_TEST_SUITE_P(
    Profiles, GameVolumes,
    ::testing::Values(VolumeCase{"Given", "sounds_volume=\"0.25\" music_volume=\"0.75\"", 0.25f, 0.75f},
                      VolumeCase{"Absent", "", 0.5f, 0.5f}),
    [](const ::testing::TestParamInfo<VolumeCase>& info) { return std::string(info.param.name); });

} // namespace
