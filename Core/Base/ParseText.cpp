#include "Core/Base/ParseText.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <locale.h>

namespace base
{

void ParseBool(const char* text, bool& out)
{
    out = text && (std::strcmp(text, "1") == 0 || std::strcmp(text, "true") == 0);
}

int ParseInt(const char* text)
{
    if (!text)
        return 0;
    long long value = std::strtoll(text, nullptr, 10);
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

double ParseDouble(const char* text)
{
    if (!text)
        return 0.0;
    static locale_t cLocale = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(0));
    return cLocale ? strtod_l(text, nullptr, cLocale) : std::strtod(text, nullptr);
}

} // namespace base
