#include "Core/File/Archiver.h"

#include "Core/Base/FileStream.h"
#include "Core/Base/FrameStream.h"
#include "Core/Base/Log.h"
#include "Core/Base/StreamCreator.h"
#include "Core/File/PackEntryStream.h"

#include <set>
#include <vector>

namespace file
{

const std::string gPackKeyword = "bwpack";

namespace
{

// The smallest record: a name length and the 13 bytes after the name.
const uint64_t kMinRecordSize = 4 + 13;

// Reads the directory without ever asking for more than the stream holds.
class BoundedReader
{
public:
    explicit BoundedReader(base::Stream* stream) : mStream(stream)
    {
        uint32_t position = stream->Seek(0, 1);
        uint32_t size = stream->GetSize();
        mSize = size;
        mRemaining = size > position ? size - position : 0;
    }

    uint64_t Remaining() const { return mRemaining; }
    uint64_t StreamSize() const { return mSize; }

    bool Bytes(void* buffer, uint64_t count)
    {
        if (count > mRemaining || mStream->Read(buffer, static_cast<uint32_t>(count)) != count)
            return false;
        mRemaining -= count;
        return true;
    }

    bool U32(uint32_t* value)
    {
        uint8_t b[4];
        if (!Bytes(b, 4))
            return false;
        *value = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
        return true;
    }

