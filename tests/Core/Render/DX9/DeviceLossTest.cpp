// The device-loss protocol: what CheckDevice does for each answer of the
// device and each state of the window, and that default-pool objects come
// back usable.

#include "RenderDX9Fixture.h"

#include "Core/Render/DX9/BufferDX9.h"
#include "Core/Render/DX9/TextureDX9.h"
#include "Core/Render/Shader.h"
#include "Core/Render/ShaderImpl.h"

#include <tuple>

namespace
{

using bwtest::MakeInitParam;
using d3d9::test::Call;

class DeviceLossTest : public bwtest::RenderDX9Test
{
protected:
    void SetUp() override
    {
        bwtest::RenderDX9Test::SetUp();
        ASSERT_EQ(Init(MakeInitParam(64, 48, windowed)), BW_OK);
        ASSERT_EQ(r->CreateTexture(&target), BW_OK);
        ASSERT_EQ(target->CreateRenderTarget(16, 16), BW_OK);
        live = d3d9::test::LiveDefaultPoolObjects(r->GetDevice());
        mLog.Clear();
    }

    void TearDown() override
    {
        delete target;
        bwtest::RenderDX9Test::TearDown();
    }

    // One frame as the application runs it, drawing nothing.
    bool Frame()
    {
        render::SVertex2D* vertices = nullptr;
        render::VertexCache2D::Allocation at;
        return r->CanRender() && r->BeginScene() == BW_OK &&
               r->GetVertexCache<render::SVertex2D>()->Allocate(4, &vertices, &at) == BW_OK &&
               r->EndScene() == BW_OK && r->Present() == BW_OK && r->ExecuteCommands() == BW_OK;
    }
    UINT Live() { return d3d9::test::LiveDefaultPoolObjects(r->GetDevice()); }

    // Loses the device and lets CanRender see it once.
    void Lose()
    {
        d3d9::test::LoseDevice(r->GetDevice());
        EXPECT_FALSE(r->CanRender());
    }

