// UTF-8 for SDL, from and to our wide strings (UTF-32 code points).

#include "Platform/Win32/Win32UserInternal.h"

namespace win32
{
namespace user
{

std::string ToUtf8(const wchar_t* text)
{
    std::string out;
    for (; text && *text; ++text)
    {
        uint32_t c = static_cast<uint32_t>(*text);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            c = 0xFFFD;
        if (c < 0x80)
            out += static_cast<char>(c);
        else if (c < 0x800)
        {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
        else if (c < 0x10000)
        {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
        else
        {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::wstring FromUtf8(const char* text)
{
    std::wstring out;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text ? text : "");
    while (*p)
    {
        uint32_t c = *p;
        int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        if (c >= 0x80 && extra == 0)
        {
            out += wchar_t(0xFFFD); // a stray continuation byte
            ++p;
            continue;
        }
        c &= extra == 3 ? 0x07 : extra == 2 ? 0x0F : extra == 1 ? 0x1F : 0x7F;
        ++p;
        int i = 0;
        for (; i < extra && (*p & 0xC0) == 0x80; ++i, ++p)
            c = (c << 6) | (*p & 0x3F);
        bool overlong = (extra == 1 && c < 0x80) || (extra == 2 && c < 0x800) || (extra == 3 && c < 0x10000);
        if (i < extra || overlong || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            c = 0xFFFD;
        out += static_cast<wchar_t>(c);
    }
    return out;
}

} // namespace user
} // namespace win32
