#pragma once

#include "Core/Base/NoCopy.h"

#include <cstddef>
#include <utility>
#include <vector>

namespace base
{

class SingletoneBase;

// Knows every live singleton and tears them down at process exit, each before
// the singletons it depends on, and the one marked to stay last (the main log)
// after all others. The process has one registry, created on first use, whose
// teardown runs from the C runtime's exit list and ends by shutting SDL down.
class SingletonRegistry : private NoCopy
{
public:
    SingletonRegistry();
    ~SingletonRegistry();

    // The registry new singletons join: the process's own, unless a test has
    // installed another with SetCurrent.
    static SingletonRegistry& Get();
    static void SetCurrent(SingletonRegistry* registry);

    // a is destroyed before b, whatever their construction order. Both must
    // be registered singletons; a pair naming anything else is ignored.
    static void AddPair(SingletoneBase* a, SingletoneBase* b);

    void Register(SingletoneBase* singleton);
    // Called by a singleton that goes before teardown; its entry is cleared.
    void Unregister(SingletoneBase* singleton);
    void AddDependencyPair(SingletoneBase* a, SingletoneBase* b);
    // The singleton that is destroyed after every other one.
    void KeepLast(SingletoneBase* singleton);

    // Orders the live singletons so that each stands before the ones it
    // depends on and before the second member of each of its pairs.
    void SortByDependencies();
    // Sorts, then destroys every singleton, first entry first. From the start
    // of the teardown no singleton is created any more.
    void ReleaseAll();

    bool IsReleasing() const { return mReleasing; }
    const std::vector<SingletoneBase*>& GetSingletons() const { return mSingletons; }

private:
    size_t Find(const SingletoneBase* singleton) const;
    bool SortPass();

    std::vector<SingletoneBase*> mSingletons;
    std::vector<std::pair<SingletoneBase*, SingletoneBase*>> mPairs;
    SingletoneBase* mLast = nullptr;
    bool mReleasing = false;
};

} // namespace base
