#pragma once

// A node of the scene tree: something drawn at a position relative to its
// parent, with child layers (owned) drawn after it in the order they were
// added.

#include "Core/Base/BWResult.h"

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
    // ends the drawing.
    BWResultEnum Draw(render::Graphics* graphics);
    // What this layer itself shows; nothing by default.
    virtual BWResultEnum DrawSelf(render::Graphics* graphics);

    // The layer owns the child from here on.
    void AddChild(Layer* child);
    const std::vector<Layer*>& GetChildren() const { return mChildren; }
    Layer* GetParent() const { return mParent; }

    float GetX() const { return mX; }
    float GetY() const { return mY; }
    void SetX(float x) { mX = x; }
    void SetY(float y) { mY = y; }
    // The position in the coordinates of the tree's root.
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
    float mX = 0.0f;
    float mY = 0.0f;
    float mOpacity = 1.0f;
    uint8_t mVisible = 1;
    Layer* mParent = nullptr;
    std::vector<Layer*> mChildren;
};

} // namespace layer
