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
    EXPECT_EQ(Seen(WM_CREATE).size(), 1u);
    EXPECT_NE(win32::SdlWindowFromHwnd(window), nullptr);
    EXPECT_FALSE(IsWindowVisible(window)) << "hidden until shown";
    ASSERT_TRUE(DestroyWindow(window));
    EXPECT_EQ(Seen(WM_DESTROY).size(), 1u);
    EXPECT_EQ(win32::SdlWindowFromHwnd(window), nullptr);
    HWND next = Create(L"TestWindow", 10, 20, 30, 40);
    EXPECT_NE(next, window) << "handles are never reused";
    DestroyWindow(next);
}

TEST_F(Window, LongsPlacementAndRectanglesFollowTheCalls)
{
    EXPECT_EQ(SetWindowLongPtrW(mWindow, GWLP_USERDATA, LONG_PTR(0x123456789AB)), 0);
    EXPECT_EQ(GetWindowLongPtrW(mWindow, GWLP_USERDATA), LONG_PTR(0x123456789AB)) << "a whole pointer fits";
    EXPECT_EQ(DWORD(GetWindowLongW(mWindow, GWL_STYLE)), WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE);

    RECT rect;
    ASSERT_TRUE(GetClientRect(mWindow, &rect));
    EXPECT_EQ(rect.right, 320);
    EXPECT_EQ(rect.bottom, 240);
    ASSERT_TRUE(SetWindowPos(mWindow, nullptr, 200, 100, 400, 300, SWP_NOZORDER | SWP_FRAMECHANGED));
    ASSERT_EQ(Seen(WM_MOVE).size(), 1u);
    EXPECT_EQ(GET_X_LPARAM(Seen(WM_MOVE)[0].lParam), 200);
    ASSERT_EQ(Seen(WM_SIZE).size(), 1u);
    EXPECT_EQ(LOWORD(Seen(WM_SIZE)[0].lParam), 400);
    GetWindowRect(mWindow, &rect);
    EXPECT_EQ(rect.left, 200);
    EXPECT_EQ(rect.bottom, 400);

    WINDOWPLACEMENT placement = {};
    EXPECT_FALSE(GetWindowPlacement(mWindow, &placement)) << "the length must be set";
    placement.length = sizeof(placement);
    ASSERT_TRUE(GetWindowPlacement(mWindow, &placement));
    EXPECT_EQ(placement.showCmd, UINT(SW_SHOWNORMAL));
    EXPECT_EQ(placement.rcNormalPosition.left, 200);
    EXPECT_EQ(placement.rcNormalPosition.top, 100);

    RECT frame = {0, 0, 1366, 768};
    ASSERT_TRUE(AdjustWindowRect(&frame, WS_POPUP | WS_CAPTION, FALSE));
    EXPECT_EQ(frame.right, 1366) << "the window manager draws frames outside";

    ASSERT_TRUE(PumpUntil([&] {
        int x = 0, y = 0;
        SDL_GetWindowPosition(win32::SdlWindowFromHwnd(mWindow), &x, &y);
        return x == 200 && y == 100;
    }));
    sReceived.clear();
    Pump();
    EXPECT_TRUE(Seen(WM_MOVE).empty()) << "the system confirming our own move is no news";
}

TEST_F(Window, MinimiseAndRestoreSendSizeMessagesAtOnce)
{
    ShowWindow(mWindow, SW_MINIMIZE);
    EXPECT_TRUE(IsIconic(mWindow));
    ASSERT_EQ(Seen(WM_SIZE).size(), 1u);
    EXPECT_EQ(Seen(WM_SIZE)[0].wParam, WPARAM(SIZE_MINIMIZED));
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    GetWindowPlacement(mWindow, &placement);
    EXPECT_EQ(placement.showCmd, UINT(SW_SHOWMINIMIZED));

    bwtest::PushWindowEvent(mWindow, bwtest::WindowEvent::Minimized);
    Pump();
    EXPECT_EQ(Seen(WM_SIZE).size(), 1u) << "the system's word for a known state is dropped";

    EXPECT_TRUE(ShowWindow(mWindow, SW_RESTORE));
    EXPECT_FALSE(IsIconic(mWindow));
    ASSERT_EQ(Seen(WM_SIZE).size(), 2u);
    EXPECT_EQ(Seen(WM_SIZE)[1].wParam, WPARAM(SIZE_RESTORED));
    EXPECT_TRUE(ShowWindow(mWindow, SW_HIDE));
    EXPECT_FALSE(ShowWindow(mWindow, SW_SHOW));
}

TEST_F(Window, ThePointerFindsOurWindowOnlyWhenOverIt)
{
    ASSERT_TRUE(SetCursorPos(150, 100));
    const POINT inside = {150, 100};
    ASSERT_TRUE(PumpUntil([&] { return WindowFromPoint(inside) == mWindow; }));
    POINT pt;
    ASSERT_TRUE(GetCursorPos(&pt));
    EXPECT_EQ(pt.x, 150);
    EXPECT_EQ(pt.y, 100);
    ScreenToClient(mWindow, &pt);
    EXPECT_EQ(pt.x, 50);
    EXPECT_EQ(pt.y, 50);
    ClientToScreen(mWindow, &pt);
    EXPECT_EQ(pt.x, 150);

    SetCursorPos(1000, 600);
    EXPECT_TRUE(PumpUntil([&] { return WindowFromPoint({1000, 600}) == nullptr; }));

    // Another program's window above ours takes the pointer.
    SetCursorPos(150, 100);
    ASSERT_TRUE(PumpUntil([&] { return WindowFromPoint(inside) == mWindow; }));
    SDL_Window* above = SDL_CreateWindow("above", 120, 70, 100, 100, SDL_WINDOW_BORDERLESS);
    ASSERT_NE(above, nullptr);
    SDL_RaiseWindow(above);
    EXPECT_TRUE(PumpUntil([&] { return WindowFromPoint(inside) == nullptr; }));
    SDL_DestroyWindow(above);
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
