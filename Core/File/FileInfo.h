#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace base
{
class Stream;
} // namespace base

namespace file
{

class Container;

// One found file: owned by whoever asked for it. Its container is a file
// container, or an image container for a layer described as a file.
class FileInfo
{
public:
    FileInfo(const std::wstring& name, const std::wstring& fullPath, Container* container, uint8_t flag);
    virtual ~FileInfo();

    // The owning container's stream on the full path (null on failure); the
    // caller owns it.
    base::Stream* Open();
    // A stream the container opened while looking the file up: the first
    // Open hands it out instead of opening the file again.
    void SetOpened(base::Stream* stream);

    const std::wstring& GetName() const { return mName; }
    const std::wstring& GetFullPath() const { return mFullPath; }
    Container* GetContainer() const { return mContainer; }
    // 0 for the file system and the user-data folder, 1 for a pack.
    uint8_t GetFlag() const { return mFlag; }

private:
    std::wstring mName;
    std::wstring mFullPath;
    Container* mContainer;
    uint8_t mFlag;
    std::unique_ptr<base::Stream> mOpened;
};

} // namespace file
