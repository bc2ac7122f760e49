#include "Core/Render/DX9/BufferDX9.h"

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

template <class DeviceBuffer>
void ReleaseDeviceBuffer(DeviceBuffer*& buffer)
{
    if (buffer)
    {
        buffer->Release();
        buffer = nullptr;
    }
}

} // namespace

// --- Vertex buffer -------------------------------------------------------------

VertexBufferImplDX9::VertexBufferImplDX9(RenderDX9* render) : VertexBufferImpl(render), mRenderDX9(render)
{
}

VertexBufferImplDX9::~VertexBufferImplDX9()
{
    if (mDeviceBuffer && mLocked)
        mDeviceBuffer->Unlock();
    ReleaseDeviceBuffer(mDeviceBuffer);
}

IDirect3DDevice9* VertexBufferImplDX9::Device() const
{
    return mRender && mRenderDX9 ? mRenderDX9->GetDevice() : nullptr;
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
    UINT length = ByteLength(mElementSize, count);
    if (length == 0)
        return BW_FAIL;
    HRESULT hr = device->CreateVertexBuffer(length, dynamic ? kDynamicUsage : D3DUSAGE_WRITEONLY, mFvf,
                                            dynamic ? D3DPOOL_DEFAULT : D3DPOOL_MANAGED, &mDeviceBuffer, nullptr);
    if (hr != D3D_OK)
    {
        mDeviceBuffer = nullptr;
        return BW_FAIL;
    }
    return BW_OK;
}

BWResultEnum VertexBufferImplDX9::Lock()
{
    if (!mDeviceBuffer || mLocked)
        return BW_FAIL;
    void* data = nullptr;
    if (mDeviceBuffer->Lock(0, 0, &data, D3DLOCK_DISCARD) != D3D_OK || !data)
        return BW_FAIL;
    mLocked = 1;
    mLockPointer = static_cast<uint8_t*>(data);
    mUsed = 0;
    return BW_OK;
}

BWResultEnum VertexBufferImplDX9::Unlock()
{
    if (!mDeviceBuffer || !mLocked)
        return BW_FAIL;
    if (mDeviceBuffer->Unlock() != D3D_OK)
        return BW_FAIL;
    mLocked = 0;
    mUsed = 0;
    mLockPointer = nullptr;
    return BW_OK;
}

BWResultEnum VertexBufferImplDX9::Release()
{
    if (!mDynamic)
        return BW_OK;
    // A buffer lost while locked must not stay locked in the books, or it
    // could never be locked again after the restore.
    if (mDeviceBuffer && mLocked)
        mDeviceBuffer->Unlock();
    mLocked = 0;
    mUsed = 0;
    mLockPointer = nullptr;
    ReleaseDeviceBuffer(mDeviceBuffer);
    return BW_OK;
}

BWResultEnum VertexBufferImplDX9::Restore()
{
    if (!mDynamic || mDeviceBuffer)
        return BW_OK;
    IDirect3DDevice9* device = Device();
    if (!device)
        return BW_FAIL;
    HRESULT hr = device->CreateVertexBuffer(ByteLength(mElementSize, mCapacity), kDynamicUsage, mFvf,
                                            D3DPOOL_DEFAULT, &mDeviceBuffer, nullptr);
    if (hr != D3D_OK)
    {
        mDeviceBuffer = nullptr;
        return BW_FAIL;
    }
    return BW_OK;
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
    if (mDeviceBuffer && mLocked)
        mDeviceBuffer->Unlock();
    ReleaseDeviceBuffer(mDeviceBuffer);
}

IDirect3DDevice9* IndexBufferImplDX9::Device() const
{
    return mRender && mRenderDX9 ? mRenderDX9->GetDevice() : nullptr;
}

static D3DFORMAT IndexFormat(uint32_t indexSize)
{
    return indexSize == 4 ? D3DFMT_INDEX32 : D3DFMT_INDEX16;
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
    UINT length = ByteLength(indexSize, count);
    if (length == 0)
        return BW_FAIL;
    HRESULT hr = device->CreateIndexBuffer(length, dynamic ? kDynamicUsage : D3DUSAGE_WRITEONLY, IndexFormat(indexSize),
                                           dynamic ? D3DPOOL_DEFAULT : D3DPOOL_MANAGED, &mDeviceBuffer, nullptr);
    if (hr != D3D_OK)
    {
        mDeviceBuffer = nullptr;
        return BW_FAIL;
    }
    return BW_OK;
}

BWResultEnum IndexBufferImplDX9::Lock()
{
    if (!mDeviceBuffer || mLocked)
        return BW_FAIL;
    void* data = nullptr;
    if (mDeviceBuffer->Lock(0, 0, &data, D3DLOCK_DISCARD) != D3D_OK || !data)
        return BW_FAIL;
    mLocked = 1;
    mLockPointer = static_cast<uint8_t*>(data);
    mUsed = 0;
    return BW_OK;
}

BWResultEnum IndexBufferImplDX9::Unlock()
{
    if (!mDeviceBuffer || !mLocked)
        return BW_FAIL;
    if (mDeviceBuffer->Unlock() != D3D_OK)
        return BW_FAIL;
    mLocked = 0;
    mUsed = 0;
    mLockPointer = nullptr;
    return BW_OK;
}

BWResultEnum IndexBufferImplDX9::Release()
{
    if (!mDynamic)
        return BW_OK;
    if (mDeviceBuffer && mLocked)
        mDeviceBuffer->Unlock();
    mLocked = 0;
    mUsed = 0;
    mLockPointer = nullptr;
    ReleaseDeviceBuffer(mDeviceBuffer);
    return BW_OK;
}

BWResultEnum IndexBufferImplDX9::Restore()
{
    if (!mDynamic || mDeviceBuffer)
        return BW_OK;
    IDirect3DDevice9* device = Device();
    if (!device)
        return BW_FAIL;
    HRESULT hr = device->CreateIndexBuffer(ByteLength(mElementSize, mCapacity), kDynamicUsage,
                                           IndexFormat(mElementSize), D3DPOOL_DEFAULT, &mDeviceBuffer, nullptr);
    if (hr != D3D_OK)
    {
        mDeviceBuffer = nullptr;
        return BW_FAIL;
    }
    return BW_OK;
}

BWResultEnum IndexBufferImplDX9::CheckLocked()
{
    return mDeviceBuffer && mLocked ? BW_OK : BW_FAIL;
}

} // namespace render
