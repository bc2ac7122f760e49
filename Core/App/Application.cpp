#include "Core/App/Application.h"

#include "Platform/Win32/Win32User.h"

#include <new>

namespace app
{

namespace
{
Application::CreateInstanceFunction gCreateInstance = nullptr;
}

Application::Application(bool finishWithChildren, bool stopWhenThreadsDone)
    : ApplicationWin32(finishWithChildren), mStopWhenThreadsDone(stopWhenThreadsDone ? 1 : 0)
{
}

Application::~Application()
{
    // Threads that outlive the application must not reach back to it.
    for (ThreadWin32* thread : mThreads)
        thread->mApplication = nullptr;
}

BWResultEnum Application::InitApplication()
{
    return InitPlatform();
}

BWResultEnum Application::Start()
{
    return OnStarted();
}

BWResultEnum Application::OnUpdate(float)
{
    PumpMessages();
    for (auto it = mThreads.begin(); it != mThreads.end();)
    {
        ThreadWin32* thread = *it;
        if (thread->IsStopped() && thread->HasNoChildren())
        {
            it = mThreads.erase(it);
            thread->mApplication = nullptr;
            if (thread->IsAutoDelete())
                delete thread;
        }
        else
            ++it;
    }
    if (mThreads.empty())
    {
        if (mStopWhenThreadsDone)
            Stop();
        mStopped = 1;
    }
    return BW_OK;
}

void Application::OnStop()
{
    for (ThreadWin32* thread : mThreads)
        thread->Stop();
}

void Application::RegisterThread(ThreadWin32* thread)
{
    if (thread->mApplication && thread->mApplication != this)
        thread->mApplication->UnregisterThread(thread);
    if (thread->mApplication != this)
        mThreads.push_back(thread);
    thread->mApplication = this;
}

void Application::UnregisterThread(ThreadWin32* thread)
{
    mThreads.remove(thread);
    if (thread->mApplication == this)
        thread->mApplication = nullptr;
}

void Application::SetCreateInstance(CreateInstanceFunction create)
{
    gCreateInstance = create;
}

} // namespace app

template <>
app::Application* base::Singletone<app::Application>::Instance()
{
    if (!sInstance && !sTornDown && !SingletonRegistry::Get().IsReleasing() && app::gCreateInstance)
    {
        try
        {
            sInstance = app::gCreateInstance();
            sSelf = sInstance;
        }
        catch (const std::bad_alloc&)
        {
            sInstance = nullptr;
        }
    }
    return sInstance;
}
