#include "Core/App/Win32/WindowWin32.h"

#include "Core/App/Application.h"
#include "Core/App/Win32/MonitorInfo.h"
#include "Core/Input/Win32/InputWin32.h"
#include "Framework/GameWindow.h"
#include "Platform/Win32/Win32Kernel.h"
#include "Platform/Win32/Win32User.h"
#include "tests/Support/InjectedInput.h"
#include "tests/Support/PrivateDisplay.h"
#include "tests/Support/RecordingInputListener.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>

using bwtest::InputEvent;

namespace
{

// Counts what the window reports about itself.
class ObservedWindow : public framework::GameWindow
{
public:
    using framework::GameWindow::GameWindow;

    void OnActivate() override { activations.push_back(true); }
    void OnDeactivate() override { activations.push_back(false); }
    void OnCreated() override { ++created; }

    std::vector<bool> activations;
    int created = 0;
};

class TestApplication : public app::Application
{
public:
    TestApplication() : app::Application(true, false) {}
};

std::wstring Caption(const char* what)
{
    std::string text = std::string(what) + " " + std::to_string(getpid());
    return std::wstring(text.begin(), text.end());
}

class WindowWin32Test : public ::testing::Test
{
protected:
    WindowWin32Test() : mInput(&mListener, &mConverter), mWindow(&mInput) {}

    void SetUp() override
    {
        if (!bwtest::UsePrivateDisplay())
            GTEST_SKIP() << "no Xvfb for a private display";
        bwtest::ReleaseInjectedModifiers();
        SetCursorPos(1300, 700); // away from the window
        ASSERT_EQ(mWindow.Create({100, 50}, {640, 480}, {640, 480}, true, Caption("window")), BW_OK);
        ASSERT_NE(mWindow.GetHandle(), nullptr);
        Frames(5);
        mListener.events.clear();
    }

    // Runs frames of the window task, as the application's loop does.
    void Frames(int count)
    {
        for (int i = 0; i < count; ++i)
            mWindow.Update(0.016f);
    }

