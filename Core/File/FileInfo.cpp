#include "Core/File/FileInfo.h"

#include "Core/File/FileContainer.h"

namespace file
{

FileInfo::FileInfo(const std::wstring& name, const std::wstring& fullPath, FileContainer* container, uint8_t flag)
    : mName(name), mFullPath(fullPath), mContainer(container), mFlag(flag)
{
}

FileInfo::~FileInfo() = default;

base::Stream* FileInfo::Open()
{
    return mContainer ? mContainer->OpenStream(mFullPath) : nullptr;
}

} // namespace file
