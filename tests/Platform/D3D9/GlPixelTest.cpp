#include "D3D9Fixture.h"

namespace d3d9test
{
namespace
{

TEST_F(GlDeviceTest, ClearAndDrawsHonourTheScissorRectangle)
{
    Clear(kBlue);
    RECT scissor = {4, 2, 10, 6};
    device->SetScissorRect(&scissor);
    device->SetRenderState(D3DRS_SCISSORTESTENABLE, TRUE);
    Clear(kGreen);
    RECT beyond = {20, 10, 100, 100}; // clipped to the target, not refused
    device->SetScissorRect(&beyond);
    DrawQuad(-0.5f, -0.5f, kWidth - 0.5f, kHeight - 0.5f, kRed);
    ExpectPixels({{4, 2, kGreen}, {9, 5, kGreen}, {10, 5, kBlue}, {9, 6, kBlue}, {3, 2, kBlue}, {19, 10, kBlue},
                  {20, 10, kRed}, {kWidth - 1, kHeight - 1, kRed}});

    // An inverted rectangle, or one wholly outside the target, clips
    // everything: the previous rectangle must not stay in effect.
    const RECT empty[] = {{30, 20, 22, 12}, {-20, -10, -5, -2}, {40, 30, 60, 50}};
    for (const RECT& rect : empty)
    {
        device->SetScissorRect(&rect);
        DrawQuad(-0.5f, -0.5f, kWidth - 0.5f, kHeight - 0.5f, kGreen);
        SCOPED_TRACE(rect.left);
        ExpectPixels({{25, 15, kRed}, {0, 0, kBlue}});
    }
}

// One-pixel-wide quads in the vertex colour, placed as the engine does:
// pixel edges at -0.5.
TEST_F(GlDeviceTest, HalfPixelShiftedQuadsLandExactlyOnPixelsInTheirVertexColour)
{
    Clear(kBlack);
    std::vector<Vertex2D> v;
    for (UINT x = 0; x < kWidth; ++x)
        AddQuad(&v, x - 0.5f, 3 - 0.5f, x + 0.5f, 4 - 0.5f, x % 2 ? kRed : 0xFF336699);
    Draw(v);
    Read();
    for (UINT x = 0; x < kWidth; ++x)
    {
        EXPECT_EQ(At(x, 3), x % 2 ? kRed : 0xFF336699) << "x " << x;
        EXPECT_EQ(At(x, 2), kBlack) << "x " << x;
        EXPECT_EQ(At(x, 4), kBlack) << "x " << x;
    }
}

TEST_F(GlDeviceTest, MirroredQuadIsCulledAsDirect3DCullsIt)
{
    std::vector<Vertex2D> v;
    AddQuad(&v, -0.5f, -0.5f, 7.5f, 7.5f, kRed);   // clockwise: drawn
    AddQuad(&v, 15.5f, -0.5f, 7.5f, 7.5f, kGreen); // mirrored in x: counter-clockwise, culled
    const struct
    {
        DWORD cull;
        D3DCOLOR left, right;
    } modes[] = {{D3DCULL_CCW, kRed, kBlack}, {D3DCULL_NONE, kRed, kGreen}, {D3DCULL_CW, kBlack, kGreen}};
    for (const auto& mode : modes)
    {
        Clear(kBlack);
        if (mode.cull != D3DCULL_CCW) // the default, left as the device starts
            device->SetRenderState(D3DRS_CULLMODE, mode.cull);
        Draw(v);
        SCOPED_TRACE(mode.cull);
        ExpectPixels({{3, 3, mode.left}, {11, 3, mode.right}});
    }
}

struct BlendCase
{
    const char* name;
    DWORD destBlend;
    D3DCOLOR texel;
    D3DCOLOR background;
    D3DCOLOR expected;
};

class GlBlend : public GlDeviceTest, public ::testing::WithParamInterface<BlendCase>
{
};

// The engine's blend modes: 1 (SRCALPHA, INVSRCALPHA) and 2 (SRCALPHA, ONE),
// with alpha accumulated (ONE, ONE) as its default states set it.
TEST_P(GlBlend, TexturedQuadBlendsExactly)
{
    const BlendCase& c = GetParam();
    Clear(c.background);
    UseTexture(SolidTexture(c.texel));
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, c.destBlend);
    device->SetRenderState(D3DRS_SEPARATEALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLENDALPHA, D3DBLEND_ONE);
    device->SetRenderState(D3DRS_DESTBLENDALPHA, D3DBLEND_ONE);
    DrawQuad(1.5f, 1.5f, 5.5f, 5.5f, kWhite);
    ExpectPixels({{3, 3, c.expected}, {0, 0, c.background}});
}

INSTANTIATE_TEST_SUITE_P(
    Modes, GlBlend,
    ::testing::Values(BlendCase{"AlphaOpaque", D3DBLEND_INVSRCALPHA, 0xFFFF0000, 0x000000FF, 0xFFFF0000},
                      BlendCase{"AlphaClear", D3DBLEND_INVSRCALPHA, 0x00FF0000, 0x000000FF, 0x000000FF},
                      BlendCase{"AlphaHalf", D3DBLEND_INVSRCALPHA, 0x33FF0000, 0x100000FF, 0x433300CC},
                      BlendCase{"AdditiveHalf", D3DBLEND_ONE, 0x3300FF00, 0x10202020, 0x43205320},
                      BlendCase{"AdditiveSaturates", D3DBLEND_ONE, 0xFFFFFF00, 0xFF808080, 0xFFFFFF80}),
    [](const ::testing::TestParamInfo<BlendCase>& info) { return std::string(info.param.name); });

TEST_F(GlDeviceTest, Dxt1AndDxt5BlocksDecodeExactly)
{
    // DXT1: two 4x4 blocks, 4-colour mode (red, blue endpoints; rows 0,0,1,1)
    // and 3-colour mode (black < green) with index 3, transparent black, in
    // the bottom row.
    const uint8_t dxt1[16] = {0x00, 0xF8, 0x1F, 0x00, 0x00, 0x00, 0x55, 0x55,
                              0x00, 0x00, 0xE0, 0x07, 0x55, 0x55, 0x55, 0xFF};
    Clear(0xFF808080);
    UseTexture(FilledTexture(8, 4, D3DFMT_DXT1, dxt1, sizeof dxt1));
    DrawQuad(-0.5f, -0.5f, 7.5f, 3.5f, kWhite); // one texel per pixel, point filtering
    ExpectPixels({{0, 0, kRed}, {3, 1, kRed}, {2, 2, kBlue}, {1, 3, kBlue}, {4, 0, kGreen}, {7, 2, kGreen}, {5, 3, 0}});

    // DXT5: alpha endpoints 255 and 0, row codes 0, 1, 0, 1; colour white.
    const uint8_t dxt5[16] = {0xFF, 0x00, 0x00, 0x90, 0x24, 0x00, 0x90, 0x24,
                              0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00};
    Clear(0x00000000);
    UseTexture(FilledTexture(4, 4, D3DFMT_DXT5, dxt5, sizeof dxt5));
    DrawQuad(-0.5f, -0.5f, 3.5f, 3.5f, kWhite);
    ExpectPixels({{0, 0, 0xFFFFFFFFu}, {3, 1, 0x00FFFFFFu}, {2, 2, 0xFFFFFFFFu}, {1, 3, 0x00FFFFFFu}});
}

TEST_F(GlDeviceTest, OneLevelTextureSamplesUnderLinearMipFiltering)
{
    UseTexture(SolidTexture(kGreen));
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_ANISOTROPIC);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_LINEAR);
    Clear(kBlack);
    DrawQuad(-0.5f, -0.5f, 3.5f, 3.5f, kWhite);
    ExpectPixels({{1, 1, kGreen}});
}

