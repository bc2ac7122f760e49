// Where the renderer reaches the application and the window: the report of a
// card without the shader models, and the window states of the loss protocol.

#include "RenderDX9Fixture.h"

#include "Core/App/Application.h"
#include "Core/App/Window.h"
#include "Platform/Win32/Win32User.h"

namespace
{

using bwtest::MakeInitParam;

class HostApplication : public app::Application
{
public:
    HostApplication() : app::Application(true, false) {}
};

// The renderer as the game has it: window states and the failure report are
// its own; only the sleeps are counted.
class PlainRenderDX9 : public render::RenderDX9
{
public:
    void SetWindowHandle(HWND handle) { mWindowHandle = handle; }
    int mSleeps = 0;

protected:
    void SleepWhileLost() override { ++mSleeps; }
};

class ApplicationLinkTest : public testing::Test
{
protected:
    void SetUp() override
    {
        d3d9::test::SetBackend(d3d9::test::Backend::Null);
        base::Singletone<app::Application>::SetInstance(&application);
        win32::SetMessageBoxHook([this](HWND, const wchar_t* text, const wchar_t* caption, UINT) {
            boxes.push_back(std::wstring(caption) + L": " + text);
            return IDOK;
        });
    }

    void TearDown() override
    {
        r.reset();
        base::Singletone<app::Application>::SetInstance(nullptr);
    }

    // Destroyed last: the application shows its box while it goes.
    struct BoxHookReset
    {
        ~BoxHookReset() { win32::SetMessageBoxHook({}); }
    } boxHookReset;
    std::vector<std::wstring> boxes;
    d3d9::test::ScopedHooks hooks;
    HostApplication application;
    std::unique_ptr<PlainRenderDX9> r = std::make_unique<PlainRenderDX9>();
};

// Only missing shader models flag the application and stop it.
TEST_F(ApplicationLinkTest, MissingShaderModelsFlagTheApplicationAndStopIt)
{
    for (const bool shaders : {false, true})
    {
        D3DCAPS9 caps = d3d9::test::DefaultCaps();
        (shaders ? caps.PixelShaderVersion : caps.RasterCaps) = shaders ? D3DPS_VERSION(1, 4) : 0;
        d3d9::test::SetCaps(caps);
        r = std::make_unique<PlainRenderDX9>();
        EXPECT_EQ(r->InitRender(nullptr, MakeInitParam()), BW_FAIL);
        EXPECT_EQ(std::make_pair(application.IsRenderFailed(), application.IsStopRequested()),
                  std::make_pair(shaders, shaders));
    }
}

TEST_F(ApplicationLinkTest, TheWindowsMinimisedAndActiveStatesDriveTheLossProtocol)
{
    app::Window window(nullptr, false, false, true);
    ASSERT_EQ(r->InitRender(&window, MakeInitParam(64, 48, false)), BW_OK);
    EXPECT_TRUE(r->CanRender());

    window.HandleMessage(nullptr, WM_ACTIVATEAPP, FALSE, 0);
    ASSERT_FALSE(window.IsApplicationActive());
    EXPECT_FALSE(r->CanRender());
    EXPECT_TRUE(r->IsDeviceLost());
    EXPECT_FALSE(r->CanRender());
    EXPECT_EQ(r->mSleeps, 1);

    window.HandleMessage(nullptr, WM_ACTIVATEAPP, TRUE, 0);
    window.HandleMessage(nullptr, WM_SIZE, SIZE_MINIMIZED, 0);
    ASSERT_TRUE(window.IsMinimized());
    EXPECT_FALSE(r->CanRender());
    EXPECT_EQ(r->mSleeps, 2);

    window.HandleMessage(nullptr, WM_SIZE, SIZE_RESTORED, MAKELPARAM(64, 48));
    int skipped = 0;
    while (!r->CanRender() && skipped < 5)
        ++skipped;
    EXPECT_LT(skipped, 5);
    EXPECT_FALSE(r->IsDeviceLost());
}

} // namespace
