// MessageBoxW over SDL's message box, with a hook that tests use instead.

#include "Platform/Win32/SdlGlue.h"
#include "Platform/Win32/Win32UserInternal.h"

#include <SDL.h>

namespace win32
{
namespace
{

MessageBoxHook& Hook()
{
    static auto* hook = new MessageBoxHook();
    return *hook;
}

Uint32 IconFlags(UINT type)
{
    switch (type & 0xF0)
    {
    case MB_ICONERROR:
        return SDL_MESSAGEBOX_ERROR;
    case MB_ICONWARNING:
        return SDL_MESSAGEBOX_WARNING;
    case MB_ICONINFORMATION:
    case MB_ICONQUESTION:
        return SDL_MESSAGEBOX_INFORMATION;
    default:
        return 0;
    }
}

} // namespace

void SetMessageBoxHook(MessageBoxHook hook)
{
    Hook() = std::move(hook);
}

} // namespace win32

int WINAPI MessageBoxW(HWND hwnd, LPCWSTR text, LPCWSTR caption, UINT type)
{
    if (win32::Hook())
        return win32::Hook()(hwnd, text ? text : L"", caption ? caption : L"", type);

    const Uint32 enter = SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
    const Uint32 escape = SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
    SDL_MessageBoxButtonData ok[] = {{enter | escape, IDOK, "OK"}};
    SDL_MessageBoxButtonData okCancel[] = {{enter, IDOK, "OK"}, {escape, IDCANCEL, "Cancel"}};
    SDL_MessageBoxButtonData yesNo[] = {{enter, IDYES, "Yes"}, {escape, IDNO, "No"}};
    SDL_MessageBoxButtonData yesNoCancel[] = {{enter, IDYES, "Yes"}, {0, IDNO, "No"}, {escape, IDCANCEL, "Cancel"}};
    const SDL_MessageBoxButtonData* buttons = ok;
    int count = 1;
    int closed = IDOK;
    switch (type & 0xF)
    {
    case MB_OKCANCEL:
        buttons = okCancel;
        count = 2;
        closed = IDCANCEL;
        break;
    case MB_YESNO:
        buttons = yesNo;
        count = 2;
        closed = IDNO;
        break;
    case MB_YESNOCANCEL:
        buttons = yesNoCancel;
        count = 3;
        closed = IDCANCEL;
        break;
    default:
        break;
    }

    std::string title = win32::user::ToUtf8(caption ? caption : L"");
    std::string message = win32::user::ToUtf8(text ? text : L"");
    SDL_MessageBoxData data = {win32::IconFlags(type), win32::SdlWindowFromHwnd(hwnd), title.c_str(),
                               message.c_str(), count, buttons, nullptr};
    int pressed = -1;
    if (SDL_ShowMessageBox(&data, &pressed) != 0)
        return 0;
    return pressed < 0 ? closed : pressed;
}
