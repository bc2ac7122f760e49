#pragma once

// The game's application object: the engine's game application with the
// game's sizes, folders, data and first screen.

#include "Core/Resource/ResourceHandle.h"
#include "Framework/GameApplication.h"
#include "Game/Audio/SoundRegistry.h"

#include <cstddef>
#include <string>
#include <vector>

namespace render
{
class BMFont;
}

class LayoutDialog;

class Game : public framework::GameApplication
{
public:
    // The game's fonts, from small to large.
    static const size_t kFontCount = 3;
    static const wchar_t* const kCursorImage;

    Game();
    // The particle atlases go while the renderer is still there.
    ~Game() override;

    // The application accessor's factory; null when the allocation fails.
    static app::Application* CreateInstance();

    // Mounts the pack, loads the language table, takes the caption and the
    // window mode of the current profile.
    BWResultEnum InitResources();
    BWResultEnum InitData() override;
    // The fonts, the particle effects, the sound effects, the profile's
    // volumes, the cursor and the first screen (with the first-profile dialog
    // over it while no player has a name); the first that fails ends
    // start-up with its code.
    BWResultEnum InitGame() override;
    // The game's part of a frame: the sound effects rest, unless the game is
    // paused.
    BWResultEnum Update(float dt) override;
    BWResultEnum Frame(float dt) override;
    // The window came to the front or went away: sound and game go on or stop.
    void OnActivate() override;
    void OnDeactivate() override;

    // Loads the dialog and shows it over everything, with the keys. A dialog
    // that cannot be loaded is deleted and its error returned.
    BWResultEnum OpenDialog(LayoutDialog* dialog);
    // The named sound effect, unless it is resting; false when it did not play.
    bool PlaySound(const std::string& name);
    SoundRegistry& GetSounds() { return mSounds; }
    // The profiles that players named (the placeholder left out).
    static std::vector<std::wstring> GetPlayerNames();

    bool IsPaused() const { return mPaused; }
    void SetPaused(bool paused) { mPaused = paused; }

    // Null until start-up has loaded it, and past the last font.
    render::BMFont* GetFont(size_t index) const;
    // The profile's volume for sound effects, 0 to 1.
    float GetSoundsVolume() const { return mSoundsVolume; }

private:
    BWResultEnum LoadParticles();
    BWResultEnum LoadSounds();
    BWResultEnum SetUpCursor();

    bool mPaused = false;
    SoundRegistry mSounds;
    resource::ResourceHandle mFonts[kFontCount];
    float mSoundsVolume = 0.5f;
};

// The game, set by its constructor.
extern Game* gGame;
