#pragma once

// Device buffers: the abstract buffer with its lock bookkeeping, the vertex
// and index implementations a back end provides, and the typed owners that the
// caches hold.

#include "Core/Base/BWResult.h"
#include "Core/Render/Vertex.h"
#include "Core/Render/VertexFormat.h"

#include <cstddef>
#include <cstdint>

namespace render
{

class Render;

class Buffer
{
public:
    // Registers with the renderer, which walks its buffers on device loss.
    explicit Buffer(Render* render);
    virtual ~Buffer();

    Buffer(const Buffer&) = delete;
    Buffer& operator=(const Buffer&) = delete;

    virtual BWResultEnum Lock() = 0;
    virtual BWResultEnum Unlock() = 0;
    virtual BWResultEnum Restore() = 0;
    virtual BWResultEnum Release() = 0;
    virtual BWResultEnum CheckLocked() = 0;

    Render* GetRender() const { return mRender; }
    uint32_t GetElementSize() const { return mElementSize; }
    uint32_t GetCapacity() const { return mCapacity; }
    bool IsLocked() const { return mLocked != 0; }
    uint8_t* GetLockPointer() const { return mLockPointer; }
    uint32_t GetUsed() const { return mUsed; }
    uint32_t GetRoom() const { return mCapacity - mUsed; }

    // Hands out the next count elements of the locked buffer, or as many as
    // fit; granted receives how many. Null when the buffer is unlocked or full.
    uint8_t* Reserve(uint32_t count, uint32_t* granted)
    {
        *granted = 0;
        if (!mLocked || !mLockPointer || mUsed >= mCapacity)
            return nullptr;
        const uint32_t room = mCapacity - mUsed;
        const uint32_t take = count < room ? count : room;
        uint8_t* at = mLockPointer + static_cast<size_t>(mUsed) * mElementSize;
        mUsed += take;
        *granted = take;
        return at;
    }

    // The renderer is being destroyed: forget it, so that later destruction
    // does not reach it.
    void Detach() { mRender = nullptr; }

protected:
    // Lock bookkeeping for the implementations: a new lock has nothing
    // reserved yet, an unlocked buffer hands out nothing.
    void SetLocked(uint8_t* pointer)
    {
        mLocked = 1;
        mLockPointer = pointer;
        mUsed = 0;
    }
    void SetUnlocked()
    {
        mLocked = 0;
        mLockPointer = nullptr;
        mUsed = 0;
    }

    Render* mRender;
    uint32_t mElementSize = 0;
    uint32_t mCapacity = 0;
    uint8_t mLocked = 0;
    uint8_t* mLockPointer = nullptr;
    uint32_t mUsed = 0;
};

class VertexBufferImpl : public Buffer
{
public:
    explicit VertexBufferImpl(Render* render) : Buffer(render) {}

    virtual BWResultEnum Create(const VertexFormat& format, uint32_t count, bool dynamic) = 0;

    // Id of the vertex layout the buffer was created for.
    uint32_t GetFormatId() const { return mFormatId; }

protected:
    uint32_t mFormatId = 0;
};

class IndexBufferImpl : public Buffer
{
public:
    explicit IndexBufferImpl(Render* render) : Buffer(render) {}

    // indexSize is 2 or 4 bytes.
    virtual BWResultEnum Create(uint32_t indexSize, uint32_t count, bool dynamic) = 0;
};

// Where a reserved run of a cache lies: first element, element count, buffer.
template <class Impl>
struct BufferAllocation
{
    uint32_t mFirst = 0;
    uint32_t mCount = 0;
    Impl* mBuffer = nullptr;
};
typedef BufferAllocation<VertexBufferImpl> VertexAllocation;
typedef BufferAllocation<IndexBufferImpl> IndexAllocation;

// Through the renderer's factories; kept out of line so that this header does
// not need the renderer's.
BWResultEnum CreateVertexBufferImpl(Render* render, const VertexFormat& format, uint32_t count, bool dynamic,
                                    VertexBufferImpl** out);
BWResultEnum CreateIndexBufferImpl(Render* render, uint32_t indexSize, uint32_t count, bool dynamic,
                                   IndexBufferImpl** out);

// Typed owner of one vertex buffer implementation.
template <class V>
class VertexBuffer
{
public:
    typedef V Element;
    typedef VertexBufferImpl Impl;

    explicit VertexBuffer(Render* render) : mRender(render) {}
    virtual ~VertexBuffer() { delete mImpl; }

    VertexBuffer(const VertexBuffer&) = delete;
    VertexBuffer& operator=(const VertexBuffer&) = delete;

    BWResultEnum Create(uint32_t count, bool dynamic)
    {
        if (mImpl)
            return BW_FAIL;
        return CreateVertexBufferImpl(mRender, VertexFormatOf<V>(), count, dynamic, &mImpl);
    }

    Impl* GetImpl() const { return mImpl; }

    static uint32_t DefaultCapacity() { return VertexFormatOf<V>().mCacheCapacity; }
    static uint32_t DefaultOverflowCapacity() { return VertexFormatOf<V>().mOverflowCapacity; }

private:
    Render* mRender;
    Impl* mImpl = nullptr;
};

// Typed owner of one index buffer implementation (unsigned short or unsigned
// int indices).
template <class T>
class IndexBuffer
{
public:
    typedef T Element;
    typedef IndexBufferImpl Impl;

    explicit IndexBuffer(Render* render) : mRender(render) {}
    virtual ~IndexBuffer() { delete mImpl; }

    IndexBuffer(const IndexBuffer&) = delete;
    IndexBuffer& operator=(const IndexBuffer&) = delete;

    BWResultEnum Create(uint32_t count, bool dynamic)
    {
        if (mImpl)
            return BW_FAIL;
        return CreateIndexBufferImpl(mRender, sizeof(T), count, dynamic, &mImpl);
    }

    Impl* GetImpl() const { return mImpl; }

    // The renderer's own sizes, used when a cache is asked for the default.
    static uint32_t DefaultCapacity() { return sizeof(T) == 2 ? 10240u : 61440u; }
    static uint32_t DefaultOverflowCapacity() { return sizeof(T) == 2 ? 1024u : 10240u; }

private:
    Render* mRender;
    Impl* mImpl = nullptr;
};

} // namespace render
