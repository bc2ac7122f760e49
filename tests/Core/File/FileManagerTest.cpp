#include "Core/Base/Stream.h"
#include "Core/File/Archiver.h"
#include "Core/File/FileInfo.h"
#include "Core/File/FileManager.h"
#include "Core/File/PackBuilder.h"
#include "Core/File/UserDataFileContainer.h"

#include "tests/Core/File/MountedFolderFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <unistd.h>
#include <memory>
#include <string>
#include <vector>

namespace
{

class FileManagerTest : public filetest::MountedFolderTest
{
protected:
    std::vector<std::wstring> Files(const std::wstring& folder, bool recursive, bool relative)
    {
        std::vector<std::wstring> names;
        mManager->FindFiles(folder, recursive, names, relative);
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(FileManagerTest, MountedPackAnswersForItsPrefixOnlyWhileItExists)
{
    mFolder.Write("data/x.png", "loose");
    mFolder.Write("pack/x.png", "packed");
    EXPECT_EQ(ReadAll(L"data/x.png"), "loose");
    ASSERT_EQ(file::BuildPack(L"pack", L"data.dat"), BW_OK);

    std::unique_ptr<file::FileInfo> info(mManager->GetFileInfo(L"data/x.png"));
    ASSERT_TRUE(info);
    EXPECT_EQ(info->GetFlag(), 1);
    EXPECT_EQ(info->GetFullPath(), L"x.png"); // the name inside the pack
    EXPECT_EQ(ReadAll(L"data/x.png"), "packed");
    std::vector<std::wstring> names;
    mManager->FindFiles(L"data/", false, names, true); // the empty rest goes to the pack too
    EXPECT_EQ(names, std::vector<std::wstring>{L"x.png"});
    EXPECT_FALSE(mManager->FileExists(L"data/"));
    EXPECT_EQ(ReadAll(L"pack/x.png"), "packed"); // other prefixes stay on disk

    mManager->GetMountTable()[L"pack/"] = L"missing.dat";
    EXPECT_EQ(ReadAll(L"pack/x.png"), "packed");

    ASSERT_EQ(file::DeleteFile(L"data.dat"), BW_OK);
    EXPECT_EQ(ReadAll(L"data/x.png"), "loose");
}

TEST_F(FileManagerTest, ExtensionListsPickTheFirstThatExistsAndFoldersAreNoFiles)
{
    mFolder.Write("data/font/24.fnt", "f");
    mFolder.Write("data/font/24.png", "p");
    const wchar_t* const extensions[] = {L".xml", L".fnt", L".png"};
    uint32_t index = 99;
    std::unique_ptr<file::FileInfo> info(mManager->GetFileInfo(L"data/font/24", extensions, 3, &index));
    ASSERT_TRUE(info);
    EXPECT_EQ(index, 1u);
    EXPECT_EQ(info->GetName(), L"24");
    EXPECT_EQ(info->GetFullPath(), L"data/font/24.fnt");
    EXPECT_FALSE(mManager->FileExists(L"data/font/24", extensions, 1, &index));
    EXPECT_FALSE(mManager->DoFileExists(L"data/font", nullptr, 0, nullptr));
    EXPECT_TRUE(mManager->DoIsDirectory(L"data/font"));
    EXPECT_FALSE(mManager->DoIsDirectory(L"data/font/24.fnt"));
    EXPECT_EQ(std::unique_ptr<file::FileInfo>(mManager->GetFileInfo(L"data/font")), nullptr);
    EXPECT_EQ(std::unique_ptr<file::FileInfo>(mManager->GetFileInfo(L"data/font/25.fnt")), nullptr);
    // Names resolve as on Windows; the lookup opens the file, yet each Open
    // still gives a stream of its own.
    info.reset(mManager->GetFileInfo(L"DATA/FONT/24.FNT"));
    ASSERT_TRUE(info);
    std::unique_ptr<base::Stream> first(info->Open()), second(info->Open());
    char bytes[2] = {};
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->Read(&bytes[0], 1), 1u);
    EXPECT_EQ(second->Read(&bytes[1], 1), 1u);
    EXPECT_EQ(std::string(bytes, 2), "ff");
}

TEST_F(FileManagerTest, ListingsOnDiskAndInThePackAgree)
{
    mFolder.Write("data/fx/a.ptc", "1");
    mFolder.Write("data/fx/b.png", "2");
    mFolder.Write("data/fx/sub/c.png", "3");
    mFolder.Write("data/fx/sub/deeper/d.png", "4");
    mFolder.Write("data/other.txt", "5");

    std::vector<std::wstring> flat{L"a.ptc", L"b.png"};
    std::vector<std::wstring> deep{L"a.ptc", L"b.png", L"sub/c.png", L"sub/deeper/d.png"};
    std::vector<std::wstring> prefixed{L"data/fx/a.ptc", L"data/fx/b.png"};
    for (int pass = 0; pass < 2; ++pass)
    {
        SCOPED_TRACE(pass == 0 ? "loose folder" : "pack");
        EXPECT_EQ(Files(L"data\\fx", false, true), flat);
        EXPECT_EQ(Files(L"data/fx/", true, true), deep);
        EXPECT_EQ(Files(L"data/fx", false, false), prefixed);
        std::vector<std::wstring> folders;
        mManager->FindDirectories(L"data", folders, true);
        EXPECT_EQ(folders, std::vector<std::wstring>{L"fx"});
        folders.clear();
        mManager->FindDirectories(L"data/fx", folders, false);
        EXPECT_EQ(folders, std::vector<std::wstring>{L"data/fx/sub"});
        ASSERT_EQ(file::BuildPack(L"data", L"data.dat"), BW_OK);
    }
}

TEST_F(FileManagerTest, RecursiveListingSurvivesAFolderLinkLoop)
{
    mFolder.Write("data/loop/a.txt", "a");
    ASSERT_EQ(symlink("..", (mFolder.Path() + "data/loop/up").c_str()), 0);
    std::vector<std::wstring> names = Files(L"data", true, true);
    EXPECT_FALSE(names.empty());
    EXPECT_EQ(names.front(), L"loop/a.txt");
}

TEST_F(FileManagerTest, UserDataContainerAnswersRelativeToItsRootAndReportsAnUnusableOne)
{
    file::UserDataFileContainer* user = file::UserDataFileContainer::Instance();
    ASSERT_EQ(user->SetRootPath(mFolder.WidePath() + L"Maker/Game"), BW_OK);
    EXPECT_EQ(user->GetRootPath(), mFolder.WidePath() + L"Maker/Game/");
    EXPECT_FALSE(user->FileExists(L"profiles.xml"));
    mFolder.Write("Maker/Game/profiles.xml", "<Profiles/>");
    std::unique_ptr<file::FileInfo> info(user->GetFileInfo(L"profiles.xml"));
    ASSERT_TRUE(info);
    EXPECT_EQ(std::unique_ptr<base::Stream>(info->Open())->GetSize(), 11u);
    mFolder.Write("blocker", "a file where a folder should be");
    EXPECT_EQ(user->SetRootPath(mFolder.WidePath() + L"blocker/Game/"), BW_FAIL);
}

} // namespace