TEST_F(GlDeviceTest, RenderTargetIsDrawnIntoAndSampledTheRightWayUp)
{
    IDirect3DSurface9* surface = nullptr;
    IDirect3DSurface9* backBuffer = nullptr;
    IDirect3DTexture9* target = MakeTarget(16, 16, &surface);
    ASSERT_EQ(device->GetRenderTarget(0, &backBuffer), D3D_OK);

    ASSERT_EQ(device->SetRenderTarget(0, surface), D3D_OK);
    SetProjection(16, 16);
    Clear(kGreen);
    DrawQuad(-0.5f, -0.5f, 7.5f, 3.5f, kRed); // the top-left corner of the target
    ExpectPixels({{0, 0, kRed}, {7, 3, kRed}, {8, 0, kGreen}, {0, 4, kGreen}}, surface);

    ASSERT_EQ(device->SetRenderTarget(0, backBuffer), D3D_OK);
    SetProjection(kWidth, kHeight);
    Clear(kBlue);
    UseTexture(target);
    DrawQuad(-0.5f, -0.5f, 15.5f, 15.5f, kWhite);
    ExpectPixels({{0, 0, kRed}, {7, 3, kRed}, {8, 3, kGreen}, {0, 15, kGreen}, {16, 0, kBlue}});
    ReleaseAll({surface, backBuffer});
}