    bool FramesUntil(const std::function<bool()>& condition)
    {
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (!condition())
        {
            if (std::chrono::steady_clock::now() > end)
                return false;
            mWindow.Update(0.016f);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }

    // Frames until nothing is left queued for the window.
    void Settle()
    {
        MSG msg;
        while (PeekMessageW(&msg, mWindow.GetHandle(), 0, 0, PM_NOREMOVE) && msg.message != WM_TIMER)
            mWindow.Update(0.016f);
    }

    HWND Handle() const { return mWindow.GetHandle(); }

    bwtest::RecordingInputListener mListener;
    bwtest::ScalingConverter mConverter;
    input::InputWin32 mInput;
    ObservedWindow mWindow;
};

} // namespace

TEST_F(WindowWin32Test, AltEnterRequestsASwitchOnceButNotWithAnAltHeldWhenTheFocusLeft)
{
    bwtest::PushKey(Handle(), "Left Alt", true);
    bwtest::PushKey(Handle(), "Return", true);
    bwtest::PushKey(Handle(), "Return", false);
    bwtest::PushKey(Handle(), "Left Alt", false);
    Settle();
    EXPECT_TRUE(mWindow.IsSwitchRequested());
    EXPECT_TRUE(mListener.Of("char").empty());
    for (const InputEvent& event : mListener.Of("keydown"))
        EXPECT_NE(event.value, 271) << "the Enter key-down stays with the window";
    mWindow.ClearSwitchRequest();

    // Alt+Tab: the Alt release goes to the other program; a later Enter is a key.
    bwtest::PushKey(Handle(), "Left Alt", true);
    bwtest::PushWindowEvent(Handle(), bwtest::WindowEvent::FocusLost);
    bwtest::ReleaseInjectedModifiers();
    bwtest::PushWindowEvent(Handle(), bwtest::WindowEvent::FocusGained);
    bwtest::PushKey(Handle(), "Return", true);
    Settle();
    EXPECT_FALSE(mWindow.IsSwitchRequested());
    EXPECT_EQ(mListener.Of("keydown").back().value, 271);
    EXPECT_EQ(mListener.Of("char").back().value, '\r');
}

TEST_F(WindowWin32Test, LeavingTheClientAreaGivesAMouseLeaveAndTheArrowInAWindow)
{
    mWindow.SetForceSystemCursor(false);
    SetCursorPos(300, 200);
    ASSERT_TRUE(FramesUntil([&] { return mWindow.IsCursorInside(); }));
    EXPECT_EQ(GetCursor(), nullptr) << "over the game the game draws the cursor";
    const input::Point* inside = mWindow.GetCursorPosition();
    EXPECT_EQ(inside->x, 200.0f);
    EXPECT_EQ(inside->y, 150.0f);
    mListener.events.clear();

    SetCursorPos(900, 200);
    auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(FramesUntil([&] { return !mListener.Of("leave").empty(); }));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    InputEvent leave = mListener.Of("leave").front();
    EXPECT_EQ(leave.x, 800.0f) << "the leave carries the converted outside point";
    EXPECT_EQ(leave.y, 150.0f);
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
}

TEST_F(WindowWin32Test, FullScreenKeepsTheCursorHiddenOutsideUnlessForced)
{
    mWindow.SetForceSystemCursor(false);
    ASSERT_EQ(mWindow.SwitchWindowMode({1366, 768}, false), BW_OK);
    EXPECT_FALSE(mWindow.IsWindowed());
    app::WindowSize client = mWindow.GetClientSize();
    EXPECT_EQ(client.width, 1366) << "the drawing area follows the switch";
    EXPECT_EQ(client.height, 768);

    // Far right and low, where the old 640 x 480 area ended long before.
    SetCursorPos(1300, 700);
    ASSERT_TRUE(FramesUntil([&] { return mWindow.IsCursorInside(); }));
    mListener.events.clear();
    Frames(20);
    EXPECT_TRUE(mListener.Of("leave").empty()) << "no false leave in full screen";

    mWindow.SetForceSystemCursor(true);
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
    mWindow.SetForceSystemCursor(false);
    EXPECT_EQ(GetCursor(), nullptr);

    ASSERT_EQ(mWindow.SetWindowedSize({640, 480}), BW_OK);
    ASSERT_EQ(mWindow.SwitchWindowMode({640, 480}, true), BW_OK);
    EXPECT_TRUE(mWindow.IsWindowed());
    RECT rect;
    GetWindowRect(Handle(), &rect);
    EXPECT_EQ(rect.left, 100) << "back where the window was";
    EXPECT_EQ(rect.top, 50);
    EXPECT_EQ(mWindow.GetClientSize().width, 640);
}

TEST_F(WindowWin32Test, ButtonsAndTheWheelReachTheInputInClientCoordinates)
{
    bwtest::PushMouseMove(Handle(), 1, 1); // consecutive moves merge into the latest
    bwtest::PushMouseMove(Handle(), 3, 4);
    bwtest::PushMouseButton(Handle(), 1, true, 10, 20, 1);
    bwtest::PushMouseButton(Handle(), 1, false, 10, 20, 1);
    bwtest::PushMouseButton(Handle(), 1, true, 10, 20, 2);
    bwtest::PushMouseMove(Handle(), 11, 21);
    bwtest::PushMouseButton(Handle(), 1, false, 11, 21, 2);
    bwtest::PushMouseButton(Handle(), 3, true, 12, 22, 1);
    bwtest::PushMouseButton(Handle(), 2, true, 12, 22, 1);
    bwtest::PushMouseButton(Handle(), 5, true, 12, 22, 1);
    bwtest::PushMouseWheel(Handle(), 30, 40, -1);
    Settle();
    std::vector<InputEvent> expected = {{"move", 3, 4, 0},   {"down", 10, 20, 1}, {"up", 10, 20, 1},
                                        {"double", 10, 20, 1}, {"move", 11, 21, 0}, {"up", 11, 21, 1},
                                        {"down", 12, 22, 3},   {"wheel", 30, 40, -120}};
    EXPECT_EQ(mListener.events, expected) << "a double click does not drag; middle and extra buttons stay out";
}

// WM_CLOSE, the system close box, command 105 and another program destroying
// the X window all end the task, and the window object leaves the dead handle alone.
TEST_F(WindowWin32Test, AWindowClosedOrDestroyedEndsTheTaskAndItsHandleIsNotUsedAgain)
{
    const std::function<void(HWND)> destroyers[] = {
        [](HWND hwnd) { PostMessageW(hwnd, WM_CLOSE, 0, 0); },
        [](HWND hwnd) { bwtest::PushWindowEvent(hwnd, bwtest::WindowEvent::Close); },
        [](HWND hwnd) { PostMessageW(hwnd, WM_COMMAND, 105, 0); },
        [](HWND hwnd) { ASSERT_TRUE(win32::DestroyWindowFromOutside(hwnd)); },
    };
    for (const auto& destroy : destroyers)
    {
        SCOPED_TRACE(&destroy - destroyers);
        auto window = std::make_unique<ObservedWindow>(&mInput);
        ASSERT_EQ(window->Create({0, 0}, {200, 100}, {200, 100}, true, Caption("destroyed")), BW_OK);
        const HWND hwnd = window->GetHandle();
        destroy(hwnd);
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!window->IsStopped() && std::chrono::steady_clock::now() < end)
            window->Update(0.016f);
        EXPECT_TRUE(window->IsStopped());
        EXPECT_FALSE(IsWindow(hwnd));
        PostMessageW(hwnd, WM_COMMAND, 106, 0);
        window->Update(0.016f);
        SetLastError(0);
        window.reset();
        EXPECT_EQ(GetLastError(), 0u) << "the destructor used the dead handle";
    }
    Frames(2); // the fixture's window lives on
    EXPECT_FALSE(mWindow.IsStopped());
}

