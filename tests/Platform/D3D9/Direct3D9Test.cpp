#include "D3D9Fixture.h"

#include <functional>

namespace d3d9test
{
namespace
{

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
    HRESULT Create(DWORD flags, D3DDEVTYPE type = D3DDEVTYPE_HAL)
    {
        return d3d->CreateDevice(D3DADAPTER_DEFAULT, type, nullptr, flags, &params, &device);
    }
};

TEST_F(Direct3D9Test, BadCreationParametersAreRefused)
{
    EXPECT_EQ(Direct3DCreate9(31), nullptr);
    EXPECT_EQ(d3d->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, D3DFMT_A8R8G8B8, 0, D3DRTYPE_TEXTURE,
                                     D3DFMT_DXT1),
              D3DERR_INVALIDCALL)
        << "an alpha format is no display format";
    const DWORD hardware = D3DCREATE_HARDWARE_VERTEXPROCESSING;
    const std::function<void(D3DPRESENT_PARAMETERS&)> changes[] = {
        [](D3DPRESENT_PARAMETERS& p) { p.MultiSampleType = D3DMULTISAMPLE_NONMASKABLE; },
        [](D3DPRESENT_PARAMETERS& p) { p.AutoDepthStencilFormat = D3DFMT_A8R8G8B8; },
        [](D3DPRESENT_PARAMETERS& p) { p.BackBufferWidth = p.BackBufferHeight = 0, p.Windowed = FALSE; },
    };
    for (const auto& change : changes)
    {
        params = WindowedParameters(nullptr, 32, 32);
        change(params);
        EXPECT_EQ(Create(hardware), D3DERR_INVALIDCALL);
    }
    params = WindowedParameters(nullptr, 32, 32);
    EXPECT_EQ(Create(0), D3DERR_INVALIDCALL);
    EXPECT_EQ(Create(hardware | D3DCREATE_SOFTWARE_VERTEXPROCESSING), D3DERR_INVALIDCALL);
    EXPECT_EQ(Create(hardware, D3DDEVTYPE_REF), D3DERR_NOTAVAILABLE);
    EXPECT_EQ(device, nullptr);
}

TEST_F(Direct3D9Test, CreateDeviceFillsInWhatWasLeftToItAndKeepsItsDirect3DObjectAlive)
{
    params.BackBufferFormat = D3DFMT_UNKNOWN;
    params.BackBufferCount = 0;
    ASSERT_EQ(Create(D3DCREATE_HARDWARE_VERTEXPROCESSING), D3D_OK);
    EXPECT_EQ(params.BackBufferFormat, D3DFMT_X8R8G8B8);
    EXPECT_EQ(params.BackBufferCount, 1u);
    EXPECT_EQ(d3d->Release(), 1u); // the caller's reference is gone ...
    d3d = nullptr;
    EXPECT_EQ(test::LiveDevices(), 1u); // ... and the device's goes with the device
}

} // namespace
} // namespace d3d9test
