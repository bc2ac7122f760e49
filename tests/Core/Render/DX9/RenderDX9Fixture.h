#pragma once

// A Direct3D 9 renderer over our layer's null (or OpenGL) back end, with the
// window's state, the sleeps of the loss protocol and the failure report
// under the test's control.

#include "Core/Render/DX9/RenderDX9.h"
#include "Platform/D3D9/D3D9TestHooks.h"
#include "tests/Support/LogCapture.h"
#include "tests/Support/SdlTestWindow.h"

#include <gtest/gtest.h>

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

// The renderer on the layer's OpenGL back end in a hidden window of kWidth x
// kHeight, its frames read back; skipped where no OpenGL window can be made.
// A test drops what it made in its TearDown before calling this one.
class RenderDX9PixelTest : public RenderDX9Test
{
protected:
    static constexpr int kWidth = 64;
    static constexpr int kHeight = 48;

    void SetUp() override;
    void TearDown() override;

    // Ends the frame, replays it and reads the back buffer into pixels.
    void ReadBack();
    // The pixel read back at (x, y); 0 outside what was read.
    D3DCOLOR At(int x, int y) const;
    // Each channel within tolerance: drivers round blends differently.
    static void ExpectNear(D3DCOLOR actual, D3DCOLOR expected, int tolerance);
    void ExpectAt(int x, int y, D3DCOLOR expected, int tolerance = 2);

    std::unique_ptr<SdlTestWindow> window;
    std::vector<D3DCOLOR> pixels;
};

} // namespace bwtest
