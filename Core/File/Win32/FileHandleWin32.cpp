#include "Core/File/Win32/FileHandleWin32.h"

#include "Platform/Win32/Win32File.h"
#include "Platform/Win32/Win32Kernel.h"

namespace file
{

FileHandleWin32::FileHandleWin32() : mHandle(INVALID_HANDLE_VALUE)
{
}

FileHandleWin32::~FileHandleWin32()
{
    if (IsOpen())
        Close();
}

BWResultEnum FileHandleWin32::Open(const std::wstring& path, uint32_t access, uint32_t creation)
{
    // Reopening must not leak the handle already held.
    if (IsOpen())
        Close();
    mPath = path;
    DWORD rights = 0;
    DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
    switch (access)
    {
    case 0:
        rights = GENERIC_READ;
        break;
    case 1:
        rights = GENERIC_WRITE;
        break;
    case 2:
        rights = GENERIC_READ | GENERIC_WRITE;
        break;
    default:
        share = 0;
        break;
    }
    DWORD disposition = creation == 0 ? CREATE_ALWAYS : creation == 1 ? CREATE_NEW : creation == 2 ? OPEN_EXISTING : 0;
    mHandle = CreateFileW(path.c_str(), rights, share, nullptr, disposition, 0, nullptr);
    return IsOpen() ? BW_OK : BW_FAIL;
}

BWResultEnum FileHandleWin32::Close()
{
    if (!IsOpen() || !CloseHandle(mHandle))
        return BW_FAIL;
    mHandle = INVALID_HANDLE_VALUE;
    mPath.clear();
    return BW_OK;
}

BWResultEnum FileHandleWin32::Read(void* buffer, uint32_t count, uint32_t* done)
{
    DWORD moved = 0;
    if (!ReadFile(mHandle, buffer, count, &moved, nullptr))
        return BW_FAIL;
    if (done)
        *done = moved;
    return BW_OK;
}

BWResultEnum FileHandleWin32::Write(const void* buffer, uint32_t count, uint32_t* done)
{
    DWORD moved = 0;
    if (!WriteFile(mHandle, buffer, count, &moved, nullptr))
        return BW_FAIL;
    if (done)
        *done = moved;
    return BW_OK;
}

uint32_t FileHandleWin32::Seek(int32_t offset, uint32_t origin)
{
    DWORD method = origin == 0 ? FILE_BEGIN : origin == 1 ? FILE_CURRENT : FILE_END;
    SetLastError(ERROR_SUCCESS);
    DWORD position = SetFilePointer(mHandle, offset, nullptr, method);
    if (GetLastError() == ERROR_SUCCESS)
        return position;
    return SetFilePointer(mHandle, 0, nullptr, FILE_CURRENT);
}

uint32_t FileHandleWin32::GetSize()
{
    if (!IsOpen())
        return 0;
    // A file of 4 GiB or more reports the largest size rather than its size
    // modulo 4 GiB, which a whole-file read would take for the whole file.
    DWORD high = 0;
    DWORD low = GetFileSize(mHandle, &high);
    return high ? 0xFFFFFFFFu : low;
}

BWResultEnum FileHandleWin32::Flush()
{
    return IsOpen() && FlushFileBuffers(mHandle) ? BW_OK : BW_FAIL;
}

} // namespace file
