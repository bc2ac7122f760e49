#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace base
{
class Stream;
} // namespace base

namespace file
{

// The most a text or XML file may hold; a larger one is refused with a log
// record and left as it is, where reading it whole could exhaust memory.
constexpr uint32_t kMaxTextFileSize = 64u << 20;

// The first three bytes are the UTF-8 byte-order signature EF BB BF.
bool HasUtf8Bom(const char* bytes, size_t size);

// The text of a file found through the file manager, without a leading UTF-8
// signature and cut at its first zero byte. A missing or unreadable file
// gives an empty text; hadBom, when given, tells whether the signature was there.
void ReadTextFile(std::string& out, const std::wstring& path, bool* hadBom);

// Every byte of the stream from its current position; false on a short read
// or past kMaxTextFileSize.
bool ReadWholeStream(base::Stream* stream, std::string* out);

// The text of a file found through the file manager, for a parser: false
// when it is missing or cannot be read whole.
bool ReadWholeFile(const std::wstring& path, std::string* out);

} // namespace file
