#pragma once

// A Direct3D 9 renderer over our layer's null (or OpenGL) back end, with the
// window's state, the sleeps of the loss protocol and the failure report
// under the test's control.

#include "Core/Render/DX9/RenderDX9.h"
#include "Core/Render/Graphics.h"
#include "Platform/D3D9/D3D9TestHooks.h"
#include "tests/Support/LogCapture.h"
#include "tests/Support/SdlTestWindow.h"

#include <gtest/gtest.h>

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

    using render::RenderDX9::mDeviceLost;

protected:
    WindowState QueryWindowState() const override { return mWindowState; }
    void ReportUnsupportedShaders() override { ++mFailureReports; }
    void SleepWhileLost() override { ++mSleeps; }
};

render::RenderInitParam MakeInitParam(uint32_t width = 64, uint32_t height = 48, bool windowed = true);

class RenderDX9Test : public testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // InitRender on the null back end.
    BWResultEnum Init(const render::RenderInitParam& param = MakeInitParam());
    // Call-log lines of the given calls since the log was last cleared.
    std::vector<std::string> Calls(const std::vector<d3d9::test::Call>& only);

    d3d9::test::ScopedHooks mHooks;
    // What reaches the log file, markup included.
    testing_support::LogCapture mLog{true};
    std::unique_ptr<TestRenderDX9> r;
};

// The renderer on the layer's OpenGL back end in a hidden window of mWidth x
// mHeight, its frames read back; skipped where no OpenGL window can be made.
// A test drops what it made in its TearDown before calling this one.
class RenderDX9PixelTest : public RenderDX9Test
{
protected:
    explicit RenderDX9PixelTest(int width = 64, int height = 48) : mWidth(width), mHeight(height) {}

    void SetUp() override;
    void TearDown() override;

    // Ends the frame, replays it and reads the back buffer into pixels.
    void ReadBack();
    // The pixel read back at (x, y); 0 outside what was read.
    D3DCOLOR At(int x, int y) const;
    // Each channel within tolerance: drivers round blends differently.
    static void ExpectNear(D3DCOLOR actual, D3DCOLOR expected, int tolerance);
    void ExpectAt(int x, int y, D3DCOLOR expected, int tolerance = 2);
    struct Pixel
    {
        int x, y;
        D3DCOLOR color;
    };
    void ExpectPixels(std::initializer_list<Pixel> expected, int tolerance = 2);

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

    void SetUp() override;
    void TearDown() override;
    // Flushes the Graphics and reads the frame back.
    void Finish();

    std::unique_ptr<render::Graphics> graphics;
};

} // namespace bwtest
