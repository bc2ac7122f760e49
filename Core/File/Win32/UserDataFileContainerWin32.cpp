#include "Core/File/Win32/UserDataFileContainerWin32.h"

#include "Core/Base/FileStream.h"
#include "Core/Base/Log.h"
#include "Core/Base/StreamCreator.h"
#include "Core/File/FileManager.h"
#include "Core/File/Path.h"

namespace file
{

UserDataFileContainerWin32::UserDataFileContainerWin32() = default;

UserDataFileContainerWin32::~UserDataFileContainerWin32() = default;

BWResultEnum UserDataFileContainerWin32::SetRootPath(const std::wstring& path)
{
    mRoot = NormalizeFolderPath(path);
    if (EnsureFolder(path) != BW_OK)
    {
        BW_LOG(L"User data folder '%s' cannot be created; profiles and the log will not be saved.\n") % path;
        return BW_FAIL;
    }
    return BW_OK;
}

base::Stream* UserDataFileContainerWin32::OpenStream(const std::wstring& path)
{
    base::FileStream* stream = new base::FileStream;
    if (stream->Open(mRoot + path, 0, 2) != BW_OK)
    {
        delete stream;
        return nullptr;
    }
    return stream;
}

base::StreamCreator* UserDataFileContainerWin32::CreateStreamCreator(const std::wstring& path)
{
    return new base::FileStreamCreator(mRoot + path, 0, 2);
}

std::wstring UserDataFileContainerWin32::GetRootPath()
{
    return mRoot;
}

BWResultEnum UserDataFileContainerWin32::DoFindFiles(const std::wstring& prefix, const std::wstring& /*folder*/,
                                                     const std::wstring& /*subfolder*/, bool recursive,
                                                     std::vector<std::wstring>& out, bool relative)
{
    FileManager* manager = FileManager::Instance();
    if (manager)
        manager->FindFiles(mRoot + prefix, recursive, out, relative);
    return BW_OK;
}

BWResultEnum UserDataFileContainerWin32::DoFindDirectories(const std::wstring& prefix,
                                                           const std::wstring& /*folder*/,
                                                           const std::wstring& /*subfolder*/,
                                                           std::vector<std::wstring>& out, bool relative)
{
    FileManager* manager = FileManager::Instance();
    if (manager)
        manager->FindDirectories(mRoot + prefix, out, relative);
    return BW_OK;
}

bool UserDataFileContainerWin32::DoFileExists(const std::wstring& path, const wchar_t* const* extensions,
                                              uint32_t count, uint32_t* outIndex)
{
    FileManager* manager = FileManager::Instance();
    return manager && manager->FileExists(mRoot + path, extensions, count, outIndex);
}

bool UserDataFileContainerWin32::DoIsDirectory(const std::wstring& path)
{
    FileManager* manager = FileManager::Instance();
    return manager && manager->IsDirectory(mRoot + path);
}

} // namespace file
