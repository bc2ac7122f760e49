#pragma once

// A Direct3D 9 renderer over our layer's null (or OpenGL) back end, with the
// window's state, the sleeps of the loss protocol and the failure report
// under the test's control.

#include "Core/Base/MemoryStream.h"
#include "Core/Render/DX9/RenderDX9.h"
#include "Core/Render/DX9/TextureDX9.h"
#include "Core/Render/Graphics.h"
#include "Core/Render/ImageData.h"
#include "Core/Render/ImageLoader.h"
#include "Core/Render/ImageRect.h"
#include "Core/Render/Texture.h"
#include "Platform/D3D9/D3D9TestHooks.h"
#include "tests/Support/ImageFiles.h"
#include "tests/Support/LogCapture.h"
#include "tests/Support/SdlTestWindow.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace bwtest
{

class TestRenderDX9 : public render::RenderDX9
{
public:
    using render::RenderDX9::WindowState;

    void SetWindowHandle(HWND handle) { mWindowHandle = handle; }

    WindowState mWindowState;
    int mSleeps = 0;
    int mFailureReports = 0;

protected:
    WindowState QueryWindowState() const override { return mWindowState; }
    void ReportUnsupportedShaders() override { ++mFailureReports; }
    void SleepWhileLost() override { ++mSleeps; }
};

inline render::RenderInitParam MakeInitParam(uint32_t width = 64, uint32_t height = 48, bool windowed = true)
{
    render::RenderInitParam param;
    param.mWidth = width;
    param.mHeight = height;
    param.mWindowed = windowed ? 1 : 0;
    param.mOrthoFromSize = 1;
    return param;
}

class RenderDX9Test : public testing::Test
{
protected:
    void SetUp() override
    {
        d3d9::test::SetBackend(d3d9::test::Backend::Null);
        mLog.Clear();
        r = std::make_unique<TestRenderDX9>();
    }

    void TearDown() override
    {
        mTextures.clear();
        r.reset();
        EXPECT_EQ(d3d9::test::LiveDevices(), 0u) << "the renderer leaked its device";
    }

    // InitRender on the null back end.
    BWResultEnum Init(const render::RenderInitParam& param = MakeInitParam()) { return r->InitRender(nullptr, param); }
    // Call-log lines of the given calls since the log was last cleared.
    std::vector<std::string> Calls(const std::vector<d3d9::test::Call>& only) { return d3d9::test::CallLogLines(only); }

    // A texture of the renderer's, deleted before it.
    render::TextureDX9* NewTexture()
    {
        render::Texture* texture = nullptr;
        EXPECT_EQ(r->CreateTexture(&texture), BW_OK);
        mTextures.emplace_back(texture);
        return static_cast<render::TextureDX9*>(texture);
    }

    // Loads a file's bytes into a texture.
    BWResultEnum LoadInto(render::Texture* texture, const std::vector<uint8_t>& bytes, const wchar_t* extension)
    {
        base::MemoryStream stream(bytes.data(), static_cast<uint32_t>(bytes.size()));
        std::unique_ptr<render::ImageData> image(
            render::ImageLoader::Instance()->CreateImageData(&stream, extension, nullptr));
        return image ? texture->Load(image.get()) : BW_FAIL;
    }

    // An 8x8 image of four quadrants (red, green over blue, white) over a texture of its own.
    std::unique_ptr<render::ImageRect> MakeQuadrants()
    {
        auto image = std::make_unique<render::ImageRect>();
        const std::vector<uint8_t> tga = testing_support::MakeTga(
            testing_support::MakePixels(8, 8, [](uint32_t x, uint32_t y) {
                return y < 4 ? (x < 4 ? 0xFFFF0000u : 0xFF00FF00u) : (x < 4 ? 0xFF0000FFu : 0xFFFFFFFFu);
            }),
            false);
        EXPECT_EQ(r->CreateTexture(&image->mTexture), BW_OK);
        EXPECT_EQ(LoadInto(image->mTexture, tga, L".tga"), BW_OK);
        image->mWidth = image->mHeight = 8;
        return image;
    }

    d3d9::test::ScopedHooks mHooks;
    // What reaches the log file, markup included.
    testing_support::LogCapture mLog{true};
    std::unique_ptr<TestRenderDX9> r;
    std::vector<std::unique_ptr<render::Texture>> mTextures;
};

// The renderer on the layer's OpenGL back end in a hidden window of mWidth x
// mHeight, its frames read back; skipped where no OpenGL window can be made.
// A test drops what it made in its TearDown before calling this one.
class RenderDX9PixelTest : public RenderDX9Test
{
protected:
    explicit RenderDX9PixelTest(int width = 64, int height = 48) : mWidth(width), mHeight(height) {}

    void SetUp() override
    {
        RenderDX9Test::SetUp();
        window = std::make_unique<SdlTestWindow>(mWidth, mHeight);
        if (!window->IsOpen())
            GTEST_SKIP() << "no OpenGL window here";
        d3d9::test::SetBackend(d3d9::test::Backend::OpenGL);
        r->SetWindowHandle(window->Handle());
        ASSERT_EQ(Init(MakeInitParam(mWidth, mHeight, true)), BW_OK);
    }

    void TearDown() override
    {
        r.reset();
        window.reset();
        RenderDX9Test::TearDown();
    }

    // Ends the frame, replays it and reads the back buffer into pixels.
    void ReadBack()
    {
        ASSERT_EQ(r->EndScene(), BW_OK);
        ASSERT_EQ(r->ExecuteCommands(), BW_OK);
        UINT width = 0, height = 0;
        ASSERT_TRUE(d3d9::test::ReadRenderTarget(r->GetDevice(), nullptr, &pixels, &width, &height));
        ASSERT_EQ(width, static_cast<UINT>(mWidth));
        ASSERT_EQ(height, static_cast<UINT>(mHeight));
    }

    // The pixel read back at (x, y); 0 outside what was read.
    D3DCOLOR At(int x, int y) const
    {
        const size_t at = static_cast<size_t>(y) * mWidth + x;
        return x >= 0 && x < mWidth && y >= 0 && at < pixels.size() ? pixels[at] : 0;
    }

    // Each channel within tolerance: drivers round blends differently.
    static void ExpectNear(D3DCOLOR actual, D3DCOLOR expected, int tolerance)
    {
        for (int shift = 0; shift < 32; shift += 8)
        {
            const int a = (actual >> shift) & 0xFF, e = (expected >> shift) & 0xFF;
            EXPECT_LE(std::abs(a - e), tolerance) << std::hex << "0x" << actual << " expected 0x" << expected;
        }
    }

    struct Pixel
    {
        int x, y;
        D3DCOLOR color;
    };
    void ExpectPixels(std::initializer_list<Pixel> expected, int tolerance = 2)
    {
        for (const Pixel& pixel : expected)
        {
            SCOPED_TRACE(testing::Message() << "at " << pixel.x << "," << pixel.y);
            ExpectNear(At(pixel.x, pixel.y), pixel.color, tolerance);
        }
    }

    const int mWidth;
    const int mHeight;
    std::unique_ptr<SdlTestWindow> window;
    std::vector<D3DCOLOR> pixels;
};

// A pixel test that draws through render::Graphics inside a begun scene,
// over a back buffer cleared black.
class GraphicsPixelFixture : public RenderDX9PixelTest
{
protected:
    using RenderDX9PixelTest::RenderDX9PixelTest;

    void SetUp() override
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

    void TearDown() override
    {
        graphics.reset();
        RenderDX9PixelTest::TearDown();
    }

    // Flushes the Graphics and reads the frame back.
    void Finish()
    {
        graphics->Flush();
        ReadBack();
    }

    std::unique_ptr<render::Graphics> graphics;
};

} // namespace bwtest
