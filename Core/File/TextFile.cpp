#include "Core/File/TextFile.h"

#include "Core/Base/Log.h"
#include "Core/Base/Stream.h"
#include "Core/File/FileInfo.h"
#include "Core/File/FileManager.h"

#include <cstring>
#include <memory>
#include <vector>

namespace file
{
namespace
{

bool FitsATextFile(uint32_t size)
{
    if (size <= kMaxTextFileSize)
        return true;
    BW_LOG(L"A text file of %u bytes is larger than the %u bytes a text or XML file may hold; it is not read.\n") %
        size % kMaxTextFileSize;
    return false;
}

} // namespace

bool HasUtf8Bom(const char* bytes, size_t size)
{
    return size >= 3 && static_cast<unsigned char>(bytes[0]) == 0xEF &&
           static_cast<unsigned char>(bytes[1]) == 0xBB && static_cast<unsigned char>(bytes[2]) == 0xBF;
}

void ReadTextFile(std::string& out, const std::wstring& path, bool* hadBom)
{
    out.clear();
    if (hadBom)
        *hadBom = false;
    FileManager* manager = FileManager::Instance();
    if (!manager)
        return;
    std::unique_ptr<FileInfo> info(manager->GetFileInfo(path));
    if (!info)
        return;
    std::unique_ptr<base::Stream> stream(info->Open());
    if (!stream)
        return;
    uint32_t size = stream->GetSize();
    if (!FitsATextFile(size))
        return;
    std::vector<char> buffer(static_cast<size_t>(size) + 1, '\0');
    uint32_t start = 0;
    if (size >= 3)
    {
        if (stream->Read(buffer.data(), 3) != 3)
            return;
        if (HasUtf8Bom(buffer.data(), 3))
        {
            if (hadBom)
                *hadBom = true;
            size -= 3;
        }
        else
        {
            start = 3;
            size -= 3;
        }
    }
    if (stream->Read(buffer.data() + start, size) != size)
        return;
    buffer[start + size] = '\0';
    out = buffer.data();
}

bool ReadWholeStream(base::Stream* stream, std::string* out)
{
    out->clear();
    if (!stream)
        return false;
    uint32_t size = stream->GetSize();
    uint32_t position = stream->Seek(0, 1);
    if (position > size || !FitsATextFile(size - position))
        return false;
    out->resize(size - position);
    return out->empty() || stream->Read(&(*out)[0], static_cast<uint32_t>(out->size())) == out->size();
}

bool ReadWholeFile(const std::wstring& path, std::string* out)
{
    out->clear();
    FileManager* manager = FileManager::Instance();
    if (!manager)
        return false;
    std::unique_ptr<FileInfo> info(manager->GetFileInfo(path));
    if (!info)
        return false;
    std::unique_ptr<base::Stream> stream(info->Open());
    return stream && ReadWholeStream(stream.get(), out);
}

} // namespace file
