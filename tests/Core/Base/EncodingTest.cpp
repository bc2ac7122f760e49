#include "Core/Base/Encoding.h"

#include <gtest/gtest.h>
#include <utf8.h>

using base::ToNarrowString;
using base::ToWideString;

TEST(Encoding, AsciiAndEmbeddedZeroRoundTripOrEndTheTextByKind)
{
    const std::string narrow("ab\0cd", 5);
    const std::wstring wide(L"ab\0cd", 5);
    for (base::Encoding kind : {base::EncodingBytes, base::EncodingUtf8, base::EncodingAnsi, base::EncodingOem})
    {
        SCOPED_TRACE(kind);
        EXPECT_EQ(ToWideString("", kind), L"");
        EXPECT_EQ(ToNarrowString(L"data/font/24", kind), "data/font/24");
        const bool keepsZero = kind == base::EncodingBytes || kind == base::EncodingUtf8;
        EXPECT_EQ(ToWideString(narrow, kind), keepsZero ? wide : L"ab");
        EXPECT_EQ(ToNarrowString(wide, kind), keepsZero ? narrow : "ab");
    }
    EXPECT_EQ(ToWideString("abc", 7), L"") << "unknown encoding";
    EXPECT_EQ(ToNarrowString(L"abc", 7), "");
}

TEST(Encoding, BytesWidenWithSixteenBitSignExtensionAndNarrowToTheLowByte)
{
    std::wstring wide = ToWideString("\xE9", base::EncodingBytes);
    ASSERT_EQ(wide.size(), 1u);
    EXPECT_EQ(static_cast<uint32_t>(wide[0]), 0xFFE9u);
    EXPECT_EQ(ToNarrowString(L"\u20ac", base::EncodingBytes), "\xAC");
    EXPECT_EQ(ToNarrowString(wide, base::EncodingBytes), "\xE9");
}

TEST(Encoding, Utf8CarriesCodePointsAboveTheBasicPlaneAndThrowsOnInvalidText)
{
    EXPECT_EQ(ToWideString("\xF0\x9F\x98\x80 \xD0\x96", base::EncodingUtf8), L"\U0001F600 \u0416");
    EXPECT_EQ(ToNarrowString(L"\U0001F600 \u0416", base::EncodingUtf8), "\xF0\x9F\x98\x80 \xD0\x96");
    EXPECT_THROW(ToWideString("ab\xFF", base::EncodingUtf8), utf8::invalid_utf8);
    EXPECT_THROW(ToWideString("ab\xE2\x82", base::EncodingUtf8), utf8::not_enough_room);
    EXPECT_THROW(ToWideString("\xED\xA0\x80", base::EncodingUtf8), utf8::exception);
    EXPECT_THROW(ToNarrowString(std::wstring(1, wchar_t(0xD83D)), base::EncodingUtf8), utf8::invalid_utf16);
    EXPECT_THROW(ToNarrowString(std::wstring(1, wchar_t(0x110000)), base::EncodingUtf8), utf8::invalid_code_point);
}

TEST(Encoding, AnsiIsUtf8AndRefusesRatherThanCuts)
{
    EXPECT_EQ(ToWideString("caf\xC3\xA9", base::EncodingAnsi), L"caf\u00e9");
    EXPECT_EQ(ToNarrowString(L"caf\u00e9", base::EncodingAnsi), "caf\xC3\xA9");
    EXPECT_EQ(ToWideString("a\xFF", base::EncodingAnsi), L"a\uFFFD");
    // A surrogate has no UTF-8 form: the text is refused whole, not cut before it.
    std::wstring text(L"ab");
    text.push_back(static_cast<wchar_t>(0xDC00));
    text += L"cd";
    EXPECT_EQ(ToNarrowString(text, base::EncodingAnsi), "");
}

TEST(Encoding, OemIsCodePage866)
{
    EXPECT_EQ(ToWideString("\x8F\xE0\xA8\xA2\xA5\xE2", base::EncodingOem), L"\u041f\u0440\u0438\u0432\u0435\u0442");
    EXPECT_EQ(ToNarrowString(L"\u041f\u0440\u0438\u0432\u0435\u0442", base::EncodingOem), "\x8F\xE0\xA8\xA2\xA5\xE2");
    EXPECT_EQ(ToNarrowString(L"a\u20acb", base::EncodingOem), "a?b");
}
