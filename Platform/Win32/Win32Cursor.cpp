// The pointer: system cursors, showing and hiding it, and its position.

#include "Platform/Win32/SdlGlue.h"
#include "Platform/Win32/Win32UserInternal.h"

#include <SDL.h>

#include <map>

namespace win32
{
namespace user
{
namespace
{

struct SystemCursor
{
    WORD id;
    SDL_SystemCursor sdl;
};

const SystemCursor kSystemCursors[] = {
    {32512, SDL_SYSTEM_CURSOR_ARROW}, {32513, SDL_SYSTEM_CURSOR_IBEAM},   {32514, SDL_SYSTEM_CURSOR_WAIT},
    {32515, SDL_SYSTEM_CURSOR_CROSSHAIR}, {32646, SDL_SYSTEM_CURSOR_SIZEALL}, {32648, SDL_SYSTEM_CURSOR_NO},
    {32649, SDL_SYSTEM_CURSOR_HAND},
};

struct CursorState
{
    // A cursor handle is the resource id of the system cursor it names.
    HCURSOR current = reinterpret_cast<HCURSOR>(static_cast<uintptr_t>(32512));
    std::map<WORD, SDL_Cursor*> made;
    HWND capture = nullptr;
    // What SDL shows now, so that the same cursor set again costs nothing.
    bool applied = false;
    HCURSOR shown = nullptr;
};

CursorState& Cursors()
{
    static auto* cursors = new CursorState();
    return *cursors;
}

const SystemCursor* FindSystemCursor(const void* name)
{
    if (!IS_INTRESOURCE(name))
        return nullptr;
    WORD id = static_cast<WORD>(reinterpret_cast<uintptr_t>(name));
    for (const SystemCursor& cursor : kSystemCursors)
        if (cursor.id == id)
            return &cursor;
    return nullptr;
}

HCURSOR LoadSystemCursor(HINSTANCE instance, const void* name)
{
    // Only the system's own cursors: there are no cursor resources.
    if (instance)
        return nullptr;
    const SystemCursor* cursor = FindSystemCursor(name);
    return cursor ? reinterpret_cast<HCURSOR>(static_cast<uintptr_t>(cursor->id)) : nullptr;
}

} // namespace

void ApplyCursor()
{
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return;
    CursorState& cursors = Cursors();
    if (cursors.applied && cursors.shown == cursors.current)
        return;
    cursors.applied = true;
    cursors.shown = cursors.current;
    const SystemCursor* cursor = cursors.current ? FindSystemCursor(cursors.current) : nullptr;
    if (!cursor)
    {
        SDL_ShowCursor(SDL_DISABLE);
        return;
    }
    SDL_Cursor*& made = cursors.made[cursor->id];
    if (!made)
        made = SDL_CreateSystemCursor(cursor->sdl);
    if (made)
        SDL_SetCursor(made);
    SDL_ShowCursor(SDL_ENABLE);
}

void ForgetCursors()
{
    // SDL_Quit frees the cursors it made.
    Cursors().made.clear();
    Cursors().capture = nullptr;
    Cursors().applied = false;
}

} // namespace user
} // namespace win32

using win32::user::FindWindowRecord;
using win32::user::WindowRecord;

HCURSOR WINAPI LoadCursorW(HINSTANCE instance, LPCWSTR name)
{
    return win32::user::LoadSystemCursor(instance, name);
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name)
{
    return win32::user::LoadSystemCursor(instance, name);
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCWSTR name)
{
    return win32::user::LoadSystemCursor(instance, name);
}

HCURSOR WINAPI SetCursor(HCURSOR cursor)
{
    win32::user::CursorState& cursors = win32::user::Cursors();
    HCURSOR previous = cursors.current;
    cursors.current = cursor;
    win32::user::ApplyCursor();
    return previous;
}

HCURSOR WINAPI GetCursor()
{
    return win32::user::Cursors().current;
}

BOOL WINAPI GetCursorPos(LPPOINT point)
{
    if (!point || !SDL_WasInit(SDL_INIT_VIDEO))
        return FALSE;
    int x = 0;
    int y = 0;
    SDL_GetGlobalMouseState(&x, &y);
    *point = {x, y};
    return TRUE;
}

BOOL WINAPI SetCursorPos(int x, int y)
{
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return FALSE;
    return SDL_WarpMouseGlobal(x, y) == 0 ? TRUE : FALSE;
}

BOOL WINAPI ClientToScreen(HWND hwnd, LPPOINT point)
{
    WindowRecord* record = FindWindowRecord(hwnd);
    if (!record || !point)
        return FALSE;
    point->x += record->x;
    point->y += record->y;
    return TRUE;
}

BOOL WINAPI ScreenToClient(HWND hwnd, LPPOINT point)
{
    WindowRecord* record = FindWindowRecord(hwnd);
    if (!record || !point)
        return FALSE;
    point->x -= record->x;
    point->y -= record->y;
    return TRUE;
}

HWND WINAPI WindowFromPoint(POINT point)
{
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return nullptr;
    // SDL knows which of our windows the pointer is in; another program's
    // window above ours takes the pointer away from it.
    WindowRecord* record = FindWindowRecord(win32::HwndFromSdlWindow(SDL_GetMouseFocus()));
    if (!record || !record->visible)
        return nullptr;
    bool inside = point.x >= record->x && point.x < record->x + record->width && point.y >= record->y &&
                  point.y < record->y + record->height;
    return inside ? record->hwnd : nullptr;
}

HWND WINAPI SetCapture(HWND hwnd)
{
    win32::user::CursorState& cursors = win32::user::Cursors();
    HWND previous = cursors.capture;
    if (FindWindowRecord(hwnd))
    {
        cursors.capture = hwnd;
        SDL_CaptureMouse(SDL_TRUE);
    }
    return previous;
}

BOOL WINAPI ReleaseCapture()
{
    win32::user::Cursors().capture = nullptr;
    if (SDL_WasInit(SDL_INIT_VIDEO))
        SDL_CaptureMouse(SDL_FALSE);
    return TRUE;
}
