#include "Core/Base/Task.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace
{

std::vector<std::string> gEvents;

// Records its calls; behaviour is set per test through the public fields.
class Probe : public base::Task
{
public:
    Probe(std::string name, bool autoDelete = false, bool finishWithChildren = false, bool keepsParentAlive = true,
          bool withLock = true)
        : base::Task(autoDelete, finishWithChildren, keepsParentAlive, withLock), mName(std::move(name))
    {
    }
    ~Probe() override { gEvents.push_back(mName + " deleted"); }

    BWResultEnum Init() override
    {
        gEvents.push_back(mName + " init");
        return BW_OK;
    }
    BWResultEnum OnUpdate(float) override
    {
        gEvents.push_back(mName + " update");
        if (mAddDuringUpdate)
            std::exchange(mAddDuringUpdate, nullptr)->AddChild(mToAdd);
        return BW_OK;
    }
    void OnStop() override
    {
        gEvents.push_back(mName + " stop");
        if (mAddOnStop)
            AddChild(std::exchange(mAddOnStop, nullptr));
        base::Task::OnStop();
    }
    std::string mName;
    base::Task* mAddDuringUpdate = nullptr;
    base::Task* mToAdd = nullptr;
    base::Task* mAddOnStop = nullptr;
};

class TaskTest : public ::testing::Test
{
protected:
    void SetUp() override { gEvents.clear(); }
};

TEST_F(TaskTest, ChildrenUpdateBeforeTheParentAndAChildAddedMeanwhileWaitsAFrame)
{
    Probe root("root"), a("a"), b("b"), late("late");
    root.AddChild(&a);
    root.AddChild(&b);
    root.Update(0.1f); // merged after the children pass: only root updates
    root.Update(0.1f);
    EXPECT_EQ(gEvents, (std::vector<std::string>{"root init", "root update", "a init", "a update", "b init",
                                                 "b update", "root update"}));
    a.mAddDuringUpdate = &root;
    a.mToAdd = &late;
    gEvents.clear();
    root.Update(0);
    EXPECT_EQ(gEvents, (std::vector<std::string>{"a update", "b update", "root update"}));
    gEvents.clear();
    root.Update(0);
    EXPECT_EQ(gEvents, (std::vector<std::string>{"a update", "b update", "late init", "late update", "root update"}));
}

TEST_F(TaskTest, OnStopMayAddAChildUnderTheTasksOwnLock)
{
    // The finish check holds the lock while it calls Stop, which reaches the
    // children first; a plain mutex would deadlock here.
    Probe root("root", false, true), child("child", false, false, false), late("late");
    root.mAddOnStop = &late;
    root.AddChild(&child);
    root.Update(0);
    EXPECT_TRUE(root.IsStopRequested());
    EXPECT_TRUE(child.IsStopRequested());
    EXPECT_FALSE(late.IsStopRequested());
    EXPECT_EQ(root.GetPendingCount(), 1u);
}

TEST_F(TaskTest, ChildrenAddedFromAnotherThreadAreAllMerged)
{
    Probe root("root", false, false, true, true);
    std::vector<Probe*> children;
    for (int i = 0; i < 200; ++i)
        children.push_back(new Probe("c", true, false, false, false));
    std::thread adder([&] {
        for (Probe* child : children)
            root.AddChild(child);
    });
    for (int i = 0; i < 50; ++i)
        root.Update(0);
    adder.join();
    root.Update(0);
    EXPECT_EQ(root.GetChildCount() + root.GetPendingCount(), 200u);
    root.Update(0);
    EXPECT_EQ(root.GetChildCount(), 200u);
    gEvents.clear();
    root.DeleteChildren();
    EXPECT_TRUE(root.HasNoChildren());
    EXPECT_EQ(gEvents.size(), 200u);
}

} // namespace
