#pragma once

#include "Core/Base/Singletone.h"
#include "Core/File/CodeUnitOrder.h"
#include "Core/File/Win32/FileManagerWin32.h"

#include <map>
#include <string>

namespace file
{

// The process-wide file container over the real file system, with the mount
// table that routes folder prefixes to pack files.
class FileManager : public base::Singletone<FileManager>, public FileManagerWin32
{
public:
    typedef std::map<std::wstring, std::wstring, CodeUnitLess> MountTable;

    FileManager();
    ~FileManager() override;

    // Prefix (such as "data/") to pack-file path (such as "data.dat"). The
    // game writes it at start-up; nothing removes entries.
    MountTable& GetMountTable() { return mMountTable; }

    // Multipliers for layer-folder coordinates and for bitmap-font texture
    // coordinates; both 1.
    float GetLayoutScale() const { return mLayoutScale; }
    float GetTextureScale() const { return mTextureScale; }
    // Test hook: the game never changes the layout scale.
    void SetLayoutScale(float scale) { mLayoutScale = scale; }

private:
    MountTable mMountTable;
    float mLayoutScale;
    float mTextureScale;
};

} // namespace file
