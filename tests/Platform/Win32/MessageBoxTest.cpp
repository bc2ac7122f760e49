#include "Platform/Win32/Win32User.h"

#include <gtest/gtest.h>

#include <string>

TEST(MessageBox, HookRecordsTheBoxInsteadOfShowingIt)
{
    std::wstring text;
    std::wstring caption;
    UINT type = 0;
    win32::SetMessageBoxHook([&](HWND, const wchar_t* t, const wchar_t* c, UINT ty) {
        text = t;
        caption = c;
        type = ty;
        return IDOK;
    });
    EXPECT_EQ(MessageBoxW(nullptr, L"Кириллица and text", L"Error", MB_ICONERROR), IDOK);
    EXPECT_EQ(text, L"Кириллица and text");
    EXPECT_EQ(caption, L"Error");
    EXPECT_EQ(type, UINT(MB_ICONERROR));

    EXPECT_EQ(MessageBoxW(nullptr, nullptr, nullptr, MB_OK), IDOK) << "null texts reach the hook as empty";
    EXPECT_EQ(text, L"");
    win32::SetMessageBoxHook(nullptr);
}
