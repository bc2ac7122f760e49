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
