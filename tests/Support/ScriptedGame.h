#pragma once

// The real game, run in the test's own process with a script called at every
// frame of its window (before the frame), so that a test can press keys, lose
// the device, read pixels back and end the run when it has seen enough.
//
//   bwtest::GameRun run({L"--data_path", bwtest::SourceDir()});
//   run.Game().mOnFrame = [&](bwtest::ScriptedGame& game, int frame) {
//       if (game.GetPresentedFrames() == 1) game.Stop();
//   };
//   EXPECT_EQ(run.Run(), 0);

#include "Game/FrontEnd/Game.h"
#include "tests/Support/TempFolder.h"

#include <chrono>
#include <functional>
#include <string>
#include <vector>

struct IDirect3DDevice9;

namespace bwtest
{

class ScriptedGame : public ::Game
{
public:
    // Runs before each frame the window asks for (also while the device is
    // lost); frame counts from 1.
    std::function<void(ScriptedGame&, int frame)> mOnFrame;
    // Run before the game's own step; a failure ends the step. The caption
    // gets the process id, so that games of tests running at the same time do
    // not take each other for a second copy.
    std::function<BWResultEnum()> mOnInitData;
    std::function<BWResultEnum()> mOnInitGame;

    BWResultEnum InitData() override;
    BWResultEnum InitGame() override;
    BWResultEnum Update(float dt) override;
    BWResultEnum Frame(float dt) override;

    int GetFrameCalls() const { return mFrameCalls; }
    int GetUpdates() const { return mUpdates; }
    // Frames that got as far as the present.
    int GetPresentedFrames() const { return mPresented; }

    IDirect3DDevice9* GetDevice() const;
    // The back buffer as D3DCOLOR words, row 0 at the top; empty when it
    // cannot be read.
    std::vector<uint32_t> ReadBackBuffer(uint32_t* width, uint32_t* height) const;

private:
    int mFrameCalls = 0;
    int mUpdates = 0;
    int mPresented = 0;
    std::chrono::steady_clock::time_point mStartTime;
};

// One run of the game in this process: a user folder of its own (through
// XDG_DATA_HOME), the game as the application singleton, and the entry's
// steps (InitApplication, RunApplication). The game is deleted with the run.
class GameRun
{
public:
    // The user folder starts with a profile that plays in a window.
    explicit GameRun(std::vector<std::wstring> arguments);
    ~GameRun();
    GameRun(const GameRun&) = delete;
    GameRun& operator=(const GameRun&) = delete;

    ScriptedGame& Game() { return *mGame; }
    // The user folder the game writes in ("<XDG_DATA_HOME>/Brightwork/Orvane/").
    std::string UserFolder() const;
    // Writes "profiles.xml" with one profile whose window mode is given.
    void SeedProfile(bool windowed) const;
    // Replaces "profiles.xml"; an empty text removes it.
    void WriteProfiles(const std::string& xml) const;
    // The process's exit code as the entry would return it.
    int Run();

private:
    testing_support::TempFolder mHome;
    std::vector<std::wstring> mArguments;
    ScriptedGame* mGame;
};

// The repository root: its "data/" is the bundled game data.
std::wstring SourceDir();

} // namespace bwtest
