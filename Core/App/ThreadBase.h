#pragma once

#include "Core/Base/Task.h"

namespace app
{

// Thread priority levels given to Start and SetPriority; other values mean
// normal.
enum ThreadPriority
{
    ThreadPriorityIdle = 0,
    ThreadPriorityBelowNormal = 1,
    ThreadPriorityNormal = 2,
    ThreadPriorityAboveNormal = 3,
    ThreadPriorityHigh = 4,
    ThreadPriorityRealTime = 5,
};

// A task tree driven by a frame loop of its own.
class ThreadBase : public base::Task
{
public:
    ThreadBase(bool autoDelete, bool finishWithChildren, bool keepsParentAlive, bool withLock)
        : base::Task(autoDelete, finishWithChildren, keepsParentAlive, withLock)
    {
    }

    virtual bool Start(int priority) = 0;
    // The frame loop: runs until the task is stopped and has no children.
    virtual void Run() = 0;
    virtual bool SetPriority(int priority) = 0;

    // While paused, the loop keeps ticking its timer but updates nothing.
    void SetPaused(bool paused) { mPaused = paused ? 1 : 0; }
    bool IsPaused() const { return mPaused != 0; }

protected:
    uint8_t mPaused = 0;
};

} // namespace app
