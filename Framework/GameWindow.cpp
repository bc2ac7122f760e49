#include "Framework/GameWindow.h"

#include "Framework/GameApplication.h"

namespace framework
{

GameWindow::GameWindow(input::InputWin32* input) : app::Window(input, false, false, true)
{
}

BWResultEnum GameWindow::OnUpdate(float dt)
{
    if (BWResultEnum result = app::Window::OnUpdate(dt))
        return result;
    // Nothing is drawn into a window that is not there (yet, or any more).
    if (!IsCreated() || IsStopped() || !gGameApplication)
        return BW_OK;
    if (IsSwitchRequested())
    {
        ClearSwitchRequest();
        return gGameApplication->SwitchScreenMode();
    }
    return gGameApplication->Frame(dt);
}

void GameWindow::OnActivate()
{
    if (gGameApplication)
        gGameApplication->OnActivate();
}

void GameWindow::OnDeactivate()
{
    if (gGameApplication)
        gGameApplication->OnDeactivate();
}

} // namespace framework
