#include "Core/Render/DX9/RenderDX9.h"

#include "Core/Base/Log.h"
#include "Core/Render/DX9/BufferDX9.h"
#include "Core/Render/DX9/ReleaseCom.h"
#include "Core/Render/DX9/RenderHost.h"
#include "Core/Render/DX9/TextureDX9.h"
#include "Core/Render/Shaders/DX9/ShaderImplDX9.h"
#include "Core/Render/Shaders/DX9/Shaders.h"
#include "Core/Render/VertexFormat.h"
#include "Platform/Win32/Win32Kernel.h"

#include <algorithm>
#include <initializer_list>

namespace render
{
namespace
{

// Log records name their function as the original build printed it.
const char* const kFuncInitRender =
    "enum BWResultEnum __thiscall render::RenderDX9::InitRender(class app::Window *,const struct render::RenderInitParam &)";
const char* const kFuncInitDeviceState = "enum BWResultEnum __thiscall render::RenderDX9::InitDeviceState(void)";
const char* const kFuncLostDevice = "enum BWResultEnum __thiscall render::RenderDX9::LostDevice(void)";
const char* const kFuncResetDevice = "enum BWResultEnum __thiscall render::RenderDX9::ResetDevice(void)";
const char* const kFuncDoPresent = "enum BWResultEnum __thiscall render::RenderDX9::DoPresent(void)";

constexpr D3DCOLOR kOpaqueBlack = 0xFF000000u;

BWResultEnum Ok(HRESULT hr)
{
    return hr == D3D_OK ? BW_OK : BW_FAIL;
}

// 0..1 to 0..255, clamped, so that an out-of-range channel cannot wrap.
DWORD ColorChannel(float value)
{
    if (!(value > 0.0f))
        return 0;
    if (value >= 1.0f)
        return 255;
    return static_cast<DWORD>(value * 255.0f);
}

template <class State>
struct Setting
{
    State state;
    DWORD value;
};

// Each list is set in order, stopping at the first call the device refuses.
HRESULT SetSamplerStates(IDirect3DDevice9* device, std::initializer_list<Setting<D3DSAMPLERSTATETYPE>> settings)
{
    for (const auto& setting : settings)
        if (HRESULT hr = device->SetSamplerState(0, setting.state, setting.value); hr != D3D_OK)
            return hr;
    return D3D_OK;
}

HRESULT SetRenderStates(IDirect3DDevice9* device, std::initializer_list<Setting<D3DRENDERSTATETYPE>> settings)
{
    for (const auto& setting : settings)
        if (HRESULT hr = device->SetRenderState(setting.state, setting.value); hr != D3D_OK)
            return hr;
    return D3D_OK;
}

HRESULT SetStageStates(IDirect3DDevice9* device, std::initializer_list<Setting<D3DTEXTURESTAGESTATETYPE>> settings)
{
    for (const auto& setting : settings)
        if (HRESULT hr = device->SetTextureStageState(0, setting.state, setting.value); hr != D3D_OK)
            return hr;
    return D3D_OK;
}

// Hands a new object to the caller when its set-up succeeded; deletes it
// otherwise.
template <class Object, class Base>
BWResultEnum HandOver(Object* object, BWResultEnum result, Base** out)
{
    if (result != BW_OK)
    {
        delete object;
        return result;
    }
    *out = object;
    return BW_OK;
}

} // namespace

RenderDX9::RenderDX9() = default;

RenderDX9::~RenderDX9()
{
    ReleaseResources();
    ReleaseCom(mBackBuffer);
    ReleaseCom(mDevice);
    ReleaseCom(mD3D);
}

D3DPRIMITIVETYPE RenderDX9::MapPrimitiveType(uint32_t type)
{
    switch (type)
    {
    case PointList: return D3DPT_POINTLIST;
    case LineList: return D3DPT_LINELIST;
    case LineStrip: return D3DPT_LINESTRIP;
    case TriangleList: return D3DPT_TRIANGLELIST;
    case TriangleStrip: return D3DPT_TRIANGLESTRIP;
    case TriangleFan: return D3DPT_TRIANGLEFAN;
    default: return D3DPT_TRIANGLELIST;
    }
}

// --- Start-up ------------------------------------------------------------------

BWResultEnum RenderDX9::InitRender(app::Window* window, const RenderInitParam& param)
{
    mWindow = window;
    if (window)
        mWindowHandle = WindowHandleOf(window);
    mWindowed = param.mWindowed;
    mWidth = param.mWidth;
    mHeight = param.mHeight;
    mMultithreaded = 1;

    mD3D = Direct3DCreate9(D3D_SDK_VERSION);
    if (!mD3D)
        return BW_FAIL;
    BWResultEnum result = BuildPresentParams();
    if (result != BW_OK)
        return result;
    if ((result = CreateDevice()) != BW_OK)
        return result;
    if ((result = ReadCaps()) != BW_OK)
        return result;
    if ((result = PrepareBackBuffer()) != BW_OK)
        return result;
    return Render::InitRender(window, param);
}

BWResultEnum RenderDX9::CreateDevice()
{
    DWORD threading = mMultithreaded ? D3DCREATE_MULTITHREADED : 0;
    // Only a negative result is a failure; then software vertex processing is
    // tried once.
    HRESULT hr = mD3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, mWindowHandle,
                                    D3DCREATE_HARDWARE_VERTEXPROCESSING | threading, &mPresentParams, &mDevice);
    if (hr < 0)
    {
        mDevice = nullptr;
        hr = mD3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, mWindowHandle,
                                D3DCREATE_SOFTWARE_VERTEXPROCESSING | threading, &mPresentParams, &mDevice);
        if (hr < 0)
        {
            mDevice = nullptr;
            return BW_FAIL;
        }
    }
    return mDevice ? BW_OK : BW_FAIL;
}

