#include "Core/Data/GameDataXml.h"

#include "Core/Base/Stream.h"
#include "Core/Data/GameDataSheetXml.h"
#include "Core/Data/XmlText.h"
#include "Core/File/FileInfo.h"
#include "Core/File/FileManager.h"
#include "Core/File/TextFile.h"

#include <memory>
#include <new>

namespace data
{

GameDataXml::GameDataXml() = default;

GameDataXml::~GameDataXml() = default;

BWResultEnum GameDataXml::LoadFile(const std::wstring& path)
{
    file::FileManager* manager = file::FileManager::Instance();
    if (!manager)
        return BW_FAIL;
    std::unique_ptr<file::FileInfo> info(manager->GetFileInfo(path));
    if (!info)
        return BW_FAIL;
    std::unique_ptr<base::Stream> stream(info->Open());
    if (!stream)
        return BW_FAIL;
    return LoadStream(stream.get());
}

BWResultEnum GameDataXml::LoadStream(base::Stream* stream)
{
    std::string text;
    if (!file::ReadWholeStream(stream, &text))
        return BW_FAIL;
    // Parsed as a zero-terminated text: a zero byte ends the document.
    return mDocument.Parse(text.c_str()) == tinyxml2::XML_SUCCESS ? BW_OK : BW_FAIL;
}

tinyxml2::XMLElement* GameDataXml::GetRoot()
{
    return mDocument.FirstChildElement("Data");
}

tinyxml2::XMLElement* GameDataXml::GetSheetElement(uint32_t index)
{
    tinyxml2::XMLElement* root = GetRoot();
    tinyxml2::XMLElement* sheet = root ? root->FirstChildElement() : nullptr;
    for (uint32_t i = 0; sheet && i < index; ++i)
        sheet = sheet->NextSiblingElement();
    return sheet;
}

BWResultEnum GameDataXml::CopyFrom(GameData* source)
{
    if (!source || mDocument.FirstChildElement())
        return BW_FAIL;
    tinyxml2::XMLElement* root = mDocument.NewElement("Data");
    mDocument.InsertEndChild(root);
    uint32_t count = source->GetSheetCount();
    for (uint32_t i = 0; i < count; ++i)
    {
        GameDataSheet* raw = nullptr;
        BWResultEnum result = source->GetSheet(i, &raw);
        std::unique_ptr<GameDataSheet> sheet(raw);
        if (result != BW_OK)
            return result;
        if (!sheet)
            return BW_FAIL;
        std::string id;
        if (!EncodeXmlText(sheet->GetName(), &id))
            return BW_FAIL;
        tinyxml2::XMLElement* element = mDocument.NewElement("DataSheet");
        element->SetAttribute("id", id.c_str());
        root->InsertEndChild(element);
        GameDataSheetXml copy(element);
        result = copy.CopyFrom(sheet.get());
        if (result != BW_OK)
            return result;
    }
    return BW_OK;
}

uint32_t GameDataXml::GetSheetCount()
{
    uint32_t count = 0;
    tinyxml2::XMLElement* root = GetRoot();
    for (tinyxml2::XMLElement* e = root ? root->FirstChildElement() : nullptr; e; e = e->NextSiblingElement())
        ++count;
    return count;
}

BWResultEnum GameDataXml::GetSheetName(uint32_t index, std::wstring& out)
{
    tinyxml2::XMLElement* sheet = GetSheetElement(index);
    std::wstring name;
    if (!sheet || !DecodeXmlText(sheet->Name(), &name))
        return BW_FAIL;
    out = name;
    return BW_OK;
}

BWResultEnum GameDataXml::GetSheet(uint32_t index, GameDataSheet** out)
{
    if (!GetRoot())
        return BW_FAIL;
    tinyxml2::XMLElement* sheet = GetSheetElement(index);
    if (!sheet)
    {
        *out = nullptr;
        return BW_FAIL;
    }
    *out = new (std::nothrow) GameDataSheetXml(sheet);
    return BW_OK;
}

BWResultEnum GameDataXml::GetSheetById(const std::wstring& id, GameDataSheet** out)
{
    tinyxml2::XMLElement* root = GetRoot();
    if (!root)
        return BW_FAIL;
    for (tinyxml2::XMLElement* e = root->FirstChildElement("DataSheet"); e; e = e->NextSiblingElement("DataSheet"))
    {
        std::wstring sheetId;
        if (DecodeXmlText(e->Attribute("id"), &sheetId) && sheetId == id)
        {
            *out = new (std::nothrow) GameDataSheetXml(e);
            return BW_OK;
        }
    }
    return BW_FAIL;
}

} // namespace data
