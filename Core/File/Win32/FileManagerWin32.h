#pragma once

#include "Core/File/FileContainer.h"

namespace file
{

// The real file system; relative paths resolve against the current directory.
class FileManagerWin32 : public FileContainer
{
public:
    FileManagerWin32();
    ~FileManagerWin32() override;

    base::Stream* OpenStream(const std::wstring& path) override;
    base::StreamCreator* CreateStreamCreator(const std::wstring& path) override;
    std::wstring GetRootPath() override;

    BWResultEnum DoFindFiles(const std::wstring& prefix, const std::wstring& folder, const std::wstring& subfolder,
                             bool recursive, std::vector<std::wstring>& out, bool relative) override;
    BWResultEnum DoFindDirectories(const std::wstring& prefix, const std::wstring& folder,
                                   const std::wstring& subfolder, std::vector<std::wstring>& out,
                                   bool relative) override;
    bool DoFileExists(const std::wstring& path, const wchar_t* const* extensions, uint32_t count,
                      uint32_t* outIndex) override;
    bool DoIsDirectory(const std::wstring& path) override;
    bool DoFindFile(const std::wstring& path, base::Stream** opened) override;
};

// One system call each: 0 when it succeeded, 1 when it failed.
BWResultEnum SetCurrentDirectory(const std::wstring& path);
BWResultEnum DeleteFile(const std::wstring& path);
BWResultEnum CreateDirectory(const std::wstring& path);
// Renames a file; fails when to already exists.
BWResultEnum RenameFile(const std::wstring& from, const std::wstring& to);
// Renames over an existing file in one step, so readers see either the old
// file or the new one, never a half-written one.
BWResultEnum ReplaceFile(const std::wstring& from, const std::wstring& to);

} // namespace file
