#include "Platform/Win32/Win32Kernel.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <map>
#include <mutex>
#include <string>
#include <thread>

// --- Errors ----------------------------------------------------------------------

namespace
{
thread_local DWORD tLastError = ERROR_SUCCESS;
}

DWORD WINAPI GetLastError()
{
    return tLastError;
}

void WINAPI SetLastError(DWORD error)
{
    tLastError = error;
}

// --- Timing ----------------------------------------------------------------------

BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* count)
{
    if (!count)
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto now = std::chrono::steady_clock::now().time_since_epoch();
    count->QuadPart = std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
    return TRUE;
}

BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* frequency)
{
    if (!frequency)
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    frequency->QuadPart = 1000000000;
    return TRUE;
}

void WINAPI Sleep(DWORD milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

// --- Critical sections -------------------------------------------------------------

void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION section)
{
    section->Lock = new std::recursive_mutex;
}

void WINAPI EnterCriticalSection(LPCRITICAL_SECTION section)
{
    static_cast<std::recursive_mutex*>(section->Lock)->lock();
}

void WINAPI LeaveCriticalSection(LPCRITICAL_SECTION section)
{
    static_cast<std::recursive_mutex*>(section->Lock)->unlock();
}

void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION section)
{
    delete static_cast<std::recursive_mutex*>(section->Lock);
    section->Lock = nullptr;
}

// --- Kernel handles ------------------------------------------------------------------

namespace win32
{

KernelObject::~KernelObject() = default;

namespace
{

// Heap objects behind static pointers: handles may be closed from singleton
// destructors that run after function-local statics are gone.
std::mutex* gHandleMutex = new std::mutex;
std::map<uintptr_t, std::shared_ptr<KernelObject>>* gHandles = new std::map<uintptr_t, std::shared_ptr<KernelObject>>;
uintptr_t gNextHandle = 0x1000;

} // namespace

HANDLE RegisterKernelObject(std::shared_ptr<KernelObject> object)
{
    if (!object)
        return nullptr;
    std::lock_guard<std::mutex> lock(*gHandleMutex);
    uintptr_t id = gNextHandle;
    gNextHandle += 4;
    (*gHandles)[id] = std::move(object);
    return reinterpret_cast<HANDLE>(id);
}

std::shared_ptr<KernelObject> FindKernelObject(HANDLE handle)
{
    std::lock_guard<std::mutex> lock(*gHandleMutex);
    auto it = gHandles->find(reinterpret_cast<uintptr_t>(handle));
    return it == gHandles->end() ? nullptr : it->second;
}

} // namespace win32

