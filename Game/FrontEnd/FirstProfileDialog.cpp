#include "Game/FrontEnd/FirstProfileDialog.h"

#include "Core/Base/Log.h"
#include "Core/File/Profiles.h"
#include "Core/Lang/Lang.h"
#include "Core/Render/BMFont.h"
#include "Core/Widget/FrameManager.h"
#include "Game/FrontEnd/Game.h"

const wchar_t* const FirstProfileDialog::kLayout = L"data/gui/profile";

namespace
{

const float kTitleColor[4] = {1.0f, 0.81f, 0.23f, 1.0f};
const float kNameColor[4] = {1.0f, 1.0f, 1.0f, 1.0f};
const float kHintColor[4] = {1.0f, 0.45f, 0.4f, 1.0f};

// The fonts the dialog draws the name with.
const size_t kNameFont = 1;

std::wstring Trim(const std::wstring& text)
{
    const size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos)
        return std::wstring();
    return text.substr(first, text.find_last_not_of(L' ') - first + 1);
}

} // namespace

FirstProfileDialog::FirstProfileDialog(const std::wstring& layout) : LayoutDialog(layout)
{
    SetModal(true);
}

BWResultEnum FirstProfileDialog::Draw(render::Graphics* graphics)
{
    if (BWResultEnum result = LayoutDialog::Draw(graphics))
        return result;
    if (!IsVisible())
        return BW_OK;
    float rect[4];
    if (GetRect(L"profile/title|box", rect))
    {
        if (BWResultEnum result = DrawText(graphics, 2, lang::GetGuiText(L"first_profile"), rect, kTitleColor))
            return result;
    }
    if (GetRect(L"profile/name|box", rect))
    {
        // A caret after the name shows where typing goes.
        if (BWResultEnum result = DrawText(graphics, kNameFont, mName + L"_", rect, kNameColor))
            return result;
    }
    if (GetRect(L"profile/hint|box", rect))
        return DrawText(graphics, 0, mHint, rect, kHintColor);
    return BW_OK;
}

BWResultEnum FirstProfileDialog::OnMouseDown(const input::Point& position, uint32_t button, bool* handled)
{
    BWResultEnum result = LayoutDialog::OnMouseDown(position, button, handled);
    *handled = true;
    return result;
}

BWResultEnum FirstProfileDialog::OnMouseUp(const input::Point& position, uint32_t button, bool* handled)
{
    BWResultEnum result = LayoutDialog::OnMouseUp(position, button, handled);
    *handled = true;
    return result;
}

BWResultEnum FirstProfileDialog::OnKeyDown(int key)
{
    if (key == kKeyBackspace)
    {
        if (!mName.empty())
            mName.pop_back();
        // The hint said what was wrong with the old name.
        if (mName.size() <= kMaxNameLength)
            mHint.clear();
        return BW_OK;
    }
    if (key == kKeyReturn || key == kKeyKeypadEnter)
        return Accept();
    return BW_OK;
}

BWResultEnum FirstProfileDialog::OnChar(wchar_t character)
{
    // Control characters (Backspace, Enter, Escape) come as keys too.
    if (character < 0x20 || character == 0x7F)
        return BW_OK;
    render::BMFont* font = gGame ? gGame->GetFont(kNameFont) : nullptr;
    if (!font || !font->HasChar(static_cast<uint32_t>(character)) || mName.size() >= kMaxTypedLength)
    {
        if (gGame)
            gGame->PlaySound("refuse");
        return BW_OK;
    }
    mName.push_back(character);
    if (gGame)
        gGame->PlaySound("type");
    if (mName.size() > kMaxNameLength)
        mHint = lang::GetGuiText(L"name_long");
    return BW_OK;
}

void FirstProfileDialog::Refuse(const wchar_t* hintKey)
{
    mHint = lang::GetGuiText(hintKey);
    if (gGame)
        gGame->PlaySound("refuse");
}

BWResultEnum FirstProfileDialog::Accept()
{
    const std::wstring name = Trim(mName);
    if (name.empty())
    {
        Refuse(L"name_empty");
        return BW_OK;
    }
    if (name.size() > kMaxNameLength)
    {
        Refuse(L"name_long");
        return BW_OK;
    }
    file::Profiles* profiles = file::Profiles::Instance();
    if (!profiles)
        return BW_FAIL;
    profiles->SetCurrentProfile(name);
    if (profiles->GetCurrentProfileName() != name)
    {
        Refuse(L"name_bad");
        return BW_OK;
    }
    if (profiles->Save())
    {
        BW_LOG(L"The new profile '%s' could not be saved.\n") % name;
        Refuse(L"name_unsaved");
        return BW_OK;
    }
    if (gGame)
        gGame->PlaySound("click");
    widget::FrameManager* manager = GetManager();
    return manager ? manager->RemoveFrame(this, true, true) : BW_OK;
}
