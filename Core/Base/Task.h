#pragma once

#include "Core/Base/BWResult.h"

#include <cstddef>
#include <cstdint>
#include <list>

namespace app
{
class CriticalSection;
}

namespace base
{

// A node of the per-frame task tree. Each frame a task updates its children
// first, then takes in the children added since, reaps the stopped ones, and
// runs its own OnUpdate. Children are not owned by the lists: the parent
// deletes a reaped child only when it was made with auto-delete.
class Task
{
public:
    Task(bool autoDelete, bool finishWithChildren, bool keepsParentAlive, bool withLock);
    // Frees the lock and the list nodes; the child tasks are not deleted.
    virtual ~Task();
    Task(const Task&) = delete;
    Task& operator=(const Task&) = delete;

    // Run once, on the first update; an error is returned that once.
    virtual BWResultEnum Init();
    virtual BWResultEnum OnUpdate(float dt);
    // Default: marks the task stopped.
    virtual void OnStop();

    // One frame of this task and its subtree; the first error stops the frame.
    BWResultEnum Update(float dt);
    // Stops the children first, then this task (OnStop last). Pending
    // children are not stopped.
    void Stop();
    // Queues a child; it joins the children at the next update. May be called
    // from another thread when the task has a lock.
    bool AddChild(Task* child);
    // Deletes every child task (not the pending ones) and empties the list.
    void DeleteChildren();

    bool HasNoChildren() const { return mChildren.empty(); }
    bool AnyChildKeepsParentAlive() const;

    bool IsStopRequested() const { return mStopRequested != 0; }
    bool IsStopped() const { return mStopped != 0; }
    bool IsInitialised() const { return mInitialised != 0; }
    bool IsAutoDelete() const { return mAutoDelete != 0; }
    bool KeepsParentAlive() const { return mKeepsParentAlive != 0; }
    size_t GetChildCount() const { return mChildren.size(); }
    size_t GetPendingCount() const { return mPending.size(); }

protected:
    uint8_t mStopRequested = 0;
    uint8_t mStopped = 0;
    std::list<Task*> mChildren;
    std::list<Task*> mPending;
    uint8_t mFinishWithChildren;
    uint8_t mAutoDelete;
    uint8_t mKeepsParentAlive;
    uint8_t mInitialised = 0;
    app::CriticalSection* mLock;
};

} // namespace base
