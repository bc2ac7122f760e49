#include "Core/Base/FileStream.h"

namespace base
{

FileStream::FileStream() = default;

FileStream::~FileStream() = default;

BWResultEnum FileStream::Open(const std::wstring& path, uint32_t access, uint32_t creation)
{
    return mFile.Open(path, access, creation);
}

BWResultEnum FileStream::Close()
{
    return mFile.Close();
}

BWResultEnum FileStream::Flush()
{
    return mFile.Flush();
}

uint32_t FileStream::GetSize()
{
    return mFile.GetSize();
}

uint32_t FileStream::Read(void* buffer, uint32_t count)
{
    uint32_t done = 0;
    return mFile.Read(buffer, count, &done) == BW_OK ? done : 0;
}

uint32_t FileStream::Write(const void* buffer, uint32_t count)
{
    uint32_t done = 0;
    return mFile.Write(buffer, count, &done) == BW_OK ? done : 0;
}

uint32_t FileStream::Seek(int32_t offset, uint32_t origin)
{
    return mFile.Seek(offset, origin);
}

} // namespace base
