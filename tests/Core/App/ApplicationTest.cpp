#include "Core/App/Application.h"
#include "Core/Base/Log.h"
#include "Platform/Win32/Win32Kernel.h"
#include "Platform/Win32/Win32Shell.h"
#include "Platform/Win32/Win32User.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace
{

std::wstring gDebugText;
void CaptureDebug(const wchar_t* text, void*)
{
    gDebugText += text;
}

std::wstring Wide(const std::string& s)
{
    return std::wstring(s.begin(), s.end());
}

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
        mRoot = std::string(BW_BINARY_DIR) + "/app_folders";
        mkdir(mRoot.c_str(), 0755);
        mkdir((mRoot + "/data").c_str(), 0755);
        mkdir((mRoot + "/home").c_str(), 0755);
        setenv("XDG_DATA_HOME", (mRoot + "/data").c_str(), 1);
        setenv("XDG_DOCUMENTS_DIR", (mRoot + "/home").c_str(), 1);
        gDebugText.clear();
        win32::SetDebugOutputHook(&CaptureDebug, nullptr);
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
        win32::SetMessageBoxHook({});
        unsetenv("XDG_DATA_HOME");
        unsetenv("XDG_DOCUMENTS_DIR");
    }

    std::string mRoot;
    Game* mGame = nullptr;
};

TEST_F(ApplicationTest, InitPlatformFindsTheFoldersAndAttachesTheDebuggerOutput)
{
    ASSERT_EQ(mGame->InitApplication(), BW_OK);
    const std::wstring& exe = mGame->GetExecutableFolder();
    ASSERT_FALSE(exe.empty());
    EXPECT_EQ(exe.back(), L'/');
    EXPECT_NE(exe.find(L"/tests/"), std::wstring::npos);
    EXPECT_EQ(mGame->GetUserDataFolder(), Wide(mRoot + "/data/"));
    EXPECT_NE(gDebugText.find(L"log initialized\n"), std::wstring::npos);
}

TEST_F(ApplicationTest, MissingDataFolderFallsBackToTheDocumentsFolderAndOtherFailuresFail)
{
    win32::SetFolderPathFailure(CSIDL_APPDATA, E_FAIL);
    ASSERT_EQ(mGame->InitPlatform(), BW_OK);
    EXPECT_EQ(mGame->GetUserDataFolder(), Wide(mRoot + "/home/"));
    win32::SetFolderPathFailure(CSIDL_PERSONAL, E_FAIL);
    EXPECT_EQ(mGame->InitPlatform(), BW_FAIL);

    win32::SetFolderPathFailure(CSIDL_APPDATA, E_INVALIDARG);
    win32::SetFolderPathFailure(CSIDL_PERSONAL, S_OK);
    EXPECT_EQ(mGame->InitPlatform(), BW_FAIL);
    win32::SetFolderPathFailure(CSIDL_APPDATA, S_OK);
    win32::SetModuleFileNameFailure(ERROR_ACCESS_DENIED);
    EXPECT_EQ(mGame->InitPlatform(), BW_FAIL);
}

TEST_F(ApplicationTest, InitLogFileAnnouncesThePathThenOpensTheFile)
{
    const std::string folder = mRoot + "/data/";
    std::remove((folder + "log.html").c_str());
    base::MainLog::Instance()->AddTextOutput(new base::LogDebugOutput);
    ASSERT_EQ(mGame->InitLogFile(Wide(folder)), BW_OK);
    EXPECT_EQ(mGame->GetLogFolder(), Wide(folder));
    EXPECT_NE(gDebugText.find(Wide(folder) + L"log.html(0): Html log file\n"), std::wstring::npos);
    std::ifstream in(folder + "log.html", std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text.rfind("<html><head>", 0), 0u);
    EXPECT_EQ(text.find("Html log file"), std::string::npos); // logged before the file existed
}

TEST_F(ApplicationTest, RunApplicationLoopsUntilTheWindowIsGone)
{
    Window window(3);
    mGame->mWindow = &window;
    mGame->RunApplication();
    EXPECT_EQ(mGame->mStarts, 1);
    EXPECT_EQ(window.mFrames, 3);
    EXPECT_TRUE(mGame->HasNoChildren());
    EXPECT_TRUE(mGame->IsStopped());
}

TEST_F(ApplicationTest, StopRequestedDuringStartSkipsTheLoop)
{
    Window window(3);
    mGame->mWindow = &window;
    mGame->mStopInStart = true; // another instance found, or the renderer failed
    mGame->RunApplication();
    EXPECT_EQ(window.mFrames, 0);
    EXPECT_EQ(mGame->GetPendingCount(), 1u);
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

TEST_F(ApplicationTest, RenderFailureShowsTheMessageBoxOnceAtDestruction)
{
    std::vector<std::wstring> boxes;
    UINT style = 0;
    win32::SetMessageBoxHook([&](HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) {
        EXPECT_EQ(owner, nullptr);
        boxes.push_back(std::wstring(caption) + L": " + text);
        style = type;
        return IDOK;
    });
    mGame->SetRenderFailed(true);
    delete mGame;
    mGame = nullptr;
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], L"Error: Failed to init DirectX 9 render: video card does'n support vertex shaders 1.1 "
                        L"and(or) pixel shaders 2.0");
    EXPECT_EQ(style, static_cast<UINT>(MB_ICONERROR));
    {
        Game ok;
    }
    EXPECT_EQ(boxes.size(), 1u);
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
