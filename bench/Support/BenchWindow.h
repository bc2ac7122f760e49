#pragma once

// A hidden SDL window with an OpenGL context, as an HWND for a device.

#include "Platform/Win32/Win32Types.h"

struct SDL_Window;

namespace bwbench
{

class BenchWindow
{
public:
    BenchWindow(int width, int height);
    ~BenchWindow();
    HWND Handle() const { return mHandle; }
    bool IsOpen() const { return mHandle != nullptr; }

private:
    SDL_Window* mWindow = nullptr;
    HWND mHandle = nullptr;
};

} // namespace bwbench
