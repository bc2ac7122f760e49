#include "Core/Base/DeferredDeleteManager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

std::vector<std::string> gDeleted;

class Widget : public base::DeferredDeletable
{
public:
    explicit Widget(std::string name, base::DeferredDeleteManager* manager = nullptr, Widget* queueOnDelete = nullptr)
        : mName(std::move(name)), mManager(manager), mQueueOnDelete(queueOnDelete)
    {
    }
    ~Widget() override
    {
        gDeleted.push_back(mName);
        if (mManager && mQueueOnDelete)
            mManager->Queue(mQueueOnDelete);
    }

    std::string mName;
    base::DeferredDeleteManager* mManager;
    Widget* mQueueOnDelete;
};

class DeferredDeleteTest : public ::testing::Test
{
protected:
    void SetUp() override { gDeleted.clear(); }
};

TEST_F(DeferredDeleteTest, DeletesInQueueOrderAndEmptiesTheQueue)
{
    base::DeferredDeleteManager manager;
    manager.Queue(new Widget("a"));
    manager.Queue(new Widget("b"));
    manager.Queue(nullptr);
    manager.DeleteDeferred();
    EXPECT_EQ(gDeleted, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(manager.GetQueuedCount(), 0u);
    manager.DeleteDeferred(); // empty: nothing happens
    EXPECT_EQ(gDeleted.size(), 2u);
}

TEST_F(DeferredDeleteTest, ObjectQueuedTwiceIsDeletedOnce)
{
    base::DeferredDeleteManager manager;
    auto* dialog = new Widget("dialog");
    manager.Queue(dialog);
    manager.Queue(dialog); // the close button clicked twice in one frame
    EXPECT_EQ(manager.GetQueuedCount(), 1u);
    manager.DeleteDeferred();
    EXPECT_EQ(gDeleted, (std::vector<std::string>{"dialog"}));
}

TEST_F(DeferredDeleteTest, ObjectsQueuedDuringTheWalkAreDeletedInTheSamePass)
{
    base::DeferredDeleteManager manager;
    // Enough to make the vector grow while it is walked.
    Widget* next = nullptr;
    for (int i = 0; i < 40; ++i)
        next = new Widget("w" + std::to_string(i), &manager, next);
    manager.Queue(next);
    manager.DeleteDeferred();
    EXPECT_EQ(gDeleted.size(), 40u);
    EXPECT_EQ(gDeleted.front(), "w39");
    EXPECT_EQ(gDeleted.back(), "w0");
    EXPECT_EQ(manager.GetQueuedCount(), 0u);
}

TEST_F(DeferredDeleteTest, DestroyingTheManagerDeletesWhatIsLeft)
{
    {
        base::DeferredDeleteManager manager;
        manager.Queue(new Widget("left"));
    }
    EXPECT_EQ(gDeleted, (std::vector<std::string>{"left"}));
}

} // namespace
