#include "Core/Render/DX9/RenderHost.h"

#include "Core/App/Application.h"
#include "Core/App/Window.h"

namespace render
{

HWND WindowHandleOf(app::Window* window)
{
    return window ? window->GetHandle() : nullptr;
}

bool IsWindowMinimized(const app::Window* window)
{
    return window && window->IsMinimized();
}

bool IsApplicationActive(const app::Window* window)
{
    return !window || window->IsApplicationActive();
}

void ReportRenderFailure()
{
    // Start-up ends: the loop is skipped and the application's destructor
    // shows the message box.
    if (app::Application* application = app::Application::Instance())
    {
        application->SetRenderFailed(true);
        application->Stop();
    }
}

} // namespace render
