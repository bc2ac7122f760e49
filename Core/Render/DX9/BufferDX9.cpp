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

template <class DeviceBuffer>
BWResultEnum Created(HRESULT hr, DeviceBuffer*& buffer)
{
    if (hr == D3D_OK)
        return BW_OK;
    buffer = nullptr;
    return BW_FAIL;
}

} // namespace

// --- Both kinds ----------------------------------------------------------------

template <class Impl, class DeviceBuffer>
BufferDX9<Impl, DeviceBuffer>::~BufferDX9()
{
    ReleaseDeviceBuffer();
}

template <class Impl, class DeviceBuffer>
IDirect3DDevice9* BufferDX9<Impl, DeviceBuffer>::Device() const
{
    return this->mRender && mRenderDX9 ? mRenderDX9->GetDevice() : nullptr;
}

template <class Impl, class DeviceBuffer>
void BufferDX9<Impl, DeviceBuffer>::ReleaseDeviceBuffer()
{
    if (mDeviceBuffer && this->mLocked)
        mDeviceBuffer->Unlock();
    ReleaseCom(mDeviceBuffer);
}

template <class Impl, class DeviceBuffer>
BWResultEnum BufferDX9<Impl, DeviceBuffer>::Lock()
{
    if (!mDeviceBuffer || this->mLocked)
        return BW_FAIL;
    // The whole buffer, discarding what it held.
    void* data = nullptr;
    if (mDeviceBuffer->Lock(0, 0, &data, D3DLOCK_DISCARD) != D3D_OK || !data)
        return BW_FAIL;
    this->SetLocked(static_cast<uint8_t*>(data));
    return BW_OK;
}

template <class Impl, class DeviceBuffer>
BWResultEnum BufferDX9<Impl, DeviceBuffer>::Unlock()
{
    if (!mDeviceBuffer || !this->mLocked || mDeviceBuffer->Unlock() != D3D_OK)
        return BW_FAIL;
    this->SetUnlocked();
    return BW_OK;
}

template <class Impl, class DeviceBuffer>
BWResultEnum BufferDX9<Impl, DeviceBuffer>::Release()
{
    if (!mDynamic)
        return BW_OK;
    ReleaseDeviceBuffer();
    this->SetUnlocked();
    return BW_OK;
}

template <class Impl, class DeviceBuffer>
BWResultEnum BufferDX9<Impl, DeviceBuffer>::Restore()
{
    if (!mDynamic || mDeviceBuffer)
        return BW_OK;
    IDirect3DDevice9* device = Device();
    return device ? CreateDeviceBuffer(device) : BW_FAIL;
}

template <class Impl, class DeviceBuffer>
BWResultEnum BufferDX9<Impl, DeviceBuffer>::CheckLocked()
{
    return mDeviceBuffer && this->mLocked ? BW_OK : BW_FAIL;
}

template class BufferDX9<VertexBufferImpl, IDirect3DVertexBuffer9>;
template class BufferDX9<IndexBufferImpl, IDirect3DIndexBuffer9>;

// --- Vertex buffer -------------------------------------------------------------

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

// --- Index buffer --------------------------------------------------------------

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

} // namespace render
