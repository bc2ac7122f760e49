#pragma once

// Kernel-side calls: performance counter, critical sections, threads and priorities, OutputDebugStringW, Get/SetLastError, code-page conversions, Sleep, and the C runtime's rand as the engine relies on it.

#include "Platform/Win32/Win32Types.h"
