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
    EXPECT_EQ(device->BeginScene(), D3D_OK);
    EXPECT_EQ(device->EndScene(), D3D_OK);
    EXPECT_EQ(device->BeginScene(), D3D_OK);
    EXPECT_EQ(device->EndScene(), D3D_OK);
    EXPECT_EQ(device->BeginScene(), D3DERR_DRIVERINTERNALERROR);
    EXPECT_EQ(device->BeginScene(), D3DERR_DRIVERINTERNALERROR);
    EXPECT_FALSE(test::InScene(device)) << "a forced failure does nothing";
    EXPECT_EQ(device->BeginScene(), D3D_OK);
    EXPECT_EQ(device->EndScene(), D3D_OK);
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

TEST_F(TestHooks, CallLogRecordsArgumentsResultsAndReleases)
{
    IDirect3DVertexBuffer9* vb = MakeVertexBuffer(4);
    test::EnableCallLog(true);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_LINEAR);
    device->EndScene();
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    vb->Release();
    test::EnableCallLog(false);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);

    const std::vector<std::string> lines = test::CallLogLines();
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "SetRenderState(27, 1) = 0");
    EXPECT_EQ(lines[1], "SetSamplerState(0, 7, 2) = 0");
    EXPECT_EQ(lines[2], "EndScene() = 0x8876086C");
    EXPECT_EQ(lines[3], "Clear(0, 0, 1, 4278190080, 1, 0) = 0");
    EXPECT_EQ(lines[4].rfind("Release(0x", 0), 0u) << lines[4];
    const test::CallRecord& release = test::GetCallLog()[4];
    EXPECT_EQ(release.object, vb);
    EXPECT_EQ(release.result, 0);
    EXPECT_EQ(test::CallLogLines({test::Call::SetSamplerState}).size(), 1u);
}

TEST_F(TestHooks, CallLogNamesWhatCreateCallsHandOut)
{
    test::EnableCallLog(true);
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    const test::CallRecord& record = test::GetCallLog().back();
    EXPECT_EQ(record.call, test::Call::CreateTexture);
    EXPECT_EQ(record.out, texture);
    ASSERT_EQ(record.args.size(), 8u);
    EXPECT_EQ(record.args[4], test::Arg::U(D3DFMT_A8R8G8B8));
    texture->Release();
}

} // namespace
} // namespace d3d9test
