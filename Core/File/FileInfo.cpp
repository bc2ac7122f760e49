#include "Core/File/FileInfo.h"

#include "Core/Base/Stream.h"
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
    if (mOpened)
        return mOpened.release();
    return mContainer ? mContainer->OpenStream(mFullPath) : nullptr;
}

void FileInfo::SetOpened(base::Stream* stream)
{
    mOpened.reset(stream);
}

} // namespace file
