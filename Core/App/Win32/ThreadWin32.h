#pragma once

#include "Core/App/ThreadBase.h"
#include "Platform/Win32/Win32Types.h"

namespace app
{

class Application;

// Runs the frame loop on the calling thread (the main loop), or on a Win32
// thread of its own. Start creates that thread suspended; nothing in the
// engine resumes it.
class ThreadWin32 : public ThreadBase
{
public:
    ThreadWin32(bool autoDelete, bool finishWithChildren, bool keepsParentAlive, bool withLock);
    // Leaves the application's list and closes the thread handle; the system
    // thread is not waited for.
    ~ThreadWin32() override;

    // Registers with the application, then creates the suspended thread. A
    // failure leaves nothing registered, so the application can still end.
    // A thread starts once.
    bool Start(int priority) override;
    void Run() override;
    bool SetPriority(int priority) override;

    HANDLE GetHandle() const { return mHandle; }

private:
    static DWORD WINAPI ThreadEntry(LPVOID parameter);

    HANDLE mHandle = nullptr;
    // Where Start registered the thread; the application clears it when it
    // lets go of the thread first.
    friend class Application;
    Application* mApplication = nullptr;
};

} // namespace app
