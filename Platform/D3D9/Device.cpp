#include "Platform/D3D9/Device.h"

#include "Platform/D3D9/Buffer.h"
#include "Platform/D3D9/Direct3D9.h"
#include "Platform/D3D9/Formats.h"
#include "Platform/D3D9/Shader.h"
#include "Platform/D3D9/Texture.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>

namespace d3d9
{

using test::Arg;
using test::Call;

namespace
{

// Larger single resources answer OUTOFVIDEOMEMORY rather than trying.
constexpr uint64_t kMaxResourceBytes = 1ull << 30;
constexpr UINT kMaxBackBufferExtent = 16384;

template <class T>
void Erase(std::vector<T*>& list, T* item)
{
    auto it = std::find(list.begin(), list.end(), item);
    if (it != list.end())
        list.erase(it);
}

RECT Intersect(const RECT& a, const RECT& b)
{
    RECT r;
    r.left = std::max(a.left, b.left);
    r.top = std::max(a.top, b.top);
    r.right = std::min(a.right, b.right);
    r.bottom = std::min(a.bottom, b.bottom);
    return r;
}

bool IsEmpty(const RECT& r)
{
    return r.left >= r.right || r.top >= r.bottom;
}

bool IsDepthFormat(D3DFORMAT format)
{
    return format == D3DFMT_D24S8 || format == D3DFMT_D24X8 || format == D3DFMT_D16;
}

// The object behind an interface the caller passed, in *object; false when it
// is not one of ours of that kind or was made by another device. Null passes
// as null.
template <class Object, class Interface>
bool IsOwnedBy(const Device* device, Interface* given, Object** object)
{
    *object = dynamic_cast<Object*>(given);
    return !given || (*object && (*object)->GetOwnerDevice() == device);
}

// Vertex and index buffers share their usage and pool rules.
bool IsValidBufferRequest(UINT length, DWORD usage, D3DPOOL pool)
{
    const DWORD knownUsage = D3DUSAGE_WRITEONLY | D3DUSAGE_SOFTWAREPROCESSING | D3DUSAGE_DONOTCLIP |
                             D3DUSAGE_POINTS | D3DUSAGE_DYNAMIC;
    return length != 0 && !(usage & ~knownUsage) &&
           (pool == D3DPOOL_DEFAULT || pool == D3DPOOL_MANAGED || pool == D3DPOOL_SYSTEMMEM) &&
           !(pool == D3DPOOL_MANAGED && (usage & D3DUSAGE_DYNAMIC));
}

// Lowest and highest index of a run, in loops simple enough to vectorise:
// every indexed draw scans its indices.
template <class T>
void IndexRangeOf(const uint8_t* bytes, UINT count, uint32_t* lowest, uint32_t* highest)
{
    T lo = std::numeric_limits<T>::max();
    T hi = 0;
    for (UINT i = 0; i < count; ++i)
    {
        T v;
        std::memcpy(&v, bytes + static_cast<size_t>(i) * sizeof(T), sizeof(T));
        lo = v < lo ? v : lo;
        hi = v > hi ? v : hi;
    }
    *lowest = lo;
    *highest = hi;
}

} // namespace

void AddDeviceReference(Device* device)
{
    device->AddReferenceInternal();
}

void ReleaseDeviceReference(Device* device)
{
    device->ReleaseReferenceInternal();
}

Device::Device(Direct3D9* d3d, std::unique_ptr<ExecutionBackend> backend, HWND focusWindow, DWORD behaviorFlags)
    : mD3D(d3d), mBackend(std::move(backend)), mFocusWindow(focusWindow), mBehaviorFlags(behaviorFlags),
      mCaps(hooks::Caps())
{
    mD3D->AddReferenceInternal();
    hooks::RegisterDevice(this);
}

Device::~Device()
{
    UnbindAll();
    mBackBuffer.reset();
    mBackend.reset();
    hooks::UnregisterDevice(this);
    mD3D->ReleaseReferenceInternal();
}

HRESULT Device::Init(D3DPRESENT_PARAMETERS* params)
{
    SwapChainDesc desc;
    HRESULT hr = ChooseSwapChain(params, &desc);
    if (FAILED(hr))
        return hr;
    hr = mBackend->Open(&desc);
    if (FAILED(hr))
        return hr;
    WriteBackSwapChain(desc, params);
    mParams = *params;
    mBackBuffer.reset(new Surface(this, nullptr, 0, desc.width, desc.height, desc.format, true));
    RestoreDefaults();
    return D3D_OK;
}

// ---------------------------------------------------------------------------
// Swap chain, cooperative level, Reset
// ---------------------------------------------------------------------------

HRESULT Device::ChooseSwapChain(D3DPRESENT_PARAMETERS* params, SwapChainDesc* desc) const
{
    if (!params)
        return D3DERR_INVALIDCALL;
    desc->window = params->hDeviceWindow ? params->hDeviceWindow : mFocusWindow;
    desc->width = params->BackBufferWidth;
    desc->height = params->BackBufferHeight;
    desc->format = params->BackBufferFormat;
    desc->windowed = params->Windowed != FALSE;
    desc->depthStencil = params->EnableAutoDepthStencil != FALSE;
    desc->refreshRate = params->FullScreen_RefreshRateInHz;
    desc->waitForVsync = params->PresentationInterval != D3DPRESENT_INTERVAL_IMMEDIATE;
    desc->keepContents = params->SwapEffect == D3DSWAPEFFECT_COPY;

    if (params->BackBufferCount > 3 || params->SwapEffect < D3DSWAPEFFECT_DISCARD ||
        params->SwapEffect > D3DSWAPEFFECT_COPY)
        return D3DERR_INVALIDCALL;
    if (params->SwapEffect == D3DSWAPEFFECT_COPY && params->BackBufferCount > 1)
        return D3DERR_INVALIDCALL;
    if (params->MultiSampleType != D3DMULTISAMPLE_NONE || params->MultiSampleQuality != 0)
        return D3DERR_INVALIDCALL;
    if (desc->depthStencil && !IsDepthFormat(params->AutoDepthStencilFormat))
        return D3DERR_INVALIDCALL;
    if (params->PresentationInterval != D3DPRESENT_INTERVAL_IMMEDIATE &&
        params->PresentationInterval != D3DPRESENT_INTERVAL_DEFAULT &&
        params->PresentationInterval != D3DPRESENT_INTERVAL_ONE)
        return D3DERR_INVALIDCALL;
    if (desc->width > kMaxBackBufferExtent || desc->height > kMaxBackBufferExtent)
        return D3DERR_INVALIDCALL;

    if (desc->windowed)
    {
        if (desc->refreshRate != 0)
            return D3DERR_INVALIDCALL;
        if (desc->format == D3DFMT_UNKNOWN)
            desc->format = hooks::DisplayMode().Format;
    }
    else if (desc->width == 0 || desc->height == 0)
        return D3DERR_INVALIDCALL;
    if (!IsRenderTargetFormat(desc->format))
        return D3DERR_INVALIDCALL;
    return D3D_OK;
}

void Device::WriteBackSwapChain(const SwapChainDesc& desc, D3DPRESENT_PARAMETERS* params) const
{
    params->BackBufferWidth = desc.width;
    params->BackBufferHeight = desc.height;
    params->BackBufferFormat = desc.format;
    if (params->BackBufferCount == 0)
        params->BackBufferCount = 1;
    if (!params->hDeviceWindow)
        params->hDeviceWindow = desc.window;
}

void Device::UpdateCooperation()
{
    const bool occluded = !mParams.Windowed && mBackend->IsOccluded();
    if (mCooperation == Cooperation::Ok && (mLostByHook || occluded))
        mCooperation = Cooperation::Lost;
    if (mCooperation == Cooperation::Lost && !mLostByHook && !occluded)
        mCooperation = Cooperation::NotReset;
}

HRESULT Device::TestCooperativeLevel()
{
    hooks::CallTrace trace(Call::TestCooperativeLevel, this, {});
    if (trace.Fails())
        return trace.Forced();
    UpdateCooperation();
    switch (mCooperation)
    {
    case Cooperation::Lost:
        return trace.Finish(D3DERR_DEVICELOST);
    case Cooperation::NotReset:
        return trace.Finish(D3DERR_DEVICENOTRESET);
    default:
        return trace.Finish(D3D_OK);
    }
}

UINT Device::LiveDefaultPoolObjects() const
{
    UINT count = 0;
    for (VertexBuffer* b : mDefaultVertexBuffers)
        count += b->References() > 0;
    for (IndexBuffer* b : mDefaultIndexBuffers)
        count += b->References() > 0;
    for (Texture* t : mDefaultTextures)
        count += t->HeldByCaller();
    return count;
}

UINT Device::BackBufferReferences() const
{
    return mBackBuffer ? mBackBuffer->References() : 0;
}

HRESULT Device::Reset(D3DPRESENT_PARAMETERS* params)
{
    hooks::CallTrace trace(Call::Reset, this, {Arg::P(params)});
    if (trace.Fails())
        return trace.Forced();
    if (!params)
        return trace.Finish(D3DERR_INVALIDCALL);
    UpdateCooperation();
    if (mCooperation == Cooperation::Lost)
        return trace.Finish(D3DERR_DEVICELOST);

    // A failed Reset leaves the device waiting for another one.
    if (LiveDefaultPoolObjects() > 0 || BackBufferReferences() > 0)
    {
        mCooperation = Cooperation::NotReset;
        return trace.Finish(D3DERR_INVALIDCALL);
    }
    SwapChainDesc desc;
    HRESULT hr = ChooseSwapChain(params, &desc);
    if (SUCCEEDED(hr))
    {
        mInScene = false;
        UnbindAll();
        hr = mBackend->Reset(&desc);
    }
    if (FAILED(hr))
    {
        mCooperation = Cooperation::NotReset;
        return trace.Finish(hr);
    }
    WriteBackSwapChain(desc, params);
    mParams = *params;
    mBackBuffer->Resize(desc.width, desc.height, desc.format);
    RestoreDefaults();
    mCooperation = Cooperation::Ok;
    return trace.Finish(D3D_OK);
}

void Device::LoseByHook()
{
    mLostByHook = true;
    mCooperation = Cooperation::Lost;
}

void Device::AllowResetByHook()
{
    mLostByHook = false;
    UpdateCooperation();
}

void Device::UnbindAll()
{
    for (StreamBinding& s : mState.streams)
    {
        Rebind(s.buffer, static_cast<VertexBuffer*>(nullptr));
        s.offset = 0;
        s.stride = 0;
    }
    Rebind(mState.indices, static_cast<IndexBuffer*>(nullptr));
    Rebind(mState.vertexShader, static_cast<VertexShader*>(nullptr));
    Rebind(mState.pixelShader, static_cast<PixelShader*>(nullptr));
    for (Texture*& t : mState.textures)
        Rebind(t, static_cast<Texture*>(nullptr));
    Rebind(mState.renderTarget, static_cast<Surface*>(nullptr));
}

void Device::SetFullTarget(const Surface* target)
{
    mState.viewport = {0, 0, target->Width(), target->Height(), 0.0f, 1.0f};
    mState.scissor = {0, 0, static_cast<LONG>(target->Width()), static_cast<LONG>(target->Height())};
}

void Device::RestoreDefaults()
{
    UnbindAll();
    SetDefaultStates(&mState, mParams.EnableAutoDepthStencil != FALSE);
    Rebind(mState.renderTarget, mBackBuffer.get());
    SetFullTarget(mBackBuffer.get());
}

// ---------------------------------------------------------------------------
// Frames
// ---------------------------------------------------------------------------

HRESULT Device::Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                        const RGNDATA* dirtyRegion)
{
    hooks::CallTrace trace(Call::Present, this,
                           {Arg::P(sourceRect), Arg::P(destRect), Arg::P(destWindowOverride), Arg::P(dirtyRegion)});
    if (trace.Fails())
        return trace.Forced();
    // Partial presents need D3DSWAPEFFECT_COPY, which we do not emulate.
    if (sourceRect || destRect || destWindowOverride)
        return trace.Finish(D3DERR_INVALIDCALL);
    UpdateCooperation();
    if (mCooperation != Cooperation::Ok)
        return trace.Finish(D3DERR_DEVICELOST);
    ++mStats.presents;
    return trace.Finish(mBackend->Present());
}