BWResultEnum RenderDX9::ReadCaps()
{
    D3DCAPS9 caps = {};
    if (mD3D->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps) != D3D_OK)
        return BW_FAIL;

    BW_LOG_FUNC(kFuncInitRender, L"Max texture Width: %d\n") % static_cast<uint32_t>(caps.MaxTextureWidth);
    BW_LOG_FUNC(kFuncInitRender, L"Max texture Height: %d\n") % static_cast<uint32_t>(caps.MaxTextureHeight);

    mMaxTextureWidth = caps.MaxTextureWidth;
    mMaxPrimitiveCount = caps.MaxPrimitiveCount;
    mMaxTextureHeight = caps.MaxTextureHeight;
    mMaxVertexIndex = caps.MaxVertexIndex;
    if (mMaxVertexIndex < 0xFFFF)
    {
        // Start-up ends here; say why instead of ending silently.
        BW_LOG_FUNC(kFuncInitRender, L"MaxVertexIndex %d is below 65535: 16-bit indices cannot be drawn\n") %
            static_cast<uint32_t>(mMaxVertexIndex);
        return BW_FAIL;
    }

    mHasThreeBlendStages = caps.MaxTextureBlendStages >= 3;
    mHasVertexShader10 = caps.VertexShaderVersion >= D3DVS_VERSION(1, 0);
    mHasVertexShader20 = caps.VertexShaderVersion >= D3DVS_VERSION(2, 0);
    mHasPixelShader10 = caps.PixelShaderVersion >= D3DPS_VERSION(1, 0);
    mHasPixelShader20 = caps.PixelShaderVersion >= D3DPS_VERSION(2, 0);
    if (caps.VertexShaderVersion < D3DVS_VERSION(1, 1) || caps.PixelShaderVersion < D3DPS_VERSION(2, 0))
    {
        ReportUnsupportedShaders();
        return BW_FAIL;
    }

    const D3DFORMAT dxt[5] = {D3DFMT_DXT1, D3DFMT_DXT2, D3DFMT_DXT3, D3DFMT_DXT4, D3DFMT_DXT5};
    uint8_t* has[5] = {&mHasDxt1, &mHasDxt2, &mHasDxt3, &mHasDxt4, &mHasDxt5};
    for (int i = 0; i < 5; ++i)
        *has[i] = mD3D->CheckDeviceFormat(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, mPresentParams.BackBufferFormat, 0,
                                          D3DRTYPE_TEXTURE, dxt[i]) == D3D_OK;

    mHasAnisotropicMin = (caps.TextureFilterCaps & D3DPTFILTERCAPS_MINFANISOTROPIC) != 0;
    mHasAnisotropicMag = (caps.TextureFilterCaps & D3DPTFILTERCAPS_MAGFANISOTROPIC) != 0;

    mHasScissorTest = (caps.RasterCaps & D3DPRASTERCAPS_SCISSORTEST) != 0;
    if (!mHasScissorTest)
    {
        BW_LOG_FUNC(kFuncInitRender, L"The device has no scissor test\n");
        return BW_FAIL;
    }
    return BW_OK;
}

