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

// Widths from outside text are capped, one that wraps 32 bits too; the
// longer texts cross the inline format storage and the output buffer.
TEST(Format, IntegersGiveTheExpectedText)
{
    const std::wstring capped = std::wstring(base::FormatMaxWidth - 1, L' ') + L"1";
    const struct
    {
        const wchar_t* format;
        std::vector<uint32_t> args;
        std::wstring expected;
    } cases[] = {
        {L"%d", {static_cast<uint32_t>(-1)}, L"4294967295"}, {L"%03d", {7}, L"007"}, {L"%-5d|", {42}, L"42   |"},
        {L"%=5d|", {42}, L" 42  |"}, {L"%1d", {42}, L"42"}, {L"%10d", {5}, L"         5"},
        {L"%#06X", {255}, L"0x00FF"}, {L"%#x", {255}, L"0xff"}, {L"%.0x", {255}, L"ff"}, {L"%#o", {8}, L"010"},
        {L"%08b", {5}, L"00000101"}, {L"%5.2f", {3}, L"    3"}, {L"%ld/%hu", {3, 4}, L"3/4"},
        {L"data/scene/%d_la.scn", {17}, L"data/scene/17_la.scn"}, {L"%d-%d-%d", {7}, L"7--%d"},
        {L"%d", {1, 2, 3}, L"1"}, {L"100%%", {}, L"100%"}, {L"%5q", {}, L"q"}, {L"50%", {}, L"50%"},
        {L"a%-5", {}, L"a5"}, {L"%..d|", {}, L".d|"},
        {L"chapter %d of the campaign, scene %d of %d", {2, 7, 9}, L"chapter 2 of the campaign, scene 7 of 9"},
        {L"%60d|%-10d|", {1, 2}, std::wstring(59, L' ') + L"1|2         |"},
        {L"%4000000000d", {1}, capped}, {L"%4294967297d", {1}, capped},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Wide(c.format, c.args), c.expected) << c.format;
}

// The bad-format flag is set only for an incomplete conversion that is not
// "%%"; bytes above ASCII index no table.
TEST(Format, BadFormatsExhaustionAndPaddedText)
{
    EXPECT_FALSE(base::Format<wchar_t>(L"%%").IsBadFormat() || base::Format<wchar_t>(L"a%-5").IsBadFormat());
    EXPECT_TRUE(base::Format<wchar_t>(L"%q").IsBadFormat());
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
    base::Format<char> narrow("blow_0%d \xE9%\xE9%\xFF");
    narrow % 3u;
    narrow.AppendTail();
    EXPECT_EQ(narrow.GetResult(), "blow_03 \xE9\xE9\xFF");
    EXPECT_TRUE(narrow.IsBadFormat());

    base::Format<wchar_t> two(L"%d and %d");
    two % 1u;
    EXPECT_FALSE(two.IsExhausted());
    two % 2u % 3u;
    EXPECT_TRUE(two.IsExhausted());
    EXPECT_EQ(two.GetResult(), L"1 and 2");
    base::Format<wchar_t> text(L"[%-6s][%=7s][%06s]%99999999s");
    text % std::wstring(L"cd") % std::wstring(L"ef") % std::wstring(L"gh") % std::wstring(L"x");
    EXPECT_EQ(text.GetResult(), L"[cd    ][  ef   ][    gh]" + std::wstring(base::FormatMaxWidth - 1, L' ') + L"x");
}

} // namespace