HRESULT Device::BeginScene()
{
    hooks::CallTrace trace(Call::BeginScene, this, {});
    if (trace.Fails())
        return trace.Forced();
    if (mInScene)
        return trace.Finish(D3DERR_INVALIDCALL);
    mInScene = true;
    return trace.Finish(D3D_OK);
}

HRESULT Device::EndScene()
{
    hooks::CallTrace trace(Call::EndScene, this, {});
    if (trace.Fails())
        return trace.Forced();
    if (!mInScene)
        return trace.Finish(D3DERR_INVALIDCALL);
    mInScene = false;
    return trace.Finish(D3D_OK);
}

HRESULT Device::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil)
{
    hooks::CallTrace trace(Call::Clear, this,
                           {Arg::U(count), Arg::P(rects), Arg::U(flags), Arg::U(color), Arg::F(z), Arg::U(stencil)});
    if (trace.Fails())
        return trace.Forced();
    const DWORD known = D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL;
    if ((count > 0 && !rects) || flags == 0 || (flags & ~known))
        return trace.Finish(D3DERR_INVALIDCALL);
    if ((flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) && !mParams.EnableAutoDepthStencil)
        return trace.Finish(D3DERR_INVALIDCALL);
    if ((flags & D3DCLEAR_ZBUFFER) && !(z >= 0.0f && z <= 1.0f))
        return trace.Finish(D3DERR_INVALIDCALL);
    if (mCooperation != Cooperation::Ok)
        return trace.Finish(D3D_OK);

    // Clear is clipped to the viewport and, when enabled, the scissor rectangle.
    const Surface* target = mState.renderTarget;
    const D3DVIEWPORT9& vp = mState.viewport;
    RECT area = {static_cast<LONG>(vp.X), static_cast<LONG>(vp.Y), static_cast<LONG>(vp.X + vp.Width),
                 static_cast<LONG>(vp.Y + vp.Height)};
    area = Intersect(area, {0, 0, static_cast<LONG>(target->Width()), static_cast<LONG>(target->Height())});
    if (mState.renderStates[D3DRS_SCISSORTESTENABLE])
        area = Intersect(area, mState.scissor);

    ClearCall call;
    call.target = target->Target();
    call.flags = flags;
    call.color = color;
    call.z = z;
    call.stencil = stencil;
    if (count == 0)
    {
        if (!IsEmpty(area))
            call.rects.push_back(area);
    }
    else
    {
        for (DWORD i = 0; i < count; ++i)
        {
            RECT r = Intersect(area, {rects[i].x1, rects[i].y1, rects[i].x2, rects[i].y2});
            if (!IsEmpty(r))
                call.rects.push_back(r);
        }
    }
    if (!call.rects.empty())
    {
        mBackend->Clear(mState, call);
        ++mStats.clears;
    }
    return trace.Finish(D3D_OK);
}