    bool windowed = true;
    render::Texture* target = nullptr;
    UINT live = 0;
};

// Lost in the middle of a frame, with a buffer locked.
TEST_F(DeviceLossTest, LossReleasesOnceSleepsEachFrameAndResetRestoresEveryObject)
{
    render::TextureDX9* dynamic = NewTexture();
    ASSERT_EQ(dynamic->CreateDynamic(6, 4), BW_OK);
    render::TextureDX9* loaded = NewTexture();
    ASSERT_EQ(LoadInto(loaded, testing_support::ReadFileBytes(testing_support::SampleImagePath("quadrants.png")),
                       L".png"),
              BW_OK);
    IDirect3DTexture9* managed = loaded->GetDeviceTexture();
    render::ShaderImpl* tint = r->GetShaderTexturedTintObject()->GetImpl();
    tint->SetChanged(false);
    // A dynamic buffer of no cache, left locked: the loss must unlock it too.
    render::VertexBuffer<render::SVertex2D> own(r.get());
    ASSERT_EQ(own.Create(4, true), BW_OK);
    ASSERT_EQ(own.GetImpl()->Lock(), BW_OK);
    live = Live();
    ASSERT_TRUE(Frame());
    ASSERT_EQ(r->BeginScene(), BW_OK);
    render::SVertex2D* vertices = nullptr;
    render::VertexCache2D::Allocation at;
    ASSERT_EQ(r->GetVertexCache<render::SVertex2D>()->Allocate(4, &vertices, &at), BW_OK);
    Lose();
    EXPECT_FALSE(at.mBuffer->IsLocked());
    for (int i = 0; i < 2; ++i)
        EXPECT_FALSE(r->CanRender());
    EXPECT_EQ(mLog.Count(L"RenderDX9::LostDevice()\n"), 1u);
    EXPECT_EQ(r->mSleeps, 3);
    EXPECT_TRUE(r->IsDeviceLost());
    EXPECT_EQ(Live(), 0u);
    EXPECT_EQ(std::make_tuple(r->GetBackBuffer(), dynamic->GetDeviceTexture(), loaded->GetDeviceTexture()),
              std::make_tuple(static_cast<IDirect3DSurface9*>(nullptr), static_cast<IDirect3DTexture9*>(nullptr), managed));

    d3d9::test::AllowReset(r->GetDevice());
    EXPECT_FALSE(r->CanRender()); // the reset frame is skipped
    EXPECT_FALSE(r->IsDeviceLost());
    for (const wchar_t* record : {L"RenderDX9::ResetDevice()\n", L"\tD3D_OK\n", L"RenderDX9::InitDeviceState()\n"})
        EXPECT_TRUE(mLog.Contains(record)) << record;
    EXPECT_EQ(Live(), live);
    EXPECT_TRUE(tint->HasChangedVariables());
    EXPECT_EQ(at.mBuffer->Lock(), BW_OK);
    EXPECT_EQ(at.mBuffer->Unlock(), BW_OK);
    EXPECT_EQ(own.GetImpl()->Lock(), BW_OK);
    auto* restored = static_cast<render::TextureDX9*>(target);
    EXPECT_NE(restored->GetSurface(), nullptr);
    EXPECT_EQ(std::make_tuple(restored->GetWidth(), restored->IsRenderTarget(), dynamic->GetWidth(), dynamic->IsDynamic()),
              std::make_tuple(16u, true, 6u, true));
    EXPECT_NE(dynamic->GetDeviceTexture(), nullptr);
    EXPECT_EQ(loaded->GetDeviceTexture(), managed);
    // The back buffer is the new one.
    ASSERT_EQ(r->DoSetRenderTarget(target), BW_OK);
    ASSERT_EQ(r->DoSetRenderTarget(nullptr), BW_OK);
    EXPECT_EQ(d3d9::test::GetBoundRenderTarget(r->GetDevice()), r->GetBackBuffer());
    // Dynamic buffers are locked afresh by the next frame's first allocation.
    EXPECT_TRUE(Frame());
    EXPECT_EQ(r->mSleeps, 3);
}

TEST_F(DeviceLossTest, NotResetSeenWithoutTheLossReleasesBeforeResetting)
{
    d3d9::test::LoseDevice(r->GetDevice());
    d3d9::test::AllowReset(r->GetDevice());
    // Reset is refused while default-pool objects live: they must go first.
    EXPECT_FALSE(r->CanRender());
    EXPECT_EQ(mLog.Count(L"RenderDX9::LostDevice()\n"), 1u);
    EXPECT_TRUE(mLog.Contains(L"\tD3D_OK\n"));
    EXPECT_FALSE(r->IsDeviceLost());
    EXPECT_EQ(r->mSleeps, 0);
    EXPECT_TRUE(Frame());
}

TEST_F(DeviceLossTest, ResetFailuresAreLoggedByCodeAndRetried)
{
    Lose();
    d3d9::test::AllowReset(r->GetDevice());
    d3d9::test::ForceResult(Call::Reset, D3DERR_OUTOFVIDEOMEMORY, 1);
    EXPECT_FALSE(r->CanRender());
    EXPECT_TRUE(mLog.Contains(L"\tD3DERR_OUTOFVIDEOMEMORY \n"));
    EXPECT_TRUE(r->IsDeviceLost());
    d3d9::test::ForceResult(Call::Reset, D3DERR_INVALIDCALL, 1);
    mLog.Clear();
    EXPECT_FALSE(r->CanRender());
    EXPECT_EQ(mLog.Messages().size(), 1u); // "ResetDevice()" alone
    EXPECT_FALSE(r->CanRender());
    EXPECT_FALSE(r->IsDeviceLost());
    EXPECT_TRUE(Frame());
}

TEST_F(DeviceLossTest, SwitchingScreenModeResetsWithTheNewSizeAndAFailedSwitchBeforeTheNextDraw)
{
    ASSERT_EQ(r->PrepareSwitchScreenMode(), BW_OK);
    EXPECT_EQ(Live(), 0u);
    render::RenderInitParam param = MakeInitParam(80, 60, true);
    param.mViewport[0] = 2.0f;
    ASSERT_EQ(r->SwitchScreenMode(param), BW_OK);
    EXPECT_FALSE(r->IsDeviceLost());
    EXPECT_EQ(std::make_pair(d3d9::test::GetPresentParameters(r->GetDevice()).BackBufferWidth,
                             d3d9::test::GetViewport(r->GetDevice()).Width),
              std::make_pair(80u, 80u));
    EXPECT_EQ(std::make_pair(r->GetProjection()(0, 0), r->GetDefaultViewport()[0]), std::make_pair(2.0f / 80, 2.0f));
    EXPECT_TRUE(Frame());

    ASSERT_EQ(r->PrepareSwitchScreenMode(), BW_OK);
    d3d9::test::ForceResult(Call::Reset, D3DERR_DRIVERINTERNALERROR, 1);
    EXPECT_EQ(r->SwitchScreenMode(MakeInitParam(64, 48, true)), BW_FAIL);
    EXPECT_TRUE(mLog.Contains(L"\tD3DERR_DRIVERINTERNALERROR\n"));
    // The off-screen target comes back after the failed switch, before the
    // reset, which must not be refused for it.
    render::Texture* offscreen = nullptr;
    ASSERT_EQ(r->CreateTexture(&offscreen), BW_OK);
    std::unique_ptr<render::Texture> owner(offscreen);
    ASSERT_EQ(offscreen->CreateRenderTarget(8, 8), BW_OK);
    // The device answers OK, but our objects are gone: reset, then draw.
    EXPECT_FALSE(r->CanRender());
    EXPECT_FALSE(r->IsDeviceLost());
    EXPECT_EQ(Live(), live + 1);
    EXPECT_TRUE(Frame());
}

class FullScreenLossTest : public DeviceLossTest
{
protected:
    void SetUp() override
    {
        windowed = false;
        DeviceLossTest::SetUp();
    }
};

TEST_F(FullScreenLossTest, AnInactiveWindowReleasesOnceAndSleeps)
{
    r->mWindowState.applicationActive = false;
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(r->CanRender());
    EXPECT_EQ(mLog.Count(L"RenderDX9::LostDevice()\n"), 1u);
    EXPECT_EQ(r->mSleeps, 2);
    EXPECT_TRUE(r->IsDeviceLost());
    EXPECT_EQ(Live(), 0u);
    // Active again: whatever the device answers, nothing is drawn with the
    // objects released.
    r->mWindowState.applicationActive = true;
    int skipped = 0;
    while (!Frame() && skipped < 5)
        ++skipped;
    EXPECT_LT(skipped, 5);
    EXPECT_FALSE(r->IsDeviceLost());
    EXPECT_EQ(Live(), live);
}

} // namespace
