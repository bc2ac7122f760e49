#include "SdlReference.h"

#include "Platform/Win32/SdlGlue.h"

#include <SDL.h>

namespace bwbench
{

SdlReference::SdlReference(int width, int height)
{
    if (!win32::EnsureSdl(SDL_INIT_VIDEO))
        return;
    mWindow = SDL_CreateWindow("bench", 0, 0, width, height, SDL_WINDOW_HIDDEN);
    if (mWindow)
        mRenderer = SDL_CreateRenderer(mWindow, -1, SDL_RENDERER_ACCELERATED);
    SDL_RendererInfo info;
    if (mRenderer && SDL_GetRendererInfo(mRenderer, &info) == 0)
        mName = info.name;
}

SdlReference::~SdlReference()
{
    if (mRenderer)
        SDL_DestroyRenderer(mRenderer);
    if (mWindow)
        SDL_DestroyWindow(mWindow);
}

} // namespace bwbench
