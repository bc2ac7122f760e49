#include "Platform/Win32/SdlGlue.h"

#include <SDL.h>
#include <gtest/gtest.h>

TEST(SdlGlue, HandlesResolveUntilDetachedAndAreNeverReused)
{
    ASSERT_TRUE(win32::EnsureSdl(SDL_INIT_VIDEO)) << SDL_GetError();
    SDL_Window* window = SDL_CreateWindow("glue", 0, 0, 64, 64, SDL_WINDOW_HIDDEN | SDL_WINDOW_OPENGL);
    ASSERT_NE(window, nullptr) << SDL_GetError();

    HWND first = win32::AttachSdlWindow(window);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(win32::SdlWindowFromHwnd(first), window);
    EXPECT_EQ(win32::HwndFromSdlWindow(window), first);

    win32::DetachSdlWindow(first);
    EXPECT_EQ(win32::SdlWindowFromHwnd(first), nullptr);
    HWND second = win32::AttachSdlWindow(window);
    EXPECT_NE(second, first);
    win32::DetachSdlWindow(second);
    EXPECT_EQ(win32::SdlWindowFromHwnd(nullptr), nullptr);

    SDL_DestroyWindow(window);
}
