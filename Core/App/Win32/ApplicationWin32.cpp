#include "Core/App/Win32/ApplicationWin32.h"

#include "Core/App/Application.h"
#include "Core/Base/Log.h"
#include "Core/File/Path.h"
#include "Platform/Win32/Win32Kernel.h"
#include "Platform/Win32/Win32Shell.h"
#include "Platform/Win32/Win32User.h"

namespace app
{

const wchar_t* const RenderFailureMessage =
    L"Failed to init DirectX 9 render: video card does'n support vertex shaders 1.1 and(or) pixel shaders 2.0";

namespace
{

// The executable's path. The buffer grows when the path does not fit, where
// a fixed one would fail or write past its end.
bool GetExecutablePath(std::wstring& path)
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;)
    {
        std::fill(buffer.begin(), buffer.end(), L'\0');
        SetLastError(0);
        DWORD length = GetModuleFileNameW(GetModuleHandleW(nullptr), buffer.data(), static_cast<DWORD>(buffer.size()));
        DWORD error = GetLastError();
        if (error == ERROR_INSUFFICIENT_BUFFER && buffer.size() < 32768)
        {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (error != 0 || length == 0 || length >= buffer.size())
            return false;
        path.assign(buffer.data(), length);
        return true;
    }
}

} // namespace

ApplicationWin32::ApplicationWin32(bool finishWithChildren) : Thread(false, finishWithChildren, true, true) {}

ApplicationWin32::~ApplicationWin32()
{
    if (mRenderFailed)
        MessageBoxW(nullptr, RenderFailureMessage, L"Error", MB_ICONERROR);
}

BWResultEnum ApplicationWin32::OnUpdate(float)
{
    return PumpMessages();
}

BWResultEnum ApplicationWin32::PumpMessages()
{
    MSG msg;
    if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return BW_OK;
}

BWResultEnum ApplicationWin32::OnStarted()
{
    return BW_OK;
}

void ApplicationWin32::RunApplication()
{
    if (Application* application = dynamic_cast<Application*>(this))
        application->Start();
    else
        OnStarted();
    if (mStopRequested)
        return;
    Run();
}

BWResultEnum ApplicationWin32::InitPlatform()
{
    mModule = GetModuleHandleA(nullptr);

    std::wstring executable;
    if (!GetExecutablePath(executable))
        return BW_FAIL;
    mExecutableFolder = file::GetDirectory(executable);

    if (base::MainLog* log = base::MainLog::Instance())
        log->AddTextOutput(new base::LogDebugOutput);

    wchar_t folder[MAX_PATH] = {};
    SetLastError(0);
    HRESULT result = SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, folder);
    if (result == E_FAIL)
    {
        folder[0] = L'\0';
        result = SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, 0, folder);
    }
    if (FAILED(result))
        return BW_FAIL;
    mUserDataFolder = file::NormalizeFolderPath(folder);
    return BW_OK;
}

BWResultEnum ApplicationWin32::InitLogFile(const std::wstring& folder)
{
    mLogFolder = folder;
    const std::wstring path = folder + L"log.html";
    // Only the debugger output is attached yet: "path(0):" lets a debugger
    // open the file.
    base::LogLine(base::MainLog::Instance(), L"%s(0): Html log file\n", "Core/App/Win32/ApplicationWin32",
                  __TIMESTAMP__,
                  "enum BWResultEnum __thiscall app::ApplicationWin32::InitLogFile(const class "
                  "std::basic_string<wchar_t,struct std::char_traits<wchar_t>,class std::allocator<wchar_t> > &)",
                  147)
            .ApplyTag(base::LogHtmlTag(L""))
        % path;
    if (base::MainLog* log = base::MainLog::Instance())
        log->AddHtmlOutput(new base::LogUtf8File(path));
    return BW_OK;
}

} // namespace app
