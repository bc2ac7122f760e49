#pragma once

// The game's application object: the engine's game application with the
// game's sizes, folders, data and first screen.

#include "Framework/GameApplication.h"

class Game : public framework::GameApplication
{
public:
    Game();
    ~Game() override;

    // The application accessor's factory; null when the allocation fails.
    static app::Application* CreateInstance();

    // Mounts the pack, loads the language table, takes the caption and the
    // window mode of the current profile.
    BWResultEnum InitResources();
    BWResultEnum InitData() override;
    // The profile's music volume and the first screen.
    BWResultEnum InitGame() override;
    // The game's part of a frame: nothing moves while the game is paused.
    BWResultEnum Update(float dt) override;
    BWResultEnum Frame(float dt) override;
    // The window came to the front or went away: sound goes on or stops.
    void OnActivate() override;
    void OnDeactivate() override;

    bool IsPaused() const { return mPaused; }
    void SetPaused(bool paused) { mPaused = paused; }

private:
    bool mPaused = false;
};

// The game, set by its constructor.
extern Game* gGame;
