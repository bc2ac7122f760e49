// The X server behind SDL's x11 driver. Another client (a tool that destroys
// windows) may destroy one of our windows: it is then destroyed here as well,
// and the X errors that drawing into it raises meanwhile are not fatal.

#include "Platform/Win32/Win32UserInternal.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <cstring>
#include <mutex>
#include <set>

namespace win32
{
namespace user
{
namespace
{

// Never held while calling Xlib: the error handler runs inside Xlib calls.
std::mutex gMutex;
std::set<unsigned long> gOurs;
std::set<unsigned long> gGone;
XErrorHandler gPrevious = nullptr;

// Errors about our windows are expected once another client has destroyed
// one; SDL's own handler would end the process (or hang in it).
int OnXError(Display* display, XErrorEvent* error)
{
    {
        std::lock_guard<std::mutex> lock(gMutex);
        if (gOurs.count(error->resourceid) || gGone.count(error->resourceid))
            return 0;
    }
    return gPrevious ? gPrevious(display, error) : 0;
}

} // namespace

void WatchX11Windows()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || std::strcmp(driver, "x11") != 0)
        return;
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    XErrorHandler previous = XSetErrorHandler(OnXError);
    if (previous != OnXError)
        gPrevious = previous;
}

void NoteX11Window(WindowRecord& record)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(record.sdl, &info) || info.subsystem != SDL_SYSWM_X11)
        return;
    record.xWindow = info.info.x11.window;
    std::lock_guard<std::mutex> lock(gMutex);
    gOurs.insert(record.xWindow);
}

void ForgetX11Window(const WindowRecord& record)
{
    std::lock_guard<std::mutex> lock(gMutex);
    if (!gGone.count(record.xWindow))
        gOurs.erase(record.xWindow);
}

void NoteX11Event(const SDL_SysWMmsg* message)
{
    if (!message || message->subsystem != SDL_SYSWM_X11 || message->msg.x11.event.type != DestroyNotify)
        return;
    const unsigned long window = message->msg.x11.event.xdestroywindow.window;
    std::lock_guard<std::mutex> lock(gMutex);
    if (gOurs.count(window))
        gGone.insert(window);
}

void DestroyWindowsGoneFromX11()
{
    std::vector<HWND> gone;
    {
        std::lock_guard<std::mutex> lock(gMutex);
        if (gGone.empty())
            return;
        for (HWND hwnd : AllWindows())
            if (WindowRecord* record = FindWindowRecord(hwnd))
                if (record->xWindow && gGone.count(record->xWindow))
                    gone.push_back(hwnd);
    }
    // As on Windows, a destroyed window gets its WM_DESTROY and its handle
    // stops being a window.
    for (HWND hwnd : gone)
        DestroyWindow(hwnd);
}

void ForgetX11Windows()
{
    std::lock_guard<std::mutex> lock(gMutex);
    gOurs.clear();
}

} // namespace user

bool DestroyX11WindowFromOutside(unsigned long window)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    XDestroyWindow(display, window);
    XSync(display, False);
    XCloseDisplay(display);
    return true;
}

bool DestroyWindowFromOutside(HWND hwnd)
{
    user::WindowRecord* record = user::FindWindowRecord(hwnd);
    return record && record->xWindow && DestroyX11WindowFromOutside(record->xWindow);
}

} // namespace win32
