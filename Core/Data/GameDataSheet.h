#pragma once

#include "Core/Base/BWResult.h"

#include <string>

namespace data
{

class GameDataRecord;

// One named sheet: a list of records.
class GameDataSheet
{
public:
    virtual ~GameDataSheet();
    // Appends every record of source to this sheet.
    virtual BWResultEnum CopyFrom(GameDataSheet* source) = 0;
    virtual const std::wstring& GetName() = 0;
    // A new cursor on the first record; the caller deletes it.
    virtual BWResultEnum GetRecords(GameDataRecord** out) = 0;
};

} // namespace data
