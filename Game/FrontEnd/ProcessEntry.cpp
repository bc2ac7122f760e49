#include "Game/FrontEnd/ProcessEntry.h"

#include "Core/App/Application.h"
#include "Game/FrontEnd/Game.h"
#include "Platform/Win32/Win32Shell.h"

#include <string>
#include <vector>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    CoInitialize(nullptr);

    std::vector<std::wstring> arguments;
    int count = 0;
    if (LPWSTR* list = CommandLineToArgvW(GetCommandLineW(), &count))
    {
        for (int i = 1; i < count; ++i)
            arguments.push_back(list[i]);
        LocalFree(list);
    }

    app::Application::SetCreateInstance(&Game::CreateInstance);
    app::Application* application = app::Application::Instance();
    if (!application)
        return 1;
    application->SetArguments(std::move(arguments));

    // A process that cannot find its folders did not start.
    if (application->InitApplication() != BW_OK)
        return 1;
    application->RunApplication();
    CoUninitialize();
    return application->GetExitCode();
}
