#include "Core/File/FileInfo.h"

#include "Core/File/Container.h"

namespace file
{

FileInfo::FileInfo(const std::wstring& name, const std::wstring& fullPath, Container* container, uint8_t flag)
    : mName(name), mFullPath(fullPath), mContainer(container), mFlag(flag)
{
}

FileInfo::~FileInfo() = default;

base::Stream* FileInfo::Open()
{
    return mContainer ? mContainer->OpenStream(mFullPath) : nullptr;
}

} // namespace file
