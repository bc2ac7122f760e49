#include "Core/Render/Buffer.h"

#include "Core/Render/Render.h"

namespace render
{

Buffer::Buffer(Render* render) : mRender(render)
{
    if (mRender)
        mRender->AddBuffer(this);
}

Buffer::~Buffer()
{
    if (mRender)
        mRender->RemoveBuffer(this);
}

uint8_t* Buffer::Reserve(uint32_t count, uint32_t* granted)
{
    *granted = 0;
    if (!mLocked || !mLockPointer || mUsed >= mCapacity)
        return nullptr;
    uint32_t room = mCapacity - mUsed;
    uint32_t take = count < room ? count : room;
    uint8_t* at = mLockPointer + static_cast<size_t>(mUsed) * mElementSize;
    mUsed += take;
    *granted = take;
    return at;
}

BWResultEnum CreateVertexBufferImpl(Render* render, const VertexFormat& format, uint32_t count, bool dynamic,
                                    VertexBufferImpl** out)
{
    if (!render)
        return BW_FAIL;
    return render->CreateVertexBuffer(format, count, dynamic, out);
}

BWResultEnum CreateIndexBufferImpl(Render* render, uint32_t indexSize, uint32_t count, bool dynamic,
                                   IndexBufferImpl** out)
{
    if (!render)
        return BW_FAIL;
    return render->CreateIndexBuffer(indexSize, count, dynamic, out);
}

} // namespace render
