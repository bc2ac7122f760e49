#include "Platform/Win32/SdlGlue.h"

#include "Platform/Win32/Win32UserInternal.h"

#include <SDL.h>

#include <dlfcn.h>
#include <link.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>

namespace win32
{
namespace
{

std::mutex gMutex;
std::map<uintptr_t, SDL_Window*> gWindows;
uintptr_t gNextId = 0x100;
bool gStarted = false;

// The OpenGL driver keeps a few blocks for the life of the process. SDL_Quit
// closes the display, which unloads the driver; leak reports would then show
// those blocks as owned by nameless code. Keeping the driver mapped to the end
// lets them name it.
int KeepDriverMapped(dl_phdr_info* info, size_t, void*)
{
    const char* name = info->dlpi_name;
    size_t length = name ? std::strlen(name) : 0;
    if (length > 7 && std::strcmp(name + length - 7, "_dri.so") == 0)
        dlopen(name, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
    return 0;
}

bool HasDisplay()
{
    const char* x = std::getenv("DISPLAY");
    const char* wl = std::getenv("WAYLAND_DISPLAY");
    return (x && *x) || (wl && *wl);
}

} // namespace

bool EnsureSdl(uint32_t subsystems)
{
    std::lock_guard<std::mutex> lock(gMutex);
    if ((subsystems & SDL_INIT_VIDEO) && !HasDisplay())
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
    if (SDL_WasInit(subsystems) == subsystems)
        return true;
    if (SDL_InitSubSystem(subsystems) != 0)
        return false;
    // OpenGL stays loaded while SDL runs: unloading it with the last window
    // would reload the driver for the next one, and the driver's own
    // allocations would outlive its code.
    if (subsystems & SDL_INIT_VIDEO)
    {
        SDL_GL_LoadLibrary(nullptr);
        user::WatchX11Windows();
    }
    gStarted = true;
    return true;
}

SDL_Window* CreateGlWindow(const char* title, int x, int y, int width, int height, uint32_t flags)
{
    flags |= SDL_WINDOW_OPENGL;
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    SDL_Window* window = SDL_CreateWindow(title, x, y, width, height, flags);
    // Back to SDL's defaults, for windows made elsewhere.
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    if (!window)
        window = SDL_CreateWindow(title, x, y, width, height, flags);
    return window;
}

void ShutdownSdl()
{
    // Windows, queued messages, timers and cursors all die with SDL.
    user::ForgetAllWindows();
    user::ForgetAllMessages();
    user::ForgetCursors();
    user::ForgetKeyboard();
    user::ForgetInstances();
    std::lock_guard<std::mutex> lock(gMutex);
    if (!gStarted)
        return;
    dl_iterate_phdr(KeepDriverMapped, nullptr);
    gWindows.clear();
    SDL_Quit();
    gStarted = false;
}

HWND AttachSdlWindow(SDL_Window* window)
{
    if (!window)
        return nullptr;
    std::lock_guard<std::mutex> lock(gMutex);
    uintptr_t id = gNextId++;
    gWindows[id] = window;
    return reinterpret_cast<HWND>(id);
}

HWND ReserveWindowHandle()
{
    std::lock_guard<std::mutex> lock(gMutex);
    uintptr_t id = gNextId++;
    gWindows[id] = nullptr;
    return reinterpret_cast<HWND>(id);
}

void DetachSdlWindow(HWND hwnd)
{
    std::lock_guard<std::mutex> lock(gMutex);
    gWindows.erase(reinterpret_cast<uintptr_t>(hwnd));
}

SDL_Window* SdlWindowFromHwnd(HWND hwnd)
{
    std::lock_guard<std::mutex> lock(gMutex);
    auto it = gWindows.find(reinterpret_cast<uintptr_t>(hwnd));
    return it == gWindows.end() ? nullptr : it->second;
}

HWND HwndFromSdlWindow(SDL_Window* window)
{
    std::lock_guard<std::mutex> lock(gMutex);
    for (const auto& entry : gWindows)
        if (window && entry.second == window)
            return reinterpret_cast<HWND>(entry.first);
    return nullptr;
}

} // namespace win32
