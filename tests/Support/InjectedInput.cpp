#include "tests/Support/InjectedInput.h"

#include "Platform/Win32/SdlGlue.h"

#include <SDL.h>

#include <cstring>

namespace bwtest
{
namespace
{

Uint16 gModifiers = KMOD_NONE;

// A zeroed event of that type for the window.
SDL_Event Blank(Uint32 type, HWND window)
{
    SDL_Event event;
    std::memset(&event, 0, sizeof(event));
    event.type = type;
    SDL_Window* sdl = win32::SdlWindowFromHwnd(window);
    event.window.windowID = sdl ? SDL_GetWindowID(sdl) : 0; // at the same place in every window event
    return event;
}

} // namespace

void PushKey(HWND window, const char* keyName, bool down, bool repeat)
{
    const SDL_Scancode scancode = SDL_GetScancodeFromName(keyName);
    const SDL_Scancode modifierKeys[] = {SDL_SCANCODE_LSHIFT, SDL_SCANCODE_RSHIFT, SDL_SCANCODE_LCTRL,
                                         SDL_SCANCODE_RCTRL,  SDL_SCANCODE_LALT,   SDL_SCANCODE_RALT};
    const Uint16 modifiers[] = {KMOD_LSHIFT, KMOD_RSHIFT, KMOD_LCTRL, KMOD_RCTRL, KMOD_LALT, KMOD_RALT};
    // SDL reports a modifier's own key-down with the modifier already held.
    for (int i = 0; i < 6; ++i)
        if (modifierKeys[i] == scancode)
            gModifiers = down ? Uint16(gModifiers | modifiers[i]) : Uint16(gModifiers & ~modifiers[i]);
    SDL_Event event = Blank(down ? SDL_KEYDOWN : SDL_KEYUP, window);
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = repeat ? 1 : 0;
    event.key.keysym.scancode = scancode;
    event.key.keysym.sym = SDL_GetKeyFromScancode(scancode);
    event.key.keysym.mod = gModifiers;
    SDL_PushEvent(&event);
}

void PushText(HWND window, const char* utf8)
{
    SDL_Event event = Blank(SDL_TEXTINPUT, window);
    std::strncpy(event.text.text, utf8, sizeof(event.text.text) - 1);
    SDL_PushEvent(&event);
}

void PushMouseMove(HWND window, int x, int y)
{
    SDL_Event event = Blank(SDL_MOUSEMOTION, window);
    event.motion.x = x;
    event.motion.y = y;
    SDL_PushEvent(&event);
}

void PushMouseButton(HWND window, int button, bool down, int x, int y, int clicks)
{
    SDL_Event event = Blank(down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP, window);
    event.button.button = static_cast<Uint8>(button);
    event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.button.clicks = static_cast<Uint8>(clicks);
    event.button.x = x;
    event.button.y = y;
    SDL_PushEvent(&event);
}

void PushMouseWheel(HWND window, int x, int y, int steps)
{
    SDL_Event event = Blank(SDL_MOUSEWHEEL, window);
    event.wheel.y = steps;
    event.wheel.preciseY = static_cast<float>(steps);
    event.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    event.wheel.mouseX = x;
    event.wheel.mouseY = y;
    SDL_PushEvent(&event);
}

void PushWindowEvent(HWND window, WindowEvent kind)
{
    static const Uint8 kEvents[] = {SDL_WINDOWEVENT_FOCUS_GAINED, SDL_WINDOWEVENT_FOCUS_LOST, SDL_WINDOWEVENT_CLOSE};
    SDL_Event event = Blank(SDL_WINDOWEVENT, window);
    event.window.event = kEvents[static_cast<int>(kind)];
    SDL_PushEvent(&event);
}

void ReleaseInjectedModifiers()
{
    gModifiers = KMOD_NONE;
}

} // namespace bwtest
