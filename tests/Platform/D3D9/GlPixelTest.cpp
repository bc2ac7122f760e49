#include "D3D9Fixture.h"

namespace d3d9test
{
namespace
{

constexpr UINT kWidth = 32;
constexpr UINT kHeight = 24;
constexpr D3DCOLOR kRed = 0xFFFF0000;
constexpr D3DCOLOR kGreen = 0xFF00FF00;
constexpr D3DCOLOR kBlue = 0xFF0000FF;
constexpr D3DCOLOR kWhite = 0xFFFFFFFF;

// Two triangles, clockwise on screen as the engine draws them.
void AddQuad(std::vector<Vertex2D>* v, float x0, float y0, float x1, float y1, D3DCOLOR color, float u0 = 0,
             float v0 = 0, float u1 = 1, float v1 = 1)
{
    const Vertex2D tl = {x0, y0, 0, 1, color, 0, u0, v0};
    const Vertex2D tr = {x1, y0, 0, 1, color, 0, u1, v0};
    const Vertex2D bl = {x0, y1, 0, 1, color, 0, u0, v1};
    const Vertex2D br = {x1, y1, 0, 1, color, 0, u1, v1};
    v->insert(v->end(), {tl, tr, bl, bl, tr, br});
}

// The OpenGL device with both pixel shaders made, a vertex stream bound and a
// projection from pixels (y down) to clip space.
class GlDeviceTest : public OpenGlDeviceTest
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(OpenDevice(kWidth, kHeight));

        const auto vsBlob = MakeBlob(kBlobVersionVS11, kVertexShaderText, 4, 0);
        const auto colorBlob = MakeBlob(kBlobVersionPS20, kColorPixelShaderText, 0, 0);
        const auto texturedBlob = MakeBlob(kBlobVersionPS20, kTexturedPixelShaderText, 0, 1);
        ASSERT_EQ(device->CreateVertexShader(vsBlob.data(), &vs), D3D_OK);
        ASSERT_EQ(device->CreatePixelShader(colorBlob.data(), &colorPs), D3D_OK);
        ASSERT_EQ(device->CreatePixelShader(texturedBlob.data(), &texturedPs), D3D_OK);
        ASSERT_EQ(device->CreateVertexBuffer(600 * sizeof(Vertex2D), D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY, kFvf2D,
                                             D3DPOOL_DEFAULT, &vb, nullptr),
                  D3D_OK);
        device->SetVertexShader(vs);
        device->SetPixelShader(colorPs);
        device->SetFVF(kFvf2D);
        device->SetStreamSource(0, vb, 0, sizeof(Vertex2D));
        SetProjection(kWidth, kHeight);
        ASSERT_EQ(device->BeginScene(), D3D_OK);
    }

    void TearDown() override
    {
        ReleaseAll({vb, vs, colorPs, texturedPs});
        OpenGlDeviceTest::TearDown();
    }

    // Row-vector mul(v, M) with M mapping pixels to clip space; the shader
    // reads M's columns from c0..c3.
    void SetProjection(UINT width, UINT height)
    {
        const float columns[16] = {2.0f / width, 0, 0, -1, 0, -2.0f / height, 0, 1, 0, 0, 1, 0, 0, 0, 0, 1};
        ASSERT_EQ(device->SetVertexShaderConstantF(0, columns, 4), D3D_OK);
    }

