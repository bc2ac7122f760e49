#include "tests/Support/InjectedInput.h"

#include "Platform/Win32/SdlGlue.h"

#include <SDL.h>

#include <cstring>
#include <utility>

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
    const std::pair<SDL_Scancode, Uint16> kModifiers[] = {
        {SDL_SCANCODE_LSHIFT, KMOD_LSHIFT}, {SDL_SCANCODE_RSHIFT, KMOD_RSHIFT}, {SDL_SCANCODE_LCTRL, KMOD_LCTRL},
        {SDL_SCANCODE_RCTRL, KMOD_RCTRL},   {SDL_SCANCODE_LALT, KMOD_LALT},     {SDL_SCANCODE_RALT, KMOD_RALT}};
    for (const auto& modifier : kModifiers)
        if (modifier.first == scancode)
            return modifier.second;
    return KMOD_NONE;
}

// A zeroed event of that type.
SDL_Event Blank(Uint32 type)
{
    SDL_Event event;
    std::memset(&event, 0, sizeof(event));
    event.type = type;
    return event;
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
    SDL_Event event = Blank(down ? SDL_KEYDOWN : SDL_KEYUP);
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
    SDL_Event event = Blank(SDL_TEXTINPUT);
    event.text.windowID = WindowId(window);
    std::strncpy(event.text.text, utf8, sizeof(event.text.text) - 1);
    SDL_PushEvent(&event);
}

void PushMouseMove(HWND window, int x, int y)
{
    SDL_Event event = Blank(SDL_MOUSEMOTION);
    event.motion.windowID = WindowId(window);
    event.motion.x = x;
    event.motion.y = y;
    SDL_PushEvent(&event);
}

void PushMouseButton(HWND window, int button, bool down, int x, int y, int clicks)
{
    SDL_Event event = Blank(down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP);
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
    SDL_Event event = Blank(SDL_MOUSEWHEEL);
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
    SDL_Event event = Blank(SDL_WINDOWEVENT);
    event.window.windowID = WindowId(window);
    event.window.event = kEvents[static_cast<int>(kind)];
    event.window.data1 = data1;
    event.window.data2 = data2;
    SDL_PushEvent(&event);
}

void PushQuit()
{
    SDL_Event event = Blank(SDL_QUIT);
    SDL_PushEvent(&event);
}

void ReleaseInjectedModifiers()
{
    gModifiers = KMOD_NONE;
}

} // namespace bwtest
