#pragma once

// Conversion between narrow and wide strings under a chosen encoding. Wide
// strings hold UTF-32 code points.

#include <cstdint>
#include <string>

namespace base
{

// 0 byte for byte, 1 UTF-8, 2 the system's ANSI code page (UTF-8 here), 3 the
// system's OEM code page (866 here); any other value converts to nothing.
typedef uint32_t Encoding;

enum : Encoding
{
    EncodingBytes = 0,
    EncodingUtf8 = 1,
    EncodingAnsi = 2,
    EncodingOem = 3,
};

// Encoding 1 throws utf8::invalid_utf8, utf8::not_enough_room or
// utf8::invalid_code_point on malformed input; the others never throw. Under
// encodings 2 and 3 the text ends at its first zero character; a text that the
// code page cannot hold converts to an empty string, never to a cut one.
std::wstring ToWideString(const std::string& text, Encoding encoding);

// Encoding 1 throws utf8::invalid_utf16 for a surrogate and
// utf8::invalid_code_point for a value above U+10FFFF.
std::string ToNarrowString(const std::wstring& text, Encoding encoding);

} // namespace base
