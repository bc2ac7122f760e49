#pragma once

// The machine's display monitors, from which the display settings pick the
// one to play on.

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace app
{

struct MonitorInfo
{
    int32_t mX = 0;
    int32_t mY = 0;
    int32_t mWidth = 0;
    int32_t mHeight = 0;
    // The monitor without the task bar and docks.
    int32_t mWorkX = 0;
    int32_t mWorkY = 0;
    int32_t mWorkWidth = 0;
    int32_t mWorkHeight = 0;
    uint8_t mPrimary = 0;
};

// Empties the list and fills it in enumeration order (primary first); a
// monitor whose description cannot be read ends the list there. True when the
// enumeration itself succeeded.
bool EnumerateMonitors(std::vector<MonitorInfo>& monitors);

size_t GetMonitorCount(const std::vector<MonitorInfo>& monitors);
// Null past the end.
const MonitorInfo* GetMonitor(const std::vector<MonitorInfo>& monitors, size_t index);

// (a / g, b / g) with g the greatest common divisor; (0, 0) for (0, 0).
void ReduceRatio(std::pair<uint32_t, uint32_t>& out, uint32_t a, uint32_t b);

} // namespace app
