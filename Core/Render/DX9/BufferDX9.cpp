#include "Core/Render/DX9/BufferDX9.h"

#include "Core/Render/DX9/ReleaseCom.h"
#include "Core/Render/DX9/RenderDX9.h"

namespace render
{
namespace
{

constexpr DWORD kDynamicUsage = D3DUSAGE_DYNAMIC | D3DUSAGE_WRITEONLY;

// Bytes for count elements, or 0 when that does not fit a buffer length.
UINT ByteLength(uint32_t elementSize, uint32_t count)
{
    uint64_t bytes = static_cast<uint64_t>(elementSize) * count;
    return bytes > 0xFFFFFFFFu ? 0 : static_cast<UINT>(bytes);
}

DWORD Usage(bool dynamic)
{
    return dynamic ? kDynamicUsage : D3DUSAGE_WRITEONLY;
}

D3DPOOL Pool(bool dynamic)
{
    return dynamic ? D3DPOOL_DEFAULT : D3DPOOL_MANAGED;
}

D3DFORMAT IndexFormat(uint32_t indexSize)
{
    return indexSize == 4 ? D3DFMT_INDEX32 : D3DFMT_INDEX16;
}

// The whole buffer, discarding what it held; null when the device refuses.
template <class DeviceBuffer>
uint8_t* LockWhole(DeviceBuffer* buffer)
{
    void* data = nullptr;
    if (buffer->Lock(0, 0, &data, D3DLOCK_DISCARD) != D3D_OK)
        return nullptr;
    return static_cast<uint8_t*>(data);
}

// Lets go of the device buffer, unlocking it first: a buffer released while
// locked must not stay locked in the books, or it could never be locked again
// after a restore.
template <class DeviceBuffer>
void ReleaseDeviceBuffer(DeviceBuffer*& buffer, bool locked)
{
    if (buffer && locked)
        buffer->Unlock();
    ReleaseCom(buffer);
}

template <class DeviceBuffer>
BWResultEnum Created(HRESULT hr, DeviceBuffer*& buffer)
{
    if (hr == D3D_OK)
        return BW_OK;
    buffer = nullptr;
    return BW_FAIL;
}

} // namespace

// --- Vertex buffer -------------------------------------------------------------

VertexBufferImplDX9::VertexBufferImplDX9(RenderDX9* render) : VertexBufferImpl(render), mRenderDX9(render)
{
}

VertexBufferImplDX9::~VertexBufferImplDX9()
{
    ReleaseDeviceBuffer(mDeviceBuffer, mLocked);
}

IDirect3DDevice9* VertexBufferImplDX9::Device() const
{
    return mRender && mRenderDX9 ? mRenderDX9->GetDevice() : nullptr;
}

BWResultEnum VertexBufferImplDX9::CreateDeviceBuffer(IDirect3DDevice9* device)
{
    return Created(device->CreateVertexBuffer(ByteLength(mElementSize, mCapacity), Usage(mDynamic), mFvf,
                                              Pool(mDynamic), &mDeviceBuffer, nullptr),
                   mDeviceBuffer);
}

BWResultEnum VertexBufferImplDX9::Create(const VertexFormat& format, uint32_t count, bool dynamic)
{
    IDirect3DDevice9* device = Device();
    if (mDeviceBuffer || !device)
        return BW_FAIL;
    mDynamic = dynamic ? 1 : 0;
    mCapacity = count;
    mElementSize = format.mStride;
    mFormatId = format.mId;
    mFvf = format.mFvf;
    if (ByteLength(mElementSize, count) == 0)
        return BW_FAIL;
    return CreateDeviceBuffer(device);
}

BWResultEnum VertexBufferImplDX9::Lock()
{
    if (!mDeviceBuffer || mLocked)
        return BW_FAIL;
    uint8_t* data = LockWhole(mDeviceBuffer);
    if (!data)
        return BW_FAIL;
    SetLocked(data);
    return BW_OK;
}

BWResultEnum VertexBufferImplDX9::Unlock()
{
    if (!mDeviceBuffer || !mLocked || mDeviceBuffer->Unlock() != D3D_OK)
        return BW_FAIL;
    SetUnlocked();
    return BW_OK;
}

BWResultEnum VertexBufferImplDX9::Release()
{
    if (!mDynamic)
        return BW_OK;
    ReleaseDeviceBuffer(mDeviceBuffer, mLocked);
    SetUnlocked();
    return BW_OK;
}

BWResultEnum VertexBufferImplDX9::Restore()
{
    if (!mDynamic || mDeviceBuffer)
        return BW_OK;
    IDirect3DDevice9* device = Device();
    return device ? CreateDeviceBuffer(device) : BW_FAIL;
}

BWResultEnum VertexBufferImplDX9::CheckLocked()
{
    return mDeviceBuffer && mLocked ? BW_OK : BW_FAIL;
}

// --- Index buffer --------------------------------------------------------------

IndexBufferImplDX9::IndexBufferImplDX9(RenderDX9* render) : IndexBufferImpl(render), mRenderDX9(render)
{
}

IndexBufferImplDX9::~IndexBufferImplDX9()
{
    ReleaseDeviceBuffer(mDeviceBuffer, mLocked);
}

IDirect3DDevice9* IndexBufferImplDX9::Device() const
{
    return mRender && mRenderDX9 ? mRenderDX9->GetDevice() : nullptr;
}

BWResultEnum IndexBufferImplDX9::CreateDeviceBuffer(IDirect3DDevice9* device)
{
    return Created(device->CreateIndexBuffer(ByteLength(mElementSize, mCapacity), Usage(mDynamic),
                                             IndexFormat(mElementSize), Pool(mDynamic), &mDeviceBuffer, nullptr),
                   mDeviceBuffer);
}

BWResultEnum IndexBufferImplDX9::Create(uint32_t indexSize, uint32_t count, bool dynamic)
{
    IDirect3DDevice9* device = Device();
    if (mDeviceBuffer || !device)
        return BW_FAIL;
    if (indexSize != 2 && indexSize != 4)
        return BW_FAIL; // no such index format
    mDynamic = dynamic ? 1 : 0;
    mCapacity = count;
    mElementSize = indexSize;
    if (ByteLength(indexSize, count) == 0)
        return BW_FAIL;
    return CreateDeviceBuffer(device);
}

BWResultEnum IndexBufferImplDX9::Lock()
{
    if (!mDeviceBuffer || mLocked)
        return BW_FAIL;
    uint8_t* data = LockWhole(mDeviceBuffer);
    if (!data)
        return BW_FAIL;
    SetLocked(data);
    return BW_OK;
}

BWResultEnum IndexBufferImplDX9::Unlock()
{
    if (!mDeviceBuffer || !mLocked || mDeviceBuffer->Unlock() != D3D_OK)
        return BW_FAIL;
    SetUnlocked();
    return BW_OK;
}

BWResultEnum IndexBufferImplDX9::Release()
{
    if (!mDynamic)
        return BW_OK;
    ReleaseDeviceBuffer(mDeviceBuffer, mLocked);
    SetUnlocked();
    return BW_OK;
}

BWResultEnum IndexBufferImplDX9::Restore()
{
    if (!mDynamic || mDeviceBuffer)
        return BW_OK;
    IDirect3DDevice9* device = Device();
    return device ? CreateDeviceBuffer(device) : BW_FAIL;
}

BWResultEnum IndexBufferImplDX9::CheckLocked()
{
    return mDeviceBuffer && mLocked ? BW_OK : BW_FAIL;
}

} // namespace render
