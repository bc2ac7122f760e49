#pragma once

// Reference counting of the objects no device owns: the Direct3D object and
// its devices. Besides the caller's references (logged when tracing) there
// are internal ones, taken by a device on its Direct3D object and by its
// children on the device, which keep the object alive without being the
// caller's.

#include "Platform/D3D9/D3D9.h"
#include "Platform/D3D9/Hooks.h"

namespace d3d9
{

template <class Interface>
class CountedObject : public Interface
{
public:
    ULONG AddRef() final
    {
        ++mReferences;
        if (hooks::gTracing)
            hooks::LogReferenceCount(test::Call::AddRef, this, mReferences);
        return mReferences;
    }

    ULONG Release() final
    {
        if (mReferences == 0)
            return 0; // a release too many is ignored rather than corrupting the count
        const ULONG left = --mReferences;
        if (hooks::gTracing)
            hooks::LogReferenceCount(test::Call::Release, this, left);
        if (left == 0)
            delete this;
        return left;
    }

    void AddReferenceInternal() { ++mReferences; }

    void ReleaseReferenceInternal()
    {
        if (mReferences > 0 && --mReferences == 0)
            delete this;
    }

protected:
    CountedObject() = default;
    ~CountedObject() override = default;

private:
    // The creator's reference.
    ULONG mReferences = 1;
};

} // namespace d3d9
