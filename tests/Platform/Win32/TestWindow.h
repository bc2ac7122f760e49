#pragma once

// A plain window on a private display whose procedure records every message.

#include "Platform/Win32/Win32User.h"
#include "tests/Support/InjectedInput.h"
#include "tests/Support/PrivateDisplay.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

struct ReceivedMessage
{
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    std::wstring typed; // what ToUnicode gave while a key-down was handled
};

class TestWindow : public ::testing::Test
{
public:
    static void Pump()
    {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }

protected:
    static std::vector<ReceivedMessage>& Received()
    {
        static std::vector<ReceivedMessage> received;
        return received;
    }

    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        ReceivedMessage entry = {hwnd, message, wParam, lParam, {}};
        if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN)
        {
            BYTE keys[256];
            GetKeyboardState(keys);
            wchar_t text[4] = {};
            int count = ToUnicode(static_cast<UINT>(wParam), static_cast<UINT>(lParam), keys, text, 4, 0);
            if (count > 0)
                entry.typed.assign(text, static_cast<size_t>(count));
        }
        Received().push_back(entry);
        if (message == WM_CLOSE || message == WM_SETCURSOR)
            return 0;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }

    static void RegisterClasses()
    {
        for (UINT style : {UINT(CS_DBLCLKS), UINT(0)})
        {
            WNDCLASSEXW wc = {};
            wc.cbSize = sizeof(wc);
            wc.style = style;
            wc.lpfnWndProc = Procedure;
            wc.lpszClassName = style ? L"TestWindow" : L"TestWindowNoDoubleClicks";
            RegisterClassExW(&wc);
        }
    }

    void SetUp() override
    {
        if (!bwtest::UsePrivateDisplay())
            GTEST_SKIP() << "no Xvfb for a private display";
        RegisterClasses();
        bwtest::ReleaseInjectedModifiers();
        mWindow = Create(L"TestWindow", 100, 50, 320, 240);
        ASSERT_NE(mWindow, nullptr);
        ShowWindow(mWindow, SW_SHOW);
        Drain();
    }

    void TearDown() override
    {
        if (IsWindow(mWindow))
            DestroyWindow(mWindow);
        Drain();
    }

    static HWND Create(const wchar_t* className, int x, int y, int width, int height,
                       DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU)
    {
        std::wstring caption = L"test " + std::to_wstring(::getpid());
        return CreateWindowExW(0, className, caption.c_str(), style, x, y, width, height, nullptr, nullptr, nullptr,
                               nullptr);
    }

    // Handles everything queued, as a message loop does, and forgets what the
    // procedure saw before.
    void Drain()
    {
        Pump();
        Received().clear();
    }

    // The messages of one kind the procedure saw, in order.
    static std::vector<ReceivedMessage> Seen(UINT message)
    {
        std::vector<ReceivedMessage> out;
        for (const ReceivedMessage& entry : Received())
            if (entry.message == message)
                out.push_back(entry);
        return out;
    }

    // Everything but the cursor queries that mouse input brings along.
    static std::vector<UINT> SeenKinds()
    {
        std::vector<UINT> out;
        for (const ReceivedMessage& entry : Received())
            if (entry.message != WM_SETCURSOR)
                out.push_back(entry.message);
        return out;
    }

    HWND mWindow = nullptr;
};
