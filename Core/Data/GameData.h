#pragma once

#include "Core/Base/BWResult.h"

#include <cstdint>
#include <string>

namespace data
{

class GameDataSheet;

// A document of named sheets of records. Sheets handed out are new objects
// the caller deletes; they point into the document and must not outlive it.
class GameData
{
public:
    virtual ~GameData();
    // Copies every sheet of source into this document, which must be empty.
    virtual BWResultEnum CopyFrom(GameData* source) = 0;
    virtual uint32_t GetSheetCount() = 0;
    virtual BWResultEnum GetSheetName(uint32_t index, std::wstring& out) = 0;
    virtual BWResultEnum GetSheet(uint32_t index, GameDataSheet** out) = 0;
    virtual BWResultEnum GetSheetById(const std::wstring& id, GameDataSheet** out) = 0;
};

} // namespace data
