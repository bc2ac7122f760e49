#include "Core/Base/ParseText.h"
#include "Core/Base/StringTokenizer.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace
{

TEST(StringTokenizer, NumbersReadAsAtoiAndAtofReadThemAndSaturate)
{
    StringTokenizer tokenizer("12abc abc -7 2.5x 99999999999", " ", true);
    int a = -1, b = -1, c = -1, e = -1;
    float d = -1;
    tokenizer.ReadInt(a).ReadInt(b).ReadInt(c).ReadFloat(d).ReadInt(e);
    EXPECT_EQ(std::vector<int>({a, b, c, e}), (std::vector<int>{12, 0, -7, INT_MAX}));
    EXPECT_FLOAT_EQ(d, 2.5f);
    int untouched = 5;
    tokenizer.ReadInt(untouched);
    EXPECT_EQ(untouched, 5);
    EXPECT_DOUBLE_EQ(base::ParseDouble(" 1.25e1"), 12.5) << "whatever the process locale";
    EXPECT_EQ(base::ParseInt("  -42z"), -42);
    EXPECT_EQ(base::ParseInt("-99999999999"), INT_MIN);
}

} // namespace
