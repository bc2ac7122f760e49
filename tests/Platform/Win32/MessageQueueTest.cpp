#include "tests/Platform/Win32/TestWindow.h"

using MessageQueue = TestWindow;

TEST_F(MessageQueue, PostedMessagesKeepOrderAndFilterDestroyingDropsThemAndSentOnesArriveAtOnce)
{
    HWND other = Create(L"TestWindow", 500, 50, 100, 100);
    ASSERT_NE(other, nullptr);
    Drain();
    ASSERT_TRUE(PostMessageW(mWindow, WM_USER, 1, 10));
    ASSERT_TRUE(PostMessageW(other, WM_USER, 2, 20));
    ASSERT_TRUE(PostMessageW(nullptr, WM_USER, 3, 30));
    ASSERT_TRUE(PostMessageW(mWindow, WM_USER + 1, 4, 40));

    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, other, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 2u);
    EXPECT_FALSE(PeekMessageW(&msg, other, 0, 0, PM_REMOVE));
    ASSERT_TRUE(PeekMessageW(&msg, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, nullptr);
    EXPECT_EQ(msg.wParam, 3u);
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_USER + 1, WM_USER + 1, PM_NOREMOVE));
    EXPECT_EQ(msg.wParam, 4u);
    ASSERT_TRUE(PeekMessageW(&msg, mWindow, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 1u);
    ASSERT_TRUE(PeekMessageW(&msg, mWindow, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 4u);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_FALSE(PostMessageW(reinterpret_cast<HWND>(0x7777), WM_USER, 0, 0));

    // Destroying drops the window's queued messages and timers; its handle then fails.
    PostMessageW(other, WM_USER, 0, 0);
    SetTimer(other, 100, 10, nullptr);
    ASSERT_TRUE(DestroyWindow(other));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_FALSE(DestroyWindow(other)) << "a destroyed window is destroyed once";
    EXPECT_FALSE(IsWindow(other));
    EXPECT_FALSE(PostMessageW(other, WM_USER, 0, 0));

    // Sending skips the queue.
    SendMessageW(mWindow, WM_USER + 5, 7, 8);
    ASSERT_EQ(Seen(WM_USER + 5).size(), 1u);
    EXPECT_EQ(Seen(WM_USER + 5)[0].wParam, 7u);
    EXPECT_EQ(SendMessageW(reinterpret_cast<HWND>(0x7777), WM_USER, 0, 0), 0);
}

TEST_F(MessageQueue, ConsecutiveMouseMovesMergeIntoTheLatest)
{
    bwtest::PushMouseMove(mWindow, 1, 1);
    bwtest::PushMouseMove(mWindow, 2, 2);
    bwtest::PushMouseMove(mWindow, 3, 4);
    bwtest::PushMouseButton(mWindow, 1, true, 3, 4);
    bwtest::PushMouseMove(mWindow, 5, 6);
    bwtest::PushMouseMove(mWindow, -7, 8);
    Pump();
    std::vector<UINT> expected = {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_MOUSEMOVE};
    EXPECT_EQ(SeenKinds(), expected);
    auto moves = Seen(WM_MOUSEMOVE);
    ASSERT_EQ(moves.size(), 2u);
    EXPECT_EQ(GET_X_LPARAM(moves[0].lParam), 3);
    EXPECT_EQ(GET_Y_LPARAM(moves[0].lParam), 4);
    EXPECT_EQ(GET_X_LPARAM(moves[1].lParam), -7) << "positions are signed";
    EXPECT_EQ(moves[1].wParam & MK_LBUTTON, 0u);
}

TEST_F(MessageQueue, TimersFireWhenDueAndOnlyWhenNothingElseWaits)
{
    // A long interval, so that a loaded machine cannot make it due between
    // two calls.
    ASSERT_NE(SetTimer(mWindow, 100, 300, nullptr), 0u);
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, mWindow, 0, 0, PM_REMOVE)) << "not due yet";
    std::this_thread::sleep_for(std::chrono::milliseconds(320));
    PostMessageW(mWindow, WM_USER, 0, 0);
    ASSERT_TRUE(PeekMessageW(&msg, mWindow, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_USER));
    ASSERT_TRUE(PeekMessageW(&msg, mWindow, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_TIMER));
    EXPECT_EQ(msg.wParam, 100u);
    EXPECT_FALSE(PeekMessageW(&msg, mWindow, 0, 0, PM_REMOVE)) << "taken, so not due again for 300 ms";
    EXPECT_TRUE(KillTimer(mWindow, 100));
    EXPECT_FALSE(KillTimer(mWindow, 100));
}
