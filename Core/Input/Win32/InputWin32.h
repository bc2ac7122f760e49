#pragma once

// Mouse and keyboard messages of the game window turned into engine events:
// positions through the converter, virtual keys into engine key codes, and
// key and button states kept between frames.

#include "Core/Base/BWResult.h"
#include "Core/Input/CoordConverter.h"
#include "Core/Input/InputListener.h"

#include <cstdint>

namespace input
{

class InputWin32
{
public:
    static constexpr uint32_t kButtonCount = 4;
    static constexpr uint32_t kKeyCount = 256;
    static constexpr uint32_t kKeyCodeCount = 324;

    // Button states.
    static constexpr uint32_t kButtonUp = 0;
    static constexpr uint32_t kButtonPressed = 1;
    static constexpr uint32_t kButtonDoubleClicked = 4;

    // Key states.
    static constexpr uint32_t kKeyUp = 0;
    static constexpr uint32_t kKeyPressed = 1;
    static constexpr uint32_t kKeyHeld = 2;
    static constexpr uint32_t kKeyReleased = 3;

    // Modifier mask bits.
    static constexpr uint32_t kLeftShift = 0x1;
    static constexpr uint32_t kRightShift = 0x2;
    static constexpr uint32_t kLeftControl = 0x40;
    static constexpr uint32_t kRightControl = 0x80;
    static constexpr uint32_t kLeftAlt = 0x100;
    static constexpr uint32_t kRightAlt = 0x200;

    InputWin32(InputListener* listener, CoordConverter* converter);

    void InitKeyTable();

    // Window points in client coordinates; buttons 1 (left) and 3 (right).
    void OnMouseDown(const Point& windowPoint, uint32_t button);
    void OnMouseUp(const Point& windowPoint, uint32_t button);
    void OnMouseDoubleClick(const Point& windowPoint, uint32_t button);
    void OnMouseMove(const Point& windowPoint);
    void OnMouseWheel(const Point& windowPoint, int delta);
    void OnMouseLeave(const Point& windowPoint);
    void OnKeyDown(uint32_t virtualKey, uint32_t keyData);
    void OnKeyUp(uint32_t virtualKey, uint32_t keyData);

    // Polls the keyboard: once per frame and at every key-down.
    BWResultEnum Update();

    const Point& GetPosition() const { return mPosition; }
    uint32_t GetButtonState(uint32_t button) const { return button < kButtonCount ? mButtons[button] : kButtonUp; }
    uint32_t GetKeyState(uint32_t virtualKey) const { return virtualKey < kKeyCount ? mKeys[virtualKey] : kKeyUp; }
    uint32_t GetModifiers() const { return mModifiers; }
    // Engine key code to virtual key, and back; 0 outside the tables.
    uint32_t GetVirtualKey(uint32_t keyCode) const { return keyCode < kKeyCodeCount ? mKeyCodes[keyCode] : 0; }
    uint32_t GetKeyCode(uint32_t virtualKey) const { return virtualKey < kKeyCount ? mReverse[virtualKey] : 0; }

private:
    // Converts and stores the position; false for a button past the states.
    bool TakeButtonEvent(const Point& windowPoint, uint32_t button, uint32_t state);
    void StorePosition(const Point& windowPoint);

    InputListener* mListener;
    CoordConverter* mConverter;
    Point mPosition;
    uint32_t mButtons[kButtonCount];
    uint32_t mKeys[kKeyCount];
    uint8_t mKeyboard[kKeyCount];
    uint32_t mKeyCodes[kKeyCodeCount];
    uint32_t mReverse[kKeyCodeCount];
    uint32_t mModifiers;
};

} // namespace input
