#pragma once

// The options dialog ("data/gui/options"): shows whether the game plays in a
// window, switches between window and full screen, and closes. While it
// exists it hears of every switch that changed the mode (also Alt+Enter), so
// what it shows is always the window's state; the profile keeps the mode.

#include "Game/FrontEnd/LayoutDialog.h"

namespace framework
{
struct SwitchScreenModeMessage;
}

class OptionsDialog : public LayoutDialog
{
public:
    static const wchar_t* const kLayout;
    static const wchar_t* const kWindowedBox;
    static const wchar_t* const kCloseButton;

    // Modal; subscribes to the screen-mode messages.
    explicit OptionsDialog(const std::wstring& layout = kLayout);
    // Unsubscribes.
    ~OptionsDialog() override;

    // Reads the window's mode.
    BWResultEnum Load() override;
    BWResultEnum Draw(render::Graphics* graphics) override;
    BWResultEnum OnMouseDown(const input::Point& position, uint32_t button, bool* handled) override;
    // Over the windowed box: asks for the switch; over the close button:
    // closes.
    BWResultEnum OnMouseUp(const input::Point& position, uint32_t button, bool* handled) override;

    void OnSwitchScreenMode(const framework::SwitchScreenModeMessage& message);
    bool IsWindowedShown() const { return mWindowed; }
    // Messages heard since the dialog was made.
    int GetMessageCount() const { return mMessages; }

private:
    void ShowWindowed(bool windowed);

    bool mWindowed = true;
    int mMessages = 0;
    const wchar_t* mPressed = nullptr;
};
