#pragma once

#include "Core/Base/BWResult.h"
#include "Core/File/Container.h"

#include <map>
#include <string>
#include <vector>

namespace file
{

class Archiver;
class ImageContainer;

// The engine's file-system interface. The public queries ask the file
// manager's mount table first: a path under a mounted prefix whose pack
// exists is answered by that pack; anything else by the container's own
// Do* operations.
class FileContainer : public Container
{
public:
    FileContainer();
    ~FileContainer() override;

    FileInfo* GetFileInfo(const std::wstring& path, const wchar_t* const* extensions = nullptr, uint32_t count = 0,
                          uint32_t* outIndex = nullptr) override;
    // Appends to out (never cleared) the files of the folder, with the
    // folder in front unless relative is set.
    virtual void FindFiles(const std::wstring& folder, bool recursive, std::vector<std::wstring>& out, bool relative);
    virtual void FindDirectories(const std::wstring& folder, std::vector<std::wstring>& out, bool relative);
    virtual bool FileExists(const std::wstring& path, const wchar_t* const* extensions = nullptr, uint32_t count = 0,
                            uint32_t* outIndex = nullptr);
    virtual bool IsDirectory(const std::wstring& path);

    // What a concrete container answers itself, with no mount lookup.
    virtual BWResultEnum DoFindFiles(const std::wstring& prefix, const std::wstring& folder,
                                     const std::wstring& subfolder, bool recursive, std::vector<std::wstring>& out,
                                     bool relative) = 0;
    virtual BWResultEnum DoFindDirectories(const std::wstring& prefix, const std::wstring& folder,
                                           const std::wstring& subfolder, std::vector<std::wstring>& out,
                                           bool relative) = 0;
    virtual bool DoFileExists(const std::wstring& path, const wchar_t* const* extensions, uint32_t count,
                              uint32_t* outIndex) = 0;
    virtual bool DoIsDirectory(const std::wstring& path) = 0;
    // Whether path is a file, as DoFileExists answers; a container may open
    // it on the way and hand the stream out in *opened (null otherwise).
    virtual bool DoFindFile(const std::wstring& path, base::Stream** opened);

    // The pack that serves path, with rest set to the path inside it; null
    // when no mounted pack covers the path. A pack that was refused when read
    // is passed over like a missing one, so its folder is served instead.
    Archiver* GetArchiveFor(const std::wstring& path, std::wstring* rest);

    // Opens a layout ("data/gui/start") as a new image container the caller
    // owns: the folder of that name when there is one, else the file of that
    // name plus ".psd", else the file of exactly that name; null when none
    // exists. Layouts under a mounted pack are looked for in the pack.
    ImageContainer* OpenImageContainer(const std::wstring& path);

    // Forgets every pack read so far; the next lookup reads its directory
    // again. For a pack that was rebuilt: a cached directory would point at
    // the old offsets. Descriptions, layouts and layers handed out of a
    // dropped pack stay safe to use and find nothing in it any more.
    void DropArchives();

    uint8_t GetFlag() const { return mFlag; }

protected:
    uint8_t mFlag;

private:
    FileContainer(const FileContainer&) = delete;
    FileContainer& operator=(const FileContainer&) = delete;

    std::map<std::wstring, Archiver*> mArchives;
    // Dropped packs, kept for what still points at them until the container goes.
    std::vector<Archiver*> mDroppedArchives;
};

} // namespace file
