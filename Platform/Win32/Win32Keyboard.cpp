// Virtual-key codes from SDL scancodes, the key state as the queue hands out
// key messages, and characters from SDL's text input.

#include "Platform/Win32/Win32UserInternal.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

namespace win32
{
namespace user
{
namespace
{

struct ScancodeRow
{
    SDL_Scancode scancode;
    UINT key;
    UINT scan;
    bool extended;
};

// Keys by position, as a US keyboard names them; what a key types comes from
// SDL's text input, so other layouts still type their own characters.
const ScancodeRow kScancodes[] = {
    {SDL_SCANCODE_RETURN, VK_RETURN, 0x1C, false},
    {SDL_SCANCODE_ESCAPE, VK_ESCAPE, 0x01, false},
    {SDL_SCANCODE_BACKSPACE, VK_BACK, 0x0E, false},
    {SDL_SCANCODE_TAB, VK_TAB, 0x0F, false},
    {SDL_SCANCODE_SPACE, VK_SPACE, 0x39, false},
    {SDL_SCANCODE_MINUS, VK_OEM_MINUS, 0x0C, false},
    {SDL_SCANCODE_EQUALS, VK_OEM_PLUS, 0x0D, false},
    {SDL_SCANCODE_LEFTBRACKET, VK_OEM_4, 0x1A, false},
    {SDL_SCANCODE_RIGHTBRACKET, VK_OEM_6, 0x1B, false},
    {SDL_SCANCODE_BACKSLASH, VK_OEM_5, 0x2B, false},
    {SDL_SCANCODE_NONUSHASH, VK_OEM_5, 0x2B, false},
    {SDL_SCANCODE_SEMICOLON, VK_OEM_1, 0x27, false},
    {SDL_SCANCODE_APOSTROPHE, VK_OEM_7, 0x28, false},
    {SDL_SCANCODE_GRAVE, VK_OEM_3, 0x29, false},
    {SDL_SCANCODE_COMMA, VK_OEM_COMMA, 0x33, false},
    {SDL_SCANCODE_PERIOD, VK_OEM_PERIOD, 0x34, false},
    {SDL_SCANCODE_SLASH, VK_OEM_2, 0x35, false},
    {SDL_SCANCODE_CAPSLOCK, VK_CAPITAL, 0x3A, false},
    {SDL_SCANCODE_PRINTSCREEN, VK_SNAPSHOT, 0x37, true},
    {SDL_SCANCODE_SCROLLLOCK, VK_SCROLL, 0x46, false},
    {SDL_SCANCODE_PAUSE, VK_PAUSE, 0x45, false},
    {SDL_SCANCODE_INSERT, VK_INSERT, 0x52, true},
    {SDL_SCANCODE_HOME, VK_HOME, 0x47, true},
    {SDL_SCANCODE_PAGEUP, VK_PRIOR, 0x49, true},
    {SDL_SCANCODE_DELETE, VK_DELETE, 0x53, true},
    {SDL_SCANCODE_END, VK_END, 0x4F, true},
    {SDL_SCANCODE_PAGEDOWN, VK_NEXT, 0x51, true},
    {SDL_SCANCODE_RIGHT, VK_RIGHT, 0x4D, true},
    {SDL_SCANCODE_LEFT, VK_LEFT, 0x4B, true},
    {SDL_SCANCODE_DOWN, VK_DOWN, 0x50, true},
    {SDL_SCANCODE_UP, VK_UP, 0x48, true},
    {SDL_SCANCODE_NUMLOCKCLEAR, VK_NUMLOCK, 0x45, true},
    {SDL_SCANCODE_KP_DIVIDE, VK_DIVIDE, 0x35, true},
    {SDL_SCANCODE_KP_MULTIPLY, VK_MULTIPLY, 0x37, false},
    {SDL_SCANCODE_KP_MINUS, VK_SUBTRACT, 0x4A, false},
    {SDL_SCANCODE_KP_PLUS, VK_ADD, 0x4E, false},
    {SDL_SCANCODE_KP_ENTER, VK_RETURN, 0x1C, true},
    {SDL_SCANCODE_KP_1, VK_NUMPAD1, 0x4F, false},
    {SDL_SCANCODE_KP_2, VK_NUMPAD2, 0x50, false},
    {SDL_SCANCODE_KP_3, VK_NUMPAD3, 0x51, false},
    {SDL_SCANCODE_KP_4, VK_NUMPAD4, 0x4B, false},
    {SDL_SCANCODE_KP_5, VK_NUMPAD5, 0x4C, false},
    {SDL_SCANCODE_KP_6, VK_NUMPAD6, 0x4D, false},
    {SDL_SCANCODE_KP_7, VK_NUMPAD7, 0x47, false},
    {SDL_SCANCODE_KP_8, VK_NUMPAD8, 0x48, false},
    {SDL_SCANCODE_KP_9, VK_NUMPAD9, 0x49, false},
    {SDL_SCANCODE_KP_0, VK_NUMPAD0, 0x52, false},
    {SDL_SCANCODE_KP_PERIOD, VK_DECIMAL, 0x53, false},
    {SDL_SCANCODE_NONUSBACKSLASH, VK_OEM_102, 0x56, false},
    {SDL_SCANCODE_APPLICATION, VK_APPS, 0x5D, true},
    {SDL_SCANCODE_HELP, VK_HELP, 0x63, false},
    {SDL_SCANCODE_CLEAR, VK_CLEAR, 0x4C, false},
    {SDL_SCANCODE_LCTRL, VK_LCONTROL, 0x1D, false},
    {SDL_SCANCODE_LSHIFT, VK_LSHIFT, 0x2A, false},
    {SDL_SCANCODE_LALT, VK_LMENU, 0x38, false},
    {SDL_SCANCODE_LGUI, VK_LWIN, 0x5B, true},
    {SDL_SCANCODE_RCTRL, VK_RCONTROL, 0x1D, true},
    {SDL_SCANCODE_RSHIFT, VK_RSHIFT, 0x36, false},
    {SDL_SCANCODE_RALT, VK_RMENU, 0x38, true},
    {SDL_SCANCODE_RGUI, VK_RWIN, 0x5C, true},
};

// Set-1 scan codes of the letters A to Z, in alphabetical order.
const UINT kLetterScans[26] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17, 0x24, 0x25, 0x26, 0x32,
                               0x31, 0x18, 0x19, 0x10, 0x13, 0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
const UINT kFunctionScans[24] = {0x3B, 0x3C, 0x3D, 0x3E, 0x3F, 0x40, 0x41, 0x42, 0x43, 0x44, 0x57, 0x58,
                                 0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6A, 0x6B, 0x6C, 0x6D, 0x6E, 0x76};

// Messages name a modifier by its generic code; the key state has both.
UINT GenericKey(UINT specific)
{
    switch (specific)
    {
    case VK_LSHIFT:
    case VK_RSHIFT:
        return VK_SHIFT;
    case VK_LCONTROL:
    case VK_RCONTROL:
        return VK_CONTROL;
    case VK_LMENU:
    case VK_RMENU:
        return VK_MENU;
    default:
        return specific;
    }
}

struct KeyboardState
{
    BYTE keys[256] = {};
    bool locksRead = false;
    UINT lastKey = 0;
    std::wstring lastText;
};

KeyboardState& Keyboard()
{
    static auto* keyboard = new KeyboardState();
    return *keyboard;
}

// Lock keys start as the system has them.
void ReadLocks()
{
    KeyboardState& keyboard = Keyboard();
    if (keyboard.locksRead || !SDL_WasInit(SDL_INIT_VIDEO))
        return;
    keyboard.locksRead = true;
    SDL_Keymod mod = SDL_GetModState();
    keyboard.keys[VK_CAPITAL] |= (mod & KMOD_CAPS) ? 1 : 0;
    keyboard.keys[VK_NUMLOCK] |= (mod & KMOD_NUM) ? 1 : 0;
    keyboard.keys[VK_SCROLL] |= (mod & KMOD_SCROLL) ? 1 : 0;
}

std::wstring ControlText(UINT key, const BYTE* keyState)
{
    switch (key)
    {
    case VK_BACK:
        return std::wstring(1, L'\b');
    case VK_TAB:
        return std::wstring(1, L'\t');
    case VK_RETURN:
        return std::wstring(1, L'\r');
    case VK_ESCAPE:
        return std::wstring(1, wchar_t(0x1B));
    default:
        break;
    }
    bool control = keyState && (keyState[VK_CONTROL] & 0x80) && !(keyState[VK_MENU] & 0x80);
    if (control && key >= 'A' && key <= 'Z')
        return std::wstring(1, static_cast<wchar_t>(key - 'A' + 1));
    return std::wstring();
}

} // namespace

bool KeyCodeFromScancode(int scancode, KeyCode& code)
{
    code = KeyCode();
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z)
    {
        code.specificKey = 'A' + (scancode - SDL_SCANCODE_A);
        code.scanCode = kLetterScans[scancode - SDL_SCANCODE_A];
    }
    else if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_0)
    {
        // SDL orders 1..9 then 0; the scan codes run the same way.
        int index = scancode - SDL_SCANCODE_1;
        code.specificKey = index == 9 ? '0' : '1' + index;
        code.scanCode = 0x02 + index;
    }
    else if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12)
    {
        code.specificKey = VK_F1 + (scancode - SDL_SCANCODE_F1);
        code.scanCode = kFunctionScans[scancode - SDL_SCANCODE_F1];
    }
    else if (scancode >= SDL_SCANCODE_F13 && scancode <= SDL_SCANCODE_F24)
    {
        code.specificKey = VK_F13 + (scancode - SDL_SCANCODE_F13);
        code.scanCode = kFunctionScans[12 + scancode - SDL_SCANCODE_F13];
    }
    else
    {
        const ScancodeRow* row = std::find_if(std::begin(kScancodes), std::end(kScancodes),
                                              [scancode](const ScancodeRow& r) { return r.scancode == scancode; });
        if (row == std::end(kScancodes))
            return false;
        code.specificKey = row->key;
        code.scanCode = row->scan;
        code.extended = row->extended;
    }
    code.messageKey = GenericKey(code.specificKey);
    return true;
}

