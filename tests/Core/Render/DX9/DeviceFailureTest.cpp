// Frames that go wrong on the device come back: every device call of a
// steady frame, and of the frame that resets a lost device, is made to fail
// once in turn, and the same picture must be presented again within a few
// frames with no default-pool object left behind. Also what a frame leaves to
// the next one: the scissor, a freed texture's address, a removed target.

#include "tests/Core/Render/DX9/RenderDX9Fixture.h"

#include "Core/Render/DX9/TextureDX9.h"
#include "Core/Render/Image.h"
#include "Core/Render/ImageRect.h"
#include "Core/Render/Shader.h"

#include <new>

namespace
{

using d3d9::test::Call;

const uint32_t kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu, kWhite = 0xFFFFFFFFu;
const uint32_t kBlack = 0xFF000000u;
const float kBlackRgba[4] = {0, 0, 0, 1}, kBlueRgba[4] = {0, 0, 1, 1}, kGreenRgba[4] = {0, 1, 0, 1},
            kRedRgba[4] = {1, 0, 0, 1}, kSquare[4] = {0, 0, 4, 4};

// Draws rect in colour under the scissor clip.
BWResultEnum DrawClipped(render::Graphics& graphics, const float clip[4], const float rect[4], const float colour[4])
{
    graphics.mState.mScissorEnabled = 1;
    std::copy(clip, clip + 4, graphics.mState.mScissorRect);
    graphics.mStateChanged = 1;
    graphics.SetColor(colour);
    return graphics.DrawRect(rect).DrawNow();
}

// A frame as the game draws one in full screen: the layout into an
// off-screen target (an image, a scissored rectangle), the target onto the
// back buffer, a bar over the rest.
class DeviceFailureTest : public bwtest::RenderDX9PixelTest
{
protected:
    void SetUp() override
    {
        RenderDX9PixelTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        quadrants = MakeQuadrants();
        ASSERT_EQ(r->CreateRenderTargetImage(32, 24, &target, true), BW_OK);
    }

    void TearDown() override
    {
        d3d9::test::ClearForcedResults();
        quadrants.reset();
        delete target;
        RenderDX9PixelTest::TearDown();
    }

    // One frame; false when it was skipped or failed anywhere.
    bool Frame()
    {
        if (!r->CanRender() || r->BeginScene() != BW_OK)
            return false;
        render::Graphics screen(r.get());
        bool ok = screen.Clear(render::ClearColor, kBlackRgba, 1.0f, 0) == BW_OK;
        {
            render::Graphics layout(target);
            const float at[2] = {4, 4}, rect[4] = {12, 2, 40, 40}, clip[4] = {14, 4, 6, 6};
            ok = ok && layout.Clear(render::ClearColor, kBlueRgba, 1.0f, 0) == BW_OK &&
                 layout.DrawImage(quadrants.get()).Translate(at).DrawNow() == BW_OK &&
                 DrawClipped(layout, clip, rect, kGreenRgba) == BW_OK;
        }
        const float bar[4] = {40, 0, 24, 48};
        ok = ok && screen.DrawImage(target).DrawNow() == BW_OK;
        screen.SetColor(kRedRgba);
        return ok && screen.DrawRect(bar).DrawNow() == BW_OK && r->EndScene() == BW_OK && r->Present() == BW_OK &&
               r->ExecuteCommands() == BW_OK;
    }

    std::vector<D3DCOLOR> Screen()
    {
        std::vector<D3DCOLOR> read;
        UINT width = 0, height = 0;
        EXPECT_TRUE(d3d9::test::ReadRenderTarget(r->GetDevice(), nullptr, &read, &width, &height));
        return read;
    }

    // Loses the device and lets the renderer see it, then allows the reset
    // that the next CanRender makes.
    void LoseAndAllowReset()
    {
        d3d9::test::LoseDevice(r->GetDevice());
        EXPECT_FALSE(r->CanRender());
        d3d9::test::AllowReset(r->GetDevice());
    }

