#pragma once

#include "Core/Data/GameDataRecord.h"

#include <tinyxml2.h>

namespace data
{

// A cursor over the "Element" children of one sheet element.
class GameDataRecordXml : public GameDataRecord
{
public:
    explicit GameDataRecordXml(tinyxml2::XMLElement* sheet);
    ~GameDataRecordXml() override;

    BWResultEnum Append(GameDataRecord* source) override;
    bool IsValid() override;
    bool MoveNext() override;
    bool HasAttribute(const std::wstring& name) override;
    uint32_t GetAttributeCount() override;
    BWResultEnum GetAttributeName(uint32_t index, std::wstring& out) override;

    bool GetBool(const std::wstring& name, bool defaultValue, bool* found) override;
    int GetInt(const std::wstring& name, int defaultValue, bool* found) override;
    unsigned GetUInt(const std::wstring& name, unsigned defaultValue, bool* found) override;
    float GetFloat(const std::wstring& name, float defaultValue, bool* found) override;
    std::wstring GetString(const std::wstring& name, const std::wstring& defaultValue, bool* found) override;

    BWResultEnum GetBool(const std::wstring& name, bool& out) override;
    BWResultEnum GetInt(const std::wstring& name, int& out) override;
    BWResultEnum GetUInt(const std::wstring& name, unsigned& out) override;
    BWResultEnum GetFloat(const std::wstring& name, float& out) override;
    BWResultEnum GetString(const std::wstring& name, std::wstring& out) override;

private:
    // The value of the current record's attribute, or null when there is no
    // record, no such attribute, or the value is not valid UTF-8.
    const char* FindValue(const std::wstring& name);

    tinyxml2::XMLElement* mSheet;
    tinyxml2::XMLElement* mCurrent;
};

} // namespace data
