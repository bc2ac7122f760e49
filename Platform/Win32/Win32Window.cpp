// Window classes and windows over SDL windows.

#include "Platform/Win32/SdlGlue.h"
#include "Platform/Win32/Win32Kernel.h"
#include "Platform/Win32/Win32UserInternal.h"

#include <SDL.h>

#include <algorithm>
#include <map>
#include <memory>

namespace win32
{
namespace user
{
namespace
{

struct WindowClass
{
    UINT style = 0;
    WNDPROC proc = nullptr;
    HINSTANCE instance = nullptr;
};

std::map<std::wstring, WindowClass>& Classes()
{
    static auto* classes = new std::map<std::wstring, WindowClass>();
    return *classes;
}

// Heap objects behind static pointers: they must outlive every singleton,
// whose destructors may still destroy windows at exit.
std::map<HWND, std::unique_ptr<WindowRecord>>& Records()
{
    static auto* records = new std::map<HWND, std::unique_ptr<WindowRecord>>();
    return *records;
}

// A popup window that covers a display exactly is that display's full
// screen; D3D-style full screen sizes the window to the monitor.
bool CoversDisplay(DWORD style, int x, int y, int width, int height)
{
    if (style & (WS_CAPTION | WS_CHILD))
        return false;
    int count = SDL_GetNumVideoDisplays();
    for (int i = 0; i < count; ++i)
    {
        SDL_Rect bounds;
        if (SDL_GetDisplayBounds(i, &bounds) == 0 && bounds.x == x && bounds.y == y && bounds.w == width &&
            bounds.h == height)
            return true;
    }
    return false;
}

void SetVisible(WindowRecord& record, bool visible)
{
    if (visible)
        SDL_ShowWindow(record.sdl);
    else
        SDL_HideWindow(record.sdl);
    record.visible = visible;
}

} // namespace

WindowRecord* FindWindowRecord(HWND hwnd)
{
    if (!hwnd)
        return nullptr;
    auto it = Records().find(hwnd);
    return it == Records().end() ? nullptr : it->second.get();
}

WindowRecord* FindWindowRecordBySdlId(uint32_t windowId)
{
    SDL_Window* window = windowId ? SDL_GetWindowFromID(windowId) : nullptr;
    return window ? FindWindowRecord(HwndFromSdlWindow(window)) : nullptr;
}

std::vector<HWND> AllWindows()
{
    std::vector<HWND> all;
    for (const auto& entry : Records())
        all.push_back(entry.first);
    return all;
}

HWND KeyboardTargetWindow()
{
    if (SDL_WasInit(SDL_INIT_VIDEO))
        if (WindowRecord* focused = FindWindowRecord(HwndFromSdlWindow(SDL_GetKeyboardFocus())))
            return focused->hwnd;
    for (const auto& entry : Records())
        if (entry.second->visible)
            return entry.first;
    return Records().empty() ? nullptr : Records().begin()->first;
}

void ForgetAllWindows()
{
    // SDL_Quit has destroyed the SDL windows themselves.
    for (const auto& entry : Records())
        ReleaseInstance(entry.first);
    Records().clear();
    ForgetX11Windows();
}

} // namespace user
} // namespace win32

using win32::user::FindWindowRecord;
using win32::user::WindowRecord;

ATOM WINAPI RegisterClassExW(const WNDCLASSEXW* wc)
{
    if (!wc || wc->cbSize != sizeof(WNDCLASSEXW) || !wc->lpszClassName || !wc->lpfnWndProc)
        return 0;
    auto& classes = win32::user::Classes();
    if (classes.count(wc->lpszClassName))
        return 0;
    classes[wc->lpszClassName] = {wc->style, wc->lpfnWndProc, wc->hInstance};
    return static_cast<ATOM>(0xC000 + classes.size());
}

BOOL WINAPI UnregisterClassW(LPCWSTR className, HINSTANCE)
{
    return className && win32::user::Classes().erase(className) ? TRUE : FALSE;
}

