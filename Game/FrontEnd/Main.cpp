#include <cstdio>

// Process entry. The game's start-up is not wired yet; this program only
// reports what the build holds so that the run command has something to run.
int main()
{
    std::printf("Brightwork engine: the game does not start yet.\n"
                "This build holds the engine libraries and their tests; run scripts/run-tests.sh.\n");
    return 0;
}
