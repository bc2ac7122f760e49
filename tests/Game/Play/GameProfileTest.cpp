#include "Core/File/Profiles.h"
#include "Core/File/UserDataFileContainer.h"
#include "Game/Play/GameProfile.h"

#include "tests/Support/TempFolder.h"

#include <gtest/gtest.h>

#include <tinyxml2.h>

namespace
{

TEST(GameProfileTest, EveryChangeIsSavedInTheCurrentProfileAndWithoutOneNothingHappens)
{
    testing_support::TempFolder folder;
    file::UserDataFileContainer::Instance()->SetRootPath(folder.WidePath());
    file::Profiles profiles;
    profiles.Load();
    profiles.SetCurrentProfile(L"Ира");
    GameProfile record(&profiles);
    EXPECT_FLOAT_EQ(record.GetSoundsVolume(), 0.5f);
    record.SetWindowed(true);
    record.SetMusicVolume(0.25f);
    // Bad values give the defaults.
    record.GetElement(true)->SetAttribute("broken", "\xFF");
    EXPECT_EQ(record.GetInt("broken", 7), 7);
    EXPECT_EQ(record.GetString("broken", L"d"), L"d");

    file::Profiles reloaded;
    reloaded.Load();
    GameProfile again(&reloaded);
    EXPECT_TRUE(again.IsWindowed());
    EXPECT_FLOAT_EQ(again.GetMusicVolume(), 0.25f);
    // The window mode wants exactly "1".
    again.GetElement(false)->SetAttribute("is_windowed", "true");
    EXPECT_FALSE(again.IsWindowed());

    file::Profiles none; // never loaded: no current profile
    GameProfile orphan(&none);
    EXPECT_EQ(orphan.GetElement(true), nullptr);
    orphan.SetWindowed(true);
    EXPECT_FALSE(orphan.IsWindowed());
    GameProfile null(nullptr);
    null.SetInt("x", 1);
    EXPECT_EQ(null.GetInt("x", 3), 3);
}

} // namespace
