#include "tests/Platform/Win32/TestWindow.h"

#include "Platform/Win32/SdlGlue.h"

#include <SDL.h>

namespace
{

LRESULT CALLBACK RefuseCreation(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return message == WM_CREATE ? -1 : DefWindowProcW(hwnd, message, wParam, lParam);
}

} // namespace

using Window = TestWindow;

TEST_F(Window, CreationNeedsARegisteredClassAndAnAgreeingCreateMessageAndGivesANewHandle)
{
    EXPECT_EQ(Create(L"NoSuchClass", 0, 0, 10, 10), nullptr);
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = RefuseCreation;
    wc.lpszClassName = L"Refusing";
    ASSERT_NE(RegisterClassExW(&wc), 0);
    EXPECT_EQ(RegisterClassExW(&wc), 0) << "a class is registered once";
    EXPECT_EQ(Create(L"Refusing", 0, 0, 10, 10), nullptr);

    HWND window = Create(L"TestWindow", 10, 20, 30, 40);
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(IsWindowVisible(window)) << "hidden until shown";
    EXPECT_EQ(SetWindowLongPtrW(window, GWLP_USERDATA, LONG_PTR(0x123456789AB)), 0);
    EXPECT_EQ(GetWindowLongPtrW(window, GWLP_USERDATA), LONG_PTR(0x123456789AB)) << "a whole pointer fits";
    ASSERT_TRUE(DestroyWindow(window));
    EXPECT_EQ(win32::SdlWindowFromHwnd(window), nullptr);
    HWND next = Create(L"TestWindow", 10, 20, 30, 40);
    EXPECT_NE(next, window) << "handles are never reused";
    DestroyWindow(next);

    // A move of our own is not reported again when the system confirms it.
    ASSERT_TRUE(SetWindowPos(mWindow, nullptr, 200, 100, 400, 300, SWP_NOZORDER));
    EXPECT_EQ(Seen(WM_MOVE).size(), 1u);
    EXPECT_EQ(Seen(WM_SIZE).size(), 1u);
    ASSERT_TRUE(PumpUntil([&] {
        int x = 0, y = 0;
        SDL_GetWindowPosition(win32::SdlWindowFromHwnd(mWindow), &x, &y);
        return x == 200 && y == 100;
    }));
    Pump();
    EXPECT_EQ(Seen(WM_MOVE).size(), 1u);
}

TEST_F(Window, RealPointerAndKeysFromXdotoolArrive)
{
    std::string caption = "test " + std::to_string(getpid());
    ASSERT_EQ(bwtest::RunOnDisplay("xdotool search --sync --onlyvisible --name '" + caption + "' >/dev/null"), 0);
    ASSERT_EQ(bwtest::RunOnDisplay("xdotool mousemove --sync 130 80 click 1"), 0);
    ASSERT_TRUE(PumpUntil([&] { return !Seen(WM_LBUTTONUP).empty(); }));
    ASSERT_EQ(Seen(WM_LBUTTONDOWN).size(), 1u);
    EXPECT_EQ(GET_X_LPARAM(Seen(WM_LBUTTONDOWN)[0].lParam), 30);
    EXPECT_EQ(GET_Y_LPARAM(Seen(WM_LBUTTONDOWN)[0].lParam), 30);

    // A Russian layout types Cyrillic on the keys of Latin letters. The
    // layout stays until the keys are read: X looks characters up late.
    ASSERT_EQ(bwtest::RunOnDisplay("xdotool key Return b"), 0);
    ASSERT_TRUE(PumpUntil([&] { return Seen(WM_KEYUP).size() >= 2; }));
    ASSERT_EQ(bwtest::RunOnDisplay("setxkbmap ru && xdotool key Cyrillic_zhe"), 0);
    bool arrived = PumpUntil([&] { return Seen(WM_KEYDOWN).size() >= 3; });
    bwtest::RunOnDisplay("setxkbmap us");
    ASSERT_TRUE(arrived);
    auto downs = Seen(WM_KEYDOWN);
    EXPECT_EQ(downs[0].wParam, WPARAM(VK_RETURN));
    EXPECT_EQ(downs[0].typed, L"\r");
    EXPECT_EQ(downs[1].typed, L"b");
    EXPECT_EQ(downs[2].wParam, WPARAM(VK_OEM_1));
    EXPECT_EQ(downs[2].typed, L"\u0436");
}
