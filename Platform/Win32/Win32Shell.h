#pragma once

// Process and shell calls: module paths, GetCommandLineW/CommandLineToArgvW,
// LocalFree, SHGetFolderPathW, CoInitialize/CoUninitialize.
//
// The process entry records its arguments with win32::SetCommandLine(argc,
// argv) before anything asks for GetCommandLineW.

#include "Platform/Win32/Win32Types.h"

// The process's own module; any other name is not found.
HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName);
HMODULE WINAPI GetModuleHandleW(LPCWSTR moduleName);
// The executable's path (from /proc/self/exe). A path that does not fit is
// cut, terminated, and reported with ERROR_INSUFFICIENT_BUFFER.
DWORD WINAPI GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size);

// The command line in Windows form: arguments quoted so that
// CommandLineToArgvW gives back exactly what the process was started with.
LPWSTR WINAPI GetCommandLineW();
// Splits by the Windows rules; the array is one block released by LocalFree.
LPWSTR* WINAPI CommandLineToArgvW(LPCWSTR commandLine, int* count);
HLOCAL WINAPI LocalFree(HLOCAL memory);

#define CSIDL_PERSONAL 0x0005
#define CSIDL_APPDATA 0x001A
#define CSIDL_FLAG_CREATE 0x8000
#define SHGFP_TYPE_CURRENT 0

// CSIDL_APPDATA is $XDG_DATA_HOME, else $HOME/.local/share; CSIDL_PERSONAL is
// $XDG_DOCUMENTS_DIR, else $HOME. Written without a trailing separator.
// E_FAIL when the folder does not exist.
HRESULT WINAPI SHGetFolderPathW(HWND owner, int folder, HANDLE token, DWORD flags, LPWSTR path);

// COM is not needed by anything here; both are kept for the entry sequence.
HRESULT WINAPI CoInitialize(LPVOID reserved);
void WINAPI CoUninitialize();

namespace win32
{

// Records the process arguments (UTF-8, as main receives them).
void SetCommandLine(int argc, const char* const* argv);

// Test hooks: make the calls fail as the system would. S_OK / 0 clears.
void SetFolderPathFailure(int folder, HRESULT result);
void SetModuleFileNameFailure(DWORD error);

} // namespace win32
