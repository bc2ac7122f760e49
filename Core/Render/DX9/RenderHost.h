#pragma once

// Where the renderer reaches the window and the application: the window's
// handle and state for the device-loss protocol, and the report of a card
// without the required shader models.

#include "Platform/Win32/Win32Types.h"

namespace app
{
class Window;
}

namespace render
{

HWND WindowHandleOf(app::Window* window);
bool IsWindowMinimized(const app::Window* window);
bool IsApplicationActive(const app::Window* window);

// Sets the application's render-failed flag (the message box at exit) and
// stops the application's task.
void ReportRenderFailure();

} // namespace render
