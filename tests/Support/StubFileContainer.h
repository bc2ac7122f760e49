#pragma once

#include "Core/File/FileContainer.h"

#include <string>
#include <vector>

namespace testing_support
{

// A file container that lists nothing, finds no file or folder by name and
// writes nothing. Tests give it what it serves (OpenStream, GetRootPath) and
// override the queries they need.
class StubFileContainer : public file::FileContainer
{
public:
    base::StreamCreator* CreateStreamCreator(const std::wstring&) override { return nullptr; }
    BWResultEnum DoFindFiles(const std::wstring&, const std::wstring&, const std::wstring&, bool,
                             std::vector<std::wstring>&, bool) override
    {
        return BW_OK;
    }
    BWResultEnum DoFindDirectories(const std::wstring&, const std::wstring&, const std::wstring&,
                                   std::vector<std::wstring>&, bool) override
    {
        return BW_OK;
    }
    bool DoFileExists(const std::wstring&, const wchar_t* const*, uint32_t, uint32_t*) override { return false; }
    bool DoIsDirectory(const std::wstring&) override { return false; }
};

} // namespace testing_support
