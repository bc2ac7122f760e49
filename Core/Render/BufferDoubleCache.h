#pragma once

// Per-frame transient space for vertices and indices. A cache owns one large
// primary buffer and creates overflow buffers on demand, keeping them for
// later frames. Each buffer is locked at most once per frame (discarding) and
// filled from the front; EndFrame unlocks them all before the replay draws.

#include "Core/Base/BWResult.h"
#include "Core/Render/Buffer.h"

#include <cstdint>
#include <vector>

namespace render
{

class Render;

class BufferDoubleCacheBase
{
public:
    virtual ~BufferDoubleCacheBase() = default;
    virtual BWResultEnum BeginFrame() = 0;
    virtual BWResultEnum EndFrame() = 0;

    bool IsInFrame() const { return mInFrame != 0; }

protected:
    uint8_t mInFrame = 0;
};

template <class B>
class BufferDoubleCache : public BufferDoubleCacheBase
{
public:
    typedef typename B::Element Element;
    typedef typename B::Impl Impl;
    typedef BufferAllocation<Impl> Allocation;

    explicit BufferDoubleCache(Render* render) : mRender(render) {}

    ~BufferDoubleCache() override
    {
        delete mPrimary;
        for (B* buffer : mOverflow)
            delete buffer;
    }

    BufferDoubleCache(const BufferDoubleCache&) = delete;
    BufferDoubleCache& operator=(const BufferDoubleCache&) = delete;

    // 0 for either capacity takes the default of the buffer type.
    BWResultEnum Init(uint32_t capacity, uint32_t overflowCapacity)
    {
        if (mPrimary)
            return BW_FAIL;
        if (capacity == 0)
            capacity = B::DefaultCapacity();
        if (overflowCapacity == 0)
            overflowCapacity = B::DefaultOverflowCapacity();
        B* primary = new B(mRender);
        BWResultEnum result = primary->Create(capacity, true);
        if (result != BW_OK)
        {
            delete primary;
            return result;
        }
        mPrimary = primary;
        mOverflowCapacity = overflowCapacity;
        return BW_OK;
    }

    BWResultEnum BeginFrame() override
    {
        if (mInFrame)
            return BW_FAIL;
        mInFrame = 1;
        ForgetFullBuffers();
        return BW_OK;
    }

    // Unlocks every locked buffer even outside a frame, which it reports.
    BWResultEnum EndFrame() override
    {
        BWResultEnum result = BW_OK;
        if (mPrimary && mPrimary->GetImpl()->IsLocked() && mPrimary->GetImpl()->Unlock() != BW_OK)
            result = BW_FAIL;
        for (B* buffer : mOverflow)
            if (buffer->GetImpl()->IsLocked() && buffer->GetImpl()->Unlock() != BW_OK)
                result = BW_FAIL;
        ForgetFullBuffers();
        if (!mInFrame)
            return BW_FAIL;
        mInFrame = 0;
        return result;
    }

    // Reserves count elements: out receives the write address (null when
    // nothing could be reserved), placement where they lie. 1 when fewer than
    // count elements were granted.
    BWResultEnum Allocate(uint32_t count, Element** out, Allocation* placement)
    {
        *out = nullptr;
        if (!mInFrame || !mPrimary)
            return BW_FAIL;
        // The first buffer with room, primary first. Buffers that filled
        // earlier in the frame are passed over without a look while they
        // cannot have room for count.
        const bool skipFull = count > mFullRoom;
        size_t i = skipFull ? mFull : 0;
        B* chosen = nullptr;
        for (; i <= mOverflow.size(); ++i)
        {
            B* buffer = i == 0 ? mPrimary : mOverflow[i - 1];
            const uint32_t room = buffer->GetImpl()->GetRoom();
            if (room >= count)
            {
                chosen = buffer;
                break;
            }
            if (skipFull && i == mFull && buffer->GetImpl()->IsLocked())
            {
                // Room only shrinks while a buffer stays locked.
                ++mFull;
                if (room > mFullRoom)
                    mFullRoom = room;
            }
        }
        if (!chosen)
        {
            if (count > mOverflowCapacity)
                return BW_FAIL;
            B* buffer = new B(mRender);
            BWResultEnum result = buffer->Create(mOverflowCapacity, true);
            if (result != BW_OK)
            {
                delete buffer;
                return result;
            }
            mOverflow.push_back(buffer);
            chosen = buffer;
        }
        Impl* impl = chosen->GetImpl();
        if (!impl->IsLocked())
        {
            BWResultEnum result = impl->Lock();
            if (result != BW_OK)
                return result;
        }
        placement->mFirst = impl->GetUsed();
        placement->mBuffer = impl;
        uint32_t granted = 0;
        *out = reinterpret_cast<Element*>(impl->Reserve(count, &granted));
        placement->mCount = granted;
        return granted == count ? BW_OK : BW_FAIL;
    }

    B* GetPrimary() const { return mPrimary; }
    uint32_t GetOverflowCapacity() const { return mOverflowCapacity; }
    size_t GetOverflowCount() const { return mOverflow.size(); }
    B* GetOverflow(size_t i) const { return mOverflow[i]; }

private:
    void ForgetFullBuffers()
    {
        mFull = 0;
        mFullRoom = 0;
    }

    Render* mRender;
    B* mPrimary = nullptr;
    // The first mFull buffers (primary, then overflows) have at most
    // mFullRoom elements of room until the frame ends.
    size_t mFull = 0;
    uint32_t mFullRoom = 0;
    uint32_t mOverflowCapacity = 0;
    std::vector<B*> mOverflow;
};

class BufferDoubleCacheCreator
{
public:
    virtual ~BufferDoubleCacheCreator() = default;
    // A new cache bound to the renderer and initialised with the capacities;
    // on failure nothing is handed out.
    virtual BWResultEnum Create(Render* render, uint32_t capacity, uint32_t overflowCapacity,
                                BufferDoubleCacheBase** out) = 0;
};

template <class V>
class BufferDoubleCacheCreatorConcrete : public BufferDoubleCacheCreator
{
public:
    BWResultEnum Create(Render* render, uint32_t capacity, uint32_t overflowCapacity,
                        BufferDoubleCacheBase** out) override
    {
        auto* cache = new BufferDoubleCache<VertexBuffer<V>>(render);
        BWResultEnum result = cache->Init(capacity, overflowCapacity);
        if (result != BW_OK)
        {
            delete cache;
            return result;
        }
        *out = cache;
        return BW_OK;
    }
};

typedef BufferDoubleCache<VertexBuffer<SVertex2D>> VertexCache2D;
typedef BufferDoubleCache<VertexBuffer<SVertexGeom>> VertexCacheGeom;
typedef BufferDoubleCache<IndexBuffer<unsigned short>> IndexCache16;
typedef BufferDoubleCache<IndexBuffer<unsigned int>> IndexCache32;

} // namespace render
