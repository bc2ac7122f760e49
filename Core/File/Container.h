#pragma once

#include <cstdint>
#include <string>

namespace base
{
class Stream;
class StreamCreator;
} // namespace base

namespace file
{

class FileInfo;

// The root of every container: file containers (the file system, the pack,
// the user-data folder) and the image containers of layouts.
class Container
{
public:
    virtual ~Container();

    // The description of the first existing file among path + extensions[i]
    // (path alone when count is 0), or null; its index goes to outIndex.
    virtual FileInfo* GetFileInfo(const std::wstring& path, const wchar_t* const* extensions = nullptr,
                                  uint32_t count = 0, uint32_t* outIndex = nullptr) = 0;
    // A new stream the caller owns, or null.
    virtual base::Stream* OpenStream(const std::wstring& path) = 0;
    // A new creator the caller owns, or null; it opens nothing yet.
    virtual base::StreamCreator* CreateStreamCreator(const std::wstring& path) = 0;
    virtual std::wstring GetRootPath() = 0;
};

} // namespace file
