#pragma once

// The stack of screens. Screens lie at the bottom, windows above them and
// modal frames on top; input goes to the widget holding the mouse capture,
// else to the frames from the top down until one takes it or a modal frame
// has been tried. Frames are shown and removed at once or at the next update
// (deferred), so that a frame can close itself from its own input handler.
// Frames on the stack, or waiting to be shown, belong to the manager; removed
// frames are deleted through its deferred deletion when asked to be.

#include "Core/Base/BWResult.h"
#include "Core/Base/DeferredDeleteManager.h"
#include "Core/Base/Task.h"
#include "Core/Input/InputTypes.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace render
{
class Graphics;
}

namespace widget
{

class Frame;
class Widget;

class FrameManager : public base::Task, public base::DeferredDeleteManager
{
public:
    enum DisplayMode : uint8_t
    {
        ModeScreen = 0,
        ModeWindow = 1,
        ModeModal = 2,
    };

    struct Entry
    {
        Frame* frame;
        DisplayMode mode;
    };

    FrameManager();
    // Deletes what waits for deletion, the frames on the stack or waiting to
    // be shown, the cursor widget and the child tasks.
    ~FrameManager() override;

    // Updates the frames on the stack, applies the queued show and remove
    // commands in the order they were given, then deletes what was queued for
    // deletion. The first error ends the update.
    BWResultEnum OnUpdate(float dt) override;
    // The frames bottom to top, then the cursor widget at the cursor.
    BWResultEnum Draw(render::Graphics* graphics);

    // window: above the screens (a modal frame goes above the windows);
    // activate: the frame becomes the active one (it gets the keys).
    BWResultEnum ShowFrame(Frame* frame, bool window, bool activate, bool deferred);
    // destroy: the frame is deleted through the deferred deletion once it is
    // off the stack.
    BWResultEnum RemoveFrame(Frame* frame, bool destroy, bool deferred);

    BWResultEnum OnMouseDown(const input::Point& position, uint32_t button);
    BWResultEnum OnMouseUp(const input::Point& position, uint32_t button);
    BWResultEnum OnMouseDoubleClick(const input::Point& position, uint32_t button);
    BWResultEnum OnMouseMove(const input::Point& position);
    BWResultEnum OnMouseDrag(const input::Point& position);
    BWResultEnum OnMouseWheel(const input::Point& position, int delta);
    BWResultEnum OnKeyDown(int key);
    BWResultEnum OnKeyUp(int key);
    BWResultEnum OnChar(wchar_t character);
    // Touch and pen: the first contact acts as the left button.
    BWResultEnum OnPointerDown(const input::PointerEvent* events, int count);
    BWResultEnum OnPointerMove(const input::PointerEvent* events, int count);
    BWResultEnum OnPointerUp(const input::PointerEvent* events, int count);

    // The widget gets every mouse event until released (null releases).
    void SetCapture(Widget* widget) { mCapture = widget; }
    Widget* GetCapture() const { return mCapture; }
    // Drawn last, at the cursor; owned (the old one is deleted).
    void SetCursorWidget(Widget* widget);
    Widget* GetCursorWidget() const { return mCursorWidget; }
    const input::Point& GetCursorPosition() const { return mCursorPosition; }

    Frame* GetActiveFrame() const { return mActive; }
    Frame* GetHoveredFrame() const { return mHovered; }
    const std::vector<Entry>& GetStack() const { return mStack; }
    bool IsOnStack(const Frame* frame) const;
    size_t GetQueuedCommandCount() const { return mCommands.size(); }

    // Called by a frame or widget that is being deleted: it leaves the stack,
    // the queued commands and every reference the manager holds.
    void ForgetFrame(Frame* frame);
    // Told of every frame of this manager as it is deleted, also of frames
    // removed with destroy, so that holders of a frame can forget it.
    void SetFrameDeletedHandler(std::function<void(Frame*)> handler) { mFrameDeleted = std::move(handler); }
    void ForgetWidget(Widget* widget);

private:
    std::function<void(Frame*)> mFrameDeleted;

    struct Command
    {
        bool show;
        Frame* frame;
        bool window;   // show
        bool activate; // show
        bool destroy;  // remove
    };

    BWResultEnum DoShowFrame(Frame* frame, bool window, bool activate);
    BWResultEnum DoRemoveFrame(Frame* frame, bool destroy);
    void TakeOffStack(Frame* frame);
    // Offers an event to the frames from the top down; the one that took it,
    // or null.
    template <class Offer>
    BWResultEnum RouteDown(Offer offer, Frame** taker);
    BWResultEnum SetHovered(Frame* frame);
    // Pointer motion goes to the capture, or down the frames; the frame that
    // takes it becomes the hovered one.
    typedef BWResultEnum (Widget::*MotionHandler)(const input::Point& position, bool* handled);
    BWResultEnum RouteMotion(const input::Point& position, MotionHandler handler);

    std::vector<Entry> mStack;
    std::vector<Command> mCommands;
    Frame* mActive = nullptr;
    Frame* mHovered = nullptr;
    Widget* mCapture = nullptr;
    Widget* mCursorWidget = nullptr;
    input::Point mCursorPosition;
};

} // namespace widget
