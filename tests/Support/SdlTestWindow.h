#pragma once

// A hidden SDL window with an OpenGL context, as an HWND for a device.

#include "Platform/Win32/Win32Types.h"

struct SDL_Window;

namespace bwtest
{

class SdlTestWindow
{
public:
    SdlTestWindow(int width, int height);
    ~SdlTestWindow();

    SdlTestWindow(const SdlTestWindow&) = delete;
    SdlTestWindow& operator=(const SdlTestWindow&) = delete;

    HWND Handle() const { return mHandle; }
    bool IsOpen() const { return mHandle != nullptr; }

private:
    SDL_Window* mWindow = nullptr;
    HWND mHandle = nullptr;
};

} // namespace bwtest
