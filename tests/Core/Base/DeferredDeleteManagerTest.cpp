#include "Core/Base/DeferredDeleteManager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

std::vector<std::string> gDeleted;

// Queues another object from its destructor when told to.
class Widget : public base::DeferredDeletable
{
public:
    explicit Widget(std::string name, base::DeferredDeleteManager* manager = nullptr, Widget* next = nullptr)
        : mName(std::move(name)), mManager(manager), mNext(next)
    {
    }
    ~Widget() override
    {
        gDeleted.push_back(mName);
        if (mManager && mNext)
            mManager->Queue(mNext);
    }

    std::string mName;
    base::DeferredDeleteManager* mManager;
    Widget* mNext;
};

TEST(DeferredDelete, DeletesInQueueOrderOnceEachAndWhatIsLeftAtTheEnd)
{
    gDeleted.clear();
    {
        base::DeferredDeleteManager manager;
        auto* dialog = new Widget("dialog");
        manager.Queue(dialog);
        manager.Queue(new Widget("b"));
        manager.Queue(nullptr);
        manager.Queue(dialog); // the close button clicked twice in one frame
        EXPECT_EQ(manager.GetQueuedCount(), 2u);
        manager.DeleteDeferred();
        EXPECT_EQ(gDeleted, (std::vector<std::string>{"dialog", "b"}));
        EXPECT_EQ(manager.GetQueuedCount(), 0u);
        manager.Queue(new Widget("left"));
    }
    EXPECT_EQ(gDeleted.back(), "left");
}

TEST(DeferredDelete, ObjectsQueuedDuringTheWalkAreDeletedInTheSamePass)
{
    gDeleted.clear();
    base::DeferredDeleteManager manager;
    // Enough to make the queue grow while it is walked.
    Widget* next = nullptr;
    for (int i = 0; i < 40; ++i)
        next = new Widget("w" + std::to_string(i), &manager, next);
    manager.Queue(next);
    manager.DeleteDeferred();
    EXPECT_EQ(gDeleted.size(), 40u);
    EXPECT_EQ(gDeleted.back(), "w0");
    EXPECT_EQ(manager.GetQueuedCount(), 0u);
}

} // namespace
