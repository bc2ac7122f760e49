#include "Core/App/Win32/MonitorInfo.h"

#include "Platform/Win32/Win32User.h"

namespace app
{
namespace
{

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data)
{
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoA(monitor, &info))
        return FALSE;
    MonitorInfo record;
    record.mX = info.rcMonitor.left;
    record.mY = info.rcMonitor.top;
    record.mWidth = info.rcMonitor.right - info.rcMonitor.left;
    record.mHeight = info.rcMonitor.bottom - info.rcMonitor.top;
    record.mWorkX = info.rcWork.left;
    record.mWorkY = info.rcWork.top;
    record.mWorkWidth = info.rcWork.right - info.rcWork.left;
    record.mWorkHeight = info.rcWork.bottom - info.rcWork.top;
    record.mPrimary = info.dwFlags == MONITORINFOF_PRIMARY ? 1 : 0;
    reinterpret_cast<std::vector<MonitorInfo>*>(data)->push_back(record);
    return TRUE;
}

} // namespace

bool EnumerateMonitors(std::vector<MonitorInfo>& monitors)
{
    monitors.clear();
    return EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors)) != FALSE;
}

size_t GetMonitorCount(const std::vector<MonitorInfo>& monitors)
{
    return monitors.size();
}

const MonitorInfo* GetMonitor(const std::vector<MonitorInfo>& monitors, size_t index)
{
    return index < monitors.size() ? &monitors[index] : nullptr;
}

void ReduceRatio(std::pair<uint32_t, uint32_t>& out, uint32_t a, uint32_t b)
{
    uint32_t g = a;
    for (uint32_t r = b; r != 0;)
    {
        uint32_t next = g % r;
        g = r;
        r = next;
    }
    if (g == 0)
    {
        out = {0, 0};
        return;
    }
    out = {a / g, b / g};
}

} // namespace app
