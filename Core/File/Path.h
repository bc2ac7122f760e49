#pragma once

// Splitting and normalising wide-string paths. A separator is '/' or '\\';
// folders the engine builds use '/' and end with exactly one '/'.

#include "Core/Base/BWResult.h"

#include <string>

namespace file
{

// The text after the last separator; the whole path when there is none.
std::wstring GetFileName(const std::wstring& path);
// The file name up to its last '.', unless that dot is the name's first character.
std::wstring GetFileTitle(const std::wstring& path);
// From the last '.' of the file name on, dot included; empty without one.
std::wstring GetExtension(const std::wstring& path);
// Up to and including the last separator; empty when there is none.
std::wstring GetDirectory(const std::wstring& path);
// GetDirectory without a drive prefix ("C:"); empty for a drive-relative path.
std::wstring GetFolder(const std::wstring& path);
std::wstring TrimTrailingSlashes(const std::wstring& path);
std::wstring ToForwardSlashes(const std::wstring& path);
std::wstring AppendChar(const std::wstring& path, wchar_t character);
// Forward slashes and exactly one trailing '/'; empty when nothing is left.
std::wstring NormalizeFolderPath(const std::wstring& path);

// Creates the folder and its missing parents.
BWResultEnum CreateDirectories(const std::wstring& path);
BWResultEnum EnsureFolder(const std::wstring& path);

} // namespace file
