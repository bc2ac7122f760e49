#pragma once

// Everything a device remembers between calls, as Direct3D 9 defines it. The
// execution back ends read it at each draw and clear.

#include "Platform/D3D9/D3D9.h"

#include <cstdint>

namespace d3d9
{

class Surface;
class Texture;
class VertexBuffer;
class IndexBuffer;
class VertexShader;
class PixelShader;

constexpr DWORD kRenderStateCount = 256;
constexpr DWORD kSamplerCount = 16;
constexpr DWORD kSamplerStateCount = 14;
constexpr DWORD kStageCount = 8;
constexpr DWORD kStageStateCount = 33;
constexpr UINT kStreamCount = 16;
constexpr UINT kVertexConstantRegisters = 256;
constexpr UINT kPixelConstantRegisters = 224;

struct StreamBinding
{
    VertexBuffer* buffer = nullptr;
    UINT offset = 0;
    UINT stride = 0;
};

struct DeviceState
{
    DWORD renderStates[kRenderStateCount] = {};
    DWORD samplerStates[kSamplerCount][kSamplerStateCount] = {};
    DWORD stageStates[kStageCount][kStageStateCount] = {};
    D3DVIEWPORT9 viewport = {};
    RECT scissor = {};
    DWORD fvf = 0;
    StreamBinding streams[kStreamCount];
    IndexBuffer* indices = nullptr;
    VertexShader* vertexShader = nullptr;
    PixelShader* pixelShader = nullptr;
    Texture* textures[kSamplerCount] = {};
    Surface* renderTarget = nullptr;
    float vertexConstants[kVertexConstantRegisters * 4] = {};
    float pixelConstants[kPixelConstantRegisters * 4] = {};
    // Raised on every change, so back ends upload a register file only when
    // it moved since they last did.
    uint64_t vertexConstantsVersion = 1;
    uint64_t pixelConstantsVersion = 1;
};

// Direct3D 9's values at creation and after Reset, except the bindings
// (render target, viewport and scissor are set by the device). ZENABLE is
// TRUE exactly when an automatic depth-stencil buffer exists.
void SetDefaultStates(DeviceState* state, bool autoDepthStencil);

} // namespace d3d9
