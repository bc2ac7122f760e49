#pragma once

#include "Core/Base/BWResult.h"
#include "Core/Resource/Resource.h"

#include <cstdint>
#include <string>

namespace animation
{

// The animation data of one scene file, "<name>.scn", read whole through the
// file manager (so from the pack when one is mounted). Made empty and named
// by resource::ResourceManager::GetAnimData; shared through counted handles.
class AnimData : public resource::Resource
{
public:
    // Files above this size are refused rather than read.
    static constexpr uint32_t kMaxBytes = 64u << 20;
    static const wchar_t* const kExtension;

    AnimData();
    ~AnimData() override;

    // Leaves the animation-data map, unloading and deleting itself; nothing
    // when the map does not hold it.
    BWResultEnum Release() override;
    // A missing, empty, oversized or unreadable file fails with a log record
    // and leaves no data.
    BWResultEnum DoLoad() override;
    BWResultEnum DoUnLoad() override;

    const std::string& GetData() const { return mData; }

private:
    std::string mData;
};

} // namespace animation