BWResultEnum RenderDX9::BuildPresentParams()
{
    D3DDISPLAYMODE mode = {};
    if (!mD3D || mD3D->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode) != D3D_OK)
        return BW_FAIL;
    mPresentParams = {};
    mPresentParams.BackBufferWidth = mWidth;
    mPresentParams.BackBufferHeight = mHeight;
    mPresentParams.Windowed = mWindowed;
    mPresentParams.hDeviceWindow = mWindowHandle;
    mPresentParams.BackBufferCount = 1;
    mPresentParams.EnableAutoDepthStencil = TRUE;
    mPresentParams.AutoDepthStencilFormat = D3DFMT_D24S8;
    mPresentParams.Flags = 0;
    mPresentParams.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    if (mWindowed)
    {
        mPresentParams.BackBufferFormat = mode.Format;
        mPresentParams.SwapEffect = D3DSWAPEFFECT_DISCARD;
    }
    else
    {
        mPresentParams.BackBufferFormat = D3DFMT_X8R8G8B8;
        mPresentParams.SwapEffect = D3DSWAPEFFECT_FLIP;
        mPresentParams.FullScreen_RefreshRateInHz = 0;
        mPresentParams.MultiSampleType = D3DMULTISAMPLE_NONE;
    }
    return BW_OK;
}

BWResultEnum RenderDX9::ApplyDefaultStates()
{
    if (!mDevice)
        return BW_FAIL;
    const DWORD minFilter = mHasAnisotropicMin ? D3DTEXF_ANISOTROPIC : D3DTEXF_LINEAR;
    const DWORD magFilter = mHasAnisotropicMag ? D3DTEXF_ANISOTROPIC : D3DTEXF_LINEAR;
    HRESULT hr = SetSamplerStates(mDevice, {{D3DSAMP_MINFILTER, minFilter},
                                            {D3DSAMP_MAGFILTER, magFilter},
                                            {D3DSAMP_MIPFILTER, D3DTEXF_LINEAR},
                                            {D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP},
                                            {D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP}});
    if (hr == D3D_OK)
        hr = SetRenderStates(mDevice, {{D3DRS_COLORVERTEX, FALSE},
                                       {D3DRS_AMBIENTMATERIALSOURCE, D3DMCS_COLOR1},
                                       {D3DRS_SPECULARMATERIALSOURCE, D3DMCS_COLOR2},
                                       {D3DRS_CULLMODE, D3DCULL_CCW},
                                       {D3DRS_SEPARATEALPHABLENDENABLE, TRUE},
                                       {D3DRS_SRCBLENDALPHA, D3DBLEND_ONE},
                                       {D3DRS_DESTBLENDALPHA, D3DBLEND_ONE},
                                       {D3DRS_ZENABLE, D3DZB_FALSE}});
    return Ok(hr);
}

