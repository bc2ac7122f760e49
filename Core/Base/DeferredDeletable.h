#pragma once

namespace base
{

// An object that is deleted at a safe point of the frame rather than by the
// code that decided to delete it (a button whose click closes its own dialog).
class DeferredDeletable
{
public:
    virtual ~DeferredDeletable() = default;
};

} // namespace base
