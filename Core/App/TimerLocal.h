#pragma once

#include "Core/App/Win32/TimerLocalWin32.h"

namespace app
{

// The main loop's frame timer; the platform is chosen by the base class.
class TimerLocal : public TimerLocalWin32
{
};

} // namespace app
