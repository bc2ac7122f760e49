#include "Core/Render/DrawCustomParam.h"

#include "Core/Render/Graphics.h"
#include "Core/Render/Render.h"
#include "Core/Render/Shader.h"

namespace render
{

DrawCustomParam::DrawCustomParam()
    : mType(TriangleList), mVertices(nullptr), mFormat(nullptr), mFirstVertex(0), mVertexCount(0),
      mVertexBuffer(nullptr), mFirstIndex(0), mIndexCount(0), mIndexBuffer(nullptr), mShader(nullptr),
      mPrimitiveCount(0)
{
}

uint32_t DrawCustomParam::PrimitiveCountFor(uint32_t type, uint32_t n)
{
    switch (type)
    {
    case LineList:
        return n / 2;
    case LineStrip:
        return n >= 2 ? n - 1 : 0;
    case TriangleList:
        return n / 3;
    case TriangleStrip:
    case TriangleFan:
        return n >= 3 ? n - 2 : 0;
    default:
        return n;
    }
}

BWResultEnum DrawCustomParam::Draw(DrawParam* owner)
{
    if (!mGraphics || !mRender || !mShader || !mVertices || !mFormat)
        return BW_FAIL;

    // 1. The owner's move, the Graphics' transform, the half-pixel shift.
    BWResultEnum result;
    if (owner && (result = owner->TransformVertices(mVertices, *mFormat, mVertexCount)) != BW_OK)
        return result;
    if ((result = mGraphics->ApplyTransform(mVertices, *mFormat, mVertexCount)) != BW_OK)
        return result;
    if ((result = mGraphics->ApplyHalfPixel(mVertices, *mFormat, mVertexCount)) != BW_OK)
        return result;

    // 2. Shader and projection.
    SetShader(mShader->GetImpl());
    if ((result = ApplyProjection(mShader)) != BW_OK)
        return result;

    // 3. The count, unless given.
    if (mPrimitiveCount == 0)
        mPrimitiveCount = PrimitiveCountFor(mType, mIndexBuffer ? mIndexCount : mVertexCount);
    if (mPrimitiveCount == 0)
        return BW_OK;

    // 4. The draw.
    SetVertexBuffer(mVertexBuffer);
    if (mIndexBuffer)
    {
        SetIndexBuffer(mIndexBuffer);
        if ((result = ApplyState()) != BW_OK)
            return result;
        return mRender->DrawIndexedPrimitive(mType, mFirstIndex, mPrimitiveCount, mFirstVertex, mVertexCount);
    }
    if ((result = ApplyState()) != BW_OK)
        return result;
    return mRender->DrawPrimitive(mType, mFirstVertex, mPrimitiveCount);
}

} // namespace render
