#include "BenchRenderer.h"

#include "Platform/D3D9/D3D9TestHooks.h"

namespace bwbench
{
namespace
{

class WindowRender : public render::RenderDX9
{
public:
    explicit WindowRender(HWND window) { mWindowHandle = window; }
};

} // namespace

bool BenchRenderer::Open(bool gl, uint32_t width, uint32_t height, std::string* error)
{
    Close();
    if (gl)
    {
        mWindow = std::make_unique<BenchWindow>(static_cast<int>(width), static_cast<int>(height));
        if (!mWindow->IsOpen())
        {
            *error = "no OpenGL window (run under Xvfb)";
            return false;
        }
    }
    d3d9::test::SetBackend(gl ? d3d9::test::Backend::OpenGL : d3d9::test::Backend::Null);
    mRender = std::make_unique<WindowRender>(mWindow ? mWindow->Handle() : nullptr);
    render::RenderInitParam param;
    param.mWidth = width;
    param.mHeight = height;
    param.mWindowed = 1;
    if (mRender->InitRender(nullptr, param) != BW_OK)
    {
        *error = "InitRender failed";
        return false;
    }
    return true;
}

void BenchRenderer::Close()
{
    mRender.reset();
    mWindow.reset();
    d3d9::test::ResetHooks();
}

} // namespace bwbench
