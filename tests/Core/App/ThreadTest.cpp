#include "Core/App/Application.h"
#include "Core/App/Thread.h"
#include "Platform/Win32/Win32Kernel.h"

#include <gtest/gtest.h>

#include <atomic>

namespace
{

// Stops itself after a number of updates.
class Countdown : public base::Task
{
public:
    explicit Countdown(int frames, bool autoDelete = false) : base::Task(autoDelete, false, true, false), mLeft(frames)
    {
    }
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

// Installs a host application as the instance for one test.
class ThreadTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        mHost = new Host;
        base::Singletone<app::Application>::SetInstance(mHost);
    }
    void TearDown() override
    {
        win32::SetThreadCreationFailure(0);
        delete mHost;
        base::Singletone<app::Application>::SetInstance(nullptr);
    }
    Host* mHost = nullptr;
};

TEST_F(ThreadTest, StartRegistersCreatesSuspendedAndSetsThePriority)
{
    Worker worker;
    Countdown child(2);
    worker.AddChild(&child);
    ASSERT_TRUE(worker.Start(app::ThreadPriorityHigh));
    EXPECT_EQ(mHost->GetThreads().size(), 1u);
    EXPECT_EQ(GetThreadPriority(worker.GetHandle()), THREAD_PRIORITY_HIGHEST);
    EXPECT_EQ(WaitForSingleObject(worker.GetHandle(), 20), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(child.mUpdates.load(), 0);
    EXPECT_FALSE(mHost->SetPriority(app::ThreadPriorityHigh)) << "the application has no thread of its own";

    // Nothing in the engine resumes it; resumed here, it runs its own loop
    // until it is stopped and its children are done.
    worker.Update(0.0f);
    worker.MarkStopped();
    ResumeThread(worker.GetHandle());
    EXPECT_EQ(WaitForSingleObject(worker.GetHandle(), INFINITE), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_EQ(child.mUpdates.load(), 2);
    EXPECT_TRUE(worker.HasNoChildren());

    Worker paused;
    paused.SetPaused(true);
    paused.Stop();
    paused.Run(); // still ends once the tree is done
    EXPECT_TRUE(paused.IsStopped());
}

TEST_F(ThreadTest, ApplicationWaitsForRegisteredThreadsAndReapsThem)
{
    auto* worker = new Worker(true);
    Worker::sDeleted = 0;
    ASSERT_TRUE(worker->Start(app::ThreadPriorityNormal));
    mHost->OnUpdate(0.0f);
    EXPECT_FALSE(mHost->IsStopped());

    mHost->Stop(); // OnStop stops the registered threads, not the application
    EXPECT_TRUE(worker->IsStopped());
    EXPECT_FALSE(mHost->IsStopped());
    mHost->OnUpdate(0.0f);
    EXPECT_EQ(Worker::sDeleted, 1);
    EXPECT_TRUE(mHost->GetThreads().empty());
    EXPECT_TRUE(mHost->IsStopped());
}

// Registration follows the thread's life: a failed creation, a second start,
// an owner deleting a started thread, the application going first.
TEST_F(ThreadTest, AThreadIsRegisteredOnceWhileItLivesWhoeverGoesFirst)
{
    Worker failed;
    win32::SetThreadCreationFailure(ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_FALSE(failed.Start(app::ThreadPriorityNormal));
    EXPECT_TRUE(mHost->GetThreads().empty());
    win32::SetThreadCreationFailure(0);

    auto* owned = new Worker;
    ASSERT_TRUE(owned->Start(app::ThreadPriorityNormal));
    const HANDLE first = owned->GetHandle();
    EXPECT_FALSE(owned->Start(app::ThreadPriorityNormal)) << "started once";
    EXPECT_EQ(owned->GetHandle(), first);
    EXPECT_EQ(mHost->GetThreads().size(), 1u);
    delete owned; // it does not delete itself
    EXPECT_TRUE(mHost->GetThreads().empty());
    mHost->OnUpdate(0.0f); // walks the list, and finishes with no thread left
    EXPECT_TRUE(mHost->IsStopped());

    // The application goes first: the thread does not reach back to it.
    Worker outliving;
    ASSERT_TRUE(outliving.Start(app::ThreadPriorityNormal));
    delete mHost;
    mHost = nullptr;
    base::Singletone<app::Application>::SetInstance(nullptr);
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
