#include "Core/Math/Random.h"
#include "Platform/Win32/Win32Kernel.h"

#include <gtest/gtest.h>

#include <vector>

TEST(Random, SeededValuesAreFixedFunctionsOfTheSeedAndSetTheCounter)
{
    EXPECT_EQ(math::HashRandom(0), 0x09449553u);
    EXPECT_NEAR(math::RandomRange(0.0f, 1.0f, 5), 0.851643f, 1e-5f);
    EXPECT_EQ(*math::GetRandomSeed(), 5u);
    EXPECT_EQ(math::RandomRange(10.0f, 20.0f, 6), math::RandomRange(10.0f, 20.0f, 6));
}

TEST(RandomInRange, FollowsTheFifteenBitRandAndReachesBothEndsOfTheRange)
{
    win32::srand(1);
    std::vector<uint32_t> values;
    for (int i = 0; i < 5; ++i)
        values.push_back(math::RandomInRange({0, 10}));
    EXPECT_EQ(values, (std::vector<uint32_t>{0, 6, 2, 8, 6}));
    bool low = false, high = false;
    for (int i = 0; i < 5000; ++i)
    {
        uint32_t v = math::RandomInRange({3, 9});
        ASSERT_GE(v, 3u);
        ASSERT_LE(v, 9u);
        low |= v == 3;
        high |= v == 9;
    }
    EXPECT_TRUE(low && high);
    EXPECT_EQ(math::RandomInRange({4, 4}), 4u);
    // Inverted and full 32-bit ranges used to convert out-of-range floats.
    EXPECT_EQ(math::RandomInRange({9, 3}), 9u);
    for (int i = 0; i < 200; ++i)
    {
        uint32_t v = math::RandomInRange({0xFFFFFF00u, 0xFFFFFFFFu});
        ASSERT_GE(v, 0xFFFFFF00u);
        math::RandomInRange({0, 0xFFFFFFFFu});
    }
    win32::srand(1);
}
