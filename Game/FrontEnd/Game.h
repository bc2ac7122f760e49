#pragma once

// The game's application object: the engine's game application with the
// game's sizes, folders, data and first screen.

#include "Core/Resource/ResourceHandle.h"
#include "Framework/GameApplication.h"

#include <cstddef>

namespace render
{
class BMFont;
}

class Game : public framework::GameApplication
{
public:
    // The game's fonts, from small to large.
    static const size_t kFontCount = 3;

    Game();
    // The particle atlases go while the renderer is still there.
    ~Game() override;

    // The application accessor's factory; null when the allocation fails.
    static app::Application* CreateInstance();

    // Mounts the pack, loads the language table, takes the caption and the
    // window mode of the current profile.
    BWResultEnum InitResources();
    BWResultEnum InitData() override;
    // The fonts, the particle effects, the profile's volumes and the first
    // screen; the first that fails ends start-up with its code.
    BWResultEnum InitGame() override;
    // The game's part of a frame: nothing moves while the game is paused.
    BWResultEnum Update(float dt) override;
    BWResultEnum Frame(float dt) override;
    // The window came to the front or went away: sound goes on or stops.
    void OnActivate() override;
    void OnDeactivate() override;

    bool IsPaused() const { return mPaused; }
    void SetPaused(bool paused) { mPaused = paused; }

    // Null until start-up has loaded it, and past the last font.
    render::BMFont* GetFont(size_t index) const;
    // The profile's volume for sound effects, 0 to 1.
    float GetSoundsVolume() const { return mSoundsVolume; }

private:
    BWResultEnum LoadParticles();

    bool mPaused = false;
    resource::ResourceHandle mFonts[kFontCount];
    float mSoundsVolume = 0.5f;
};

// The game, set by its constructor.
extern Game* gGame;
