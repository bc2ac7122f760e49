#include "tests/Support/InjectedInput.h"

#include "Platform/Win32/SdlGlue.h"

#include <SDL.h>

#include <cstring>

namespace bwtest
{
namespace
{

Uint16 gModifiers = KMOD_NONE;

Uint32 WindowId(HWND window)
{
    SDL_Window* sdl = win32::SdlWindowFromHwnd(window);
    return sdl ? SDL_GetWindowID(sdl) : 0;
}

Uint16 ModifierOf(SDL_Scancode scancode)
{
    switch (scancode)
    {
    case SDL_SCANCODE_LSHIFT:
        return KMOD_LSHIFT;
    case SDL_SCANCODE_RSHIFT:
        return KMOD_RSHIFT;
    case SDL_SCANCODE_LCTRL:
        return KMOD_LCTRL;
    case SDL_SCANCODE_RCTRL:
        return KMOD_RCTRL;
    case SDL_SCANCODE_LALT:
        return KMOD_LALT;
    case SDL_SCANCODE_RALT:
        return KMOD_RALT;
    default:
        return KMOD_NONE;
    }
}

} // namespace

void PushKey(HWND window, const char* keyName, bool down, bool repeat)
{
    SDL_Scancode scancode = SDL_GetScancodeFromName(keyName);
    // SDL reports a modifier's own key-down with the modifier already held.
    if (down)
        gModifiers |= ModifierOf(scancode);
    else
        gModifiers &= static_cast<Uint16>(~ModifierOf(scancode));
    SDL_Event event;
    std::memset(&event, 0, sizeof(event));
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.windowID = WindowId(window);
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = repeat ? 1 : 0;
    event.key.keysym.scancode = scancode;
    event.key.keysym.sym = SDL_GetKeyFromScancode(scancode);
    event.key.keysym.mod = gModifiers;
    SDL_PushEvent(&event);
}

void PushText(HWND window, const char* utf8)
{
    SDL_Event event;
    std::memset(&event, 0, sizeof(event));
    event.type = SDL_TEXTINPUT;
    event.text.windowID = WindowId(window);
    std::strncpy(event.text.text, utf8, sizeof(event.text.text) - 1);
    SDL_PushEvent(&event);
}

void PushMouseMove(HWND window, int x, int y)
{
    SDL_Event event;
    std::memset(&event, 0, sizeof(event));
    event.type = SDL_MOUSEMOTION;
    event.motion.windowID = WindowId(window);
    event.motion.x = x;
    event.motion.y = y;
    SDL_PushEvent(&event);
}

void PushMouseButton(HWND window, int button, bool down, int x, int y, int clicks)
{
    SDL_Event event;
    std::memset(&event, 0, sizeof(event));
    event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.windowID = WindowId(window);
    event.button.button = static_cast<Uint8>(button);
    event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.button.clicks = static_cast<Uint8>(clicks);
    event.button.x = x;
    event.button.y = y;
    SDL_PushEvent(&event);
}

void PushMouseWheel(HWND window, int x, int y, int steps)
{
    SDL_Event event;
    std::memset(&event, 0, sizeof(event));
    event.type = SDL_MOUSEWHEEL;
    event.wheel.windowID = WindowId(window);
    event.wheel.y = steps;
    event.wheel.preciseY = static_cast<float>(steps);
    event.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    event.wheel.mouseX = x;
    event.wheel.mouseY = y;
    SDL_PushEvent(&event);
}

void PushWindowEvent(HWND window, WindowEvent kind, int data1, int data2)
{
    static const Uint8 kEvents[] = {SDL_WINDOWEVENT_FOCUS_GAINED, SDL_WINDOWEVENT_FOCUS_LOST,
                                    SDL_WINDOWEVENT_MINIMIZED,    SDL_WINDOWEVENT_RESTORED,
                                    SDL_WINDOWEVENT_CLOSE,        SDL_WINDOWEVENT_MOVED,
                                    SDL_WINDOWEVENT_SIZE_CHANGED};
    SDL_Event event;
    std::memset(&event, 0, sizeof(event));
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = WindowId(window);
    event.window.event = kEvents[static_cast<int>(kind)];
    event.window.data1 = data1;
    event.window.data2 = data2;
    SDL_PushEvent(&event);
}

void PushQuit()
{
    SDL_Event event;
    std::memset(&event, 0, sizeof(event));
    event.type = SDL_QUIT;
    SDL_PushEvent(&event);
}

void ReleaseInjectedModifiers()
{
    gModifiers = KMOD_NONE;
}

} // namespace bwtest
