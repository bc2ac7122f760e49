#pragma once

// The game's first screen: the start layout ("data/gui/start", a layer folder
// or a PSD) with its one working button, Options, which opens the options
// dialog.

#include "Game/FrontEnd/LayoutDialog.h"

#include <string>

class StartScreen : public LayoutDialog
{
public:
    static const wchar_t* const kLayout;
    static const wchar_t* const kOptionsButton;

    explicit StartScreen(const std::wstring& layout = kLayout);

    // A press on the button shows it pressed; the release over it opens the
    // dialog.
    BWResultEnum OnMouseDown(const input::Point& position, uint32_t button, bool* handled) override;
    BWResultEnum OnMouseUp(const input::Point& position, uint32_t button, bool* handled) override;

private:
    bool mOptionsPressed = false;
};
