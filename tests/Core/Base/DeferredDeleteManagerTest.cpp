#include "Core/Base/DeferredDeleteManager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

std::vector<std::string> gDeleted;

// Queues the next object from its destructor, so the queue grows while it is walked.
struct Widget : base::DeferredDeletable
{
    Widget(std::string name, base::DeferredDeleteManager* manager = nullptr, Widget* next = nullptr)
        : mName(std::move(name)), mManager(manager), mNext(next)
    {
    }
    ~Widget() override
    {
        gDeleted.push_back(mName);
        if (mNext)
            mManager->Queue(mNext);
    }
    std::string mName;
    base::DeferredDeleteManager* mManager;
    Widget* mNext;
};

TEST(DeferredDelete, DeletesEachOnceInQueueOrderWithThoseQueuedDuringTheWalkAndWhatIsLeftAtTheEnd)
{
    gDeleted.clear();
    {
        base::DeferredDeleteManager manager;
        auto* dialog = new Widget("dialog");
        manager.Queue(dialog);
        Widget* next = nullptr;
        for (int i = 0; i < 40; ++i)
            next = new Widget("w" + std::to_string(i), &manager, next);
        manager.Queue(next);
        manager.Queue(nullptr);
        manager.Queue(dialog); // the close button clicked twice in one frame
        manager.DeleteDeferred();
        ASSERT_EQ(gDeleted.size(), 41u);
        EXPECT_EQ(gDeleted.front(), "dialog");
        EXPECT_EQ(gDeleted.back(), "w0");
        EXPECT_EQ(manager.GetQueuedCount(), 0u);
        manager.Queue(new Widget("left"));
    }
    EXPECT_EQ(gDeleted.back(), "left");
}

} // namespace
