#pragma once

#include "Core/Base/DeferredDeletable.h"

#include <cstddef>
#include <vector>

namespace base
{

// Owns queued objects until DeleteDeferred deletes them, once per frame after
// the updates, and deletes what is left when it is destroyed.
class DeferredDeleteManager
{
public:
    DeferredDeleteManager() = default;
    ~DeferredDeleteManager();
    DeferredDeleteManager(const DeferredDeleteManager&) = delete;
    DeferredDeleteManager& operator=(const DeferredDeleteManager&) = delete;

    // Queues an object; an object already waiting is not queued twice (a close
    // button clicked twice in one frame).
    void Queue(DeferredDeletable* object);
    // Deletes everything queued, in queue order. Objects queued by those
    // destructors are deleted in the same pass.
    void DeleteDeferred();

    bool IsQueued(const DeferredDeletable* object) const;
    size_t GetQueuedCount() const { return mQueue.size(); }

private:
    std::vector<DeferredDeletable*> mQueue;
};

} // namespace base
