// The message queue: SDL events become window messages, timers come due, and
// messages are dispatched to window procedures.

#include "Platform/Win32/SdlGlue.h"
#include "Platform/Win32/Win32UserInternal.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <deque>
#include <mutex>

namespace win32
{
namespace user
{
namespace
{

struct QueuedMessage
{
    MSG msg;
    uint64_t serial = 0;
    UINT specificKey = 0;
    std::wstring text; // what a key-down typed
};

struct Timer
{
    HWND hwnd;
    UINT_PTR id;
    UINT interval;
    TIMERPROC proc;
    std::chrono::steady_clock::time_point due;
};

struct QueueState
{
    std::recursive_mutex mutex;
    std::deque<QueuedMessage> queue;
    uint64_t nextSerial = 1;
    // The key-down that SDL's next text event belongs to.
    uint64_t textTarget = 0;
    std::vector<Timer> timers;
    UINT_PTR nextThreadTimer = 1;
    bool applicationActive = true;
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
};

QueueState& State()
{
    static auto* state = new QueueState();
    return *state;
}

DWORD MessageTime()
{
    auto elapsed = std::chrono::steady_clock::now() - State().start;
    return static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

uint64_t Post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT specificKey = 0,
              std::wstring text = std::wstring())
{
    QueueState& state = State();
    std::lock_guard<std::recursive_mutex> lock(state.mutex);
    QueuedMessage queued;
    queued.msg = {hwnd, message, wParam, lParam, MessageTime(), {0, 0}};
    // Where SDL last saw the pointer over one of our windows: asking the X
    // server for every message would cost a round trip each.
    if (SDL_WasInit(SDL_INIT_VIDEO))
        if (WindowRecord* focus = FindWindowRecord(HwndFromSdlWindow(SDL_GetMouseFocus())))
        {
            int x = 0;
            int y = 0;
            SDL_GetMouseState(&x, &y);
            queued.msg.pt = {focus->x + x, focus->y + y};
        }
    queued.serial = state.nextSerial++;
    queued.specificKey = specificKey;
    queued.text = std::move(text);
    state.queue.push_back(std::move(queued));
    return state.queue.back().serial;
}

// The engine handles about one message per frame; an SDL motion flood would
// lag behind by seconds, so a move replaces the move queued just before it.
void PostMouseMove(HWND hwnd, WPARAM wParam, LPARAM lParam)
{
    QueueState& state = State();
    std::lock_guard<std::recursive_mutex> lock(state.mutex);
    if (!state.queue.empty())
    {
        MSG& last = state.queue.back().msg;
        if (last.hwnd == hwnd && last.message == WM_MOUSEMOVE)
        {
            last.wParam = wParam;
            last.lParam = lParam;
            last.time = MessageTime();
            return;
        }
    }
    Post(hwnd, WM_MOUSEMOVE, wParam, lParam);
}

WPARAM MouseKeyFlags(Uint32 buttons)
{
    WPARAM flags = 0;
    if (buttons & SDL_BUTTON_LMASK)
        flags |= MK_LBUTTON;
    if (buttons & SDL_BUTTON_RMASK)
        flags |= MK_RBUTTON;
    if (buttons & SDL_BUTTON_MMASK)
        flags |= MK_MBUTTON;
    if (buttons & SDL_BUTTON_X1MASK)
        flags |= MK_XBUTTON1;
    if (buttons & SDL_BUTTON_X2MASK)
        flags |= MK_XBUTTON2;
    SDL_Keymod mod = SDL_GetModState();
    if (mod & KMOD_SHIFT)
        flags |= MK_SHIFT;
    if (mod & KMOD_CTRL)
        flags |= MK_CONTROL;
    return flags;
}

LPARAM PointParam(int x, int y)
{
    return MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(x)), static_cast<WORD>(static_cast<SHORT>(y)));
}

void TranslateButton(const SDL_MouseButtonEvent& event)
{
    WindowRecord* record = FindWindowRecordBySdlId(event.windowID);
    if (!record)
        return;
    bool down = event.type == SDL_MOUSEBUTTONDOWN;
    // Windows reports every second click of a series as a double click.
    bool doubleClick = down && (record->classStyle & CS_DBLCLKS) && event.clicks >= 2 && event.clicks % 2 == 0;
    UINT message = 0;
    WPARAM extra = 0;
    switch (event.button)
    {
    case SDL_BUTTON_LEFT:
        message = WM_LBUTTONDOWN;
        break;
    case SDL_BUTTON_RIGHT:
        message = WM_RBUTTONDOWN;
        break;
    case SDL_BUTTON_MIDDLE:
        message = WM_MBUTTONDOWN;
        break;
    case SDL_BUTTON_X1:
        message = WM_XBUTTONDOWN;
        extra = static_cast<WPARAM>(XBUTTON1) << 16;
        break;
    case SDL_BUTTON_X2:
        message = WM_XBUTTONDOWN;
        extra = static_cast<WPARAM>(XBUTTON2) << 16;
        break;
    default:
        return;
    }
    if (!down)
        message += 1;
    else if (doubleClick)
        message += 2;
    Post(record->hwnd, message, MouseKeyFlags(SDL_GetMouseState(nullptr, nullptr)) | extra,
         PointParam(event.x, event.y));
}

void TranslateWheel(const SDL_MouseWheelEvent& event)
{
    WindowRecord* record = FindWindowRecordBySdlId(event.windowID);
    if (!record)
        return;
    float amount = event.preciseY != 0.0f ? event.preciseY : static_cast<float>(event.y);
    if (event.direction == SDL_MOUSEWHEEL_FLIPPED)
        amount = -amount;
    long delta = std::lround(amount * WHEEL_DELTA);
    delta = std::clamp(delta, -32768L, 32767L);
    if (delta == 0)
        return;
    // The wheel reports screen coordinates, as Windows does.
    WPARAM wParam = MouseKeyFlags(SDL_GetMouseState(nullptr, nullptr)) |
                    (static_cast<WPARAM>(static_cast<WORD>(static_cast<SHORT>(delta))) << 16);
    Post(record->hwnd, WM_MOUSEWHEEL, wParam, PointParam(record->x + event.mouseX, record->y + event.mouseY));
}

void TranslateKey(const SDL_KeyboardEvent& event)
{
    QueueState& state = State();
    std::lock_guard<std::recursive_mutex> lock(state.mutex);
    state.textTarget = 0;
    KeyCode code;
    if (!KeyCodeFromScancode(event.keysym.scancode, code))
        return;
    WindowRecord* record = FindWindowRecordBySdlId(event.windowID);
    HWND hwnd = record ? record->hwnd : KeyboardTargetWindow();
    if (!hwnd)
        return;
    bool down = event.type == SDL_KEYDOWN;
    bool alt = (event.keysym.mod & KMOD_ALT) != 0;
    bool ctrl = (event.keysym.mod & KMOD_CTRL) != 0;
    bool system = (!ctrl && (alt || code.messageKey == VK_MENU)) || code.messageKey == VK_F10;
    UINT message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    LPARAM lParam = 1 | (static_cast<LPARAM>(code.scanCode & 0xFF) << 16);
    if (code.extended)
        lParam |= LPARAM(1) << 24;
    if (alt)
        lParam |= LPARAM(1) << 29;
    if (!down || event.repeat)
        lParam |= LPARAM(1) << 30;
    if (!down)
        lParam |= LPARAM(1) << 31;
    lParam &= 0xFFFFFFFF;
    uint64_t serial = Post(hwnd, message, code.messageKey, lParam, code.specificKey);
    if (down)
        state.textTarget = serial;
}

void TranslateText(const SDL_TextInputEvent& event)
{
    std::wstring text = FromUtf8(event.text);
    if (text.empty())
        return;
    QueueState& state = State();
    std::lock_guard<std::recursive_mutex> lock(state.mutex);
    if (state.textTarget)
    {
        for (auto& queued : state.queue)
            if (queued.serial == state.textTarget && queued.text.empty())
            {
                queued.text = text;
                return;
            }
    }
    // Text with no key of its own (an input method, a paste, a remapped key):
    // a key-down of VK_PACKET per character, as Windows sends them, since a
    // key-down giving several characters types none.
    WindowRecord* record = FindWindowRecordBySdlId(event.windowID);
    HWND hwnd = record ? record->hwnd : KeyboardTargetWindow();
    if (!hwnd)
        return;
    for (wchar_t c : text)
        Post(hwnd, WM_KEYDOWN, VK_PACKET, 1, VK_PACKET, std::wstring(1, c));
}

void PostToAllWindows(UINT message, WPARAM wParam, LPARAM lParam)
{
    for (HWND hwnd : AllWindows())
        Post(hwnd, message, wParam, lParam);
}

void TranslateWindowEvent(const SDL_WindowEvent& event)
{
    WindowRecord* record = FindWindowRecordBySdlId(event.windowID);
    if (!record)
        return;
    HWND hwnd = record->hwnd;
    QueueState& state = State();
    switch (event.event)
    {
    case SDL_WINDOWEVENT_MOVED:
        if (record->fullscreen || (event.data1 == record->x && event.data2 == record->y))
            break;
        record->x = event.data1;
        record->y = event.data2;
        if (!record->minimized && !record->maximized)
            record->normalRect = {record->x, record->y, record->x + record->width, record->y + record->height};
        Post(hwnd, WM_MOVE, 0, PointParam(record->x, record->y));
        break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        if (event.data1 == record->width && event.data2 == record->height)
            break;
        record->width = event.data1;
        record->height = event.data2;
        Post(hwnd, WM_SIZE, record->maximized ? SIZE_MAXIMIZED : SIZE_RESTORED,
             MAKELPARAM(record->width, record->height));
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
        if (record->minimized)
            break;
        record->minimized = true;
        Post(hwnd, WM_SIZE, SIZE_MINIMIZED, 0);
        break;
    case SDL_WINDOWEVENT_MAXIMIZED:
        if (record->maximized)
            break;
        record->maximized = true;
        record->minimized = false;
        Post(hwnd, WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(record->width, record->height));
        break;
    case SDL_WINDOWEVENT_RESTORED:
        if (!record->minimized && !record->maximized)
            break;
        record->minimized = record->maximized = false;
        Post(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(record->width, record->height));
        break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        if (!state.applicationActive)
        {
            state.applicationActive = true;
            PostToAllWindows(WM_ACTIVATEAPP, TRUE, 0);
        }
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        if (state.applicationActive)
        {
            state.applicationActive = false;
            PostToAllWindows(WM_ACTIVATEAPP, FALSE, 0);
        }
        break;
    case SDL_WINDOWEVENT_CLOSE:
        Post(hwnd, WM_CLOSE, 0, 0);
        break;
    default:
        break;
    }
}

void TranslateEvent(const SDL_Event& event)
{
    switch (event.type)
    {
    case SDL_MOUSEMOTION:
        if (WindowRecord* record = FindWindowRecordBySdlId(event.motion.windowID))
            PostMouseMove(record->hwnd, MouseKeyFlags(event.motion.state), PointParam(event.motion.x, event.motion.y));
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        TranslateButton(event.button);
        break;
    case SDL_MOUSEWHEEL:
        TranslateWheel(event.wheel);
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        TranslateKey(event.key);
        break;
    case SDL_TEXTINPUT:
        TranslateText(event.text);
        break;
    case SDL_WINDOWEVENT:
        TranslateWindowEvent(event.window);
        break;
    case SDL_QUIT:
        PostToAllWindows(WM_CLOSE, 0, 0);
        break;
    case SDL_SYSWMEVENT:
        NoteX11Event(event.syswm.msg);
        break;
    default:
        break;
    }
}

void PumpSdlEvents()
{
    if (!SDL_WasInit(SDL_INIT_EVENTS))
        return;
    SDL_PumpEvents();
    SDL_Event events[64];
    int count;
    while ((count = SDL_PeepEvents(events, 64, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT)) > 0)
        for (int i = 0; i < count; ++i)
            TranslateEvent(events[i]);
    DestroyWindowsGoneFromX11();
}

bool Matches(const MSG& msg, HWND hwnd, UINT filterMin, UINT filterMax)
{
    if (hwnd == reinterpret_cast<HWND>(-1))
    {
        if (msg.hwnd)
            return false;
    }
    else if (hwnd && msg.hwnd != hwnd)
        return false;
    return (filterMin == 0 && filterMax == 0) || (msg.message >= filterMin && msg.message <= filterMax);
}

bool IsKeyMessage(UINT message)
{
    return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN || message == WM_SYSKEYUP;
}

bool IsMouseMessage(UINT message)
{
    return message >= WM_MOUSEFIRST && message <= WM_MOUSELAST;
}

bool TakeDueTimer(MSG* out, HWND hwnd, UINT filterMin, UINT filterMax, bool remove)
{
    QueueState& state = State();
    std::lock_guard<std::recursive_mutex> lock(state.mutex);
    auto now = std::chrono::steady_clock::now();
    for (Timer& timer : state.timers)
    {
        if (timer.due > now)
            continue;
        MSG msg = {timer.hwnd, WM_TIMER, timer.id, reinterpret_cast<LPARAM>(timer.proc), MessageTime(), {0, 0}};
        if (!Matches(msg, hwnd, filterMin, filterMax))
            continue;
        if (remove)
            timer.due = now + std::chrono::milliseconds(timer.interval);
        *out = msg;
        return true;
    }
    return false;
}

} // namespace

