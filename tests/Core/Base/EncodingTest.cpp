#include "Core/Base/Encoding.h"

#include <gtest/gtest.h>
#include <utf8.h>

using base::ToNarrowString;
using base::ToWideString;

class EncodingEveryKind : public ::testing::TestWithParam<base::Encoding>
{
};

TEST_P(EncodingEveryKind, EmptyStaysEmpty)
{
    EXPECT_EQ(ToWideString("", GetParam()), L"");
    EXPECT_EQ(ToNarrowString(L"", GetParam()), "");
}

TEST_P(EncodingEveryKind, AsciiRoundTrips)
{
    EXPECT_EQ(ToWideString("data/font/24", GetParam()), L"data/font/24");
    EXPECT_EQ(ToNarrowString(L"data/font/24", GetParam()), "data/font/24");
}

INSTANTIATE_TEST_SUITE_P(Encodings, EncodingEveryKind, ::testing::Values(0u, 1u, 2u, 3u));

TEST(Encoding, BytesWidenWithSixteenBitSignExtensionAndNarrowToTheLowByte)
{
    std::wstring wide = ToWideString("\xE9", base::EncodingBytes);
    ASSERT_EQ(wide.size(), 1u);
    EXPECT_EQ(static_cast<uint32_t>(wide[0]), 0xFFE9u);
    EXPECT_EQ(ToNarrowString(L"\u20ac", base::EncodingBytes), "\xAC");
    EXPECT_EQ(ToNarrowString(wide, base::EncodingBytes), "\xE9");
}

TEST(Encoding, Utf8CarriesCodePointsAboveTheBasicPlane)
{
    EXPECT_EQ(ToWideString("\xF0\x9F\x98\x80 \xD0\x96", base::EncodingUtf8), L"\U0001F600 \u0416");
    EXPECT_EQ(ToNarrowString(L"\U0001F600 \u0416", base::EncodingUtf8), "\xF0\x9F\x98\x80 \xD0\x96");
}

TEST(Encoding, EmbeddedZeroIsKeptByBytesAndUtf8AndEndsAnsiAndOem)
{
    const std::string narrow("ab\0cd", 5);
    const std::wstring wide(L"ab\0cd", 5);
    EXPECT_EQ(ToWideString(narrow, base::EncodingBytes), wide);
    EXPECT_EQ(ToWideString(narrow, base::EncodingUtf8), wide);
    EXPECT_EQ(ToWideString(narrow, base::EncodingAnsi), L"ab");
    EXPECT_EQ(ToWideString(narrow, base::EncodingOem), L"ab");
    EXPECT_EQ(ToNarrowString(wide, base::EncodingBytes), narrow);
    EXPECT_EQ(ToNarrowString(wide, base::EncodingUtf8), narrow);
    EXPECT_EQ(ToNarrowString(wide, base::EncodingAnsi), "ab");
    EXPECT_EQ(ToNarrowString(wide, base::EncodingOem), "ab");
}

TEST(Encoding, UnknownEncodingGivesEmptyWithoutThrowing)
{
    EXPECT_EQ(ToWideString("abc", 7), L"");
    EXPECT_EQ(ToNarrowString(L"abc", 7), "");
}

TEST(Encoding, InvalidUtf8Throws)
{
    EXPECT_THROW(ToWideString("ab\xFF", base::EncodingUtf8), utf8::invalid_utf8);
    EXPECT_THROW(ToWideString("ab\xE2\x82", base::EncodingUtf8), utf8::not_enough_room);
    EXPECT_THROW(ToWideString("\xED\xA0\x80", base::EncodingUtf8), utf8::exception);
}

TEST(Encoding, LoneSurrogateThrowsUnderUtf8)
{
    std::wstring high(L"a");
    high.push_back(static_cast<wchar_t>(0xD83D));
    EXPECT_THROW(ToNarrowString(high, base::EncodingUtf8), utf8::invalid_utf16);
    std::wstring low(1, static_cast<wchar_t>(0xDE00));
    EXPECT_THROW(ToNarrowString(low, base::EncodingUtf8), utf8::invalid_utf16);
    std::wstring huge(1, static_cast<wchar_t>(0x110000));
    EXPECT_THROW(ToNarrowString(huge, base::EncodingUtf8), utf8::invalid_code_point);
}

TEST(Encoding, AnsiIsUtf8AndRefusesRatherThanCuts)
{
    EXPECT_EQ(ToWideString("caf\xC3\xA9", base::EncodingAnsi), L"caf\u00e9");
    EXPECT_EQ(ToNarrowString(L"caf\u00e9", base::EncodingAnsi), "caf\xC3\xA9");
    // Invalid bytes become U+FFFD; a surrogate has no UTF-8 form, and the
    // text is refused whole instead of ending before it.
    EXPECT_EQ(ToWideString("a\xFF", base::EncodingAnsi), L"a\uFFFD");
    std::wstring text(L"ab");
    text.push_back(static_cast<wchar_t>(0xDC00));
    text += L"cd";
    EXPECT_EQ(ToNarrowString(text, base::EncodingAnsi), "");
    EXPECT_NO_THROW(ToNarrowString(text, base::EncodingAnsi));
}

TEST(Encoding, OemIsCodePage866)
{
    EXPECT_EQ(ToWideString("\x8F\xE0\xA8\xA2\xA5\xE2", base::EncodingOem), L"\u041f\u0440\u0438\u0432\u0435\u0442");
    EXPECT_EQ(ToNarrowString(L"\u041f\u0440\u0438\u0432\u0435\u0442", base::EncodingOem), "\x8F\xE0\xA8\xA2\xA5\xE2");
    EXPECT_EQ(ToNarrowString(L"a\u20acb", base::EncodingOem), "a?b");
}