    void Draw(const std::vector<Vertex2D>& vertices)
    {
        void* data = nullptr;
        ASSERT_EQ(vb->Lock(0, 0, &data, D3DLOCK_DISCARD), D3D_OK);
        std::memcpy(data, vertices.data(), vertices.size() * sizeof(Vertex2D));
        ASSERT_EQ(vb->Unlock(), D3D_OK);
        ASSERT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, static_cast<UINT>(vertices.size() / 3)), D3D_OK);
    }

    void Clear(D3DCOLOR color) { ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, color, 1.0f, 0), D3D_OK); }

    // Reads the target (the back buffer when null) into pixels.
    void Read(IDirect3DSurface9* surface = nullptr)
    {
        UINT w = 0, h = 0;
        ASSERT_TRUE(test::ReadRenderTarget(device, surface, &pixels, &w, &h));
        readWidth = w;
    }
    D3DCOLOR At(UINT x, UINT y) const { return pixels[y * readWidth + x]; }

    IDirect3DTexture9* MakeTexture(UINT w, UINT h, D3DFORMAT format, const void* bits, size_t bytes)
    {
        IDirect3DTexture9* texture = nullptr;
        EXPECT_EQ(device->CreateTexture(w, h, 1, 0, format, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
        D3DLOCKED_RECT locked = {};
        EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
        std::memcpy(locked.pBits, bits, bytes);
        EXPECT_EQ(texture->UnlockRect(0), D3D_OK);
        return texture;
    }

    void UseTexture(IDirect3DTexture9* texture)
    {
        device->SetPixelShader(texturedPs);
        device->SetTexture(0, texture);
    }

    IDirect3DVertexShader9* vs = nullptr;
    IDirect3DPixelShader9* colorPs = nullptr;
    IDirect3DPixelShader9* texturedPs = nullptr;
    IDirect3DVertexBuffer9* vb = nullptr;
    std::vector<D3DCOLOR> pixels;
    UINT readWidth = 0;
};

TEST_F(GlDeviceTest, ClearFillsTheTargetWithTheExactColour)
{
    Clear(0x80336699);
    Read();
    EXPECT_EQ(At(0, 0), 0x80336699u);
    EXPECT_EQ(At(kWidth - 1, kHeight - 1), 0x80336699u);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
}

TEST_F(GlDeviceTest, ClearAndDrawsHonourTheScissorRectangle)
{
    Clear(kBlue);
    RECT scissor = {4, 2, 10, 6};
    device->SetScissorRect(&scissor);
    device->SetRenderState(D3DRS_SCISSORTESTENABLE, TRUE);
    Clear(kGreen);
    RECT beyond = {20, 10, 100, 100}; // clipped to the target, not refused
    device->SetScissorRect(&beyond);
    std::vector<Vertex2D> v;
    AddQuad(&v, -0.5f, -0.5f, kWidth - 0.5f, kHeight - 0.5f, kRed);
    Draw(v);
    Read();
    EXPECT_EQ(At(4, 2), kGreen);
    EXPECT_EQ(At(9, 5), kGreen);
    EXPECT_EQ(At(10, 5), kBlue);
    EXPECT_EQ(At(9, 6), kBlue);
    EXPECT_EQ(At(3, 2), kBlue);
    EXPECT_EQ(At(19, 10), kBlue);
    EXPECT_EQ(At(20, 10), kRed);
    EXPECT_EQ(At(kWidth - 1, kHeight - 1), kRed);
}

TEST_F(GlDeviceTest, UntexturedTriangleKeepsItsVertexColour)
{
    Clear(0xFF000000);
    // Vertex colours are B,G,R,A in memory; the triangle covers the top-left half.
    std::vector<Vertex2D> v = {{-0.5f, -0.5f, 0, 1, 0xFF336699, 0, 0, 0},
                               {kWidth - 0.5f, -0.5f, 0, 1, 0xFF336699, 0, 0, 0},
                               {-0.5f, kHeight - 0.5f, 0, 1, 0xFF336699, 0, 0, 0}};
    Draw(v);
    Read();
    EXPECT_EQ(At(0, 0), 0xFF336699u);
    EXPECT_EQ(At(10, 5), 0xFF336699u);
    EXPECT_EQ(At(kWidth - 1, kHeight - 1), 0xFF000000u);
}

TEST_F(GlDeviceTest, HalfPixelShiftedQuadsLandExactlyOnPixels)
{
    Clear(0xFF000000);
    // One-pixel-wide quads, placed as the engine does: pixel edges at -0.5.
    std::vector<Vertex2D> v;
    for (UINT x = 0; x < kWidth; ++x)
        AddQuad(&v, x - 0.5f, 3 - 0.5f, x + 0.5f, 4 - 0.5f, x % 2 ? kRed : kGreen);
    Draw(v);
    Read();
    for (UINT x = 0; x < kWidth; ++x)
    {
        EXPECT_EQ(At(x, 3), x % 2 ? kRed : kGreen) << "x " << x;
        EXPECT_EQ(At(x, 2), 0xFF000000u) << "x " << x;
        EXPECT_EQ(At(x, 4), 0xFF000000u) << "x " << x;
    }
}

TEST_F(GlDeviceTest, MirroredQuadIsCulledAsDirect3DCullsIt)
{
    Clear(0xFF000000);
    std::vector<Vertex2D> v;
    AddQuad(&v, -0.5f, -0.5f, 7.5f, 7.5f, kRed);   // clockwise: drawn
    AddQuad(&v, 15.5f, -0.5f, 7.5f, 7.5f, kGreen); // mirrored in x: counter-clockwise, culled
    Draw(v);
    Read();
    EXPECT_EQ(At(3, 3), kRed);
    EXPECT_EQ(At(11, 3), 0xFF000000u);

    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    Draw(v);
    Read();
    EXPECT_EQ(At(11, 3), kGreen);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    Clear(0xFF000000);
    Draw(v);
    Read();
    EXPECT_EQ(At(3, 3), 0xFF000000u);
    EXPECT_EQ(At(11, 3), kGreen);
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
    const D3DCOLOR texels[4] = {c.texel, c.texel, c.texel, c.texel};
    IDirect3DTexture9* texture = MakeTexture(2, 2, D3DFMT_A8R8G8B8, texels, sizeof texels);
    UseTexture(texture);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, c.destBlend);
    device->SetRenderState(D3DRS_SEPARATEALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLENDALPHA, D3DBLEND_ONE);
    device->SetRenderState(D3DRS_DESTBLENDALPHA, D3DBLEND_ONE);
    std::vector<Vertex2D> v;
    AddQuad(&v, 1.5f, 1.5f, 5.5f, 5.5f, kWhite);
    Draw(v);
    Read();
    EXPECT_EQ(At(3, 3), c.expected) << std::hex << At(3, 3);
    EXPECT_EQ(At(0, 0), c.background);
    device->SetTexture(0, nullptr);
    texture->Release();
}

