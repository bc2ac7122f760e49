#pragma once

// Process and shell calls: module paths, GetCommandLineW/CommandLineToArgvW, LocalFree, SHGetFolderPathW, CoInitialize/CoUninitialize.

#include "Platform/Win32/Win32Types.h"
