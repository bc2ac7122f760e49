#include "Core/Psd/PsdFolder.h"

#include "Core/Base/Stream.h"
#include "Core/Data/XmlText.h"
#include "Core/File/FileContainer.h"
#include "Core/File/FileInfo.h"
#include "Core/File/FileManager.h"
#include "Core/File/Path.h"
#include "Core/File/TextFile.h"
#include "Core/Math/MathFunctions.h"
#include "Core/Psd/ImageFileInfo.h"

#include <tinyxml2.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cwctype>
#include <locale.h>
#include <memory>
#include <new>

namespace file
{
namespace
{

// The extensions a texture is looked for under, the bare name first.
const wchar_t* const kTextureExtensions[] = {L"", L".dds", L".jpg", L".gif", L".png", L".tga"};
const uint32_t kTextureExtensionCount = sizeof kTextureExtensions / sizeof kTextureExtensions[0];

// Texture coordinates far outside the atlas cannot be meant; they also keep
// the float conversions defined.
const double kMaxCoordinate = 1.0e6;

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool OnlySpaceFrom(const char* text)
{
    while (IsSpace(*text))
        ++text;
    return *text == 0;
}

// A whole decimal integer in the int range; anything else reads as absent.
int32_t ReadInt(const tinyxml2::XMLElement* element, const char* name, int32_t absent)
{
    const char* text = element->Attribute(name);
    if (!text)
        return absent;
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(text, &end, 10);
    if (end == text || errno == ERANGE || !OnlySpaceFrom(end) || value < INT32_MIN || value > INT32_MAX)
        return absent;
    return static_cast<int32_t>(value);
}

// A whole real number in the C locale, as data files write them.
double ReadReal(const tinyxml2::XMLElement* element, const char* name, double absent)
{
    const char* text = element->Attribute(name);
    if (!text)
        return absent;
    static locale_t cLocale = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(0));
    char* end = nullptr;
    const double value = cLocale ? strtod_l(text, &end, cLocale) : std::strtod(text, &end);
    if (end == text || !OnlySpaceFrom(end) || !std::isfinite(value) || std::fabs(value) > kMaxCoordinate)
        return absent;
    return value;
}

wchar_t Lower(wchar_t c)
{
    static locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    if (utf8)
        return static_cast<wchar_t>(towlower_l(static_cast<wint_t>(c), utf8));
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

std::wstring ToLower(std::wstring text)
{
    std::transform(text.begin(), text.end(), text.begin(), Lower);
    return text;
}

// The prefix the listings match names against: the group as a folder, in
// lower case.
std::wstring GroupPrefix(const std::wstring& folder)
{
    return ToLower(NormalizeFolderPath(folder));
}

bool StartsWith(const std::wstring& text, const std::wstring& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

} // namespace

PsdFolder::PsdFolder(const std::wstring& path, FileContainer* owner) : ImageContainer(path, owner)
{
    Load();
}

PsdFolder::~PsdFolder() = default;

std::wstring PsdFolder::GetFilePath(const std::wstring& name) const
{
    return mPath + L'/' + name;
}

void PsdFolder::Load()
{
    if (!mOwner)
        return;
    std::unique_ptr<FileInfo> info(mOwner->GetFileInfo(mPath + L"/layers.xml"));
    if (!info)
        return;
    std::unique_ptr<base::Stream> stream(info->Open());
    if (!stream)
        return;
    std::string text;
    if (!ReadWholeStream(stream.get(), &text))
        return;
    ParseLayers(text.c_str(), text.size());
}

void PsdFolder::ParseLayers(const char* text, size_t size)
{
    tinyxml2::XMLDocument document(true);
    if (document.Parse(text, size) != tinyxml2::XML_SUCCESS)
        return;
    const tinyxml2::XMLElement* root = document.FirstChildElement("Layers");
    if (!root)
        return;
    FileManager* manager = FileManager::Instance();
    const float layoutScale = manager ? manager->GetLayoutScale() : 1.0f;
    const float imageScale = GetImageScale();
    for (const tinyxml2::XMLElement* element = root->FirstChildElement("Layer"); element;
         element = element->NextSiblingElement("Layer"))
    {
        const char* nameText = element->Attribute("name");
        if (!nameText)
            break;
        // Names that are not UTF-8 cannot be looked up; the entry is left out.
        std::wstring name;
        std::wstring atlas;
        const char* atlasText = element->Attribute("atlas");
        if (!data::DecodeXmlText(nameText, &name) || (atlasText && !data::DecodeXmlText(atlasText, &atlas)))
            continue;

        const int32_t rect[4] = {
            math::ScaleToward0(ReadInt(element, "x", 0), layoutScale),
            math::ScaleToward0(ReadInt(element, "y", 0), layoutScale),
            math::ScaleToward0(ReadInt(element, "width", 0), layoutScale),
            math::ScaleToward0(ReadInt(element, "height", 0), layoutScale),
        };
        const int32_t opacity = std::max(0, std::min(255, ReadInt(element, "opacity", 255)));
        const uint32_t index = static_cast<uint32_t>(ReadInt(element, "ind", 0));

        auto entry = mLayers.find(name);
        if (entry == mLayers.end())
            entry = mLayers.emplace(name, base::ImageInfo(name, rect, uint32_t(opacity), index, 1, 0, imageScale)).first;
        base::ImageInfo& layer = entry->second;
        if (atlasText)
        {
            const double tu1 = ReadReal(element, "tu1", 0.0);
            const double tv1 = ReadReal(element, "tv1", 0.0);
            const double tu2 = ReadReal(element, "tu2", 1.0);
            const double tv2 = ReadReal(element, "tv2", 1.0);
            layer.mAtlas = 1;
            layer.mAtlasPath = GetPath() + atlas;
            layer.mTexOffset[0] = static_cast<float>(tu1);
            layer.mTexOffset[1] = static_cast<float>(1.0 - tv2);
            layer.mTexScale[0] = static_cast<float>(tu2 - tu1);
            layer.mTexScale[1] = static_cast<float>(tv2 - tv1);
        }
        mOrder.push_back(&layer);
    }
}

base::Stream* PsdFolder::OpenLayerStream(const std::wstring& name)
{
    return mOwner ? mOwner->OpenStream(GetFilePath(name)) : nullptr;
}

base::StreamCreator* PsdFolder::CreateStreamCreator(const std::wstring& name)
{
    return mOwner ? mOwner->CreateStreamCreator(GetFilePath(name)) : nullptr;
}

ImageFileInfo* PsdFolder::GetImageInfo(const std::wstring& name, const wchar_t* const* extensions, uint32_t count,
                                       uint32_t* outIndex)
{
    auto entry = mLayers.find(name);
    if (entry == mLayers.end() || !mOwner)
        return nullptr;
    const base::ImageInfo& layer = entry->second;
    std::wstring fullPath = name;
    if (!layer.mAtlas && extensions && count > 0)
    {
        uint32_t index = 0;
        if (!mOwner->FileExists(GetFilePath(name), extensions, count, &index))
            return nullptr;
        if (outIndex)
            *outIndex = index;
        fullPath += extensions[index];
    }
    try
    {
        return new ImageFileInfo(GetFileTitle(name), fullPath, this, mOwner->GetFlag(), layer);
    }
    catch (const std::bad_alloc&)
    {
        return nullptr;
    }
}

base::ImageInfo* PsdFolder::FindLayer(const std::wstring& name)
{
    auto entry = mLayers.find(name);
    return entry == mLayers.end() ? nullptr : &entry->second;
}

base::ImageInfo* PsdFolder::GetLayer(uint32_t index)
{
    return index < mOrder.size() ? mOrder[index] : nullptr;
}

uint32_t PsdFolder::GetLayerCount()
{
    return static_cast<uint32_t>(mOrder.size());
}

BWResultEnum PsdFolder::FindLayerNames(const std::wstring& folder, bool withSubfolders,
                                       std::vector<std::wstring>& out, bool relative)
{
    const std::wstring prefix = GroupPrefix(folder);
    for (const base::ImageInfo* layer : mOrder)
    {
        const std::wstring& name = layer->mName;
        if (!StartsWith(name, prefix))
            continue;
        if (!withSubfolders && name.find(L'/', prefix.size()) != std::wstring::npos)
            continue;
        out.push_back(relative ? name.substr(prefix.size()) : name);
    }
    return BW_OK;
}

BWResultEnum PsdFolder::FindGroupNames(const std::wstring& folder, std::vector<std::wstring>& out, bool relative)
{
    const std::wstring prefix = GroupPrefix(folder);
    std::wstring previous;
    bool found = false;
    for (auto entry = mLayers.lower_bound(prefix); entry != mLayers.end() && StartsWith(entry->first, prefix);
         ++entry)
    {
        const size_t slash = entry->first.find(L'/', prefix.size());
        if (slash == std::wstring::npos)
            continue;
        std::wstring group = entry->first.substr(0, slash);
        if (found && group == previous)
            continue;
        out.push_back(relative ? group.substr(prefix.size()) : group);
        previous = group;
        found = true;
    }
    return BW_OK;
}

bool PsdFolder::HasLayer(const std::wstring& name)
{
    return mLayers.count(ToLower(name)) != 0;
}

bool PsdFolder::HasLayerImageFile(const std::wstring& name)
{
    return mOwner && mOwner->FileExists(GetFilePath(name), kTextureExtensions, kTextureExtensionCount, nullptr);
}

bool PsdFolder::HasSubfolders(const std::wstring& name)
{
    const std::wstring prefix = GroupPrefix(name);
    for (auto entry = mLayers.lower_bound(prefix); entry != mLayers.end() && StartsWith(entry->first, prefix);
         ++entry)
    {
        if (entry->first.find(L'/', prefix.size()) != std::wstring::npos)
            return true;
    }
    return false;
}

} // namespace file
