#pragma once

// User-side calls over SDL2: window classes and windows, the message queue, timers, cursor, monitors, keyboard, MessageBoxW.

#include "Platform/Win32/Win32Types.h"