// ---------------------------------------------------------------------------
// Render target, viewport, states
// ---------------------------------------------------------------------------

HRESULT Device::GetRenderTarget(DWORD index, IDirect3DSurface9** renderTarget)
{
    hooks::CallTrace trace(Call::GetRenderTarget, this, {Arg::U(index), Arg::P(renderTarget)});
    if (renderTarget)
        *renderTarget = nullptr;
    if (trace.Fails())
        return trace.Forced();
    if (!renderTarget || index != 0)
        return trace.Finish(D3DERR_INVALIDCALL);
    Surface* target = mState.renderTarget;
    target->AddRef();
    *renderTarget = target;
    return trace.Finish(D3D_OK, target);
}

HRESULT Device::SetRenderTarget(DWORD index, IDirect3DSurface9* renderTarget)
{
    hooks::CallTrace trace(Call::SetRenderTarget, this, {Arg::U(index), Arg::P(renderTarget)});
    if (trace.Fails())
        return trace.Forced();
    Surface* surface = dynamic_cast<Surface*>(renderTarget);
    if (index != 0 || !surface || surface->GetOwnerDevice() != this || !surface->IsRenderTarget())
        return trace.Finish(D3DERR_INVALIDCALL);
    Rebind(mState.renderTarget, surface);
    SetFullTarget(surface);
    return trace.Finish(D3D_OK);
}

