#pragma once

#include "Core/Base/BWResult.h"

#include <cstdint>
#include <string>

namespace resource
{

// A named asset that is loaded and unloaded explicitly, once each. Each kind
// (texture, sound, font, ...) supplies its loader and unloader and hands
// itself back to the resource manager when its last handle lets go.
class Resource
{
public:
    Resource();
    virtual ~Resource();

    // Removes the resource from its kind's map, unloads it when loaded and deletes it.
    virtual BWResultEnum Release() = 0;
    // Runs after the name changes.
    virtual BWResultEnum OnNameSet();
    virtual BWResultEnum DoLoad() = 0;
    virtual BWResultEnum DoUnLoad() = 0;

    // A second Load (or UnLoad) only writes a warning and answers 0; a
    // failing loader leaves the flag as it was and its answer is returned.
    BWResultEnum Load();
    BWResultEnum UnLoad();
    BWResultEnum SetName(const std::wstring& name);

    const std::wstring& GetName() const { return mName; }
    bool IsLoaded() const { return mLoaded != 0; }

protected:
    // For a kind whose objects are made ready to use.
    void SetLoaded(bool loaded) { mLoaded = loaded ? 1 : 0; }

private:
    Resource(const Resource&) = delete;
    Resource& operator=(const Resource&) = delete;

    std::wstring mName;
    uint8_t mLoaded;
};

} // namespace resource
