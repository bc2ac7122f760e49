#include "Platform/D3D9/Direct3D9.h"

#include "Platform/D3D9/Device.h"

namespace d3d9
{

using test::Arg;
using test::Call;

HRESULT Direct3D9::GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode)
{
    hooks::CallTrace trace(Call::GetAdapterDisplayMode, this, {Arg::U(adapter), Arg::P(mode)});
    if (trace.Fails())
        return trace.Forced();
    if (!mode || adapter != D3DADAPTER_DEFAULT)
        return trace.Finish(D3DERR_INVALIDCALL);
    *mode = hooks::DisplayMode();
    return trace.Finish(D3D_OK);
}

HRESULT Direct3D9::CheckDeviceFormat(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT adapterFormat, DWORD usage,
                                     D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat)
{
    hooks::CallTrace trace(Call::CheckDeviceFormat, this,
                           {Arg::U(adapter), Arg::U(deviceType), Arg::U(adapterFormat), Arg::U(usage),
                            Arg::U(resourceType), Arg::U(checkFormat)});
    if (trace.Fails())
        return trace.Forced();
    // The adapter format must be one a display can run in.
    if (adapter != D3DADAPTER_DEFAULT || (adapterFormat != D3DFMT_X8R8G8B8 && adapterFormat != D3DFMT_R5G6B5))
        return trace.Finish(D3DERR_INVALIDCALL);
    if (deviceType != D3DDEVTYPE_HAL)
        return trace.Finish(D3DERR_NOTAVAILABLE);
    return trace.Finish(hooks::FormatAnswer(checkFormat, usage, resourceType));
}

HRESULT Direct3D9::GetDeviceCaps(UINT adapter, D3DDEVTYPE deviceType, D3DCAPS9* caps)
{
    hooks::CallTrace trace(Call::GetDeviceCaps, this, {Arg::U(adapter), Arg::U(deviceType), Arg::P(caps)});
    if (trace.Fails())
        return trace.Forced();
    if (!caps || adapter != D3DADAPTER_DEFAULT)
        return trace.Finish(D3DERR_INVALIDCALL);
    if (deviceType != D3DDEVTYPE_HAL)
        return trace.Finish(D3DERR_NOTAVAILABLE);
    *caps = hooks::Caps();
    caps->DeviceType = deviceType;
    caps->AdapterOrdinal = adapter;
    return trace.Finish(D3D_OK);
}

HRESULT Direct3D9::CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND focusWindow, DWORD behaviorFlags,
                                D3DPRESENT_PARAMETERS* presentParameters, IDirect3DDevice9** device)
{
    const DWORD processing = behaviorFlags & (D3DCREATE_SOFTWARE_VERTEXPROCESSING |
                                              D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_MIXED_VERTEXPROCESSING);
    const Call specific = processing == D3DCREATE_SOFTWARE_VERTEXPROCESSING   ? Call::CreateDeviceSoftwareVertexProcessing
                          : processing == D3DCREATE_HARDWARE_VERTEXPROCESSING ? Call::CreateDeviceHardwareVertexProcessing
                                                                              : Call::Count;
    hooks::CallTrace trace(Call::CreateDevice, this,
                           {Arg::U(adapter), Arg::U(deviceType), Arg::P(focusWindow), Arg::U(behaviorFlags),
                            Arg::P(presentParameters), Arg::P(device)},
                           specific);
    if (device)
        *device = nullptr;
    if (trace.Fails())
        return trace.Forced();
    // Exactly one kind of vertex processing must be asked for.
    if (!device || !presentParameters || adapter != D3DADAPTER_DEFAULT ||
        (processing != D3DCREATE_SOFTWARE_VERTEXPROCESSING && processing != D3DCREATE_HARDWARE_VERTEXPROCESSING &&
         processing != D3DCREATE_MIXED_VERTEXPROCESSING))
        return trace.Finish(D3DERR_INVALIDCALL);
    if (deviceType != D3DDEVTYPE_HAL)
        return trace.Finish(D3DERR_NOTAVAILABLE);

    std::unique_ptr<ExecutionBackend> backend =
        test::GetBackend() == test::Backend::Null ? CreateNullBackend() : CreateGlBackend();
    Device* created = new Device(this, std::move(backend), focusWindow, behaviorFlags);
    HRESULT hr = created->Init(presentParameters);
    if (FAILED(hr))
    {
        created->ReleaseReferenceInternal();
        return trace.Finish(hr);
    }
    *device = created;
    return trace.Finish(D3D_OK, created);
}

} // namespace d3d9

IDirect3D9* Direct3DCreate9(UINT SDKVersion)
{
    d3d9::hooks::CallTrace trace(d3d9::test::Call::Direct3DCreate9, nullptr, {d3d9::test::Arg::U(SDKVersion)});
    if (trace.Fails())
    {
        trace.Forced();
        return nullptr;
    }
    if (SDKVersion != D3D_SDK_VERSION)
    {
        trace.Finish(D3DERR_INVALIDCALL);
        return nullptr;
    }
    IDirect3D9* d3d = new d3d9::Direct3D9();
    trace.Finish(D3D_OK, d3d);
    return d3d;
}