void ForgetWindowMessages(HWND hwnd)
{
    QueueState& state = State();
    std::lock_guard<std::recursive_mutex> lock(state.mutex);
    state.queue.erase(std::remove_if(state.queue.begin(), state.queue.end(),
                                     [hwnd](const QueuedMessage& queued) { return queued.msg.hwnd == hwnd; }),
                      state.queue.end());
    state.timers.erase(std::remove_if(state.timers.begin(), state.timers.end(),
                                      [hwnd](const Timer& timer) { return timer.hwnd == hwnd; }),
                       state.timers.end());
}

void ForgetAllMessages()
{
    QueueState& state = State();
    std::lock_guard<std::recursive_mutex> lock(state.mutex);
    state.queue.clear();
    state.timers.clear();
    state.textTarget = 0;
    state.applicationActive = true;
}

void PostWindowMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    Post(hwnd, message, wParam, lParam);
}

bool ApplicationActive()
{
    return State().applicationActive;
}

} // namespace user
} // namespace win32

BOOL WINAPI PeekMessageW(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags)
{
    using namespace win32::user;
    if (!msg)
        return FALSE;
    PumpSdlEvents();
    ServeInstanceRequests();

    bool remove = (removeFlags & PM_REMOVE) != 0;
    QueuedMessage taken;
    bool found = false;
    {
        QueueState& state = State();
        std::lock_guard<std::recursive_mutex> lock(state.mutex);
        for (auto it = state.queue.begin(); it != state.queue.end(); ++it)
        {
            if (!Matches(it->msg, hwnd, filterMin, filterMax))
                continue;
            taken = *it;
            if (remove)
                state.queue.erase(it);
            found = true;
            break;
        }
    }
    if (!found)
        return TakeDueTimer(msg, hwnd, filterMin, filterMax, remove) ? TRUE : FALSE;

    if (remove && IsKeyMessage(taken.msg.message))
        NoteKeyMessage(taken.msg, taken.specificKey, taken.text);
    if (remove && IsMouseMessage(taken.msg.message))
    {
        NoteMouseMessage(taken.msg);
        // As on Windows, the window picks its cursor as mouse input arrives.
        if (taken.msg.message != WM_MOUSEWHEEL && IsWindow(taken.msg.hwnd))
            SendMessageW(taken.msg.hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(taken.msg.hwnd),
                         MAKELPARAM(HTCLIENT, taken.msg.message));
    }
    *msg = taken.msg;
    return TRUE;
}

