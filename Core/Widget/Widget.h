#pragma once

// The interactive node that screens, dialogs and their controls derive from.
// A widget draws through its layer tree and answers the input its screen
// offers it; it is deleted at a safe point of the frame through a
// base::DeferredDeleteManager rather than by the code that drops it.

#include "Core/Base/BWResult.h"
#include "Core/Base/DeferredDeletable.h"
#include "Core/Input/InputTypes.h"

#include <cstdint>

namespace render
{
class Graphics;
}
namespace layer
{
class Layer;
}

namespace widget
{

class Frame;

class Widget : public base::DeferredDeletable
{
public:
    Widget();
    // Tells the frame manager of its screen that it is gone (capture), then
    // deletes its layer when it owns it.
    ~Widget() override;
    Widget(const Widget&) = delete;
    Widget& operator=(const Widget&) = delete;

    virtual BWResultEnum Update(float dt);
    // Draws the layer tree while visible.
    virtual BWResultEnum Draw(render::Graphics* graphics);

    // Input offered by the screen or by the frame manager (capture). Positions
    // are in layout coordinates; handled is set when the widget took the event.
    virtual BWResultEnum OnMouseDown(const input::Point& position, uint32_t button, bool* handled);
    virtual BWResultEnum OnMouseUp(const input::Point& position, uint32_t button, bool* handled);
    virtual BWResultEnum OnMouseDoubleClick(const input::Point& position, uint32_t button, bool* handled);
    virtual BWResultEnum OnMouseMove(const input::Point& position, bool* handled);
    virtual BWResultEnum OnMouseDrag(const input::Point& position, bool* handled);
    virtual BWResultEnum OnMouseWheel(const input::Point& position, int delta, bool* handled);
    // The mouse went to another widget or left the screen.
    virtual BWResultEnum OnMouseLeave();
    virtual BWResultEnum OnKeyDown(int key);
    virtual BWResultEnum OnKeyUp(int key);
    virtual BWResultEnum OnChar(wchar_t character);

    // The layer tree drawn for this widget; with owned, deleted with it.
    void SetLayer(layer::Layer* layer, bool owned);
    layer::Layer* GetLayer() const { return mLayer; }

    void SetVisible(bool visible) { mVisible = visible ? 1 : 0; }
    bool IsVisible() const { return mVisible != 0; }

    // The screen the widget belongs to (null for a screen itself).
    Frame* GetFrame() const { return mFrame; }
    void SetFrame(Frame* frame) { mFrame = frame; }

protected:
    layer::Layer* mLayer = nullptr;
    uint8_t mOwnsLayer = 0;
    uint8_t mVisible = 1;
    Frame* mFrame = nullptr;
};

} // namespace widget