HWND WINAPI CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y,
                            int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param)
{
    if (!className)
        return nullptr;
    auto cls = win32::user::Classes().find(className);
    if (cls == win32::user::Classes().end())
        return nullptr;
    if (!win32::EnsureSdl(SDL_INIT_VIDEO))
        return nullptr;
    // A click that activates a window is still a click, as on Windows.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");

    if (x == CW_USEDEFAULT)
        x = y = SDL_WINDOWPOS_UNDEFINED;
    if (width == CW_USEDEFAULT)
    {
        width = 640;
        height = 480;
    }
    width = std::max(width, 1);
    height = std::max(height, 1);

    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (!(style & WS_CAPTION))
        flags |= SDL_WINDOW_BORDERLESS;
    if (style & WS_THICKFRAME)
        flags |= SDL_WINDOW_RESIZABLE;
    bool fullscreen = win32::user::CoversDisplay(style, x, y, width, height);
    if (fullscreen)
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;

    std::wstring caption = windowName ? windowName : L"";
    SDL_Window* sdl = win32::CreateGlWindow(win32::user::ToUtf8(caption.c_str()).c_str(), x, y, width, height, flags);
    if (!sdl)
        return nullptr;
    HWND hwnd = win32::AttachSdlWindow(sdl);

    auto record = std::make_unique<WindowRecord>();
    record->hwnd = hwnd;
    record->sdl = sdl;
    record->className = className;
    record->caption = caption;
    record->proc = cls->second.proc;
    record->classStyle = cls->second.style;
    record->instance = instance;
    record->style = style & ~WS_VISIBLE;
    record->exStyle = exStyle;
    SDL_GetWindowPosition(sdl, &record->x, &record->y);
    record->width = width;
    record->height = height;
    record->normalRect = {record->x, record->y, record->x + width, record->y + height};
    record->fullscreen = fullscreen;
    win32::user::NoteX11Window(*record);
    win32::user::Records()[hwnd] = std::move(record);
    if (!parent)
        win32::user::ClaimInstance(hwnd, className, caption);
    win32::user::ApplyCursor();

    CREATESTRUCTW create = {param, instance, menu, parent, height, width, y, x, static_cast<LONG>(style),
                            windowName, className, exStyle};
    if (SendMessageW(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1)
    {
        DestroyWindow(hwnd);
        return nullptr;
    }
    if ((style & WS_VISIBLE) && IsWindow(hwnd))
        ShowWindow(hwnd, SW_SHOW);
    return IsWindow(hwnd) ? hwnd : nullptr;
}

BOOL WINAPI DestroyWindow(HWND hwnd)
{
    WindowRecord* record = FindWindowRecord(hwnd);
    if (!record || record->proc == nullptr)
    {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    // WM_DESTROY may try to destroy the window again: the second call fails.
    WNDPROC proc = record->proc;
    record->proc = nullptr;
    proc(hwnd, WM_DESTROY, 0, 0);

    record = FindWindowRecord(hwnd);
    if (!record)
        return TRUE;
    SDL_Window* sdl = record->sdl;
    win32::user::ForgetX11Window(*record);
    win32::user::ReleaseInstance(hwnd);
    win32::user::ForgetWindowMessages(hwnd);
    win32::user::Records().erase(hwnd);
    win32::DetachSdlWindow(hwnd);
    SDL_DestroyWindow(sdl);
    return TRUE;
}

BOOL WINAPI IsWindow(HWND hwnd)
{
    return FindWindowRecord(hwnd) || win32::user::IsOtherInstance(hwnd) ? TRUE : FALSE;
}

BOOL WINAPI IsWindowVisible(HWND hwnd)
{
    WindowRecord* record = FindWindowRecord(hwnd);
    return record && record->visible ? TRUE : FALSE;
}

BOOL WINAPI IsIconic(HWND hwnd)
{
    WindowRecord* record = FindWindowRecord(hwnd);
    return record && record->minimized ? TRUE : FALSE;
}

LONG_PTR WINAPI GetWindowLongPtrW(HWND hwnd, int index)
{
    WindowRecord* record = FindWindowRecord(hwnd);
    if (!record)
    {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    switch (index)
    {
    case GWLP_USERDATA:
        return record->userData;
    case GWL_STYLE:
        return static_cast<LONG_PTR>(record->style | (record->visible ? WS_VISIBLE : 0) |
                                     (record->minimized ? WS_MINIMIZE : 0));
    case GWL_EXSTYLE:
        return static_cast<LONG_PTR>(record->exStyle);
    case GWLP_WNDPROC:
        return reinterpret_cast<LONG_PTR>(record->proc);
    case GWLP_HINSTANCE:
        return reinterpret_cast<LONG_PTR>(record->instance);
    default:
        return 0;
    }
}

LONG_PTR WINAPI SetWindowLongPtrW(HWND hwnd, int index, LONG_PTR value)
{
    WindowRecord* record = FindWindowRecord(hwnd);
    if (!record)
    {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    LONG_PTR previous = GetWindowLongPtrW(hwnd, index);
    switch (index)
    {
    case GWLP_USERDATA:
        record->userData = value;
        break;
    case GWL_STYLE:
        // The frame follows at the next SetWindowPos, as SWP_FRAMECHANGED asks.
        record->style = static_cast<DWORD>(value) & ~(WS_VISIBLE | WS_MINIMIZE);
        break;
    case GWL_EXSTYLE:
        record->exStyle = static_cast<DWORD>(value);
        break;
    case GWLP_WNDPROC:
        if (record->proc)
            record->proc = reinterpret_cast<WNDPROC>(value);
        break;
    default:
        return 0;
    }
    return previous;
}

LONG WINAPI GetWindowLongW(HWND hwnd, int index)
{
    return static_cast<LONG>(GetWindowLongPtrW(hwnd, index));
}

LONG WINAPI SetWindowLongW(HWND hwnd, int index, LONG value)
{
    // Only 32-bit values fit; a pointer needs the Ptr form.
    if (index == GWLP_WNDPROC)
        return 0;
    LONG_PTR wide = value;
    if (index == GWL_STYLE || index == GWL_EXSTYLE)
        wide = static_cast<LONG_PTR>(static_cast<DWORD>(value));
    return static_cast<LONG>(SetWindowLongPtrW(hwnd, index, wide));
}

BOOL WINAPI ShowWindow(HWND hwnd, int command)
{
    if (win32::user::IsOtherInstance(hwnd))
    {
        if (command == SW_RESTORE || command == SW_SHOW || command == SW_SHOWNORMAL)
            win32::user::AskOtherInstanceToRestore(hwnd);
        return TRUE;
    }
    WindowRecord* record = FindWindowRecord(hwnd);
    if (!record)
        return FALSE;
    BOOL wasVisible = record->visible ? TRUE : FALSE;
    switch (command)
    {
    case SW_HIDE:
        win32::user::SetVisible(*record, false);
        break;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE:
        win32::user::SetVisible(*record, true);
        SDL_MinimizeWindow(record->sdl);
        if (!record->minimized)
        {
            record->minimized = true;
            SendMessageW(hwnd, WM_SIZE, SIZE_MINIMIZED, 0);
        }
        break;
    case SW_MAXIMIZE:
        win32::user::SetVisible(*record, true);
        SDL_MaximizeWindow(record->sdl);
        break;
    case SW_RESTORE:
    case SW_SHOWNORMAL:
        win32::user::SetVisible(*record, true);
        if (record->minimized || record->maximized)
        {
            SDL_RestoreWindow(record->sdl);
            bool wasMinimized = record->minimized;
            record->minimized = record->maximized = false;
            if (wasMinimized)
                SendMessageW(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(record->width, record->height));
        }
        break;
    default:
        win32::user::SetVisible(*record, true);
        break;
    }
    return wasVisible;
}

BOOL WINAPI UpdateWindow(HWND hwnd)
{
    return FindWindowRecord(hwnd) ? TRUE : FALSE;
}

BOOL WINAPI SetWindowPos(HWND hwnd, HWND, int x, int y, int cx, int cy, UINT flags)
{
    WindowRecord* record = FindWindowRecord(hwnd);
    if (!record)
        return FALSE;
    if (flags & SWP_NOMOVE)
    {
        x = record->x;
        y = record->y;
    }
    if (flags & SWP_NOSIZE)
    {
        cx = record->width;
        cy = record->height;
    }
    cx = std::max(cx, 1);
    cy = std::max(cy, 1);

    if (flags & SWP_SHOWWINDOW)
        win32::user::SetVisible(*record, true);
    // The device may have made the window full screen itself (a display
    // mode of its own): SDL's flags say what the window is now.
    bool fullscreenNow = (SDL_GetWindowFlags(record->sdl) & SDL_WINDOW_FULLSCREEN) != 0;
    bool fullscreen = win32::user::CoversDisplay(record->style, x, y, cx, cy);
    if (fullscreenNow && !fullscreen)
        SDL_SetWindowFullscreen(record->sdl, 0);
    SDL_SetWindowBordered(record->sdl, (record->style & WS_CAPTION) ? SDL_TRUE : SDL_FALSE);
    // A borderless window over the whole display is full screen by itself,
    // as on Windows, also with no window manager to honour the request.
    if (!fullscreenNow || !fullscreen)
    {
        SDL_SetWindowSize(record->sdl, cx, cy);
        SDL_SetWindowPosition(record->sdl, x, y);
    }
    if (fullscreen && !fullscreenNow)
        SDL_SetWindowFullscreen(record->sdl, SDL_WINDOW_FULLSCREEN_DESKTOP);
    record->fullscreen = fullscreen;
    if (!fullscreen)
        record->normalRect = {x, y, x + cx, y + cy};
    if (flags & SWP_HIDEWINDOW)
        win32::user::SetVisible(*record, false);

    bool moved = x != record->x || y != record->y;
    bool sized = cx != record->width || cy != record->height;
    record->x = x;
    record->y = y;
    record->width = cx;
    record->height = cy;
    if (moved)
        SendMessageW(hwnd, WM_MOVE, 0, MAKELPARAM(x, y));
    if (sized && IsWindow(hwnd))
        SendMessageW(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(cx, cy));
    return TRUE;
}

BOOL WINAPI SetForegroundWindow(HWND hwnd)
{
    WindowRecord* record = FindWindowRecord(hwnd);
    if (!record)
        return FALSE;
    SDL_RaiseWindow(record->sdl);
    return TRUE;
}

BOOL WINAPI AdjustWindowRect(LPRECT rect, DWORD style, BOOL menu)
{
    return AdjustWindowRectEx(rect, style, menu, 0);
}

BOOL WINAPI AdjustWindowRectEx(LPRECT rect, DWORD, BOOL, DWORD)
{
    // The window manager draws the frame outside the client area, so the
    // outer rectangle we place is the client rectangle.
    return rect ? TRUE : FALSE;
}

BOOL WINAPI GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT* placement)
{
    WindowRecord* record = FindWindowRecord(hwnd);
    if (!record || !placement || placement->length != sizeof(WINDOWPLACEMENT))
        return FALSE;
    placement->flags = 0;
    placement->showCmd = record->minimized ? SW_SHOWMINIMIZED : record->maximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    placement->ptMinPosition = {-1, -1};
    placement->ptMaxPosition = {-1, -1};
    placement->rcNormalPosition = record->normalRect;
    return TRUE;
}

BOOL WINAPI GetClientRect(HWND hwnd, LPRECT rect)
{
    WindowRecord* record = FindWindowRecord(hwnd);
    if (!record || !rect)
        return FALSE;
    *rect = {0, 0, record->width, record->height};
    return TRUE;
}

BOOL WINAPI GetWindowRect(HWND hwnd, LPRECT rect)
{
    WindowRecord* record = FindWindowRecord(hwnd);
    if (!record || !rect)
        return FALSE;
    *rect = {record->x, record->y, record->x + record->width, record->y + record->height};
    return TRUE;
}

HDC WINAPI BeginPaint(HWND hwnd, LPPAINTSTRUCT paint)
{
    WindowRecord* record = FindWindowRecord(hwnd);
    if (!record || !paint)
        return nullptr;
    *paint = PAINTSTRUCT();
    // The OpenGL context does the drawing; the device context is a token.
    paint->hdc = reinterpret_cast<HDC>(hwnd);
    paint->rcPaint = {0, 0, record->width, record->height};
    return paint->hdc;
}

BOOL WINAPI EndPaint(HWND hwnd, const PAINTSTRUCT* paint)
{
    return FindWindowRecord(hwnd) && paint ? TRUE : FALSE;
}

LRESULT WINAPI DefWindowProcW(HWND hwnd, UINT message, WPARAM wParam, LPARAM)
{
    switch (message)
    {
    case WM_NCCREATE:
    case WM_QUERYOPEN:
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_SYSKEYDOWN:
        if (wParam == VK_F4)
            SendMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0)
        {
        case SC_CLOSE:
            SendMessageW(hwnd, WM_CLOSE, 0, 0);
            break;
        case SC_MINIMIZE:
            ShowWindow(hwnd, SW_MINIMIZE);
            break;
        case SC_RESTORE:
            ShowWindow(hwnd, SW_RESTORE);
            break;
        }
        return 0;
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wParam) == hwnd)
            SetCursor(LoadCursorW(nullptr, IDC_ARROW));
        return TRUE;
    default:
        return 0;
    }
}

HWND WINAPI FindWindowW(LPCWSTR className, LPCWSTR windowName)
{
    for (const auto& entry : win32::user::Records())
    {
        const WindowRecord& record = *entry.second;
        if (record.proc && (!className || record.className == className) &&
            (!windowName || record.caption == windowName))
            return entry.first;
    }
    if (className && windowName)
        return win32::user::FindOtherInstance(className, windowName);
    return nullptr;
}

HICON WINAPI LoadIconW(HINSTANCE, LPCWSTR)
{
    // No icon resources: the system derives the icon.
    return nullptr;
}