void NoteKeyMessage(const MSG& msg, UINT specificKey, const std::wstring& text)
{
    KeyboardState& keyboard = Keyboard();
    ReadLocks();
    bool down = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
    UINT key = static_cast<UINT>(msg.wParam) & 0xFF;
    UINT specific = (specificKey ? specificKey : key) & 0xFF;
    if (down)
    {
        keyboard.lastKey = key;
        keyboard.lastText = text;
    }
    if (key == VK_PACKET)
        return; // typed text, not a key of the keyboard
    BYTE* keys = keyboard.keys;
    if (down)
    {
        bool lock = specific == VK_CAPITAL || specific == VK_NUMLOCK || specific == VK_SCROLL;
        if (lock && !(keys[specific] & 0x80))
            keys[specific] ^= 1;
        keys[specific] |= 0x80;
        keys[key] |= 0x80;
        return;
    }
    keys[specific] &= static_cast<BYTE>(~0x80);
    if (key == VK_SHIFT)
        keys[key] = (keys[VK_LSHIFT] | keys[VK_RSHIFT]) & 0x80;
    else if (key == VK_CONTROL)
        keys[key] = (keys[VK_LCONTROL] | keys[VK_RCONTROL]) & 0x80;
    else if (key == VK_MENU)
        keys[key] = (keys[VK_LMENU] | keys[VK_RMENU]) & 0x80;
    else
        keys[key] &= static_cast<BYTE>(~0x80);
}

