#pragma once

// The file manager works relative to the current directory: each test runs in
// a fresh folder with "data/" mounted on "data.dat".

#include "Core/Base/Stream.h"
#include "Core/File/FileInfo.h"
#include "Core/File/FileManager.h"

#include "tests/Support/TempFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace filetest
{

class MountedFolderTest : public ::testing::Test
{
protected:
    MountedFolderTest() : mFolder(true), mManager(file::FileManager::Instance())
    {
        mManager->GetMountTable().clear();
        mManager->GetMountTable()[L"data/"] = L"data.dat";
        mManager->DropArchives();
    }
    ~MountedFolderTest() override
    {
        mManager->GetMountTable().clear();
        mManager->DropArchives();
    }

    // The file's bytes through the file manager, or "<missing>" or
    // "<unreadable>".
    std::string ReadAll(const std::wstring& path)
    {
        std::unique_ptr<file::FileInfo> info(mManager->GetFileInfo(path));
        if (!info)
            return "<missing>";
        std::unique_ptr<base::Stream> stream(info->Open());
        std::string bytes(stream ? stream->GetSize() : 0, '\0');
        if (!stream || stream->Read(&bytes[0], static_cast<uint32_t>(bytes.size())) != bytes.size())
            return "<unreadable>";
        return bytes;
    }

    testing_support::TempFolder mFolder;
    file::FileManager* mManager;
};

} // namespace filetest
