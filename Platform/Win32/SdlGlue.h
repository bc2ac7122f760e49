#pragma once

// The seam between our Win32 layer and SDL2: lazy SDL start-up, the window
// handle table, and shutdown after the engine's singletons are gone. Nothing
// outside Platform/ includes SDL headers.

#include "Platform/Win32/Win32Types.h"

#include <cstdint>

struct SDL_Window;

namespace win32
{

// Starts the SDL subsystems given (SDL_INIT_* flags) once. With no display
// the offscreen video driver is chosen, so windows still get an OpenGL
// context. Returns false when SDL cannot start them.
bool EnsureSdl(uint32_t subsystems);

// SDL_CreateWindow for an OpenGL window, asking for 24-bit depth and 8-bit
// stencil so that the Direct3D layer can draw its back buffer and automatic
// depth buffer straight into it; without them when the display has none.
SDL_Window* CreateGlWindow(const char* title, int x, int y, int width, int height, uint32_t flags);

// Quits SDL if it was started. Called once, after the singletons are torn down.
void ShutdownSdl();

// HWND is an opaque id: 0 is never handed out and a detached id is never
// reused, so a stale handle resolves to null.
HWND AttachSdlWindow(SDL_Window* window);
// A fresh handle with no SDL window behind it (a window of another process).
HWND ReserveWindowHandle();
void DetachSdlWindow(HWND hwnd);
SDL_Window* SdlWindowFromHwnd(HWND hwnd);
HWND HwndFromSdlWindow(SDL_Window* window);

} // namespace win32
