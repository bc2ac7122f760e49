#pragma once

#include "Core/Base/Stream.h"
#include "Core/File/Win32/FileHandleWin32.h"

namespace base
{

// A stream over one system file. There is no end-of-file flag: readers go by
// the counts.
class FileStream : public Stream
{
public:
    FileStream();
    ~FileStream() override;

    BWResultEnum Open(const std::wstring& path, uint32_t access, uint32_t creation);
    BWResultEnum Close();
    BWResultEnum Flush();

    uint32_t GetSize() override;
    uint32_t Read(void* buffer, uint32_t count) override;
    uint32_t Write(const void* buffer, uint32_t count) override;
    uint32_t Seek(int32_t offset, uint32_t origin) override;

private:
    file::FileHandleWin32 mFile;
};

} // namespace base
