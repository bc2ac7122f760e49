#include "Core/App/Win32/WindowWin32.h"

#include "Core/App/Application.h"
#include "Core/App/CriticalSection.h"
#include "Core/Base/Log.h"
#include "Core/Input/Win32/InputWin32.h"
#include "Platform/Win32/Win32Shell.h"
#include "Platform/Win32/Win32User.h"

#include <cwchar>

namespace app
{
namespace
{

const wchar_t* const kClassName = L"ApplicationWindow";
const size_t kClassNameLength = 100;

// Messages sent while CreateWindowExW runs come before the window knows its
// object; the object being created stands in.
CriticalSection& CreationLock()
{
    static auto* lock = new CriticalSection();
    return *lock;
}

WindowWin32* gWindowBeingCreated = nullptr;

input::Point PointFromParam(LPARAM lParam)
{
    return {static_cast<float>(GET_X_LPARAM(lParam)), static_cast<float>(GET_Y_LPARAM(lParam))};
}

} // namespace

WindowWin32::WindowWin32(input::InputWin32* input, bool autoDelete, bool finishWithChildren, bool keepsParentAlive)
    : base::Task(autoDelete, finishWithChildren, keepsParentAlive, true), mInput(input)
{
}

WindowWin32::~WindowWin32()
{
    if (!mDestroyed && mHandle)
    {
        // The object is going: its procedure must not see the last messages.
        SetWindowLongPtrW(mHandle, GWLP_USERDATA, 0);
        DestroyWindow(mHandle);
    }
}

bool WindowWin32::CanClose()
{
    return true;
}

void WindowWin32::OnActivate()
{
}

void WindowWin32::OnDeactivate()
{
}

void WindowWin32::OnCreated()
{
}

BWResultEnum WindowWin32::Create(const WindowPoint& position, const WindowSize& windowSize,
                                 const WindowSize& clientSize, bool windowed, const std::wstring& caption)
{
    mCaption.reset(new wchar_t[caption.size() + 1]);
    std::wmemcpy(mCaption.get(), caption.c_str(), caption.size() + 1);
    mClassName.reset(new wchar_t[kClassNameLength]);
    std::wcsncpy(mClassName.get(), kClassName, kClassNameLength);

    if (HWND running = FindWindowW(mClassName.get(), mCaption.get()))
    {
        ShowWindow(running, SW_RESTORE);
        if (Application* application = Application::Instance())
        {
            application->SetAlreadyRunning(true);
            application->Stop();
        }
        return BW_OK;
    }

    mX = position.x;
    mY = position.y;
    mWindowWidth = windowSize.width;
    mWindowHeight = windowSize.height;
    mClientWidth = clientSize.width;
    mClientHeight = clientSize.height;
    mWindowed = windowed ? 1 : 0;
    mInstance = GetModuleHandleW(nullptr);

    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = kClassStyle;
    wc.lpfnWndProc = WindowProcedure;
    wc.hInstance = mInstance;
    wc.hIcon = LoadIconW(mInstance, MAKEINTRESOURCEW(109));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_WINDOW + 1));
    wc.lpszClassName = mClassName.get();
    wc.hIconSm = LoadIconW(mInstance, MAKEINTRESOURCEW(108));
    RegisterClassExW(&wc);

    HWND handle;
    {
        CriticalSectionGuard guard(&CreationLock());
        gWindowBeingCreated = this;
        handle = CreateWindowExW(0, mClassName.get(), mCaption.get(), windowed ? kWindowedStyle : kFullScreenStyle, mX,
                                 mY, mWindowWidth, mWindowHeight, nullptr, nullptr, mInstance, nullptr);
        if (handle)
        {
            mHandle = handle;
            SetWindowLongPtrW(handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
            SetTimer(handle, kCursorTimer, 10, nullptr);
        }
        gWindowBeingCreated = nullptr;
    }
    if (!handle)
    {
        // Without a window the renderer has nothing to draw into.
        BW_LOG(L"CreateWindowExW failed\n");
        return BW_FAIL;
    }
    ShowWindow(handle, SW_SHOW);
    UpdateWindow(handle);

    mCreated = 1;
    OnCreated();
    return BW_OK;
}

LRESULT CALLBACK WindowWin32::WindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* window = reinterpret_cast<WindowWin32*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!window)
        window = gWindowBeingCreated;
    if (!window)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    return window->HandleMessage(hwnd, message, wParam, lParam);
}

