#pragma once

#include "Core/App/TimerBase.h"

#include <cstdint>

namespace app
{

// Time between two ticks from the high-resolution counter; neither clamped
// nor smoothed, so a stall is reported in full.
class TimerLocalWin32 : public TimerBase
{
public:
    void Start();
    void Tick();

    // Seconds measured by the latest tick.
    float GetFrameTime() const { return mFrameTime; }

private:
    int64_t mFrequency = 0;
    int64_t mLastCount = 0;
    float mFrameTime = 0.0f;
};

} // namespace app
