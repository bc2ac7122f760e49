#pragma once

// Our Win32 subset, in the shapes the engine calls it. Kernel-side calls
// (counters, locks, threads, errors, code pages, rand), files and folders, and
// the user-side window layer over SDL2 live in separate headers.

#include "Platform/Win32/Win32Types.h"
#include "Platform/Win32/Win32Kernel.h"
#include "Platform/Win32/Win32File.h"
#include "Platform/Win32/Win32Shell.h"
#include "Platform/Win32/Win32User.h"