HRESULT Device::SetViewport(const D3DVIEWPORT9* viewport)
{
    hooks::CallTrace trace(Call::SetViewport, this, {Arg::P(viewport)});
    if (trace.Fails())
        return trace.Forced();
    if (!viewport)
        return trace.Finish(D3DERR_INVALIDCALL);
    const uint64_t right = static_cast<uint64_t>(viewport->X) + viewport->Width;
    const uint64_t bottom = static_cast<uint64_t>(viewport->Y) + viewport->Height;
    if (right > mState.renderTarget->Width() || bottom > mState.renderTarget->Height())
        return trace.Finish(D3DERR_INVALIDCALL);
    mState.viewport = *viewport;
    return trace.Finish(D3D_OK);
}

HRESULT Device::SetRenderState(D3DRENDERSTATETYPE state, DWORD value)
{
    hooks::CallTrace trace(Call::SetRenderState, this, {Arg::U(state), Arg::U(value)});
    if (trace.Fails())
        return trace.Forced();
    if (state >= kRenderStateCount)
        return trace.Finish(D3DERR_INVALIDCALL);
    mState.renderStates[state] = value;
    return trace.Finish(D3D_OK);
}

HRESULT Device::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value)
{
    hooks::CallTrace trace(Call::SetSamplerState, this, {Arg::U(sampler), Arg::U(type), Arg::U(value)});
    if (trace.Fails())
        return trace.Forced();
    if (sampler >= kSamplerCount || type == 0 || type >= kSamplerStateCount)
        return trace.Finish(D3DERR_INVALIDCALL);
    mState.samplerStates[sampler][type] = value;
    return trace.Finish(D3D_OK);
}

HRESULT Device::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value)
{
    hooks::CallTrace trace(Call::SetTextureStageState, this, {Arg::U(stage), Arg::U(type), Arg::U(value)});
    if (trace.Fails())
        return trace.Forced();
    // Fixed-function stages do nothing while shaders run; they are kept only.
    if (stage >= kStageCount || type == 0 || type >= kStageStateCount)
        return trace.Finish(D3DERR_INVALIDCALL);
    mState.stageStates[stage][type] = value;
    return trace.Finish(D3D_OK);
}

HRESULT Device::SetScissorRect(const RECT* rect)
{
    hooks::CallTrace trace(Call::SetScissorRect, this, {Arg::P(rect)});
    if (trace.Fails())
        return trace.Forced();
    if (!rect)
        return trace.Finish(D3DERR_INVALIDCALL);
    // Kept as given: rectangles beyond the target are clipped when used.
    mState.scissor = *rect;
    return trace.Finish(D3D_OK);
}

