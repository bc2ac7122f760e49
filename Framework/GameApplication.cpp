#include "Framework/GameApplication.h"

#include "Core/Base/Log.h"
#include "Core/File/FileManager.h"
#include "Core/File/Profiles.h"
#include "Core/File/TextFile.h"
#include "Core/File/UserDataFileContainer.h"
#include "Core/Gui/PackScreen.h"
#include "Core/Input/Win32/InputWin32.h"
#include "Core/Render/BMFont.h"
#include "Core/Render/DX9/RenderDX9.h"
#include "Core/Render/ImageRect.h"
#include "Core/Resource/ResourceManager.h"
#include "Core/Widget/Dialog.h"
#include "Core/Widget/DialogEffectsManager.h"
#include "Core/Widget/FrameManager.h"
#include "Framework/GameWindow.h"

#include <new>
#include <tinyxml2.h>

namespace framework
{

GameApplication* gGameApplication = nullptr;

GameApplication::GameApplication() : app::Application(true, false), mGameDocument(new tinyxml2::XMLDocument)
{
    gGameApplication = this;
    // The application's screens hold resources: it goes first at exit.
    base::SingletonRegistry::AddPair(this, resource::ResourceManager::Instance());
}

GameApplication::~GameApplication()
{
    DeleteDeferred();
    ReleaseOffscreenTarget();
    // Screens hold images of the renderer, and the renderer's device belongs
    // to the window; the window may still send messages to the input object.
    delete mFrameManager;
    mFrameManager = nullptr;
    mCurrentScreen = nullptr;
    delete mRender;
    mRender = nullptr;
    delete mWindow;
    mWindow = nullptr;
    delete mInput;
    mInput = nullptr;
    if (gGameApplication == this)
        gGameApplication = nullptr;
}

BWResultEnum GameApplication::InitData()
{
    return BW_OK;
}

void GameApplication::OnActivate() {}

void GameApplication::OnDeactivate() {}

BWResultEnum GameApplication::Start()
{
    BWResultEnum result = RunStartUp();
    if (result != BW_OK)
    {
        // The process reports the failure, and a window that already runs
        // closes instead of staying empty.
        BW_LOG(L"Start-up failed with code %d.\n") % static_cast<uint32_t>(result);
        SetExitCode(1);
        Stop();
    }
    return result;
}

BWResultEnum GameApplication::RunStartUp()
{
    const std::vector<std::wstring>& arguments = GetArguments();
    const bool pack = !arguments.empty() && arguments[0] == L"--pack";

    // The data root: the folder given, else the executable's.
    file::FileManager* files = file::FileManager::Instance();
    if (!files)
        return BW_FAIL;
    if (!arguments.empty() && arguments[0] == L"--data_path")
    {
        if (arguments.size() != 2)
        {
            BW_LOG(L"--data_path takes one folder.\n");
            return BW_FAIL;
        }
        if (file::SetCurrentDirectory(arguments[1]) != BW_OK)
        {
            BW_LOG(L"The data folder '%s' cannot be entered.\n") % arguments[1];
            return BW_FAIL;
        }
    }
    else
    {
        file::SetCurrentDirectory(GetExecutableFolder());
    }

    file::UserDataFileContainer* user = file::UserDataFileContainer::Instance();
    if (!user)
        return BW_FAIL;
    const std::wstring userFolder = GetUserDataFolder() + mCompanyName + L"/" + mProductName + L"/";
    if (user->SetRootPath(userFolder) != BW_OK)
        BW_LOG(L"The user folder '%s' cannot be created: profiles and log are not kept.\n") % userFolder;
    InitLogFile(user->GetRootPath());

    app::Application::Start();

    if (BWResultEnum result = InitData())
        return result;

    mLayoutRect[0] = (static_cast<float>(mBaseWidth) - static_cast<float>(mWideWidth)) * 0.5f;
    mLayoutRect[1] = 0.0f;
    mLayoutRect[2] = static_cast<float>(mWideWidth);
    mLayoutRect[3] = static_cast<float>(mBaseHeight);

    mInput = new (std::nothrow) input::InputWin32(this, this);
    if (!mInput)
        return BW_FAIL;
    mWindow = new GameWindow(mInput);

    app::EnumerateMonitors(mMonitors);
    if (mMonitors.empty())
    {
        BW_LOG(L"No monitor found: assuming one of 1366x768.\n");
        mMonitors.push_back(FallbackMonitor());
    }

    DisplaySettings settings;
    mRender = new render::RenderDX9;
    if (BWResultEnum result = ComputeDisplaySettings(mWindowed != 0, settings))
        return result;

    const app::WindowPoint position{settings.mWindowX, settings.mWindowY};
    const app::WindowSize windowSize{settings.mWindowWidth, settings.mWindowHeight};
    const app::WindowSize clientSize{static_cast<int32_t>(settings.mRenderParam.mWidth),
                                     static_cast<int32_t>(settings.mRenderParam.mHeight)};
    if (BWResultEnum result = mWindow->Create(position, windowSize, clientSize, settings.mRenderParam.mWindowed != 0,
                                              mCaption))
        return result;

    if (IsStopRequested())
    {
        // Another copy runs: its profiles are left alone.
        file::Profiles::SetSaveAtExit(false);
        return BW_OK;
    }

    if (BWResultEnum result = mRender->InitRender(mWindow, settings.mRenderParam))
        return result;
    if (BWResultEnum result = SetupOffscreenTarget(settings))
        return result;

    AddChild(mWindow);
    mFrameManager = new widget::FrameManager;
    // A screen that removed itself with destroy is deleted by the manager:
    // the application must not hold it after that.
    mFrameManager->SetFrameDeletedHandler([this](widget::Frame* frame) {
        if (mCurrentScreen && static_cast<widget::Frame*>(mCurrentScreen) == frame)
            mCurrentScreen = nullptr;
    });

    if (pack)
    {
        if (arguments.size() != 2)
        {
            BW_LOG(L"--pack takes one output file.\n");
            return BW_FAIL;
        }
        return SetScreen(new (std::nothrow) gui::PackScreen(arguments[1]));
    }

    std::string text;
    file::ReadTextFile(text, L"data/game.xml", nullptr);
    mGameDocument->Parse(text.c_str(), text.size());
    if (tinyxml2::XMLElement* game = mGameDocument->FirstChildElement("Game"))
    {
        if (tinyxml2::XMLElement* effects = game->FirstChildElement("DialogEffects"))
        {
            widget::DialogEffectsManager* manager = widget::DialogEffectsManager::Instance();
            if (!manager)
                return BW_FAIL;
            if (BWResultEnum result = manager->Load(effects))
                return result;
        }
    }

    return InitGame();
}

BWResultEnum GameApplication::ComputeDisplaySettings(bool windowed, DisplaySettings& settings)
{
    DisplayRequest request;
    request.mBaseWidth = mBaseWidth;
    request.mBaseHeight = mBaseHeight;
    request.mWideWidth = mWideWidth;
    request.mWindowed = windowed;
    request.mMonitors = &mMonitors;
    request.mWindow = mWindow;
    request.mRender = mRender;
    return framework::ComputeDisplaySettings(request, settings, mDisplay);
}

BWResultEnum GameApplication::SetScreen(widget::Dialog* screen)
{
    if (!mFrameManager)
        return BW_FAIL;
    // Removing it would delete the screen about to be shown.
    if (screen && screen == mCurrentScreen)
        return BW_OK;
    if (mCurrentScreen)
    {
        widget::Dialog* previous = mCurrentScreen;
        mCurrentScreen = nullptr;
        if (BWResultEnum result = mFrameManager->RemoveFrame(previous, true, true))
            return result;
    }
    if (!screen)
        return BW_FAIL;
    screen->SetHitRect(mLayoutRect[0], mLayoutRect[1], mLayoutRect[2], mLayoutRect[3]);
    if (BWResultEnum result = screen->Load())
    {
        // Never shown: the frame manager deletes it with its other leftovers.
        mFrameManager->RemoveFrame(screen, true, false);
        return result;
    }
    mCurrentScreen = screen;
    return mFrameManager->ShowFrame(screen, false, true, true);
}

BWResultEnum GameApplication::LoadFont(const std::wstring& path, float adjust, resource::ResourceHandle* out)
{
    resource::ResourceManager* resources = resource::ResourceManager::Instance();
    if (!resources || !out)
        return BW_FAIL;
    // A font that fails to load leaves the map again with this handle.
    resource::ResourceHandle handle = resources->GetBMFont(path);
    auto* font = static_cast<render::BMFont*>(handle.Get());
    if (!font)
        return BW_FAIL;
    font->mRender = mRender;
    if (!font->IsLoaded())
    {
        if (BWResultEnum result = font->Load())
        {
            BW_LOG(L"The font '%s' cannot be loaded.\n") % path;
            return result;
        }
    }
    font->mAdjust = adjust;
    *out = handle;
    return BW_OK;
}

render::ImageRect* GameApplication::GetTexture(const std::wstring& name, file::Container* container)
{
    render::ImageRect* image = nullptr;
    if (!mRender || mRender->CreateImage(name, container, &image, nullptr) != BW_OK)
        return nullptr;
    return image;
}

void GameApplication::ShowCursor(bool show)
{
    if (mWindow)
        mWindow->SetForceSystemCursor(show);
}

// --- Input -----------------------------------------------------------------

BWResultEnum GameApplication::OnMouseDown(const input::Point& position, uint32_t button)
{
    return mFrameManager ? mFrameManager->OnMouseDown(position, button) : BW_OK;
}

BWResultEnum GameApplication::OnMouseUp(const input::Point& position, uint32_t button)
{
    return mFrameManager ? mFrameManager->OnMouseUp(position, button) : BW_OK;
}

BWResultEnum GameApplication::OnMouseDoubleClick(const input::Point& position, uint32_t button)
{
    return mFrameManager ? mFrameManager->OnMouseDoubleClick(position, button) : BW_OK;
}

BWResultEnum GameApplication::OnMouseMove(const input::Point& position)
{
    return mFrameManager ? mFrameManager->OnMouseMove(position) : BW_OK;
}

BWResultEnum GameApplication::OnMouseDrag(const input::Point& position)
{
    return mFrameManager ? mFrameManager->OnMouseDrag(position) : BW_OK;
}

BWResultEnum GameApplication::OnMouseWheel(const input::Point& position, int delta)
{
    return mFrameManager ? mFrameManager->OnMouseWheel(position, delta) : BW_OK;
}

BWResultEnum GameApplication::OnMouseLeave(const input::Point&)
{
    return BW_OK;
}

BWResultEnum GameApplication::OnKeyDown(int key)
{
    return mFrameManager ? mFrameManager->OnKeyDown(key) : BW_OK;
}

BWResultEnum GameApplication::OnKeyUp(int key)
{
    return mFrameManager ? mFrameManager->OnKeyUp(key) : BW_OK;
}

BWResultEnum GameApplication::OnChar(wchar_t character)
{
    return mFrameManager ? mFrameManager->OnChar(character) : BW_OK;
}

BWResultEnum GameApplication::OnPointerDown(const input::PointerEvent* events, int count)
{
    return mFrameManager ? mFrameManager->OnPointerDown(events, count) : BW_OK;
}

BWResultEnum GameApplication::OnPointerMove(const input::PointerEvent* events, int count)
{
    return mFrameManager ? mFrameManager->OnPointerMove(events, count) : BW_OK;
}

BWResultEnum GameApplication::OnPointerUp(const input::PointerEvent* events, int count)
{
    return mFrameManager ? mFrameManager->OnPointerUp(events, count) : BW_OK;
}

BWResultEnum GameApplication::OnPointerCancel(const input::PointerEvent* events, int count)
{
    return mFrameManager ? mFrameManager->OnPointerUp(events, count) : BW_OK;
}

input::Point& GameApplication::ConvertPoint(input::Point& out, const input::Point& windowPoint)
{
    const input::Point in = windowPoint;
    out = mDisplay.ConvertPoint(in);
    return out;
}

input::Point& GameApplication::RotatePoint(input::Point& out, const input::Point& point, int mode)
{
    const input::Point in = point;
    const float width = mWindow ? static_cast<float>(mWindow->GetWidth()) : 0.0f;
    const float height = mWindow ? static_cast<float>(mWindow->GetHeight()) : 0.0f;
    if (mode == 1)
        out = input::Point{width - in.y, in.x};
    else if (mode == 3)
        out = input::Point{in.y, height - in.x};
    else
        out = in;
    return out;
}

} // namespace framework
