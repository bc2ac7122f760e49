#include "Core/Widget/FrameManager.h"

#include "Core/Layer/Layer.h"
#include "Core/Widget/Frame.h"

#include <algorithm>

namespace widget
{

FrameManager::FrameManager() : base::Task(false, false, false, false) {}

FrameManager::~FrameManager()
{
    // Everything still shown, or waiting to be, is queued with the rest and
    // deleted while the manager is whole: frames tell it when they go.
    for (const Command& command : mCommands)
    {
        if (command.show || command.destroy)
            Queue(command.frame);
    }
    mCommands.clear();
    for (const Entry& entry : mStack)
        Queue(entry.frame);
    DeleteDeferred();
    mStack.clear();
    delete mCursorWidget;
    mCursorWidget = nullptr;
    DeleteChildren();
}

bool FrameManager::IsOnStack(const Frame* frame) const
{
    return std::any_of(mStack.begin(), mStack.end(), [frame](const Entry& entry) { return entry.frame == frame; });
}

BWResultEnum FrameManager::OnUpdate(float dt)
{
    // A frame may take itself or others off the stack while updating.
    std::vector<Entry> frames = mStack;
    for (const Entry& entry : frames)
    {
        if (!IsOnStack(entry.frame))
            continue;
        if (BWResultEnum result = entry.frame->Update(dt))
            return result;
    }
    if (mCursorWidget)
    {
        if (BWResultEnum result = mCursorWidget->Update(dt))
            return result;
    }
    // Commands given while applying these wait for the next update.
    std::vector<Command> commands;
    commands.swap(mCommands);
    for (size_t i = 0; i < commands.size(); ++i)
    {
        const Command& command = commands[i];
        // Removed with destroy earlier in this batch: it is about to go.
        if (command.show && IsQueued(command.frame))
            continue;
        BWResultEnum result = command.show ? DoShowFrame(command.frame, command.window, command.activate)
                                           : DoRemoveFrame(command.frame, command.destroy);
        if (result)
        {
            // The rest keep their order, ahead of anything queued meanwhile.
            mCommands.insert(mCommands.begin(), commands.begin() + i + 1, commands.end());
            return result;
        }
    }
    DeleteDeferred();
    return BW_OK;
}

BWResultEnum FrameManager::Draw(render::Graphics* graphics)
{
    for (const Entry& entry : mStack)
    {
        if (BWResultEnum result = entry.frame->Draw(graphics))
            return result;
    }
    if (mCursorWidget)
    {
        if (layer::Layer* cursor = mCursorWidget->GetLayer())
        {
            cursor->SetX(mCursorPosition.x);
            cursor->SetY(mCursorPosition.y);
        }
        return mCursorWidget->Draw(graphics);
    }
    return BW_OK;
}

BWResultEnum FrameManager::ShowFrame(Frame* frame, bool window, bool activate, bool deferred)
{
    if (!frame || (frame->GetManager() && frame->GetManager() != this))
        return BW_FAIL;
    if (deferred)
    {
        // Known to the frame from now on, so that it tells the manager if it
        // is deleted before the command runs.
        frame->SetManager(this);
        mCommands.push_back(Command{true, frame, window, activate, false});
        return BW_OK;
    }
    return DoShowFrame(frame, window, activate);
}

BWResultEnum FrameManager::RemoveFrame(Frame* frame, bool destroy, bool deferred)
{
    if (!frame)
        return BW_FAIL;
    if (deferred)
    {
        mCommands.push_back(Command{false, frame, false, false, destroy});
        return BW_OK;
    }
    return DoRemoveFrame(frame, destroy);
}

BWResultEnum FrameManager::DoShowFrame(Frame* frame, bool window, bool activate)
{
    if (frame->GetManager() && frame->GetManager() != this)
        return BW_FAIL;
    // Showing a frame again moves it to the top of its kind.
    TakeOffStack(frame);
    DisplayMode mode = frame->IsModal() ? ModeModal : window ? ModeWindow : ModeScreen;
    // Below the first entry of a higher kind.
    auto at = std::find_if(mStack.begin(), mStack.end(), [mode](const Entry& entry) { return entry.mode > mode; });
    mStack.insert(at, Entry{frame, mode});
    frame->SetManager(this);
    frame->Show();
    if (activate)
        mActive = frame;
    return BW_OK;
}

BWResultEnum FrameManager::DoRemoveFrame(Frame* frame, bool destroy)
{
    if (IsOnStack(frame) || frame->GetManager() == this)
    {
        TakeOffStack(frame);
        frame->Hide();
        frame->SetManager(nullptr);
    }
    if (destroy)
    {
        mCommands.erase(std::remove_if(mCommands.begin(), mCommands.end(),
                                       [frame](const Command& command) { return command.frame == frame; }),
                        mCommands.end());
        // Still ours until deleted: its destructor tells the manager, which
        // tells whoever holds it.
        if (!frame->GetManager())
            frame->SetManager(this);
        Queue(frame);
    }
    return BW_OK;
}

void FrameManager::TakeOffStack(Frame* frame)
{
    mStack.erase(std::remove_if(mStack.begin(), mStack.end(), [frame](const Entry& entry) { return entry.frame == frame; }),
                 mStack.end());
    if (mActive == frame)
        mActive = nullptr;
    if (mHovered == frame)
        mHovered = nullptr;
    if (mCapture && (mCapture == frame || mCapture->GetFrame() == frame))
        mCapture = nullptr;
}

void FrameManager::ForgetFrame(Frame* frame)
{
    TakeOffStack(frame);
    mCommands.erase(std::remove_if(mCommands.begin(), mCommands.end(),
                                   [frame](const Command& command) { return command.frame == frame; }),
                    mCommands.end());
    frame->SetManager(nullptr);
    if (mFrameDeleted)
        mFrameDeleted(frame);
}

void FrameManager::ForgetWidget(Widget* widget)
{
    if (mCapture == widget)
        mCapture = nullptr;
    if (mCursorWidget == widget)
        mCursorWidget = nullptr;
}

void FrameManager::SetCursorWidget(Widget* widget)
{
    if (widget == mCursorWidget)
        return;
    delete mCursorWidget;
    mCursorWidget = widget;
}

template <class Offer>
BWResultEnum FrameManager::RouteDown(Offer offer, Frame** taker)
{
    *taker = nullptr;
    // Handlers may show or remove frames at once: walk a copy, and skip what
    // has left the stack meanwhile.
    std::vector<Entry> frames = mStack;
    for (size_t i = frames.size(); i-- > 0;)
    {
        Frame* frame = frames[i].frame;
        if (!IsOnStack(frame))
            continue;
        bool handled = false;
        if (BWResultEnum result = offer(frame, &handled))
            return result;
        if (handled)
        {
            *taker = frame;
            return BW_OK;
        }
        if (frames[i].mode == ModeModal)
            break;
    }
    return BW_OK;
}

BWResultEnum FrameManager::OnMouseDown(const input::Point& position, uint32_t button)
{
    mCursorPosition = position;
    if (mCapture)
    {
        bool handled = false;
        return mCapture->OnMouseDown(position, button, &handled);
    }
    Frame* taker = nullptr;
    if (BWResultEnum result = RouteDown(
            [&](Frame* frame, bool* handled) { return frame->OnMouseDown(position, button, handled); }, &taker))
        return result;
    // The frame that took the press becomes the active one; the one that had
    // it before is told.
    if (!taker || taker == mActive)
        return BW_OK;
    Frame* previous = mActive;
    mActive = taker;
    return previous ? previous->OnDeactivated() : BW_OK;
}

BWResultEnum FrameManager::OnMouseUp(const input::Point& position, uint32_t button)
{
    mCursorPosition = position;
    if (mCapture)
    {
        bool handled = false;
        return mCapture->OnMouseUp(position, button, &handled);
    }
    Frame* taker = nullptr;
    return RouteDown([&](Frame* frame, bool* handled) { return frame->OnMouseUp(position, button, handled); },
                     &taker);
}

BWResultEnum FrameManager::OnMouseDoubleClick(const input::Point& position, uint32_t button)
{
    mCursorPosition = position;
    if (mCapture)
    {
        bool handled = false;
        return mCapture->OnMouseDoubleClick(position, button, &handled);
    }
    Frame* taker = nullptr;
    return RouteDown(
        [&](Frame* frame, bool* handled) { return frame->OnMouseDoubleClick(position, button, handled); }, &taker);
}

BWResultEnum FrameManager::SetHovered(Frame* frame)
{
    if (frame == mHovered)
        return BW_OK;
    Frame* previous = mHovered;
    mHovered = frame;
    return previous ? previous->ClearMouseOver() : BW_OK;
}

BWResultEnum FrameManager::RouteMotion(const input::Point& position, MotionHandler handler)
{
    mCursorPosition = position;
    if (mCapture)
    {
        bool handled = false;
        return (mCapture->*handler)(position, &handled);
    }
    Frame* taker = nullptr;
    if (BWResultEnum result =
            RouteDown([&](Frame* frame, bool* handled) { return (frame->*handler)(position, handled); }, &taker))
        return result;
    return SetHovered(taker);
}

BWResultEnum FrameManager::OnMouseMove(const input::Point& position)
{
    return RouteMotion(position, &Widget::OnMouseMove);
}

BWResultEnum FrameManager::OnMouseDrag(const input::Point& position)
{
    return RouteMotion(position, &Widget::OnMouseDrag);
}

BWResultEnum FrameManager::OnMouseWheel(const input::Point& position, int delta)
{
    if (mCapture)
    {
        bool handled = false;
        return mCapture->OnMouseWheel(position, delta, &handled);
    }
    Frame* taker = nullptr;
    return RouteDown([&](Frame* frame, bool* handled) { return frame->OnMouseWheel(position, delta, handled); },
                     &taker);
}

BWResultEnum FrameManager::OnKeyDown(int key)
{
    return mActive ? mActive->OnKeyDown(key) : BW_OK;
}

BWResultEnum FrameManager::OnKeyUp(int key)
{
    return mActive ? mActive->OnKeyUp(key) : BW_OK;
}

BWResultEnum FrameManager::OnChar(wchar_t character)
{
    return mActive ? mActive->OnChar(character) : BW_OK;
}

BWResultEnum FrameManager::OnPointerDown(const input::PointerEvent* events, int count)
{
    if (!events || count < 1)
        return BW_OK;
    return OnMouseDown(input::Point{events[0].x, events[0].y}, 1);
}

BWResultEnum FrameManager::OnPointerMove(const input::PointerEvent* events, int count)
{
    if (!events || count < 1)
        return BW_OK;
    return OnMouseDrag(input::Point{events[0].x, events[0].y});
}

BWResultEnum FrameManager::OnPointerUp(const input::PointerEvent* events, int count)
{
    if (!events || count < 1)
        return BW_OK;
    return OnMouseUp(input::Point{events[0].x, events[0].y}, 1);
}

} // namespace widget
