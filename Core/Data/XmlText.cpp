#include "Core/Data/XmlText.h"

#include "Core/Base/Encoding.h"

#include <exception>

namespace data
{

bool DecodeXmlText(const char* text, std::wstring* out)
{
    out->clear();
    if (!text)
        return false;
    try
    {
        *out = base::ToWideString(text, base::EncodingUtf8);
        return true;
    }
    catch (const std::exception&)
    {
        out->clear();
        return false;
    }
}

bool EncodeXmlText(const std::wstring& text, std::string* out)
{
    out->clear();
    try
    {
        *out = base::ToNarrowString(text, base::EncodingUtf8);
        return true;
    }
    catch (const std::exception&)
    {
        out->clear();
        return false;
    }
}

} // namespace data
