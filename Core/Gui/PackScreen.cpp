#include "Core/Gui/PackScreen.h"

#include "Core/App/Application.h"
#include "Core/Base/Log.h"
#include "Core/File/PackBuilder.h"

namespace gui
{

PackScreen::PackScreen(const std::wstring& output) : mOutput(output) {}

PackScreen::~PackScreen() = default;

BWResultEnum PackScreen::Update(float dt)
{
    if (BWResultEnum result = Dialog::Update(dt))
        return result;
    if (mDone)
        return BW_OK;
    mDone = 1;
    BWResultEnum result = file::BuildPack(L"data/", mOutput);
    if (result == BW_OK)
        BW_LOG(L"Pack '%s' built.\n") % mOutput;
    if (app::Application* application = app::Application::Instance())
    {
        if (result != BW_OK)
            application->SetExitCode(1);
        application->Stop();
    }
    return result;
}

} // namespace gui
