#pragma once

#include <new>

namespace base
{

// A counted pointer: the last holder deletes the object through its virtual
// destructor. Used to share delegates.
template <class T>
class SharedPtr
{
public:
    SharedPtr() = default;
    explicit SharedPtr(T* object) { Reset(object); }
    SharedPtr(const SharedPtr& other) : mObject(other.mObject), mCount(other.mCount)
    {
        if (mCount)
            ++*mCount;
    }
    ~SharedPtr() { Reset(nullptr); }

    SharedPtr& operator=(const SharedPtr& other)
    {
        if (this != &other && mObject != other.mObject)
        {
            Reset(nullptr);
            mObject = other.mObject;
            mCount = other.mCount;
            if (mCount)
                ++*mCount;
        }
        return *this;
    }

    // Lets go of the held object and takes the new one. Resetting to the
    // object already held keeps it alive.
    void Reset(T* object)
    {
        if (object && object == mObject)
            return;
        // Forget the old object before deleting it: its destructor may reset
        // this very pointer.
        T* old = mObject;
        int* oldCount = mCount;
        mObject = nullptr;
        mCount = nullptr;
        if (oldCount && --*oldCount < 1)
        {
            delete old;
            delete oldCount;
        }
        if (object)
        {
            mCount = new (std::nothrow) int(1);
            if (!mCount)
            {
                // Without a count nobody would ever delete it.
                delete object;
                return;
            }
            mObject = object;
        }
    }

    T* Get() const { return mObject; }
    T* operator->() const { return mObject; }
    T& operator*() const { return *mObject; }
    explicit operator bool() const { return mObject != nullptr; }
    int GetCount() const { return mCount ? *mCount : 0; }

private:
    T* mObject = nullptr;
    int* mCount = nullptr;
};

} // namespace base
