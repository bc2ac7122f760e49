#pragma once

// Test hooks of our Direct3D 9 layer, for the engine's own tests: what the
// "hardware" answers, which calls fail, device loss on demand, live-object
// counts, a log of calls, state inspection and pixel read-back.
//
// Everything here is process-wide and meant for one test at a time: call
// ResetHooks() (or hold a ScopedHooks) at the start of each test. Hooks read
// at creation time (caps, formats, display mode, back end) apply to objects
// created afterwards.
//
// Forced results. ForceResult(call, hr) makes calls of that kind answer hr:
//  - a failure code (FAILED(hr)): the call does nothing and returns hr; its
//    out-pointers are set to null where the call has them;
//  - a success code (S_OK or positive): the call runs as usual and, when it
//    succeeds, returns hr instead of D3D_OK.
// `after` lets that many matching calls pass untouched first; `times` is how
// many calls are then forced (kAlways: every later one). A forced result is
// used up by the calls it forced; once used up it is removed.

#include "Platform/D3D9/D3D9.h"

#include <cstdint>
#include <string>
#include <vector>

namespace d3d9
{
namespace test
{

// ---------------------------------------------------------------------------
// Calls (for forced results and the call log)
// ---------------------------------------------------------------------------

enum class Call : uint32_t
{
    Direct3DCreate9, // a forced failure makes Direct3DCreate9 return null
    GetAdapterDisplayMode,
    CheckDeviceFormat,
    GetDeviceCaps,
    CreateDevice,                // every CreateDevice
    CreateDeviceHardwareVertexProcessing, // forcing only: D3DCREATE_HARDWARE_VERTEXPROCESSING
    CreateDeviceSoftwareVertexProcessing, // forcing only: D3DCREATE_SOFTWARE_VERTEXPROCESSING

    TestCooperativeLevel,
    Reset,
    Present,
    BeginScene,
    EndScene,
    Clear,
    GetRenderTarget,
    SetRenderTarget,
    SetViewport,
    SetRenderState,
    SetSamplerState,
    SetTextureStageState,
    SetScissorRect,
    SetFVF,
    SetStreamSource,
    SetIndices,
    SetVertexShader,
    SetPixelShader,
    SetVertexShaderConstantF,
    SetPixelShaderConstantF,
    SetTexture,
    DrawPrimitive,
    DrawIndexedPrimitive,
    CreateVertexBuffer,
    CreateIndexBuffer,
    CreateTexture,
    CreateVertexShader,
    CreatePixelShader,

    VertexBufferLock,
    VertexBufferUnlock,
    IndexBufferLock,
    IndexBufferUnlock,
    TextureLockRect,
    TextureUnlockRect,
    TextureGetSurfaceLevel,

    AddRef,  // logged only; the result field holds the new count
    Release, // logged only; the result field holds the new count

    Count
};

// "SetRenderState", "VertexBufferLock", ...
const char* CallName(Call call);

constexpr int kAlways = -1;

void ForceResult(Call call, HRESULT result, int times = kAlways, int after = 0);
void ClearForcedResults();

// ---------------------------------------------------------------------------
// The adapter, as the devices created next will see it
// ---------------------------------------------------------------------------

enum class Backend
{
    Null,   // no window and no OpenGL: state, validation and loss only
    OpenGL, // renders into the SDL window behind the HWND (the default)
};
void SetBackend(Backend backend);
Backend GetBackend();

// What a HAL device reports: VS 2.0, PS 2.0, scissor test, anisotropic
// filtering, 8192x8192 textures, MaxVertexIndex 0xFFFFFF.
D3DCAPS9 DefaultCaps();
void SetCaps(const D3DCAPS9& caps);
D3DCAPS9 GetCaps();

// CheckDeviceFormat's answer for a format, whatever the usage and resource
// type asked. Without an answer set: A8R8G8B8, X8R8G8B8 and DXT1..DXT5 as
// textures (DXT not as render targets) are D3D_OK, the rest NOTAVAILABLE.
void SetFormatAnswer(D3DFORMAT format, HRESULT result);

// GetAdapterDisplayMode's answer. By default the SDL desktop mode when SDL
// video is running, else 1366x768 at 60 Hz, in X8R8G8B8.
void SetAdapterDisplayMode(const D3DDISPLAYMODE& mode);

// Everything above back to defaults, the call log off and empty, no forced
// results. Live objects and devices are left alone.
void ResetHooks();

struct ScopedHooks
{
    ScopedHooks() { ResetHooks(); }
    ~ScopedHooks() { ResetHooks(); }
    ScopedHooks(const ScopedHooks&) = delete;
    ScopedHooks& operator=(const ScopedHooks&) = delete;
};

// ---------------------------------------------------------------------------
// Device loss and lifetimes. A null device means every live device.
// ---------------------------------------------------------------------------

// TestCooperativeLevel answers DEVICELOST from now on (Present too; draws
// are dropped, locks still work, Reset answers DEVICELOST) ...
void LoseDevice(IDirect3DDevice9* device = nullptr);
// ... until this: TestCooperativeLevel answers DEVICENOTRESET and Reset is
// accepted once no DEFAULT-pool object and no back-buffer reference is held.
void AllowReset(IDirect3DDevice9* device = nullptr);

// DEFAULT-pool buffers and textures the caller still holds a reference on
// (directly or through one of a texture's surfaces).
UINT LiveDefaultPoolObjects(IDirect3DDevice9* device = nullptr);
// References held on the back buffer from GetRenderTarget.
UINT BackBufferReferences(IDirect3DDevice9* device = nullptr);
// Every object of the layer still alive (IDirect3D9, devices, resources,
// shaders), for leak checks.
UINT LiveObjects();
UINT LiveDevices();

// ---------------------------------------------------------------------------
// Call log
// ---------------------------------------------------------------------------

struct Arg
{
    enum Kind : uint8_t
    {
        Unsigned,
        Signed,
        Float,
        Pointer,
    };
    Kind kind = Unsigned;
    uint64_t bits = 0; // the value; a float's bit pattern widened, a pointer's address

