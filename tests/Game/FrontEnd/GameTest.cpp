// The game's own start, run in the test's process: the fonts, particle
// effects and sound effects it loads before the first screen and lets go at
// exit, the profile's volumes, and start-up ended by a missing or bad file.

#include "Core/Render/BMFont.h"
#include "Core/Render/ParticleEmitter.h"
#include "Core/Render/ParticleSystem.h"
#include "Core/Resource/ResourceManager.h"
#include "Game/Audio/SoundSystem.h"
#include "tests/Game/FrontEnd/DataCopy.h"
#include "tests/Support/LogCapture.h"
#include "tests/Support/ScriptedGame.h"

#include <gtest/gtest.h>

#include <memory>

using bwtest::GameRun;
using bwtest::ScriptedGame;

namespace
{

TEST(GameStart, LoadsTheFontsTheParticleEffectsAndTheProfilesVolumesAndLetsFontsAndEffectsGoAtExit)
{
    resource::ResourceManager::CountedMap& fonts = resource::ResourceManager::Instance()->GetBMFontMap();
    render::ParticleSystem* particles = render::ParticleSystem::Instance();
    const wchar_t* const paths[] = {L"data/font/24", L"data/font/32", L"data/font/42"};
    {
        GameRun run({L"--data_path", bwtest::SourceDir()});
        run.WriteProfiles("<?xml version=\"1.0\"?><Profiles currentProfile=\"P\"><Profile name=\"P\"><GameProfile "
                          "is_windowed=\"1\" sounds_volume=\"0.25\" music_volume=\"0.75\"/></Profile></Profiles>");
        run.Game().mOnFrame = [](ScriptedGame& g, int) { g.Stop(); };
        ASSERT_EQ(run.Run(), 0);
        ScriptedGame& game = run.Game();
        for (size_t i = 0; i < Game::kFontCount; ++i)
        {
            ASSERT_TRUE(game.GetFont(i) && game.GetFont(i)->IsLoaded()) << i;
            EXPECT_EQ(fonts.at(paths[i]).resource, game.GetFont(i));
        }
        EXPECT_NE(std::unique_ptr<render::ParticleEmitter>(particles->CreateEmitter("sparkle")), nullptr);
        ASSERT_FALSE(particles->mAtlasImages.empty());
        EXPECT_EQ(game.GetSoundsVolume(), 0.25f);
        EXPECT_EQ(game.GetSounds().GetVolume(), 0.25f);
        EXPECT_EQ(SoundSystem::Instance()->GetMusicVolume(), 0.75f);
    }
    // Both were let go while the renderer they came from still ran.
    for (const wchar_t* path : paths)
        EXPECT_EQ(fonts.count(path), 0u);
    EXPECT_TRUE(particles->mAtlasImages.empty());
}

TEST(GameStart, AMissingOrBadSoundsFileSoundOrCursorEndsItWithANonZeroCodeAndALogRecordNamingTheFile)
{
    struct Case
    {
        const char* path;
        const char* content; // null: the file is removed
        const wchar_t* logged;
    };
    const Case cases[] = {
        {"data/sounds.ini", nullptr, L"'data/sounds.ini' is missing"},
        {"data/sounds.ini", "click = click.wav, 0, 1\nboom: a.wav\n", L"'data/sounds.ini', line 2"},
        {"data/sound/type.wav", nullptr, L"'data/sound/type.wav' is missing"},
        {"data/sound/type.wav", "RIFF....WAVEjunk", L"'data/sound/type.wav' cannot be decoded"},
        {"data/sound/click.wav", "", L"'data/sound/click.wav' cannot be decoded"},
        {"data/gui/cursor.png", nullptr, L"'data/gui/cursor.png'"},
        {"data/gui/cursor.png", "not a picture", L"'data/gui/cursor.png'"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.path << (c.content ? " replaced" : " removed"));
        DataCopy data(c.path, c.content);
        testing_support::LogCapture log;
        GameRun run({L"--data_path", testing_support::Widen(data.Path())});
        run.Game().mOnFrame = [](ScriptedGame& g, int) { g.Stop(); };
        EXPECT_NE(run.Run(), 0);
        EXPECT_TRUE(run.Game().WasInitGameCalled());
        EXPECT_TRUE(log.Contains(c.logged));
        // A sound that failed leaves none behind; the cursor comes after the sounds.
        EXPECT_EQ(run.Game().GetSounds().Has("click"), std::string(c.path) == "data/gui/cursor.png");
    }
}

} // namespace
