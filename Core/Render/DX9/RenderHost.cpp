#include "Core/Render/DX9/RenderHost.h"

namespace render
{

HWND WindowHandleOf(app::Window* window)
{
    (void)window;
    return nullptr;
}

bool IsWindowMinimized(const app::Window* window)
{
    (void)window;
    return false;
}

bool IsApplicationActive(const app::Window* window)
{
    (void)window;
    return true;
}

void ReportRenderFailure()
{
}

} // namespace render
