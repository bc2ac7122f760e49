#pragma once

// Vertex and index buffers on a Direct3D 9 device. Dynamic buffers live in the
// default pool: they are released when the device is lost and created again
// (empty) after a reset; the others are managed and survive.

#include "Core/Render/Buffer.h"
#include "Platform/D3D9/D3D9.h"

namespace render
{

class RenderDX9;

class VertexBufferImplDX9 : public VertexBufferImpl
{
public:
    explicit VertexBufferImplDX9(RenderDX9* render);
    ~VertexBufferImplDX9() override;

    BWResultEnum Create(const VertexFormat& format, uint32_t count, bool dynamic) override;
    BWResultEnum Lock() override;
    BWResultEnum Unlock() override;
    BWResultEnum Restore() override;
    BWResultEnum Release() override;
    BWResultEnum CheckLocked() override;

    IDirect3DVertexBuffer9* GetDeviceBuffer() const { return mDeviceBuffer; }
    uint32_t GetStride() const { return mElementSize; }
    bool IsDynamic() const { return mDynamic != 0; }

private:
    IDirect3DDevice9* Device() const;
    // Sized, used and pooled as Create chose.
    BWResultEnum CreateDeviceBuffer(IDirect3DDevice9* device);

    RenderDX9* mRenderDX9;
    IDirect3DVertexBuffer9* mDeviceBuffer = nullptr;
    uint8_t mDynamic = 0;
    uint32_t mFvf = 0;
};

class IndexBufferImplDX9 : public IndexBufferImpl
{
public:
    explicit IndexBufferImplDX9(RenderDX9* render);
    ~IndexBufferImplDX9() override;

    BWResultEnum Create(uint32_t indexSize, uint32_t count, bool dynamic) override;
    BWResultEnum Lock() override;
    BWResultEnum Unlock() override;
    BWResultEnum Restore() override;
    BWResultEnum Release() override;
    BWResultEnum CheckLocked() override;

    IDirect3DIndexBuffer9* GetDeviceBuffer() const { return mDeviceBuffer; }
    bool IsDynamic() const { return mDynamic != 0; }

private:
    IDirect3DDevice9* Device() const;
    // Sized, used and pooled as Create chose.
    BWResultEnum CreateDeviceBuffer(IDirect3DDevice9* device);

    RenderDX9* mRenderDX9;
    IDirect3DIndexBuffer9* mDeviceBuffer = nullptr;
    uint8_t mDynamic = 0;
};

} // namespace render