    std::unique_ptr<render::ImageRect> quadrants;
    render::Image* target = nullptr;
};

struct SweepCase
{
    const char* name;
    bool resetFrame; // the frame that resets the device after a loss
    HRESULT failure;
};

class DeviceFailureSweep : public DeviceFailureTest, public testing::WithParamInterface<SweepCase>
{
};

TEST_P(DeviceFailureSweep, EachCallFailingOnceCostsAFewFramesAtMost)
{
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(Frame());
    const std::vector<D3DCOLOR> picture = Screen();
    // The picture is the frame's: the image in the target, the scissored
    // rectangle, the bar.
    pixels = picture;
    ExpectPixels({{4, 4, kRed}, {11, 11, kWhite}, {2, 2, kBlue}, {14, 4, kGreen}, {19, 9, kGreen}, {20, 9, kBlue},
                  {13, 4, kBlue}, {36, 30, kBlack}, {40, 0, kRed}});
    const UINT live = d3d9::test::LiveDefaultPoolObjects(r->GetDevice());

    // The calls of that frame, in order.
    d3d9::test::EnableCallLog(true);
    if (GetParam().resetFrame)
        LoseAndAllowReset();
    d3d9::test::ClearCallLog();
    if (GetParam().resetFrame)
        EXPECT_FALSE(r->CanRender());
    else
        ASSERT_TRUE(Frame());
    std::vector<d3d9::test::CallRecord> calls = d3d9::test::GetCallLog();
    d3d9::test::EnableCallLog(false);
    ASSERT_GT(calls.size(), 10u);
    for (int i = 0; i < 3; ++i)
        Frame();

    int forced = 0;
    for (size_t i = 0; i < calls.size(); ++i)
    {
        const Call call = calls[i].call;
        if (call == Call::AddRef || call == Call::Release)
            continue; // logged only
        int before = 0;
        for (size_t j = 0; j < i; ++j)
            before += calls[j].call == call;
        SCOPED_TRACE(testing::Message() << "call " << i << ": " << calls[i].ToString());
        Frame(); // steady again after the last recovery
        Frame();
        if (GetParam().resetFrame)
            LoseAndAllowReset();
        d3d9::test::ForceResult(call, GetParam().failure, 1, before);
        int frames = 0;
        bool back = false;
        while (!back && ++frames <= 4)
            back = Frame() && Screen() == picture;
        d3d9::test::ClearForcedResults();
        EXPECT_TRUE(back);
        EXPECT_EQ(d3d9::test::LiveDefaultPoolObjects(r->GetDevice()), live);
        EXPECT_EQ(d3d9::test::BackBufferReferences(r->GetDevice()), 1u);
        ++forced;
        if (HasFailure())
            break;
    }
    EXPECT_GT(forced, 10);
}

INSTANTIATE_TEST_SUITE_P(Frames, DeviceFailureSweep,
                         testing::Values(SweepCase{"SteadyInvalidCall", false, D3DERR_INVALIDCALL},
                                         SweepCase{"SteadyDeviceLost", false, D3DERR_DEVICELOST},
                                         SweepCase{"ResetInvalidCall", true, D3DERR_INVALIDCALL},
                                         SweepCase{"ResetDeviceLost", true, D3DERR_DEVICELOST}),
                         [](const testing::TestParamInfo<SweepCase>& info) { return std::string(info.param.name); });

// A scissor the last frame left on does not clip the next frame's clear, and
// an image without pixels costs the frame nothing (and is reported once).
TEST_F(DeviceFailureTest, TheClearCoversTheTargetAndAnImageWithoutPixelsSpoilsNothing)
{
    render::ImageRect empty;
    for (const float* clear : {kBlueRgba, kGreenRgba})
    {
        ASSERT_TRUE(r->CanRender());
        ASSERT_EQ(r->BeginScene(), BW_OK);
        render::Graphics screen(r.get());
        ASSERT_EQ(screen.Clear(render::ClearColor, clear, 1.0f, 0), BW_OK);
        EXPECT_EQ(screen.DrawImage(&empty).DrawNow(), BW_OK);
        const float clip[4] = {48, 28, 10, 10}, square[4] = {50, 30, 4, 4};
        ASSERT_EQ(DrawClipped(screen, clip, square, kRedRgba), BW_OK);
        ASSERT_EQ(r->EndScene(), BW_OK);
        ASSERT_EQ(r->ExecuteCommands(), BW_OK);
        pixels = Screen();
        const D3DCOLOR cleared = clear == kBlueRgba ? kBlue : kGreen;
        ExpectPixels({{0, 0, cleared}, {30, 30, cleared}, {63, 47, cleared}, {51, 31, kRed}});
    }
    EXPECT_EQ(mLog.Count(L"Can't draw an image without pixels\n"), 1u);
}

// On the null back end: what device state the renderer leaves behind.
class FrameStateTest : public bwtest::RenderDX9Test
{
protected:
    void SetUp() override
    {
        RenderDX9Test::SetUp();
        ASSERT_EQ(Init(), BW_OK);
        ASSERT_EQ(r->BeginScene(), BW_OK);
    }