BWResultEnum RenderDX9::PrepareBackBuffer()
{
    if (mDevice->GetRenderTarget(0, &mBackBuffer) != D3D_OK)
    {
        mBackBuffer = nullptr;
        return BW_FAIL;
    }
    mViewport = {0, 0, mWidth, mHeight, 0.0f, 1.0f};
    if (mDevice->SetViewport(&mViewport) != D3D_OK)
        return BW_FAIL;
    if (ClearToBlack() != BW_OK)
        return BW_FAIL;
    if (mDevice->Present(nullptr, nullptr, nullptr, nullptr) != D3D_OK)
        return BW_FAIL;
    return ApplyDefaultStates();
}

BWResultEnum RenderDX9::ClearToBlack()
{
    return Ok(mDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, kOpaqueBlack, 1.0f, 0));
}

// --- Device loss ---------------------------------------------------------------

BWResultEnum RenderDX9::InitDeviceState()
{
    BW_LOG_FUNC(kFuncInitDeviceState, L"RenderDX9::InitDeviceState()\n");
    if (!mDevice)
        return BW_FAIL;
    ReleaseCom(mBackBuffer);
    BWResultEnum result = PrepareBackBuffer();
    if (result != BW_OK)
    {
        // The back buffer and the states are unknown: nothing may be taken
        // as set.
        ForgetDeviceState();
        return result;
    }
    ResetStateRecord();
    mRecordedTarget = nullptr;
    return BW_OK;
}

BWResultEnum RenderDX9::LostDevice()
{
    BW_LOG_FUNC(kFuncLostDevice, L"RenderDX9::LostDevice()\n");
    DropRecordedFrame();
    mCommands.Rewind();
    ReleaseDefaultPool();
    return BW_OK;
}

void RenderDX9::ReleaseDefaultPool()
{
    for (size_t i = 0; i < mBuffers.size(); ++i)
        mBuffers[i]->Release();
    for (size_t i = 0; i < mTextures.size(); ++i)
        mTextures[i]->Release();
    for (size_t i = 0; i < mShaderImpls.size(); ++i)
        mShaderImpls[i]->OnLostDevice();
    ReleaseCom(mBackBuffer);
}

BWResultEnum RenderDX9::ResetDevice()
{
    BW_LOG_FUNC(kFuncResetDevice, L"RenderDX9::ResetDevice()\n");
    if (!mDevice)
        return BW_FAIL;
    // Reset refuses while a default-pool object lives; one may have been
    // made since the loss (an off-screen target after a failed switch).
    ReleaseDefaultPool();
    BuildPresentParams();
    HRESULT hr = mDevice->Reset(&mPresentParams);
    switch (hr)
    {
    case D3DERR_DEVICELOST:
        BW_LOG_FUNC(kFuncResetDevice, L"\tD3DERR_DEVICELOST\n");
        return BW_FAIL;
    case D3DERR_DRIVERINTERNALERROR:
        BW_LOG_FUNC(kFuncResetDevice, L"\tD3DERR_DRIVERINTERNALERROR\n");
        return BW_FAIL;
    case D3DERR_OUTOFVIDEOMEMORY:
        BW_LOG_FUNC(kFuncResetDevice, L"\tD3DERR_OUTOFVIDEOMEMORY \n");
        return BW_FAIL;
    default:
        if (hr < 0)
            return BW_FAIL;
        break;
    }
    BW_LOG_FUNC(kFuncResetDevice, L"\tD3D_OK\n");
    // Reset ended any scene and unbound everything, whatever follows.
    mDeviceInScene = 0;
    ForgetDeviceState();
    BWResultEnum result = BW_OK;
    for (size_t i = 0; i < mBuffers.size(); ++i)
        if (mBuffers[i]->Restore() != BW_OK)
            result = BW_FAIL;
    for (size_t i = 0; i < mTextures.size(); ++i)
        if (mTextures[i]->Restore() != BW_OK)
            result = BW_FAIL;
    for (size_t i = 0; i < mShaderImpls.size(); ++i)
        if (mShaderImpls[i]->OnResetDevice() != BW_OK)
            result = BW_FAIL;
    if (result == BW_OK)
        result = InitDeviceState();
    if (result != BW_OK)
    {
        // Left lost: the next frame releases what came back and resets again,
        // so that nothing stays missing.
        BW_LOG_FUNC(kFuncResetDevice, L"\tthe device objects could not be restored\n");
        ReleaseDefaultPool();
        return BW_FAIL;
    }
    return BW_OK;
}

