#pragma once

#include "Core/App/Win32/CriticalSectionWin32.h"

namespace app
{

// The engine's lock; the platform is chosen by the base class.
class CriticalSection final : public CriticalSectionWin32
{
};

// Holds a lock for a scope, also when an exception passes. A null lock is
// no lock.
class CriticalSectionGuard
{
public:
    explicit CriticalSectionGuard(CriticalSection* lock) : mLock(lock)
    {
        if (mLock)
            mLock->Enter();
    }
    ~CriticalSectionGuard()
    {
        if (mLock)
            mLock->Leave();
    }
    CriticalSectionGuard(const CriticalSectionGuard&) = delete;
    CriticalSectionGuard& operator=(const CriticalSectionGuard&) = delete;

private:
    CriticalSection* mLock;
};

} // namespace app
