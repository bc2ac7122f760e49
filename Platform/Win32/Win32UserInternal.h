#pragma once

// Shared state of the user-side layer, between its source files. Not for use
// outside Platform/Win32.

#include "Platform/Win32/Win32User.h"

#include <cstdint>
#include <string>
#include <vector>

union SDL_Event;
struct SDL_Window;
struct SDL_SysWMmsg;

namespace win32
{
namespace user
{

struct WindowRecord
{
    HWND hwnd = nullptr;
    SDL_Window* sdl = nullptr;
    std::wstring className;
    std::wstring caption;
    WNDPROC proc = nullptr;
    UINT classStyle = 0;
    HINSTANCE instance = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    LONG_PTR userData = 0;
    // Client area in screen coordinates; the outer rectangle is the same.
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    RECT normalRect = {0, 0, 0, 0};
    bool visible = false;
    bool minimized = false;
    bool maximized = false;
    bool fullscreen = false;
    // The X window behind the SDL window; 0 with another video driver.
    unsigned long xWindow = 0;
};

// Null when the handle is not a live window of ours.
WindowRecord* FindWindowRecord(HWND hwnd);
WindowRecord* FindWindowRecordBySdlId(uint32_t windowId);
std::vector<HWND> AllWindows();
// The window that keyboard input goes to when SDL names none: the focused one,
// else the first visible one.
HWND KeyboardTargetWindow();

// Message queue internals (Win32Messages.cpp).
void ForgetWindowMessages(HWND hwnd);
void PostWindowMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
bool ApplicationActive();

// Keyboard (Win32Keyboard.cpp).
struct KeyCode
{
    UINT messageKey = 0;  // what WM_KEYDOWN carries: VK_SHIFT, not VK_LSHIFT
    UINT specificKey = 0; // the left/right code for the key state
    UINT scanCode = 0;    // set-1 scan code
    bool extended = false;
};
// False for SDL scancodes that have no virtual-key code.
bool KeyCodeFromScancode(int scancode, KeyCode& code);
// Called as a key or mouse message leaves the queue.
void NoteKeyMessage(const MSG& msg, UINT specificKey, const std::wstring& text);
void NoteMouseMessage(const MSG& msg);

// Single instance across processes (Win32Instance.cpp).
void ClaimInstance(HWND hwnd, const std::wstring& className, const std::wstring& caption);
void ReleaseInstance(HWND hwnd);
HWND FindOtherInstance(const std::wstring& className, const std::wstring& caption);
bool IsOtherInstance(HWND hwnd);
bool AskOtherInstanceToRestore(HWND hwnd);
void ServeInstanceRequests();

// The X server (Win32X11.cpp): with SDL's x11 driver, a window that another
// client destroys is destroyed here too, and X errors about our windows do
// not end the process.
void WatchX11Windows();
void NoteX11Window(WindowRecord& record);
void ForgetX11Window(const WindowRecord& record);
void NoteX11Event(const SDL_SysWMmsg* message);
void DestroyWindowsGoneFromX11();
void ForgetX11Windows();

// Cursor (Win32Cursor.cpp): shows or hides the pointer as SetCursor last
// asked, once SDL runs.
void ApplyCursor();

// SDL is quitting: every window, message, timer and cursor goes with it.
void ForgetAllWindows();
void ForgetAllMessages();
void ForgetCursors();
void ForgetKeyboard();
void ForgetInstances();

// Text.
std::string ToUtf8(const wchar_t* text);
std::wstring FromUtf8(const char* text);

} // namespace user
} // namespace win32