BWResultEnum RenderDX9::PrepareSwitchScreenMode()
{
    BWResultEnum result = LostDevice();
    // Everything of the default pool is gone until the reset that follows.
    mDeviceLost = 1;
    return result;
}

BWResultEnum RenderDX9::SwitchScreenMode(const RenderInitParam& param)
{
    mWindowed = param.mWindowed;
    mWidth = param.mWidth;
    mHeight = param.mHeight;
    std::copy(param.mViewport, param.mViewport + 4, mDefaultViewport);
    if (param.mOrthoFromSize)
    {
        BWResultEnum result =
            MakeOrthoProjection(static_cast<float>(mWidth), static_cast<float>(mHeight), 0.0f, &mProjection);
        if (result != BW_OK)
            return result;
    }
    else
    {
        mProjection = param.mProjection;
    }
    BWResultEnum result = BuildPresentParams();
    if (result != BW_OK)
        return result;
    result = ResetDevice();
    if (result == BW_OK)
        mDeviceLost = 0;
    return result;
}

bool RenderDX9::CheckDevice()
{
    if (!mDevice)
        return false;
    const WindowState window = QueryWindowState();
    const bool drawable = mWindowed ? !window.minimized : (window.applicationActive && !window.minimized);
    if (!drawable)
    {
        if (mWindowed)
            return false; // minimised: nothing to draw into, nothing lost
        if (mDeviceLost)
        {
            SleepWhileLost();
            return false;
        }
        LostDevice();
        mDeviceLost = 1;
        return false;
    }

    HRESULT hr = mDevice->TestCooperativeLevel();
    if (hr == D3DERR_DEVICELOST)
    {
        if (!mDeviceLost)
        {
            LostDevice();
            mDeviceLost = 1;
        }
        SleepWhileLost();
        return false;
    }
    if (hr == D3DERR_DEVICENOTRESET || (hr == D3D_OK && mDeviceLost))
    {
        // Reset refuses while default-pool objects live, so they are released
        // first even when the loss itself went unseen; and a device that
        // answers OK after our objects were released is reset before drawing.
        if (!mDeviceLost)
        {
            LostDevice();
            mDeviceLost = 1;
        }
        if (ResetDevice() == BW_OK)
            mDeviceLost = 0;
        return false;
    }
    return hr == D3D_OK;
}

RenderDX9::WindowState RenderDX9::QueryWindowState() const
{
    WindowState state;
    state.minimized = IsWindowMinimized(mWindow);
    state.applicationActive = IsApplicationActive(mWindow);
    return state;
}

void RenderDX9::ReportUnsupportedShaders()
{
    ReportRenderFailure();
}

void RenderDX9::SleepWhileLost()
{
    Sleep(100);
}

// --- Factories -----------------------------------------------------------------

BWResultEnum RenderDX9::CreateTexture(Texture** out)
{
    *out = new TextureDX9(this);
    return BW_OK;
}

BWResultEnum RenderDX9::CreateShader(const std::string& vertexText, const std::string& pixelText, ShaderImpl** out)
{
    auto* shader = new ShaderImplDX9(this);
    return HandOver(shader, shader->Compile(vertexText, pixelText), out);
}

BWResultEnum RenderDX9::CreateShaderGeom(ShaderImpl** out)
{
    return CreateShader(gVertexShaderGeomText, gPixelShaderGeomText, out);
}

BWResultEnum RenderDX9::CreateShaderTexturedMult(ShaderImpl** out)
{
    return CreateShader(gVertexShaderTexturedMultText, gPixelShaderTexturedMultText, out);
}

BWResultEnum RenderDX9::CreateShaderTexturedTint(ShaderImpl** out)
{
    return CreateShader(gVertexShaderTexturedTintText, gPixelShaderTexturedTintText, out);
}

