#pragma once

#include "Core/App/Window.h"

namespace framework
{

// The game application's window: a child task of the application that is not
// deleted when reaped (the application deletes it) and keeps the application
// alive while it lives. Each update either switches the screen mode (after
// Alt+Enter) or runs one frame of the game application.
class GameWindow : public app::Window
{
public:
    explicit GameWindow(input::InputWin32* input);

    BWResultEnum OnUpdate(float dt) override;
    void OnActivate() override;
    void OnDeactivate() override;
};

} // namespace framework
