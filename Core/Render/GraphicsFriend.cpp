#include "Core/Render/GraphicsFriend.h"

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

} // namespace render
