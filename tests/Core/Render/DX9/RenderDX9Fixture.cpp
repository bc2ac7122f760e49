#include "RenderDX9Fixture.h"

#include "Platform/Win32/SdlGlue.h"

#include <SDL.h>

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

SdlTestWindow::~SdlTestWindow()
{
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
