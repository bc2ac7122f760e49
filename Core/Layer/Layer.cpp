#include "Core/Layer/Layer.h"

#include "Core/Render/Graphics.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace layer
{

namespace
{

// The child's root-space placement: its own, then its parent's.
render::Transform PlacedChild(const Layer& child, const render::Transform& parent)
{
    render::Transform placed = child.GetTransform();
    placed.Append(parent);
    return placed;
}

float DepthOf(const render::Transform& placed)
{
    const float origin[3] = {0.0f, 0.0f, 0.0f};
    float out[3];
    placed.TransformPoint(origin, out);
    return out[2];
}

} // namespace

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
    render::Transform placed;
    GetRootTransform(&placed);
    if (graphics && graphics->mTransform)
        placed.Append(*graphics->mTransform);
    return DrawPlaced(graphics, placed);
}

BWResultEnum Layer::DrawPlaced(render::Graphics* graphics, const render::Transform& placed)
{
    BWResultEnum result = BW_OK;
    if (graphics)
    {
        // The Graphics holds a mutable pointer; it gets a copy for this draw.
        render::Transform* previous = graphics->mTransform;
        render::Transform mine = placed;
        graphics->mTransform = &mine;
        result = DrawSelf(graphics);
        graphics->mTransform = previous;
    }
    else
    {
        result = DrawSelf(graphics);
    }
    if (result != BW_OK)
        return result;

    // Usually the children are already back to front (all at z 0): then
    // they are drawn as they stand, without sorting.
    bool ordered = true;
    float last = std::numeric_limits<float>::infinity();
    for (const Layer* child : mChildren)
    {
        if (!child->mVisible)
            continue;
        const float z = DepthOf(PlacedChild(*child, placed));
        ordered = ordered && !(z > last);
        last = z;
    }
    if (ordered)
    {
        for (Layer* child : mChildren)
        {
            if (child->mVisible && (result = child->DrawPlaced(graphics, PlacedChild(*child, placed))) != BW_OK)
                return result;
        }
        return BW_OK;
    }
    std::vector<std::pair<float, Layer*>> order;
    order.reserve(mChildren.size());
    for (Layer* child : mChildren)
    {
        if (child->mVisible)
            order.emplace_back(DepthOf(PlacedChild(*child, placed)), child);
    }
    std::stable_sort(order.begin(), order.end(),
                     [](const std::pair<float, Layer*>& a, const std::pair<float, Layer*>& b) {
                         return a.first > b.first;
                     });
    for (const auto& entry : order)
    {
        if ((result = entry.second->DrawPlaced(graphics, PlacedChild(*entry.second, placed))) != BW_OK)
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
    if (!child || child->mParent || child == this)
        return;
    child->mParent = this;
    mChildren.push_back(child);
}

void Layer::GetRootTransform(render::Transform* out) const
{
    *out = mTransform;
    for (const Layer* parent = mParent; parent; parent = parent->mParent)
        out->Append(parent->mTransform);
}

namespace
{

float OriginAxis(const render::Transform& transform, int axis)
{
    const float origin[3] = {0.0f, 0.0f, 0.0f};
    float out[3];
    transform.TransformPoint(origin, out);
    return out[axis];
}

} // namespace

float Layer::GetX() const
{
    return OriginAxis(mTransform, 0);
}

float Layer::GetY() const
{
    return OriginAxis(mTransform, 1);
}

void Layer::SetX(float x)
{
    MoveOrigin(0, x);
}

void Layer::SetY(float y)
{
    MoveOrigin(1, y);
}

void Layer::MoveOrigin(int axis, float value)
{
    if (!mTransform.IsMatrixMode() && !mTransform.IsRotated() && !mTransform.IsScaled())
    {
        // Set, not moved by a difference, so that the place is exact.
        mTransform.mPosition[axis] = value - mTransform.mOffset[axis];
        mTransform.mDirty = 1;
        return;
    }
    float d[3] = {0.0f, 0.0f, 0.0f};
    d[axis] = value - OriginAxis(mTransform, axis);
    mTransform.Translate(d[0], d[1], d[2]);
}

float Layer::GetAbsoluteX() const
{
    render::Transform placed;
    GetRootTransform(&placed);
    return OriginAxis(placed, 0);
}

float Layer::GetAbsoluteY() const
{
    render::Transform placed;
    GetRootTransform(&placed);
    return OriginAxis(placed, 1);
}

float Layer::GetAbsoluteOpacity() const
{
    return mParent ? mParent->GetAbsoluteOpacity() * mOpacity : mOpacity;
}

} // namespace layer
