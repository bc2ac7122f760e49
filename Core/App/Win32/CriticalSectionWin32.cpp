#include "Core/App/Win32/CriticalSectionWin32.h"

namespace app
{

CriticalSectionWin32::CriticalSectionWin32()
{
    InitializeCriticalSection(&mSection);
}

CriticalSectionWin32::~CriticalSectionWin32()
{
    DeleteCriticalSection(&mSection);
}

void CriticalSectionWin32::Enter()
{
    EnterCriticalSection(&mSection);
}

void CriticalSectionWin32::Leave()
{
    LeaveCriticalSection(&mSection);
}

} // namespace app