    static Arg U(uint64_t v) { return {Unsigned, v}; }
    static Arg I(int64_t v) { return {Signed, static_cast<uint64_t>(v)}; }
    static Arg F(float v);
    static Arg P(const void* p) { return {Pointer, reinterpret_cast<uintptr_t>(p)}; }
    bool operator==(const Arg& other) const { return kind == other.kind && bits == other.bits; }
};

struct CallRecord
{
    Call call = Call::Count;
    const void* object = nullptr; // the interface the method was called on
    std::vector<Arg> args;        // the arguments in order; pointers by address
    HRESULT result = 0;
    const void* out = nullptr; // the object handed out, for Create*/Get* calls

    // "SetRenderState(27, 1) = 0"; pointers as 0x..., null as 0; failures in
    // hex: "Reset(0x...) = 0x8876086C"; a handed-out object as " -> 0x...".
    std::string ToString() const;
};

void EnableCallLog(bool enable);
const std::vector<CallRecord>& GetCallLog();
void ClearCallLog();
// GetCallLog() as ToString() lines, only the calls given when not empty.
std::vector<std::string> CallLogLines(const std::vector<Call>& only = {});

// ---------------------------------------------------------------------------
// Device state (for assertions; the device must be one of ours)
// ---------------------------------------------------------------------------

DWORD GetRenderState(IDirect3DDevice9* device, D3DRENDERSTATETYPE state);
DWORD GetSamplerState(IDirect3DDevice9* device, DWORD sampler, D3DSAMPLERSTATETYPE type);
DWORD GetTextureStageState(IDirect3DDevice9* device, DWORD stage, D3DTEXTURESTAGESTATETYPE type);
D3DVIEWPORT9 GetViewport(IDirect3DDevice9* device);
RECT GetScissorRect(IDirect3DDevice9* device);
DWORD GetFVF(IDirect3DDevice9* device);
// The bound objects, without adding references.
IDirect3DSurface9* GetBoundRenderTarget(IDirect3DDevice9* device);
IDirect3DBaseTexture9* GetBoundTexture(IDirect3DDevice9* device, DWORD sampler);
IDirect3DVertexBuffer9* GetBoundStream(IDirect3DDevice9* device, UINT* offset = nullptr, UINT* stride = nullptr);
IDirect3DIndexBuffer9* GetBoundIndices(IDirect3DDevice9* device);
IDirect3DVertexShader9* GetBoundVertexShader(IDirect3DDevice9* device);
IDirect3DPixelShader9* GetBoundPixelShader(IDirect3DDevice9* device);
// Four floats per register.
void GetVertexShaderConstants(IDirect3DDevice9* device, UINT start, float* out, UINT count);
void GetPixelShaderConstants(IDirect3DDevice9* device, UINT start, float* out, UINT count);
bool InScene(IDirect3DDevice9* device);
D3DPRESENT_PARAMETERS GetPresentParameters(IDirect3DDevice9* device);

struct Stats
{
    uint64_t draws = 0;          // draw calls that reached the back end
    uint64_t droppedDraws = 0;   // draws skipped while the device was lost
    uint64_t primitives = 0;
    uint64_t clears = 0;
    uint64_t presents = 0;
    uint64_t bytesUploaded = 0;  // buffer and texture bytes sent to the back end
};
Stats GetStats(IDirect3DDevice9* device);

// ---------------------------------------------------------------------------
// Pixels (OpenGL back end only)
// ---------------------------------------------------------------------------

// Reads a render target (the back buffer when surface is null) as D3DCOLOR
// values, row 0 at the top as Direct3D addresses it. False on the null back
// end or for a surface that is not a render target of this device.
bool ReadRenderTarget(IDirect3DDevice9* device, IDirect3DSurface9* surface, std::vector<D3DCOLOR>* pixels,
                      UINT* width, UINT* height);
// True while the back buffer is drawn straight into the window's own
// framebuffer rather than offscreen and copied at Present.
bool BackBufferInWindow(IDirect3DDevice9* device);

} // namespace test
} // namespace d3d9
