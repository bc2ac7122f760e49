#include "D3D9Fixture.h"

namespace d3d9test
{
namespace
{

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
