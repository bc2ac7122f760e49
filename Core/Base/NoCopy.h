#pragma once

namespace base
{

// A class deriving from NoCopy can be neither copied nor assigned.
class NoCopy
{
protected:
    NoCopy() = default;
    ~NoCopy() = default;

public:
    NoCopy(const NoCopy&) = delete;
    NoCopy& operator=(const NoCopy&) = delete;
};

} // namespace base
