#pragma once

#include "Platform/Win32/Win32Types.h"

// The game's process entry, as on Windows: the arguments come from
// GetCommandLineW (recorded with win32::SetCommandLine). Returns the exit
// code: 0 after a normal end or when another copy was running, 1 when
// start-up failed.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int show);
