#include "Core/File/Win32/FileManagerWin32.h"

#include "Core/Base/FileStream.h"
#include "Core/Base/StreamCreator.h"
#include "Platform/Win32/Win32File.h"

#include <algorithm>
#include <memory>

namespace file
{
namespace
{

// An exact attribute query: unlike a find, it takes '*' and '?' literally.
DWORD AttributesOf(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str());
}

bool IsFile(const std::wstring& path)
{
    DWORD attributes = AttributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Folder links can form loops; no real data tree is this deep.
const size_t kMaxDepth = 64;

bool IsDot(const wchar_t* name)
{
    return name[0] == 0 || (name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0)));
}

} // namespace

FileManagerWin32::FileManagerWin32() = default;

FileManagerWin32::~FileManagerWin32() = default;

base::Stream* FileManagerWin32::OpenStream(const std::wstring& path)
{
    base::FileStream* stream = new base::FileStream;
    if (stream->Open(path, 0, 2) != BW_OK)
    {
        delete stream;
        return nullptr;
    }
    return stream;
}

base::StreamCreator* FileManagerWin32::CreateStreamCreator(const std::wstring& path)
{
    return new base::FileStreamCreator(path, 0, 2);
}

std::wstring FileManagerWin32::GetRootPath()
{
    return std::wstring();
}

BWResultEnum FileManagerWin32::DoFindFiles(const std::wstring& prefix, const std::wstring& folder,
                                           const std::wstring& subfolder, bool recursive,
                                           std::vector<std::wstring>& out, bool relative)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + subfolder + L"*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return BW_OK;
    do
    {
        if (IsDot(data.cFileName))
            continue;
        std::wstring name = data.cFileName;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        {
            if (recursive && static_cast<size_t>(std::count(subfolder.begin(), subfolder.end(), L'/')) < kMaxDepth)
                DoFindFiles(prefix, folder, subfolder + name + L"/", recursive, out, relative);
        }
        else
        {
            out.push_back(relative ? subfolder + name : prefix + subfolder + name);
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return BW_OK;
}

BWResultEnum FileManagerWin32::DoFindDirectories(const std::wstring& prefix, const std::wstring& folder,
                                                 const std::wstring& subfolder, std::vector<std::wstring>& out,
                                                 bool relative)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + subfolder + L"*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return BW_OK;
    do
    {
        if (IsDot(data.cFileName) || !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            continue;
        std::wstring name = data.cFileName;
        out.push_back(relative ? subfolder + name : prefix + subfolder + name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return BW_OK;
}

bool FileManagerWin32::DoFileExists(const std::wstring& path, const wchar_t* const* extensions, uint32_t count,
                                    uint32_t* outIndex)
{
    if (count == 0)
        return IsFile(path);
    for (uint32_t i = 0; i < count; ++i)
    {
        if (IsFile(path + extensions[i]))
        {
            if (outIndex)
                *outIndex = i;
            return true;
        }
    }
    return false;
}

bool FileManagerWin32::DoIsDirectory(const std::wstring& path)
{
    DWORD attributes = AttributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileManagerWin32::DoFindFile(const std::wstring& path, base::Stream** opened)
{
    // Files are looked up to be read: opening answers whether the file is
    // there and saves the reader a second walk down the path.
    *opened = nullptr;
    auto stream = std::make_unique<base::FileStream>();
    if (stream->Open(path, 0, 2) == BW_OK)
    {
        *opened = stream.release();
        return true;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
        return false;
    // Folders and files that cannot be opened are told apart as before.
    return DoFileExists(path, nullptr, 0, nullptr);
}

BWResultEnum SetCurrentDirectory(const std::wstring& path)
{
    return SetCurrentDirectoryW(path.c_str()) ? BW_OK : BW_FAIL;
}

BWResultEnum DeleteFile(const std::wstring& path)
{
    return DeleteFileW(path.c_str()) ? BW_OK : BW_FAIL;
}

BWResultEnum CreateDirectory(const std::wstring& path)
{
    return CreateDirectoryW(path.c_str(), nullptr) ? BW_OK : BW_FAIL;
}

BWResultEnum RenameFile(const std::wstring& from, const std::wstring& to)
{
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH) ? BW_OK : BW_FAIL;
}

BWResultEnum ReplaceFile(const std::wstring& from, const std::wstring& to)
{
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ? BW_OK
                                                                                                     : BW_FAIL;
}

} // namespace file
