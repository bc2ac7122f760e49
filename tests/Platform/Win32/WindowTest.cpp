// Plain windows on a private display whose procedure records every message:
// creation, the message queue, keys and typed text.

#include "Platform/Win32/SdlGlue.h"
#include "Platform/Win32/Win32User.h"
#include "tests/Support/InjectedInput.h"
#include "tests/Support/PrivateDisplay.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
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

    HWND mWindow = nullptr;
};

using Keyboard = TestWindow;
using MessageQueue = TestWindow;
using Window = TestWindow;

TEST_F(Keyboard, ScancodeGivesVirtualKeyScanCodeAndExtendedBit)
{
    const struct Row
    {
        const char* name;
        UINT message, key, scan;
        bool extended;
    } rows[] = {{"A", WM_KEYDOWN, 'A', 0x1E, false},           {"1", WM_KEYDOWN, '1', 0x02, false},
                {"Return", WM_KEYDOWN, VK_RETURN, 0x1C, false}, {"Keypad Enter", WM_KEYDOWN, VK_RETURN, 0x1C, true},
                {"Right Shift", WM_KEYDOWN, VK_SHIFT, 0x36, false}, {"Right Ctrl", WM_KEYDOWN, VK_CONTROL, 0x1D, true},
                {"Left Alt", WM_SYSKEYDOWN, VK_MENU, 0x38, false}, {"F10", WM_SYSKEYDOWN, VK_F10, 0x44, false},
                {"Delete", WM_KEYDOWN, VK_DELETE, 0x53, true},   {"Keypad 7", WM_KEYDOWN, VK_NUMPAD7, 0x47, false},
                {";", WM_KEYDOWN, VK_OEM_1, 0x27, false}};
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.name);
        bwtest::PushKey(mWindow, row.name, true);
        bwtest::PushKey(mWindow, row.name, false);
        Pump();
        auto downs = Seen(row.message);
        ASSERT_EQ(downs.size(), 1u);
        EXPECT_EQ(downs[0].wParam, WPARAM(row.key));
        EXPECT_EQ((downs[0].lParam >> 16) & 0xFF, LPARAM(row.scan));
        EXPECT_EQ(((downs[0].lParam >> 24) & 1) != 0, row.extended);
        EXPECT_EQ(downs[0].lParam & 0xFFFF, 1) << "repeat count";
        sReceived.clear();
    }
}

TEST_F(Keyboard, TypedTextTravelsWithItsKeyIncludingCyrillicOrAsAPacketKey)
{
    bwtest::PushKey(mWindow, "A", true);
    bwtest::PushText(mWindow, "a");
    bwtest::PushKey(mWindow, "A", false);
    bwtest::PushKey(mWindow, "Left Shift", true);
    bwtest::PushKey(mWindow, "F", true);
    bwtest::PushText(mWindow, "Ж"); // a Russian layout's F key
    bwtest::PushKey(mWindow, "F", true, true);
    bwtest::PushText(mWindow, "Ж");
    Pump();
    auto downs = Seen(WM_KEYDOWN);
    ASSERT_EQ(downs.size(), 4u);
    EXPECT_EQ(downs[0].typed, L"a");
    EXPECT_EQ(downs[1].wParam, WPARAM(VK_SHIFT));
    EXPECT_EQ(downs[1].typed, L"");
    EXPECT_EQ(downs[2].wParam, WPARAM('F'));
    EXPECT_EQ(downs[2].typed, L"\u0416");
    EXPECT_TRUE(downs[3].lParam & (LPARAM(1) << 30)) << "a repeat says the key was down";
    EXPECT_EQ(downs[3].typed, L"\u0416");
    ASSERT_EQ(Seen(WM_CHAR).size(), 3u);
    EXPECT_EQ(Seen(WM_CHAR)[1].wParam, WPARAM(0x416));

    // Text without a key.
    Drain();
    bwtest::PushText(mWindow, "щ");
    Pump();
    ASSERT_EQ(Seen(WM_KEYDOWN).size(), 1u);
    EXPECT_EQ(Seen(WM_KEYDOWN)[0].wParam, WPARAM(VK_PACKET));
    EXPECT_EQ(Seen(WM_KEYDOWN)[0].typed, L"\u0449");
    EXPECT_EQ(Seen(WM_KEYUP).size(), 0u);

    // Several characters at once (an input method's commit, more text after a
    // key's own): each its own packet key, so every one is typed.
    Drain();
    bwtest::PushText(mWindow, "ab");
    bwtest::PushKey(mWindow, "C", true);
    bwtest::PushText(mWindow, "c");
    bwtest::PushText(mWindow, "d");
    Pump();
    std::wstring typed;
    for (const auto& down : Seen(WM_KEYDOWN))
        typed += down.typed + L"|";
    EXPECT_EQ(typed, L"a|b|c|d|");
    EXPECT_EQ(Seen(WM_CHAR).size(), 4u);
}

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

TEST_F(Window, CreationNeedsARegisteredClassAndGivesANewHandleThatHoldsAWholePointer)
{
    EXPECT_EQ(Create(L"NoSuchClass", 0, 0, 10, 10), nullptr);
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
}

TEST_F(Window, RealPointerAndKeysFromXdotoolArrive)
{
    std::string caption = "test " + std::to_string(getpid());
    ASSERT_EQ(std::system(("xdotool search --sync --onlyvisible --name '" + caption + "' >/dev/null").c_str()), 0);
    ASSERT_EQ(std::system("xdotool mousemove --sync 130 80 click 1"), 0);
    ASSERT_TRUE(PumpUntil([&] { return !Seen(WM_LBUTTONUP).empty(); }));
    ASSERT_EQ(Seen(WM_LBUTTONDOWN).size(), 1u);
    EXPECT_EQ(GET_X_LPARAM(Seen(WM_LBUTTONDOWN)[0].lParam), 30);
    EXPECT_EQ(GET_Y_LPARAM(Seen(WM_LBUTTONDOWN)[0].lParam), 30);

    // A Russian layout types Cyrillic on the keys of Latin letters. The
    // layout stays until the keys are read: X looks characters up late.
    ASSERT_EQ(std::system("xdotool key Return b"), 0);
    ASSERT_TRUE(PumpUntil([&] { return Seen(WM_KEYUP).size() >= 2; }));
    ASSERT_EQ(std::system("setxkbmap ru && xdotool key Cyrillic_zhe"), 0);
    bool arrived = PumpUntil([&] { return Seen(WM_KEYDOWN).size() >= 3; });
    std::system("setxkbmap us");
    ASSERT_TRUE(arrived);
    auto downs = Seen(WM_KEYDOWN);
    EXPECT_EQ(downs[0].wParam, WPARAM(VK_RETURN));
    EXPECT_EQ(downs[0].typed, L"\r");
    EXPECT_EQ(downs[1].typed, L"b");
    EXPECT_EQ(downs[2].wParam, WPARAM(VK_OEM_1));
    EXPECT_EQ(downs[2].typed, L"\u0436");
}
