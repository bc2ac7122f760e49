#pragma once

// The dialog a new player meets first ("data/gui/profile"): the player types
// a name (any character the game's fonts hold), Backspace takes the last one
// back and Enter accepts. An accepted name becomes a profile of its own,
// selected and saved, and the dialog closes. An empty name (spaces only
// count as empty) or one longer than kMaxNameLength is refused with a hint
// under the field, and nothing is saved.

#include "Game/FrontEnd/LayoutDialog.h"

#include <string>

class FirstProfileDialog : public LayoutDialog
{
public:
    static const wchar_t* const kLayout;
    static const size_t kMaxNameLength = 16;
    // Typing stops here: the field shows a name too long to take, not an
    // endless one.
    static const size_t kMaxTypedLength = 40;
    // Engine key codes.
    static const int kKeyBackspace = 8;
    static const int kKeyReturn = 13;
    static const int kKeyKeypadEnter = 271;

    // Modal, with the keys.
    explicit FirstProfileDialog(const std::wstring& layout = kLayout);

    BWResultEnum Draw(render::Graphics* graphics) override;
    BWResultEnum OnMouseDown(const input::Point& position, uint32_t button, bool* handled) override;
    BWResultEnum OnMouseUp(const input::Point& position, uint32_t button, bool* handled) override;
    BWResultEnum OnKeyDown(int key) override;
    BWResultEnum OnChar(wchar_t character) override;

    // What the field shows, and the hint under it (empty when none).
    const std::wstring& GetName() const { return mName; }
    const std::wstring& GetHint() const { return mHint; }

    // Takes the typed name, or shows why not. 0 also when refused.
    BWResultEnum Accept();

private:
    void Refuse(const wchar_t* hintKey);

    std::wstring mName;
    std::wstring mHint;
};
