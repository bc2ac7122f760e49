#include "Game/FrontEnd/OptionsDialog.h"

#include "Core/File/Profiles.h"
#include "Core/Lang/Lang.h"
#include "Core/Layer/ImageLayer.h"
#include "Core/Widget/FrameManager.h"
#include "Framework/GameWindow.h"
#include "Framework/SwitchScreenModeMessage.h"
#include "Game/FrontEnd/Game.h"
#include "Game/Play/GameProfile.h"

const wchar_t* const OptionsDialog::kLayout = L"data/gui/options";
const wchar_t* const OptionsDialog::kWindowedBox = L"options/windowed|box";
const wchar_t* const OptionsDialog::kCloseButton = L"options/close";

namespace
{

const uint32_t kLeftButton = 1;
const float kTitleColor[4] = {1.0f, 0.81f, 0.23f, 1.0f};
const float kTextColor[4] = {1.0f, 1.0f, 1.0f, 1.0f};

std::wstring CloseArea()
{
    return std::wstring(OptionsDialog::kCloseButton) + L"/out";
}

} // namespace

OptionsDialog::OptionsDialog(const std::wstring& layout) : LayoutDialog(layout)
{
    SetModal(true);
    framework::SwitchScreenModeHandlers::Subscribe(
        this, new base::MemberDelegate1<OptionsDialog, const framework::SwitchScreenModeMessage&>(
                  this, &OptionsDialog::OnSwitchScreenMode));
}

OptionsDialog::~OptionsDialog()
{
    framework::SwitchScreenModeHandlers::Unsubscribe(this);
}

BWResultEnum OptionsDialog::Load()
{
    if (BWResultEnum result = LayoutDialog::Load())
        return result;
    framework::GameApplication* application = framework::gGameApplication;
    framework::GameWindow* window = application ? application->GetWindow() : nullptr;
    ShowWindowed(window ? window->IsWindowed() : application && application->GetWindowedPreference());
    return BW_OK;
}

void OptionsDialog::ShowWindowed(bool windowed)
{
    mWindowed = windowed;
    if (layer::ImageLayer* on = FindPicture(L"options/check/on"))
        on->SetVisible(windowed);
    if (layer::ImageLayer* off = FindPicture(L"options/check/off"))
        off->SetVisible(!windowed);
}

void OptionsDialog::OnSwitchScreenMode(const framework::SwitchScreenModeMessage& message)
{
    ++mMessages;
    ShowWindowed(message.mWindowed);
    // The next start opens in the mode the player chose.
    GameProfile(file::Profiles::Instance()).SetWindowed(message.mWindowed);
}

BWResultEnum OptionsDialog::Draw(render::Graphics* graphics)
{
    if (BWResultEnum result = LayoutDialog::Draw(graphics))
        return result;
    if (!IsVisible())
        return BW_OK;
    float rect[4];
    if (GetRect(L"options/title|box", rect))
    {
        if (BWResultEnum result = DrawText(graphics, 2, lang::GetGuiText(L"options"), rect, kTitleColor))
            return result;
    }
    if (GetRect(L"options/label|box", rect))
    {
        if (BWResultEnum result = DrawText(graphics, 1, lang::GetGuiText(L"windowed"), rect, kTextColor))
            return result;
    }
    if (GetRect(CloseArea(), rect))
        return DrawText(graphics, 1, lang::GetGuiText(L"close"), rect, kTextColor);
    return BW_OK;
}

BWResultEnum OptionsDialog::OnMouseDown(const input::Point& position, uint32_t button, bool* handled)
{
    if (BWResultEnum result = LayoutDialog::OnMouseDown(position, button, handled))
        return result;
    if (button != kLeftButton)
        return BW_OK;
    if (IsInside(kWindowedBox, position))
        mPressed = kWindowedBox;
    else if (IsInside(CloseArea(), position))
    {
        mPressed = kCloseButton;
        ShowPressed(kCloseButton, true);
    }
    // Modal: nothing below sees the press.
    *handled = true;
    return BW_OK;
}

BWResultEnum OptionsDialog::OnMouseUp(const input::Point& position, uint32_t button, bool* handled)
{
    if (BWResultEnum result = LayoutDialog::OnMouseUp(position, button, handled))
        return result;
    *handled = true;
    if (button != kLeftButton || !mPressed)
        return BW_OK;
    const wchar_t* pressed = mPressed;
    mPressed = nullptr;
    ShowPressed(kCloseButton, false);
    framework::GameApplication* application = framework::gGameApplication;
    if (pressed == kWindowedBox && IsInside(kWindowedBox, position))
    {
        if (gGame)
            gGame->PlaySound("click");
        if (application && application->GetWindow())
            application->GetWindow()->RequestSwitch();
    }
    else if (pressed == kCloseButton && IsInside(CloseArea(), position))
    {
        if (gGame)
            gGame->PlaySound("click");
        if (widget::FrameManager* manager = GetManager())
            return manager->RemoveFrame(this, true, true);
    }
    return BW_OK;
}
