#include "Core/File/Profiles.h"
#include "Core/File/TextFile.h"
#include "Core/File/UserDataFileContainer.h"

#include "tests/Support/LogCapture.h"
#include "tests/Support/TempFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tinyxml2.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using testing_support::LogCapture;
using testing_support::TempFolder;

namespace
{

const std::wstring kPlaceholder = L"Player01234567890123456789";

class ProfilesTest : public ::testing::Test
{
protected:
    ProfilesTest() { file::UserDataFileContainer::Instance()->SetRootPath(mFolder.WidePath()); }

    // A store as the game gets it at start-up.
    std::unique_ptr<file::Profiles> Loaded()
    {
        std::unique_ptr<file::Profiles> profiles(new file::Profiles);
        profiles->Load();
        return profiles;
    }

    std::string Current(file::Profiles& profiles)
    {
        const char* current = profiles.GetRoot()->Attribute("currentProfile");
        return current ? current : "<none>";
    }

    TempFolder mFolder;
};

TEST_F(ProfilesTest, FirstStartSelectsThePlaceholderChangesFollowDocumentOrderAndSavedProfilesReload)
{
    {
        auto profiles = Loaded();
        EXPECT_EQ(profiles->GetProfileNames(), std::vector<std::wstring>{kPlaceholder});
        EXPECT_EQ(Current(*profiles), "Player01234567890123456789");
        EXPECT_FALSE(mFolder.Exists("profiles.xml")) << "nothing is saved until asked";
        for (const wchar_t* name : {L"Анна", L"anna", L"Boris", L"Анна"}) // existing: only the attribute changes
            profiles->SetCurrentProfile(name);
        EXPECT_EQ(profiles->GetProfileNames(), (std::vector<std::wstring>{kPlaceholder, L"Анна", L"anna", L"Boris"}));
        profiles->RemoveProfile(L"Boris"); // not current: selection stays
        EXPECT_EQ(profiles->GetCurrentProfileName(), L"Анна");
        profiles->RemoveProfile(L"Анна"); // current: the first remaining is selected
        EXPECT_EQ(profiles->GetCurrentProfileName(), kPlaceholder);
        profiles->RemoveProfile(L"nobody");
        profiles->RemoveProfile(L"anna");
        profiles->RemoveProfile(kPlaceholder); // the last one: the placeholder comes back
        EXPECT_EQ(profiles->GetProfileNames(), std::vector<std::wstring>{kPlaceholder});
        EXPECT_EQ(profiles->FindProfileElement(kPlaceholder), profiles->GetCurrentProfile());

        profiles->SetCurrentProfile(L"Вера");
        profiles->GetCurrentProfile()->InsertNewChildElement("GameProfile")->SetAttribute("is_windowed", "1");
        profiles->SetCurrentProfile(L"Gleb");
        profiles->SetCurrentProfile(L"Вера");
        ASSERT_EQ(profiles->Save(), BW_OK);
    }
    EXPECT_FALSE(mFolder.Exists("profiles.xml.tmp"));
    auto reloaded = Loaded();
    EXPECT_EQ(reloaded->GetProfileNames(), (std::vector<std::wstring>{kPlaceholder, L"Вера", L"Gleb"}));
    EXPECT_EQ(reloaded->GetCurrentProfileName(), L"Вера");
    tinyxml2::XMLElement* record = reloaded->GetCurrentProfile()->FirstChildElement("GameProfile");
    ASSERT_TRUE(record);
    EXPECT_STREQ(record->Attribute("is_windowed"), "1");
}

TEST_F(ProfilesTest, ABrokenFileIsMovedAsideAndNeverOverwritten)
{
    for (const std::string bytes : {"<Profiles currentProfile=\"A\"><Profile", "<Players><Profile/></Players>", ""})
    {
        SCOPED_TRACE(bytes);
        for (const char* name : {"profiles.xml", "profiles.xml.bad", "profiles.xml.bad2"})
            std::remove((mFolder.Path() + name).c_str());
        mFolder.Write("profiles.xml", bytes);
        LogCapture log;
        {
            auto profiles = Loaded();
            ASSERT_TRUE(profiles->GetCurrentProfile()); // nothing dereferences a missing profile
            EXPECT_EQ(profiles->GetCurrentProfileName(), kPlaceholder);
            profiles->SetCurrentProfile(L"Fresh");
        }
        EXPECT_EQ(mFolder.Read("profiles.xml.bad"), bytes);
        EXPECT_TRUE(log.Contains(L"profiles.xml.bad"));
        EXPECT_EQ(Loaded()->GetCurrentProfileName(), L"Fresh");
        // A second damaged file does not replace the first one kept aside.
        mFolder.Write("profiles.xml", bytes + " ");
        Loaded();
        EXPECT_EQ(mFolder.Read("profiles.xml.bad"), bytes);
        EXPECT_EQ(mFolder.Read("profiles.xml.bad2"), bytes + " ");
    }
}

TEST_F(ProfilesTest, AnOversizedFileIsRefusedAndNeverWrittenOver)
{
    mFolder.Write("profiles.xml", "<Profiles currentProfile=\"A\"><Profile name=\"A\"/></Profiles>");
    const off_t size = off_t(file::kMaxTextFileSize) + 1;
    ASSERT_EQ(truncate((mFolder.Path() + "profiles.xml").c_str(), size), 0);
    LogCapture log;
    {
        auto profiles = Loaded();
        EXPECT_EQ(profiles->GetCurrentProfileName(), kPlaceholder);
        profiles->SetCurrentProfile(L"Fresh");
    }
    EXPECT_TRUE(log.Contains(L"it is not read"));
    EXPECT_TRUE(log.Contains(L"profiles will not be saved"));
    struct stat st = {};
    ASSERT_EQ(stat((mFolder.Path() + "profiles.xml").c_str(), &st), 0);
    EXPECT_EQ(st.st_size, size);
    EXPECT_FALSE(mFolder.Exists("profiles.xml.bad"));
}

TEST_F(ProfilesTest, InvalidTextIsSkippedNotThrownAndAMissingCurrentProfileIsAppended)
{
    mFolder.Write("profiles.xml", "<Profiles currentProfile=\"\xC3\"><Profile name=\"\xFF\xFE\"/><Profile/>"
                                  "<Profile name=\"Ok\"/><Other name=\"X\"/></Profiles>");
    auto profiles = Loaded();
    EXPECT_EQ(profiles->GetProfileNames(), std::vector<std::wstring>{L"Ok"});
    EXPECT_EQ(profiles->GetCurrentProfileName(), L"Ok");
    profiles->SetCurrentProfile(std::wstring(1, static_cast<wchar_t>(0xD800))); // cannot be stored
    EXPECT_EQ(profiles->GetCurrentProfileName(), L"Ok");

    mFolder.Write("profiles.xml", "<Profiles currentProfile=\"Ghost\"><Profile name=\"A\"/></Profiles>");
    profiles = Loaded();
    EXPECT_EQ(profiles->GetProfileNames(), (std::vector<std::wstring>{L"A", L"Ghost"}));
    EXPECT_EQ(profiles->GetCurrentProfileName(), L"Ghost");
}

TEST_F(ProfilesTest, ACrashBetweenWriteAndRenameOrAFailedWriteLeavesTheOldFile)
{
    {
        auto profiles = Loaded();
        profiles->SetCurrentProfile(L"Old");
    }
    std::string old = mFolder.Read("profiles.xml");
    ASSERT_NE(old.find("Old"), std::string::npos);

    EXPECT_EXIT(
        {
            auto profiles = Loaded();
            profiles->SetCurrentProfile(L"New");
            if (profiles->WriteTemporaryFile() == BW_OK)
                _exit(3); // the process dies before the rename
            _exit(1);
        },
        ::testing::ExitedWithCode(3), "");

    EXPECT_EQ(mFolder.Read("profiles.xml"), old);
    EXPECT_NE(mFolder.Read("profiles.xml.tmp").find("New"), std::string::npos);
    auto reloaded = Loaded();
    EXPECT_EQ(reloaded->GetCurrentProfileName(), L"Old");
    reloaded->SetCurrentProfile(L"Later");
    EXPECT_EQ(reloaded->Save(), BW_OK); // the leftover is simply replaced
    EXPECT_NE(mFolder.Read("profiles.xml").find("Later"), std::string::npos);
    EXPECT_FALSE(mFolder.Exists("profiles.xml.tmp"));

    // A folder where the temporary file should go makes every write fail.
    old = mFolder.Read("profiles.xml");
    mFolder.Write("profiles.xml.tmp/blocker", "");
    reloaded->SetCurrentProfile(L"Blocked");
    EXPECT_EQ(reloaded->Save(), BW_FAIL);
    EXPECT_EQ(mFolder.Read("profiles.xml"), old);
}

} // namespace
