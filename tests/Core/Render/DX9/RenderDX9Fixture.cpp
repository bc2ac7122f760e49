#include "RenderDX9Fixture.h"

#include "Platform/Win32/SdlGlue.h"

#include <SDL.h>
#include <dlfcn.h>

#include <cstdio>
#include <cstring>

namespace bwtest
{

render::RenderInitParam MakeInitParam(uint32_t width, uint32_t height, bool windowed)
{
    render::RenderInitParam param;
    param.mWidth = width;
    param.mHeight = height;
    param.mWindowed = windowed ? 1 : 0;
    param.mOrthoFromSize = 1;
    return param;
}

SdlTestWindow::SdlTestWindow(int width, int height)
{
    if (!win32::EnsureSdl(SDL_INIT_VIDEO))
        return;
    mWindow = SDL_CreateWindow("render test", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width, height,
                               SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (mWindow)
        mHandle = win32::AttachSdlWindow(mWindow);
}

namespace
{

// SDL is shut down at exit, after the singletons, and takes the OpenGL driver
// with it; the leak checker that runs after that can no longer name the
// driver's own leftovers (and so cannot suppress them). Every shared object
// loaded now gets one more reference, so that it stays mapped to the end.
void KeepLoadedLibrariesMapped()
{
    FILE* maps = std::fopen("/proc/self/maps", "r");
    if (!maps)
        return;
    char line[4096];
    while (std::fgets(line, sizeof line, maps))
    {
        char* path = std::strchr(line, '/');
        if (!path)
            continue;
        path[std::strcspn(path, "\n")] = '\0';
        if (std::strstr(path, ".so"))
            dlopen(path, RTLD_NOW | RTLD_NOLOAD);
    }
    std::fclose(maps);
}

} // namespace

SdlTestWindow::~SdlTestWindow()
{
    KeepLoadedLibrariesMapped();
    if (mHandle)
        win32::DetachSdlWindow(mHandle);
    if (mWindow)
        SDL_DestroyWindow(mWindow);
}

void RenderDX9Test::SetUp()
{
    d3d9::test::SetBackend(d3d9::test::Backend::Null);
    mLog.Clear();
    r = std::make_unique<TestRenderDX9>();
}

void RenderDX9Test::TearDown()
{
    r.reset();
    EXPECT_EQ(d3d9::test::LiveDevices(), 0u) << "the renderer leaked its device";
}

BWResultEnum RenderDX9Test::Init(const render::RenderInitParam& param)
{
    return r->InitRender(nullptr, param);
}

std::vector<std::string> RenderDX9Test::Calls(const std::vector<d3d9::test::Call>& only)
{
    return d3d9::test::CallLogLines(only);
}

} // namespace bwtest
