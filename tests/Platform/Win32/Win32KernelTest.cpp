#include "Platform/Win32/Win32Kernel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

namespace
{

DWORD WINAPI CountUp(LPVOID parameter)
{
    ++*static_cast<std::atomic<int>*>(parameter);
    return 7;
}

std::wstring Widen(UINT codePage, DWORD flags, const std::string& bytes)
{
    int n = MultiByteToWideChar(codePage, flags, bytes.data(), int(bytes.size()), nullptr, 0);
    if (n <= 0)
        return L"<fail>";
    std::wstring out(size_t(n), L'\0');
    EXPECT_EQ(MultiByteToWideChar(codePage, flags, bytes.data(), int(bytes.size()), &out[0], n), n);
    return out;
}

std::string Narrow(UINT codePage, DWORD flags, const std::wstring& text, const char* defaultChar = nullptr)
{
    int n = WideCharToMultiByte(codePage, flags, text.data(), int(text.size()), nullptr, 0, defaultChar, nullptr);
    if (n <= 0)
        return "<fail>";
    std::string out(size_t(n), '\0');
    EXPECT_EQ(WideCharToMultiByte(codePage, flags, text.data(), int(text.size()), &out[0], n, defaultChar, nullptr),
              n);
    return out;
}

} // namespace

TEST(Win32Rand, FollowsTheFifteenBitSequenceAndReseedsRepeatably)
{
    win32::srand(1);
    for (int value : {41, 18467, 6334, 26500, 19169})
        EXPECT_EQ(win32::rand(), value);
    win32::srand(12345);
    std::vector<int> first;
    for (int i = 0; i < 1000; ++i)
        first.push_back(win32::rand());
    EXPECT_GE(*std::min_element(first.begin(), first.end()), 0);
    EXPECT_LE(*std::max_element(first.begin(), first.end()), win32::RandMax);
    win32::srand(12345);
    for (int value : first)
        ASSERT_EQ(win32::rand(), value);
    win32::srand(1);
}

TEST(Win32Kernel, PerformanceCounterAdvancesAtItsFrequency)
{
    LARGE_INTEGER frequency, before, after;
    ASSERT_TRUE(QueryPerformanceFrequency(&frequency));
    ASSERT_TRUE(QueryPerformanceCounter(&before));
    Sleep(20);
    ASSERT_TRUE(QueryPerformanceCounter(&after));
    double seconds = double(after.QuadPart - before.QuadPart) / double(frequency.QuadPart);
    EXPECT_GE(seconds, 0.019);
    EXPECT_LT(seconds, 5.0);
}

TEST(Win32Kernel, CriticalSectionIsRecursiveForItsOwner)
{
    CRITICAL_SECTION section;
    InitializeCriticalSection(&section);
    EnterCriticalSection(&section);
    EnterCriticalSection(&section);
    LeaveCriticalSection(&section);
    LeaveCriticalSection(&section);
    DeleteCriticalSection(&section); // not hanging is the point
}

TEST(Win32Thread, SuspendedThreadRunsOnlyAfterResume)
{
    std::atomic<int> runs{0};
    HANDLE thread = CreateThread(nullptr, 0, &CountUp, &runs, CREATE_SUSPENDED, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, 30), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(runs.load(), 0);
    DWORD code = 0;
    ASSERT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, static_cast<DWORD>(STILL_ACTIVE));

    EXPECT_EQ(ResumeThread(thread), 1u);
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_EQ(runs.load(), 1);
    ASSERT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 7u);
    EXPECT_EQ(ResumeThread(thread), 0u); // already running once
    EXPECT_TRUE(CloseHandle(thread));
}

TEST(Win32Thread, PriorityLevelsAreCheckedAndStaleOrNullHandlesFailCleanly)
{
    std::atomic<int> runs{0};
    HANDLE thread = CreateThread(nullptr, 0, &CountUp, &runs, CREATE_SUSPENDED, nullptr);
    for (int level : {THREAD_PRIORITY_IDLE, THREAD_PRIORITY_BELOW_NORMAL, THREAD_PRIORITY_NORMAL,
                      THREAD_PRIORITY_ABOVE_NORMAL, THREAD_PRIORITY_HIGHEST, THREAD_PRIORITY_TIME_CRITICAL})
    {
        EXPECT_TRUE(SetThreadPriority(thread, level)) << level;
        EXPECT_EQ(GetThreadPriority(thread), level);
    }
    SetLastError(0);
    EXPECT_FALSE(SetThreadPriority(thread, 7));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    ASSERT_TRUE(CloseHandle(thread));
    EXPECT_EQ(runs.load(), 0) << "a suspended thread closed unresumed never runs";

    SetLastError(0);
    EXPECT_FALSE(CloseHandle(thread));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(SetThreadPriority(thread, THREAD_PRIORITY_NORMAL));
    EXPECT_FALSE(SetThreadPriority(nullptr, THREAD_PRIORITY_NORMAL));
    EXPECT_EQ(ResumeThread(thread), static_cast<DWORD>(-1));
    EXPECT_FALSE(CloseHandle(INVALID_HANDLE_VALUE));
}