namespace
{

LRESULT CALLBACK RefuseCreation(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return message == WM_CREATE ? -1 : DefWindowProcW(hwnd, message, wParam, lParam);
}

} // namespace

TEST(WindowWin32Creation, AFailedCreationIsReported)
{
    if (!bwtest::UsePrivateDisplay())
        GTEST_SKIP() << "no Xvfb for a private display";
    // The class name is taken by a procedure that refuses every window.
    UnregisterClassW(L"ApplicationWindow", nullptr);
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = RefuseCreation;
    wc.lpszClassName = L"ApplicationWindow";
    ASSERT_NE(RegisterClassExW(&wc), 0);
    input::InputWin32 input(nullptr, nullptr);
    ObservedWindow window(&input);
    EXPECT_EQ(window.Create({0, 0}, {100, 100}, {100, 100}, true, Caption("refused")), BW_FAIL);
    EXPECT_FALSE(window.IsCreated());
    EXPECT_EQ(window.created, 0);
    EXPECT_EQ(window.GetHandle(), nullptr);
    EXPECT_EQ(window.Update(0.016f), BW_OK) << "an uncreated window pumps nothing";
    UnregisterClassW(L"ApplicationWindow", nullptr);
}

TEST_F(WindowWin32Test, ASecondCopyRestoresTheFirstAndEndsWithExitCodeZero)
{
    ShowWindow(Handle(), SW_MINIMIZE);
    Settle();
    ASSERT_EQ(mWindow.activations, std::vector<bool>{false});
    // This test again in a fresh process on the same display, where the
    // statement is the second copy: the first one is this process.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            app::Application::SetCreateInstance([]() -> app::Application* { return new TestApplication; });
            app::Application* application = app::Application::Instance();
            input::InputWin32 input(nullptr, nullptr);
            ObservedWindow window(&input);
            const std::string caption = "window " + std::to_string(getppid());
            window.Create({0, 0}, {100, 100}, {100, 100}, true, std::wstring(caption.begin(), caption.end()));
            std::exit(!window.GetHandle() && !window.IsCreated() && application->IsAlreadyRunning() &&
                              application->IsStopRequested()
                          ? 0
                          : 1);
        },
        ::testing::ExitedWithCode(0), "");
    ASSERT_TRUE(FramesUntil([&] { return !IsIconic(Handle()); }));
    // The child's own fixture window, gone with it, may take the focus once more.
    ASSERT_GE(mWindow.activations.size(), 2u);
    EXPECT_TRUE(mWindow.activations[1]) << "activated by the restore";
}

TEST(ReduceRatio, DividesByTheGreatestCommonDivisor)
{
    const uint32_t rows[][4] = {{1024, 768, 4, 3},    {1366, 768, 683, 384}, {1920, 1080, 16, 9},
                                {2560, 1080, 64, 27}, {7, 0, 1, 0},          {0, 0, 0, 0}};
    for (const auto& row : rows)
    {
        std::pair<uint32_t, uint32_t> out(99, 99);
        app::ReduceRatio(out, row[0], row[1]);
        EXPECT_EQ(out, std::make_pair(row[2], row[3])) << row[0] << "x" << row[1];
    }
}
