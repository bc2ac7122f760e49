#include "Core/Layer/Layer.h"

namespace layer
{

Layer::Layer() = default;

Layer::~Layer()
{
    for (Layer* child : mChildren)
        delete child;
}

BWResultEnum Layer::Draw(render::Graphics* graphics)
{
    if (!mVisible)
        return BW_OK;
    if (BWResultEnum result = DrawSelf(graphics))
        return result;
    for (Layer* child : mChildren)
    {
        if (BWResultEnum result = child->Draw(graphics))
            return result;
    }
    return BW_OK;
}

BWResultEnum Layer::DrawSelf(render::Graphics*)
{
    return BW_OK;
}

void Layer::AddChild(Layer* child)
{
    if (!child || child->mParent)
        return;
    child->mParent = this;
    mChildren.push_back(child);
}

float Layer::GetAbsoluteX() const
{
    return mParent ? mParent->GetAbsoluteX() + mX : mX;
}

float Layer::GetAbsoluteY() const
{
    return mParent ? mParent->GetAbsoluteY() + mY : mY;
}

float Layer::GetAbsoluteOpacity() const
{
    return mParent ? mParent->GetAbsoluteOpacity() * mOpacity : mOpacity;
}

} // namespace layer
