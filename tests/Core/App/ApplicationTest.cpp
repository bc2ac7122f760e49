#include "Core/App/Application.h"
#include "Core/Base/Log.h"
#include "Platform/Win32/Win32Kernel.h"
#include "Platform/Win32/Win32Shell.h"
#include "Platform/Win32/Win32User.h"
#include "tests/Support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/stat.h>

namespace
{

std::wstring gDebugText;

// Stops itself after a number of frames, as the game window does once its
// Win32 window is gone.
class Window : public base::Task
{
public:
    explicit Window(int frames) : base::Task(false, false, true, true), mLeft(frames) {}
    BWResultEnum OnUpdate(float) override
    {
        ++mFrames;
        if (--mLeft == 0)
            mStopped = 1;
        return BW_OK;
    }
    int mLeft;
    int mFrames = 0;
};

class Game : public app::Application
{
public:
    Game() : app::Application(true, false) {}
    BWResultEnum Start() override
    {
        ++mStarts;
        if (mWindow)
            AddChild(mWindow);
        if (mStopInStart)
            Stop();
        return BW_OK;
    }
    Window* mWindow = nullptr;
    bool mStopInStart = false;
    int mStarts = 0;
};

class ApplicationTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        mRoot.Write("data/.keep", "");
        mRoot.Write("home/.keep", "");
        setenv("XDG_DATA_HOME", (mRoot.Path() + "data").c_str(), 1);
        setenv("XDG_DOCUMENTS_DIR", (mRoot.Path() + "home").c_str(), 1);
        gDebugText.clear();
        win32::SetDebugOutputHook([](const wchar_t* text, void*) { gDebugText += text; }, nullptr);
        mGame = new Game;
        base::Singletone<app::Application>::SetInstance(mGame);
    }
    void TearDown() override
    {
        delete mGame;
        base::Singletone<app::Application>::SetInstance(nullptr);
        win32::SetDebugOutputHook(nullptr, nullptr);
        win32::SetFolderPathFailure(CSIDL_APPDATA, S_OK);
        win32::SetFolderPathFailure(CSIDL_PERSONAL, S_OK);
        win32::SetModuleFileNameFailure(0);
        unsetenv("XDG_DATA_HOME");
        unsetenv("XDG_DOCUMENTS_DIR");
    }

    testing_support::TempFolder mRoot;
    Game* mGame = nullptr;
};

TEST_F(ApplicationTest, InitPlatformFindsTheFoldersFallsBackToTheDocumentsFolderAndReportsFailures)
{
    ASSERT_EQ(mGame->InitApplication(), BW_OK);
    const std::wstring& exe = mGame->GetExecutableFolder();
    EXPECT_EQ(exe.back(), L'/');
    EXPECT_NE(exe.find(L"/tests/"), std::wstring::npos);
    EXPECT_EQ(mGame->GetUserDataFolder(), mRoot.WidePath() + L"data/");
    EXPECT_NE(gDebugText.find(L"log initialized\n"), std::wstring::npos);
    base::MainLog::Instance()->AddTextOutput(new base::LogDebugOutput);
    ASSERT_EQ(mGame->InitLogFile(mRoot.WidePath() + L"data/"), BW_OK);
    EXPECT_NE(gDebugText.find(L"log.html(0): Html log file\n"), std::wstring::npos) << "announced, then opened";
    EXPECT_EQ(testing_support::ReadFile(mRoot.Path() + "data/log.html").rfind("<html><head>", 0), 0u);

    // A missing data folder falls back to the documents folder; other failures fail.
    win32::SetFolderPathFailure(CSIDL_APPDATA, E_FAIL);
    ASSERT_EQ(mGame->InitPlatform(), BW_OK);
    EXPECT_EQ(mGame->GetUserDataFolder(), mRoot.WidePath() + L"home/");
    win32::SetFolderPathFailure(CSIDL_PERSONAL, E_FAIL);
    EXPECT_EQ(mGame->InitPlatform(), BW_FAIL);
    win32::SetFolderPathFailure(CSIDL_APPDATA, E_INVALIDARG);
    win32::SetFolderPathFailure(CSIDL_PERSONAL, S_OK);
    EXPECT_EQ(mGame->InitPlatform(), BW_FAIL);
    win32::SetFolderPathFailure(CSIDL_APPDATA, S_OK);
    win32::SetModuleFileNameFailure(ERROR_ACCESS_DENIED);
    EXPECT_EQ(mGame->InitPlatform(), BW_FAIL);
}

TEST_F(ApplicationTest, RunApplicationLoopsUntilTheWindowIsGoneUnlessStartStopped)
{
    Window window(3);
    mGame->mWindow = &window;
    mGame->RunApplication();
    EXPECT_EQ(mGame->mStarts, 1);
    EXPECT_EQ(window.mFrames, 3);
    EXPECT_TRUE(mGame->HasNoChildren());
    EXPECT_TRUE(mGame->IsStopped());

    Game stopped; // another instance found, or the renderer failed
    Window unused(3);
    stopped.mWindow = &unused;
    stopped.mStopInStart = true;
    stopped.RunApplication();
    EXPECT_EQ(unused.mFrames, 0);
    EXPECT_EQ(stopped.GetPendingCount(), 1u);
}

TEST_F(ApplicationTest, EachUpdateHandlesOneMessageOfTheQueue)
{
    ASSERT_TRUE(PostMessageW(nullptr, WM_USER + 1, 0, 0));
    ASSERT_TRUE(PostMessageW(nullptr, WM_USER + 2, 0, 0));
    mGame->OnUpdate(0.0f);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 2));
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_TRUE(mGame->IsStopped()); // no thread registered
}

// In a fresh process, where no application has been torn down yet: without a
// registered creator there is no instance rather than a call through null.
TEST(ApplicationCreator, MissingCreatorGivesNoInstance)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            app::Application::SetCreateInstance(nullptr);
            std::exit(!app::Application::IsTornDown() && app::Application::Instance() == nullptr ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace
