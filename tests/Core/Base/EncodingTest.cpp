#include "Core/Base/Encoding.h"

#include <gtest/gtest.h>
#include <utf8.h>

using base::ToNarrowString;
using base::ToWideString;

TEST(Encoding, EachKindConvertsBothWays)
{
    const struct
    {
        base::Encoding kind;
        std::string narrow;
        std::wstring wide;
    } cases[] = {
        {base::EncodingBytes, std::string("\xE9\0c", 3), std::wstring(L"\xFFE9\0c", 3)}, // sign-extended
        {base::EncodingUtf8, std::string("\xF0\x9F\x98\x80\0\xD0\x96", 7), std::wstring(L"\U0001F600\0\u0416", 3)},
        {base::EncodingAnsi, "caf\xC3\xA9", L"caf\u00e9"},
        {base::EncodingOem, "\x8F\xE0\xA8\xA2\xA5\xE2", L"\u041f\u0440\u0438\u0432\u0435\u0442"},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(ToWideString(c.narrow, c.kind), c.wide) << c.kind;
        EXPECT_EQ(ToNarrowString(c.wide, c.kind), c.narrow) << c.kind;
    }
    EXPECT_EQ(ToWideString(std::string("ab\0cd", 5), base::EncodingOem), L"ab") << "ends at a zero";
    EXPECT_EQ(ToNarrowString(L"\u20ac", base::EncodingBytes), "\xAC");
    EXPECT_EQ(ToNarrowString(L"a\u20acb", base::EncodingOem), "a?b");
    EXPECT_EQ(ToWideString("abc", 7), L"") << "unknown encoding";
}

TEST(Encoding, InvalidTextThrowsInUtf8AndIsReplacedOrRefusedWholeInAnsi)
{
    EXPECT_THROW(ToWideString("ab\xFF", base::EncodingUtf8), utf8::invalid_utf8);
    EXPECT_THROW(ToWideString("ab\xE2\x82", base::EncodingUtf8), utf8::not_enough_room);
    EXPECT_THROW(ToNarrowString(std::wstring(1, wchar_t(0xD83D)), base::EncodingUtf8), utf8::invalid_utf16);
    EXPECT_THROW(ToNarrowString(std::wstring(1, wchar_t(0x110000)), base::EncodingUtf8), utf8::invalid_code_point);
    EXPECT_EQ(ToWideString("a\xFF", base::EncodingAnsi), L"a\uFFFD");
    // A surrogate has no UTF-8 form: the text is refused whole, not cut before it.
    std::wstring text(L"ab");
    text.push_back(static_cast<wchar_t>(0xDC00));
    EXPECT_EQ(ToNarrowString(text + L"cd", base::EncodingAnsi), "");
}
