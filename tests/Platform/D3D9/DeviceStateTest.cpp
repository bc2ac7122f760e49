#include "D3D9Fixture.h"

namespace d3d9test
{
namespace
{

// Direct3D 9's documented defaults, which the renderer relies on for what it
// does not set itself.
const std::pair<D3DRENDERSTATETYPE, DWORD> kRenderStateDefaults[] = {
    {D3DRS_ZENABLE, D3DZB_TRUE},         {D3DRS_ZWRITEENABLE, TRUE},          {D3DRS_ZFUNC, D3DCMP_LESSEQUAL},
    {D3DRS_ALPHABLENDENABLE, FALSE},     {D3DRS_SRCBLEND, D3DBLEND_ONE},      {D3DRS_DESTBLEND, D3DBLEND_ZERO},
    {D3DRS_BLENDOP, D3DBLENDOP_ADD},     {D3DRS_CULLMODE, D3DCULL_CCW},       {D3DRS_SCISSORTESTENABLE, FALSE},
    {D3DRS_SEPARATEALPHABLENDENABLE, 0}, {D3DRS_SRCBLENDALPHA, D3DBLEND_ONE}, {D3DRS_DESTBLENDALPHA, D3DBLEND_ZERO},
    {D3DRS_COLORWRITEENABLE, 0xF},       {D3DRS_COLORVERTEX, TRUE},
};

class DeviceDefaults : public NullDeviceTest, public ::testing::WithParamInterface<bool>
{
};

TEST_P(DeviceDefaults, HoldAtCreationAndAfterReset)
{
    if (GetParam())
    {
        // Change everything, then Reset to a new size.
        for (const auto& d : kRenderStateDefaults)
            device->SetRenderState(d.first, d.second + 1);
        device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
        BindDrawState(4)->Release();
        D3DVIEWPORT9 small = {1, 1, 4, 4, 0.0f, 0.5f};
        device->SetViewport(&small);
        params.BackBufferWidth = 48;
        params.BackBufferHeight = 40;
        ASSERT_EQ(device->Reset(&params), D3D_OK);
    }
    for (const auto& d : kRenderStateDefaults)
        EXPECT_EQ(test::GetRenderState(device, d.first), d.second) << "render state " << d.first;
    EXPECT_EQ(test::GetSamplerState(device, 0, D3DSAMP_MINFILTER), D3DTEXF_POINT);
    const D3DVIEWPORT9 vp = test::GetViewport(device);
    const RECT sc = test::GetScissorRect(device);
    const LONG w = LONG(params.BackBufferWidth), h = LONG(params.BackBufferHeight);
    EXPECT_EQ(std::vector<LONG>({LONG(vp.Width), LONG(vp.Height), sc.right, sc.bottom}), std::vector<LONG>({w, h, w, h}));
    EXPECT_EQ(vp.MaxZ, 1.0f);
    EXPECT_EQ(test::GetBoundVertexShader(device), nullptr);
    EXPECT_EQ(test::GetBoundStream(device), nullptr);
}

INSTANTIATE_TEST_SUITE_P(AtCreation, DeviceDefaults, ::testing::Values(false));
INSTANTIATE_TEST_SUITE_P(AfterReset, DeviceDefaults, ::testing::Values(true));

TEST_F(NullDeviceTest, SetRenderTargetResetsViewportAndScissorAndRefusesWhatIsNoRenderTarget)
{
    IDirect3DSurface9* surface = nullptr;
    IDirect3DTexture9* texture = MakeTarget(16, 8, &surface);
    IDirect3DSurface9* backBuffer = nullptr;
    ASSERT_EQ(device->GetRenderTarget(0, &backBuffer), D3D_OK);
    RECT scissor = {1, 2, 3, 4};
    device->SetScissorRect(&scissor);
    ASSERT_EQ(device->SetRenderTarget(0, surface), D3D_OK);
    EXPECT_EQ(test::GetViewport(device).Height, 8u);
    EXPECT_EQ(test::GetScissorRect(device).right, 16);
    EXPECT_EQ(test::GetScissorRect(device).left, 0);
    ASSERT_EQ(device->SetRenderTarget(0, backBuffer), D3D_OK);
    EXPECT_EQ(test::GetViewport(device).Width, 64u);
    EXPECT_EQ(test::GetScissorRect(device).bottom, 32);
    D3DVIEWPORT9 tooWide = {0, 0, 65, 32, 0.0f, 1.0f};
    EXPECT_EQ(device->SetViewport(&tooWide), D3DERR_INVALIDCALL) << "a viewport must lie inside the target";

    IDirect3DTexture9* plain = MakeTexture(8, 8);
    IDirect3DSurface9* plainSurface = nullptr;
    ASSERT_EQ(plain->GetSurfaceLevel(0, &plainSurface), D3D_OK);
    EXPECT_EQ(device->SetRenderTarget(0, plainSurface), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetRenderTarget(0, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetRenderTarget(1, backBuffer), D3DERR_INVALIDCALL);
    ReleaseAll({surface, backBuffer, texture, plainSurface, plain});
}

TEST_F(NullDeviceTest, ScenesNestNeverAndDrawsNeedOne)
{
    EXPECT_EQ(device->EndScene(), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->BeginScene(), D3D_OK);
    EXPECT_EQ(device->BeginScene(), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->EndScene(), D3D_OK);
    // Clear and Present work outside a scene; draws do not.
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0), D3D_OK);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    IDirect3DVertexBuffer9* vb = BindDrawState(3);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL);
    vb->Release();
}

TEST_F(NullDeviceTest, ShaderConstantsLandInTheirRegisterFiles)
{
    const float values[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    ASSERT_EQ(device->SetVertexShaderConstantF(254, values, 2), D3D_OK);
    EXPECT_EQ(device->SetVertexShaderConstantF(255, values, 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetPixelShaderConstantF(223, values, 2), D3DERR_INVALIDCALL);
    ASSERT_EQ(device->SetPixelShaderConstantF(3, values + 4, 1), D3D_OK);
    float got[8] = {};
    test::GetVertexShaderConstants(device, 254, got, 2);
    EXPECT_EQ(got[7], 8.0f);
    test::GetPixelShaderConstants(device, 3, got, 1);
    EXPECT_EQ(got[0], 5.0f);
}

} // namespace
} // namespace d3d9test
