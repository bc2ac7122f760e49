#include "Core/Data/GameDataSheetXml.h"

#include "Core/Data/GameDataRecordXml.h"
#include "Core/Data/XmlText.h"

#include <cstring>
#include <memory>
#include <new>

namespace data
{

GameDataSheetXml::GameDataSheetXml(tinyxml2::XMLElement* sheet) : mSheet(sheet)
{
    const char* name = std::strcmp(sheet->Name(), "DataSheet") == 0 && sheet->Attribute("id") ? sheet->Attribute("id")
                                                                                                : sheet->Name();
    DecodeXmlText(name, &mName);
}

GameDataSheetXml::~GameDataSheetXml() = default;

BWResultEnum GameDataSheetXml::CopyFrom(GameDataSheet* source)
{
    if (!source)
        return BW_FAIL;
    GameDataRecord* raw = nullptr;
    BWResultEnum result = source->GetRecords(&raw);
    std::unique_ptr<GameDataRecord> from(raw);
    if (result != BW_OK)
        return result;
    GameDataRecordXml to(mSheet);
    for (; from && from->IsValid(); from->MoveNext())
    {
        result = to.Append(from.get());
        if (result != BW_OK)
            return result;
    }
    return BW_OK;
}

const std::wstring& GameDataSheetXml::GetName()
{
    return mName;
}

BWResultEnum GameDataSheetXml::GetRecords(GameDataRecord** out)
{
    *out = new (std::nothrow) GameDataRecordXml(mSheet);
    return BW_OK;
}

} // namespace data
