#include "Core/Base/MemoryStream.h"
#include "Core/File/Archiver.h"

#include <cstdint>
#include <string>
#include <vector>

// A pack directory from outside: every size and offset in it is checked
// before use; queries walk whatever was accepted.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    base::MemoryStream stream(data, static_cast<uint32_t>(size));
    file::Archiver archive;
    if (archive.Load(&stream) != BW_OK)
        return 0;
    std::vector<std::wstring> names;
    archive.DoFindFiles(L"data/", L"", L"", true, names, false);
    archive.DoFindDirectories(L"data/", L"", L"", names, true);
    for (const auto& entry : archive.GetDirectory())
    {
        size_t slash = entry.first.rfind(L'/');
        if (slash != std::wstring::npos)
        {
            std::wstring folder = entry.first.substr(0, slash);
            archive.DoIsDirectory(folder);
            archive.DoFindFiles(L"", folder + L"/", L"", false, names, true);
        }
        if (static_cast<uint64_t>(entry.second.offset) + entry.second.size > size)
            __builtin_trap(); // an entry the pack cannot hold was accepted
    }
    base::MemoryStream out;
    archive.WriteHeader(&out);
    return 0;
}
