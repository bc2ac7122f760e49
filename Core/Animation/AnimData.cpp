#include "Core/Animation/AnimData.h"

#include "Core/Base/Log.h"
#include "Core/Base/Stream.h"
#include "Core/File/FileInfo.h"
#include "Core/File/FileManager.h"
#include "Core/File/TextFile.h"
#include "Core/Resource/ResourceManager.h"

#include <memory>

namespace animation
{

const wchar_t* const AnimData::kExtension = L".scn";

AnimData::AnimData() = default;

AnimData::~AnimData() = default;

BWResultEnum AnimData::Release()
{
    // After the manager is gone its maps are too: nothing holds this one.
    resource::ResourceManager* manager = resource::ResourceManager::GetInstance();
    return manager ? manager->ReleaseCounted(manager->GetAnimDataMap(), this) : BW_OK;
}

BWResultEnum AnimData::DoLoad()
{
    const std::wstring path = GetName() + kExtension;
    file::FileManager* files = file::FileManager::Instance();
    std::unique_ptr<file::FileInfo> info(files ? files->GetFileInfo(path) : nullptr);
    if (!info)
    {
        BW_LOG(L"Animation data '%s' not found.\n") % path;
        return BW_FAIL;
    }
    std::unique_ptr<base::Stream> stream(info->Open());
    const uint32_t size = stream ? stream->GetSize() : 0;
    if (stream && size > kMaxBytes)
    {
        BW_LOG(L"Animation data '%s' is larger than %u bytes.\n") % path % kMaxBytes;
        return BW_FAIL;
    }
    std::string data;
    if (!stream || !file::ReadWholeStream(stream.get(), &data) || data.empty())
    {
        BW_LOG(L"Animation data '%s' cannot be read or is empty.\n") % path;
        return BW_FAIL;
    }
    mData.swap(data);
    return BW_OK;
}

BWResultEnum AnimData::DoUnLoad()
{
    std::string().swap(mData);
    return BW_OK;
}

} // namespace animation
