// The per-frame half of the game application: the frame, the letterbox
// bars, switching between window and full screen, the off-screen target and
// image layers.

#include "Core/Base/ImageInfo.h"
#include "Core/Base/Log.h"
#include "Core/Input/Win32/InputWin32.h"
#include "Core/Layer/ImageLayer.h"
#include "Core/Render/DrawImageParam.h"
#include "Core/Render/Graphics.h"
#include "Core/Render/Image.h"
#include "Core/Widget/FrameManager.h"
#include "Framework/GameApplication.h"
#include "Framework/GameWindow.h"
#include "Framework/SwitchScreenModeMessage.h"

#include <new>

namespace framework
{
namespace
{

const float kBlack[4] = {0.0f, 0.0f, 0.0f, 1.0f};

const char* const kSwitchFunction = "enum BWResultEnum __thiscall framework::GameApplication::SwitchScreenMode(void)";

// The switch's records carry the place they have always had in the log.
void LogSwitchStep(const wchar_t* text, int line)
{
    base::LogLine(base::MainLog::Instance(), text, "Framework/GameApplication", __TIMESTAMP__, kSwitchFunction, line)
        .ApplyTag(base::LogHtmlTag(L""));
}

} // namespace

BWResultEnum GameApplication::Frame(float dt)
{
    // A lost device skips everything, the updates included.
    if (!mRender || !mRender->CanRender())
        return BW_OK;
    if (mInput)
    {
        if (BWResultEnum result = mInput->Update())
            return result;
    }
    if (BWResultEnum result = Update(dt))
        return result;
    if (mFrameManager)
    {
        if (BWResultEnum result = mFrameManager->Update(dt))
            return result;
    }
    DeleteDeferred();

    // An error past this point leaves a partly recorded frame: the renderer
    // drops it when the next frame begins.
    if (BWResultEnum result = mRender->BeginScene())
        return result;
    render::Graphics graphics(mRender);
    if (BWResultEnum result = graphics.Clear(render::ClearColor, kBlack, 1.0f, 0))
        return result;
    if (mOffscreenTarget)
    {
        render::Graphics target(mOffscreenTarget);
        if (BWResultEnum result = target.Clear(render::ClearColor, kBlack, 1.0f, 0))
            return result;
        if (mFrameManager)
        {
            if (BWResultEnum result = mFrameManager->Draw(&target))
                return result;
        }
        auto draw = graphics.DrawImage(mOffscreenTarget);
        draw->mHAnchor = render::AnchorHCenter;
        draw->mVAnchor = render::AnchorVCenter;
        const float scale[2] = {mDisplay.mTargetScaleX, mDisplay.mTargetScaleY};
        auto placed = draw.Scale(scale);
        placed.GetTransform().Translate(mDisplay.mTargetX, mDisplay.mTargetY);
        if (BWResultEnum result = placed.DrawNow())
            return result;
    }
    else if (mFrameManager)
    {
        if (BWResultEnum result = mFrameManager->Draw(&graphics))
            return result;
    }
    if (mDisplay.mBarsNeeded)
    {
        if (BWResultEnum result = DrawOverlay(&graphics))
            return result;
    }
    if (BWResultEnum result = mRender->EndScene())
        return result;
    if (BWResultEnum result = mRender->Present())
        return result;
    return mRender->ExecuteCommands();
}

BWResultEnum GameApplication::DrawOverlay(render::Graphics* graphics)
{
    graphics->SetColor(kBlack);
    for (const float* bar : mDisplay.mBars)
    {
        if (BWResultEnum result = graphics->DrawRect(bar).DrawNow())
            return result;
    }
    return BW_OK;
}

BWResultEnum GameApplication::SwitchScreenMode()
{
    if (!mWindow || !mRender)
        return BW_FAIL;
    const bool wasWindowed = mWindow->IsWindowed();
    DisplaySettings settings;
    if (BWResultEnum result = ComputeDisplaySettings(!wasWindowed, settings))
        return result;
    if (settings.mFellBackToFullScreen)
        return BW_OK;

    ReleaseOffscreenTarget();
    BWResultEnum result = BW_OK;
    const app::WindowSize windowSize{settings.mWindowWidth, settings.mWindowHeight};
    LogSwitchStep(L"mRender->PrepareSwitchScreenMode()\n", 316);
    result = mRender->PrepareSwitchScreenMode();
    if (result == BW_OK && wasWindowed)
    {
        LogSwitchStep(L"SwitchWindowMode(false)\n", 319);
        result = mWindow->SwitchWindowMode(windowSize, false);
        if (result == BW_OK)
        {
            LogSwitchStep(L"mRender->SwitchScreenMode()\n", 321);
            result = mRender->SwitchScreenMode(settings.mRenderParam);
        }
    }
    else if (result == BW_OK)
    {
        LogSwitchStep(L"mWindow->SetWindowedSize()\n", 324);
        mWindow->SetWindowedSize(windowSize);
        LogSwitchStep(L"mRender->SwitchScreenMode()\n", 326);
        result = mRender->SwitchScreenMode(settings.mRenderParam);
        if (result == BW_OK)
        {
            LogSwitchStep(L"SwitchWindowMode(true)\n", 328);
            mWindow->SwitchWindowMode(windowSize, true);
        }
    }
    // The target goes with every switch; a failed one still gets it back, so
    // that the next frames draw where the settings say.
    BWResultEnum target = SetupOffscreenTarget(settings);
    if (result != BW_OK)
        return result;
    if (target != BW_OK)
        return target;

    if (mWindow->IsWindowed() != wasWindowed)
        SwitchScreenModeHandlers::Send(SwitchScreenModeMessage{mWindow->IsWindowed()});
    return BW_OK;
}

BWResultEnum GameApplication::SetupOffscreenTarget(const DisplaySettings& settings)
{
    if (!settings.mTargetNeeded)
        return BW_OK;
    if (!mRender)
        return BW_FAIL;
    ReleaseOffscreenTarget();
    render::Image* image = nullptr;
    if (BWResultEnum result =
            mRender->CreateRenderTargetImage(settings.mTargetWidth, settings.mTargetHeight, &image, false))
        return result;
    if (!image)
        return BW_FAIL;
    image->mMatrix = settings.mTargetProjection;
    TargetRectFromViewport(settings.mTargetViewport, image->mTargetRect);
    mOffscreenTarget = image;
    return BW_OK;
}

void GameApplication::ReleaseOffscreenTarget()
{
    delete mOffscreenTarget;
    mOffscreenTarget = nullptr;
}

BWResultEnum GameApplication::CreateImageLayer(const std::wstring& name, file::Container* container,
                                               layer::ImageLayer** out, bool placeAtImageOffset,
                                               base::ImageInfo* info)
{
    if (!out || !mRender)
        return BW_FAIL;
    *out = nullptr;
    render::ImageRect* image = nullptr;
    base::ImageInfo imageInfo;
    if (BWResultEnum result = mRender->CreateImage(name, container, &image, &imageInfo))
        return result;
    if (!image)
        return BW_FAIL;
    layer::ImageLayer* imageLayer = new (std::nothrow) layer::ImageLayer;
    if (!imageLayer)
    {
        delete image;
        return BW_FAIL;
    }
    imageLayer->SetImage(image, true);
    imageLayer->SetName(name);
    if (placeAtImageOffset)
    {
        const float x = static_cast<float>(imageInfo.mX);
        const float y = static_cast<float>(imageInfo.mY);
        if (imageLayer->GetX() != x)
            imageLayer->SetX(x);
        if (imageLayer->GetY() != y)
            imageLayer->SetY(y);
    }
    if (info)
        *info = imageInfo;
    *out = imageLayer;
    return BW_OK;
}

} // namespace framework
