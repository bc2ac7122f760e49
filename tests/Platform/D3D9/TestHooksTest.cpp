#include "D3D9Fixture.h"

namespace d3d9test
{
namespace
{

using TestHooks = NullDeviceTest;

TEST_F(TestHooks, ForcedResultsCountAndExpire)
{
    // Two calls pass, the next two fail, then calls pass again.
    test::ForceResult(test::Call::BeginScene, D3DERR_DRIVERINTERNALERROR, 2, 2);
    for (HRESULT expected : {D3D_OK, D3D_OK, D3DERR_DRIVERINTERNALERROR, D3DERR_DRIVERINTERNALERROR, D3D_OK})
    {
        EXPECT_EQ(device->BeginScene(), expected);
        EXPECT_EQ(test::InScene(device), expected == D3D_OK) << "a forced failure does nothing";
        device->EndScene();
    }
}

TEST_F(TestHooks, ForcedSuccessCodesStillDoTheWork)
{
    test::ForceResult(test::Call::GetDeviceCaps, 0x7, test::kAlways);
    D3DCAPS9 caps = {};
    EXPECT_EQ(d3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps), 0x7);
    EXPECT_EQ(d3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps), 0x7);
    EXPECT_EQ(caps.MaxTextureWidth, 8192u);
    // A real failure is not masked by a forced success code.
    EXPECT_EQ(d3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr), D3DERR_INVALIDCALL);
    test::ClearForcedResults();
    EXPECT_EQ(d3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps), D3D_OK);
}

TEST_F(TestHooks, ForcedLockFailureHandsOutNoMemory)
{
    IDirect3DVertexBuffer9* vb = MakeVertexBuffer(4);
    test::ForceResult(test::Call::VertexBufferLock, D3DERR_INVALIDCALL, 1);
    void* data = this;
    EXPECT_EQ(vb->Lock(0, 0, &data, D3DLOCK_DISCARD), D3DERR_INVALIDCALL);
    EXPECT_EQ(data, nullptr);
    EXPECT_EQ(vb->Unlock(), D3DERR_INVALIDCALL) << "it was never locked";
    EXPECT_EQ(vb->Lock(0, 0, &data, D3DLOCK_DISCARD), D3D_OK);
    EXPECT_EQ(vb->Unlock(), D3D_OK);
    vb->Release();
}

TEST_F(TestHooks, CallLogRecordsArgumentsResultsReleasesAndWhatCreateCallsHandOut)
{
    IDirect3DVertexBuffer9* vb = MakeVertexBuffer(4);
    test::EnableCallLog(true);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_LINEAR);
    device->EndScene();
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    vb->Release();
    IDirect3DTexture9* texture = MakeTexture(4, 4);
    test::EnableCallLog(false);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);

    const std::vector<std::string> lines = test::CallLogLines();
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "SetRenderState(27, 1) = 0");
    EXPECT_EQ(lines[1], "SetSamplerState(0, 7, 2) = 0");
    EXPECT_EQ(lines[2], "EndScene() = 0x8876086C");
    EXPECT_EQ(lines[3], "Clear(0, 0, 1, 4278190080, 1, 0) = 0");
    EXPECT_EQ(lines[4].rfind("Release(0x", 0), 0u) << lines[4];
    const test::CallRecord& release = test::GetCallLog()[4];
    EXPECT_EQ(release.object, vb);
    EXPECT_EQ(release.result, 0);
    EXPECT_EQ(test::CallLogLines({test::Call::SetSamplerState}).size(), 1u);

    const test::CallRecord& create = test::GetCallLog()[5];
    EXPECT_EQ(create.call, test::Call::CreateTexture);
    EXPECT_EQ(create.out, texture);
    ASSERT_EQ(create.args.size(), 8u);
    EXPECT_EQ(create.args[4], test::Arg::U(D3DFMT_A8R8G8B8));
    texture->Release();
}

} // namespace
} // namespace d3d9test
