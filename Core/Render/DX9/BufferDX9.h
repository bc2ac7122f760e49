#pragma once

// Vertex and index buffers on a Direct3D 9 device. Dynamic buffers live in the
// default pool: they are released when the device is lost and created again
// (empty) after a reset; the others are managed and survive.

#include "Core/Render/Buffer.h"
#include "Platform/D3D9/D3D9.h"

namespace render
{

class RenderDX9;

// What both kinds share: the device buffer's lock, release and restore.
template <class Impl, class DeviceBuffer>
class BufferDX9 : public Impl
{
public:
    explicit BufferDX9(RenderDX9* render) : Impl(render), mRenderDX9(render) {}
    ~BufferDX9() override;

    BWResultEnum Lock() override;
    BWResultEnum Unlock() override;
    BWResultEnum Restore() override;
    BWResultEnum Release() override;
    BWResultEnum CheckLocked() override;

    DeviceBuffer* GetDeviceBuffer() const { return mDeviceBuffer; }
    bool IsDynamic() const { return mDynamic != 0; }

protected:
    IDirect3DDevice9* Device() const;
    // Sized, used and pooled as Create chose.
    virtual BWResultEnum CreateDeviceBuffer(IDirect3DDevice9* device) = 0;
    // Lets go of the device buffer, unlocking it first: a buffer released
    // while locked must not stay locked in the books, or it could never be
    // locked again after a restore.
    void ReleaseDeviceBuffer();

    RenderDX9* mRenderDX9;
    DeviceBuffer* mDeviceBuffer = nullptr;
    uint8_t mDynamic = 0;
};

class VertexBufferImplDX9 : public BufferDX9<VertexBufferImpl, IDirect3DVertexBuffer9>
{
public:
    explicit VertexBufferImplDX9(RenderDX9* render) : BufferDX9(render) {}

    BWResultEnum Create(const VertexFormat& format, uint32_t count, bool dynamic) override;

    uint32_t GetStride() const { return mElementSize; }

private:
    BWResultEnum CreateDeviceBuffer(IDirect3DDevice9* device) override;

    uint32_t mFvf = 0;
};

class IndexBufferImplDX9 : public BufferDX9<IndexBufferImpl, IDirect3DIndexBuffer9>
{
public:
    explicit IndexBufferImplDX9(RenderDX9* render) : BufferDX9(render) {}

    BWResultEnum Create(uint32_t indexSize, uint32_t count, bool dynamic) override;

private:
    BWResultEnum CreateDeviceBuffer(IDirect3DDevice9* device) override;
};

extern template class BufferDX9<VertexBufferImpl, IDirect3DVertexBuffer9>;
extern template class BufferDX9<IndexBufferImpl, IDirect3DIndexBuffer9>;

} // namespace render
