#include "Framework/GameWindow.h"

namespace framework
{

GameWindow::GameWindow(input::InputWin32* input) : app::Window(input, false, false, true)
{
}

} // namespace framework
