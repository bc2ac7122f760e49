#include "RenderDX9Fixture.h"

#include <cstdlib>

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

void RenderDX9PixelTest::SetUp()
{
    RenderDX9Test::SetUp();
    window = std::make_unique<SdlTestWindow>(mWidth, mHeight);
    if (!window->IsOpen())
        GTEST_SKIP() << "no OpenGL window here";
    d3d9::test::SetBackend(d3d9::test::Backend::OpenGL);
    r->SetWindowHandle(window->Handle());
    ASSERT_EQ(Init(MakeInitParam(mWidth, mHeight, true)), BW_OK);
}

void RenderDX9PixelTest::TearDown()
{
    r.reset();
    window.reset();
    RenderDX9Test::TearDown();
}

void RenderDX9PixelTest::ReadBack()
{
    ASSERT_EQ(r->EndScene(), BW_OK);
    ASSERT_EQ(r->ExecuteCommands(), BW_OK);
    UINT width = 0, height = 0;
    ASSERT_TRUE(d3d9::test::ReadRenderTarget(r->GetDevice(), nullptr, &pixels, &width, &height));
    ASSERT_EQ(width, static_cast<UINT>(mWidth));
    ASSERT_EQ(height, static_cast<UINT>(mHeight));
}

D3DCOLOR RenderDX9PixelTest::At(int x, int y) const
{
    const size_t at = static_cast<size_t>(y) * mWidth + x;
    return x >= 0 && x < mWidth && y >= 0 && at < pixels.size() ? pixels[at] : 0;
}

void RenderDX9PixelTest::ExpectNear(D3DCOLOR actual, D3DCOLOR expected, int tolerance)
{
    for (int shift = 0; shift < 32; shift += 8)
    {
        const int a = (actual >> shift) & 0xFF, e = (expected >> shift) & 0xFF;
        EXPECT_LE(std::abs(a - e), tolerance) << std::hex << "0x" << actual << " expected 0x" << expected;
    }
}

void RenderDX9PixelTest::ExpectAt(int x, int y, D3DCOLOR expected, int tolerance)
{
    SCOPED_TRACE(testing::Message() << "at " << x << "," << y);
    ExpectNear(At(x, y), expected, tolerance);
}

void RenderDX9PixelTest::ExpectPixels(std::initializer_list<Pixel> expected, int tolerance)
{
    for (const Pixel& pixel : expected)
        ExpectAt(pixel.x, pixel.y, pixel.color, tolerance);
}

void GraphicsPixelFixture::SetUp()
{
    RenderDX9PixelTest::SetUp();
    if (IsSkipped() || HasFatalFailure())
        return;
    ASSERT_TRUE(r->CanRender());
    ASSERT_EQ(r->BeginScene(), BW_OK);
    graphics = std::make_unique<render::Graphics>(r.get());
    const float black[4] = {0, 0, 0, 1};
    ASSERT_EQ(graphics->Clear(render::ClearColor, black, 1.0f, 0), BW_OK);
}

void GraphicsPixelFixture::TearDown()
{
    graphics.reset();
    RenderDX9PixelTest::TearDown();
}

void GraphicsPixelFixture::Finish()
{
    graphics->Flush();
    ReadBack();
}

} // namespace bwtest
