#pragma once

#include "Core/App/Win32/WindowWin32.h"

namespace app
{

// The engine's window; the platform is chosen by the base class.
class Window : public WindowWin32
{
public:
    using WindowWin32::WindowWin32;

    // The stored outer size of the window.
    virtual int32_t GetWidth() const { return mWindowWidth; }
    virtual int32_t GetHeight() const { return mWindowHeight; }
};

} // namespace app