// ---------------------------------------------------------------------------
// Input assembly, shaders, textures
// ---------------------------------------------------------------------------

HRESULT Device::SetFVF(DWORD fvf)
{
    hooks::CallTrace trace(Call::SetFVF, this, {Arg::U(fvf)});
    if (trace.Fails())
        return trace.Forced();
    mState.fvf = fvf;
    return trace.Finish(D3D_OK);
}

HRESULT Device::SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride)
{
    hooks::CallTrace trace(Call::SetStreamSource, this,
                           {Arg::U(stream), Arg::P(buffer), Arg::U(offset), Arg::U(stride)});
    if (trace.Fails())
        return trace.Forced();
    VertexBuffer* vb = nullptr;
    if (stream >= kStreamCount || !IsOwnedBy(this, buffer, &vb))
        return trace.Finish(D3DERR_INVALIDCALL);
    StreamBinding& s = mState.streams[stream];
    Rebind(s.buffer, vb);
    s.offset = offset;
    s.stride = stride;
    return trace.Finish(D3D_OK);
}

// The calls that bind one object of ours (or null) into one slot.
template <class Object, class Interface>
HRESULT Device::BindObject(test::Call call, Interface* given, Object*& slot)
{
    hooks::CallTrace trace(call, this, {Arg::P(given)});
    if (trace.Fails())
        return trace.Forced();
    Object* object = nullptr;
    if (!IsOwnedBy(this, given, &object))
        return trace.Finish(D3DERR_INVALIDCALL);
    Rebind(slot, object);
    return trace.Finish(D3D_OK);
}

HRESULT Device::SetIndices(IDirect3DIndexBuffer9* indices)
{
    return BindObject(Call::SetIndices, indices, mState.indices);
}

HRESULT Device::SetVertexShader(IDirect3DVertexShader9* shader)
{
    return BindObject(Call::SetVertexShader, shader, mState.vertexShader);
}

HRESULT Device::SetPixelShader(IDirect3DPixelShader9* shader)
{
    return BindObject(Call::SetPixelShader, shader, mState.pixelShader);
}

// Four floats a register; the version tells the back end to send them again.
HRESULT Device::StoreConstants(float* registers, UINT registerCount, uint64_t* version, UINT startRegister,
                               const float* data, UINT count)
{
    if ((count > 0 && !data) || startRegister > registerCount || count > registerCount - startRegister)
        return D3DERR_INVALIDCALL;
    if (count > 0)
    {
        std::memcpy(&registers[startRegister * 4], data, count * 4 * sizeof(float));
        ++*version;
    }
    return D3D_OK;
}

HRESULT Device::SetVertexShaderConstantF(UINT startRegister, const float* data, UINT count)
{
    hooks::CallTrace trace(Call::SetVertexShaderConstantF, this,
                           {Arg::U(startRegister), Arg::P(data), Arg::U(count)});
    if (trace.Fails())
        return trace.Forced();
    return trace.Finish(StoreConstants(mState.vertexConstants, kVertexConstantRegisters,
                                       &mState.vertexConstantsVersion, startRegister, data, count));
}

HRESULT Device::SetPixelShaderConstantF(UINT startRegister, const float* data, UINT count)
{
    hooks::CallTrace trace(Call::SetPixelShaderConstantF, this,
                           {Arg::U(startRegister), Arg::P(data), Arg::U(count)});
    if (trace.Fails())
        return trace.Forced();
    return trace.Finish(StoreConstants(mState.pixelConstants, kPixelConstantRegisters, &mState.pixelConstantsVersion,
                                       startRegister, data, count));
}

HRESULT Device::SetTexture(DWORD sampler, IDirect3DBaseTexture9* texture)
{
    hooks::CallTrace trace(Call::SetTexture, this, {Arg::U(sampler), Arg::P(texture)});
    if (trace.Fails())
        return trace.Forced();
    Texture* t = nullptr;
    if (sampler >= kSamplerCount || !IsOwnedBy(this, texture, &t))
        return trace.Finish(D3DERR_INVALIDCALL);
    Rebind(mState.textures[sampler], t);
    return trace.Finish(D3D_OK);
}

// ---------------------------------------------------------------------------
// Draws
// ---------------------------------------------------------------------------

void Device::SendBuffer(BufferStorage& storage, uint64_t begin, uint64_t end)
{
    UINT from = 0;
    UINT to = 0;
    bool orphan = false;
    if (storage.TakeChanged(static_cast<UINT>(begin), static_cast<UINT>(end), &from, &to, &orphan))
    {
        mBackend->UploadBuffer(storage.Backend(), storage.Contents(), storage.Length(), from, to, orphan);
        mStats.bytesUploaded += to - from;
    }
}

