#pragma once

// A plain window on a private display whose procedure records every message.

#include "Platform/Win32/Win32User.h"
#include "tests/Support/InjectedInput.h"
#include "tests/Support/PrivateDisplay.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

struct ReceivedMessage
{
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

    // Handles messages until the condition holds or two seconds have passed:
    // the X server answers in its own time.
    static bool PumpUntil(const std::function<bool()>& condition)
    {
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        for (Pump(); !condition(); Pump())
        {
            if (std::chrono::steady_clock::now() > end)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return true;
    }

protected:
    inline static std::vector<ReceivedMessage> sReceived;

    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        ReceivedMessage entry = {message, wParam, lParam, {}};
        if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN)
        {
            BYTE keys[256];
            GetKeyboardState(keys);
            wchar_t text[4] = {};
            int count = ToUnicode(static_cast<UINT>(wParam), static_cast<UINT>(lParam), keys, text, 4, 0);
            entry.typed.assign(text, static_cast<size_t>(std::max(count, 0)));
        }
        sReceived.push_back(entry);
        if (message == WM_CLOSE || message == WM_SETCURSOR)
            return 0;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }

    void SetUp() override
    {
        if (!bwtest::UsePrivateDisplay())
            GTEST_SKIP() << "no Xvfb for a private display";
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof(wc);
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = Procedure;
        wc.lpszClassName = L"TestWindow";
        RegisterClassExW(&wc);
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

    static HWND Create(const wchar_t* className, int x, int y, int width, int height)
    {
        const std::wstring caption = L"test " + std::to_wstring(::getpid());
        return CreateWindowExW(0, className, caption.c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU, x, y, width, height,
                               nullptr, nullptr, nullptr, nullptr);
    }

    // Handles everything queued and forgets what the procedure saw before.
    static void Drain()
    {
        Pump();
        sReceived.clear();
    }

    // The messages of one kind the procedure saw, in order.
    static std::vector<ReceivedMessage> Seen(UINT message)
    {
        std::vector<ReceivedMessage> out;
        for (const ReceivedMessage& entry : sReceived)
            if (entry.message == message)
                out.push_back(entry);
        return out;
    }

    // Everything but the cursor queries that mouse input brings along.
    static std::vector<UINT> SeenKinds()
    {
        std::vector<UINT> out;
        for (const ReceivedMessage& entry : sReceived)
            if (entry.message != WM_SETCURSOR)
                out.push_back(entry.message);
        return out;
    }

    HWND mWindow = nullptr;
};
