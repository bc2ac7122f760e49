#include "Core/Data/GameData.h"
#include "Core/Data/GameDataRecord.h"
#include "Core/Data/GameDataSheet.h"

namespace data
{

GameData::~GameData() = default;
GameDataSheet::~GameDataSheet() = default;
GameDataRecord::~GameDataRecord() = default;

} // namespace data
