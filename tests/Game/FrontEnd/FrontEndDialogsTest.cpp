// The game's front end as the player meets it, in the real game: the
// first-profile dialog on a first start, then on the next start the options
// dialog from the start screen with the screen-mode messages, the game cursor
// over both, the sound effects' rest while the window is inactive, and a
// device lost in full screen.

#include "Core/File/Profiles.h"
#include "Core/Lang/Lang.h"
#include "Core/Widget/FrameManager.h"
#include "Framework/GameWindow.h"
#include "Framework/SwitchScreenModeMessage.h"
#include "Game/Audio/SoundSystem.h"
#include "Game/FrontEnd/FirstProfileDialog.h"
#include "Game/FrontEnd/OptionsDialog.h"
#include "Game/FrontEnd/StartScreen.h"
#include "Platform/Audio/Audio.h"
#include "Platform/D3D9/D3D9TestHooks.h"
#include "Platform/Win32/Win32User.h"
#include "tests/Support/LogCapture.h"
#include "tests/Support/InjectedInput.h"
#include "tests/Support/PrivateDisplay.h"
#include "tests/Support/ScriptedGame.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

using bwtest::GameRun;
using bwtest::ScriptedGame;

namespace
{

struct Step
{
    std::function<void(ScriptedGame&)> act;
    std::function<bool(ScriptedGame&)> done;
};

// The run plays the steps from its third frame: each acts once, then the
// next waits until the one before has shown its effect; the run stops after
// the last. *reached counts the steps started, and the stop.
void Script(GameRun& run, std::vector<Step> steps, size_t* reached)
{
    *reached = 0;
    run.Game().mOnFrame = [steps, reached](ScriptedGame& g, int frame) {
        size_t& at = *reached;
        if (frame < 3 || at > steps.size() || (at > 0 && !steps[at - 1].done(g)))
            return;
        if (at++ == steps.size())
            g.Stop();
        else
            steps[at - 1].act(g);
    };
}

template <class T>
T* Top(ScriptedGame& game)
{
    const auto& stack = game.GetFrameManager()->GetStack();
    return stack.empty() ? nullptr : dynamic_cast<T*>(stack.back().frame);
}

// The window pixel that the layout point is converted to.
POINT ToWindow(ScriptedGame& game, float x, float y)
{
    const framework::DisplayLayout& d = game.GetDisplayLayout();
    return {static_cast<LONG>(std::lround(x / d.mScaleX - d.mOffsetX)),
            static_cast<LONG>(std::lround(y / d.mScaleY - d.mOffsetY))};
}

// The real pointer goes there too (the display's own motion events then
// agree with the test's), and clicks there when told.
void MoveMouse(ScriptedGame& game, float x, float y, bool click = false)
{
    const POINT at = ToWindow(game, x, y);
    POINT screen = at;
    HWND window = game.GetWindow()->GetHandle();
    ClientToScreen(window, &screen);
    bwtest::PushMouseMove(window, at.x, at.y);
    SetCursorPos(screen.x, screen.y);
    for (bool down : {true, false})
        if (click)
            bwtest::PushMouseButton(window, 1, down, at.x, at.y);
}

void Key(ScriptedGame& game, const char* name)
{
    bwtest::PushKey(game.GetWindow()->GetHandle(), name, true);
    bwtest::PushKey(game.GetWindow()->GetHandle(), name, false);
}

// One character per text event, as a keyboard gives them.
void Type(ScriptedGame& game, const std::vector<const char*>& characters)
{
    for (const char* character : characters)
        bwtest::PushText(game.GetWindow()->GetHandle(), character);
}

// The cursor's body, a few pixels right of and below its tip, is gold.
void ExpectCursorAt(ScriptedGame& game, float x, float y)
{
    uint32_t width = 0, height = 0;
    const std::vector<uint32_t> shot = game.ReadBackBuffer(&width, &height);
    const POINT at = ToWindow(game, x + 4, y + 12);
    ASSERT_TRUE(uint32_t(at.x) < width && uint32_t(at.y) < height);
    const uint32_t pixel = shot[size_t(at.y) * width + size_t(at.x)];
    for (int shift = 0; shift < 24; shift += 8)
        EXPECT_NEAR(int((pixel >> shift) & 255), int((0xFFCF3Au >> shift) & 255), 8) << std::hex << pixel;
}

TEST(FrontEnd, AFirstStartTakesANameThenOptionsSwitchTheModeUnderTheCursorAndSoundsRestOnlyWhileActive)
{
    // A first start plays in full screen, which needs the focus.
    if (!bwtest::UsePrivateDisplay(1366, 768))
        GTEST_SKIP() << "no private display";
    std::string saved;
    {
        GameRun run({L"--data_path", bwtest::SourceDir()});
        run.WriteProfiles("");
        const std::string file = run.UserFolder() + "profiles.xml";
        auto dialog = [](ScriptedGame& g) { return Top<FirstProfileDialog>(g); };
        int since = 0;
        size_t reached = 0;
        Script(run, {
            {[](ScriptedGame&) {}, [&](ScriptedGame& g) { return dialog(g) != nullptr; }},
            // Enter on nothing: refused with the hint.
            {[](ScriptedGame& g) { Key(g, "Return"); },
             [&](ScriptedGame& g) { return dialog(g)->GetHint() == lang::GetGuiText(L"name_empty"); }},
            {[](ScriptedGame& g) { Type(g, std::vector<const char*>(17, "a")); },
             [&](ScriptedGame& g) { return dialog(g)->GetName().size() == 17; }},
            // Seventeen characters: the hint shows at once, and Enter is refused.
            {[&](ScriptedGame& g) {
                 EXPECT_EQ(dialog(g)->GetHint(), lang::GetGuiText(L"name_long"));
                 Key(g, "Return");
                 since = g.GetFrameCalls();
             },
             [&](ScriptedGame& g) { return g.GetFrameCalls() > since + 10 && dialog(g) != nullptr; }},
            // Nothing saved; then a key at a time, as fingers press them.
            {[&](ScriptedGame&) {
                 EXPECT_TRUE(Game::GetPlayerNames().empty());
                 EXPECT_FALSE(testing_support::PathExists(file));
             },
             [&](ScriptedGame& g) {
                 if (!dialog(g)->GetName().empty())
                     Key(g, "Backspace");
                 return dialog(g)->GetName().empty();
             }},
            // The euro sign is not in the fonts: refused.
            {[](ScriptedGame& g) { Type(g, {"\xD0\xAF", "\xD0\xBD", "\xE2\x82\xAC", " ", "B", "o", "b"}); },
             [&](ScriptedGame& g) { return dialog(g)->GetName().size() == 6; }},
            {[](ScriptedGame& g) { Key(g, "Backspace"); },
             [&](ScriptedGame& g) { return dialog(g)->GetName() == L"\x042F\x043D Bo"; }},
            {[](ScriptedGame& g) { Key(g, "Return"); },
             [&](ScriptedGame& g) { return Top<StartScreen>(g) != nullptr; }},
        }, &reached);
        ASSERT_EQ(run.Run(), 0);
        ASSERT_EQ(reached, 9u);
        EXPECT_EQ(file::Profiles::Instance()->GetCurrentProfileName(), L"\x042F\x043D Bo");
        saved = testing_support::ReadFile(file);
        EXPECT_NE(saved.find("name=\"\xD0\xAF\xD0\xBD Bo\""), std::string::npos) << saved;
    }

    // The next start goes straight to the start screen (no dialog on top), in full screen.
    GameRun run({L"--data_path", bwtest::SourceDir()});
    run.WriteProfiles(saved);
    auto options = [](ScriptedGame& g) { return Top<OptionsDialog>(g); };
    auto windowed = [](ScriptedGame& g) { return g.GetWindow()->IsWindowed(); };
    // The cursor has been there for a few frames, so that the back buffer
    // shows it.
    int settled = 0, since = 0;
    auto cursorAt = [&](ScriptedGame& g, float x, float y) {
        const input::Point& p = g.GetFrameManager()->GetCursorPosition();
        settled = std::abs(p.x - x) < 2 && std::abs(p.y - y) < 2 ? settled + 1 : 0;
        return settled > 3;
    };
    float rest = -1.0f;
    int updates = 0;
    uint32_t centre = 0, w = 0, h = 0;
    testing_support::LogCapture log;
    const size_t handlersBefore = framework::SwitchScreenModeHandlers::GetCount();
    size_t reached = 0;
    Script(run, {
        {[&](ScriptedGame& g) {
             EXPECT_NE(Top<StartScreen>(g), nullptr);
             EXPECT_FALSE(windowed(g));
             MoveMouse(g, 100, 100);
         },
         [&](ScriptedGame& g) { return cursorAt(g, 100, 100); }},
        {[&](ScriptedGame& g) {
             ExpectCursorAt(g, 100, 100);
             EXPECT_FALSE(g.GetWindow()->IsSystemCursorForced()) << "the system pointer is hidden";
             MoveMouse(g, 512, 412, true);
         },
         [&](ScriptedGame& g) { return options(g) != nullptr; }},
        {[&](ScriptedGame& g) {
             EXPECT_EQ(framework::SwitchScreenModeHandlers::GetCount(), handlersBefore + 1);
             EXPECT_FALSE(options(g)->IsWindowedShown());
             MoveMouse(g, 400, 300);
             settled = 0;
         },
         [&](ScriptedGame& g) { return cursorAt(g, 400, 300); }},
        // Alt+Enter while the dialog is open reaches it.
        {[&](ScriptedGame& g) {
             ExpectCursorAt(g, 400, 300);
             bwtest::PushKey(g.GetWindow()->GetHandle(), "Left Alt", true);
             Key(g, "Return");
             bwtest::PushKey(g.GetWindow()->GetHandle(), "Left Alt", false);
         },
         [&](ScriptedGame& g) { return windowed(g) && options(g)->IsWindowedShown(); }},
        // Twice within the cooldown: one sound, at the profile's volume. The
        // window's deactivation pauses the sound and the game.
        {[&](ScriptedGame& g) {
             EXPECT_TRUE(g.PlaySound("refuse"));
             EXPECT_FALSE(g.PlaySound("refuse"));
             EXPECT_FALSE(g.PlaySound("unknown"));
             HCHANNEL channel = 0;
             EXPECT_EQ(BASS_SampleGetChannels(g.GetSounds().GetSample("refuse"), &channel), 1u);
             float volume = -1.0f;
             EXPECT_TRUE(BASS_ChannelGetAttribute(channel, BASS_ATTRIB_VOL, &volume));
             EXPECT_EQ(volume, g.GetSoundsVolume());
             bwtest::PushWindowEvent(g.GetWindow()->GetHandle(), bwtest::WindowEvent::FocusLost);
         },
         [](ScriptedGame& g) { return g.IsPaused(); }},
        {[&](ScriptedGame& g) {
             EXPECT_TRUE(SoundSystem::Instance()->IsPaused());
             rest = g.GetSounds().GetRest("refuse");
             EXPECT_GT(rest, 0.0f);
             since = g.GetFrameCalls();
         },
         [&](ScriptedGame& g) { return g.GetFrameCalls() > since + 30; }},
        // The rest stood still while paused; activation runs it out.
        {[&](ScriptedGame& g) {
             EXPECT_EQ(g.GetSounds().GetRest("refuse"), rest);
             EXPECT_FALSE(g.PlaySound("refuse"));
             bwtest::PushWindowEvent(g.GetWindow()->GetHandle(), bwtest::WindowEvent::FocusGained);
         },
         [](ScriptedGame& g) { return !g.IsPaused() && g.GetSounds().GetRest("refuse") == 0.0f; }},
        // The check box switches to full screen.
        {[&](ScriptedGame& g) {
             EXPECT_FALSE(SoundSystem::Instance()->IsPaused());
             EXPECT_TRUE(g.PlaySound("refuse"));
             MoveMouse(g, 522, 356, true);
         },
         [&](ScriptedGame& g) { return !windowed(g) && !options(g)->IsWindowedShown(); }},
        {[&](ScriptedGame& g) {
             EXPECT_EQ(options(g)->GetMessageCount(), 2);
             MoveMouse(g, 512, 472, true);
         },
         [&](ScriptedGame& g) { return Top<StartScreen>(g) != nullptr; }},
        // A lost device skips the game's updates until it is reset, then draws again.
        {[&](ScriptedGame& g) {
             centre = g.ReadBackBuffer(&w, &h)[384 * 1366 + 683];
             d3d9::test::LoseDevice();
             updates = g.GetUpdates();
             since = g.GetFrameCalls();
         },
         [&](ScriptedGame& g) { return g.GetFrameCalls() > since + 15; }},
        {[&](ScriptedGame& g) {
             EXPECT_EQ(g.GetUpdates(), updates);
             d3d9::test::AllowReset();
         },
         [&](ScriptedGame& g) { return g.GetUpdates() > updates + 2; }},
        {[&](ScriptedGame& g) { EXPECT_EQ(g.ReadBackBuffer(&w, &h)[384 * 1366 + 683], centre); },
         [](ScriptedGame&) { return true; }},
    }, &reached);
    ASSERT_EQ(run.Run(), 0);
    EXPECT_EQ(reached, 13u);
    EXPECT_NE(centre & 0xFFFFFF, 0u);
    std::wstring switches; // the steps of both switches, in order
    for (const std::wstring& message : log.Messages())
        if (message.find(L"SwitchWindowMode") != std::wstring::npos || message.find(L"mRender->") == 0 ||
            message.find(L"mWindow->") == 0)
            switches += message;
    EXPECT_EQ(switches, L"mRender->PrepareSwitchScreenMode()\nmWindow->SetWindowedSize()\nmRender->SwitchScreenMode()\n"
                        L"SwitchWindowMode(true)\nmRender->PrepareSwitchScreenMode()\nSwitchWindowMode(false)\n"
                        L"mRender->SwitchScreenMode()\n");
    bwtest::ReleaseInjectedModifiers();
    EXPECT_EQ(file::Profiles::Instance()->GetCurrentProfileName(), L"\x042F\x043D Bo");
    EXPECT_EQ(framework::SwitchScreenModeHandlers::GetCount(), handlersBefore);
}

} // namespace