BOOL WINAPI CloseHandle(HANDLE handle)
{
    std::shared_ptr<win32::KernelObject> object;
    {
        std::lock_guard<std::mutex> lock(*win32::gHandleMutex);
        auto it = win32::gHandles->find(reinterpret_cast<uintptr_t>(handle));
        if (it == win32::gHandles->end())
        {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        object = std::move(it->second);
        win32::gHandles->erase(it);
    }
    // The object goes outside the lock: its destructor may close other handles.
    object.reset();
    return TRUE;
}

// --- Threads -------------------------------------------------------------------------

namespace
{

// What the system thread and the handle share; it lives until both let go.
struct ThreadState
{
    LPTHREAD_START_ROUTINE start = nullptr;
    LPVOID parameter = nullptr;
    std::mutex mutex;
    std::condition_variable finished;
    bool resumed = false;
    bool done = false;
    DWORD exitCode = STILL_ACTIVE;
};

class ThreadObject : public win32::KernelObject
{
public:
    explicit ThreadObject(std::shared_ptr<ThreadState> state) : mState(std::move(state)) {}

    ~ThreadObject() override
    {
        if (mThread.joinable())
            mThread.detach();
    }

    DWORD Resume()
    {
        std::lock_guard<std::mutex> lock(mState->mutex);
        if (mState->resumed)
            return 0;
        mState->resumed = true;
        std::shared_ptr<ThreadState> state = mState;
        mThread = std::thread([state] {
            DWORD code = state->start(state->parameter);
            std::lock_guard<std::mutex> inner(state->mutex);
            state->exitCode = code;
            state->done = true;
            state->finished.notify_all();
        });
        return 1;
    }

    std::shared_ptr<ThreadState> mState;
    std::thread mThread;
    int mPriority = THREAD_PRIORITY_NORMAL;
};

std::shared_ptr<ThreadObject> FindThread(HANDLE handle)
{
    std::shared_ptr<ThreadObject> thread = win32::FindKernelObjectAs<ThreadObject>(handle);
    if (!thread)
        SetLastError(ERROR_INVALID_HANDLE);
    return thread;
}

bool IsThreadPriority(int priority)
{
    switch (priority)
    {
    case THREAD_PRIORITY_IDLE:
    case THREAD_PRIORITY_LOWEST:
    case THREAD_PRIORITY_BELOW_NORMAL:
    case THREAD_PRIORITY_NORMAL:
    case THREAD_PRIORITY_ABOVE_NORMAL:
    case THREAD_PRIORITY_HIGHEST:
    case THREAD_PRIORITY_TIME_CRITICAL:
        return true;
    default:
        return false;
    }
}

uint32_t gNextThreadId = 1;
std::atomic<DWORD> gThreadCreationFailure{0};

} // namespace

void win32::SetThreadCreationFailure(DWORD error)
{
    gThreadCreationFailure = error;
}

HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE start, LPVOID parameter,
                           DWORD creationFlags, LPDWORD threadId)
{
    if (!start)
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (DWORD failure = gThreadCreationFailure)
    {
        SetLastError(failure);
        return nullptr;
    }
    auto state = std::make_shared<ThreadState>();
    state->start = start;
    state->parameter = parameter;
    auto thread = std::make_shared<ThreadObject>(state);
    HANDLE handle = win32::RegisterKernelObject(thread);
    if (threadId)
        *threadId = __atomic_fetch_add(&gNextThreadId, 1, __ATOMIC_RELAXED);
    if (!(creationFlags & CREATE_SUSPENDED))
        thread->Resume();
    return handle;
}

DWORD WINAPI ResumeThread(HANDLE handle)
{
    std::shared_ptr<ThreadObject> thread = FindThread(handle);
    if (!thread)
        return static_cast<DWORD>(-1);
    return thread->Resume();
}

BOOL WINAPI SetThreadPriority(HANDLE handle, int priority)
{
    std::shared_ptr<ThreadObject> thread = FindThread(handle);
    if (!thread)
        return FALSE;
    if (!IsThreadPriority(priority))
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    thread->mPriority = priority;
    return TRUE;
}

int WINAPI GetThreadPriority(HANDLE handle)
{
    std::shared_ptr<ThreadObject> thread = FindThread(handle);
    return thread ? thread->mPriority : THREAD_PRIORITY_ERROR_RETURN;
}

DWORD WINAPI WaitForSingleObject(HANDLE handle, DWORD milliseconds)
{
    std::shared_ptr<ThreadObject> thread = FindThread(handle);
    if (!thread)
        return WAIT_FAILED;
    ThreadState& state = *thread->mState;
    std::unique_lock<std::mutex> lock(state.mutex);
    auto isDone = [&state] { return state.done; };
    if (milliseconds == INFINITE)
    {
        // A thread that never runs would block forever; as on Windows.
        state.finished.wait(lock, isDone);
        return WAIT_OBJECT_0;
    }
    return state.finished.wait_for(lock, std::chrono::milliseconds(milliseconds), isDone) ? WAIT_OBJECT_0
                                                                                          : WAIT_TIMEOUT;
}

BOOL WINAPI GetExitCodeThread(HANDLE handle, LPDWORD exitCode)
{
    std::shared_ptr<ThreadObject> thread = FindThread(handle);
    if (!thread || !exitCode)
        return FALSE;
    std::lock_guard<std::mutex> lock(thread->mState->mutex);
    *exitCode = thread->mState->exitCode;
    return TRUE;
}

// --- Debugger output ---------------------------------------------------------------------

namespace
{
std::mutex* gDebugMutex = new std::mutex;
win32::DebugOutputHook gDebugHook = nullptr;
void* gDebugContext = nullptr;
} // namespace

