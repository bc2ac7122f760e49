#pragma once

// Vertex and index buffers. The contents live in memory the caller locks;
// the back end gets only the bytes a draw needs that changed since they were
// last sent, so a large dynamic buffer filled in part costs only that part.

#include "Platform/D3D9/DeviceChild.h"
#include "Platform/D3D9/ExecutionBackend.h"

#include <memory>
#include <vector>

namespace d3d9
{

class BufferStorage
{
public:
    HRESULT Init(UINT length, DWORD usage, D3DPOOL pool);

    HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags);
    HRESULT Unlock();

    // The changed part of [begin, end), cleared from the books; false when
    // nothing in it changed. orphan: the first send after a discarding lock.
    bool TakeChanged(UINT begin, UINT end, UINT* sendBegin, UINT* sendEnd, bool* orphan);

    UINT Length() const { return mLength; }
    DWORD Usage() const { return mUsage; }
    D3DPOOL Pool() const { return mPool; }
    bool Locked() const { return mLockCount > 0; }
    const uint8_t* Contents() const { return mContents.data(); }
    BackendBuffer* Backend() const { return mBackend.get(); }
    void SetBackend(std::unique_ptr<BackendBuffer> backend) { mBackend = std::move(backend); }

private:
    std::vector<uint8_t> mContents;
    UINT mLength = 0;
    DWORD mUsage = 0;
    D3DPOOL mPool = D3DPOOL_DEFAULT;
    UINT mLockCount = 0;
    UINT mLockBegin = 0;
    UINT mLockEnd = 0;
    UINT mChangedBegin = 0;
    UINT mChangedEnd = 0;
    bool mOrphan = false;
    std::unique_ptr<BackendBuffer> mBackend;
};

class VertexBuffer final : public DeviceChild<IDirect3DVertexBuffer9>
{
public:
    VertexBuffer(Device* device, DWORD fvf);
    ~VertexBuffer() override;

    D3DRESOURCETYPE GetType() override { return D3DRTYPE_VERTEXBUFFER; }
    HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) override;
    HRESULT Unlock() override;

    BufferStorage& Storage() { return mStorage; }
    DWORD Fvf() const { return mFvf; }

private:
    BufferStorage mStorage;
    DWORD mFvf;
    hooks::LiveToken mLive;
};

class IndexBuffer final : public DeviceChild<IDirect3DIndexBuffer9>
{
public:
    IndexBuffer(Device* device, D3DFORMAT format);
    ~IndexBuffer() override;

    D3DRESOURCETYPE GetType() override { return D3DRTYPE_INDEXBUFFER; }
    HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) override;
    HRESULT Unlock() override;

    BufferStorage& Storage() { return mStorage; }
    UINT IndexSize() const { return mFormat == D3DFMT_INDEX32 ? 4 : 2; }

private:
    BufferStorage mStorage;
    D3DFORMAT mFormat;
    hooks::LiveToken mLive;
};

} // namespace d3d9
