#pragma once

// Kernel-side calls: performance counter, critical sections, threads and
// priorities, kernel handles, OutputDebugStringW, Get/SetLastError, code-page
// conversions, Sleep, and the C runtime's rand as the engine relies on it.
//
// Wide strings hold UTF-32 code points: one WCHAR per character, so the
// counts below are code points. CP_ACP is UTF-8 and CP_OEMCP is the
// single-byte code page 866.

#include "Platform/Win32/Win32Types.h"

#include <memory>

// --- Errors --------------------------------------------------------------------

#define ERROR_SUCCESS 0
#define NO_ERROR 0
#define ERROR_FILE_NOT_FOUND 2
#define ERROR_PATH_NOT_FOUND 3
#define ERROR_ACCESS_DENIED 5
#define ERROR_INVALID_HANDLE 6
#define ERROR_NOT_ENOUGH_MEMORY 8
#define ERROR_NO_MORE_FILES 18
#define ERROR_FILE_EXISTS 80
#define ERROR_INVALID_PARAMETER 87
#define ERROR_INSUFFICIENT_BUFFER 122
#define ERROR_MOD_NOT_FOUND 126
#define ERROR_ALREADY_EXISTS 183
#define ERROR_NO_UNICODE_TRANSLATION 1113
#define ERROR_INVALID_WINDOW_HANDLE 1400

#define HRESULT_FROM_WIN32(x) \
    ((HRESULT)(x) <= 0 ? ((HRESULT)(x)) : ((HRESULT)(((x) & 0x0000FFFF) | (7 << 16) | 0x80000000)))

DWORD WINAPI GetLastError();
void WINAPI SetLastError(DWORD error);

// --- Timing --------------------------------------------------------------------

BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* count);
BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* frequency);
void WINAPI Sleep(DWORD milliseconds);

// --- Critical sections (recursive for the owning thread) -------------------------

typedef struct _CRITICAL_SECTION
{
    void* Lock; // owned by InitializeCriticalSection, freed by DeleteCriticalSection
} CRITICAL_SECTION, *LPCRITICAL_SECTION;

void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION section);
void WINAPI EnterCriticalSection(LPCRITICAL_SECTION section);
void WINAPI LeaveCriticalSection(LPCRITICAL_SECTION section);
void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION section);

// --- Kernel handles and threads ----------------------------------------------------

typedef struct _SECURITY_ATTRIBUTES
{
    DWORD nLength;
    LPVOID lpSecurityDescriptor;
    BOOL bInheritHandle;
} SECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;

typedef DWORD(WINAPI* LPTHREAD_START_ROUTINE)(LPVOID parameter);

#define CREATE_SUSPENDED 0x00000004
#define INFINITE 0xFFFFFFFF
#define WAIT_OBJECT_0 0x00000000
#define WAIT_TIMEOUT 0x00000102
#define WAIT_FAILED 0xFFFFFFFF

#define THREAD_PRIORITY_IDLE (-15)
#define THREAD_PRIORITY_LOWEST (-2)
#define THREAD_PRIORITY_BELOW_NORMAL (-1)
#define THREAD_PRIORITY_NORMAL 0
#define THREAD_PRIORITY_ABOVE_NORMAL 1
#define THREAD_PRIORITY_HIGHEST 2
#define THREAD_PRIORITY_TIME_CRITICAL 15
#define THREAD_PRIORITY_ERROR_RETURN 0x7FFFFFFF

// A suspended thread has no system thread behind it until ResumeThread.
HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES attributes, SIZE_T stackSize, LPTHREAD_START_ROUTINE start,
                           LPVOID parameter, DWORD creationFlags, LPDWORD threadId);
DWORD WINAPI ResumeThread(HANDLE thread);
// Priorities are recorded and reported back; the scheduler is not asked.
BOOL WINAPI SetThreadPriority(HANDLE thread, int priority);
int WINAPI GetThreadPriority(HANDLE thread);
// Waits for a resumed thread to end; a thread that was never resumed times out.
DWORD WINAPI WaitForSingleObject(HANDLE handle, DWORD milliseconds);
BOOL WINAPI GetExitCodeThread(HANDLE thread, LPDWORD exitCode);
// Closes any kernel handle (threads, files, ...). Closing a running thread's
// handle lets the thread run on, as on Windows.
BOOL WINAPI CloseHandle(HANDLE handle);

#define STILL_ACTIVE 259

// --- Debugger output -----------------------------------------------------------------

// Goes to standard error as UTF-8 (or to the hook below).
void WINAPI OutputDebugStringW(LPCWSTR text);

// --- Code pages -----------------------------------------------------------------------

#define CP_ACP 0
#define CP_OEMCP 1
#define CP_UTF8 65001

#define MB_PRECOMPOSED 0x00000001
#define MB_ERR_INVALID_CHARS 0x00000008
#define WC_NO_BEST_FIT_CHARS 0x00000400
#define WC_ERR_INVALID_CHARS 0x00000080

typedef BOOL* LPBOOL;

// Under CP_ACP and CP_UTF8 an invalid UTF-8 sequence becomes U+FFFD, unless
// MB_ERR_INVALID_CHARS asks for failure (ERROR_NO_UNICODE_TRANSLATION).
int WINAPI MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR source, int sourceBytes, LPWSTR target,
                               int targetChars);
// Under CP_ACP and CP_UTF8 a character that UTF-8 cannot hold (a surrogate, a
// value above U+10FFFF) becomes U+FFFD; the call fails instead when
// WC_ERR_INVALID_CHARS or a default character is given, so that a default
// character never silently cuts the text. Under CP_OEMCP it becomes the default
// character ('?' when none is given).
int WINAPI WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR source, int sourceChars, LPSTR target,
                               int targetBytes, LPCSTR defaultChar, LPBOOL usedDefaultChar);
// Length for length through code page 866; characters outside it become '?'.
BOOL WINAPI OemToCharBuffW(LPCSTR source, LPWSTR target, DWORD length);
BOOL WINAPI CharToOemBuffW(LPCWSTR source, LPSTR target, DWORD length);

namespace win32
{

// --- The C runtime's rand, as the engine relies on it ---------------------------

// The 15-bit generator: x = x * 214013 + 2531011, result (x >> 16) & 0x7FFF,
// seed 1, one state per thread. glibc's rand has another range.
const int RandMax = 0x7FFF;
int rand();
void srand(unsigned int seed);

// --- Kernel objects behind HANDLE ----------------------------------------------------

// Anything a HANDLE may name. Handles are ids in one table, never reused, so a
// stale or forged handle fails with ERROR_INVALID_HANDLE instead of crashing.
class KernelObject
{
public:
    virtual ~KernelObject();
};

HANDLE RegisterKernelObject(std::shared_ptr<KernelObject> object);
std::shared_ptr<KernelObject> FindKernelObject(HANDLE handle);

template <class T>
std::shared_ptr<T> FindKernelObjectAs(HANDLE handle)
{
    return std::dynamic_pointer_cast<T>(FindKernelObject(handle));
}

// Test hook: while non-zero, CreateThread fails with this error.
void SetThreadCreationFailure(DWORD error);

// --- Debugger output hook ------------------------------------------------------------

// Receives every OutputDebugStringW text instead of standard error; null
// restores standard error.
typedef void (*DebugOutputHook)(const wchar_t* text, void* context);
void SetDebugOutputHook(DebugOutputHook hook, void* context);

} // namespace win32
