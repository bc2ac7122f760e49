#include "Platform/Win32/Win32Kernel.h"
#include "Platform/Win32/Win32Shell.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace
{

std::vector<std::wstring> Split(const wchar_t* line)
{
    int count = -1;
    LPWSTR* argv = CommandLineToArgvW(line, &count);
    std::vector<std::wstring> args;
    if (!argv)
        return args;
    for (int i = 0; i < count; ++i)
        args.push_back(argv[i]);
    EXPECT_EQ(argv[count], nullptr);
    EXPECT_EQ(LocalFree(argv), nullptr);
    return args;
}

// Sets an environment variable for one test and restores it afterwards.
class ScopedEnv
{
public:
    ScopedEnv(const char* name, const char* value) : mName(name)
    {
        const char* old = std::getenv(name);
        mHad = old != nullptr;
        if (old)
            mOld = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (mHad)
            setenv(mName.c_str(), mOld.c_str(), 1);
        else
            unsetenv(mName.c_str());
    }

private:
    std::string mName, mOld;
    bool mHad = false;
};

std::wstring Wide(const std::string& s)
{
    return std::wstring(s.begin(), s.end());
}

} // namespace

struct SplitCase
{
    const char* name;
    const wchar_t* line;
    std::vector<std::wstring> args;
};

class Win32CommandLine : public ::testing::TestWithParam<SplitCase>
{
};

TEST_P(Win32CommandLine, SplitsByTheWindowsRules)
{
    EXPECT_EQ(Split(GetParam().line), GetParam().args);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, Win32CommandLine,
    ::testing::Values(
        SplitCase{"ProgramOnly", L"game.exe", {L"game.exe"}},
        SplitCase{"QuotedProgramWithSpaces", L"\"C:\\My Games\\game.exe\" --pack out.dat",
                  {L"C:\\My Games\\game.exe", L"--pack", L"out.dat"}},
        SplitCase{"BlanksBetween", L"g  a\t\tb ", {L"g", L"a", L"b"}},
        SplitCase{"QuotedArgument", L"g \"a b\" c", {L"g", L"a b", L"c"}},
        SplitCase{"EscapedQuote", L"g a\\\"b", {L"g", L"a\"b"}},
        SplitCase{"BackslashesBeforeQuote", L"g \"a\\\\\" b", {L"g", L"a\\", L"b"}},
        SplitCase{"PlainBackslashes", L"g C:\\data\\ x", {L"g", L"C:\\data\\", L"x"}},
        SplitCase{"EmptyQuoted", L"g \"\" x", {L"g", L"", L"x"}},
        SplitCase{"DoubledQuoteInsideQuotes", L"g \"a\"\"b\"", {L"g", L"a\"b"}},
        SplitCase{"ProgramBackslashIsLiteral", L"C:\\x\\g.exe a", {L"C:\\x\\g.exe", L"a"}}),
    [](const ::testing::TestParamInfo<SplitCase>& info) { return std::string(info.param.name); });

TEST(Win32CommandLineRoundTrip, RecordedArgumentsComeBackExactly)
{
    const char* argv[] = {"/opt/my game/orvane", "--data_path", "/home/u/My Data/", "a\"b", "", "x\\\\", "\xD0\xB4"};
    win32::SetCommandLine(7, argv);
    std::vector<std::wstring> args = Split(GetCommandLineW());
    std::vector<std::wstring> expected = {L"/opt/my game/orvane", L"--data_path", L"/home/u/My Data/", L"a\"b", L"",
                                          L"x\\\\", L"\u0434"};
    EXPECT_EQ(args, expected);

    const char* single[] = {"orvane"};
    win32::SetCommandLine(1, single);
    EXPECT_EQ(Split(GetCommandLineW()), std::vector<std::wstring>{L"orvane"});
}

TEST(Win32CommandLineRoundTrip, EmptyLineGivesTheExecutablePath)
{
    std::vector<std::wstring> args = Split(L"");
    ASSERT_EQ(args.size(), 1u);
    EXPECT_NE(args[0].find(L"test_Platform_Win32"), std::wstring::npos);
    int count = 0;
    EXPECT_EQ(CommandLineToArgvW(L"x", nullptr), nullptr);
    EXPECT_EQ(CommandLineToArgvW(nullptr, &count), nullptr);
}

