#include "Core/Base/ParseText.h"
#include "Core/Base/StringTokenizer.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace
{

std::vector<std::string> Tokens(const std::string& text, const std::string& delimiters, bool skipEmpty)
{
    StringTokenizer tokenizer(text, delimiters, skipEmpty);
    std::vector<std::string> tokens;
    std::string token;
    while (tokenizer.Next(token))
        tokens.push_back(token);
    return tokens;
}

TEST(StringTokenizer, EmptyTokensAreKeptUnlessSkipped)
{
    EXPECT_EQ(Tokens("1,,2", ",", true), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(Tokens("1,,2", ",", false), (std::vector<std::string>{"1", "", "2"}));
    EXPECT_EQ(Tokens("a b\tc", " \t", false), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(Tokens("a,", ",", false), std::vector<std::string>{"a"});
    EXPECT_EQ(Tokens(",a", ",", false), (std::vector<std::string>{"", "a"}));
    EXPECT_TRUE(Tokens(",,,", ",", true).empty());
}

TEST(StringTokenizer, NumbersReadAsAtoiAndAtofReadThemAndSaturate)
{
    StringTokenizer tokenizer("12abc abc -7 2.5x 99999999999", " ", true);
    int a = -1, b = -1, c = -1, e = -1;
    float d = -1;
    tokenizer.ReadInt(a).ReadInt(b).ReadInt(c).ReadFloat(d).ReadInt(e);
    EXPECT_EQ(a, 12);
    EXPECT_EQ(b, 0);
    EXPECT_EQ(c, -7);
    EXPECT_FLOAT_EQ(d, 2.5f);
    EXPECT_EQ(e, INT_MAX);
    int untouched = 5;
    tokenizer.ReadInt(untouched);
    EXPECT_EQ(untouched, 5);
    EXPECT_DOUBLE_EQ(base::ParseDouble(" 1.25e1"), 12.5) << "whatever the process locale";
    EXPECT_EQ(base::ParseInt("  -42z"), -42);
    EXPECT_EQ(base::ParseInt("-99999999999"), INT_MIN);
}

TEST(ParseBool, OnlyOneAndTrueAreTrue)
{
    const struct
    {
        const char* text;
        bool expected;
    } cases[] = {{"1", true}, {"true", true}, {"TRUE", false}, {"0", false}, {"1 ", false}, {nullptr, false}};
    for (const auto& c : cases)
    {
        bool out = !c.expected;
        base::ParseBool(c.text, out);
        EXPECT_EQ(out, c.expected) << (c.text ? c.text : "null");
    }
}

} // namespace