TEST(Win32Kernel, DebugOutputReachesTheHookUnchanged)
{
    std::wstring captured;
    win32::SetDebugOutputHook([](const wchar_t* text, void* to) { *static_cast<std::wstring*>(to) += text; },
                              &captured);
    OutputDebugStringW(L"caf\u00e9 <b>\n");
    OutputDebugStringW(nullptr);
    win32::SetDebugOutputHook(nullptr, nullptr);
    EXPECT_EQ(captured, L"caf\u00e9 <b>\n");
}

TEST(Win32CodePage, AnsiCodePageIsUtf8BothWays)
{
    EXPECT_EQ(Widen(CP_ACP, 0, "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"), std::wstring(L"a\u00e9\u20ac\U0001F600"));
    EXPECT_EQ(Narrow(CP_ACP, 0, L"a\u00e9\u20ac\U0001F600"), "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
}

TEST(Win32CodePage, InvalidUtf8IsReplacedOrRefusedOnRequest)
{
    struct Case
    {
        const char* name;
        std::string bytes;
        std::wstring replaced;
    };
    const Case cases[] = {{"lone continuation", "a\x80z", L"a\uFFFDz"},
                          {"truncated at the end", "a\xE2\x82", L"a\uFFFD"},
                          {"overlong", "\xC0\xAF", L"\uFFFD\uFFFD"},
                          {"encoded surrogate", "\xED\xA0\x80", L"\uFFFD\uFFFD\uFFFD"},
                          {"above Unicode", "\xF4\x90\x80\x80", L"\uFFFD\uFFFD\uFFFD\uFFFD"},
                          {"invalid byte", "\xFF", L"\uFFFD"}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Widen(CP_UTF8, 0, c.bytes), c.replaced);
        SetLastError(0);
        EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, c.bytes.data(), int(c.bytes.size()), nullptr, 0),
                  0);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
    }
}

TEST(Win32CodePage, UnencodableCharacterFailsRatherThanCutWithDefaultCharacter)
{
    std::wstring text = L"ab";
    text.push_back(static_cast<wchar_t>(0xD800));
    text += L"cd";
    EXPECT_EQ(Narrow(CP_ACP, 0, text), "ab\xEF\xBF\xBD" "cd");
    SetLastError(0);
    EXPECT_EQ(Narrow(CP_ACP, 0, text, ""), "<fail>");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));
    EXPECT_EQ(Narrow(CP_UTF8, WC_ERR_INVALID_CHARS, text), "<fail>");
}

TEST(Win32CodePage, MinusOneLengthCountsTheTerminatorAndSmallBuffersFail)
{
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "ab", -1, nullptr, 0), 3);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, L"\u00e9", -1, nullptr, 0, nullptr, nullptr), 3);
    wchar_t small[2];
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", 3, small, 2), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    char bytes[2];
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, L"\u00e9\u00e9", 2, bytes, 2, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

TEST(Win32CodePage, OemIsCodePage866LengthForLength)
{
    const char oem[] = "\x8F\xE0\xA8\xA2\xA5\xE2 \xF0\xFC";
    wchar_t wide[9] = {};
    ASSERT_TRUE(OemToCharBuffW(oem, wide, 9));
    EXPECT_EQ(std::wstring(wide, 9), std::wstring(L"\u041f\u0440\u0438\u0432\u0435\u0442 \u0401\u2116"));
    // Every byte maps to a character that maps back to the same byte.
    for (int b = 1; b < 256; ++b)
    {
        char in = char(b), out = 0;
        wchar_t c = 0;
        OemToCharBuffW(&in, &c, 1);
        CharToOemBuffW(&c, &out, 1);
        ASSERT_EQ(static_cast<unsigned char>(out), b);
    }
    wchar_t euro = L'\u20ac';
    char q = 0;
    ASSERT_TRUE(CharToOemBuffW(&euro, &q, 1));
    EXPECT_EQ(q, '?');
}
