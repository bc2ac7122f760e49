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

class TimerLocalTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        gNow = 5000000000LL;
        win32::SetPerformanceCounterSource(&FakeCounter);
    }
    void TearDown() override { win32::SetPerformanceCounterSource(nullptr); }
};

TEST_F(TimerLocalTest, FirstTickMeasuresFromStart)
{
    app::TimerLocal timer;
    timer.Start();
    gNow += 16000000; // 16 ms
    timer.Tick();
    EXPECT_FLOAT_EQ(timer.GetFrameTime(), 0.016f);
}

TEST_F(TimerLocalTest, TwoTicksWithNothingBetweenGiveZero)
{
    app::TimerLocal timer;
    timer.Start();
    gNow += 1000;
    timer.Tick();
    timer.Tick();
    EXPECT_EQ(timer.GetFrameTime(), 0.0f);
}

TEST_F(TimerLocalTest, StallIsReportedInFull)
{
    app::TimerLocal timer;
    timer.Start();
    gNow += 12LL * 1000000000LL; // a dragged window, a breakpoint
    timer.Tick();
    EXPECT_FLOAT_EQ(timer.GetFrameTime(), 12.0f);
}

TEST(TimerLocalClock, RealCounterMeasuresASleep)
{
    app::TimerLocal timer;
    timer.Start();
    Sleep(15);
    timer.Tick();
    EXPECT_GE(timer.GetFrameTime(), 0.014f);
}

TEST(CriticalSection, EnterTwiceLeaveTwiceOnOneThread)
{
    app::CriticalSection lock;
    lock.Enter();
    lock.Enter();
    lock.Leave();
    lock.Leave();
    SUCCEED();
}

TEST(CriticalSection, ExcludesOtherThreadsUntilLeftAsOftenAsEntered)
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
