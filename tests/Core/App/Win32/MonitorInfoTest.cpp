#include "Core/App/Win32/MonitorInfo.h"

#include "Platform/Win32/Win32User.h"

#include <gtest/gtest.h>

namespace
{

class FakeMonitors : public ::testing::Test
{
protected:
    void TearDown() override { win32::SetFakeDisplays({}); }
};

} // namespace

TEST_F(FakeMonitors, KeepOrderSizesAndANegativeSecondaryAndAnUnreadableOneEndsTheList)
{
    win32::SetFakeDisplays({{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}}, {{-1280, -200, 0, 824}, {-1280, -200, 0, 824}}});
    std::vector<app::MonitorInfo> monitors(3);
    ASSERT_TRUE(app::EnumerateMonitors(monitors));
    ASSERT_EQ(app::GetMonitorCount(monitors), 2u);
    const app::MonitorInfo* primary = app::GetMonitor(monitors, 0);
    EXPECT_EQ(primary->mWidth, 1920);
    EXPECT_EQ(primary->mWorkHeight, 1040) << "the work area leaves out the task bar";
    EXPECT_EQ(primary->mPrimary, 1);
    const app::MonitorInfo* secondary = app::GetMonitor(monitors, 1);
    EXPECT_EQ(std::vector<int32_t>({secondary->mX, secondary->mY, secondary->mWidth, secondary->mHeight}),
              std::vector<int32_t>({-1280, -200, 1280, 1024}));
    EXPECT_EQ(secondary->mPrimary, 0);
    EXPECT_EQ(app::GetMonitor(monitors, 2), nullptr);

    win32::SetFakeDisplays({{{0, 0, 800, 600}, {0, 0, 800, 600}},
                            {{800, 0, 1600, 600}, {800, 0, 1600, 600}, true},
                            {{1600, 0, 2400, 600}, {1600, 0, 2400, 600}}});
    std::vector<app::MonitorInfo> found;
    EXPECT_TRUE(app::EnumerateMonitors(found));
    EXPECT_EQ(found.size(), 1u);
}

TEST(ReduceRatio, DividesByTheGreatestCommonDivisor)
{
    const uint32_t rows[][4] = {{1024, 768, 4, 3},    {1366, 768, 683, 384}, {1920, 1080, 16, 9},
                                {2560, 1080, 64, 27}, {7, 0, 1, 0},          {0, 0, 0, 0}};
    for (const auto& row : rows)
    {
        std::pair<uint32_t, uint32_t> out(99, 99);
        app::ReduceRatio(out, row[0], row[1]);
        EXPECT_EQ(out, std::make_pair(row[2], row[3])) << row[0] << "x" << row[1];
    }
}
