#pragma once

namespace resource
{

class Resource;

// A counted reference to a resource. When the last handle lets go, the
// resource's Release hands it back to the resource manager.
class ResourceHandle
{
public:
    ResourceHandle();
    // Adopts one count that the caller has already taken.
    ResourceHandle(Resource* resource, int* count);
    ResourceHandle(const ResourceHandle& other);
    ResourceHandle& operator=(const ResourceHandle& other);
    ~ResourceHandle();

    void Reset();

    Resource* Get() const { return mResource; }
    int* GetCount() const { return mCount; }

private:
    Resource* mResource;
    int* mCount;
};

} // namespace resource