BOOL WINAPI TranslateMessage(const MSG* msg)
{
    using namespace win32::user;
    if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN))
        return FALSE;
    BYTE keys[256];
    GetKeyboardState(keys);
    wchar_t text[8];
    int count = ToUnicode(static_cast<UINT>(msg->wParam), static_cast<UINT>(msg->lParam), keys, text, 8, 0);
    if (count <= 0)
        return FALSE;
    // The characters come next, ahead of anything queued later.
    QueueState& state = State();
    std::lock_guard<std::recursive_mutex> lock(state.mutex);
    UINT charMessage = msg->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
    for (int i = count - 1; i >= 0; --i)
    {
        QueuedMessage queued;
        queued.msg = {msg->hwnd, charMessage, static_cast<WPARAM>(text[i]), msg->lParam, msg->time, msg->pt};
        queued.serial = state.nextSerial++;
        state.queue.push_front(std::move(queued));
    }
    return TRUE;
}

LRESULT WINAPI DispatchMessageW(const MSG* msg)
{
    if (!msg)
        return 0;
    if (msg->message == WM_TIMER && msg->lParam)
    {
        reinterpret_cast<TIMERPROC>(msg->lParam)(msg->hwnd, WM_TIMER, msg->wParam, msg->time);
        return 0;
    }
    return SendMessageW(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL WINAPI PostMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (hwnd && !win32::user::FindWindowRecord(hwnd))
        return FALSE;
    win32::user::Post(hwnd, message, wParam, lParam);
    return TRUE;
}

LRESULT WINAPI SendMessageW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    win32::user::WindowRecord* record = win32::user::FindWindowRecord(hwnd);
    if (!record || !record->proc)
        return 0;
    return record->proc(hwnd, message, wParam, lParam);
}

