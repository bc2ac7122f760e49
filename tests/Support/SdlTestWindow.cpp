#include "SdlTestWindow.h"

#include "Platform/Win32/SdlGlue.h"

#include <SDL.h>

namespace bwtest
{

SdlTestWindow::SdlTestWindow(int width, int height)
{
    if (!win32::EnsureSdl(SDL_INIT_VIDEO))
        return;
    mWindow = win32::CreateGlWindow("test", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width, height,
                                    SDL_WINDOW_HIDDEN);
    if (mWindow)
        mHandle = win32::AttachSdlWindow(mWindow);
}

SdlTestWindow::~SdlTestWindow()
{
    if (mHandle)
        win32::DetachSdlWindow(mHandle);
    if (mWindow)
        SDL_DestroyWindow(mWindow);
}

} // namespace bwtest
