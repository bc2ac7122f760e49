#pragma once

// The IDirect3D9 object: the one adapter, its display mode, capabilities and
// format answers (configured by the test hooks), and device creation.

#include "Platform/D3D9/D3D9.h"
#include "Platform/D3D9/Hooks.h"

namespace d3d9
{

class Direct3D9 final : public IDirect3D9
{
public:
    Direct3D9() = default;

    ULONG AddRef() override;
    ULONG Release() override;
    // Devices hold the object without their references being the caller's.
    void AddReferenceInternal() { ++mReferences; }
    void ReleaseReferenceInternal();

    HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) override;
    HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT adapterFormat, DWORD usage,
                              D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat) override;
    HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE deviceType, D3DCAPS9* caps) override;
    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND focusWindow, DWORD behaviorFlags,
                         D3DPRESENT_PARAMETERS* presentParameters, IDirect3DDevice9** device) override;

private:
    ~Direct3D9() override = default;

    ULONG mReferences = 1;
    hooks::LiveToken mLive;
};

} // namespace d3d9
