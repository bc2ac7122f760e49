#include "BenchWindow.h"

#include "Platform/Win32/SdlGlue.h"

#include <SDL.h>

namespace bwbench
{

BenchWindow::BenchWindow(int width, int height)
{
    if (!win32::EnsureSdl(SDL_INIT_VIDEO))
        return;
    mWindow = win32::CreateGlWindow("bench", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width, height,
                                    SDL_WINDOW_HIDDEN);
    if (mWindow)
        mHandle = win32::AttachSdlWindow(mWindow);
}

BenchWindow::~BenchWindow()
{
    if (mHandle)
        win32::DetachSdlWindow(mHandle);
    if (mWindow)
        SDL_DestroyWindow(mWindow);
}

} // namespace bwbench
