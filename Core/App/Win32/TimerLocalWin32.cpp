#include "Core/App/Win32/TimerLocalWin32.h"

#include "Platform/Win32/Win32Kernel.h"

namespace app
{

void TimerLocalWin32::Start()
{
    LARGE_INTEGER value;
    QueryPerformanceFrequency(&value);
    mFrequency = value.QuadPart;
    QueryPerformanceCounter(&value);
    mLastCount = value.QuadPart;
}

void TimerLocalWin32::Tick()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    mFrameTime = mFrequency > 0 ? static_cast<float>(double(now.QuadPart - mLastCount) / double(mFrequency)) : 0.0f;
    mLastCount = now.QuadPart;
}

} // namespace app