UINT_PTR WINAPI SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc)
{
    using namespace win32::user;
    if (hwnd && !FindWindowRecord(hwnd))
        return 0;
    QueueState& state = State();
    std::lock_guard<std::recursive_mutex> lock(state.mutex);
    if (!hwnd)
        id = state.nextThreadTimer++;
    // Windows does not fire timers faster than every 10 ms.
    elapse = std::max<UINT>(elapse, 10);
    auto due = std::chrono::steady_clock::now() + std::chrono::milliseconds(elapse);
    for (Timer& timer : state.timers)
        if (timer.hwnd == hwnd && timer.id == id)
        {
            timer = {hwnd, id, elapse, proc, due};
            return id;
        }
    state.timers.push_back({hwnd, id, elapse, proc, due});
    return id ? id : 1;
}

BOOL WINAPI KillTimer(HWND hwnd, UINT_PTR id)
{
    using namespace win32::user;
    QueueState& state = State();
    std::lock_guard<std::recursive_mutex> lock(state.mutex);
    auto it = std::find_if(state.timers.begin(), state.timers.end(),
                           [&](const Timer& timer) { return timer.hwnd == hwnd && timer.id == id; });
    if (it == state.timers.end())
        return FALSE;
    state.timers.erase(it);
    return TRUE;
}
