#pragma once

#include "Core/Base/BWResult.h"
#include "Platform/Win32/Win32Types.h"

#include <cstdint>
#include <string>

namespace file
{

// One open file of the system. Access: 0 read, 1 write, 2 both. Creation:
// 0 always create, 1 create new only, 2 open existing only.
class FileHandleWin32
{
public:
    FileHandleWin32();
    virtual ~FileHandleWin32();

    BWResultEnum Open(const std::wstring& path, uint32_t access, uint32_t creation);
    BWResultEnum Close();
    BWResultEnum Read(void* buffer, uint32_t count, uint32_t* done);
    BWResultEnum Write(const void* buffer, uint32_t count, uint32_t* done);
    // A seek that fails leaves the position where it was and returns it.
    uint32_t Seek(int32_t offset, uint32_t origin);
    uint32_t GetSize();
    // Pushes written bytes to the disk, so that a later rename cannot expose
    // a file whose contents are still in flight.
    BWResultEnum Flush();

    bool IsOpen() const { return mHandle != INVALID_HANDLE_VALUE; }
    const std::wstring& GetPath() const { return mPath; }

private:
    FileHandleWin32(const FileHandleWin32&) = delete;
    FileHandleWin32& operator=(const FileHandleWin32&) = delete;

    HANDLE mHandle;
    std::wstring mPath;
};

} // namespace file
