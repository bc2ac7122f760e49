#include "Core/Base/Task.h"

#include "Core/App/CriticalSection.h"

namespace base
{

Task::Task(bool autoDelete, bool finishWithChildren, bool keepsParentAlive, bool withLock)
    : mFinishWithChildren(finishWithChildren ? 1 : 0), mAutoDelete(autoDelete ? 1 : 0),
      mKeepsParentAlive(keepsParentAlive ? 1 : 0), mLock(withLock ? new app::CriticalSection : nullptr)
{
}

Task::~Task()
{
    delete mLock;
}

BWResultEnum Task::Init()
{
    return BW_OK;
}

BWResultEnum Task::OnUpdate(float)
{
    return BW_OK;
}

void Task::OnStop()
{
    mStopped = 1;
}

BWResultEnum Task::Update(float dt)
{
    if (mStopped && mChildren.empty())
        return BW_OK;

    if (!mInitialised)
    {
        mInitialised = 1;
        BWResultEnum result = Init();
        if (result != BW_OK)
            return result;
    }

    for (Task* child : mChildren)
    {
        BWResultEnum result = child->Update(dt);
        if (result != BW_OK)
            return result;
    }

    {
        app::CriticalSectionGuard guard(mLock);
        if (!mPending.empty())
            mChildren.splice(mChildren.end(), mPending);
    }

    for (auto it = mChildren.begin(); it != mChildren.end();)
    {
        Task* child = *it;
        if (child->mStopped && child->mChildren.empty())
        {
            it = mChildren.erase(it);
            if (child->mAutoDelete)
                delete child;
        }
        else
            ++it;
    }

    BWResultEnum result = OnUpdate(dt);
    if (result != BW_OK)
        return result;

    {
        // Under the lock, so that a child being added from elsewhere is seen.
        app::CriticalSectionGuard guard(mLock);
        if (!mStopRequested && mPending.empty() && mFinishWithChildren && !AnyChildKeepsParentAlive())
            Stop();
    }
    return BW_OK;
}

void Task::Stop()
{
    for (Task* child : mChildren)
        child->Stop();
    mStopRequested = 1;
    OnStop();
}

bool Task::AddChild(Task* child)
{
    app::CriticalSectionGuard guard(mLock);
    mPending.push_back(child);
    return true;
}

void Task::DeleteChildren()
{
    // Unlinked before deletion: a child's destructor must not find itself here.
    std::list<Task*> children;
    children.swap(mChildren);
    for (Task* child : children)
        delete child;
}

bool Task::AnyChildKeepsParentAlive() const
{
    for (const Task* child : mChildren)
        if (child->mKeepsParentAlive)
            return true;
    return false;
}

} // namespace base
