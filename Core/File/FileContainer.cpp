#include "Core/File/FileContainer.h"

#include "Core/File/Archiver.h"
#include "Core/File/FileInfo.h"
#include "Core/File/FileManager.h"
#include "Core/File/Path.h"
#include "Core/Psd/PsdFile.h"
#include "Core/Psd/PsdFolder.h"

namespace file
{

FileContainer::FileContainer() : mFlag(0)
{
}

FileContainer::~FileContainer()
{
    for (auto& entry : mArchives)
        delete entry.second;
    for (Archiver* archive : mDroppedArchives)
        delete archive;
}

void FileContainer::DropArchives()
{
    // File descriptions, layouts and their layers point at the pack they came
    // from: it stays, emptied, so that they find nothing rather than freed
    // memory or the rebuilt pack's bytes at the old offsets.
    for (auto& entry : mArchives)
    {
        entry.second->Empty();
        mDroppedArchives.push_back(entry.second);
    }
    mArchives.clear();
}

Archiver* FileContainer::GetArchiveFor(const std::wstring& path, std::wstring* rest)
{
    // Paths inside a pack are not mounted again: a pack holding an entry named
    // like itself would otherwise open itself without end.
    FileManager* manager = mFlag == 1 ? nullptr : FileManager::Instance();
    if (!manager)
        return nullptr;
    for (const auto& mount : manager->GetMountTable())
    {
        const std::wstring& prefix = mount.first;
        const std::wstring& packPath = mount.second;
        if (path.compare(0, prefix.size(), prefix) != 0 || !DoFileExists(packPath, nullptr, 0, nullptr))
            continue;
        auto cached = mArchives.find(packPath);
        if (cached == mArchives.end())
            cached = mArchives.emplace(packPath, new Archiver(prefix, packPath, this)).first;
        if (!cached->second->IsValid())
            continue;
        if (rest)
            *rest = path.substr(prefix.size());
        return cached->second;
    }
    return nullptr;
}

FileInfo* FileContainer::GetFileInfo(const std::wstring& path, const wchar_t* const* extensions, uint32_t count,
                                     uint32_t* outIndex)
{
    std::wstring rest;
    if (Archiver* archive = GetArchiveFor(path, &rest))
        return archive->GetFileInfo(rest, extensions, count, outIndex);
    if (count == 0)
    {
        base::Stream* opened = nullptr;
        if (!DoFindFile(path, &opened))
            return nullptr;
        if (outIndex)
            *outIndex = 0;
        FileInfo* info = new FileInfo(GetFileName(path), path, this, mFlag);
        info->SetOpened(opened);
        return info;
    }
    uint32_t index = 0;
    if (!DoFileExists(path, extensions, count, &index))
        return nullptr;
    if (outIndex)
        *outIndex = index;
    return new FileInfo(GetFileName(path), path + extensions[index], this, mFlag);
}

bool FileContainer::DoFindFile(const std::wstring& path, base::Stream** opened)
{
    *opened = nullptr;
    return DoFileExists(path, nullptr, 0, nullptr);
}

void FileContainer::FindFiles(const std::wstring& folder, bool recursive, std::vector<std::wstring>& out,
                              bool relative)
{
    std::wstring normalized = NormalizeFolderPath(folder);
    std::wstring rest;
    if (Archiver* archive = GetArchiveFor(normalized, &rest))
        archive->DoFindFiles(normalized, rest, std::wstring(), recursive, out, relative);
    else
        DoFindFiles(normalized, normalized, std::wstring(), recursive, out, relative);
}

void FileContainer::FindDirectories(const std::wstring& folder, std::vector<std::wstring>& out, bool relative)
{
    std::wstring normalized = NormalizeFolderPath(folder);
    std::wstring rest;
    if (Archiver* archive = GetArchiveFor(normalized, &rest))
        archive->DoFindDirectories(normalized, rest, std::wstring(), out, relative);
    else
        DoFindDirectories(normalized, normalized, std::wstring(), out, relative);
}

bool FileContainer::FileExists(const std::wstring& path, const wchar_t* const* extensions, uint32_t count,
                               uint32_t* outIndex)
{
    std::wstring rest;
    if (Archiver* archive = GetArchiveFor(path, &rest))
        return archive->FileExists(rest, extensions, count, outIndex);
    return DoFileExists(path, extensions, count, outIndex);
}

bool FileContainer::IsDirectory(const std::wstring& path)
{
    std::wstring rest;
    if (Archiver* archive = GetArchiveFor(path, &rest))
        return archive->IsDirectory(rest);
    return DoIsDirectory(path);
}

ImageContainer* FileContainer::OpenImageContainer(const std::wstring& path)
{
    std::wstring rest;
    if (Archiver* archive = GetArchiveFor(path, &rest))
        return archive->OpenImageContainer(rest);
    if (DoIsDirectory(path))
        return new PsdFolder(path, this);
    static const wchar_t* const kLayoutExtensions[] = {L".psd", L""};
    uint32_t index = 0;
    if (DoFileExists(path, kLayoutExtensions, 2, &index))
        return new PsdFile(path + kLayoutExtensions[index], this);
    return nullptr;
}

} // namespace file
