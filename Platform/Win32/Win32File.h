#pragma once

// Files and folders: CreateFileW, ReadFile, WriteFile, SetFilePointer, GetFileSize, CloseHandle, FindFirstFileW/FindNextFileW/FindClose, CreateDirectoryW, DeleteFileW, SetCurrentDirectoryW.

#include "Platform/Win32/Win32Types.h"
