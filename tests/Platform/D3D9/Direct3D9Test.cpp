#include "D3D9Fixture.h"

namespace d3d9test
{
namespace
{

// Results and values keep their Windows meaning on LP64.
static_assert(sizeof(HRESULT) == 4 && sizeof(DWORD) == 4 && sizeof(D3DCOLOR) == 4, "fixed widths");
static_assert(FAILED(D3DERR_DEVICELOST) && FAILED(D3DERR_OUTOFVIDEOMEMORY), "failures are negative");
static_assert(static_cast<DWORD>(D3DFMT_DXT5) == 0x35545844u && kFvf2D == 0x41C2u, "stored values");

class Direct3D9Test : public DeviceTest
{
protected:
    void SetUp() override
    {
        test::SetBackend(test::Backend::Null);
        d3d = Direct3DCreate9(D3D_SDK_VERSION);
        ASSERT_NE(d3d, nullptr);
        params = WindowedParameters(nullptr, 32, 32);
    }
    HRESULT Create(DWORD flags, IDirect3DDevice9** out, D3DDEVTYPE type = D3DDEVTYPE_HAL)
    {
        return d3d->CreateDevice(D3DADAPTER_DEFAULT, type, nullptr, flags, &params, out);
    }
};

TEST_F(Direct3D9Test, CreationFailsForAnotherSdkVersionOrWhenForced)
{
    EXPECT_EQ(Direct3DCreate9(31), nullptr);
    test::ForceResult(test::Call::Direct3DCreate9, E_FAIL, 1);
    EXPECT_EQ(Direct3DCreate9(D3D_SDK_VERSION), nullptr);
    IDirect3D9* again = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->Release(), 0u);
}

TEST_F(Direct3D9Test, CheckDeviceFormatAnswersTexturesAndOverrides)
{
    auto check = [&](D3DFORMAT adapter, DWORD usage, D3DFORMAT format) {
        return d3d->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, adapter, usage, D3DRTYPE_TEXTURE, format);
    };
    for (D3DFORMAT f : {D3DFMT_DXT1, D3DFMT_DXT2, D3DFMT_DXT3, D3DFMT_DXT4, D3DFMT_DXT5, D3DFMT_A8R8G8B8})
        EXPECT_EQ(check(D3DFMT_X8R8G8B8, 0, f), D3D_OK) << f;
    EXPECT_EQ(check(D3DFMT_X8R8G8B8, D3DUSAGE_RENDERTARGET, D3DFMT_DXT1), D3DERR_NOTAVAILABLE);
    EXPECT_EQ(check(D3DFMT_X8R8G8B8, 0, D3DFMT_A8), D3DERR_NOTAVAILABLE);
    EXPECT_EQ(check(D3DFMT_A8R8G8B8, 0, D3DFMT_DXT1), D3DERR_INVALIDCALL) << "an alpha format is no display format";

    test::SetFormatAnswer(D3DFMT_DXT3, D3DERR_NOTAVAILABLE);
    test::SetFormatAnswer(D3DFMT_DXT5, S_FALSE);
    EXPECT_EQ(check(D3DFMT_X8R8G8B8, 0, D3DFMT_DXT3), D3DERR_NOTAVAILABLE);
    EXPECT_EQ(check(D3DFMT_X8R8G8B8, 0, D3DFMT_DXT5), S_FALSE);
}

TEST_F(Direct3D9Test, ForcedCreateDeviceResults)
{
    // A positive result still creates the device.
    test::ForceResult(test::Call::CreateDevice, 0x10, 1);
    IDirect3DDevice9* created = nullptr;
    EXPECT_EQ(Create(D3DCREATE_HARDWARE_VERTEXPROCESSING, &created), 0x10);
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(created->Release(), 0u);

    // A hardware failure leaves software processing working.
    test::ForceResult(test::Call::CreateDeviceHardwareVertexProcessing, D3DERR_NOTAVAILABLE);
    created = reinterpret_cast<IDirect3DDevice9*>(this);
    EXPECT_EQ(Create(D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_MULTITHREADED, &created), D3DERR_NOTAVAILABLE);
    EXPECT_EQ(created, nullptr);
    ASSERT_EQ(Create(D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_MULTITHREADED, &device), D3D_OK);
}

TEST_F(Direct3D9Test, CreateDeviceRejectsBadParameters)
{
    EXPECT_EQ(Create(0, &device), D3DERR_INVALIDCALL);
    EXPECT_EQ(Create(D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_SOFTWARE_VERTEXPROCESSING, &device),
              D3DERR_INVALIDCALL);
    params.MultiSampleType = D3DMULTISAMPLE_NONMASKABLE;
    EXPECT_EQ(Create(D3DCREATE_HARDWARE_VERTEXPROCESSING, &device), D3DERR_INVALIDCALL);
    params = WindowedParameters(nullptr, 32, 32);
    params.AutoDepthStencilFormat = D3DFMT_A8R8G8B8;
    EXPECT_EQ(Create(D3DCREATE_HARDWARE_VERTEXPROCESSING, &device), D3DERR_INVALIDCALL);
    params = WindowedParameters(nullptr, 0, 0);
    params.Windowed = FALSE;
    EXPECT_EQ(Create(D3DCREATE_HARDWARE_VERTEXPROCESSING, &device), D3DERR_INVALIDCALL);
    EXPECT_EQ(device, nullptr);
    EXPECT_EQ(Create(D3DCREATE_HARDWARE_VERTEXPROCESSING, &device, D3DDEVTYPE_REF), D3DERR_NOTAVAILABLE);
}

TEST_F(Direct3D9Test, CreateDeviceFillsInWhatWasLeftToItAndKeepsItsDirect3DObjectAlive)
{
    params.BackBufferFormat = D3DFMT_UNKNOWN;
    params.BackBufferCount = 0;
    ASSERT_EQ(Create(D3DCREATE_HARDWARE_VERTEXPROCESSING, &device), D3D_OK);
    EXPECT_EQ(params.BackBufferFormat, D3DFMT_X8R8G8B8);
    EXPECT_EQ(params.BackBufferCount, 1u);

    EXPECT_EQ(d3d->Release(), 1u); // the caller's reference is gone ...
    d3d = nullptr;
    EXPECT_EQ(test::LiveDevices(), 1u); // ... and the device's goes with the device
}

} // namespace
} // namespace d3d9test
