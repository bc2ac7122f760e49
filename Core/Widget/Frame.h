#pragma once

// A screen or a window of the frame manager's stack: a widget that holds
// child widgets (owned, the last added on top), knows which of them has the
// keyboard focus and which the mouse is over, and takes every press inside
// its hit rectangle, so that screens below it do not see it.

#include "Core/Widget/Widget.h"

#include <vector>

namespace widget
{

class FrameManager;

class Frame : public Widget
{
public:
    Frame();
    // Leaves its frame manager's stack and queues, then deletes the widgets.
    ~Frame() override;

    // Updates the widgets.
    BWResultEnum Update(float dt) override;
    // The layer tree, then the widgets bottom to top, while visible.
    BWResultEnum Draw(render::Graphics* graphics) override;

    // Offered to the widgets top down; what none takes is taken when it lies
    // inside the hit rectangle.
    BWResultEnum OnMouseDown(const input::Point& position, uint32_t button, bool* handled) override;
    BWResultEnum OnMouseUp(const input::Point& position, uint32_t button, bool* handled) override;
    BWResultEnum OnMouseDoubleClick(const input::Point& position, uint32_t button, bool* handled) override;
    BWResultEnum OnMouseMove(const input::Point& position, bool* handled) override;
    BWResultEnum OnMouseDrag(const input::Point& position, bool* handled) override;
    BWResultEnum OnMouseWheel(const input::Point& position, int delta, bool* handled) override;
    // Passed to the focus widget.
    BWResultEnum OnKeyDown(int key) override;
    BWResultEnum OnKeyUp(int key) override;
    BWResultEnum OnChar(wchar_t character) override;

    // The mouse is over none of the widgets any more.
    BWResultEnum ClearMouseOver();
    Widget* GetMouseOver() const { return mMouseOver; }

    // The press went to another frame: this one is no longer the active one.
    virtual BWResultEnum OnDeactivated();
    // Called by the frame manager when it puts the frame on its stack or takes
    // it off.
    virtual void Show();
    virtual void Hide();
    bool IsShown() const { return mShown != 0; }

    // x, y, width, height in layout coordinates; empty by default, so that a
    // frame without one lets every press through.
    void SetHitRect(float x, float y, float width, float height);
    const float* GetHitRect() const { return mHitRect; }
    bool HitTest(const input::Point& position) const;

    // A modal frame goes above every window and ends the input routing.
    void SetModal(bool modal) { mModal = modal ? 1 : 0; }
    bool IsModal() const { return mModal != 0; }

    // The frame owns the widget from here on.
    void AddWidget(Widget* widget);
    const std::vector<Widget*>& GetWidgets() const { return mWidgets; }
    void SetFocus(Widget* widget) { mFocus = widget; }
    Widget* GetFocus() const { return mFocus; }

    FrameManager* GetManager() const { return mManager; }
    void SetManager(FrameManager* manager) { mManager = manager; }

    // Forgets a widget that is going away (focus and mouse-over).
    void ForgetWidget(Widget* widget);

private:
    // Offers a mouse event to the widgets top down, then to the hit rectangle.
    template <class Offer>
    BWResultEnum Route(const input::Point& position, bool* handled, Offer offer);
    BWResultEnum SetMouseOver(Widget* widget);

    FrameManager* mManager = nullptr;
    float mHitRect[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    uint8_t mModal = 0;
    uint8_t mShown = 0;
    std::vector<Widget*> mWidgets;
    Widget* mFocus = nullptr;
    Widget* mMouseOver = nullptr;
};

} // namespace widget
