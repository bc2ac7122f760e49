#pragma once

#include "Core/App/Thread.h"
#include "Core/Base/BWResult.h"
#include "Platform/Win32/Win32Types.h"

#include <string>
#include <vector>

namespace app
{

// The platform half of the application: the process's folders, the message
// pump, the log file, and the frame loop on the main thread. Its task has
// auto-delete off, keeps-parent-alive on and a lock.
class ApplicationWin32 : public Thread
{
public:
    explicit ApplicationWin32(bool finishWithChildren);
    // Shows the render-failure message box when the renderer could not start.
    ~ApplicationWin32() override;

    // Handles at most one message of the thread's queue.
    BWResultEnum OnUpdate(float dt) override;

    // Start, then the frame loop unless a stop was requested meanwhile.
    virtual void RunApplication();
    // Finds the executable's folder and the user's data folder (the documents
    // folder when the data folder is missing) and attaches the debugger
    // output to the main log.
    virtual BWResultEnum InitPlatform();
    virtual BWResultEnum OnStarted();

    // Opens "log.html" in the folder as the main log's HTML output. Always 0.
    BWResultEnum InitLogFile(const std::wstring& folder);
    BWResultEnum PumpMessages();

    HINSTANCE GetModule() const { return mModule; }
    const std::wstring& GetUserDataFolder() const { return mUserDataFolder; }
    const std::wstring& GetExecutableFolder() const { return mExecutableFolder; }
    const std::wstring& GetLogFolder() const { return mLogFolder; }
    const std::vector<std::wstring>& GetArguments() const { return mArguments; }
    // The command-line arguments without the program path.
    void SetArguments(std::vector<std::wstring> arguments) { mArguments.swap(arguments); }
    bool IsAlreadyRunning() const { return mAlreadyRunning != 0; }
    void SetAlreadyRunning(bool running) { mAlreadyRunning = running ? 1 : 0; }
    bool IsRenderFailed() const { return mRenderFailed != 0; }
    void SetRenderFailed(bool failed) { mRenderFailed = failed ? 1 : 0; }

protected:
    HINSTANCE mModule = nullptr;
    std::wstring mUserDataFolder;
    std::wstring mExecutableFolder;
    std::wstring mLogFolder;
    std::vector<std::wstring> mArguments;
    uint8_t mAlreadyRunning = 0;
    uint8_t mRenderFailed = 0;
};

// The message box text, as the game has always shown it.
extern const wchar_t* const RenderFailureMessage;

} // namespace app
