#pragma once

// A Direct3D 9 renderer over our layer's null (or OpenGL) back end, with the
// window's state, the sleeps of the loss protocol and the failure report
// under the test's control.

#include "Core/Render/DX9/RenderDX9.h"
#include "Platform/D3D9/D3D9TestHooks.h"
#include "tests/Support/LogCapture.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

struct SDL_Window;

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

// A hidden SDL window with an OpenGL context, as an HWND for the device.
class SdlTestWindow
{
public:
    SdlTestWindow(int width, int height);
    ~SdlTestWindow();
    HWND Handle() const { return mHandle; }
    bool IsOpen() const { return mHandle != nullptr; }

private:
    SDL_Window* mWindow = nullptr;
    HWND mHandle = nullptr;
};

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

} // namespace bwtest
