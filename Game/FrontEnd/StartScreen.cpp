#include "Game/FrontEnd/StartScreen.h"

#include "Game/FrontEnd/Game.h"
#include "Game/FrontEnd/OptionsDialog.h"

const wchar_t* const StartScreen::kLayout = L"data/gui/start";
const wchar_t* const StartScreen::kOptionsButton = L"start/menu/options";

namespace
{

const uint32_t kLeftButton = 1;

} // namespace

StartScreen::StartScreen(const std::wstring& layout) : LayoutDialog(layout) {}

BWResultEnum StartScreen::OnMouseDown(const input::Point& position, uint32_t button, bool* handled)
{
    if (BWResultEnum result = LayoutDialog::OnMouseDown(position, button, handled))
        return result;
    if (button == kLeftButton && IsInside(std::wstring(kOptionsButton) + L"/out", position))
    {
        mOptionsPressed = true;
        ShowPressed(kOptionsButton, true);
        *handled = true;
    }
    return BW_OK;
}

BWResultEnum StartScreen::OnMouseUp(const input::Point& position, uint32_t button, bool* handled)
{
    if (BWResultEnum result = LayoutDialog::OnMouseUp(position, button, handled))
        return result;
    if (button != kLeftButton || !mOptionsPressed)
        return BW_OK;
    mOptionsPressed = false;
    ShowPressed(kOptionsButton, false);
    if (!IsInside(std::wstring(kOptionsButton) + L"/out", position) || !gGame)
        return BW_OK;
    *handled = true;
    gGame->PlaySound("click");
    return gGame->OpenDialog(new (std::nothrow) OptionsDialog);
}
