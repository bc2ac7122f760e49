#pragma once

#include <string>

namespace file
{

// Orders wide strings by their UTF-16 code units, as the pack directory and
// the mount table are ordered. Wide strings hold code points; the orders only
// differ where a character above U+FFFF meets one from U+E000 to U+FFFF.
struct CodeUnitLess
{
    bool operator()(const std::wstring& a, const std::wstring& b) const
    {
        size_t n = a.size() < b.size() ? a.size() : b.size();
        for (size_t i = 0; i < n; ++i)
        {
            if (a[i] == b[i])
                continue;
            unsigned x = FirstUnit(a[i]);
            unsigned y = FirstUnit(b[i]);
            return x != y ? x < y : static_cast<unsigned>(a[i]) < static_cast<unsigned>(b[i]);
        }
        return a.size() < b.size();
    }

    static unsigned FirstUnit(wchar_t c)
    {
        unsigned value = static_cast<unsigned>(c);
        return value >= 0x10000 ? 0xD800 + ((value - 0x10000) >> 10) : value;
    }
};

} // namespace file
