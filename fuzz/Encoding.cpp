#include "Core/Base/Encoding.h"

#include <utf8.h>

#include <cstdlib>
#include <cstring>
#include <string>

// Bytes from outside (XML, profiles, file names) and wide strings holding any
// 32-bit value (lone surrogates, values past U+10FFFF, negative ones): every
// conversion either succeeds, throws one of the UTF-8 library's exceptions
// under encoding 1, or gives an empty result.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    for (base::Encoding encoding = 0; encoding <= 4; ++encoding)
    {
        try
        {
            std::wstring wide = base::ToWideString(bytes, encoding);
            std::string back = base::ToNarrowString(wide, encoding);
            // Byte for byte and valid UTF-8 come back exactly.
            if ((encoding == 0 || encoding == 1) && back != bytes)
                std::abort();
        }
        catch (const utf8::exception&)
        {
            if (encoding != 1)
                std::abort();
        }
    }

    std::wstring raw(size / 4, L'\0');
    for (size_t i = 0; i < raw.size(); ++i)
    {
        int32_t value;
        std::memcpy(&value, data + 4 * i, 4);
        raw[i] = static_cast<wchar_t>(value);
    }
    for (base::Encoding encoding = 0; encoding <= 4; ++encoding)
    {
        try
        {
            std::string narrow = base::ToNarrowString(raw, encoding);
            if (encoding == 0 && narrow.size() != raw.size())
                std::abort();
            if (encoding == 1 && base::ToWideString(narrow, 1) != raw)
                std::abort();
        }
        catch (const utf8::exception&)
        {
            if (encoding != 1)
                std::abort();
        }
    }
    return 0;
}