BWResultEnum RenderDX9::CreateVertexBuffer(const VertexFormat& format, uint32_t count, bool dynamic,
                                           VertexBufferImpl** out)
{
    auto* buffer = new VertexBufferImplDX9(this);
    return HandOver(buffer, buffer->Create(format, count, dynamic), out);
}

BWResultEnum RenderDX9::CreateIndexBuffer(uint32_t indexSize, uint32_t count, bool dynamic, IndexBufferImpl** out)
{
    auto* buffer = new IndexBufferImplDX9(this);
    return HandOver(buffer, buffer->Create(indexSize, count, dynamic), out);
}

// --- Device operations (the replay) -----------------------------------------------

BWResultEnum RenderDX9::DoClear(uint32_t flags, const float color[4], float z, uint32_t stencil)
{
    DWORD clear = 0;
    if (flags & ClearColor)
        clear |= D3DCLEAR_TARGET;
    if (flags & ClearDepth)
        clear |= D3DCLEAR_ZBUFFER;
    if (flags & ClearStencil)
        clear |= D3DCLEAR_STENCIL;
    D3DCOLOR packed = D3DCOLOR_ARGB(ColorChannel(color[3]), ColorChannel(color[0]), ColorChannel(color[1]),
                                    ColorChannel(color[2]));
    return Ok(mDevice->Clear(0, nullptr, clear, packed, z, stencil));
}

BWResultEnum RenderDX9::DoBeginScene()
{
    return Ok(mDevice->BeginScene());
}

BWResultEnum RenderDX9::DoEndScene()
{
    return Ok(mDevice->EndScene());
}

BWResultEnum RenderDX9::DoPresent()
{
    HRESULT hr = mDevice->Present(nullptr, nullptr, nullptr, nullptr);
    if (hr == D3D_OK)
        return BW_OK;
    BW_LOG_FUNC(kFuncDoPresent, L"mDevice->Present failed\n");
    switch (hr)
    {
    case D3DERR_DEVICELOST: BW_LOG_FUNC(kFuncDoPresent, L"\tD3DERR_DEVICELOST\n"); break;
    case D3DERR_DRIVERINTERNALERROR: BW_LOG_FUNC(kFuncDoPresent, L"\tD3DERR_DRIVERINTERNALERROR\n"); break;
    case D3DERR_INVALIDCALL: BW_LOG_FUNC(kFuncDoPresent, L"\tD3DERR_INVALIDCALL\n"); break;
    case D3DERR_OUTOFVIDEOMEMORY: BW_LOG_FUNC(kFuncDoPresent, L"\tD3DERR_OUTOFVIDEOMEMORY\n"); break;
    case E_OUTOFMEMORY: BW_LOG_FUNC(kFuncDoPresent, L"\tE_OUTOFMEMORY\n"); break;
    default: break;
    }
    return BW_FAIL;
}

BWResultEnum RenderDX9::DoSetRenderTarget(Texture* target)
{
    IDirect3DSurface9* surface = target ? static_cast<TextureDX9*>(target)->GetSurface() : mBackBuffer;
    if (!surface)
        return BW_FAIL;
    return Ok(mDevice->SetRenderTarget(0, surface));
}

BWResultEnum RenderDX9::DoSetShader(ShaderImpl* shader)
{
    auto* impl = static_cast<ShaderImplDX9*>(shader);
    if (mDevice->SetVertexShader(impl ? impl->GetVertexShader() : nullptr) != D3D_OK)
        return BW_FAIL;
    return Ok(mDevice->SetPixelShader(impl ? impl->GetPixelShader() : nullptr));
}

BWResultEnum RenderDX9::DoSetVertexFormat(uint32_t formatId)
{
    const VertexFormat* format = VertexFormat::Find(formatId);
    if (!format)
        return BW_FAIL;
    return Ok(mDevice->SetFVF(format->mFvf));
}

