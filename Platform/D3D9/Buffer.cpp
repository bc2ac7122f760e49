#include "Platform/D3D9/Buffer.h"

#include "Platform/D3D9/Device.h"

#include <algorithm>
#include <new>

namespace d3d9
{

using test::Arg;
using test::Call;

namespace
{

// A buffer's Lock and Unlock as traced calls; a forced failure hands out no
// pointer.
HRESULT TracedLock(Call call, const void* buffer, BufferStorage& storage, UINT offset, UINT size, void** data,
                   DWORD flags)
{
    hooks::CallTrace trace(call, buffer, {Arg::U(offset), Arg::U(size), Arg::P(data), Arg::U(flags)});
    if (trace.Fails())
    {
        if (data)
            *data = nullptr;
        return trace.Forced();
    }
    return trace.Finish(storage.Lock(offset, size, data, flags));
}

HRESULT TracedUnlock(Call call, const void* buffer, BufferStorage& storage)
{
    hooks::CallTrace trace(call, buffer, {});
    if (trace.Fails())
        return trace.Forced();
    return trace.Finish(storage.Unlock());
}

} // namespace

HRESULT BufferStorage::Init(UINT length, DWORD usage, D3DPOOL pool)
{
    try
    {
        mContents.assign(length, 0);
    }
    catch (const std::bad_alloc&)
    {
        return E_OUTOFMEMORY;
    }
    mLength = length;
    mUsage = usage;
    mPool = pool;
    return D3D_OK;
}

HRESULT BufferStorage::Lock(UINT offset, UINT size, void** data, DWORD flags)
{
    if (!data)
        return D3DERR_INVALIDCALL;
    *data = nullptr;
    if (offset > mLength)
        return D3DERR_INVALIDCALL;
    if (size == 0)
        size = mLength - offset;
    if (size > mLength - offset)
        return D3DERR_INVALIDCALL;

    if (mLockCount == 0)
    {
        mLockBegin = offset;
        mLockEnd = offset + size;
    }
    else
    {
        mLockBegin = std::min(mLockBegin, offset);
        mLockEnd = std::max(mLockEnd, offset + size);
    }
    if (flags & D3DLOCK_READONLY)
        mLockEnd = mLockBegin; // nothing to send afterwards
    if ((flags & D3DLOCK_DISCARD) && mLockCount == 0)
        mOrphan = true;
    ++mLockCount;
    *data = mContents.data() + offset;
    return D3D_OK;
}

HRESULT BufferStorage::Unlock()
{
    if (mLockCount == 0)
        return D3DERR_INVALIDCALL;
    if (--mLockCount > 0)
        return D3D_OK;
    if (mLockBegin < mLockEnd)
    {
        if (mChangedBegin == mChangedEnd)
        {
            mChangedBegin = mLockBegin;
            mChangedEnd = mLockEnd;
        }
        else
        {
            mChangedBegin = std::min(mChangedBegin, mLockBegin);
            mChangedEnd = std::max(mChangedEnd, mLockEnd);
        }
    }
    return D3D_OK;
}

bool BufferStorage::TakeChanged(UINT begin, UINT end, UINT* sendBegin, UINT* sendEnd, bool* orphan)
{
    begin = std::max(begin, mChangedBegin);
    end = std::min(end, mChangedEnd);
    if (begin >= end)
        return false;
    *sendBegin = begin;
    *sendEnd = end;
    *orphan = mOrphan;
    mOrphan = false;
    // Draws walk a dynamic buffer front to back, so trimming the changed
    // range from either end keeps it exact in the common case; a run from
    // its middle stays marked and may be sent again, which is harmless.
    if (begin <= mChangedBegin)
        mChangedBegin = end;
    else if (end >= mChangedEnd)
        mChangedEnd = begin;
    if (mChangedBegin >= mChangedEnd)
        mChangedBegin = mChangedEnd = 0;
    return true;
}

VertexBuffer::VertexBuffer(Device* device, DWORD fvf) : DeviceChild(device, 1), mFvf(fvf) {}

VertexBuffer::~VertexBuffer()
{
    mDevice->Forget(this);
}

HRESULT VertexBuffer::Lock(UINT offset, UINT size, void** data, DWORD flags)
{
    return TracedLock(Call::VertexBufferLock, this, mStorage, offset, size, data, flags);
}

HRESULT VertexBuffer::Unlock()
{
    return TracedUnlock(Call::VertexBufferUnlock, this, mStorage);
}

IndexBuffer::IndexBuffer(Device* device, D3DFORMAT format) : DeviceChild(device, 1), mFormat(format) {}

IndexBuffer::~IndexBuffer()
{
    mDevice->Forget(this);
}

HRESULT IndexBuffer::Lock(UINT offset, UINT size, void** data, DWORD flags)
{
    return TracedLock(Call::IndexBufferLock, this, mStorage, offset, size, data, flags);
}

HRESULT IndexBuffer::Unlock()
{
    return TracedUnlock(Call::IndexBufferUnlock, this, mStorage);
}

} // namespace d3d9
