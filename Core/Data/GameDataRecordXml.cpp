#include "Core/Data/GameDataRecordXml.h"

#include "Core/Base/ParseText.h"
#include "Core/Data/XmlText.h"

namespace data
{
namespace
{

template <class T>
T Found(bool* found, T value)
{
    if (found)
        *found = true;
    return value;
}

template <class T>
T Missing(bool* found, T value)
{
    if (found)
        *found = false;
    return value;
}

bool ParseFlag(const char* text)
{
    bool value = false;
    base::ParseBool(text, value);
    return value;
}

} // namespace

GameDataRecordXml::GameDataRecordXml(tinyxml2::XMLElement* sheet)
    : mSheet(sheet), mCurrent(sheet ? sheet->FirstChildElement("Element") : nullptr)
{
}

GameDataRecordXml::~GameDataRecordXml() = default;

const char* GameDataRecordXml::FindValue(const std::wstring& name)
{
    std::string key;
    if (!mCurrent || !EncodeXmlText(name, &key))
        return nullptr;
    const char* value = mCurrent->Attribute(key.c_str());
    std::wstring decoded;
    return value && DecodeXmlText(value, &decoded) ? value : nullptr;
}

BWResultEnum GameDataRecordXml::Append(GameDataRecord* source)
{
    if (!source || !mSheet)
        return BW_FAIL;
    tinyxml2::XMLElement* record = mSheet->GetDocument()->NewElement("Element");
    mSheet->InsertEndChild(record);
    uint32_t count = source->GetAttributeCount();
    for (uint32_t i = 0; i < count; ++i)
    {
        std::wstring name;
        BWResultEnum result = source->GetAttributeName(i, name);
        if (result != BW_OK)
            return result;
        bool found = false;
        std::wstring value = source->GetString(name, std::wstring(), &found);
        std::string key, text;
        if (found && EncodeXmlText(name, &key) && EncodeXmlText(value, &text))
            record->SetAttribute(key.c_str(), text.c_str());
    }
    return BW_OK;
}

bool GameDataRecordXml::IsValid()
{
    return mCurrent != nullptr;
}

bool GameDataRecordXml::MoveNext()
{
    if (!mCurrent)
        return false;
    mCurrent = mCurrent->NextSiblingElement(mCurrent->Name());
    return mCurrent != nullptr;
}

bool GameDataRecordXml::HasAttribute(const std::wstring& name)
{
    std::string key;
    return mCurrent && EncodeXmlText(name, &key) && mCurrent->Attribute(key.c_str()) != nullptr;
}

uint32_t GameDataRecordXml::GetAttributeCount()
{
    uint32_t count = 0;
    for (const tinyxml2::XMLAttribute* a = mCurrent ? mCurrent->FirstAttribute() : nullptr; a; a = a->Next())
        ++count;
    return count;
}

BWResultEnum GameDataRecordXml::GetAttributeName(uint32_t index, std::wstring& out)
{
    const tinyxml2::XMLAttribute* attribute = mCurrent ? mCurrent->FirstAttribute() : nullptr;
    for (uint32_t i = 0; attribute && i < index; ++i)
        attribute = attribute->Next();
    std::wstring name;
    if (!attribute || !DecodeXmlText(attribute->Name(), &name))
        return BW_FAIL;
    out = name;
    return BW_OK;
}

bool GameDataRecordXml::GetBool(const std::wstring& name, bool defaultValue, bool* found)
{
    const char* value = FindValue(name);
    return value ? Found(found, ParseFlag(value)) : Missing(found, defaultValue);
}

int GameDataRecordXml::GetInt(const std::wstring& name, int defaultValue, bool* found)
{
    const char* value = FindValue(name);
    return value ? Found(found, base::ParseInt(value)) : Missing(found, defaultValue);
}

unsigned GameDataRecordXml::GetUInt(const std::wstring& name, unsigned defaultValue, bool* found)
{
    const char* value = FindValue(name);
    return value ? Found(found, static_cast<unsigned>(base::ParseInt(value))) : Missing(found, defaultValue);
}

float GameDataRecordXml::GetFloat(const std::wstring& name, float defaultValue, bool* found)
{
    const char* value = FindValue(name);
    return value ? Found(found, static_cast<float>(base::ParseDouble(value))) : Missing(found, defaultValue);
}

std::wstring GameDataRecordXml::GetString(const std::wstring& name, const std::wstring& defaultValue, bool* found)
{
    std::wstring text;
    const char* value = FindValue(name);
    return value && DecodeXmlText(value, &text) ? Found(found, text) : Missing(found, defaultValue);
}

BWResultEnum GameDataRecordXml::GetBool(const std::wstring& name, bool& out)
{
    const char* value = FindValue(name);
    if (!value)
        return BW_FAIL;
    out = ParseFlag(value);
    return BW_OK;
}

BWResultEnum GameDataRecordXml::GetInt(const std::wstring& name, int& out)
{
    const char* value = FindValue(name);
    if (!value)
        return BW_FAIL;
    out = base::ParseInt(value);
    return BW_OK;
}

BWResultEnum GameDataRecordXml::GetUInt(const std::wstring& name, unsigned& out)
{
    const char* value = FindValue(name);
    if (!value)
        return BW_FAIL;
    out = static_cast<unsigned>(base::ParseInt(value));
    return BW_OK;
}

BWResultEnum GameDataRecordXml::GetFloat(const std::wstring& name, float& out)
{
    const char* value = FindValue(name);
    if (!value)
        return BW_FAIL;
    out = static_cast<float>(base::ParseDouble(value));
    return BW_OK;
}

BWResultEnum GameDataRecordXml::GetString(const std::wstring& name, std::wstring& out)
{
    std::wstring text;
    const char* value = FindValue(name);
    if (!value || !DecodeXmlText(value, &text))
        return BW_FAIL;
    out = text;
    return BW_OK;
}

} // namespace data
