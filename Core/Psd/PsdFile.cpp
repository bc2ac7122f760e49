#include "Core/Psd/PsdFile.h"

#include "Core/Base/Encoding.h"
#include "Core/Base/MemoryStream.h"
#include "Core/File/Path.h"
#include "Core/Psd/ImageFileInfo.h"
#include "Core/Psd/Psd.h"
#include "Platform/Win32/Win32File.h"

#include <cstring>
#include <limits>
#include <new>

namespace file
{
namespace
{

std::string RecordName(const PsdLayerRecord& record)
{
    return std::string(record.name, strnlen(record.name, sizeof record.name));
}

} // namespace

PsdFile::PsdFile(const std::wstring& path, FileContainer* owner) : ImageContainer(path, owner), mDocument(nullptr)
{
    std::string native;
    if (!win32::ToNativePath(path, &native))
        return;
    PsdContext* document = nullptr;
    if (PsdLoadDocument(native.c_str(), &document) != kPsdOk || !document)
        return;
    mDocument = document;
    BuildLayers();
}

PsdFile::~PsdFile()
{
    if (mDocument)
        PsdFreeDocument(mDocument);
}

void PsdFile::BuildLayers()
{
    // Records run bottom first, so from the top down a group's own record
    // comes before its layers and its end marker after them.
    std::vector<std::string> groups;
    std::string prefix;
    auto rebuildPrefix = [&]() {
        prefix.clear();
        for (const std::string& group : groups)
            prefix += group + '/';
    };
    for (int32_t index = mDocument->layerCount - 1; index >= 1; --index)
    {
        const PsdLayerRecord& record = mDocument->layers[index];
        if (record.kind == kPsdLayerFolder)
        {
            groups.push_back(RecordName(record));
            rebuildPrefix();
        }
        else if (record.kind == kPsdLayerFolderEnd)
        {
            if (!groups.empty())
                groups.pop_back();
            rebuildPrefix();
        }
        else if (record.kind == kPsdLayerNormal)
        {
            const std::string narrow = prefix + RecordName(record);
            const std::wstring key = base::ToWideString(narrow, base::EncodingAnsi);
            // A path the code page refuses converts to nothing; such a layer
            // is left out rather than filed under the empty name.
            if (key.empty() && !narrow.empty())
                continue;
            auto entry = mLayers.find(key);
            if (entry == mLayers.end())
                entry = mLayers.emplace(key, PsdFileLayer(record, key, static_cast<uint32_t>(index))).first;
            mOrder.push_back(&entry->second);
        }
    }
}

base::Stream* PsdFile::OpenLayerStream(const std::wstring& name)
{
    auto entry = mLayers.find(name);
    if (entry == mLayers.end() || !entry->second.GetRecord())
        return nullptr;
    const PsdLayerRecord& record = *entry->second.GetRecord();
    if (record.width <= 0 || record.height <= 0)
        return new (std::nothrow) base::MemoryStream();
    const uint64_t size = uint64_t(record.width) * uint64_t(record.height) * 4;
    // A record whose channels could not be decoded has no pixels to give.
    if (!record.pixels || size > uint64_t(std::numeric_limits<int32_t>::max()))
        return nullptr;
    try
    {
        return new base::MemoryStream(record.pixels, static_cast<uint32_t>(size));
    }
    catch (const std::bad_alloc&)
    {
        return nullptr;
    }
}

base::StreamCreator* PsdFile::CreateStreamCreator(const std::wstring&)
{
    return nullptr;
}

ImageFileInfo* PsdFile::GetImageInfo(const std::wstring& name, const wchar_t* const* extensions, uint32_t count,
                                     uint32_t* outIndex)
{
    auto entry = mLayers.find(name);
    if (entry == mLayers.end())
        return nullptr;
    if (outIndex && extensions)
    {
        for (uint32_t i = 0; i < count; ++i)
            if (extensions[i] && extensions[i][0] == 0)
                *outIndex = i;
    }
    try
    {
        return new ImageFileInfo(GetFileTitle(name), name, this, 1, entry->second);
    }
    catch (const std::bad_alloc&)
    {
        return nullptr;
    }
}

base::ImageInfo* PsdFile::FindLayer(const std::wstring& name)
{
    auto entry = mLayers.find(name);
    return entry == mLayers.end() ? nullptr : &entry->second;
}

base::ImageInfo* PsdFile::GetLayer(uint32_t index)
{
    return index < mOrder.size() ? mOrder[index] : nullptr;
}

uint32_t PsdFile::GetLayerCount()
{
    return static_cast<uint32_t>(mLayers.size());
}

BWResultEnum PsdFile::FindLayerNames(const std::wstring&, bool, std::vector<std::wstring>&, bool)
{
    return BW_OK;
}

BWResultEnum PsdFile::FindGroupNames(const std::wstring&, std::vector<std::wstring>&, bool)
{
    return BW_OK;
}

bool PsdFile::HasLayer(const std::wstring&)
{
    return false;
}

bool PsdFile::HasLayerImageFile(const std::wstring&)
{
    return false;
}

bool PsdFile::HasSubfolders(const std::wstring&)
{
    return false;
}

} // namespace file
