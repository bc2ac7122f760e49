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
    for (auto it = map.begin(); it != map.end(); ++it)
    {
        if (it->second.resource != resource)
            continue;
        int* count = it->second.count;
        map.erase(it);
        delete count;
        BWResultEnum result = resource->IsLoaded() ? resource->UnLoad() : BW_OK;
        delete resource;
        return result;
    }
    return BW_OK;
}

} // namespace resource
