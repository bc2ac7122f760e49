#include "Core/Render/GraphicsFriend.h"

#include "Core/Render/DrawParam.h"
#include "Core/Render/Graphics.h"
#include "Core/Render/Render.h"
#include "Core/Render/Shader.h"

namespace render
{

GraphicsFriend::GraphicsFriend() : mGraphics(nullptr), mRender(nullptr), mState(nullptr)
{
}

GraphicsFriend::GraphicsFriend(Graphics* graphics) : GraphicsFriend()
{
    Bind(graphics);
}

void GraphicsFriend::Bind(Graphics* graphics)
{
    mGraphics = graphics;
    mRender = graphics ? graphics->mRender : nullptr;
    mState = graphics ? &graphics->mState : nullptr;
}

template <class T>
BWResultEnum GraphicsFriend::Store(T* RenderState::*field, T* value)
{
    if (!mState)
        return BW_FAIL;
    mState->*field = value;
    mGraphics->mStateChanged = 1;
    return BW_OK;
}

BWResultEnum GraphicsFriend::SetShader(ShaderImpl* shader)
{
    return Store(&RenderState::mShader, shader);
}

BWResultEnum GraphicsFriend::SetVertexBuffer(VertexBufferImpl* buffer)
{
    return Store(&RenderState::mVertexBuffer, buffer);
}

BWResultEnum GraphicsFriend::SetIndexBuffer(IndexBufferImpl* buffer)
{
    return Store(&RenderState::mIndexBuffer, buffer);
}

BWResultEnum GraphicsFriend::ApplyState()
{
    if (!mRender || !mState)
        return BW_FAIL;
    const bool force = mGraphics->mStateChanged != 0;
    mGraphics->mStateChanged = 0;
    return mRender->SetRenderState(mState, force);
}

BWResultEnum GraphicsFriend::ApplyProjection(Shader* shader)
{
    if (!shader || !mGraphics)
        return BW_FAIL;
    return shader->SetProjection(mGraphics->GetProjection());
}

BWResultEnum GraphicsFriend::PrepareTexturedDraw(DrawParam* owner, void* vertices, const VertexFormat& format,
                                                 uint32_t count, VertexBufferImpl* vertexBuffer,
                                                 IndexBufferImpl* indexBuffer, const Texture* texture)
{
    BWResultEnum result = BW_OK;
    if (owner && (result = owner->TransformVertices(vertices, format, count)) != BW_OK)
        return result;
    if ((result = mGraphics->ApplyTransform(vertices, format, count)) != BW_OK)
        return result;
    if ((result = mGraphics->ApplyHalfPixel(vertices, format, count)) != BW_OK)
        return result;

    Shader* shader = mGraphics->mCurrentShader;
    if (!shader)
        return BW_FAIL;
    Store(&RenderState::mVertexBuffer, vertexBuffer);
    Store(&RenderState::mIndexBuffer, indexBuffer);
    Store(&RenderState::mShader, shader->GetImpl());
    if ((result = ApplyState()) != BW_OK)
        return result;
    if (ShaderTextured* textured = mGraphics->GetTexturedShader())
    {
        if ((result = textured->SetTexture(texture)) != BW_OK)
            return result;
    }
    return ApplyProjection(shader);
}

} // namespace render
