#pragma once

// Vertex and pixel shaders: a parsed shader blob and what the back end made
// of it. They survive device loss and Reset.

#include "Platform/D3D9/DeviceChild.h"
#include "Platform/D3D9/ExecutionBackend.h"
#include "Platform/D3D9/ShaderBlob.h"

#include <memory>

namespace d3d9
{

class VertexShader final : public DeviceChild<IDirect3DVertexShader9>
{
public:
    VertexShader(Device* device, ShaderBlob blob, std::unique_ptr<BackendShader> backend)
        : DeviceChild(device, 1), mBlob(std::move(blob)), mBackend(std::move(backend))
    {
    }
    const ShaderBlob& Blob() const { return mBlob; }
    BackendShader* Backend() const { return mBackend.get(); }

private:
    ShaderBlob mBlob;
    std::unique_ptr<BackendShader> mBackend;
    hooks::LiveToken mLive;
};

class PixelShader final : public DeviceChild<IDirect3DPixelShader9>
{
public:
    PixelShader(Device* device, ShaderBlob blob, std::unique_ptr<BackendShader> backend)
        : DeviceChild(device, 1), mBlob(std::move(blob)), mBackend(std::move(backend))
    {
    }
    const ShaderBlob& Blob() const { return mBlob; }
    BackendShader* Backend() const { return mBackend.get(); }

private:
    ShaderBlob mBlob;
    std::unique_ptr<BackendShader> mBackend;
    hooks::LiveToken mLive;
};

} // namespace d3d9
