#pragma once

#include "Core/App/Win32/ApplicationWin32.h"
#include "Core/Base/Singletone.h"

#include <cstdint>
#include <list>

namespace app
{

// The engine's application: a singleton, the root of the task tree and the
// owner of the process folders. The concrete class is the game's; the
// accessor base::Singletone<app::Application>::Instance creates it through the
// function given to SetCreateInstance.
class Application : public base::Singletone<Application>, public ApplicationWin32
{
public:
    Application(bool finishWithChildren, bool stopWhenThreadsDone);
    // Lets go of the registered threads; they are not deleted.
    ~Application() override;

    virtual BWResultEnum InitApplication();
    virtual BWResultEnum Start();
    using ApplicationWin32::Start;

    // Pumps one message, reaps finished threads, and marks the application
    // stopped while no thread is registered, so that the loop ends once the
    // application has no child task left.
    BWResultEnum OnUpdate(float dt) override;
    // Stops the registered threads; does not mark the application stopped.
    void OnStop() override;

    // A thread is in the list once; a thread that is deleted leaves it.
    void RegisterThread(ThreadWin32* thread);
    void UnregisterThread(ThreadWin32* thread);
    const std::list<ThreadWin32*>& GetThreads() const { return mThreads; }

    int32_t GetExitCode() const { return mExitCode; }
    void SetExitCode(int32_t code) { mExitCode = code; }
    float GetImageScale() const { return mImageScale; }
    float GetTextScale() const { return mTextScale; }

    typedef Application* (*CreateInstanceFunction)();
    static void SetCreateInstance(CreateInstanceFunction create);

protected:
    std::list<ThreadWin32*> mThreads;
    int32_t mExitCode = 0;
    uint8_t mStopWhenThreadsDone;
    float mImageScale = 1.0f;
    float mTextScale = 1.0f;
};

} // namespace app

template <>
app::Application* base::Singletone<app::Application>::Instance();
