#include "Core/Widget/Frame.h"

#include "Core/Layer/Layer.h"
#include "Core/Widget/FrameManager.h"

#include <algorithm>

namespace widget
{

Frame::Frame() = default;

Frame::~Frame()
{
    if (mManager)
        mManager->ForgetFrame(this);
    // Each widget's destructor asks this frame to forget it: take the list
    // first, so that nothing is removed from it while it is walked.
    std::vector<Widget*> widgets;
    widgets.swap(mWidgets);
    mFocus = nullptr;
    mMouseOver = nullptr;
    for (Widget* widget : widgets)
    {
        widget->SetFrame(nullptr);
        delete widget;
    }
}

BWResultEnum Frame::Update(float dt)
{
    for (size_t i = 0; i < mWidgets.size(); ++i)
    {
        if (BWResultEnum result = mWidgets[i]->Update(dt))
            return result;
    }
    return BW_OK;
}

BWResultEnum Frame::Draw(render::Graphics* graphics)
{
    if (!mVisible)
        return BW_OK;
    if (mLayer)
    {
        if (BWResultEnum result = mLayer->Draw(graphics))
            return result;
    }
    for (Widget* widget : mWidgets)
    {
        if (BWResultEnum result = widget->Draw(graphics))
            return result;
    }
    return BW_OK;
}

template <class Offer>
BWResultEnum Frame::Route(const input::Point& position, bool* handled, Offer offer)
{
    *handled = false;
    for (size_t i = mWidgets.size(); i-- > 0;)
    {
        Widget* widget = mWidgets[i];
        if (!widget->IsVisible())
            continue;
        bool taken = false;
        if (BWResultEnum result = offer(widget, &taken))
            return result;
        if (taken)
        {
            *handled = true;
            return BW_OK;
        }
        // The handler may have removed widgets.
        if (i > mWidgets.size())
            i = mWidgets.size();
    }
    *handled = HitTest(position);
    return BW_OK;
}

BWResultEnum Frame::OnMouseDown(const input::Point& position, uint32_t button, bool* handled)
{
    return Route(position, handled,
                 [&](Widget* widget, bool* taken) { return widget->OnMouseDown(position, button, taken); });
}

BWResultEnum Frame::OnMouseUp(const input::Point& position, uint32_t button, bool* handled)
{
    return Route(position, handled,
                 [&](Widget* widget, bool* taken) { return widget->OnMouseUp(position, button, taken); });
}

BWResultEnum Frame::OnMouseDoubleClick(const input::Point& position, uint32_t button, bool* handled)
{
    return Route(position, handled, [&](Widget* widget, bool* taken) {
        return widget->OnMouseDoubleClick(position, button, taken);
    });
}

BWResultEnum Frame::OnMouseMove(const input::Point& position, bool* handled)
{
    Widget* over = nullptr;
    BWResultEnum result = Route(position, handled, [&](Widget* widget, bool* taken) {
        BWResultEnum moved = widget->OnMouseMove(position, taken);
        if (*taken)
            over = widget;
        return moved;
    });
    if (result)
        return result;
    return SetMouseOver(over);
}

BWResultEnum Frame::OnMouseDrag(const input::Point& position, bool* handled)
{
    Widget* over = nullptr;
    BWResultEnum result = Route(position, handled, [&](Widget* widget, bool* taken) {
        BWResultEnum dragged = widget->OnMouseDrag(position, taken);
        if (*taken)
            over = widget;
        return dragged;
    });
    if (result)
        return result;
    return SetMouseOver(over);
}

BWResultEnum Frame::OnMouseWheel(const input::Point& position, int delta, bool* handled)
{
    return Route(position, handled,
                 [&](Widget* widget, bool* taken) { return widget->OnMouseWheel(position, delta, taken); });
}

BWResultEnum Frame::OnKeyDown(int key)
{
    return mFocus ? mFocus->OnKeyDown(key) : BW_OK;
}

BWResultEnum Frame::OnKeyUp(int key)
{
    return mFocus ? mFocus->OnKeyUp(key) : BW_OK;
}

BWResultEnum Frame::OnChar(wchar_t character)
{
    return mFocus ? mFocus->OnChar(character) : BW_OK;
}

BWResultEnum Frame::SetMouseOver(Widget* widget)
{
    if (widget == mMouseOver)
        return BW_OK;
    Widget* previous = mMouseOver;
    mMouseOver = widget;
    return previous ? previous->OnMouseLeave() : BW_OK;
}

BWResultEnum Frame::ClearMouseOver()
{
    return SetMouseOver(nullptr);
}

BWResultEnum Frame::OnDeactivated()
{
    return BW_OK;
}

void Frame::Show()
{
    mShown = 1;
}

void Frame::Hide()
{
    mShown = 0;
}

void Frame::SetHitRect(float x, float y, float width, float height)
{
    mHitRect[0] = x;
    mHitRect[1] = y;
    mHitRect[2] = width;
    mHitRect[3] = height;
}

bool Frame::HitTest(const input::Point& position) const
{
    return position.x >= mHitRect[0] && position.x < mHitRect[0] + mHitRect[2] && position.y >= mHitRect[1] &&
           position.y < mHitRect[1] + mHitRect[3];
}

void Frame::AddWidget(Widget* widget)
{
    if (!widget || widget == this || widget->GetFrame() ||
        std::find(mWidgets.begin(), mWidgets.end(), widget) != mWidgets.end())
        return;
    widget->SetFrame(this);
    mWidgets.push_back(widget);
}

void Frame::ForgetWidget(Widget* widget)
{
    if (mFocus == widget)
        mFocus = nullptr;
    if (mMouseOver == widget)
        mMouseOver = nullptr;
    mWidgets.erase(std::remove(mWidgets.begin(), mWidgets.end(), widget), mWidgets.end());
}

} // namespace widget
