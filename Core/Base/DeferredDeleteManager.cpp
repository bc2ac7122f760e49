#include "Core/Base/DeferredDeleteManager.h"

#include <algorithm>

namespace base
{

DeferredDeleteManager::~DeferredDeleteManager()
{
    DeleteDeferred();
}

bool DeferredDeleteManager::IsQueued(const DeferredDeletable* object) const
{
    return object && std::find(mQueue.begin(), mQueue.end(), object) != mQueue.end();
}

void DeferredDeleteManager::Queue(DeferredDeletable* object)
{
    if (object && !IsQueued(object))
        mQueue.push_back(object);
}

void DeferredDeleteManager::DeleteDeferred()
{
    // By index, reading the size again each time: destructors may queue more.
    for (size_t i = 0; i < mQueue.size(); ++i)
    {
        DeferredDeletable* object = mQueue[i];
        if (!object)
            continue;
        // Cleared first, so that a new object at the same address can be
        // queued by a destructor and is not taken for this one.
        mQueue[i] = nullptr;
        delete object;
    }
    mQueue.clear();
}

} // namespace base
