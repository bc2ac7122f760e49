#pragma once

#include "Core/App/Win32/ThreadWin32.h"

namespace app
{

// The engine's thread; the platform is chosen by the base class.
class Thread : public ThreadWin32
{
public:
    using ThreadWin32::ThreadWin32;
};

} // namespace app