void win32::SetDebugOutputHook(DebugOutputHook hook, void* context)
{
    std::lock_guard<std::mutex> lock(*gDebugMutex);
    gDebugHook = hook;
    gDebugContext = context;
}

void WINAPI OutputDebugStringW(LPCWSTR text)
{
    if (!text)
        return;
    std::lock_guard<std::mutex> lock(*gDebugMutex);
    if (gDebugHook)
    {
        gDebugHook(text, gDebugContext);
        return;
    }
    int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return;
    std::string bytes(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &bytes[0], length, nullptr, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size() - 1, stderr);
    std::fflush(stderr);
}

// --- Code pages ------------------------------------------------------------------------------

namespace
{

const uint32_t ReplacementCharacter = 0xFFFD;

// Code page 866, bytes 0x80 to 0xFF.
const uint16_t Cp866High[128] = {
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, 0x0418, 0x0419, 0x041A, 0x041B, 0x041C,
    0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429,
    0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F, 0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436,
    0x0437, 0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, 0x2591, 0x2592, 0x2593, 0x2502,
    0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510, 0x2514,
    0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550,
    0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C,
    0x2588, 0x2584, 0x258C, 0x2590, 0x2580, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F, 0x0401, 0x0451, 0x0404, 0x0454, 0x0407,
    0x0457, 0x040E, 0x045E, 0x00B0, 0x2219, 0x00B7, 0x221A, 0x2116, 0x00A4, 0x25A0, 0x00A0,
};

uint32_t Cp866ToUnicode(unsigned char byte)
{
    return byte < 0x80 ? byte : Cp866High[byte - 0x80];
}

// Returns false when the character has no byte in code page 866.
bool UnicodeToCp866(uint32_t c, char& byte)
{
    if (c < 0x80)
    {
        byte = static_cast<char>(c);
        return true;
    }
    for (int i = 0; i < 128; ++i)
    {
        if (Cp866High[i] == c)
        {
            byte = static_cast<char>(0x80 + i);
            return true;
        }
    }
    return false;
}

bool IsUtf8CodePage(UINT codePage)
{
    return codePage == CP_ACP || codePage == CP_UTF8;
}

bool IsKnownCodePage(UINT codePage)
{
    return IsUtf8CodePage(codePage) || codePage == CP_OEMCP || codePage == 866;
}

bool IsValidCodePoint(uint32_t c)
{
    return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
}

// Decodes one UTF-8 sequence at [p, end). On an ill-formed sequence it
// consumes the maximal well-formed prefix (at least one byte) and answers false.
bool DecodeUtf8(const unsigned char*& p, const unsigned char* end, uint32_t& c)
{
    unsigned char b = *p++;
    if (b < 0x80)
    {
        c = b;
        return true;
    }
    int more;
    unsigned char low = 0x80, high = 0xBF;
    if (b >= 0xC2 && b <= 0xDF)
    {
        more = 1;
        c = b & 0x1F;
    }
    else if (b >= 0xE0 && b <= 0xEF)
    {
        more = 2;
        c = b & 0x0F;
        if (b == 0xE0)
            low = 0xA0; // no overlong forms
        if (b == 0xED)
            high = 0x9F; // no surrogates
    }
    else if (b >= 0xF0 && b <= 0xF4)
    {
        more = 3;
        c = b & 0x07;
        if (b == 0xF0)
            low = 0x90;
        if (b == 0xF4)
            high = 0x8F; // nothing above U+10FFFF
    }
    else
        return false;
    for (int i = 0; i < more; ++i)
    {
        if (p == end || *p < low || *p > high)
            return false;
        c = (c << 6) | (*p++ & 0x3F);
        low = 0x80;
        high = 0xBF;
    }
    return true;
}

int EncodeUtf8(uint32_t c, char* out)
{
    if (c < 0x80)
    {
        out[0] = static_cast<char>(c);
        return 1;
    }
    if (c < 0x800)
    {
        out[0] = static_cast<char>(0xC0 | (c >> 6));
        out[1] = static_cast<char>(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000)
    {
        out[0] = static_cast<char>(0xE0 | (c >> 12));
        out[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (c & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | (c >> 18));
    out[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (c & 0x3F));
    return 4;
}

template <class C>
int SourceLength(const C* source, int length)
{
    if (length >= 0)
        return length;
    int n = 0;
    while (source[n])
        ++n;
    return n + 1; // the terminator is converted too
}

} // namespace

int WINAPI MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR source, int sourceBytes, LPWSTR target,
                               int targetChars)
{
    if (!source || sourceBytes == 0 || sourceBytes < -1 || targetChars < 0 || (targetChars > 0 && !target) ||
        !IsKnownCodePage(codePage))
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const int length = SourceLength(source, sourceBytes);
    const auto* p = reinterpret_cast<const unsigned char*>(source);
    const auto* end = p + length;
    int written = 0;
    while (p < end)
    {
        uint32_t c;
        if (IsUtf8CodePage(codePage))
        {
            if (!DecodeUtf8(p, end, c))
            {
                if (flags & MB_ERR_INVALID_CHARS)
                {
                    SetLastError(ERROR_NO_UNICODE_TRANSLATION);
                    return 0;
                }
                c = ReplacementCharacter;
            }
        }
        else
            c = Cp866ToUnicode(*p++);
        if (targetChars > 0)
        {
            if (written == targetChars)
            {
                SetLastError(ERROR_INSUFFICIENT_BUFFER);
                return 0;
            }
            target[written] = static_cast<wchar_t>(c);
        }
        ++written;
    }
    return written;
}

int WINAPI WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR source, int sourceChars, LPSTR target,
                               int targetBytes, LPCSTR defaultChar, LPBOOL usedDefaultChar)
{
    if (!source || sourceChars == 0 || sourceChars < -1 || targetBytes < 0 || (targetBytes > 0 && !target) ||
        !IsKnownCodePage(codePage))
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const int length = SourceLength(source, sourceChars);
    bool usedDefault = false;
    int written = 0;
    for (int i = 0; i < length; ++i)
    {
        const auto c = static_cast<uint32_t>(source[i]);
        char bytes[4];
        int count;
        if (IsUtf8CodePage(codePage))
        {
            if (IsValidCodePoint(c))
                count = EncodeUtf8(c, bytes);
            else if ((flags & WC_ERR_INVALID_CHARS) || defaultChar)
            {
                SetLastError(ERROR_NO_UNICODE_TRANSLATION);
                return 0;
            }
            else
                count = EncodeUtf8(ReplacementCharacter, bytes);
        }
        else
        {
            count = 1;
            if (!UnicodeToCp866(c, bytes[0]))
            {
                bytes[0] = defaultChar ? *defaultChar : '?';
                usedDefault = true;
            }
        }
        if (targetBytes > 0)
        {
            if (written + count > targetBytes)
            {
                SetLastError(ERROR_INSUFFICIENT_BUFFER);
                return 0;
            }
            for (int k = 0; k < count; ++k)
                target[written + k] = bytes[k];
        }
        written += count;
    }
    if (usedDefaultChar)
        *usedDefaultChar = usedDefault ? TRUE : FALSE;
    return written;
}

BOOL WINAPI OemToCharBuffW(LPCSTR source, LPWSTR target, DWORD length)
{
    if (!source || !target)
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    for (DWORD i = 0; i < length; ++i)
        target[i] = static_cast<wchar_t>(Cp866ToUnicode(static_cast<unsigned char>(source[i])));
    return TRUE;
}

BOOL WINAPI CharToOemBuffW(LPCWSTR source, LPSTR target, DWORD length)
{
    if (!source || !target)
    {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    for (DWORD i = 0; i < length; ++i)
        if (!UnicodeToCp866(static_cast<uint32_t>(source[i]), target[i]))
            target[i] = '?';
    return TRUE;
}

// --- rand ---------------------------------------------------------------------------------------

namespace
{
thread_local uint32_t tRandState = 1;
}

int win32::rand()
{
    tRandState = tRandState * 214013u + 2531011u;
    return static_cast<int>((tRandState >> 16) & 0x7FFF);
}

void win32::srand(unsigned int seed)
{
    tRandState = seed;
}
