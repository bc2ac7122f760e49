#pragma once

#include "Platform/Win32/Win32Kernel.h"

namespace app
{

// A Win32 critical section: recursive for the thread that holds it, so a
// task's OnStop may add a child to the task whose lock is already held.
class CriticalSectionWin32
{
public:
    CriticalSectionWin32();
    ~CriticalSectionWin32();
    CriticalSectionWin32(const CriticalSectionWin32&) = delete;
    CriticalSectionWin32& operator=(const CriticalSectionWin32&) = delete;

    virtual void Enter();
    virtual void Leave();

private:
    CRITICAL_SECTION mSection;
};

} // namespace app
