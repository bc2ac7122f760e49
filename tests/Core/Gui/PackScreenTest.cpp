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

TEST_F(PackScreenTest, PacksTheDataFolderOnceThenEndsTheProgramWithZeroOrOneOnFailure)
{
    gui::PackScreen failing(L"out.dat");
    EXPECT_EQ(failing.Update(0.0f), BW_FAIL) << "there is no data folder";
    EXPECT_TRUE(mHost.IsStopRequested());
    EXPECT_EQ(mHost.GetExitCode(), 1);
    EXPECT_FALSE(mFolder.Exists("out.dat"));

    mFolder.Write("data/a.txt", "abc");
    mFolder.Write("data/gui/b.xml", "<b/>");
    Host host;
    base::Singletone<app::Application>::SetInstance(&host);
    gui::PackScreen screen(L"out.dat");
    EXPECT_FALSE(mFolder.Exists("out.dat")) << "nothing happens before the screen runs";
    ASSERT_EQ(screen.Update(0.0f), BW_OK);
    EXPECT_TRUE(screen.IsDone());
    EXPECT_TRUE(host.IsStopRequested());
    EXPECT_EQ(host.GetExitCode(), 0);
    mFolder.Write("data/c.txt", "later");
    ASSERT_EQ(screen.Update(0.0f), BW_OK);
    file::Archiver pack(L"data/", L"out.dat", file::FileManager::Instance());
    ASSERT_TRUE(pack.IsValid());
    EXPECT_EQ(pack.GetDirectory().size(), 2u) << "built once";
    EXPECT_EQ(pack.GetDirectory().at(L"gui/b.xml").size, 4u);
}

} // namespace