HRESULT Device::PrepareDraw(DrawCall* call)
{
    const StreamBinding& stream = mState.streams[0];
    if (!mState.vertexShader || !mState.pixelShader || !stream.buffer || stream.stride == 0)
        return D3DERR_INVALIDCALL;
    if (!DecodeFvf(mState.fvf, &call->layout) || !call->layout.attributes[VertexLayout::Position].present ||
        call->layout.stride > stream.stride)
        return D3DERR_INVALIDCALL;

    call->target = mState.renderTarget->Target();
    call->vertices = stream.buffer->Storage().Backend();
    call->streamOffset = stream.offset;
    call->stride = stream.stride;
    call->vertexShader = mState.vertexShader->Backend();
    call->pixelShader = mState.pixelShader->Backend();
    const DWORD samplers = mState.pixelShader->Blob().samplerMask;
    for (DWORD i = 0; i < kSamplerCount; ++i)
        call->textures[i] = ((samplers >> i) & 1) && mState.textures[i] ? mState.textures[i]->Backend() : nullptr;
    return D3D_OK;
}

bool Device::StartDraw(D3DPRIMITIVETYPE type, UINT primitiveCount, DrawCall* call, HRESULT* answer)
{
    // A lost device drops draws quietly: the caller learns of the loss from
    // Present and TestCooperativeLevel.
    if (mCooperation != Cooperation::Ok)
    {
        ++mStats.droppedDraws;
        *answer = D3D_OK;
        return false;
    }
    *answer = D3DERR_INVALIDCALL;
    if (!mInScene || primitiveCount > mCaps.MaxPrimitiveCount)
        return false;
    if (primitiveCount == 0)
    {
        if (type >= D3DPT_POINTLIST && type <= D3DPT_TRIANGLEFAN)
            *answer = D3D_OK;
        return false;
    }
    call->type = type;
    call->count = VerticesForPrimitives(type, primitiveCount);
    if (call->count == 0)
        return false;
    *answer = PrepareDraw(call);
    return SUCCEEDED(*answer);
}

void Device::SubmitDraw(const DrawCall& call, UINT primitiveCount)
{
    mBackend->Draw(mState, call);
    ++mStats.draws;
    mStats.primitives += primitiveCount;
}

HRESULT Device::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount)
{
    hooks::CallTrace trace(Call::DrawPrimitive, this, {Arg::U(type), Arg::U(startVertex), Arg::U(primitiveCount)});
    if (trace.Fails())
        return trace.Forced();
    DrawCall call;
    HRESULT answer;
    if (!StartDraw(type, primitiveCount, &call, &answer))
        return trace.Finish(answer);

    const StreamBinding& stream = mState.streams[0];
    BufferStorage& storage = stream.buffer->Storage();
    const uint64_t begin = stream.offset + static_cast<uint64_t>(startVertex) * stream.stride;
    const uint64_t end = begin + static_cast<uint64_t>(call.count - 1) * stream.stride + call.layout.stride;
    if (end > storage.Length())
        return trace.Finish(D3DERR_INVALIDCALL);
    SendBuffer(storage, begin, end);

    call.startVertex = startVertex;
    SubmitDraw(call, primitiveCount);
    return trace.Finish(D3D_OK);
}

HRESULT Device::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertexIndex, UINT minVertexIndex,
                                     UINT numVertices, UINT startIndex, UINT primitiveCount)
{
    hooks::CallTrace trace(Call::DrawIndexedPrimitive, this,
                           {Arg::U(type), Arg::I(baseVertexIndex), Arg::U(minVertexIndex), Arg::U(numVertices),
                            Arg::U(startIndex), Arg::U(primitiveCount)});
    if (trace.Fails())
        return trace.Forced();
    DrawCall call;
    HRESULT answer;
    if (!StartDraw(type, primitiveCount, &call, &answer))
        return trace.Finish(answer);
    if (!mState.indices)
        return trace.Finish(D3DERR_INVALIDCALL);
    const UINT count = call.count;

    // The index range must lie in the index buffer, and every index it holds
    // must reach a vertex of the stream: checked here rather than trusted.
    IndexBuffer* ib = mState.indices;
    BufferStorage& indexStorage = ib->Storage();
    const UINT indexSize = ib->IndexSize();
    const uint64_t indexBegin = static_cast<uint64_t>(startIndex) * indexSize;
    const uint64_t indexEnd = indexBegin + static_cast<uint64_t>(count) * indexSize;
    if (indexEnd > indexStorage.Length())
        return trace.Finish(D3DERR_INVALIDCALL);
    uint32_t lowest = 0;
    uint32_t highest = 0;
    const uint8_t* indexBytes = indexStorage.Contents() + indexBegin;
    if (indexSize == 2)
        IndexRangeOf<uint16_t>(indexBytes, count, &lowest, &highest);
    else
        IndexRangeOf<uint32_t>(indexBytes, count, &lowest, &highest);
    const StreamBinding& stream = mState.streams[0];
    BufferStorage& vertexStorage = stream.buffer->Storage();
    const int64_t first = static_cast<int64_t>(baseVertexIndex) + lowest;
    const int64_t last = static_cast<int64_t>(baseVertexIndex) + highest;
    if (first < 0 || static_cast<uint64_t>(last) > mCaps.MaxVertexIndex)
        return trace.Finish(D3DERR_INVALIDCALL);
    const uint64_t begin = stream.offset + static_cast<uint64_t>(first) * stream.stride;
    const uint64_t end = stream.offset + static_cast<uint64_t>(last) * stream.stride + call.layout.stride;
    if (end > vertexStorage.Length())
        return trace.Finish(D3DERR_INVALIDCALL);
    (void)minVertexIndex;
    (void)numVertices;
    SendBuffer(vertexStorage, begin, end);
    SendBuffer(indexStorage, indexBegin, indexEnd);

    call.indexed = true;
    call.baseVertex = baseVertexIndex;
    call.startIndex = startIndex;
    call.lowestIndex = lowest;
    call.highestIndex = highest;
    call.indices = indexStorage.Backend();
    call.indexSize = indexSize;
    SubmitDraw(call, primitiveCount);
    return trace.Finish(D3D_OK);
}

