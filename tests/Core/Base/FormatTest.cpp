#include "Core/Base/Format.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

// Formats with the given integer arguments, then appends the tail.
std::wstring Wide(const wchar_t* format, const std::vector<uint32_t>& args = {})
{
    base::Format<wchar_t> f(format);
    for (uint32_t a : args)
        f % a;
    f.AppendTail();
    return f.GetResult();
}

struct FormatCase
{
    const wchar_t* format;
    std::vector<uint32_t> args;
    const wchar_t* expected;
};

void PrintTo(const FormatCase& c, std::ostream* out)
{
    *out << testing::PrintToString(std::wstring(c.format));
}

class FormatIntegers : public ::testing::TestWithParam<FormatCase>
{
};

TEST_P(FormatIntegers, ProduceTheExpectedText)
{
    EXPECT_EQ(Wide(GetParam().format, GetParam().args), GetParam().expected) << GetParam().format;
}

INSTANTIATE_TEST_SUITE_P(
    Table, FormatIntegers,
    ::testing::Values(FormatCase{L"%d", {static_cast<uint32_t>(-1)}, L"4294967295"},
                      FormatCase{L"%03d", {7}, L"007"}, FormatCase{L"%-5d|", {42}, L"42   |"},
                      FormatCase{L"%=5d|", {42}, L" 42  |"}, FormatCase{L"%1d", {42}, L"42"},
                      FormatCase{L"%10d", {5}, L"         5"}, FormatCase{L"%#06X", {255}, L"0x00FF"},
                      FormatCase{L"%#x", {255}, L"0xff"}, FormatCase{L"%.0x", {255}, L"ff"},
                      FormatCase{L"%#o", {8}, L"010"}, FormatCase{L"%08b", {5}, L"00000101"},
                      FormatCase{L"%5.2f", {3}, L"    3"}, FormatCase{L"%ld/%hu", {3, 4}, L"3/4"},
                      FormatCase{L"data/scene/%d_la.scn", {17}, L"data/scene/17_la.scn"},
                      FormatCase{L"%d-%d-%d", {7}, L"7--%d"}, FormatCase{L"%d", {1, 2, 3}, L"1"},
                      FormatCase{L"100%%", {}, L"100%"}, FormatCase{L"%5q", {}, L"q"},
                      FormatCase{L"50%", {}, L"50%"}, FormatCase{L"a%-5", {}, L"a5"},
                      FormatCase{L"%..d|", {}, L".d|"},
                      FormatCase{L"chapter %d of the campaign, scene %d of %d", {2, 7, 9},
                                 L"chapter 2 of the campaign, scene 7 of 9"},
                      FormatCase{L"%60d|%-10d|", {1, 2},
                                 L"                                                           1|2         |"}));

TEST(Format, BadFormatFlagIsSetOnlyForAnIncompleteConversionThatIsNotPercent)
{
    EXPECT_FALSE(base::Format<wchar_t>(L"%%").IsBadFormat());
    EXPECT_TRUE(base::Format<wchar_t>(L"%q").IsBadFormat());
    EXPECT_FALSE(base::Format<wchar_t>(L"a%-5").IsBadFormat());
    base::Format<wchar_t> nonAscii(L"%\u00e9x");
    EXPECT_TRUE(nonAscii.IsBadFormat());
    nonAscii.AppendTail();
    EXPECT_EQ(nonAscii.GetResult(), L"\u00e9x");

    std::wstring negative(L"%");
    negative.push_back(static_cast<wchar_t>(-5));
    base::Format<wchar_t> f(negative);
    f.AppendTail();
    EXPECT_EQ(f.GetResult().size(), 1u);
    EXPECT_TRUE(f.IsBadFormat());

    base::Format<char> narrow("blow_0%d \xE9%\xE9%\xFF"); // bytes above ASCII index no table
    narrow % 3u;
    narrow.AppendTail();
    EXPECT_EQ(narrow.GetResult(), "blow_03 \xE9\xE9\xFF");
    EXPECT_TRUE(narrow.IsBadFormat());
}

TEST(Format, ExhaustedOnceNoConversionRemainsAndTextIsPaddedBySpaces)
{
    base::Format<wchar_t> f(L"%d and %d");
    f % 1u;
    EXPECT_FALSE(f.IsExhausted());
    f % 2u;
    EXPECT_TRUE(f.IsExhausted());
    f % 3u;
    EXPECT_EQ(f.GetResult(), L"1 and 2");

    base::Format<wchar_t> text(L"[%-6s][%=7s][%06s]");
    text % std::wstring(L"cd") % std::wstring(L"ef") % std::wstring(L"gh");
    text.AppendTail();
    EXPECT_EQ(text.GetResult(), L"[cd    ][  ef   ][    gh]");
}

TEST(Format, HugeWidthFromOutsideTextIsCapped)
{
    std::wstring out = Wide(L"%4000000000d", {1});
    EXPECT_EQ(out.size(), base::FormatMaxWidth);
    EXPECT_EQ(out.back(), L'1');
    EXPECT_EQ(Wide(L"%4294967297d", {1}).size(), base::FormatMaxWidth) << "a width that wraps 32 bits";
    base::Format<wchar_t> text(L"%99999999s");
    text % std::wstring(L"x");
    EXPECT_EQ(text.GetResult().size(), base::FormatMaxWidth);
}

} // namespace
