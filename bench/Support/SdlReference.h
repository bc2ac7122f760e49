#pragma once

// SDL2's own renderer in a hidden window: the reference the engine's drawing
// is measured against.

struct SDL_Renderer;
struct SDL_Window;

namespace bwbench
{

class SdlReference
{
public:
    SdlReference(int width, int height);
    ~SdlReference();

    SdlReference(const SdlReference&) = delete;
    SdlReference& operator=(const SdlReference&) = delete;

    // Null when SDL could not make one.
    SDL_Renderer* Renderer() const { return mRenderer; }
    // The SDL driver behind it ("opengl", "software", ...).
    const char* Name() const { return mName; }

private:
    SDL_Window* mWindow = nullptr;
    SDL_Renderer* mRenderer = nullptr;
    const char* mName = "";
};

} // namespace bwbench
