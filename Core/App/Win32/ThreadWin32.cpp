#include "Core/App/Win32/ThreadWin32.h"

#include "Core/App/Application.h"
#include "Core/App/TimerLocal.h"
#include "Platform/Win32/Win32Kernel.h"

namespace app
{

namespace
{

int ToWin32Priority(int priority)
{
    switch (priority)
    {
    case ThreadPriorityIdle: return THREAD_PRIORITY_IDLE;
    case ThreadPriorityBelowNormal: return THREAD_PRIORITY_BELOW_NORMAL;
    case ThreadPriorityAboveNormal: return THREAD_PRIORITY_ABOVE_NORMAL;
    case ThreadPriorityHigh: return THREAD_PRIORITY_HIGHEST;
    case ThreadPriorityRealTime: return THREAD_PRIORITY_TIME_CRITICAL;
    default: return THREAD_PRIORITY_NORMAL;
    }
}

} // namespace

ThreadWin32::ThreadWin32(bool autoDelete, bool finishWithChildren, bool keepsParentAlive, bool withLock)
    : ThreadBase(autoDelete, finishWithChildren, keepsParentAlive, withLock)
{
}

ThreadWin32::~ThreadWin32()
{
    // Left in the list, the application would update a freed thread.
    if (mApplication)
        mApplication->UnregisterThread(this);
    if (mHandle)
        CloseHandle(mHandle);
}

bool ThreadWin32::Start(int priority)
{
    // A second start would lose the first thread's handle.
    if (mHandle)
        return false;
    Application* application = Application::Instance();
    if (application)
        application->RegisterThread(this);
    mHandle = CreateThread(nullptr, 0, &ThreadEntry, this, CREATE_SUSPENDED, nullptr);
    if (!mHandle)
    {
        // Left registered, the application would wait for it forever.
        if (application)
            application->UnregisterThread(this);
        return false;
    }
    SetPriority(priority);
    return true;
}

void ThreadWin32::Run()
{
    TimerLocal timer;
    timer.Start();
    for (;;)
    {
        if (mStopped && HasNoChildren())
            break;
        timer.Tick();
        if (mPaused)
            continue;
        Update(timer.GetFrameTime());
    }
}

bool ThreadWin32::SetPriority(int priority)
{
    return SetThreadPriority(mHandle, ToWin32Priority(priority)) != FALSE;
}

DWORD WINAPI ThreadWin32::ThreadEntry(LPVOID parameter)
{
    static_cast<ThreadWin32*>(parameter)->Run();
    return 0;
}

} // namespace app
