#pragma once

// Input for window tests, pushed into SDL's event queue as the system would
// deliver it, so that it travels the whole road through the message queue.
// Keys are named as SDL names them ("A", "Return", "Left Alt", "Keypad 1").

#include "Platform/Win32/Win32Types.h"

namespace bwtest
{

// Modifier keys pressed here stay held for later keys until released here.
void PushKey(HWND window, const char* keyName, bool down, bool repeat = false);
void PushText(HWND window, const char* utf8);
void PushMouseMove(HWND window, int x, int y);
// Buttons as SDL counts them: 1 left, 2 middle, 3 right, 4 and 5 extra.
void PushMouseButton(HWND window, int button, bool down, int x, int y, int clicks = 1);
// steps > 0 rolls away from the user.
void PushMouseWheel(HWND window, int x, int y, int steps);

enum class WindowEvent
{
    FocusGained,
    FocusLost,
    Close,
};
void PushWindowEvent(HWND window, WindowEvent event);

// Forgets the modifiers held by earlier PushKey calls.
void ReleaseInjectedModifiers();

} // namespace bwtest