INSTANTIATE_TEST_SUITE_P(
    Modes, GlBlend,
    ::testing::Values(BlendCase{"AlphaOpaque", D3DBLEND_INVSRCALPHA, 0xFFFF0000, 0x000000FF, 0xFFFF0000},
                      BlendCase{"AlphaClear", D3DBLEND_INVSRCALPHA, 0x00FF0000, 0x000000FF, 0x000000FF},
                      BlendCase{"AlphaHalf", D3DBLEND_INVSRCALPHA, 0x33FF0000, 0x100000FF, 0x433300CC},
                      BlendCase{"AdditiveHalf", D3DBLEND_ONE, 0x3300FF00, 0x10202020, 0x43205320},
                      BlendCase{"AdditiveSaturates", D3DBLEND_ONE, 0xFFFFFF00, 0xFF808080, 0xFFFFFF80}),
    [](const ::testing::TestParamInfo<BlendCase>& info) { return std::string(info.param.name); });

TEST_F(GlDeviceTest, Dxt1BlocksDecodeIncludingTransparentBlack)
{
    // Two 4x4 blocks: 4-colour mode (red, blue endpoints) and 3-colour mode
    // with index 3, transparent black, in the bottom row.
    const uint8_t blocks[16] = {0x00, 0xF8, 0x1F, 0x00, 0x00, 0x00, 0x55, 0x55,  // rows: 0,0,1,1 (red, red, blue, blue)
                                0x00, 0x00, 0xE0, 0x07, 0x55, 0x55, 0x55, 0xFF}; // c0 black < c1 green; row 3 index 3
    IDirect3DTexture9* texture = MakeTexture(8, 4, D3DFMT_DXT1, blocks, sizeof blocks);
    Clear(0xFF808080);
    UseTexture(texture);
    std::vector<Vertex2D> v;
    AddQuad(&v, -0.5f, -0.5f, 7.5f, 3.5f, kWhite); // one texel per pixel, point filtering
    Draw(v);
    Read();
    EXPECT_EQ(At(0, 0), kRed);
    EXPECT_EQ(At(3, 1), kRed);
    EXPECT_EQ(At(2, 2), kBlue);
    EXPECT_EQ(At(1, 3), kBlue);
    EXPECT_EQ(At(4, 0), kGreen);
    EXPECT_EQ(At(7, 2), kGreen);
    EXPECT_EQ(At(5, 3), 0x00000000u);
    device->SetTexture(0, nullptr);
    texture->Release();
}

TEST_F(GlDeviceTest, Dxt5BlockCarriesInterpolatedAlpha)
{
    // Alpha endpoints 255 and 0, row codes 0, 1, 0, 1; colour white.
    const uint8_t block[16] = {0xFF, 0x00, 0x00, 0x90, 0x24, 0x00, 0x90, 0x24,
                               0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00};
    IDirect3DTexture9* texture = MakeTexture(4, 4, D3DFMT_DXT5, block, sizeof block);
    Clear(0x00000000);
    UseTexture(texture);
    std::vector<Vertex2D> v;
    AddQuad(&v, -0.5f, -0.5f, 3.5f, 3.5f, kWhite);
    Draw(v);
    Read();
    EXPECT_EQ(At(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(At(3, 1), 0x00FFFFFFu);
    EXPECT_EQ(At(2, 2), 0xFFFFFFFFu);
    EXPECT_EQ(At(1, 3), 0x00FFFFFFu);
    device->SetTexture(0, nullptr);
    texture->Release();
}

TEST_F(GlDeviceTest, OneLevelTextureSamplesUnderLinearMipFiltering)
{
    const D3DCOLOR texels[4] = {kGreen, kGreen, kGreen, kGreen};
    IDirect3DTexture9* texture = MakeTexture(2, 2, D3DFMT_A8R8G8B8, texels, sizeof texels);
    UseTexture(texture);
    device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_ANISOTROPIC);
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_LINEAR);
    Clear(0xFF000000);
    std::vector<Vertex2D> v;
    AddQuad(&v, -0.5f, -0.5f, 3.5f, 3.5f, kWhite);
    Draw(v);
    Read();
    EXPECT_EQ(At(1, 1), kGreen);
    device->SetTexture(0, nullptr);
    texture->Release();
}