    bool U8(uint8_t* value) { return Bytes(value, 1); }

private:
    base::Stream* mStream;
    uint64_t mSize;
    uint64_t mRemaining;
};

bool DecodeUtf16(const std::vector<uint8_t>& bytes, std::wstring* out)
{
    out->clear();
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
    {
        uint32_t unit = bytes[i] | (bytes[i + 1] << 8);
        if (unit >= 0xDC00 && unit <= 0xDFFF)
            return false;
        if (unit >= 0xD800 && unit <= 0xDBFF)
        {
            if (i + 3 >= bytes.size())
                return false;
            uint32_t low = bytes[i + 2] | (bytes[i + 3] << 8);
            if (low < 0xDC00 || low > 0xDFFF)
                return false;
            unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
            i += 2;
        }
        out->push_back(static_cast<wchar_t>(unit));
    }
    return true;
}

bool EncodeUtf16(const std::wstring& text, std::vector<uint16_t>* out)
{
    out->clear();
    for (wchar_t wc : text)
    {
        uint32_t c = static_cast<uint32_t>(wc);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return false;
        if (c >= 0x10000)
        {
            out->push_back(static_cast<uint16_t>(0xD800 + ((c - 0x10000) >> 10)));
            out->push_back(static_cast<uint16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        }
        else
        {
            out->push_back(static_cast<uint16_t>(c));
        }
    }
    return true;
}

uint64_t Utf16Length(const std::wstring& text)
{
    uint64_t length = 0;
    for (wchar_t c : text)
        length += static_cast<uint32_t>(c) >= 0x10000 ? 2 : 1;
    return length;
}

bool WriteU32(base::Stream* stream, uint32_t value)
{
    uint8_t b[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value >> 16),
                    static_cast<uint8_t>(value >> 24)};
    return stream->Write(b, 4) == 4;
}

bool StartsWith(const std::wstring& text, const std::wstring& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

} // namespace

Archiver::Archiver() : mParent(nullptr), mValid(true)
{
    mFlag = 1;
}

Archiver::Archiver(const std::wstring& prefix, const std::wstring& packPath, FileContainer* parent)
    : mParent(parent), mPrefix(prefix), mPackPath(packPath), mValid(false)
{
    mFlag = 1;
    auto stream = std::make_unique<base::FileStream>();
    if (stream->Open(packPath, 0, 2) == BW_OK && Load(stream.get()) == BW_OK)
    {
        mValid = true;
        // Kept open: entries then cost no open and close of their own.
        mSource = std::make_shared<PackSource>(std::move(stream));
    }
    else
        BW_LOG(L"Pack file '%s' is damaged and is not mounted; files are read from the folder instead.\n") % packPath;
}

Archiver::~Archiver() = default;

void Archiver::Empty()
{
    mDirectory.clear();
    mSource.reset();
}

BWResultEnum Archiver::Load(base::Stream* stream)
{
    mDirectory.clear();
    BoundedReader reader(stream);

    uint32_t keywordLength = 0;
    if (!reader.U32(&keywordLength) || keywordLength != gPackKeyword.size())
        return BW_FAIL;
    std::string keyword(keywordLength, '\0');
    if (!reader.Bytes(&keyword[0], keywordLength) || keyword != gPackKeyword)
        return BW_FAIL;

    uint32_t count = 0;
    if (!reader.U32(&count) || count > reader.Remaining() / kMinRecordSize)
        return BW_FAIL;

    std::vector<uint8_t> nameBytes;
    for (uint32_t i = 0; i < count; ++i)
    {
        uint32_t length = 0;
        std::wstring name;
        Entry entry;
        bool good = reader.U32(&length) && length != 0 && 2ull * length <= reader.Remaining();
        if (good)
        {
            nameBytes.resize(2ull * length);
            good = reader.Bytes(nameBytes.data(), nameBytes.size()) && DecodeUtf16(nameBytes, &name) &&
                   reader.U32(&entry.size) && reader.U32(&entry.offset) && reader.U8(&entry.flag) &&
                   reader.U32(&entry.extra) &&
                   static_cast<uint64_t>(entry.offset) + entry.size <= reader.StreamSize();
        }
        if (!good)
        {
            mDirectory.clear();
            return BW_FAIL;
        }
        mDirectory.emplace(name, entry); // the first record of a name wins
    }
    return BW_OK;
}

BWResultEnum Archiver::WriteHeader(base::Stream* stream)
{
    if (!WriteU32(stream, static_cast<uint32_t>(gPackKeyword.size())) ||
        stream->Write(gPackKeyword.data(), static_cast<uint32_t>(gPackKeyword.size())) != gPackKeyword.size() ||
        !WriteU32(stream, static_cast<uint32_t>(mDirectory.size())))
        return BW_FAIL;
    std::vector<uint16_t> units;
    std::vector<uint8_t> bytes;
    for (const auto& item : mDirectory)
    {
        if (!EncodeUtf16(item.first, &units) || units.empty())
            return BW_FAIL;
        bytes.clear();
        for (uint16_t unit : units)
        {
            bytes.push_back(static_cast<uint8_t>(unit));
            bytes.push_back(static_cast<uint8_t>(unit >> 8));
        }
        const Entry& entry = item.second;
        if (!WriteU32(stream, static_cast<uint32_t>(units.size())) ||
            stream->Write(bytes.data(), static_cast<uint32_t>(bytes.size())) != bytes.size() ||
            !WriteU32(stream, entry.size) || !WriteU32(stream, entry.offset) || stream->Write(&entry.flag, 1) != 1 ||
            !WriteU32(stream, entry.extra))
            return BW_FAIL;
    }
    return BW_OK;
}

uint32_t Archiver::GetHeaderSize()
{
    uint64_t size = 4 + gPackKeyword.size() + 4;
    for (const auto& item : mDirectory)
        size += 4 + 2 * Utf16Length(item.first) + 13;
    return size > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<uint32_t>(size);
}

base::Stream* Archiver::OpenStream(const std::wstring& name)
{
    auto found = mDirectory.find(name);
    if (found == mDirectory.end())
        return nullptr;
    if (mSource)
        return new PackEntryStream(mSource, found->second.offset, found->second.size);
    // A directory filled by hand has no open pack: a handle of its own.
    base::FileStream* pack = new base::FileStream;
    pack->Open(mPackPath, 0, 2);
    return new base::FrameStream(pack, true, found->second.offset, found->second.size);
}

base::StreamCreator* Archiver::CreateStreamCreator(const std::wstring& name)
{
    auto found = mDirectory.find(name);
    if (found == mDirectory.end())
        return nullptr;
    return new base::FrameStreamCreator(new base::FileStreamCreator(mPackPath, 0, 2), true, found->second.offset,
                                        found->second.size);
}

std::wstring Archiver::GetRootPath()
{
    return (mParent ? mParent->GetRootPath() : std::wstring()) + mPrefix;
}

BWResultEnum Archiver::DoFindFiles(const std::wstring& prefix, const std::wstring& folder,
                                   const std::wstring& subfolder, bool recursive, std::vector<std::wstring>& out,
                                   bool relative)
{
    std::wstring start = folder + subfolder;
    for (auto it = mDirectory.lower_bound(start); it != mDirectory.end() && StartsWith(it->first, start); ++it)
    {
        std::wstring rest = it->first.substr(start.size());
        if (rest.empty() || (!recursive && rest.find(L'/') != std::wstring::npos))
            continue;
        out.push_back(relative ? rest : prefix + rest);
    }
    return BW_OK;
}

BWResultEnum Archiver::DoFindDirectories(const std::wstring& prefix, const std::wstring& folder,
                                         const std::wstring& subfolder, std::vector<std::wstring>& out,
                                         bool relative)
{
    std::wstring start = folder + subfolder;
    std::set<std::wstring, CodeUnitLess> names;
    for (auto it = mDirectory.lower_bound(start); it != mDirectory.end() && StartsWith(it->first, start); ++it)
    {
        size_t slash = it->first.find(L'/', start.size());
        if (slash != std::wstring::npos && slash > start.size())
            names.insert(it->first.substr(start.size(), slash - start.size()));
    }
    for (const std::wstring& name : names)
        out.push_back(relative ? name : prefix + name);
    return BW_OK;
}

bool Archiver::DoFileExists(const std::wstring& path, const wchar_t* const* extensions, uint32_t count,
                            uint32_t* outIndex)
{
    if (count == 0)
        return mDirectory.count(path) != 0;
    for (uint32_t i = 0; i < count; ++i)
    {
        if (mDirectory.count(path + extensions[i]))
        {
            if (outIndex)
                *outIndex = i;
            return true;
        }
    }
    return false;
}

bool Archiver::DoIsDirectory(const std::wstring& path)
{
    if (path.empty())
        return false;
    std::wstring start = path + L'/';
    auto it = mDirectory.lower_bound(start);
    return it != mDirectory.end() && StartsWith(it->first, start);
}

} // namespace file