BWResultEnum RenderDX9::DoSetVertexBuffer(VertexBufferImpl* buffer)
{
    auto* impl = static_cast<VertexBufferImplDX9*>(buffer);
    if (!impl)
        return Ok(mDevice->SetStreamSource(0, nullptr, 0, 0));
    return Ok(mDevice->SetStreamSource(0, impl->GetDeviceBuffer(), 0, impl->GetStride()));
}

BWResultEnum RenderDX9::DoSetIndexBuffer(IndexBufferImpl* buffer)
{
    auto* impl = static_cast<IndexBufferImplDX9*>(buffer);
    return Ok(mDevice->SetIndices(impl ? impl->GetDeviceBuffer() : nullptr));
}

BWResultEnum RenderDX9::DoSetBlendMode(uint32_t mode)
{
    if (mode > BlendAdditive)
        return BW_OK;
    if (mode == BlendOpaque)
    {
        HRESULT hr = SetRenderStates(mDevice, {{D3DRS_ALPHABLENDENABLE, FALSE}});
        if (hr == D3D_OK)
            hr = SetStageStates(mDevice, {{D3DTSS_COLOROP, D3DTOP_SELECTARG1},
                                          {D3DTSS_COLORARG1, D3DTA_TEXTURE},
                                          {D3DTSS_ALPHAOP, D3DTOP_SELECTARG1},
                                          {D3DTSS_ALPHAARG1, D3DTA_TEXTURE}});
        return Ok(hr);
    }
    const DWORD destination = mode == BlendAlpha ? D3DBLEND_INVSRCALPHA : D3DBLEND_ONE;
    HRESULT hr = SetRenderStates(mDevice, {{D3DRS_ALPHABLENDENABLE, TRUE},
                                           {D3DRS_SRCBLEND, D3DBLEND_SRCALPHA},
                                           {D3DRS_DESTBLEND, destination}});
    if (hr == D3D_OK)
        hr = SetStageStates(mDevice, {{D3DTSS_COLOROP, D3DTOP_MODULATE},
                                      {D3DTSS_COLORARG1, D3DTA_TEXTURE},
                                      {D3DTSS_COLORARG2, D3DTA_DIFFUSE},
                                      {D3DTSS_ALPHAOP, D3DTOP_MODULATE},
                                      {D3DTSS_ALPHAARG1, D3DTA_TEXTURE},
                                      {D3DTSS_ALPHAARG2, D3DTA_DIFFUSE}});
    return Ok(hr);
}

BWResultEnum RenderDX9::DoEnableScissor(bool enable)
{
    return Ok(mDevice->SetRenderState(D3DRS_SCISSORTESTENABLE, enable ? TRUE : FALSE));
}

BWResultEnum RenderDX9::DoSetScissorRect(const int rect[4])
{
    RECT r = {rect[0], rect[1], rect[0] + rect[2], rect[1] + rect[3]};
    return Ok(mDevice->SetScissorRect(&r));
}

BWResultEnum RenderDX9::DoSetDepthTest(bool enable, bool write)
{
    if (!enable)
        return Ok(mDevice->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE));
    if (mDevice->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE) != D3D_OK)
        return BW_FAIL;
    return Ok(mDevice->SetRenderState(D3DRS_ZWRITEENABLE, write ? TRUE : FALSE));
}

BWResultEnum RenderDX9::DoDrawPrimitive(uint32_t type, uint32_t startVertex, uint32_t primitiveCount)
{
    return Ok(mDevice->DrawPrimitive(MapPrimitiveType(type), startVertex, primitiveCount));
}

BWResultEnum RenderDX9::DoDrawIndexedPrimitive(uint32_t type, uint32_t bytesPerIndex, uint32_t startIndex,
                                               uint32_t primitiveCount, uint32_t minVertexIndex, uint32_t vertexCount)
{
    (void)bytesPerIndex;
    return Ok(mDevice->DrawIndexedPrimitive(MapPrimitiveType(type), 0, minVertexIndex, vertexCount, startIndex,
                                            primitiveCount));
}

} // namespace render
