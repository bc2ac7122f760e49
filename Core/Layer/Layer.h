#pragma once

// A node of the scene tree: something drawn in its own space, placed in its
// parent's by one render::Transform, with child layers (owned). Children are
// drawn back to front: a larger z of the child's placed origin is farther
// away and drawn first; equal z keeps the order they were added in.

#include "Core/Base/BWResult.h"
#include "Core/Render/Transform.h"

#include <cstdint>
#include <string>
#include <vector>

namespace render
{
class Graphics;
}

namespace layer
{

class Layer
{
public:
    Layer();
    // Deletes the child layers.
    virtual ~Layer();
    Layer(const Layer&) = delete;
    Layer& operator=(const Layer&) = delete;

    // Draws this layer, then its children, while visible; the first error
    // ends the drawing. While a layer draws itself the Graphics carries its
    // placement in the root's space (after whatever transform the Graphics
    // had), so DrawSelf writes vertices in the layer's own space.
    BWResultEnum Draw(render::Graphics* graphics);
    // What this layer itself shows; nothing by default.
    virtual BWResultEnum DrawSelf(render::Graphics* graphics);

    // The layer owns the child from here on.
    void AddChild(Layer* child);
    const std::vector<Layer*>& GetChildren() const { return mChildren; }
    Layer* GetParent() const { return mParent; }

    // The placement in the parent's space: scale, rotation and translation
    // applied in the order they were made.
    render::Transform& GetTransform() { return mTransform; }
    const render::Transform& GetTransform() const { return mTransform; }
    // This layer's placement followed by its parents': its space to the
    // root's.
    void GetRootTransform(render::Transform* out) const;

    // Where the layer's origin lands in the parent's space. Setting it moves
    // the layer without changing its scale or rotation.
    float GetX() const;
    float GetY() const;
    void SetX(float x);
    void SetY(float y);
    // Where the layer's origin lands in the root's space.
    float GetAbsoluteX() const;
    float GetAbsoluteY() const;

    // 0 to 1; multiplies the colour of what the layer and its children draw.
    float GetOpacity() const { return mOpacity; }
    void SetOpacity(float opacity) { mOpacity = opacity; }
    float GetAbsoluteOpacity() const;

    bool IsVisible() const { return mVisible != 0; }
    void SetVisible(bool visible) { mVisible = visible ? 1 : 0; }

    const std::wstring& GetName() const { return mName; }
    void SetName(const std::wstring& name) { mName = name; }

protected:
    std::wstring mName;
    render::Transform mTransform;
    float mOpacity = 1.0f;
    uint8_t mVisible = 1;
    Layer* mParent = nullptr;
    std::vector<Layer*> mChildren;

private:
    // Draws with placed as this layer's root-space transform.
    BWResultEnum DrawPlaced(render::Graphics* graphics, const render::Transform& placed);
    void MoveOrigin(int axis, float value);
};

} // namespace layer
