#pragma once

#include "Core/Animation/AnimData.h"
#include "Core/Base/BWResult.h"
#include "Core/Base/Singletone.h"
#include "Core/Lightwave/MeshLibrary.h"
#include "Core/Resource/Resource.h"
#include "Core/Resource/ResourceHandle.h"

#include <list>
#include <map>
#include <new>
#include <string>

namespace render
{
class BMFont;
} // namespace render

namespace resource
{

// Owns one kind's map; destroying it frees the map (not the resources in it).
class Destroyer
{
public:
    virtual ~Destroyer();
};

template <class Kind, class Value = Kind*>
class MapDestroyer : public Destroyer
{
public:
    typedef std::map<std::wstring, Value> Map;

    // slot is the accessor's pointer to the map; it is cleared with the map,
    // so a later accessor call starts a fresh one.
    explicit MapDestroyer(Map** slot) : mSlot(slot) {}
    ~MapDestroyer() override
    {
        if (*mSlot)
            (*mSlot)->clear();
        delete *mSlot;
        *mSlot = nullptr;
    }

private:
    Map** mSlot;
};

// A resource shared through counted handles, as the map of such a kind holds it.
struct CountedResource
{
    Resource* resource;
    int* count;
};

// Owns every resource map, one per kind, keyed by name. Shaders and sounds
// are held by pointer; textures, fonts, animation data and mesh libraries
// through counted handles.
class ResourceManager : public base::Singletone<ResourceManager>
{
public:
    typedef std::map<std::wstring, CountedResource> CountedMap;

    ResourceManager();
    // Frees every map, in the order they were first used.
    ~ResourceManager() override;

    static ResourceManager* Create();

    // The map of a kind, created (and given a destroyer) on first use.
    template <class Kind, class Value = Kind*>
    std::map<std::wstring, Value>& GetMap();

    CountedMap& GetAnimDataMap() { return GetMap<animation::AnimData, CountedResource>(); }

    // The named animation data with one more count; created empty (named,
    // not loaded) when absent. The empty handle when naming fails.
    template <class Kind = animation::AnimData>
    ResourceHandle GetAnimData(const std::wstring& name)
    {
        return GetCounted<Kind>(GetAnimDataMap(), name);
    }

    // Mesh libraries by name (the file without ".lib").
    CountedMap& GetMeshLibraryMap() { return GetMap<lightwave::MeshLibrary, CountedResource>(); }

    // The named mesh library with one more count; created empty (named, not
    // loaded) when absent. The empty handle when naming fails.
    template <class Kind = lightwave::MeshLibrary>
    ResourceHandle GetMeshLibrary(const std::wstring& name)
    {
        return GetCounted<Kind>(GetMeshLibraryMap(), name);
    }

    // Bitmap fonts by path, shared through counted handles.
    CountedMap& GetBMFontMap() { return GetMap<render::BMFont, CountedResource>(); }

    // The font of that path with one more count; created empty (named, not
    // loaded) when absent. The empty handle when naming fails.
    template <class Kind = render::BMFont>
    ResourceHandle GetBMFont(const std::wstring& name)
    {
        return GetCounted<Kind>(GetBMFontMap(), name);
    }

    template <class Kind>
    ResourceHandle GetCounted(CountedMap& map, const std::wstring& name);

    // Takes a counted resource (found by its name) out of its map, unloads it
    // when loaded and deletes it with its count. An unloader failure is
    // returned and the resource stays; one not in the map is left alone.
    BWResultEnum ReleaseCounted(CountedMap& map, Resource* resource);

private:
    std::list<Destroyer*> mDestroyers;
};

template <class Kind, class Value>
std::map<std::wstring, Value>& ResourceManager::GetMap()
{
    // Heap-held behind a static pointer: the maps must outlive function-local
    // statics, since the manager frees them at exit.
    static std::map<std::wstring, Value>* map = nullptr;
    if (!map)
    {
        map = new std::map<std::wstring, Value>;
        mDestroyers.push_back(new MapDestroyer<Kind, Value>(&map));
    }
    return *map;
}

template <class Kind>
ResourceHandle ResourceManager::GetCounted(CountedMap& map, const std::wstring& name)
{
    auto found = map.find(name);
    if (found != map.end())
    {
        ++*found->second.count;
        return ResourceHandle(found->second.resource, found->second.count);
    }
    Kind* resource = new (std::nothrow) Kind;
    if (!resource)
        return ResourceHandle();
    if (resource->SetName(name) != BW_OK)
    {
        delete resource;
        return ResourceHandle();
    }
    int* count = new int(1);
    map[name] = CountedResource{resource, count};
    return ResourceHandle(resource, count);
}

} // namespace resource