// A discarding X8R8G8B8 back buffer of the window's size is drawn straight
// into the window (bottom row first), a copying one offscreen: both must
// give the same pixels. A render target sharing the depth buffer moves the
// back buffer offscreen with what it holds.
TEST_F(GlDeviceTest, BackBufferInTheWindowDrawsAsOffscreen)
{
    std::vector<D3DCOLOR> frames[2];
    const D3DSWAPEFFECT effects[2] = {D3DSWAPEFFECT_DISCARD, D3DSWAPEFFECT_COPY};
    for (int i = 0; i < 2; ++i)
    {
        SCOPED_TRACE(i);
        ReleaseAll({vb});
        vb = nullptr;
        params.BackBufferFormat = D3DFMT_X8R8G8B8;
        params.SwapEffect = effects[i];
        ASSERT_EQ(device->Reset(&params), D3D_OK);
        vb = MakeVertexBuffer(600);
        device->SetVertexShader(vs);
        device->SetPixelShader(colorPs);
        ASSERT_EQ(device->BeginScene(), D3D_OK);
        EXPECT_EQ(test::BackBufferInWindow(device), i == 0);

        ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kBlue, 1.0f, 0), D3D_OK);
        const D3DRECT rect = {2, 1, 6, 4};
        ASSERT_EQ(device->Clear(1, &rect, D3DCLEAR_TARGET, kGreen, 1.0f, 0), D3D_OK);
        const D3DVIEWPORT9 viewport = {16, 8, 12, 10, 0.0f, 1.0f};
        device->SetViewport(&viewport);
        SetProjection(12, 10);
        const RECT scissor = {20, 10, 32, 24};
        device->SetScissorRect(&scissor);
        device->SetRenderState(D3DRS_SCISSORTESTENABLE, TRUE);
        DrawQuad(-0.5f, -0.5f, 11.5f, 9.5f, kRed); // the whole viewport, scissored to 20..28 x 10..18
        device->SetRenderState(D3DRS_SCISSORTESTENABLE, FALSE);
        const D3DVIEWPORT9 full = {0, 0, kWidth, kHeight, 0.0f, 1.0f};
        device->SetViewport(&full);
        SetProjection(kWidth, kHeight);
        std::vector<Vertex2D> v;
        AddQuad(&v, -0.5f, 7.5f, 7.5f, 15.5f, kWhite); // clockwise: drawn, at depth 0.5
        AddQuad(&v, 15.5f, 7.5f, 7.5f, 15.5f, kRed);   // counter-clockwise: culled
        for (Vertex2D& vertex : v)
            vertex.z = 0.5f;
        Draw(v);

        IDirect3DSurface9* surface = nullptr;
        IDirect3DSurface9* backBuffer = nullptr;
        IDirect3DTexture9* target = MakeTarget(16, 16, &surface);
        ASSERT_EQ(device->GetRenderTarget(0, &backBuffer), D3D_OK);
        ASSERT_EQ(device->SetRenderTarget(0, surface), D3D_OK);
        SetProjection(16, 16);
        Clear(kBlack);
        v.clear();
        AddQuad(&v, -0.5f, -0.5f, 15.5f, 15.5f, kGreen); // at depth 0.75: behind the white quad
        for (Vertex2D& vertex : v)
            vertex.z = 0.75f;
        Draw(v);
        EXPECT_FALSE(test::BackBufferInWindow(device));
        ExpectPixels({{3, 3, kGreen}, {3, 12, kBlack}, {12, 12, kGreen}}, surface);
        frames[i] = pixels;
        ASSERT_EQ(device->SetRenderTarget(0, backBuffer), D3D_OK);
        ExpectPixels({{0, 0, kBlue}, {2, 1, kGreen}, {5, 3, kGreen}, {6, 3, kBlue}, {2, 4, kBlue}, {20, 10, kRed},
                      {27, 17, kRed}, {19, 10, kBlue}, {20, 9, kBlue}, {28, 17, kBlue}, {27, 18, kBlue},
                      {3, 12, kWhite}, {11, 12, kBlue}});
        frames[i].insert(frames[i].end(), pixels.begin(), pixels.end());
        ReleaseAll({surface, backBuffer, target});
    }
    EXPECT_EQ(frames[0], frames[1]);
}

