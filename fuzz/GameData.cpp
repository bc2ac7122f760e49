#include "Core/Base/MemoryStream.h"
#include "Core/Data/GameDataRecord.h"
#include "Core/Data/GameDataSheet.h"
#include "Core/Data/GameDataXml.h"

#include <cstdint>
#include <memory>
#include <string>

namespace
{

void ReadEverything(data::GameData& document)
{
    for (uint32_t i = 0, n = document.GetSheetCount(); i < n; ++i)
    {
        std::wstring name;
        document.GetSheetName(i, name);
        data::GameDataSheet* raw = nullptr;
        if (document.GetSheet(i, &raw) != BW_OK || !raw)
            continue;
        std::unique_ptr<data::GameDataSheet> sheet(raw);
        data::GameDataSheet* byId = nullptr;
        if (document.GetSheetById(sheet->GetName(), &byId) == BW_OK)
            delete byId;
        data::GameDataRecord* records = nullptr;
        sheet->GetRecords(&records);
        std::unique_ptr<data::GameDataRecord> cursor(records);
        for (; cursor && cursor->IsValid(); cursor->MoveNext())
        {
            for (uint32_t a = 0, count = cursor->GetAttributeCount(); a <= count; ++a)
            {
                std::wstring attribute;
                cursor->GetAttributeName(a, attribute);
                bool found = false;
                cursor->GetBool(attribute, false, &found);
                cursor->GetInt(attribute, 0, &found);
                cursor->GetUInt(attribute, 0, &found);
                cursor->GetFloat(attribute, 0, &found);
                cursor->GetString(attribute, L"", &found);
                std::wstring text;
                cursor->GetString(attribute, text);
            }
        }
    }
}

} // namespace

// Game data from outside: any bytes parse or fail, every getter answers, and
// a copy of the document reads back the same way.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    base::MemoryStream stream(data, static_cast<uint32_t>(size));
    data::GameDataXml document;
    if (document.LoadStream(&stream) != BW_OK)
        return 0;
    ReadEverything(document);
    data::GameDataXml copy;
    if (copy.CopyFrom(&document) == BW_OK)
        ReadEverything(copy);
    return 0;
}
