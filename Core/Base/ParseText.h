#pragma once

// Reading values from the text of data files (attributes, tokens).

namespace base
{

// out = true exactly for the texts "1" and "true" (case-sensitive, whole text).
void ParseBool(const char* text, bool& out);

// The C library's atoi, saturating at the int range instead of overflowing.
int ParseInt(const char* text);

// The C library's atof, always in the C locale: data files use '.'.
double ParseDouble(const char* text);

} // namespace base
