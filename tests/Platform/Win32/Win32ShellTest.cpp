#include "Platform/Win32/Win32Kernel.h"
#include "Platform/Win32/Win32Shell.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
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

} // namespace

TEST(Win32CommandLine, RecordedArgumentsComeBackExactlyAndTheModuleIsTheExecutable)
{
    const char* argv[] = {"/opt/my game/orvane", "--data_path", "/home/u/My Data/", "a\"b", "", "x\\\\", "\xD0\xB4"};
    win32::SetCommandLine(7, argv);
    EXPECT_EQ(Split(GetCommandLineW()), (std::vector<std::wstring>{L"/opt/my game/orvane", L"--data_path",
                                                                   L"/home/u/My Data/", L"a\"b", L"", L"x\\\\",
                                                                   L"\u0434"}));
    // An empty line gives the executable's path.
    std::vector<std::wstring> args = Split(L"");
    ASSERT_EQ(args.size(), 1u);
    EXPECT_NE(args[0].find(L"test_Platform_Win32"), std::wstring::npos);
    int count = 0;
    EXPECT_EQ(CommandLineToArgvW(L"x", nullptr), nullptr);
    EXPECT_EQ(CommandLineToArgvW(nullptr, &count), nullptr);

    wchar_t buffer[MAX_PATH];
    DWORD n = GetModuleFileNameW(GetModuleHandleW(nullptr), buffer, MAX_PATH);
    EXPECT_EQ(std::wstring(buffer, n), args[0]);
    // Too long for the buffer: cut, terminated and reported, never overrun.
    wchar_t small[6] = {L'x', L'x', L'x', L'x', L'x', L'x'};
    SetLastError(0);
    EXPECT_EQ(GetModuleFileNameW(nullptr, small, 5), 5u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(small[4], L'\0');
    EXPECT_EQ(small[5], L'x');
    win32::SetModuleFileNameFailure(ERROR_ACCESS_DENIED);
    EXPECT_EQ(GetModuleFileNameW(nullptr, buffer, MAX_PATH), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    win32::SetModuleFileNameFailure(0);
}

TEST(Win32FolderPath, FollowsTheXdgVariablesThenHomeMakesAMissingDataFolderAndReportsFailures)
{
    const std::string root = std::string(BW_BINARY_DIR) + "/shell_folders";
    std::filesystem::remove_all(root);
    for (const char* folder : {"", "/home", "/home/.local", "/home/.local/share", "/data", "/docs", "/bare"})
        mkdir((root + folder).c_str(), 0755);
    struct Case
    {
        const char* home;
        const char* dataHome; // variables starting with '/' lie under the root
        const char* documents;
        int csidl;
        HRESULT result;
        const char* path;
    };
    const Case cases[] = {
        {"/home", "/data/", nullptr, CSIDL_APPDATA, S_OK, "/data"},
        {"/home", "relative/ignored", nullptr, CSIDL_APPDATA, S_OK, "/home/.local/share"},
        {"/home", nullptr, nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, S_OK, "/home/.local/share"},
        // Missing data folders are made, private to the user.
        {"/bare", nullptr, nullptr, CSIDL_APPDATA, S_OK, "/bare/.local/share"},
        {"/home", "/made/data/", nullptr, CSIDL_APPDATA, S_OK, "/made/data"},
        {"/home", nullptr, "/docs", CSIDL_PERSONAL, S_OK, "/docs"},
        {"/home", nullptr, nullptr, CSIDL_PERSONAL, S_OK, "/home"},
        {"/nobody", nullptr, nullptr, CSIDL_APPDATA, E_FAIL, ""},
        {"/nobody", nullptr, nullptr, CSIDL_PERSONAL, E_FAIL, ""},
        {"/home", nullptr, nullptr, 0x7F, E_INVALIDARG, ""},
    };
    // Every test runs in a process of its own, so the variables need no restoring.
    auto set = [](const char* name, const std::string& value) {
        value.empty() ? unsetenv(name) : setenv(name, value.c_str(), 1);
    };
    auto under = [&](const char* value) {
        return value && value[0] == '/' ? root + value : value ? std::string(value) : std::string();
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE("case " + std::to_string(&c - cases));
        set("HOME", under(c.home));
        set("XDG_DATA_HOME", under(c.dataHome));
        set("XDG_DOCUMENTS_DIR", under(c.documents));
        wchar_t path[MAX_PATH] = {};
        EXPECT_EQ(SHGetFolderPathW(nullptr, c.csidl, nullptr, 0, path), c.result);
        const std::string expected = c.result == S_OK ? root + c.path : "";
        EXPECT_EQ(std::wstring(path), std::wstring(expected.begin(), expected.end()));
    }
    for (const char* made : {"/bare/.local", "/bare/.local/share", "/made", "/made/data"})
    {
        struct stat st = {};
        EXPECT_EQ(stat((root + made).c_str(), &st), 0) << made;
        EXPECT_EQ(st.st_mode & 0777, 0700u) << made;
    }
    struct stat none = {};
    EXPECT_NE(stat((root + "/nobody").c_str(), &none), 0) << "no home is made";

    // An injected failure holds until cleared, for its folder only.
    set("HOME", root + "/home");
    wchar_t path[MAX_PATH];
    win32::SetFolderPathFailure(CSIDL_APPDATA, E_FAIL);
    EXPECT_EQ(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, path), E_FAIL);
    EXPECT_EQ(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, 0, path), S_OK);
    win32::SetFolderPathFailure(CSIDL_APPDATA, S_OK);
    EXPECT_EQ(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, path), S_OK);
}
