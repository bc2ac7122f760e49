#pragma once

// The game's one top-level window as a task: it refuses to start a second
// copy, pumps one message of its own per frame, hands mouse and keys to the
// input object, tracks the cursor with a 10 ms timer, reports activation,
// turns Alt+Enter into a screen-mode request, and switches between window and
// full-screen style.

#include "Core/Base/BWResult.h"
#include "Core/Base/Task.h"
#include "Core/Input/InputTypes.h"
#include "Platform/Win32/Win32Types.h"

#include <cstdint>
#include <memory>
#include <string>

namespace input
{
class InputWin32;
}

namespace app
{

struct WindowPoint
{
    int32_t x = 0;
    int32_t y = 0;
};

struct WindowSize
{
    int32_t width = 0;
    int32_t height = 0;
};

class WindowWin32 : public base::Task
{
public:
    static constexpr uint32_t kWindowedStyle = 0x82CA0000;  // popup, caption, close and minimise boxes
    static constexpr uint32_t kFullScreenStyle = 0x80000000; // popup
    static constexpr uint32_t kClassStyle = 0x300B;
    static constexpr uint32_t kCursorTimer = 100;
    static constexpr uint32_t kCloseCommand = 105;

    // The input object is not owned. The task always has a lock.
    WindowWin32(input::InputWin32* input, bool autoDelete, bool finishWithChildren, bool keepsParentAlive);
    ~WindowWin32() override;

    BWResultEnum OnUpdate(float dt) override;
    // Asks for the window to be destroyed at the next update; the task counts
    // as stopped once it is.
    void OnStop() override;
    virtual bool CanClose();
    virtual void OnActivate();
    virtual void OnDeactivate();
    virtual void OnCreated();

    // Creates the window, unless another copy with this caption runs: then
    // that one is restored, the application is stopped and 0 returned. A
    // window that cannot be created is an error.
    BWResultEnum Create(const WindowPoint& position, const WindowSize& windowSize, const WindowSize& clientSize,
                        bool windowed, const std::wstring& caption);
    BWResultEnum SwitchWindowMode(const WindowSize& windowSize, bool windowed);
    BWResultEnum SetWindowedSize(const WindowSize& windowSize);
    // The outer size of a windowed-style window with that client size.
    WindowSize GetOuterSize(const WindowSize& clientSize) const;
    // The cursor in client coordinates, read now.
    const input::Point* GetCursorPosition();
    HWND GetHandle() const { return mHandle; }
    void SetForceSystemCursor(bool force);
    bool IsSystemCursorForced() const { return mForceSystemCursor != 0; }

    bool IsWindowed() const { return mWindowed != 0; }
    bool IsSwitchRequested() const { return mSwitchRequested != 0; }
    void ClearSwitchRequest() { mSwitchRequested = 0; }
    // As Alt+Enter does: the switch happens at the window's next update.
    void RequestSwitch() { mSwitchRequested = 1; }
    bool IsCreated() const { return mCreated != 0; }
    bool IsCursorInside() const { return mCursorInside != 0; }
    bool IsShownActive() const { return mShownActive != 0; }
    // The last WM_SIZE said minimised; the last WM_ACTIVATEAPP said active.
    bool IsMinimized() const { return mMinimized != 0; }
    bool IsApplicationActive() const { return mApplicationActive != 0; }
    WindowSize GetClientSize() const { return {mClientWidth, mClientHeight}; }

    static LRESULT CALLBACK WindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    HWND mHandle = nullptr;
    std::unique_ptr<wchar_t[]> mCaption;
    std::unique_ptr<wchar_t[]> mClassName;
    HINSTANCE mInstance = nullptr;
    uint8_t mCreated = 0;
    int32_t mApplicationActive = 1;
    uint8_t mAltHeld = 0;
    int32_t mMinimized = 0;
    int32_t mDisabled = 0;
    uint8_t mShownActive = 1;
    uint8_t mWindowed = 1;
    int32_t mX = 0;
    int32_t mY = 0;
    int32_t mWindowWidth = 800;
    int32_t mWindowHeight = 600;
    int32_t mClientWidth = 800;
    int32_t mClientHeight = 600;
    uint8_t mCloseRequested = 0;
    uint8_t mDestroyed = 0;
    uint8_t mSwitchRequested = 0;
    uint8_t mForceSystemCursor = 1;
    uint8_t mCursorInside = 0;
    input::Point mCursorPosition;
    input::InputWin32* mInput;

private:
    void UpdateActivation();
    void ApplyCursorRule();
    void TestCursorInside();
    void ReadClientSize();
};

} // namespace app