TEST(Win32Module, FileNameIsTheExecutableAndLongPathsAreReportedNotOverrun)
{
    wchar_t buffer[MAX_PATH];
    SetLastError(0);
    DWORD n = GetModuleFileNameW(GetModuleHandleW(nullptr), buffer, MAX_PATH);
    ASSERT_GT(n, 0u);
    EXPECT_EQ(GetLastError(), 0u);
    std::wstring path(buffer, n);
    EXPECT_EQ(path[0], L'/');
    EXPECT_NE(path.find(L"test_Platform_Win32"), std::wstring::npos);
    EXPECT_EQ(GetModuleHandleA(nullptr), reinterpret_cast<HMODULE>(GetModuleHandleW(nullptr)));

    wchar_t small[6] = {L'x', L'x', L'x', L'x', L'x', L'x'};
    SetLastError(0);
    EXPECT_EQ(GetModuleFileNameW(nullptr, small, 5), 5u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(small[4], L'\0');
    EXPECT_EQ(small[5], L'x');

    EXPECT_EQ(GetModuleHandleW(L"other.dll"), nullptr);
    win32::SetModuleFileNameFailure(ERROR_ACCESS_DENIED);
    SetLastError(0);
    EXPECT_EQ(GetModuleFileNameW(nullptr, buffer, MAX_PATH), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    win32::SetModuleFileNameFailure(0);
}

class Win32FolderPath : public ::testing::Test
{
protected:
    void SetUp() override
    {
        mRoot = std::string(BW_BINARY_DIR) + "/shell_folders";
        mkdir(mRoot.c_str(), 0755);
        mkdir((mRoot + "/home").c_str(), 0755);
        mkdir((mRoot + "/home/.local").c_str(), 0755);
        mkdir((mRoot + "/home/.local/share").c_str(), 0755);
        mkdir((mRoot + "/data").c_str(), 0755);
        mkdir((mRoot + "/docs").c_str(), 0755);
    }

    std::wstring Get(int csidl, HRESULT expected = S_OK)
    {
        wchar_t path[MAX_PATH];
        EXPECT_EQ(SHGetFolderPathW(nullptr, csidl, nullptr, 0, path), expected);
        return expected == S_OK ? std::wstring(path) : std::wstring();
    }

    std::string mRoot;
};

TEST_F(Win32FolderPath, AppDataFollowsXdgDataHomeThenHome)
{
    ScopedEnv home("HOME", (mRoot + "/home").c_str());
    {
        ScopedEnv data("XDG_DATA_HOME", (mRoot + "/data/").c_str());
        EXPECT_EQ(Get(CSIDL_APPDATA), Wide(mRoot + "/data"));
    }
    {
        ScopedEnv data("XDG_DATA_HOME", "relative/ignored");
        EXPECT_EQ(Get(CSIDL_APPDATA), Wide(mRoot + "/home/.local/share"));
    }
    ScopedEnv data("XDG_DATA_HOME", nullptr);
    EXPECT_EQ(Get(CSIDL_APPDATA | CSIDL_FLAG_CREATE), Wide(mRoot + "/home/.local/share"));
}

TEST_F(Win32FolderPath, DocumentsFollowXdgDocumentsDirThenHome)
{
    ScopedEnv home("HOME", (mRoot + "/home").c_str());
    {
        ScopedEnv docs("XDG_DOCUMENTS_DIR", (mRoot + "/docs").c_str());
        EXPECT_EQ(Get(CSIDL_PERSONAL), Wide(mRoot + "/docs"));
    }
    ScopedEnv docs("XDG_DOCUMENTS_DIR", nullptr);
    EXPECT_EQ(Get(CSIDL_PERSONAL), Wide(mRoot + "/home"));
}

TEST_F(Win32FolderPath, MissingFolderFailsWithEFail)
{
    ScopedEnv home("HOME", (mRoot + "/nobody").c_str());
    ScopedEnv data("XDG_DATA_HOME", nullptr);
    Get(CSIDL_APPDATA, E_FAIL);
    Get(CSIDL_PERSONAL, E_FAIL);
    Get(0x7F, E_INVALIDARG);
}

TEST_F(Win32FolderPath, InjectedFailureIsReturnedUntilCleared)
{
    ScopedEnv home("HOME", (mRoot + "/home").c_str());
    win32::SetFolderPathFailure(CSIDL_APPDATA, E_FAIL);
    Get(CSIDL_APPDATA, E_FAIL);
    EXPECT_EQ(Get(CSIDL_PERSONAL), Wide(mRoot + "/home"));
    win32::SetFolderPathFailure(CSIDL_APPDATA, S_OK);
    EXPECT_FALSE(Get(CSIDL_APPDATA).empty());
}

TEST(Win32Com, InitializeAndUninitializeAreHarmless)
{
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    CoUninitialize();
}