    BWResultEnum Finish()
    {
        const BWResultEnum result = r->EndScene();
        return result != BW_OK ? result : r->ExecuteCommands();
    }
};

// The texture variable must not take a new texture for the old one because
// it sits at the same address.
TEST_F(FrameStateTest, ANewTextureAtAFreedTexturesAddressIsBound)
{
    alignas(render::TextureDX9) unsigned char storage[sizeof(render::TextureDX9)];
    render::ImageRect image;
    image.mWidth = image.mHeight = 4;
    render::TextureDX9* texture = nullptr;
    for (int frame = 0; frame < 2; ++frame)
    {
        if (texture)
            texture->~TextureDX9();
        texture = new (storage) render::TextureDX9(r.get());
        ASSERT_EQ(texture->CreateDynamic(4, 4), BW_OK);
        image.mTexture = texture;
        ASSERT_TRUE(frame == 0 || r->BeginScene() == BW_OK);
        render::Graphics graphics(r.get());
        ASSERT_EQ(graphics.DrawImage(&image).DrawNow(), BW_OK);
        ASSERT_EQ(Finish(), BW_OK);
        EXPECT_EQ(d3d9::test::GetBoundTexture(r->GetDevice(), 0), texture->GetDeviceTexture()) << "frame " << frame;
    }
    image.mTexture = nullptr;
    texture->~TextureDX9();
}

// Nor a new image's projection for the old one's.
TEST_F(FrameStateTest, ANewImageAtAFreedImagesAddressSendsItsProjection)
{
    alignas(render::Image) unsigned char storage[sizeof(render::Image)];
    float projection[2][16] = {};
    for (int frame = 0; frame < 2; ++frame)
    {
        render::Texture* texture = nullptr;
        ASSERT_EQ(r->CreateTexture(&texture), BW_OK);
        ASSERT_EQ(texture->CreateRenderTarget(16u << frame, 16u << frame), BW_OK);
        auto* image = new (storage) render::Image(texture, true);
        ASSERT_TRUE(frame == 0 || r->BeginScene() == BW_OK);
        ASSERT_EQ(render::Graphics(image).DrawRect(kSquare).DrawNow(), BW_OK);
        ASSERT_EQ(Finish(), BW_OK);
        d3d9::test::GetVertexShaderConstants(r->GetDevice(), 0, projection[frame], 4);
        image->~Image(); // with its texture
    }
    EXPECT_FLOAT_EQ(projection[0][0], 2.0f / 16);
    EXPECT_FLOAT_EQ(projection[1][0], 2.0f / 32);
}

// A removed target leaves the back buffer with its own scale for scissors.
TEST_F(FrameStateTest, ScissorsAfterTheRequestedTargetGoesUseTheBackBuffersScale)
{
    render::Image* scaled = nullptr;
    ASSERT_EQ(r->CreateRenderTargetImage(32, 32, &scaled, true), BW_OK);
    scaled->mTargetRect[2] = scaled->mTargetRect[3] = 2.0f;
    ASSERT_EQ(render::Graphics(scaled).DrawRect(kSquare).DrawNow(), BW_OK);
    ASSERT_EQ(Finish(), BW_OK);
    delete scaled;
    ASSERT_EQ(r->BeginScene(), BW_OK);
    render::Graphics graphics(r.get());
    const float clip[4] = {1, 2, 10, 20}, rect[4] = {0, 0, 4, 4};
    ASSERT_EQ(DrawClipped(graphics, clip, rect, kRedRgba), BW_OK);
    ASSERT_EQ(Finish(), BW_OK);
    const RECT scissor = d3d9::test::GetScissorRect(r->GetDevice());
    EXPECT_EQ((std::vector<LONG>{scissor.left, scissor.top, scissor.right, scissor.bottom}),
              (std::vector<LONG>{1, 2, 11, 22}));
}

// One cache failing to end its frame still has the others unlocked.
TEST_F(FrameStateTest, EndSceneUnlocksEveryCacheWhenOneFails)
{
    render::SVertex2D* quad = nullptr;
    render::VertexCache2D::Allocation quadAt;
    render::SVertexGeom* geometry = nullptr;
    render::VertexCacheGeom::Allocation geometryAt;
    uint16_t* indices = nullptr;
    render::IndexCache16::Allocation indicesAt;
    ASSERT_EQ(r->GetVertexCache<render::SVertex2D>()->Allocate(4, &quad, &quadAt), BW_OK);
    ASSERT_EQ(r->GetVertexCache<render::SVertexGeom>()->Allocate(4, &geometry, &geometryAt), BW_OK);
    ASSERT_EQ(r->GetIndexCache16()->Allocate(6, &indices, &indicesAt), BW_OK);
    d3d9::test::ForceResult(Call::VertexBufferUnlock, D3DERR_INVALIDCALL, 1);
    EXPECT_EQ(r->EndScene(), BW_FAIL);
    EXPECT_TRUE(quadAt.mBuffer->IsLocked());
    EXPECT_FALSE(geometryAt.mBuffer->IsLocked());
    EXPECT_FALSE(indicesAt.mBuffer->IsLocked());
    // The next frame draws.
    ASSERT_EQ(r->BeginScene(), BW_OK);
    ASSERT_EQ(r->GetVertexCache<render::SVertex2D>()->Allocate(4, &quad, &quadAt), BW_OK);
    EXPECT_EQ(Finish(), BW_OK);
    EXPECT_FALSE(quadAt.mBuffer->IsLocked());
}

} // namespace
