// The real game on the bundled data, in this process: the time from the
// application's start-up to its first presented frame, and the steady time
// of a frame of the first screen. Needs a display (run under xvfb-run).
//
// Counters: startup_ms (start-up, window and device included, to the end of
// the first present); frame_ms (one frame: message pumps, updates, drawing,
// present).

#include "Core/File/Profiles.h"
#include "Game/FrontEnd/Game.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

// Counts the frames that got as far as the present.
class BenchGame : public Game
{
public:
    BWResultEnum Frame(float dt) override
    {
        BWResultEnum result = Game::Frame(dt);
        if (result == BW_OK && GetRender() && GetRender()->CanRender())
            ++mPresented;
        return result;
    }
    int mPresented = 0;
};

BenchGame* gGame = nullptr;

// One pass of the frame loop: the application task and, below it, the window,
// whose update is the frame. (The game's own Update is its part of a frame.)
void RunLoopPass(BenchGame* game)
{
    game->base::Task::Update(0.016f);
}
double gStartupMs = 0.0;

// A user folder of its own with a player who plays in a window.
void PrepareUserFolder()
{
    char pattern[] = "/tmp/bw-bench-XXXXXX";
    const char* home = mkdtemp(pattern);
    if (!home)
        return;
    setenv("XDG_DATA_HOME", home, 1);
    const std::string folder = std::string(home) + "/Brightwork";
    mkdir(folder.c_str(), 0755);
    mkdir((folder + "/Orvane").c_str(), 0755);
    std::ofstream(folder + "/Orvane/profiles.xml")
        << "<?xml version=\"1.0\"?><Profiles currentProfile=\"Bench\"><Profile name=\"Bench\">"
           "<GameProfile is_windowed=\"1\"/></Profile></Profiles>";
}

// Starts the game once per process and runs it to its first presented frame.
BenchGame* StartedGame()
{
    if (gGame)
        return gGame;
    PrepareUserFolder();
    auto start = std::chrono::steady_clock::now();
    gGame = new BenchGame;
    base::Singletone<app::Application>::SetInstance(gGame);
    std::string source = BW_SOURCE_DIR;
    gGame->SetArguments({L"--data_path", std::wstring(source.begin(), source.end())});
    if (gGame->InitApplication() != BW_OK || gGame->Start() != BW_OK)
        return gGame;
    while (gGame->mPresented == 0 && !gGame->IsStopRequested())
        RunLoopPass(gGame);
    gStartupMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    return gGame;
}

void BM_StartUpToFirstFrame(benchmark::State& state)
{
    BenchGame* game = nullptr;
    for (auto _ : state)
        game = StartedGame();
    if (!game || game->mPresented == 0)
    {
        state.SkipWithError("the game did not start (no display?)");
        return;
    }
    state.counters["startup_ms"] = gStartupMs;
}
BENCHMARK(BM_StartUpToFirstFrame)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_FirstScreenFrame(benchmark::State& state)
{
    BenchGame* game = StartedGame();
    if (!game || game->mPresented == 0)
    {
        state.SkipWithError("the game did not start (no display?)");
        return;
    }
    const int before = game->mPresented;
    auto start = std::chrono::steady_clock::now();
    for (auto _ : state)
        RunLoopPass(game);
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    const int frames = game->mPresented - before;
    if (frames > 0)
        state.counters["frame_ms"] = ms / frames;
    state.SetLabel(std::to_string(frames) + " frames presented");
}
BENCHMARK(BM_FirstScreenFrame)->Unit(benchmark::kMillisecond);

} // namespace
