#include "Core/App/CriticalSection.h"
#include "Core/App/TimerLocal.h"
#include "Platform/Win32/Win32Kernel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace
{

LONGLONG gNow = 0;
LONGLONG FakeCounter()
{
    return gNow;
}

TEST(TimerLocal, FrameTimeIsTheTimeSinceTheLastTickStallsIncluded)
{
    gNow = 5000000000LL;
    win32::SetPerformanceCounterSource(&FakeCounter);
    app::TimerLocal timer;
    timer.Start();
    gNow += 16000000; // 16 ms
    timer.Tick();
    EXPECT_FLOAT_EQ(timer.GetFrameTime(), 0.016f);
    timer.Tick();
    EXPECT_EQ(timer.GetFrameTime(), 0.0f);
    gNow += 12LL * 1000000000LL; // a dragged window, a breakpoint: reported in full
    timer.Tick();
    EXPECT_FLOAT_EQ(timer.GetFrameTime(), 12.0f);
    win32::SetPerformanceCounterSource(nullptr);
}

TEST(CriticalSection, ReentersOnOneThreadAndExcludesOthersUntilLeftAsOftenAsEntered)
{
    app::CriticalSection lock;
    std::atomic<bool> entered{false};
    lock.Enter();
    lock.Enter();
    std::thread other([&] {
        app::CriticalSectionGuard guard(&lock);
        entered = true;
    });
    lock.Leave();
    Sleep(20);
    EXPECT_FALSE(entered.load());
    lock.Leave();
    other.join();
    EXPECT_TRUE(entered.load());
    app::CriticalSectionGuard none(nullptr); // no lock, no effect
}

} // namespace
