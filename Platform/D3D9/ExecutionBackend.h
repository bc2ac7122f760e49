#pragma once

// The small interface behind the Direct3D-shaped objects: the device does
// all of Direct3D's bookkeeping and validation, then hands a back end only
// resolved work (upload these bytes, clear these rectangles, draw this).
// Back ends: NullBackend (nothing to execute, for headless tests) and
// GlBackend (OpenGL 3.3 core in the SDL window behind the HWND).

#include "Platform/D3D9/D3D9.h"
#include "Platform/D3D9/DeviceState.h"
#include "Platform/D3D9/Formats.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace d3d9
{

struct ShaderBlob;

class BackendBuffer
{
public:
    virtual ~BackendBuffer() = default;
};

class BackendTexture
{
public:
    virtual ~BackendTexture() = default;
};

class BackendShader
{
public:
    virtual ~BackendShader() = default;
};

struct SwapChainDesc
{
    HWND window = nullptr;
    UINT width = 0; // 0 in windowed mode: the back end fills in the window's size
    UINT height = 0;
    D3DFORMAT format = D3DFMT_X8R8G8B8;
    bool depthStencil = false;
    bool windowed = true;
    UINT refreshRate = 0;
    bool waitForVsync = false;
    bool keepContents = false; // D3DSWAPEFFECT_COPY: the back buffer survives Present
};

// Where a clear or draw lands: the back buffer, or a render-target texture.
struct TargetRef
{
    BackendTexture* texture = nullptr; // null: the back buffer
    UINT width = 0;
    UINT height = 0;
};

struct ClearCall
{
    TargetRef target;
    std::vector<RECT> rects; // already clipped to the viewport and scissor
    DWORD flags = 0;
    D3DCOLOR color = 0;
    float z = 1.0f;
    DWORD stencil = 0;
};

struct DrawCall
{
    TargetRef target;
    D3DPRIMITIVETYPE type = D3DPT_TRIANGLELIST;
    UINT count = 0; // vertices, or indices when indexed
    bool indexed = false;
    UINT startVertex = 0;
    INT baseVertex = 0;
    UINT startIndex = 0;
    UINT lowestIndex = 0; // the range the indices hold, before baseVertex
    UINT highestIndex = 0;
    VertexLayout layout;
    BackendBuffer* vertices = nullptr;
    UINT streamOffset = 0;
    UINT stride = 0;
    BackendBuffer* indices = nullptr;
    UINT indexSize = 2;
    BackendShader* vertexShader = nullptr;
    BackendShader* pixelShader = nullptr;
    BackendTexture* textures[kSamplerCount] = {};
};

class ExecutionBackend
{
public:
    virtual ~ExecutionBackend() = default;

    // Sets up the swap chain; a D3DERR_* code when it cannot.
    virtual HRESULT Open(SwapChainDesc* desc) = 0;
    virtual HRESULT Reset(SwapChainDesc* desc) = 0;
    // The window is minimised: a full-screen device is then lost.
    virtual bool IsOccluded() = 0;

    virtual std::unique_ptr<BackendBuffer> CreateBuffer(UINT length, bool index) = 0;
    // Sends bytes [begin, end) of the buffer's contents; orphan first drops
    // what the buffer held (a discarding lock).
    virtual void UploadBuffer(BackendBuffer* buffer, const uint8_t* contents, UINT length, UINT begin, UINT end,
                              bool orphan) = 0;
    virtual std::unique_ptr<BackendTexture> CreateTexture(D3DFORMAT format, UINT width, UINT height, UINT levels,
                                                          bool renderTarget) = 0;
    // A whole level, rows at LevelPitch, top row first.
    virtual void UploadTextureLevel(BackendTexture* texture, UINT level, const uint8_t* data) = 0;
    // Null with a message when the program cannot run here.
    virtual std::unique_ptr<BackendShader> CreateShader(const ShaderBlob& blob, std::string* error) = 0;

    virtual void Clear(const DeviceState& state, const ClearCall& call) = 0;
    virtual void Draw(const DeviceState& state, const DrawCall& call) = 0;
    virtual HRESULT Present() = 0;
    virtual bool ReadPixels(const TargetRef& target, std::vector<D3DCOLOR>* pixels) = 0;
    virtual bool BackBufferInWindow() const { return false; }
};

std::unique_ptr<ExecutionBackend> CreateNullBackend();
std::unique_ptr<ExecutionBackend> CreateGlBackend();

} // namespace d3d9
