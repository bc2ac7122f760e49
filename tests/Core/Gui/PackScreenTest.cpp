#include "Core/App/Application.h"
#include "Core/File/Archiver.h"
#include "Core/File/FileManager.h"
#include "Core/Gui/PackScreen.h"
#include "tests/Support/TempFolder.h"

#include <gtest/gtest.h>

namespace
{

class Host : public app::Application
{
public:
    Host() : app::Application(true, false) {}
};

class PackScreenTest : public ::testing::Test
{
protected:
    PackScreenTest() : mFolder(true) {}
    void SetUp() override { base::Singletone<app::Application>::SetInstance(&mHost); }
    void TearDown() override { base::Singletone<app::Application>::SetInstance(nullptr); }

    testing_support::TempFolder mFolder;
    Host mHost;
};

TEST_F(PackScreenTest, PacksTheDataFolderOnceThenEndsTheProgram)
{
    mFolder.Write("data/a.txt", "abc");
    mFolder.Write("data/gui/b.xml", "<b/>");
    gui::PackScreen screen(L"out.dat");
    EXPECT_FALSE(mFolder.Exists("out.dat")) << "nothing happens before the screen runs";

    ASSERT_EQ(screen.Update(0.0f), BW_OK);
    EXPECT_TRUE(screen.IsDone());
    EXPECT_TRUE(mHost.IsStopRequested());
    EXPECT_EQ(mHost.GetExitCode(), 0);

    file::Archiver pack(L"data/", L"out.dat", file::FileManager::Instance());
    ASSERT_TRUE(pack.IsValid());
    EXPECT_EQ(pack.GetDirectory().size(), 2u);
    EXPECT_EQ(pack.GetDirectory().at(L"gui/b.xml").size, 4u);

    mFolder.Write("data/c.txt", "later");
    ASSERT_EQ(screen.Update(0.0f), BW_OK);
    file::Archiver again(L"data/", L"out.dat", file::FileManager::Instance());
    EXPECT_EQ(again.GetDirectory().size(), 2u) << "the pack is built once";
}

TEST_F(PackScreenTest, AFailedPackEndsTheProgramWithExitCodeOne)
{
    gui::PackScreen screen(L"out.dat");
    EXPECT_EQ(screen.Update(0.0f), BW_FAIL) << "there is no data folder";
    EXPECT_TRUE(mHost.IsStopRequested());
    EXPECT_EQ(mHost.GetExitCode(), 1);
    EXPECT_FALSE(mFolder.Exists("out.dat"));
}

} // namespace
