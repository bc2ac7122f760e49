#include "Core/File/Profiles.h"
#include "Core/File/UserDataFileContainer.h"
#include "Game/Play/GameProfile.h"

#include "tests/Support/TempFolder.h"

#include <gtest/gtest.h>

#include <tinyxml2.h>

namespace
{

class GameProfileTest : public ::testing::Test
{
protected:
    GameProfileTest() { file::UserDataFileContainer::Instance()->SetRootPath(mFolder.WidePath()); }

    testing_support::TempFolder mFolder;
};

TEST_F(GameProfileTest, EveryChangeIsSavedInTheCurrentProfile)
{
    file::Profiles profiles;
    profiles.Load();
    profiles.SetCurrentProfile(L"Ира");
    GameProfile record(&profiles);
    EXPECT_FALSE(record.IsWindowed());
    EXPECT_FLOAT_EQ(record.GetSoundsVolume(), 0.5f);
    EXPECT_FLOAT_EQ(record.GetMusicVolume(), 0.5f);

    record.SetWindowed(true);
    record.SetMusicVolume(0.25f);
    record.SetString("title", L"Мастер");
    std::string saved = mFolder.Read("profiles.xml");
    EXPECT_NE(saved.find("is_windowed=\"1\""), std::string::npos);
    EXPECT_NE(saved.find("music_volume=\"0.25\""), std::string::npos);

    file::Profiles reloaded;
    reloaded.Load();
    GameProfile again(&reloaded);
    EXPECT_TRUE(again.IsWindowed());
    EXPECT_FLOAT_EQ(again.GetMusicVolume(), 0.25f);
    EXPECT_EQ(again.GetString("title", L""), L"Мастер");
    EXPECT_EQ(reloaded.GetCurrentProfile()->FirstChildElement("GameProfile"), again.GetElement(false));
}

TEST_F(GameProfileTest, FlagsParseAsParseBoolButWindowModeWantsOne)
{
    file::Profiles profiles;
    profiles.Load();
    GameProfile record(&profiles);
    tinyxml2::XMLElement* element = record.GetElement(true);
    element->SetAttribute("is_windowed", "true");
    element->SetAttribute("tutorial", "true");
    element->SetAttribute("broken", "\xFF");
    EXPECT_FALSE(record.IsWindowed());
    EXPECT_TRUE(record.GetBool("tutorial", false));
    EXPECT_EQ(record.GetInt("broken", 7), 7);
    EXPECT_EQ(record.GetString("broken", L"d"), L"d");
}

TEST_F(GameProfileTest, WithoutACurrentProfileNothingHappens)
{
    file::Profiles profiles; // never loaded: no current profile
    GameProfile record(&profiles);
    EXPECT_EQ(record.GetElement(true), nullptr);
    record.SetWindowed(true);
    EXPECT_FALSE(record.IsWindowed());
    EXPECT_FLOAT_EQ(record.GetSoundsVolume(), 0.5f);
    GameProfile none(nullptr);
    none.SetInt("x", 1);
    EXPECT_EQ(none.GetInt("x", 3), 3);
}

} // namespace
