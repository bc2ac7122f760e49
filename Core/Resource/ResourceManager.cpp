#include "Core/Resource/ResourceManager.h"

namespace resource
{

Destroyer::~Destroyer() = default;

ResourceManager::ResourceManager() = default;

ResourceManager::~ResourceManager()
{
    for (Destroyer* destroyer : mDestroyers)
        delete destroyer;
    mDestroyers.clear();
}

ResourceManager* ResourceManager::Create()
{
    return new (std::nothrow) ResourceManager;
}

BWResultEnum ResourceManager::ReleaseCounted(CountedMap& map, Resource* resource)
{
    auto found = map.find(resource->GetName());
    if (found == map.end() || found->second.resource != resource)
        return BW_OK;
    if (resource->IsLoaded())
    {
        // Kept on failure, so that a later release can try again.
        const BWResultEnum result = resource->UnLoad();
        if (result != BW_OK)
            return result;
    }
    int* count = found->second.count;
    map.erase(found);
    delete count;
    delete resource;
    return BW_OK;
}

} // namespace resource
