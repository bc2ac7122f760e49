#pragma once

// Reference counting shared by everything a device makes. Two kinds of
// reference keep an object alive:
//  - the caller's (AddRef/Release), which also keep the device alive, as
//    Direct3D's device children do;
//  - holds, taken by the device for what is bound to it and by a texture's
//    surfaces on their texture. They never count as the caller's, so Reset
//    and the live-object counts see only what the caller holds.
// When both reach zero the object is Dead(): a resource deletes itself, a
// surface lets go of its texture (the texture or the device deletes it).

#include "Platform/D3D9/D3D9.h"
#include "Platform/D3D9/Hooks.h"

namespace d3d9
{

class Device;
void AddDeviceReference(Device* device);
void ReleaseDeviceReference(Device* device);

template <class Interface>
class DeviceChild : public Interface
{
public:
    ULONG AddRef() final
    {
        if (mReferences++ == 0)
        {
            AddDeviceReference(mDevice);
            if (mHolds == 0)
                Revived();
        }
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
        {
            Device* device = mDevice;
            if (mHolds == 0)
                Dead(); // may delete this
            ReleaseDeviceReference(device);
        }
        return left;
    }

    void Hold()
    {
        if (mHolds++ == 0 && mReferences == 0)
            Revived();
    }

    void Unhold()
    {
        if (--mHolds == 0 && mReferences == 0)
            Dead(); // may delete this
    }

    Device* GetOwnerDevice() const { return mDevice; }
    ULONG References() const { return mReferences; }

protected:
    // references 1 hands the creator its reference (and takes one on the
    // device); surfaces start at 0.
    DeviceChild(Device* device, ULONG references) : mDevice(device), mReferences(references)
    {
        if (references > 0)
            AddDeviceReference(device);
    }
    ~DeviceChild() override = default;

    virtual void Revived() {}
    virtual void Dead() { delete this; }

    Device* mDevice;

private:
    ULONG mReferences;
    ULONG mHolds = 0;
};

// Binds value into a device slot: holds the new object, then lets go of the
// old one (which may be the last thing keeping it alive).
template <class T>
void Rebind(T*& slot, T* value)
{
    if (slot == value)
        return;
    if (value)
        value->Hold();
    T* old = slot;
    slot = value;
    if (old)
        old->Unhold();
}

} // namespace d3d9
