#include "Core/Resource/ResourceHandle.h"

#include "Core/Resource/Resource.h"

namespace resource
{

ResourceHandle::ResourceHandle() : mResource(nullptr), mCount(nullptr)
{
}

ResourceHandle::ResourceHandle(Resource* resource, int* count) : mResource(resource), mCount(count)
{
}

ResourceHandle::ResourceHandle(const ResourceHandle& other) : mResource(other.mResource), mCount(other.mCount)
{
    if (mCount)
        ++*mCount;
}

ResourceHandle& ResourceHandle::operator=(const ResourceHandle& other)
{
    if (this != &other)
    {
        if (other.mCount)
            ++*other.mCount;
        Reset();
        mResource = other.mResource;
        mCount = other.mCount;
    }
    return *this;
}

ResourceHandle::~ResourceHandle()
{
    Reset();
}

void ResourceHandle::Reset()
{
    Resource* resource = mResource;
    int* count = mCount;
    mResource = nullptr;
    mCount = nullptr;
    if (count && --*count < 1 && resource)
        resource->Release();
}

} // namespace resource
