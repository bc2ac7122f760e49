#pragma once

// Lazily created global services, torn down at exit by the registry in
// dependency order:
//
//   class Profiles : public base::Singletone<Profiles>
//   {
//       std::vector<base::SingletoneBase*> GetDependencies() override
//       {
//           return {UserDataFileContainer::Instance()};  // must outlive us
//       }
//   };
//   Profiles* profiles = Profiles::Instance();

#include "Core/Base/NoCopy.h"
#include "Core/Base/SingletonRegistry.h"

#include <new>
#include <vector>

namespace base
{

class SingletoneBase : private NoCopy
{
public:
    // Joins the current registry.
    SingletoneBase();
    // Leaves the registry when deleted by anyone else than the registry.
    virtual ~SingletoneBase();

    // The singletons that must outlive this one.
    virtual std::vector<SingletoneBase*> GetDependencies();

private:
    friend class SingletonRegistry;
    SingletonRegistry* mRegistry;
};

template <class T>
class Singletone : public SingletoneBase
{
public:
    // The instance, created on first use. Null when the allocation fails
    // (the next call tries again), and null for good once the instance has
    // been torn down or the teardown has begun.
    static T* Instance();
    // The instance pointer as it stands; never creates.
    static T* GetInstance() { return sInstance; }
    // For classes whose creation function does not store the pointer itself.
    static void SetInstance(T* instance)
    {
        sInstance = instance;
        sSelf = instance;
    }
    static bool IsTornDown() { return sTornDown; }

protected:
    Singletone() = default;
    ~Singletone() override
    {
        // Another object of the class going away leaves the instance alone.
        if (sSelf != this)
            return;
        sInstance = nullptr;
        sSelf = nullptr;
        sTornDown = true;
    }

private:
    static T* sInstance;
    // The instance as its Singletone base, taken while it is whole: the
    // destructor cannot cast this back to T once T's part is gone.
    static Singletone* sSelf;
    static bool sTornDown;
};

template <class T>
T* Singletone<T>::sInstance = nullptr;
template <class T>
Singletone<T>* Singletone<T>::sSelf = nullptr;
template <class T>
bool Singletone<T>::sTornDown = false;

template <class T>
T* Singletone<T>::Instance()
{
    if (!sInstance && !sTornDown && !SingletonRegistry::Get().IsReleasing())
    {
        try
        {
            sInstance = new T;
            sSelf = sInstance;
        }
        catch (const std::bad_alloc&)
        {
            sInstance = nullptr;
        }
    }
    return sInstance;
}

} // namespace base
