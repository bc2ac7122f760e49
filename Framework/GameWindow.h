#pragma once

#include "Core/App/Window.h"

namespace framework
{

// The game application's window: a child task of the application that is not
// deleted when reaped (the application deletes it) and keeps the application
// alive while it lives.
class GameWindow : public app::Window
{
public:
    explicit GameWindow(input::InputWin32* input);
};

} // namespace framework
