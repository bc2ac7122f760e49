#pragma once

// XML keeps names and texts in UTF-8; the engine works in wide strings. Data
// files are outside data: a text that is not valid UTF-8 is reported, never
// thrown.

#include <string>

namespace data
{

// False (out emptied) when text is null or not valid UTF-8.
bool DecodeXmlText(const char* text, std::wstring* out);
// False (out emptied) when text holds a value that UTF-8 cannot encode.
bool EncodeXmlText(const std::wstring& text, std::string* out);

} // namespace data
