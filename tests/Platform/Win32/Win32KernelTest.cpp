#include "Platform/Win32/Win32Kernel.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

std::wstring Widen(UINT codePage, DWORD flags, const std::string& bytes)
{
    int n = MultiByteToWideChar(codePage, flags, bytes.data(), int(bytes.size()), nullptr, 0);
    std::wstring out(size_t(std::max(n, 0)), L'\0');
    return n > 0 && MultiByteToWideChar(codePage, flags, bytes.data(), int(bytes.size()), &out[0], n) == n ? out
                                                                                                          : L"<fail>";
}

std::string Narrow(UINT codePage, DWORD flags, const std::wstring& text, const char* defaultChar = nullptr)
{
    int n = WideCharToMultiByte(codePage, flags, text.data(), int(text.size()), nullptr, 0, defaultChar, nullptr);
    std::string out(size_t(std::max(n, 0)), '\0');
    return n > 0 && WideCharToMultiByte(codePage, flags, text.data(), int(text.size()), &out[0], n, defaultChar,
                                        nullptr) == n
               ? out
               : "<fail>";
}

} // namespace

TEST(Win32Kernel, RandFollowsTheFifteenBitSequenceAndTheCounterItsFrequency)
{
    win32::srand(1);
    for (int value : {41, 18467, 6334, 26500, 19169})
        EXPECT_EQ(win32::rand(), value);
    LARGE_INTEGER frequency, before, after;
    ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
    ASSERT_TRUE(QueryPerformanceCounter(&before));
    Sleep(20);
    ASSERT_TRUE(QueryPerformanceCounter(&after));
    EXPECT_GE(double(after.QuadPart - before.QuadPart) / double(frequency.QuadPart), 0.019);
}

// Base::Encoding's tests cover the engine's conversions; these the rest of the calls.
TEST(Win32CodePage, InvalidUtf8IsReplacedOrRefusedOnRequestAndSmallBuffersFail)
{
    const std::pair<std::string, std::wstring> cases[] = {
        {"a\x80z", L"a\uFFFDz"},                         // lone continuation
        {"a\xE2\x82", L"a\uFFFD"},                       // truncated at the end
        {"\xC0\xAF", L"\uFFFD\uFFFD"},                   // overlong
        {"\xED\xA0\x80", L"\uFFFD\uFFFD\uFFFD"},         // encoded surrogate
        {"\xF4\x90\x80\x80", L"\uFFFD\uFFFD\uFFFD\uFFFD"}, // above Unicode
        {"\xFF", L"\uFFFD"}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.first);
        EXPECT_EQ(Widen(CP_UTF8, 0, c.first), c.second);
        SetLastError(0);
        EXPECT_EQ(Widen(CP_UTF8, MB_ERR_INVALID_CHARS, c.first), L"<fail>");
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
    }
    std::wstring text = L"ab";
    text.push_back(static_cast<wchar_t>(0xD800));
    EXPECT_EQ(Narrow(CP_UTF8, WC_ERR_INVALID_CHARS, text), "<fail>");
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "ab", -1, nullptr, 0), 3) << "-1 counts the terminator";
    wchar_t small[2];
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", 3, small, 2), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    char bytes[2];
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, L"\u00e9\u00e9", 2, bytes, 2, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}
