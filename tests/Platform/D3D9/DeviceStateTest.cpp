#include "D3D9Fixture.h"

namespace d3d9test
{
namespace
{

TEST_F(NullDeviceTest, SetRenderTargetResetsViewportAndScissor)
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
    ReleaseAll({surface, backBuffer, texture});
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

// Lost -> not reset -> Reset refused while a DEFAULT-pool buffer lives ->
// accepted after its release, as Direct3D 9 documents it.
TEST_F(NullDeviceTest, DeviceLossFollowsDirect3DsSequence)
{
    IDirect3DVertexBuffer9* dynamic = BindDrawState(6);
    IDirect3DVertexBuffer9* managed = MakeVertexBuffer(6, D3DPOOL_MANAGED);
    IDirect3DTexture9* texture = MakeTexture(4, 4);
    EXPECT_EQ(test::LiveDefaultPoolObjects(device), 1u);

    test::LoseDevice(device);
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICELOST);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
    EXPECT_EQ(device->Reset(&params), D3DERR_DEVICELOST);

    test::AllowReset(device);
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
    EXPECT_EQ(device->Reset(&params), D3DERR_INVALIDCALL); // the dynamic buffer is still held
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);

    EXPECT_EQ(dynamic->Release(), 0u); // bound to stream 0, but no longer the caller's
    EXPECT_EQ(test::LiveDefaultPoolObjects(device), 0u);
    ASSERT_EQ(device->Reset(&params), D3D_OK);
    EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);
    EXPECT_EQ(test::GetBoundStream(device), nullptr);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);

    // MANAGED resources survive.
    D3DLOCKED_RECT locked = {};
    EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    EXPECT_EQ(texture->UnlockRect(0), D3D_OK);
    ReleaseAll({managed, texture});
}

} // namespace
} // namespace d3d9test