LRESULT WindowWin32::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    input::Point point = PointFromParam(lParam);
    switch (message)
    {
    case WM_CREATE:
        return 0;
    case WM_DESTROY:
        // However the window went (command 105, another program), its handle
        // is dead from here on: the destructor must not use it.
        mDestroyed = 1;
        mStopped = 1;
        return 0;
    case WM_MOVE:
        if (mWindowed)
        {
            WINDOWPLACEMENT placement = {};
            placement.length = sizeof(placement);
            if (GetWindowPlacement(hwnd, &placement) &&
                (placement.showCmd == SW_SHOWNORMAL || placement.showCmd == SW_SHOW))
            {
                mX = placement.rcNormalPosition.left;
                mY = placement.rcNormalPosition.top;
            }
        }
        return 0;
    case WM_SIZE:
        mMinimized = wParam == SIZE_MINIMIZED;
        // The drawing area follows the window, also into full screen.
        if (wParam != SIZE_MINIMIZED && LOWORD(lParam) && HIWORD(lParam))
        {
            mClientWidth = LOWORD(lParam);
            mClientHeight = HIWORD(lParam);
        }
        UpdateActivation();
        return 0;
    case WM_ENABLE:
        mDisabled = wParam == 0;
        return 0;
    case WM_PAINT:
    {
        PAINTSTRUCT paint;
        BeginPaint(hwnd, &paint);
        EndPaint(hwnd, &paint);
        return 0;
    }
    case WM_CLOSE:
        if (CanClose())
            Stop();
        return 0;
    case WM_QUERYOPEN:
        if (mDisabled)
            return 0;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    case WM_SYSCOLORCHANGE:
    case WM_ENDSESSION:
    case WM_DISPLAYCHANGE:
        return 0;
    case WM_ACTIVATEAPP:
        mApplicationActive = static_cast<int32_t>(wParam);
        // The Alt release goes to whatever took the focus: forget the Alt,
        // or a later plain Enter would switch the screen mode.
        if (!wParam)
            mAltHeld = 0;
        UpdateActivation();
        return 0;
    case WM_SETCURSOR:
        ApplyCursorRule();
        return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (wParam == VK_MENU)
            mAltHeld = 1;
        if (mAltHeld && wParam == VK_RETURN)
        {
            mSwitchRequested = 1;
            mAltHeld = 0;
            return 0;
        }
        if (mInput)
            mInput->OnKeyDown(static_cast<uint32_t>(wParam), static_cast<uint32_t>(lParam));
        return DefWindowProcW(hwnd, message, wParam, lParam);
    case WM_KEYUP:
    case WM_SYSKEYUP:
        if (wParam == VK_MENU)
            mAltHeld = 0;
        if (mInput)
            mInput->OnKeyUp(static_cast<uint32_t>(wParam), static_cast<uint32_t>(lParam));
        return DefWindowProcW(hwnd, message, wParam, lParam);
    case WM_CHAR:
    case WM_SYSCHAR:
        // Characters come from the input object's own translation.
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == kCloseCommand)
        {
            DestroyWindow(hwnd);
            return 0;
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    case WM_TIMER:
        TestCursorInside();
        return 0;
    case WM_MOUSEMOVE:
        if (mInput)
            mInput->OnMouseMove(point);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        if (mInput)
            mInput->OnMouseDown(point, message == WM_LBUTTONDOWN ? 1 : 3);
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        if (mInput)
            mInput->OnMouseUp(point, message == WM_LBUTTONUP ? 1 : 3);
        return 0;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
        if (mInput)
            mInput->OnMouseDoubleClick(point, message == WM_LBUTTONDBLCLK ? 1 : 3);
        return 0;
    case WM_MOUSEWHEEL:
    {
        // The wheel's point is on the screen, and its delta is signed.
        POINT screen = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ScreenToClient(hwnd, &screen);
        if (mInput)
            mInput->OnMouseWheel({static_cast<float>(screen.x), static_cast<float>(screen.y)},
                                 GET_WHEEL_DELTA_WPARAM(wParam));
        return 0;
    }
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

void WindowWin32::UpdateActivation()
{
    bool active = mApplicationActive && !mMinimized;
    if (active == (mShownActive != 0))
        return;
    mShownActive = active ? 1 : 0;
    if (active)
        OnActivate();
    else
    {
        OnDeactivate();
        ReleaseCapture();
    }
}

void WindowWin32::ApplyCursorRule()
{
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    if (mForceSystemCursor)
        SetCursor(arrow);
    else if (mCursorInside)
        SetCursor(nullptr); // the game draws its own
    else if (mWindowed)
        SetCursor(arrow);
    else
        SetCursor(nullptr);
}

void WindowWin32::SetForceSystemCursor(bool force)
{
    if ((mForceSystemCursor != 0) == force)
        return;
    mForceSystemCursor = force ? 1 : 0;
    ApplyCursorRule();
}

void WindowWin32::TestCursorInside()
{
    POINT origin = {0, 0};
    POINT corner = {mClientWidth, mClientHeight};
    ClientToScreen(mHandle, &origin);
    ClientToScreen(mHandle, &corner);
    POINT pt = {0, 0};
    GetCursorPos(&pt);
    bool inside = WindowFromPoint(pt) == mHandle && origin.x <= pt.x && pt.x < corner.x && origin.y <= pt.y &&
                  pt.y < corner.y;
    if (inside == (mCursorInside != 0))
        return;
    if (!inside && mInput)
    {
        input::Point left = {static_cast<float>(pt.x - origin.x), static_cast<float>(pt.y - origin.y)};
        mInput->OnMouseMove(left);
        mInput->OnMouseLeave(left);
    }
    mCursorInside = inside ? 1 : 0;
    ApplyCursorRule();
}

const input::Point* WindowWin32::GetCursorPosition()
{
    POINT pt = {0, 0};
    GetCursorPos(&pt);
    POINT origin = {0, 0};
    ClientToScreen(mHandle, &origin);
    mCursorPosition = {static_cast<float>(pt.x - origin.x), static_cast<float>(pt.y - origin.y)};
    return &mCursorPosition;
}

BWResultEnum WindowWin32::OnUpdate(float)
{
    if (!mCreated || (IsStopped() && HasNoChildren()))
        return BW_OK;
    if (mCloseRequested && !mDestroyed)
    {
        mDestroyed = 1;
        DestroyWindow(mHandle);
    }
    MSG msg;
    if (PeekMessageW(&msg, mHandle, 0, 0, PM_REMOVE))
    {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return BW_OK;
}

void WindowWin32::OnStop()
{
    mCloseRequested = 1;
}

void WindowWin32::ReadClientSize()
{
    RECT client;
    if (GetClientRect(mHandle, &client))
    {
        mClientWidth = client.right - client.left;
        mClientHeight = client.bottom - client.top;
    }
}

BWResultEnum WindowWin32::SwitchWindowMode(const WindowSize& windowSize, bool windowed)
{
    if ((mWindowed != 0) == windowed && mWindowWidth == windowSize.width && mWindowHeight == windowSize.height)
        return BW_OK;
    mWindowed = windowed ? 1 : 0;
    mWindowWidth = windowSize.width;
    mWindowHeight = windowSize.height;
    ShowWindow(mHandle, SW_HIDE);
    if (windowed)
    {
        SetWindowLongW(mHandle, GWL_STYLE, static_cast<LONG>(kWindowedStyle));
        SetWindowPos(mHandle, HWND_NOTOPMOST, mX, mY, mWindowWidth, mWindowHeight,
                     SWP_FRAMECHANGED | SWP_SHOWWINDOW);
    }
    else
    {
        SetWindowLongW(mHandle, GWL_STYLE, static_cast<LONG>(kFullScreenStyle));
        SetWindowPos(mHandle, HWND_TOP, 0, 0, mWindowWidth, mWindowHeight,
                     SWP_NOZORDER | SWP_FRAMECHANGED | SWP_SHOWWINDOW);
    }
    // Otherwise the cursor test would still use the old drawing area and
    // report a leave in the middle of a larger screen.
    ReadClientSize();
    ShowWindow(mHandle, SW_SHOW);
    SetForegroundWindow(mHandle);
    return BW_OK;
}

BWResultEnum WindowWin32::SetWindowedSize(const WindowSize& windowSize)
{
    mWindowWidth = windowSize.width;
    mWindowHeight = windowSize.height;
    SetWindowPos(mHandle, nullptr, mX, mY, mWindowWidth, mWindowHeight, SWP_NOZORDER | SWP_FRAMECHANGED);
    ReadClientSize();
    return BW_OK;
}

WindowSize WindowWin32::GetOuterSize(const WindowSize& clientSize) const
{
    RECT rect = {0, 0, clientSize.width, clientSize.height};
    AdjustWindowRect(&rect, kWindowedStyle, FALSE);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

} // namespace app
