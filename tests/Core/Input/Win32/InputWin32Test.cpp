#include "Core/Input/Win32/InputWin32.h"

#include "Platform/Win32/Win32User.h"
#include "tests/Support/InjectedInput.h"
#include "tests/Support/PrivateDisplay.h"
#include "tests/Support/RecordingInputListener.h"

#include <gtest/gtest.h>

#include <string>

using bwtest::InputEvent;

namespace
{

class InputWin32Test : public ::testing::Test
{
protected:
    InputWin32Test() : mInput(&mListener, &mConverter)
    {
        mConverter.scale = 2.0f;
        mConverter.offset = 10.0f;
    }

    bwtest::RecordingInputListener mListener;
    bwtest::ScalingConverter mConverter;
    input::InputWin32 mInput;
};

input::InputWin32* gTarget = nullptr;

// Keys travel the real road: SDL events, the message queue, a window
// procedure that hands key messages to the input object as the game's does.
class InputKeysTest : public InputWin32Test
{
protected:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN)
            gTarget->OnKeyDown(static_cast<uint32_t>(wParam), static_cast<uint32_t>(lParam));
        else if (message == WM_KEYUP || message == WM_SYSKEYUP)
            gTarget->OnKeyUp(static_cast<uint32_t>(wParam), static_cast<uint32_t>(lParam));
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }

    void SetUp() override
    {
        if (!bwtest::UsePrivateDisplay())
            GTEST_SKIP() << "no Xvfb for a private display";
        gTarget = &mInput;
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = Procedure;
        wc.lpszClassName = L"InputKeysTest";
        RegisterClassExW(&wc);
        mWindow = CreateWindowExW(0, L"InputKeysTest", L"keys", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr, nullptr,
                                  nullptr);
        ASSERT_NE(mWindow, nullptr);
        ShowWindow(mWindow, SW_SHOW);
        bwtest::ReleaseInjectedModifiers();
        Pump();
        mListener.events.clear();
    }

    void TearDown() override
    {
        DestroyWindow(mWindow);
        gTarget = nullptr;
    }

    static void Pump()
    {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }

    HWND mWindow = nullptr;
};

} // namespace

// A double click stops drags until the next press; buttons past the states
// are dropped, not written.
TEST_F(InputWin32Test, MouseEventsCarryTheConvertedPosition)
{
    mInput.OnMouseDown({5, 5}, 4);
    mInput.OnMouseUp({5, 5}, 200);
    mInput.OnMouseDoubleClick({5, 5}, 0xFFFFFFFFu);
    EXPECT_TRUE(mListener.events.empty());
    mInput.OnMouseMove({1, 2});
    mInput.OnMouseDown({3, 4}, 1);
    mInput.OnMouseMove({5, 6});
    mInput.OnMouseUp({7, 8}, 1);
    mInput.OnMouseDoubleClick({0, 0}, 1);
    mInput.OnMouseMove({1, 1});
    mInput.OnMouseDown({1, 1}, 1);
    mInput.OnMouseWheel({9, 10}, -120);
    mInput.OnMouseLeave({11, 12});
    std::vector<InputEvent> expected = {{"move", 22, 24, 0},   {"down", 26, 28, 1},     {"drag", 30, 32, 0},
                                        {"up", 34, 36, 1},     {"double", 20, 20, 1},   {"move", 22, 22, 0},
                                        {"down", 22, 22, 1},   {"wheel", 38, 40, -120}, {"leave", 42, 44, 0}};
    EXPECT_EQ(mListener.events, expected);
}

TEST_F(InputKeysTest, KeyDownReportsTheCodeOnceAndTheCharacterEachRepeat)
{
    bwtest::PushKey(mWindow, "Left Shift", true);
    bwtest::PushKey(mWindow, "A", true);
    bwtest::PushText(mWindow, "A");
    bwtest::PushKey(mWindow, "A", true, true);
    bwtest::PushText(mWindow, "A");
    bwtest::PushKey(mWindow, "A", false);
    bwtest::PushKey(mWindow, "Left Shift", false);
    bwtest::PushKey(mWindow, "F", true);
    bwtest::PushText(mWindow, "а"); // Cyrillic a on a Russian layout's F key
    bwtest::PushKey(mWindow, "E", true);
    bwtest::PushText(mWindow, "e\u0301");
    bwtest::PushKey(mWindow, "Return", true); // reports keypad enter
    Pump();
    std::vector<InputEvent> expected = {
        {"keydown", 0, 0, 0},   {"keydown", 0, 0, 97},    {"char", 0, 0, 'A'},      {"char", 0, 0, 'A'},
        {"keyup", 0, 0, 97},    {"keyup", 0, 0, 0},       {"keydown", 0, 0, 102},   {"char", 0, 0, 0x430},
        {"keydown", 0, 0, 101}, {"keydown", 0, 0, 271},   {"char", 0, 0, '\r'}};
    EXPECT_EQ(mListener.events, expected);
}
