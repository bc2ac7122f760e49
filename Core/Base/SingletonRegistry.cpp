#include "Core/Base/SingletonRegistry.h"

#include "Core/Base/Singletone.h"
#include "Platform/Win32/SdlGlue.h"
#include "Platform/Win32/Win32Kernel.h"

#include <algorithm>
#include <cstdlib>

namespace base
{

namespace
{

// Heap objects behind plain pointers: the teardown runs from the exit list,
// after function-local statics created later are already gone.
SingletonRegistry* gProcessRegistry = nullptr;
SingletonRegistry* gCurrentRegistry = nullptr;

void ReleaseProcessSingletons()
{
    gProcessRegistry->ReleaseAll();
    // SDL goes after every singleton, the main log included.
    win32::ShutdownSdl();
}

SingletonRegistry& ProcessRegistry()
{
    if (!gProcessRegistry)
    {
        gProcessRegistry = new SingletonRegistry;
        std::atexit(&ReleaseProcessSingletons);
    }
    return *gProcessRegistry;
}

} // namespace

SingletoneBase::SingletoneBase() : mRegistry(&SingletonRegistry::Get())
{
    mRegistry->Register(this);
}

SingletoneBase::~SingletoneBase()
{
    if (mRegistry)
        mRegistry->Unregister(this);
}

std::vector<SingletoneBase*> SingletoneBase::GetDependencies()
{
    return {};
}

SingletonRegistry::SingletonRegistry() = default;

SingletonRegistry::~SingletonRegistry()
{
    for (SingletoneBase* singleton : mSingletons)
        if (singleton)
            singleton->mRegistry = nullptr;
}

SingletonRegistry& SingletonRegistry::Get()
{
    return gCurrentRegistry ? *gCurrentRegistry : ProcessRegistry();
}

void SingletonRegistry::SetCurrent(SingletonRegistry* registry)
{
    gCurrentRegistry = registry;
}

void SingletonRegistry::AddPair(SingletoneBase* a, SingletoneBase* b)
{
    Get().AddDependencyPair(a, b);
}

void SingletonRegistry::Register(SingletoneBase* singleton)
{
    mSingletons.push_back(singleton);
}

void SingletonRegistry::Unregister(SingletoneBase* singleton)
{
    std::replace(mSingletons.begin(), mSingletons.end(), singleton, static_cast<SingletoneBase*>(nullptr));
    for (auto& pair : mPairs)
    {
        if (pair.first == singleton)
            pair.first = nullptr;
        if (pair.second == singleton)
            pair.second = nullptr;
    }
    if (mLast == singleton)
        mLast = nullptr;
}

void SingletonRegistry::AddDependencyPair(SingletoneBase* a, SingletoneBase* b)
{
    mPairs.emplace_back(a, b);
}

void SingletonRegistry::KeepLast(SingletoneBase* singleton)
{
    mLast = singleton;
}

size_t SingletonRegistry::Find(const SingletoneBase* singleton) const
{
    auto it = std::find(mSingletons.begin(), mSingletons.end(), singleton);
    return static_cast<size_t>(it - mSingletons.begin());
}

// One pass of the ordering; answers whether anything moved.
bool SingletonRegistry::SortPass()
{
    for (size_t p = 0; p < mSingletons.size(); ++p)
    {
        SingletoneBase* singleton = mSingletons[p];
        if (!singleton)
            continue;
        for (SingletoneBase* dependency : singleton->GetDependencies())
        {
            if (!dependency)
                continue;
            size_t q = Find(dependency);
            if (q < p)
            {
                std::swap(mSingletons[p], mSingletons[q]);
                return true;
            }
        }
    }
    bool changed = false;
    for (const auto& pair : mPairs)
    {
        // A pair naming something unregistered would index past the end.
        size_t a = pair.first ? Find(pair.first) : mSingletons.size();
        size_t b = pair.second ? Find(pair.second) : mSingletons.size();
        if (a == mSingletons.size() || b == mSingletons.size())
            continue;
        if (b < a)
        {
            std::swap(mSingletons[a], mSingletons[b]);
            changed = true;
        }
    }
    return changed;
}

void SingletonRegistry::SortByDependencies()
{
    // An acyclic relation settles within this many passes; a cycle would
    // otherwise swap forever.
    const size_t n = mSingletons.size() + mPairs.size() + 1;
    const size_t maxPasses = 16 + 4 * n * n;
    for (size_t pass = 0; pass < maxPasses; ++pass)
        if (!SortPass())
            return;
    OutputDebugStringW(L"Singleton dependencies form a cycle; tearing down in the current order.\n");
}

void SingletonRegistry::ReleaseAll()
{
    if (mReleasing)
        return;
    mReleasing = true;
    SortByDependencies();
    while (!mSingletons.empty())
    {
        SingletoneBase* singleton = mSingletons.front();
        if (singleton && singleton == mLast && mSingletons.size() > 1)
        {
            // The last one waits until everything else is gone.
            mSingletons.erase(mSingletons.begin());
            mSingletons.push_back(singleton);
            continue;
        }
        mSingletons.erase(mSingletons.begin());
        if (singleton)
        {
            singleton->mRegistry = nullptr;
            delete singleton;
        }
    }
    mSingletons = std::vector<SingletoneBase*>();
    mPairs = std::vector<std::pair<SingletoneBase*, SingletoneBase*>>();
    mLast = nullptr;
}

} // namespace base
