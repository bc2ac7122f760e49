#include "Core/File/PackBuilder.h"

#include "Core/Base/FileStream.h"
#include "Core/Base/Log.h"
#include "Core/File/Archiver.h"
#include "Core/File/FileManager.h"
#include "Core/File/Path.h"
#include "Platform/Win32/Win32File.h"

#include <memory>
#include <vector>

namespace file
{
namespace
{

BWResultEnum Fail(const std::wstring& output, const std::wstring& temporary, base::FileStream* stream,
                  const wchar_t* reason, const std::wstring& subject)
{
    if (stream)
        stream->Close();
    DeleteFile(temporary);
    BW_LOG(L"Pack '%s' was not built: %s '%s'.\n") % output % reason % subject;
    return BW_FAIL;
}

} // namespace

BWResultEnum BuildPack(const std::wstring& folder, const std::wstring& output)
{
    FileManager* manager = FileManager::Instance();
    if (!manager)
        return BW_FAIL;
    std::wstring root = NormalizeFolderPath(folder);
    std::wstring temporary = output + L".tmp";
    DeleteFile(temporary);
    if (!manager->DoIsDirectory(root.empty() ? std::wstring(L".") : root))
        return Fail(output, temporary, nullptr, L"no folder", folder);

    // The folder itself, not the pack that may be mounted on it.
    std::vector<std::wstring> names;
    manager->DoFindFiles(root, root, std::wstring(), true, names, true);

    Archiver pack;
    Archiver::Directory& directory = pack.GetDirectory();
    for (const std::wstring& name : names)
    {
        if (win32::IsSameFile(root + name, output))
            continue;
        std::unique_ptr<base::Stream> stream(manager->OpenStream(root + name));
        if (!stream)
            return Fail(output, temporary, nullptr, L"cannot read", root + name);
        directory[name] = Archiver::Entry{stream->GetSize(), 0, 0, 0};
    }

    uint64_t offset = pack.GetHeaderSize();
    for (auto& item : directory)
    {
        if (offset > 0xFFFFFFFFull)
            break;
        item.second.offset = static_cast<uint32_t>(offset);
        offset += item.second.size;
    }
    if (offset > 0xFFFFFFFFull)
        return Fail(output, temporary, nullptr, L"more than 4 GiB in", folder);

    base::FileStream out;
    if (out.Open(temporary, 1, 0) != BW_OK)
        return Fail(output, temporary, nullptr, L"cannot create", temporary);
    if (pack.WriteHeader(&out) != BW_OK)
        return Fail(output, temporary, &out, L"cannot write the directory to", temporary);
    for (const auto& item : directory)
    {
        std::unique_ptr<base::Stream> stream(manager->OpenStream(root + item.first));
        if (!stream || stream->GetSize() != item.second.size)
            return Fail(output, temporary, &out, L"changed while packing", root + item.first);
        if (out.CopyFrom(stream.get(), base::Stream::kWholeStream) != item.second.size)
            return Fail(output, temporary, &out, L"cannot copy", root + item.first);
    }
    if (out.Flush() != BW_OK || out.Close() != BW_OK)
        return Fail(output, temporary, &out, L"cannot finish", temporary);
    if (ReplaceFile(temporary, output) != BW_OK)
        return Fail(output, temporary, nullptr, L"cannot replace", output);
    manager->DropArchives(); // the old directory of a rebuilt pack is stale
    BW_LOG(L"Pack '%s' built from '%s': %u files.\n") % output % folder % static_cast<uint32_t>(directory.size());
    return BW_OK;
}

} // namespace file
