#pragma once

#include "Core/Data/GameData.h"

#include <tinyxml2.h>

namespace base
{
class Stream;
} // namespace base

namespace data
{

// Game data in XML: the root "Data"; each child element is a sheet named by
// its tag ("DataSheet" elements, as copying writes them, are named by their
// "id"); each "Element" inside a sheet is a record whose attributes are its
// fields.
class GameDataXml : public GameData
{
public:
    GameDataXml();
    ~GameDataXml() override;

    // 1 when the file is missing (the document is left as it was) or does not parse.
    BWResultEnum LoadFile(const std::wstring& path);
    // Parses the rest of the stream into the document.
    BWResultEnum LoadStream(base::Stream* stream);

    BWResultEnum CopyFrom(GameData* source) override;
    uint32_t GetSheetCount() override;
    BWResultEnum GetSheetName(uint32_t index, std::wstring& out) override;
    BWResultEnum GetSheet(uint32_t index, GameDataSheet** out) override;
    BWResultEnum GetSheetById(const std::wstring& id, GameDataSheet** out) override;

    tinyxml2::XMLDocument& GetDocument() { return mDocument; }

private:
    tinyxml2::XMLElement* GetRoot();
    tinyxml2::XMLElement* GetSheetElement(uint32_t index);

    tinyxml2::XMLDocument mDocument;
};

} // namespace data
