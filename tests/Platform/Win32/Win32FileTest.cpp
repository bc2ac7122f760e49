#include "Platform/Win32/Win32File.h"

#include "tests/Support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

class Win32FileTest : public ::testing::Test
{
protected:
    std::wstring At(const std::wstring& relative) const { return mFolder.WidePath() + relative; }

    HANDLE Open(const std::wstring& relative, DWORD access, DWORD creation)
    {
        return CreateFileW(At(relative).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, creation, 0,
                           nullptr);
    }

    // The size of a file opened by that name, or -1.
    int64_t SizeOf(const std::wstring& relative)
    {
        HANDLE file = Open(relative, GENERIC_READ, OPEN_EXISTING);
        const int64_t size = file == INVALID_HANDLE_VALUE ? -1 : int64_t(GetFileSize(file, nullptr));
        CloseHandle(file);
        return size;
    }

    std::vector<std::wstring> List(const std::wstring& pattern)
    {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW(At(pattern).c_str(), &data);
        if (find == INVALID_HANDLE_VALUE)
            return names;
        do
            names.push_back(std::wstring(data.cFileName) + ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                                                                ? L"/"
                                                                : L"=" + std::to_wstring(data.nFileSizeLow)));
        while (FindNextFileW(find, &data));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
        EXPECT_TRUE(FindClose(find));
        return names;
    }

    testing_support::TempFolder mFolder;
};

TEST_F(Win32FileTest, ReadsWritesSeeksAndFailsCleanlyOnBadSeeksAndClosedHandles)
{
    HANDLE file = Open(L"a.bin", GENERIC_READ | GENERIC_WRITE, CREATE_ALWAYS);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD moved = 0;
    ASSERT_TRUE(WriteFile(file, "hello world", 11, &moved, nullptr));
    EXPECT_EQ(SetFilePointer(file, 6, nullptr, FILE_BEGIN), 6u);
    char buffer[16] = {};
    ASSERT_TRUE(ReadFile(file, buffer, sizeof(buffer), &moved, nullptr));
    EXPECT_EQ(std::string(buffer, moved), "world");
    ASSERT_TRUE(ReadFile(file, buffer, sizeof(buffer), &moved, nullptr));
    EXPECT_EQ(moved, 0u) << "at the end: success with nothing read";

    EXPECT_EQ(SetFilePointer(file, 4, nullptr, FILE_BEGIN), 4u);
    EXPECT_EQ(SetFilePointer(file, -5, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NEGATIVE_SEEK));
    EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_CURRENT), 4u) << "a failed seek leaves the position";
    EXPECT_EQ(SetFilePointer(file, -3, nullptr, FILE_END), 8u);
    LONG high = 1;
    EXPECT_EQ(SetFilePointer(file, 8, &high, FILE_BEGIN), 8u);
    EXPECT_EQ(high, 1);
    EXPECT_TRUE(CloseHandle(file));

    moved = 7;
    EXPECT_FALSE(ReadFile(file, buffer, 1, &moved, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(moved, 0u);
    EXPECT_FALSE(CloseHandle(file));
    EXPECT_EQ(GetFileSize(reinterpret_cast<HANDLE>(0x12345), nullptr), INVALID_FILE_SIZE);
    EXPECT_FALSE(FindClose(file));
}

TEST_F(Win32FileTest, CreationCodesBehaveAsOnWindows)
{
    mFolder.Write("old.txt", "x");
    const struct
    {
        const wchar_t* name;
        DWORD access, creation, error;
    } refused[] = {{L"old.txt", GENERIC_WRITE, CREATE_NEW, ERROR_FILE_EXISTS},
                   {L"missing.txt", GENERIC_READ, OPEN_EXISTING, ERROR_FILE_NOT_FOUND},
                   {L"old.txt", GENERIC_READ, 0, ERROR_INVALID_PARAMETER},
                   {L"", GENERIC_READ, OPEN_EXISTING, ERROR_ACCESS_DENIED}}; // the folder itself
    for (const auto& c : refused)
    {
        SetLastError(0);
        EXPECT_EQ(Open(c.name, c.access, c.creation), INVALID_HANDLE_VALUE) << &c - refused;
        EXPECT_EQ(GetLastError(), c.error) << &c - refused;
    }
    HANDLE file = Open(L"old.txt", GENERIC_WRITE, CREATE_ALWAYS);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(GetFileSize(file, nullptr), 0u); // truncated
    DWORD moved = 0;
    EXPECT_FALSE(ReadFile(file, &moved, 1, &moved, nullptr)); // opened for writing only
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    CloseHandle(file);
}

TEST_F(Win32FileTest, NamesResolveIgnoringCasePerComponentTheExactNameFirst)
{
    mFolder.Write("Data/Gui/Menu.TXT", "menu");
    mFolder.Write("Data/\xD0\x9C\xD0\xB5\xD0\xBD\xD1\x8E.txt", "cyrillic"); // "Меню.txt"
    EXPECT_EQ(SizeOf(L"data\\GUI/menu.txt"), 4);
    EXPECT_EQ(SizeOf(L"DATA/\u043c\u0435\u043d\u044e.TXT"), 8);
    // A new file lands in the existing folder, under the name as given.
    CloseHandle(Open(L"data/gui/New.txt", GENERIC_WRITE, CREATE_NEW));
    EXPECT_TRUE(mFolder.Exists("Data/Gui/New.txt"));
    mFolder.Write("Data/Gui/menu.txt", "exact");
    EXPECT_EQ(SizeOf(L"Data/Gui/menu.txt"), 5);
    EXPECT_TRUE(win32::IsSameFile(At(L"Data/Gui/Menu.TXT"), At(L"./data/gui/MENU.txt")));
    EXPECT_FALSE(win32::IsSameFile(At(L"Data/Gui/Menu.TXT"), At(L"Data/Gui/menu.txt")));
    EXPECT_FALSE(win32::IsSameFile(At(L"Data/Gui/Menu.TXT"), At(L"missing.dat")));
}

TEST_F(Win32FileTest, FindListsMatchesSortedAndAttributesTakeWildcardsLiterally)
{
    mFolder.Write("b.png", "1");
    mFolder.Write("A.psd", "22");
    mFolder.Write("sub/c.txt", "");
    using Names = std::vector<std::wstring>;
    EXPECT_EQ(List(L"*"), (Names{L"./", L"../", L"A.psd=2", L"b.png=1", L"sub/"}));
    EXPECT_EQ(List(L"?.PSD"), Names{L"A.psd=2"});

    EXPECT_EQ(GetFileAttributesW(At(L"?.png").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesW(At(L"*").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesW(At(L"b.png").c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(GetFileAttributesW(At(L"").c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
}

TEST_F(Win32FileTest, PathsThatUtf8CannotHoldAreRefused)
{
    std::string native;
    EXPECT_FALSE(win32::ToNativePath(std::wstring(1, static_cast<wchar_t>(0xD800)), &native));
    EXPECT_FALSE(win32::ToNativePath(std::wstring(1, static_cast<wchar_t>(0x110000)), &native));
    EXPECT_EQ(CreateFileW(std::wstring(1, static_cast<wchar_t>(0xDC00)).c_str(), GENERIC_WRITE, 0, nullptr,
                          CREATE_ALWAYS, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_NAME));
    ASSERT_TRUE(win32::ToNativePath(L"a\\b/\U0001F600", &native));
    EXPECT_EQ(native, "a/b/\xF0\x9F\x98\x80");
}

} // namespace
