#pragma once

// Vertex and pixel shaders: a parsed shader blob and what the back end made
// of it. They survive device loss and Reset.

#include "Platform/D3D9/DeviceChild.h"
#include "Platform/D3D9/ExecutionBackend.h"
#include "Platform/D3D9/ShaderBlob.h"

#include <memory>

namespace d3d9
{

// The two kinds differ only in the interface they answer to.
template <class Interface>
class ShaderObject : public DeviceChild<Interface>
{
public:
    ShaderObject(Device* device, ShaderBlob blob, std::unique_ptr<BackendShader> backend)
        : DeviceChild<Interface>(device, 1), mBlob(std::move(blob)), mBackend(std::move(backend))
    {
    }
    const ShaderBlob& Blob() const { return mBlob; }
    BackendShader* Backend() const { return mBackend.get(); }

private:
    ShaderBlob mBlob;
    std::unique_ptr<BackendShader> mBackend;
    hooks::LiveToken mLive;
};

class VertexShader final : public ShaderObject<IDirect3DVertexShader9>
{
public:
    using ShaderObject::ShaderObject;
};

class PixelShader final : public ShaderObject<IDirect3DPixelShader9>
{
public:
    using ShaderObject::ShaderObject;
};

} // namespace d3d9
