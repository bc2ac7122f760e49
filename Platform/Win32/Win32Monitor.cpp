// Monitors over SDL's displays. SDL lists the primary display first.

#include "Platform/Win32/SdlGlue.h"
#include "Platform/Win32/Win32UserInternal.h"

#include <SDL.h>

namespace win32
{
namespace user
{
namespace
{

struct Display
{
    RECT monitor;
    RECT work;
    bool infoFails = false; // GetMonitorInfo fails for this one
};

RECT ToRect(const SDL_Rect& r)
{
    return {r.x, r.y, r.x + r.w, r.y + r.h};
}

std::vector<Display> Displays()
{
    std::vector<Display> displays;
    if (!EnsureSdl(SDL_INIT_VIDEO))
        return displays;
    int count = SDL_GetNumVideoDisplays();
    for (int i = 0; i < count; ++i)
    {
        SDL_Rect bounds;
        SDL_Rect usable;
        Display display = {};
        if (SDL_GetDisplayBounds(i, &bounds) != 0)
            display.infoFails = true;
        else
        {
            display.monitor = ToRect(bounds);
            display.work = SDL_GetDisplayUsableBounds(i, &usable) == 0 ? ToRect(usable) : display.monitor;
        }
        displays.push_back(display);
    }
    return displays;
}

size_t MonitorIndex(HMONITOR monitor)
{
    return reinterpret_cast<uintptr_t>(monitor) - 1;
}

HMONITOR MonitorHandle(size_t index)
{
    return reinterpret_cast<HMONITOR>(static_cast<uintptr_t>(index + 1));
}

BOOL GetMonitorInfoAny(HMONITOR monitor, LPMONITORINFO info)
{
    if (!info || info->cbSize < sizeof(MONITORINFO))
        return FALSE;
    std::vector<Display> displays = Displays();
    size_t index = MonitorIndex(monitor);
    if (!monitor || index >= displays.size() || displays[index].infoFails)
        return FALSE;
    info->rcMonitor = displays[index].monitor;
    info->rcWork = displays[index].work;
    info->dwFlags = index == 0 ? MONITORINFOF_PRIMARY : 0;
    return TRUE;
}

} // namespace
} // namespace user
} // namespace win32

BOOL WINAPI EnumDisplayMonitors(HDC dc, LPCRECT, MONITORENUMPROC proc, LPARAM data)
{
    std::vector<win32::user::Display> displays = win32::user::Displays();
    if (!proc || displays.empty())
        return FALSE;
    for (size_t i = 0; i < displays.size(); ++i)
    {
        RECT rect = displays[i].monitor;
        if (!proc(win32::user::MonitorHandle(i), dc, &rect, data))
            break;
    }
    return TRUE;
}

BOOL WINAPI GetMonitorInfoA(HMONITOR monitor, LPMONITORINFO info)
{
    return win32::user::GetMonitorInfoAny(monitor, info);
}

BOOL WINAPI GetMonitorInfoW(HMONITOR monitor, LPMONITORINFO info)
{
    return win32::user::GetMonitorInfoAny(monitor, info);
}

HMONITOR WINAPI MonitorFromWindow(HWND hwnd, DWORD flags)
{
    win32::user::WindowRecord* record = win32::user::FindWindowRecord(hwnd);
    if (record)
    {
        int index = SDL_GetWindowDisplayIndex(record->sdl);
        if (index >= 0)
            return win32::user::MonitorHandle(static_cast<size_t>(index));
    }
    if (flags == MONITOR_DEFAULTTONULL)
        return nullptr;
    return win32::user::Displays().empty() ? nullptr : win32::user::MonitorHandle(0);
}
