#include "D3D9Fixture.h"

namespace d3d9test
{
namespace
{

using DeviceLoss = NullDeviceTest;

// Lost -> not reset -> Reset refused while a DEFAULT-pool buffer lives ->
// accepted after its release, as Direct3D 9 documents it.
TEST_F(DeviceLoss, FollowsDirect3DsSequence)
{
    IDirect3DVertexBuffer9* dynamic = BindDrawState(6);
    IDirect3DVertexBuffer9* managed = MakeVertexBuffer(6, D3DPOOL_MANAGED);
    IDirect3DTexture9* texture = MakeTexture(4, 4);
    EXPECT_EQ(test::LiveDefaultPoolObjects(device), 1u);

    test::LoseDevice(device);
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICELOST);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
    EXPECT_EQ(device->Reset(&params), D3DERR_DEVICELOST);

    // Draws are dropped without an error; locks still hand out memory.
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2), D3D_OK);
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0), D3D_OK);
    EXPECT_EQ(device->EndScene(), D3D_OK);
    EXPECT_EQ(test::GetStats(device).draws, 0u);
    EXPECT_EQ(test::GetStats(device).droppedDraws, 1u);
    void* bits = nullptr;
    ASSERT_EQ(dynamic->Lock(0, 0, &bits, D3DLOCK_DISCARD), D3D_OK);
    EXPECT_NE(bits, nullptr);
    EXPECT_EQ(dynamic->Unlock(), D3D_OK);

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

TEST_F(DeviceLoss, ResetWaitsForBackBufferAndRenderTargetReferences)
{
    IDirect3DSurface9* backBuffer = nullptr;
    ASSERT_EQ(device->GetRenderTarget(0, &backBuffer), D3D_OK);
    EXPECT_EQ(device->Reset(&params), D3DERR_INVALIDCALL);
    EXPECT_EQ(backBuffer->Release(), 0u);
    ASSERT_EQ(device->Reset(&params), D3D_OK);

    // A render target held only through its surface still counts.
    IDirect3DSurface9* surface = nullptr;
    IDirect3DTexture9* target = MakeTarget(8, 8, &surface);
    ASSERT_EQ(device->SetRenderTarget(0, surface), D3D_OK);
    EXPECT_EQ(target->Release(), 0u);
    EXPECT_EQ(device->Reset(&params), D3DERR_INVALIDCALL);
    EXPECT_EQ(surface->Release(), 0u);
    // Bound as render target is the device's own business: Reset unbinds it.
    EXPECT_EQ(device->Reset(&params), D3D_OK);
    EXPECT_NE(test::GetBoundRenderTarget(device), surface);
}

} // namespace
} // namespace d3d9test