// The engine's pattern: a discarding lock, then appends without overwrite;
// a plain lock may then rewrite bytes an earlier draw of the scene read, and
// a discarding lock may replace them, also in the frame after a present.
TEST_F(GlDeviceTest, BufferRangesWrittenBetweenDrawsDrawWhatEachDrawWasGiven)
{
    device->SetFVF(kFvf2D);
    device->SetStreamSource(0, vb, 0, sizeof(Vertex2D));
    const struct
    {
        int frame;
        UINT first;
        DWORD flags;
        float x, y;
        D3DCOLOR color;
    } steps[] = {{0, 0, D3DLOCK_DISCARD, 0, 0, kRed},      {0, 6, D3DLOCK_NOOVERWRITE, 8, 0, kGreen},
                 {0, 0, 0, 0, 8, kBlue},                   {0, 0, D3DLOCK_DISCARD, 8, 8, kWhite},
                 {1, 0, D3DLOCK_DISCARD, 8, 8, kGreen},    {1, 6, D3DLOCK_NOOVERWRITE, 0, 0, kBlue},
                 {1, 0, D3DLOCK_DISCARD, 8, 0, kWhite}};
    const std::vector<std::vector<std::pair<POINT, D3DCOLOR>>> expected = {
        {{{1, 1}, kRed}, {{9, 1}, kGreen}, {{1, 9}, kBlue}, {{9, 9}, kWhite}},
        {{{1, 1}, kBlue}, {{9, 1}, kWhite}, {{1, 9}, kBlack}, {{9, 9}, kGreen}}};
    for (int frame = 0; frame < 2; ++frame)
    {
        Clear(kBlack);
        for (const auto& step : steps)
        {
            if (step.frame != frame)
                continue;
            std::vector<Vertex2D> v;
            AddQuad(&v, step.x - 0.5f, step.y - 0.5f, step.x + 3.5f, step.y + 3.5f, step.color);
            void* data = nullptr;
            const UINT bytes = static_cast<UINT>(v.size() * sizeof(Vertex2D));
            ASSERT_EQ(vb->Lock(step.first * sizeof(Vertex2D), bytes, &data, step.flags), D3D_OK);
            std::memcpy(data, v.data(), bytes);
            ASSERT_EQ(vb->Unlock(), D3D_OK);
            ASSERT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, step.first, 2), D3D_OK);
        }
        Read();
        for (const auto& [at, color] : expected[frame])
            EXPECT_EQ(At(at.x, at.y), color) << "frame " << frame << " at " << at.x << "," << at.y;
        ASSERT_EQ(device->EndScene(), D3D_OK);
        ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
        ASSERT_EQ(device->BeginScene(), D3D_OK);
    }
}

TEST_F(GlDeviceTest, IndexedDrawsUseTheBaseVertexAndIndicesAboveZero)
{
    std::vector<Vertex2D> v;
    AddQuad(&v, -0.5f, -0.5f, 3.5f, 3.5f, kRed);
    AddQuad(&v, 7.5f, -0.5f, 11.5f, 3.5f, kGreen);
    Draw(v); // fills the buffer
    IDirect3DIndexBuffer9* ib = MakeIndices({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
    device->SetIndices(ib);
    Clear(kBlack);
    ASSERT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 6, 0, 6, 0, 2), D3D_OK);
    ExpectPixels({{1, 1, kBlack}, {9, 1, kGreen}});
    Clear(kBlack);
    ASSERT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 6, 6, 6, 2), D3D_OK);
    ExpectPixels({{1, 1, kBlack}, {9, 1, kGreen}});
    ib->Release();
}

TEST_F(GlDeviceTest, PixelInputsTheVertexShaderDoesNotWriteReadZero)
{
    const auto blob = MakeBlob(kBlobVersionPS20, R"(
in vec4 bw_v_COLOR0;
in vec4 bw_v_TEXCOORD5;
vec4 bw_Color0;
void bw_main() { bw_Color0 = bw_v_COLOR0 + bw_v_TEXCOORD5; }
)",
                               0, 0);
    IDirect3DPixelShader9* ps = nullptr;
    ASSERT_EQ(device->CreatePixelShader(blob.data(), &ps), D3D_OK);
    device->SetPixelShader(ps);
    ps->Release();
    Clear(kBlack);
    DrawQuad(-0.5f, -0.5f, 3.5f, 3.5f, 0xFF203040);
    ExpectPixels({{1, 1, 0xFF203040u}});
}

TEST_F(GlDeviceTest, ClearFillsTheTargetWithTheExactColourAlsoAfterAResize)
{
    Clear(0x80336699);
    ExpectPixels({{0, 0, 0x80336699u}, {kWidth - 1, kHeight - 1, 0x80336699u}});
    ASSERT_EQ(device->EndScene(), D3D_OK);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);

    vb->Release(); // DEFAULT pool: must go before Reset
    vb = nullptr;
    params.BackBufferWidth = 20;
    params.BackBufferHeight = 10;
    ASSERT_EQ(device->Reset(&params), D3D_OK);
    Clear(kRed);
    ExpectPixels({{19, 9, kRed}});
    EXPECT_EQ(pixels.size(), 200u);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
}

} // namespace
} // namespace d3d9test