void NoteMouseMessage(const MSG& msg)
{
    BYTE* keys = Keyboard().keys;
    UINT key = 0;
    bool down = true;
    switch (msg.message)
    {
    case WM_LBUTTONUP:
        down = false;
        [[fallthrough]];
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        key = VK_LBUTTON;
        break;
    case WM_RBUTTONUP:
        down = false;
        [[fallthrough]];
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        key = VK_RBUTTON;
        break;
    case WM_MBUTTONUP:
        down = false;
        [[fallthrough]];
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        key = VK_MBUTTON;
        break;
    case WM_XBUTTONUP:
        down = false;
        [[fallthrough]];
    case WM_XBUTTONDOWN:
    case WM_XBUTTONDBLCLK:
        key = HIWORD(msg.wParam) == XBUTTON2 ? VK_XBUTTON2 : VK_XBUTTON1;
        break;
    default:
        return;
    }
    if (down)
        keys[key] |= 0x80;
    else
        keys[key] &= static_cast<BYTE>(~0x80);
}

void ForgetKeyboard()
{
    Keyboard() = KeyboardState();
}

} // namespace user
} // namespace win32

BOOL WINAPI GetKeyboardState(PBYTE state)
{
    if (!state)
        return FALSE;
    win32::user::ReadLocks();
    std::memcpy(state, win32::user::Keyboard().keys, 256);
    return TRUE;
}

SHORT WINAPI GetKeyState(int virtualKey)
{
    if (virtualKey < 0 || virtualKey > 255)
        return 0;
    win32::user::ReadLocks();
    BYTE value = win32::user::Keyboard().keys[virtualKey];
    return static_cast<SHORT>(((value & 0x80) ? 0x8000 : 0) | (value & 1));
}

int WINAPI ToUnicode(UINT virtualKey, UINT scanCode, const BYTE* keyState, LPWSTR buffer, int bufferSize, UINT)
{
    if (!buffer || bufferSize <= 0 || (scanCode & 0x8000))
        return 0;
    const win32::user::KeyboardState& keyboard = win32::user::Keyboard();
    std::wstring text;
    if (virtualKey == keyboard.lastKey && !keyboard.lastText.empty())
        text = keyboard.lastText;
    else
        text = win32::user::ControlText(virtualKey, keyState);
    if (text.empty())
        return 0;
    int count = static_cast<int>(std::min<size_t>(text.size(), static_cast<size_t>(bufferSize)));
    std::copy(text.begin(), text.begin() + count, buffer);
    if (count < bufferSize)
        buffer[count] = 0;
    return static_cast<int>(text.size());
}
