#pragma once

#include "Core/File/CodeUnitOrder.h"
#include "Core/File/FileContainer.h"

#include <map>
#include <memory>
#include <string>

namespace file
{

// The keyword at the start of every pack file.
extern const std::string gPackKeyword;

// A pack file: a directory of named entries followed by their raw bytes,
// mounted on a folder prefix. Entries open as windows onto the pack file.
// The same class writes the directory when a pack is built.
//
// Layout (little-endian u32 unless noted): keyword length K, the keyword,
// entry count N, then N records {name length L in UTF-16 units, L units of
// UTF-16LE, size, offset from the start of the file, u8 flag, u32 extra},
// then the data.
class PackSource;

class Archiver : public FileContainer
{
public:
    struct Entry
    {
        uint32_t size;
        uint32_t offset;
        uint8_t flag;
        uint32_t extra;
    };
    typedef std::map<std::wstring, Entry, CodeUnitLess> Directory;

    // An empty directory, to be filled and written by the pack builder.
    Archiver();
    // Reads the directory of the pack file. A pack that cannot be read is
    // refused: it is logged, its directory stays empty and IsValid is false.
    Archiver(const std::wstring& prefix, const std::wstring& packPath, FileContainer* parent);
    ~Archiver() override;

    // Reads and checks the whole directory against the stream's size; on any
    // fault returns 1 with the directory empty.
    BWResultEnum Load(base::Stream* stream);
    // 1 as soon as a write falls short or a name cannot be written.
    BWResultEnum WriteHeader(base::Stream* stream);
    uint32_t GetHeaderSize();

    Directory& GetDirectory() { return mDirectory; }
    // Forgets every entry and lets the pack file go once no entry stream
    // still reads it.
    void Empty();
    bool IsValid() const { return mValid; }
    const std::wstring& GetPackPath() const { return mPackPath; }

    base::Stream* OpenStream(const std::wstring& name) override;
    base::StreamCreator* CreateStreamCreator(const std::wstring& name) override;
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
    FileContainer* mParent;
    std::wstring mPrefix;
    std::wstring mPackPath;
    Directory mDirectory;
    bool mValid;
    // The pack held open once it was read; shared with the entries' streams.
    std::shared_ptr<PackSource> mSource;
};

} // namespace file