// ---------------------------------------------------------------------------
// Resource creation
// ---------------------------------------------------------------------------

// Gives the new buffer its memory and back-end buffer; on failure releases it.
template <class B>
HRESULT Device::InitBuffer(B* buffer, UINT length, DWORD usage, D3DPOOL pool, bool index, std::vector<B*>* defaults)
{
    HRESULT hr = buffer->Storage().Init(length, usage, pool);
    if (FAILED(hr))
    {
        buffer->Release();
        return hr;
    }
    buffer->Storage().SetBackend(mBackend->CreateBuffer(length, index));
    if (pool == D3DPOOL_DEFAULT)
        defaults->push_back(buffer);
    return D3D_OK;
}

HRESULT Device::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                   IDirect3DVertexBuffer9** buffer, HANDLE* sharedHandle)
{
    hooks::CallTrace trace(Call::CreateVertexBuffer, this,
                           {Arg::U(length), Arg::U(usage), Arg::U(fvf), Arg::U(pool), Arg::P(buffer),
                            Arg::P(sharedHandle)});
    if (buffer)
        *buffer = nullptr;
    if (trace.Fails())
        return trace.Forced();
    if (!buffer || sharedHandle || !IsValidBufferRequest(length, usage, pool))
        return trace.Finish(D3DERR_INVALIDCALL);
    if (fvf != 0)
    {
        VertexLayout layout;
        if (!DecodeFvf(fvf, &layout) || length < layout.stride)
            return trace.Finish(D3DERR_INVALIDCALL);
    }
    if (length > kMaxResourceBytes)
        return trace.Finish(D3DERR_OUTOFVIDEOMEMORY);

    VertexBuffer* vb = new VertexBuffer(this, fvf);
    HRESULT hr = InitBuffer(vb, length, usage, pool, false, &mDefaultVertexBuffers);
    if (FAILED(hr))
        return trace.Finish(hr);
    *buffer = vb;
    return trace.Finish(D3D_OK, vb);
}

HRESULT Device::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                  IDirect3DIndexBuffer9** buffer, HANDLE* sharedHandle)
{
    hooks::CallTrace trace(Call::CreateIndexBuffer, this,
                           {Arg::U(length), Arg::U(usage), Arg::U(format), Arg::U(pool), Arg::P(buffer),
                            Arg::P(sharedHandle)});
    if (buffer)
        *buffer = nullptr;
    if (trace.Fails())
        return trace.Forced();
    if (!buffer || sharedHandle || !IsValidBufferRequest(length, usage, pool) ||
        (format != D3DFMT_INDEX16 && format != D3DFMT_INDEX32))
        return trace.Finish(D3DERR_INVALIDCALL);
    if (length > kMaxResourceBytes)
        return trace.Finish(D3DERR_OUTOFVIDEOMEMORY);

    IndexBuffer* ib = new IndexBuffer(this, format);
    HRESULT hr = InitBuffer(ib, length, usage, pool, true, &mDefaultIndexBuffers);
    if (FAILED(hr))
        return trace.Finish(hr);
    *buffer = ib;
    return trace.Finish(D3D_OK, ib);
}

