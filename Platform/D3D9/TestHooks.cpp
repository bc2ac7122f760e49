#include "Platform/D3D9/D3D9TestHooks.h"

#include "Platform/D3D9/Device.h"
#include "Platform/D3D9/Hooks.h"
#include "Platform/D3D9/Buffer.h"
#include "Platform/D3D9/Shader.h"
#include "Platform/D3D9/Texture.h"
#include "Platform/Win32/SdlGlue.h"

#include <SDL.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <deque>
#include <map>

namespace d3d9
{
namespace
{

struct ForcedResult
{
    HRESULT result;
    int times;
    int after;
};

struct HookState
{
    test::Backend backend = test::Backend::OpenGL;
    D3DCAPS9 caps = test::DefaultCaps();
    std::map<DWORD, HRESULT> formatAnswers;
    bool haveDisplayMode = false;
    D3DDISPLAYMODE displayMode = {};
    std::map<test::Call, std::deque<ForcedResult>> forced;
    bool logging = false;
    std::vector<test::CallRecord> log;
};

HookState& State()
{
    static HookState* state = new HookState(); // outlives every static destructor
    return *state;
}

std::vector<Device*>& Devices()
{
    static std::vector<Device*>* devices = new std::vector<Device*>();
    return *devices;
}

UINT gLiveObjects = 0;

void UpdateTracing()
{
    HookState& s = State();
    hooks::gTracing = s.logging || !s.forced.empty();
}

// Takes the forced result for a call, if one applies to it now.
bool TakeForced(test::Call call, HRESULT* result)
{
    HookState& s = State();
    auto it = s.forced.find(call);
    if (it == s.forced.end() || it->second.empty())
        return false;
    ForcedResult& f = it->second.front();
    if (f.after > 0)
    {
        --f.after;
        return false;
    }
    *result = f.result;
    if (f.times != test::kAlways && --f.times <= 0)
    {
        it->second.pop_front();
        if (it->second.empty())
            s.forced.erase(it);
        UpdateTracing();
    }
    return true;
}

Device* AsDevice(IDirect3DDevice9* device)
{
    return dynamic_cast<Device*>(device);
}

template <class F>
void ForEachDevice(IDirect3DDevice9* device, F f)
{
    if (device)
    {
        if (Device* d = AsDevice(device))
            f(d);
        return;
    }
    // Copied: a hook may end a device's life.
    const std::vector<Device*> devices = Devices();
    for (Device* d : devices)
        f(d);
}

const char* const kCallNames[] = {
    "Direct3DCreate9",
    "GetAdapterDisplayMode",
    "CheckDeviceFormat",
    "GetDeviceCaps",
    "CreateDevice",
    "CreateDeviceHardwareVertexProcessing",
    "CreateDeviceSoftwareVertexProcessing",
    "TestCooperativeLevel",
    "Reset",
    "Present",
    "BeginScene",
    "EndScene",
    "Clear",
    "GetRenderTarget",
    "SetRenderTarget",
    "SetViewport",
    "SetRenderState",
    "SetSamplerState",
    "SetTextureStageState",
    "SetScissorRect",
    "SetFVF",
    "SetStreamSource",
    "SetIndices",
    "SetVertexShader",
    "SetPixelShader",
    "SetVertexShaderConstantF",
    "SetPixelShaderConstantF",
    "SetTexture",
    "DrawPrimitive",
    "DrawIndexedPrimitive",
    "CreateVertexBuffer",
    "CreateIndexBuffer",
    "CreateTexture",
    "CreateVertexShader",
    "CreatePixelShader",
    "VertexBufferLock",
    "VertexBufferUnlock",
    "IndexBufferLock",
    "IndexBufferUnlock",
    "TextureLockRect",
    "TextureUnlockRect",
    "TextureGetSurfaceLevel",
    "AddRef",
    "Release",
};
static_assert(sizeof(kCallNames) / sizeof(kCallNames[0]) == static_cast<size_t>(test::Call::Count),
              "one name per call");

} // namespace

namespace hooks
{

bool gTracing = false;

void CallTrace::Begin(test::Call call, const void* object, std::initializer_list<test::Arg> args,
                      test::Call alsoForced)
{
    HRESULT result = D3D_OK;
    if (TakeForced(call, &result) || (alsoForced != test::Call::Count && TakeForced(alsoForced, &result)))
    {
        mForced = true;
        mForcedResult = result;
    }
    HookState& s = State();
    if (s.logging)
    {
        test::CallRecord record;
        record.call = call;
        record.object = object;
        record.args.assign(args.begin(), args.end());
        mRecord = s.log.size();
        s.log.push_back(std::move(record));
        mLogged = true;
    }
}

void CallTrace::End(HRESULT result, const void* out)
{
    HookState& s = State();
    if (mRecord < s.log.size())
    {
        s.log[mRecord].result = result;
        s.log[mRecord].out = out;
    }
}

void LogReferenceCount(test::Call call, const void* object, ULONG count)
{
    HookState& s = State();
    if (!s.logging)
        return;
    test::CallRecord record;
    record.call = call;
    record.object = object;
    record.result = static_cast<HRESULT>(count);
    s.log.push_back(std::move(record));
}

LiveToken::LiveToken()
{
    ++gLiveObjects;
}

LiveToken::~LiveToken()
{
    --gLiveObjects;
}

void RegisterDevice(Device* device)
{
    Devices().push_back(device);
}

void UnregisterDevice(Device* device)
{
    std::vector<Device*>& devices = Devices();
    devices.erase(std::remove(devices.begin(), devices.end(), device), devices.end());
}

const D3DCAPS9& Caps()
{
    return State().caps;
}

HRESULT FormatAnswer(D3DFORMAT format, DWORD usage, D3DRESOURCETYPE type)
{
    const HookState& s = State();
    auto it = s.formatAnswers.find(format);
    if (it != s.formatAnswers.end())
        return it->second;
    if (type != D3DRTYPE_TEXTURE && type != D3DRTYPE_SURFACE)
        return D3DERR_NOTAVAILABLE;
    switch (format)
    {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
        return D3D_OK;
    case D3DFMT_DXT1:
    case D3DFMT_DXT2:
    case D3DFMT_DXT3:
    case D3DFMT_DXT4:
    case D3DFMT_DXT5:
        return (usage & D3DUSAGE_RENDERTARGET) ? D3DERR_NOTAVAILABLE : D3D_OK;
    default:
        return D3DERR_NOTAVAILABLE;
    }
}

D3DDISPLAYMODE DisplayMode()
{
    const HookState& s = State();
    if (s.haveDisplayMode)
        return s.displayMode;
    D3DDISPLAYMODE mode = {1366, 768, 60, D3DFMT_X8R8G8B8};
    SDL_DisplayMode desktop;
    if (SDL_WasInit(SDL_INIT_VIDEO) && SDL_GetDesktopDisplayMode(0, &desktop) == 0 && desktop.w > 0 &&
        desktop.h > 0)
    {
        mode.Width = static_cast<UINT>(desktop.w);
        mode.Height = static_cast<UINT>(desktop.h);
        mode.RefreshRate = desktop.refresh_rate > 0 ? static_cast<UINT>(desktop.refresh_rate) : 60;
    }
    return mode;
}

} // namespace hooks

namespace test
{

const char* CallName(Call call)
{
    const size_t index = static_cast<size_t>(call);
    return index < static_cast<size_t>(Call::Count) ? kCallNames[index] : "?";
}

void ForceResult(Call call, HRESULT result, int times, int after)
{
    if (times == 0 || call >= Call::Count)
        return;
    State().forced[call].push_back({result, times, after < 0 ? 0 : after});
    UpdateTracing();
}

void ClearForcedResults()
{
    State().forced.clear();
    UpdateTracing();
}

void SetBackend(Backend backend)
{
    State().backend = backend;
}

Backend GetBackend()
{
    return State().backend;
}

D3DCAPS9 DefaultCaps()
{
    D3DCAPS9 caps = {};
    caps.DeviceType = D3DDEVTYPE_HAL;
    caps.AdapterOrdinal = 0;
    caps.RasterCaps = D3DPRASTERCAPS_SCISSORTEST;
    caps.TextureFilterCaps = D3DPTFILTERCAPS_MINFPOINT | D3DPTFILTERCAPS_MINFLINEAR | D3DPTFILTERCAPS_MINFANISOTROPIC |
                             D3DPTFILTERCAPS_MIPFPOINT | D3DPTFILTERCAPS_MIPFLINEAR | D3DPTFILTERCAPS_MAGFPOINT |
                             D3DPTFILTERCAPS_MAGFLINEAR | D3DPTFILTERCAPS_MAGFANISOTROPIC;
    caps.MaxTextureWidth = 8192;
    caps.MaxTextureHeight = 8192;
    caps.MaxAnisotropy = 16;
    caps.MaxTextureBlendStages = 8;
    caps.MaxSimultaneousTextures = 8;
    caps.MaxPrimitiveCount = 0xFFFFF;
    caps.MaxVertexIndex = 0xFFFFFF;
    caps.MaxStreams = 16;
    caps.VertexShaderVersion = D3DVS_VERSION(2, 0);
    caps.MaxVertexShaderConst = 256;
    caps.PixelShaderVersion = D3DPS_VERSION(2, 0);
    return caps;
}

void SetCaps(const D3DCAPS9& caps)
{
    State().caps = caps;
}

D3DCAPS9 GetCaps()
{
    return State().caps;
}

void SetFormatAnswer(D3DFORMAT format, HRESULT result)
{
    State().formatAnswers[format] = result;
}

void SetAdapterDisplayMode(const D3DDISPLAYMODE& mode)
{
    State().haveDisplayMode = true;
    State().displayMode = mode;
}

void ResetHooks()
{
    HookState& s = State();
    s.backend = Backend::OpenGL;
    s.caps = DefaultCaps();
    s.formatAnswers.clear();
    s.haveDisplayMode = false;
    s.forced.clear();
    s.logging = false;
    s.log.clear();
    UpdateTracing();
}

void LoseDevice(IDirect3DDevice9* device)
{
    ForEachDevice(device, [](Device* d) { d->LoseByHook(); });
}

void AllowReset(IDirect3DDevice9* device)
{
    ForEachDevice(device, [](Device* d) { d->AllowResetByHook(); });
}

UINT LiveDefaultPoolObjects(IDirect3DDevice9* device)
{
    UINT count = 0;
    ForEachDevice(device, [&](Device* d) { count += d->LiveDefaultPoolObjects(); });
    return count;
}

UINT BackBufferReferences(IDirect3DDevice9* device)
{
    UINT count = 0;
    ForEachDevice(device, [&](Device* d) { count += d->BackBufferReferences(); });
    return count;
}

UINT LiveObjects()
{
    return gLiveObjects;
}

UINT LiveDevices()
{
    return static_cast<UINT>(Devices().size());
}

Arg Arg::F(float v)
{
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return {Float, bits};
}

std::string CallRecord::ToString() const
{
    std::string text = CallName(call);
    char buffer[64];
    if (call == Call::AddRef || call == Call::Release)
    {
        std::snprintf(buffer, sizeof buffer, "(0x%" PRIxPTR ") = %u", reinterpret_cast<uintptr_t>(object),
                      static_cast<unsigned>(result));
        return text + buffer;
    }
    text += '(';
    for (size_t i = 0; i < args.size(); ++i)
    {
        const Arg& a = args[i];
        switch (a.kind)
        {
        case Arg::Unsigned:
            std::snprintf(buffer, sizeof buffer, "%" PRIu64, a.bits);
            break;
        case Arg::Signed:
            std::snprintf(buffer, sizeof buffer, "%" PRId64, static_cast<int64_t>(a.bits));
            break;
        case Arg::Float:
        {
            const uint32_t bits = static_cast<uint32_t>(a.bits);
            float f;
            std::memcpy(&f, &bits, sizeof f);
            std::snprintf(buffer, sizeof buffer, "%g", static_cast<double>(f));
            break;
        }
        case Arg::Pointer:
            if (a.bits == 0)
                std::snprintf(buffer, sizeof buffer, "0");
            else
                std::snprintf(buffer, sizeof buffer, "0x%" PRIx64, a.bits);
            break;
        }
        if (i > 0)
            text += ", ";
        text += buffer;
    }
    if (result == D3D_OK)
        std::snprintf(buffer, sizeof buffer, ") = 0");
    else
        std::snprintf(buffer, sizeof buffer, ") = 0x%08X", static_cast<unsigned>(result));
    text += buffer;
    if (out)
    {
        std::snprintf(buffer, sizeof buffer, " -> 0x%" PRIxPTR, reinterpret_cast<uintptr_t>(out));
        text += buffer;
    }
    return text;
}

void EnableCallLog(bool enable)
{
    State().logging = enable;
    UpdateTracing();
}

const std::vector<CallRecord>& GetCallLog()
{
    return State().log;
}

void ClearCallLog()
{
    State().log.clear();
}

std::vector<std::string> CallLogLines(const std::vector<Call>& only)
{
    std::vector<std::string> lines;
    for (const CallRecord& record : State().log)
        if (only.empty() || std::find(only.begin(), only.end(), record.call) != only.end())
            lines.push_back(record.ToString());
    return lines;
}

// ---------------------------------------------------------------------------
// State inspection
// ---------------------------------------------------------------------------

namespace
{

const DeviceState* StateOf(IDirect3DDevice9* device)
{
    Device* d = AsDevice(device);
    return d ? &d->State() : nullptr;
}

} // namespace

DWORD GetRenderState(IDirect3DDevice9* device, D3DRENDERSTATETYPE state)
{
    const DeviceState* s = StateOf(device);
    return s && state < kRenderStateCount ? s->renderStates[state] : 0;
}

DWORD GetSamplerState(IDirect3DDevice9* device, DWORD sampler, D3DSAMPLERSTATETYPE type)
{
    const DeviceState* s = StateOf(device);
    return s && sampler < kSamplerCount && type < kSamplerStateCount ? s->samplerStates[sampler][type] : 0;
}

DWORD GetTextureStageState(IDirect3DDevice9* device, DWORD stage, D3DTEXTURESTAGESTATETYPE type)
{
    const DeviceState* s = StateOf(device);
    return s && stage < kStageCount && type < kStageStateCount ? s->stageStates[stage][type] : 0;
}

D3DVIEWPORT9 GetViewport(IDirect3DDevice9* device)
{
    const DeviceState* s = StateOf(device);
    return s ? s->viewport : D3DVIEWPORT9{};
}

RECT GetScissorRect(IDirect3DDevice9* device)
{
    const DeviceState* s = StateOf(device);
    return s ? s->scissor : RECT{};
}

DWORD GetFVF(IDirect3DDevice9* device)
{
    const DeviceState* s = StateOf(device);
    return s ? s->fvf : 0;
}

IDirect3DSurface9* GetBoundRenderTarget(IDirect3DDevice9* device)
{
    const DeviceState* s = StateOf(device);
    return s ? s->renderTarget : nullptr;
}

IDirect3DBaseTexture9* GetBoundTexture(IDirect3DDevice9* device, DWORD sampler)
{
    const DeviceState* s = StateOf(device);
    return s && sampler < kSamplerCount ? s->textures[sampler] : nullptr;
}

IDirect3DVertexBuffer9* GetBoundStream(IDirect3DDevice9* device, UINT* offset, UINT* stride)
{
    const DeviceState* s = StateOf(device);
    if (offset)
        *offset = s ? s->streams[0].offset : 0;
    if (stride)
        *stride = s ? s->streams[0].stride : 0;
    return s ? static_cast<IDirect3DVertexBuffer9*>(s->streams[0].buffer) : nullptr;
}

IDirect3DIndexBuffer9* GetBoundIndices(IDirect3DDevice9* device)
{
    const DeviceState* s = StateOf(device);
    return s ? static_cast<IDirect3DIndexBuffer9*>(s->indices) : nullptr;
}

IDirect3DVertexShader9* GetBoundVertexShader(IDirect3DDevice9* device)
{
    const DeviceState* s = StateOf(device);
    return s ? static_cast<IDirect3DVertexShader9*>(s->vertexShader) : nullptr;
}

IDirect3DPixelShader9* GetBoundPixelShader(IDirect3DDevice9* device)
{
    const DeviceState* s = StateOf(device);
    return s ? static_cast<IDirect3DPixelShader9*>(s->pixelShader) : nullptr;
}

void GetVertexShaderConstants(IDirect3DDevice9* device, UINT start, float* out, UINT count)
{
    const DeviceState* s = StateOf(device);
    for (UINT i = 0; i < count * 4; ++i)
        out[i] = s && start * 4 + i < kVertexConstantRegisters * 4 ? s->vertexConstants[start * 4 + i] : 0.0f;
}

void GetPixelShaderConstants(IDirect3DDevice9* device, UINT start, float* out, UINT count)
{
    const DeviceState* s = StateOf(device);
    for (UINT i = 0; i < count * 4; ++i)
        out[i] = s && start * 4 + i < kPixelConstantRegisters * 4 ? s->pixelConstants[start * 4 + i] : 0.0f;
}

bool InScene(IDirect3DDevice9* device)
{
    Device* d = AsDevice(device);
    return d && d->InScene();
}

D3DPRESENT_PARAMETERS GetPresentParameters(IDirect3DDevice9* device)
{
    Device* d = AsDevice(device);
    return d ? d->PresentParameters() : D3DPRESENT_PARAMETERS{};
}

Stats GetStats(IDirect3DDevice9* device)
{
    Device* d = AsDevice(device);
    return d ? d->Stats() : Stats{};
}

bool ReadRenderTarget(IDirect3DDevice9* device, IDirect3DSurface9* surface, std::vector<D3DCOLOR>* pixels,
                      UINT* width, UINT* height)
{
    Device* d = AsDevice(device);
    return d && pixels && d->ReadRenderTarget(surface, pixels, width, height);
}

bool BackBufferInWindow(IDirect3DDevice9* device)
{
    Device* d = AsDevice(device);
    return d && d->BackBufferInWindow();
}

} // namespace test
} // namespace d3d9
