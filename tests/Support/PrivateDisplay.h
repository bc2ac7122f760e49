#pragma once

// Window tests that move the pointer or count input messages need an X
// display of their own: other test programs share the suite's Xvfb and move
// its pointer and focus. UsePrivateDisplay starts an Xvfb for this process
// (once, before SDL starts) and points DISPLAY at it; it is stopped at exit.


namespace bwtest
{

// False when no Xvfb could be started, SDL already runs on another display, or
// this process's display was started with another size.
bool UsePrivateDisplay(int width = 1366, int height = 768);

} // namespace bwtest
