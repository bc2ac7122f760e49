#pragma once

#include "Core/Base/BWResult.h"

#include <cstdint>
#include <string>

namespace data
{

// A cursor over the records of one sheet; a record is a set of named values.
//
// The getters with a default answer the default with found = false when there
// is no current record, no such attribute, or a value that is not valid
// UTF-8; the getters with an out parameter answer 1 and leave out untouched
// in those cases. Numbers read as the C library's atoi / atof read them;
// flags as base::ParseBool reads them.
class GameDataRecord
{
public:
    virtual ~GameDataRecord();
    // Appends a copy of source's current record to this cursor's sheet.
    virtual BWResultEnum Append(GameDataRecord* source) = 0;
    virtual bool IsValid() = 0;
    virtual bool MoveNext() = 0;
    virtual bool HasAttribute(const std::wstring& name) = 0;
    virtual uint32_t GetAttributeCount() = 0;
    virtual BWResultEnum GetAttributeName(uint32_t index, std::wstring& out) = 0;

    virtual bool GetBool(const std::wstring& name, bool defaultValue, bool* found) = 0;
    virtual int GetInt(const std::wstring& name, int defaultValue, bool* found) = 0;
    virtual unsigned GetUInt(const std::wstring& name, unsigned defaultValue, bool* found) = 0;
    virtual float GetFloat(const std::wstring& name, float defaultValue, bool* found) = 0;
    virtual std::wstring GetString(const std::wstring& name, const std::wstring& defaultValue, bool* found) = 0;

    virtual BWResultEnum GetBool(const std::wstring& name, bool& out) = 0;
    virtual BWResultEnum GetInt(const std::wstring& name, int& out) = 0;
    virtual BWResultEnum GetUInt(const std::wstring& name, unsigned& out) = 0;
    virtual BWResultEnum GetFloat(const std::wstring& name, float& out) = 0;
    virtual BWResultEnum GetString(const std::wstring& name, std::wstring& out) = 0;
};

} // namespace data