HRESULT Device::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DTexture9** texture, HANDLE* sharedHandle)
{
    hooks::CallTrace trace(Call::CreateTexture, this,
                           {Arg::U(width), Arg::U(height), Arg::U(levels), Arg::U(usage), Arg::U(format),
                            Arg::U(pool), Arg::P(texture), Arg::P(sharedHandle)});
    if (texture)
        *texture = nullptr;
    if (trace.Fails())
        return trace.Forced();
    const bool renderTarget = (usage & D3DUSAGE_RENDERTARGET) != 0;
    const bool dynamic = (usage & D3DUSAGE_DYNAMIC) != 0;
    if (!texture || sharedHandle || width == 0 || height == 0 || width > mCaps.MaxTextureWidth ||
        height > mCaps.MaxTextureHeight || (usage & ~(D3DUSAGE_RENDERTARGET | D3DUSAGE_DYNAMIC)) ||
        (renderTarget && dynamic) || (pool != D3DPOOL_DEFAULT && pool != D3DPOOL_MANAGED) ||
        (pool == D3DPOOL_MANAGED && (renderTarget || dynamic)))
        return trace.Finish(D3DERR_INVALIDCALL);
    if (!IsTextureFormat(format) || (renderTarget && !IsRenderTargetFormat(format)) ||
        FAILED(hooks::FormatAnswer(format, usage, D3DRTYPE_TEXTURE)))
        return trace.Finish(D3DERR_INVALIDCALL);
    const UINT fullChain = FullLevelCount(width, height);
    if (levels == 0)
        levels = fullChain;
    if (levels > fullChain)
        return trace.Finish(D3DERR_INVALIDCALL);
    uint64_t bytes = 0;
    for (UINT level = 0; level < levels; ++level)
        bytes += static_cast<uint64_t>(LevelPitch(format, LevelExtent(width, level))) *
                 LevelRows(format, LevelExtent(height, level));
    if (bytes > kMaxResourceBytes)
        return trace.Finish(D3DERR_OUTOFVIDEOMEMORY);

    Texture* t = new Texture(this, width, height, levels, usage, format, pool);
    HRESULT hr = t->Init();
    if (FAILED(hr))
    {
        t->Release();
        return trace.Finish(hr);
    }
    t->SetBackend(mBackend->CreateTexture(format, width, height, levels, renderTarget));
    if (pool == D3DPOOL_DEFAULT)
        mDefaultTextures.push_back(t);
    *texture = t;
    return trace.Finish(D3D_OK, t);
}

// Both kinds: the blob must hold a shader of the kind asked for, and the back
// end must build it (its reason for refusing goes to stderr).
template <class S, class Interface>
HRESULT Device::CreateShaderObject(test::Call call, const char* name, bool vertex, const DWORD* function,
                                   Interface** shader)
{
    hooks::CallTrace trace(call, this, {Arg::P(function), Arg::P(shader)});
    if (shader)
        *shader = nullptr;
    if (trace.Fails())
        return trace.Forced();
    ShaderBlob blob;
    if (!shader || !ReadShaderBlob(function, kBlobMaxTokens, &blob) || blob.IsVertexShader() != vertex)
        return trace.Finish(D3DERR_INVALIDCALL);
    std::string error;
    std::unique_ptr<BackendShader> backend = mBackend->CreateShader(blob, &error);
    if (!backend)
    {
        std::fprintf(stderr, "%s: %s\n", name, error.c_str());
        return trace.Finish(D3DERR_INVALIDCALL);
    }
    S* created = new S(this, std::move(blob), std::move(backend));
    *shader = created;
    return trace.Finish(D3D_OK, created);
}

HRESULT Device::CreateVertexShader(const DWORD* function, IDirect3DVertexShader9** shader)
{
    return CreateShaderObject<VertexShader>(Call::CreateVertexShader, "CreateVertexShader", true, function, shader);
}

HRESULT Device::CreatePixelShader(const DWORD* function, IDirect3DPixelShader9** shader)
{
    return CreateShaderObject<PixelShader>(Call::CreatePixelShader, "CreatePixelShader", false, function, shader);
}

// ---------------------------------------------------------------------------
// For resources and hooks
// ---------------------------------------------------------------------------

void Device::Forget(VertexBuffer* buffer)
{
    Erase(mDefaultVertexBuffers, buffer);
}

void Device::Forget(IndexBuffer* buffer)
{
    Erase(mDefaultIndexBuffers, buffer);
}

void Device::Forget(Texture* texture)
{
    Erase(mDefaultTextures, texture);
}

void Device::UploadTextureLevel(Texture* texture, UINT level, const std::vector<uint8_t>& data)
{
    mBackend->UploadTextureLevel(texture->Backend(), level, data.data());
    mStats.bytesUploaded += data.size();
}

bool Device::ReadRenderTarget(IDirect3DSurface9* surface, std::vector<D3DCOLOR>* pixels, UINT* width, UINT* height)
{
    const Surface* target = mBackBuffer.get();
    if (surface)
    {
        target = dynamic_cast<Surface*>(surface);
        if (!target || target->GetOwnerDevice() != this || !target->IsRenderTarget())
            return false;
    }
    if (width)
        *width = target->Width();
    if (height)
        *height = target->Height();
    return mBackend->ReadPixels(target->Target(), pixels);
}

} // namespace d3d9
