#include "Core/App/Application.h"
#include "Core/App/CriticalSection.h"
#include "Core/App/Thread.h"
#include "Core/Base/Log.h"
#include "Platform/Win32/Win32Kernel.h"
#include "Platform/Win32/Win32Shell.h"
#include "Platform/Win32/Win32User.h"
#include "tests/Support/TempFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>

namespace
{

std::wstring gDebugText;

// Stops itself after a number of updates.
class Countdown : public base::Task
{
public:
    explicit Countdown(int frames) : base::Task(false, false, true, false), mLeft(frames) {}
    BWResultEnum OnUpdate(float) override
    {
        ++mUpdates;
        if (--mLeft == 0)
            Stop();
        return BW_OK;
    }
    int mLeft;
    std::atomic<int> mUpdates{0};
};

class Worker : public app::Thread
{
public:
    explicit Worker(bool autoDelete = false) : app::Thread(autoDelete, false, true, true) {}
    ~Worker() override { ++sDeleted; }
    void MarkStopped() { mStopped = 1; }
    static int sDeleted;
};
int Worker::sDeleted = 0;

class Host : public app::Application
{
public:
    explicit Host(bool stopWhenThreadsDone = false) : app::Application(true, stopWhenThreadsDone) {}
};

// A host application as the instance, with user folders of its own.
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
        mGame = new Host;
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
        win32::SetThreadCreationFailure(0);
        unsetenv("XDG_DATA_HOME");
        unsetenv("XDG_DOCUMENTS_DIR");
    }

    testing_support::TempFolder mRoot;
    Host* mGame = nullptr;
};
using ThreadTest = ApplicationTest;

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

TEST_F(ThreadTest, StartRegistersCreatesSuspendedAndSetsThePriority)
{
    Worker worker;
    Countdown child(2);
    worker.AddChild(&child);
    ASSERT_TRUE(worker.Start(app::ThreadPriorityHigh));
    EXPECT_EQ(mGame->GetThreads().size(), 1u);
    EXPECT_EQ(GetThreadPriority(worker.GetHandle()), THREAD_PRIORITY_HIGHEST);
    EXPECT_EQ(WaitForSingleObject(worker.GetHandle(), 20), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(child.mUpdates.load(), 0);

    // Nothing in the engine resumes it; resumed here, it runs its own loop
    // until it is stopped and its children are done.
    worker.Update(0.0f);
    worker.MarkStopped();
    ResumeThread(worker.GetHandle());
    EXPECT_EQ(WaitForSingleObject(worker.GetHandle(), INFINITE), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_EQ(child.mUpdates.load(), 2);
    EXPECT_TRUE(worker.HasNoChildren());
}

TEST_F(ThreadTest, ApplicationWaitsForRegisteredThreadsAndReapsThem)
{
    auto* worker = new Worker(true);
    Worker::sDeleted = 0;
    ASSERT_TRUE(worker->Start(app::ThreadPriorityNormal));
    mGame->OnUpdate(0.0f);
    EXPECT_FALSE(mGame->IsStopped());

    mGame->Stop(); // OnStop stops the registered threads, not the application
    EXPECT_TRUE(worker->IsStopped());
    EXPECT_FALSE(mGame->IsStopped());
    mGame->OnUpdate(0.0f);
    EXPECT_EQ(Worker::sDeleted, 1);
    EXPECT_TRUE(mGame->GetThreads().empty());
    EXPECT_TRUE(mGame->IsStopped());
}

// Registration follows the thread's life: a failed creation, a second start,
// an owner deleting a started thread, the application going first.
TEST_F(ThreadTest, AThreadIsRegisteredOnceWhileItLivesWhoeverGoesFirst)
{
    Worker failed;
    win32::SetThreadCreationFailure(ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_FALSE(failed.Start(app::ThreadPriorityNormal));
    EXPECT_TRUE(mGame->GetThreads().empty());
    win32::SetThreadCreationFailure(0);

    auto* owned = new Worker;
    ASSERT_TRUE(owned->Start(app::ThreadPriorityNormal));
    const HANDLE first = owned->GetHandle();
    EXPECT_FALSE(owned->Start(app::ThreadPriorityNormal)) << "started once";
    EXPECT_EQ(owned->GetHandle(), first);
    EXPECT_EQ(mGame->GetThreads().size(), 1u);
    delete owned; // it does not delete itself
    EXPECT_TRUE(mGame->GetThreads().empty());
    mGame->OnUpdate(0.0f); // walks the list, and finishes with no thread left
    EXPECT_TRUE(mGame->IsStopped());

    // The application goes first: the thread does not reach back to it.
    Worker outliving;
    ASSERT_TRUE(outliving.Start(app::ThreadPriorityNormal));
    delete mGame;
    mGame = nullptr;
    base::Singletone<app::Application>::SetInstance(nullptr);
}

TEST(CriticalSection, ReentersOnOneThreadAndExcludesOthersUntilLeftAsOftenAsEntered)
{
    app::CriticalSection lock;
    std::atomic<bool> entered{false};
    lock.Enter();
    lock.Enter();
    std::thread other([&] {
        app::CriticalSectionGuard guard(&lock);
        entered = true;
    });
    lock.Leave();
    Sleep(20);
    EXPECT_FALSE(entered.load());
    lock.Leave();
    other.join();
    EXPECT_TRUE(entered.load());
    app::CriticalSectionGuard none(nullptr); // no lock, no effect
}

TEST(ThreadStopWhenDone, ApplicationStopsItsTreeWhenTheLastThreadIsGoneIfAsked)
{
    for (bool stopWhenDone : {true, false})
    {
        Host host(stopWhenDone);
        Countdown window(100);
        host.AddChild(&window);
        host.Update(0.0f); // merges the window; no thread registered
        EXPECT_TRUE(stopWhenDone ? host.IsStopRequested() : host.IsStopped());
        EXPECT_EQ(window.IsStopRequested(), stopWhenDone);
    }
}

} // namespace
