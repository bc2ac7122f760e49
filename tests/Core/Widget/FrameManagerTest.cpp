#include "Core/Layer/Layer.h"
#include "Core/Widget/Dialog.h"
#include "Core/Widget/FrameManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace
{

typedef std::vector<std::string> Events;
Events gEvents;

// Writes its name down when drawn.
class NamedLayer : public layer::Layer
{
public:
    explicit NamedLayer(const std::string& name) : mTag(name) {}
    BWResultEnum DrawSelf(render::Graphics*) override
    {
        gEvents.push_back("draw " + mTag);
        return BW_OK;
    }
    std::string mTag;
};

// Takes the mouse inside its rectangle and writes down what it gets.
class Button : public widget::Widget
{
public:
    Button(const std::string& name, float x, float y, float w, float h) : mName(name), mRect{x, y, w, h} {}
    BWResultEnum Record(const input::Point& p, bool* handled, const std::string& what)
    {
        *handled = p.x >= mRect[0] && p.x < mRect[0] + mRect[2] && p.y >= mRect[1] && p.y < mRect[1] + mRect[3];
        if (*handled)
            gEvents.push_back(mName + " " + what);
        return BW_OK;
    }
    BWResultEnum OnMouseDown(const input::Point& p, uint32_t b, bool* handled) override
    {
        return Record(p, handled, "down " + std::to_string(b));
    }
    BWResultEnum OnMouseUp(const input::Point& p, uint32_t, bool* handled) override { return Record(p, handled, "up"); }
    BWResultEnum OnMouseMove(const input::Point& p, bool* handled) override { return Record(p, handled, "move"); }
    BWResultEnum OnMouseLeave() override
    {
        gEvents.push_back(mName + " leave");
        return BW_OK;
    }
    BWResultEnum OnKeyDown(int key) override
    {
        gEvents.push_back(mName + " key " + std::to_string(key));
        return BW_OK;
    }
    std::string mName;
    float mRect[4];
};

// A screen covering 0..100 x 0..100 that writes down what happens to it.
class Screen : public widget::Dialog
{
public:
    explicit Screen(const std::string& name) : mName(name)
    {
        SetLayer(new NamedLayer(name), true);
        SetHitRect(0, 0, 100, 100);
    }
    ~Screen() override { gEvents.push_back("delete " + mName); }
    BWResultEnum Update(float dt) override
    {
        gEvents.push_back("update " + mName);
        if (mOnUpdate)
            mOnUpdate();
        return mUpdateResult ? mUpdateResult : widget::Dialog::Update(dt);
    }
    BWResultEnum OnMouseDown(const input::Point& p, uint32_t button, bool* handled) override
    {
        gEvents.push_back("offer " + mName);
        return mDownResult ? mDownResult : widget::Dialog::OnMouseDown(p, button, handled);
    }
    BWResultEnum OnDeactivated() override
    {
        gEvents.push_back("deactivated " + mName);
        return BW_OK;
    }
    void Show() override
    {
        gEvents.push_back("show " + mName);
        widget::Dialog::Show();
    }
    void Hide() override
    {
        gEvents.push_back("hide " + mName);
        widget::Dialog::Hide();
    }
    std::string mName;
    BWResultEnum mUpdateResult = BW_OK;
    BWResultEnum mDownResult = BW_OK;
    std::function<void()> mOnUpdate;
};

class FrameManagerTest : public ::testing::Test
{
protected:
    void SetUp() override { gEvents.clear(); }

    Events Names()
    {
        Events names;
        for (const auto& entry : mManager.GetStack())
            names.push_back(static_cast<Screen*>(entry.frame)->mName);
        return names;
    }
    Events Take()
    {
        Events events;
        events.swap(gEvents);
        return events;
    }

    widget::FrameManager mManager;
};

TEST_F(FrameManagerTest, ScreensGoBelowWindowsBelowModalFramesAndShowingAgainMovesUp)
{
    Screen* modal = new Screen("modal");
    Screen* screen1 = new Screen("screen1");
    modal->SetModal(true);
    mManager.ShowFrame(screen1, false, false, false);
    mManager.ShowFrame(modal, false, false, false);
    mManager.ShowFrame(new Screen("window1"), true, false, false);
    mManager.ShowFrame(new Screen("screen2"), false, false, false);
    mManager.ShowFrame(new Screen("window2"), true, false, false);
    EXPECT_EQ(Names(), (Events{"screen1", "screen2", "window1", "window2", "modal"}));
    mManager.ShowFrame(screen1, false, false, false); // again: to the top of its kind
    EXPECT_EQ(Names(), (Events{"screen2", "screen1", "window1", "window2", "modal"}));
}

TEST_F(FrameManagerTest, DeferredCommandsWaitForTheNextUpdateAndKeepTheirOrder)
{
    Screen* a = new Screen("a");
    Screen* b = new Screen("b");
    ASSERT_EQ(mManager.ShowFrame(a, false, true, true), BW_OK);
    ASSERT_EQ(mManager.ShowFrame(b, false, false, true), BW_OK);
    EXPECT_TRUE(mManager.GetStack().empty());
    EXPECT_FALSE(a->IsShown());
    ASSERT_EQ(mManager.Update(0.1f), BW_OK);
    EXPECT_EQ(Names(), (Events{"a", "b"}));
    EXPECT_EQ(mManager.GetActiveFrame(), a);
    EXPECT_TRUE(a->IsShown());

    // Shown then removed in one frame: removed. Removed then shown: shown.
    mManager.ShowFrame(b, false, false, true);
    mManager.RemoveFrame(b, false, true);
    mManager.RemoveFrame(a, false, true);
    mManager.ShowFrame(a, false, false, true);
    mManager.Update(0.1f);
    EXPECT_EQ(Names(), (Events{"a"}));
    EXPECT_FALSE(b->IsShown());
    EXPECT_EQ(b->GetManager(), nullptr);
    // Removed with destroy then shown: it goes, and is not shown on its way out.
    mManager.ShowFrame(b, false, false, false);
    mManager.RemoveFrame(b, true, true);
    mManager.ShowFrame(b, false, false, true);
    Take();
    mManager.Update(0.1f);
    EXPECT_EQ(Names(), (Events{"a"}));
    EXPECT_EQ(std::count(gEvents.begin(), gEvents.end(), "delete b"), 1);
    EXPECT_EQ(std::count(gEvents.begin(), gEvents.end(), "show b"), 0);
}

TEST_F(FrameManagerTest, RemovalAtOnceForgetsTheFrameWithDestroyAfterTheUpdateAndAnErrorKeepsTheQueue)
{
    Screen* a = new Screen("a");
    Screen* b = new Screen("b");
    mManager.ShowFrame(a, false, true, false);
    mManager.OnMouseMove(input::Point{5, 5});
    EXPECT_EQ(mManager.GetHoveredFrame(), a);
    Take();
    ASSERT_EQ(mManager.RemoveFrame(a, false, false), BW_OK);
    EXPECT_TRUE(mManager.GetStack().empty());
    EXPECT_EQ(mManager.GetActiveFrame(), nullptr);
    EXPECT_EQ(mManager.GetHoveredFrame(), nullptr);
    EXPECT_EQ(Take(), (Events{"hide a"}));

    mManager.ShowFrame(a, false, false, false);
    mManager.ShowFrame(b, false, false, false);
    // a closes itself from its own update: deleted in the same update.
    a->mOnUpdate = [&] { mManager.RemoveFrame(a, true, false); };
    Take();
    ASSERT_EQ(mManager.Update(0.1f), BW_OK);
    EXPECT_EQ(Take(), (Events{"update a", "hide a", "update b", "delete a"}));

    Screen* c = new Screen("c");
    mManager.ShowFrame(c, false, false, true);
    b->mUpdateResult = BW_FAIL;
    EXPECT_EQ(mManager.Update(0.1f), BW_FAIL);
    EXPECT_EQ(Names(), (Events{"b"}));
    b->mUpdateResult = BW_OK;
    EXPECT_EQ(mManager.Update(0.1f), BW_OK);
    EXPECT_EQ(Names(), (Events{"b", "c"}));
}

TEST_F(FrameManagerTest, PressesGoTopDownUntilTakenOrAModalFrameOrAnErrorEndsThem)
{
    Screen* bottom = new Screen("bottom");
    Screen* top = new Screen("top");
    top->SetHitRect(0, 0, 50, 50);
    bottom->AddWidget(new Button("ok", 60, 60, 10, 10));
    mManager.ShowFrame(bottom, false, false, false);
    mManager.ShowFrame(top, true, false, false);
    Take();
    ASSERT_EQ(mManager.OnMouseDown(input::Point{10, 10}, 1), BW_OK);
    EXPECT_EQ(Take(), (Events{"offer top"}));
    EXPECT_EQ(mManager.GetActiveFrame(), top);
    ASSERT_EQ(mManager.OnMouseDown(input::Point{65, 65}, 3), BW_OK);
    EXPECT_EQ(Take(), (Events{"offer top", "offer bottom", "ok down 3", "deactivated top"}));
    EXPECT_EQ(mManager.GetActiveFrame(), bottom);
    // Outside both: nobody takes it and the active frame stays.
    ASSERT_EQ(mManager.OnMouseDown(input::Point{500, 500}, 1), BW_OK);
    EXPECT_EQ(Take(), (Events{"offer top", "offer bottom"}));
    EXPECT_EQ(mManager.GetActiveFrame(), bottom);

    top->mDownResult = BW_FAIL;
    EXPECT_EQ(mManager.OnMouseDown(input::Point{65, 65}, 1), BW_FAIL);
    EXPECT_EQ(Take(), (Events{"offer top"}));
    top->mDownResult = BW_OK;
    mManager.RemoveFrame(top, false, false);
    top->SetModal(true);
    mManager.ShowFrame(top, false, false, false);
    Take();
    mManager.OnMouseDown(input::Point{65, 65}, 1);
    EXPECT_EQ(Take(), (Events{"offer top"}));
}

TEST_F(FrameManagerTest, CaptureHoverAndKeysReachTheirWidgets)
{
    Screen* screen = new Screen("screen");
    screen->SetHitRect(0, 0, 0, 0);
    Button* a = new Button("a", 0, 0, 10, 10);
    screen->AddWidget(a);
    screen->AddWidget(new Button("b", 20, 0, 10, 10));
    screen->SetFocus(a);
    EXPECT_EQ(mManager.OnKeyDown(13), BW_OK) << "no active frame";
    mManager.ShowFrame(screen, false, true, false);
    Take();
    mManager.OnKeyDown(13);
    // A move nobody takes clears the hovered screen's mouse-over.
    mManager.OnMouseMove(input::Point{5, 5});
    EXPECT_EQ(mManager.GetHoveredFrame(), screen);
    mManager.OnMouseMove(input::Point{25, 5});
    mManager.OnMouseMove(input::Point{80, 80});
    EXPECT_EQ(Take(), (Events{"a key 13", "a move", "b move", "a leave", "b leave"}));
    EXPECT_EQ(mManager.GetHoveredFrame(), nullptr);
    EXPECT_EQ(screen->GetMouseOver(), nullptr);

    // The capture widget gets the mouse before any frame, and goes with its screen.
    mManager.SetCapture(a);
    mManager.OnMouseDown(input::Point{5, 5}, 1);
    mManager.OnMouseUp(input::Point{7, 7}, 1);
    EXPECT_EQ(Take(), (Events{"a down 1", "a up"}));
    mManager.RemoveFrame(screen, true, false);
    EXPECT_EQ(mManager.GetCapture(), nullptr);
}

TEST_F(FrameManagerTest, FramesDeletedBehindItsBackLeaveTheStackAndTheQueueAndItDeletesTheRest)
{
    Screen* a = new Screen("a");
    Screen* b = new Screen("b");
    mManager.ShowFrame(a, false, true, false);
    mManager.ShowFrame(b, false, false, true);
    delete a;
    delete b;
    EXPECT_TRUE(mManager.GetStack().empty());
    EXPECT_EQ(mManager.GetActiveFrame(), nullptr);
    EXPECT_EQ(mManager.GetQueuedCommandCount(), 0u);
    EXPECT_EQ(mManager.Update(0.1f), BW_OK);
    {
        widget::FrameManager manager;
        manager.ShowFrame(new Screen("shown"), false, false, false);
        manager.ShowFrame(new Screen("waiting"), false, false, true);
        Screen* closing = new Screen("closing");
        manager.ShowFrame(closing, false, false, false);
        manager.RemoveFrame(closing, true, true);
        gEvents.clear();
    }
    std::sort(gEvents.begin(), gEvents.end());
    EXPECT_EQ(gEvents, (Events{"delete closing", "delete shown", "delete waiting"}));
}

} // namespace
