#pragma once

#include "Core/Data/GameDataSheet.h"

#include <tinyxml2.h>

namespace data
{

class GameDataSheetXml : public GameDataSheet
{
public:
    // A "DataSheet" element is named by its "id", any other by its tag.
    explicit GameDataSheetXml(tinyxml2::XMLElement* sheet);
    ~GameDataSheetXml() override;

    BWResultEnum CopyFrom(GameDataSheet* source) override;
    const std::wstring& GetName() override;
    BWResultEnum GetRecords(GameDataRecord** out) override;

private:
    tinyxml2::XMLElement* mSheet;
    std::wstring mName;
};

} // namespace data