TEST_F(GlDeviceTest, RenderTargetIsDrawnIntoAndSampledTheRightWayUp)
{
    IDirect3DTexture9* target = nullptr;
    ASSERT_EQ(device->CreateTexture(16, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &target,
                                    nullptr),
              D3D_OK);
    IDirect3DSurface9* surface = nullptr;
    IDirect3DSurface9* backBuffer = nullptr;
    ASSERT_EQ(target->GetSurfaceLevel(0, &surface), D3D_OK);
    ASSERT_EQ(device->GetRenderTarget(0, &backBuffer), D3D_OK);

    ASSERT_EQ(device->SetRenderTarget(0, surface), D3D_OK);
    SetProjection(16, 16);
    Clear(kGreen);
    std::vector<Vertex2D> v;
    AddQuad(&v, -0.5f, -0.5f, 7.5f, 3.5f, kRed); // the top-left corner of the target
    Draw(v);
    Read(surface);
    EXPECT_EQ(At(0, 0), kRed);
    EXPECT_EQ(At(7, 3), kRed);
    EXPECT_EQ(At(8, 0), kGreen);
    EXPECT_EQ(At(0, 4), kGreen);

    ASSERT_EQ(device->SetRenderTarget(0, backBuffer), D3D_OK);
    SetProjection(kWidth, kHeight);
    Clear(kBlue);
    UseTexture(target);
    v.clear();
    AddQuad(&v, -0.5f, -0.5f, 15.5f, 15.5f, kWhite);
    Draw(v);
    Read();
    EXPECT_EQ(At(0, 0), kRed);
    EXPECT_EQ(At(7, 3), kRed);
    EXPECT_EQ(At(8, 3), kGreen);
    EXPECT_EQ(At(0, 15), kGreen);
    EXPECT_EQ(At(16, 0), kBlue);

    device->SetTexture(0, nullptr);
    surface->Release();
    backBuffer->Release();
    target->Release();
}

TEST_F(GlDeviceTest, IndexedDrawsUseTheBaseVertex)
{
    Clear(0xFF000000);
    std::vector<Vertex2D> v;
    AddQuad(&v, -0.5f, -0.5f, 3.5f, 3.5f, kRed);
    AddQuad(&v, 7.5f, -0.5f, 11.5f, 3.5f, kGreen);
    Draw(v); // fills the buffer; both quads drawn
    Clear(0xFF000000);
    IDirect3DIndexBuffer9* ib = nullptr;
    ASSERT_EQ(device->CreateIndexBuffer(12, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib, nullptr), D3D_OK);
    void* data = nullptr;
    ASSERT_EQ(ib->Lock(0, 0, &data, 0), D3D_OK);
    const uint16_t indices[6] = {0, 1, 2, 3, 4, 5};
    std::memcpy(data, indices, sizeof indices);
    ASSERT_EQ(ib->Unlock(), D3D_OK);
    device->SetIndices(ib);
    ASSERT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 6, 0, 6, 0, 2), D3D_OK);
    Read();
    EXPECT_EQ(At(1, 1), 0xFF000000u);
    EXPECT_EQ(At(9, 1), kGreen);
    device->SetIndices(nullptr);
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
    Clear(0xFF000000);
    std::vector<Vertex2D> v;
    AddQuad(&v, -0.5f, -0.5f, 3.5f, 3.5f, 0xFF203040);
    Draw(v);
    Read();
    EXPECT_EQ(At(1, 1), 0xFF203040u);
    device->SetPixelShader(nullptr);
    ps->Release();
}

TEST_F(GlDeviceTest, ShaderTextThatDoesNotCompileIsRefused)
{
    const auto blob = MakeBlob(kBlobVersionPS20, "vec4 bw_Color0; void bw_main() { bw_Color0 = nonsense; }", 0, 0);
    IDirect3DPixelShader9* ps = reinterpret_cast<IDirect3DPixelShader9*>(this);
    EXPECT_EQ(device->CreatePixelShader(blob.data(), &ps), D3DERR_INVALIDCALL);
    EXPECT_EQ(ps, nullptr);
}

TEST_F(GlDeviceTest, ResetResizesTheBackBuffer)
{
    vb->Release(); // DEFAULT pool: must go before Reset
    vb = nullptr;
    ASSERT_EQ(device->EndScene(), D3D_OK);
    params.BackBufferWidth = 20;
    params.BackBufferHeight = 10;
    ASSERT_EQ(device->Reset(&params), D3D_OK);
    Clear(kRed);
    Read();
    EXPECT_EQ(pixels.size(), 200u);
    EXPECT_EQ(At(19, 9), kRed);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
}

} // namespace
} // namespace d3d9test
