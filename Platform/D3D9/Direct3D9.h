#pragma once

// The IDirect3D9 object: the one adapter, its display mode, capabilities and
// format answers (configured by the test hooks), and device creation.

#include "Platform/D3D9/CountedObject.h"
#include "Platform/D3D9/D3D9.h"
#include "Platform/D3D9/Hooks.h"

namespace d3d9
{

class Direct3D9 final : public CountedObject<IDirect3D9>
{
public:
    Direct3D9() = default;

    HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) override;
    HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT adapterFormat, DWORD usage,
                              D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat) override;
    HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE deviceType, D3DCAPS9* caps) override;
    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND focusWindow, DWORD behaviorFlags,
                         D3DPRESENT_PARAMETERS* presentParameters, IDirect3DDevice9** device) override;

private:
    ~Direct3D9() override = default;

    hooks::LiveToken mLive;
};

} // namespace d3d9
