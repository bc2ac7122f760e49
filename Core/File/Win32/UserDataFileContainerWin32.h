#pragma once

#include "Core/File/FileContainer.h"

namespace file
{

// The per-user folder (profiles, log): every path is relative to its root.
// Queries go to the file manager with the root in front.
class UserDataFileContainerWin32 : public FileContainer
{
public:
    UserDataFileContainerWin32();
    ~UserDataFileContainerWin32() override;

    // Stores the root (normalised to end in one '/') and creates its folder chain.
    // 1 when the folder does not exist afterwards: files under it can then
    // be neither read nor written.
    BWResultEnum SetRootPath(const std::wstring& path);

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

private:
    std::wstring mRoot;
};

} // namespace file
