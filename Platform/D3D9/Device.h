#pragma once

// The IDirect3DDevice9 object: Direct3D 9's state, rules and device-loss
// protocol, executed by one ExecutionBackend.

#include "Platform/D3D9/CountedObject.h"
#include "Platform/D3D9/D3D9.h"
#include "Platform/D3D9/DeviceState.h"
#include "Platform/D3D9/ExecutionBackend.h"
#include "Platform/D3D9/Hooks.h"

#include <memory>
#include <vector>

namespace d3d9
{

class Direct3D9;
class Surface;
class Texture;
class VertexBuffer;
class IndexBuffer;

class Device final : public CountedObject<IDirect3DDevice9>
{
public:
    Device(Direct3D9* d3d, std::unique_ptr<ExecutionBackend> backend, HWND focusWindow, DWORD behaviorFlags);

    // Opens the swap chain; writes the values chosen back into the parameters.
    HRESULT Init(D3DPRESENT_PARAMETERS* presentParameters);

    HRESULT TestCooperativeLevel() override;
    HRESULT Reset(D3DPRESENT_PARAMETERS* presentParameters) override;
    HRESULT Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                    const RGNDATA* dirtyRegion) override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) override;
    HRESULT GetRenderTarget(DWORD index, IDirect3DSurface9** renderTarget) override;
    HRESULT SetRenderTarget(DWORD index, IDirect3DSurface9* renderTarget) override;
    HRESULT SetViewport(const D3DVIEWPORT9* viewport) override;
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) override;
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
    HRESULT SetScissorRect(const RECT* rect) override;
    HRESULT SetFVF(DWORD fvf) override;
    HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride) override;
    HRESULT SetIndices(IDirect3DIndexBuffer9* indices) override;
    HRESULT SetVertexShader(IDirect3DVertexShader9* shader) override;
    HRESULT SetPixelShader(IDirect3DPixelShader9* shader) override;
    HRESULT SetVertexShaderConstantF(UINT startRegister, const float* data, UINT count) override;
    HRESULT SetPixelShaderConstantF(UINT startRegister, const float* data, UINT count) override;
    HRESULT SetTexture(DWORD sampler, IDirect3DBaseTexture9* texture) override;
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) override;
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertexIndex, UINT minVertexIndex, UINT numVertices,
                                 UINT startIndex, UINT primitiveCount) override;
    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool, IDirect3DVertexBuffer9** buffer,
                               HANDLE* sharedHandle) override;
    HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DIndexBuffer9** buffer, HANDLE* sharedHandle) override;
    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          IDirect3DTexture9** texture, HANDLE* sharedHandle) override;
    HRESULT CreateVertexShader(const DWORD* function, IDirect3DVertexShader9** shader) override;
    HRESULT CreatePixelShader(const DWORD* function, IDirect3DPixelShader9** shader) override;

    // For the resources.
    void Forget(VertexBuffer* buffer);
    void Forget(IndexBuffer* buffer);
    void Forget(Texture* texture);
    void UploadTextureLevel(Texture* texture, UINT level, const std::vector<uint8_t>& data);

    // For the test hooks.
    void LoseByHook();
    void AllowResetByHook();
    UINT LiveDefaultPoolObjects() const;
    UINT BackBufferReferences() const;
    const DeviceState& State() const { return mState; }
    bool InScene() const { return mInScene; }
    const test::Stats& Stats() const { return mStats; }
    const D3DPRESENT_PARAMETERS& PresentParameters() const { return mParams; }
    bool ReadRenderTarget(IDirect3DSurface9* surface, std::vector<D3DCOLOR>* pixels, UINT* width, UINT* height);
    bool BackBufferInWindow() const { return mBackend->BackBufferInWindow(); }

private:
    enum class Cooperation
    {
        Ok,
        Lost,
        NotReset,
    };

    ~Device() override;

    HRESULT ChooseSwapChain(D3DPRESENT_PARAMETERS* params, SwapChainDesc* desc) const;
    void WriteBackSwapChain(const SwapChainDesc& desc, D3DPRESENT_PARAMETERS* params) const;
    void UpdateCooperation();
    void UnbindAll();
    void RestoreDefaults();
    void SetFullTarget(const Surface* target);
    HRESULT PrepareDraw(DrawCall* call);
    // Checks a draw of primitiveCount and fills call; false when it does not
    // go ahead, with *answer what the draw returns.
    bool StartDraw(D3DPRIMITIVETYPE type, UINT primitiveCount, DrawCall* call, HRESULT* answer);
    void SubmitDraw(const DrawCall& call, UINT primitiveCount);
    HRESULT StoreConstants(float* registers, UINT registerCount, uint64_t* version, UINT startRegister,
                           const float* data, UINT count);
    template <class B>
    HRESULT InitBuffer(B* buffer, UINT length, DWORD usage, D3DPOOL pool, bool index, std::vector<B*>* defaults);
    template <class S, class Interface>
    HRESULT CreateShaderObject(test::Call call, const char* name, bool vertex, const DWORD* function,
                               Interface** shader);
    template <class Object, class Interface>
    HRESULT BindObject(test::Call call, Interface* given, Object*& slot);
    void SendBuffer(class BufferStorage& storage, uint64_t begin, uint64_t end);

    Direct3D9* mD3D;
    std::unique_ptr<ExecutionBackend> mBackend;
    HWND mFocusWindow;
    DWORD mBehaviorFlags;
    D3DCAPS9 mCaps;
    D3DPRESENT_PARAMETERS mParams = {};
    std::unique_ptr<Surface> mBackBuffer;
    DeviceState mState;
    Cooperation mCooperation = Cooperation::Ok;
    bool mLostByHook = false;
    bool mInScene = false;
    test::Stats mStats;
    std::vector<VertexBuffer*> mDefaultVertexBuffers;
    std::vector<IndexBuffer*> mDefaultIndexBuffers;
    std::vector<Texture*> mDefaultTextures;
    hooks::LiveToken mLive;
};

} // namespace d3d9
